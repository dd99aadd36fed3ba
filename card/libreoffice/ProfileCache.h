// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The prepared office profile shared by this user's instances: a new office
// starts from a copy of it instead of building a profile of its own, which
// saves a good part of its start. The first clean end of an office that
// started without one offers its profile as the prepared one. The cache is
// keyed by the office version and the settings every instance starts with.

#include "OfficeOptions.h"

#include <QByteArray>
#include <QString>

// The installed office's own version ("7.4"), as its configuration states
// it for the office started by `launcher`; empty when it cannot be read.
QString InstalledOfficeVersion(const QString& launcher);
// The settings a new profile starts with, recording `version` (when not
// empty) as the version that last ran on it.
QByteArray StartingRegistry(const QString& version);

class ProfileCache {
public:
    explicit ProfileCache(const LibreOfficeOptions& options);

    // Fills `profile` with a copy of the prepared profile, or with the
    // starting settings only when there is none; throws Failure.
    void prepare(const QString& profile);
    // After a clean end: the profile becomes the prepared one when there is none yet.
    void offer(const QString& profile);
    // True when a profile offered now would become the prepared one.
    bool wouldTake() const;
    // The office did not come up: a prepared profile it was given is not offered again.
    void dropIfUsed();

private:
    QByteArray mRegistry;  // the starting settings of a profile without a prepared one
    QString mSeed;  // the prepared profile's folder; empty when the cache is off or unusable
    bool mUsed = false;
};

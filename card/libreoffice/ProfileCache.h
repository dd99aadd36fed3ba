// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The prepared office profile shared by this user's instances: a new office
// starts from a copy of it instead of building a profile of its own, which
// saves a good part of its start. The first clean end of an office that
// started without one offers its profile as the prepared one. The cache is
// keyed by the office version and the settings every instance starts with.

#include "LibreOfficeWord.h"

#include <QString>

class ProfileCache {
public:
    explicit ProfileCache(const LibreOfficeOptions& options);

    // Fills `profile` with a copy of the prepared profile, or with the
    // starting settings only when there is none; throws Failure.
    void prepare(const QString& profile);
    // After a clean end: the profile becomes the prepared one when there is none yet.
    void offer(const QString& profile);
    // The office did not come up: a prepared profile it was given is not offered again.
    void dropIfUsed();

private:
    QString mSeed;  // the prepared profile's folder; empty when the cache is off or unusable
    bool mUsed = false;
};

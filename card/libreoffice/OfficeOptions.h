// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// How the office instances of a factory run: which program, the bounds on
// its start and calls, its font settings and the prepared-profile cache.

#include <QByteArray>
#include <QString>

struct LibreOfficeOptions {
    // The office itself rather than its launcher script and splash program,
    // which page libraries in and restart the office on a new profile: a
    // start is cheaper without them, and the restart is done here.
    // Environment PELORIN_SOFFICE overrides.
    QString launcher = QStringLiteral("/usr/lib/libreoffice/program/soffice.bin");
    // Bound for the office to come up and accept the connection (ms);
    // PELORIN_OFFICE_START_TIMEOUT_MS overrides.
    int startTimeoutMs = 60000;
    // Bound for any single call into the office (ms); PELORIN_OFFICE_TIMEOUT_MS overrides.
    int callTimeoutMs = 60000;
    // Content of a fontconfig file handed to the office (FONTCONFIG_FILE) when not empty.
    QByteArray fontConfig;
    // Folder for a prepared profile shared by this user's instances; empty:
    // every instance starts from an empty profile. PELORIN_OFFICE_PROFILE_CACHE overrides
    // ("none" switches the cache off).
    QString profileCache;

    // Timeouts are clamped to this range.
    static constexpr int kMinTimeoutMs = 100;
    static constexpr int kMaxTimeoutMs = 600000;

    // The options with the environment's overrides applied and the bounds enforced.
    LibreOfficeOptions resolved() const;
    // The per-user default cache folder (under the user's cache location).
    static QString defaultProfileCache();
    // What the program runs with: the per-user prepared profile and the font
    // aliases compiled into the program (resource :/fonts/pelorin-fonts.conf).
    static LibreOfficeOptions forProgram();
};

// The glibc tunables an office runs with, given the user's own.
QByteArray OfficeTunables(const QByteArray& user);

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The Word automation calls carried out by LibreOffice Writer through UNO.
// Each created application is a private office process (own profile, own
// pipe, own process group) that lives only as long as the object; a watchdog
// ends the office when a call takes longer than its bound, so no call hangs.

#include "WordAutomation.h"

#include <QByteArray>
#include <QString>

class Clipboard;

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

class LibreOfficeWordFactory : public WordFactory {
public:
    // The first factory of a process sweeps what offices of earlier, abnormally
    // ended runs of this user left behind.
    LibreOfficeWordFactory(Clipboard& clipboard, LibreOfficeOptions options = {});
    // Only "Word.Application" can be created.
    std::unique_ptr<WordApplication> CreateObject(const QString& progId) override;

    const LibreOfficeOptions& options() const { return mOptions; }

    // Ends every office instance of this process at once (killed, reaped, its
    // private folder and pipe sockets removed), for a program that is ending
    // now. Any thread may call it; it never throws.
    static void EndAllInstances() noexcept;

private:
    Clipboard& mClipboard;
    LibreOfficeOptions mOptions;
};

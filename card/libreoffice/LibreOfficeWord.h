// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The Word automation calls carried out by LibreOffice Writer through UNO.
// Each created application is a private office process (own profile, own
// pipe, own process group) that lives only as long as the object; a watchdog
// ends the office when a call takes longer than its bound, so no call hangs.
// A spare instance starts on a thread of its own (SpareOffice.h).

#include "OfficeOptions.h"
#include "WordAutomation.h"

#include <memory>

class Clipboard;
class SpareOffice;

class LibreOfficeWordFactory : public WordFactory {
public:
    // The first factory of a process sweeps what offices of earlier, abnormally
    // ended runs of this user left behind.
    LibreOfficeWordFactory(Clipboard& clipboard, LibreOfficeOptions options = {});
    // A spare nobody took is ended; the folders of ended offices are removed.
    ~LibreOfficeWordFactory() override;
    // Only "Word.Application" can be created.
    std::unique_ptr<WordApplication> CreateObject(const QString& progId) override;
    void StartSpare(const QString& progId) override;
    // Asked of the fonts the instances get (their settings, their version's choice).
    QStringList CharactersWithoutFont(const QString& text) override;

    const LibreOfficeOptions& options() const { return mOptions; }

    // Ends every office instance of this process at once (killed, reaped, its
    // private folder and pipe sockets removed), for a program that is ending
    // now. Any thread may call it; it never throws.
    static void EndAllInstances() noexcept;

private:
    Clipboard& mClipboard;
    LibreOfficeOptions mOptions;
    std::unique_ptr<SpareOffice> mSpare;
};

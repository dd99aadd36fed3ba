// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// An office instance started before the automation object that will use it
// exists: its whole start (private folder, profile, process, connection)
// runs on a thread of its own while the program does other work. Nothing is
// loaded in it. The object that takes it owns it from then on; one nobody
// takes ends with this object. Its process registers and gets its watcher
// as every office's does (OfficeGuard.h), so an end of the program and the
// watcher know it from its spawn on.

#include "OfficeOptions.h"

#include <exception>
#include <memory>
#include <thread>

class Clipboard;
class OfficeSession;

class SpareOffice {
public:
    SpareOffice(Clipboard& clipboard, const LibreOfficeOptions& options);
    ~SpareOffice();
    SpareOffice(const SpareOffice&) = delete;
    SpareOffice& operator=(const SpareOffice&) = delete;

    // Waits for the start to finish and hands the running instance over;
    // throws the start's Failure when it did not come up.
    std::shared_ptr<OfficeSession> take();

private:
    void waitStarted();

    std::shared_ptr<OfficeSession> mSession;
    std::exception_ptr mFailure;
    std::thread mStarting;  // last: it uses the members above
};

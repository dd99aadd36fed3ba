// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Bounds every call into the office: a thread of its own that kills the
// office process when one armed call runs past its deadline, so the blocked
// call fails as the connection drops instead of hanging.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class OfficeProcess;

class Watchdog {
public:
    explicit Watchdog(OfficeProcess& process);
    ~Watchdog() { shutdown(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // After this the watchdog never touches the process again.
    void shutdown();
    void arm(int ms);
    void disarm();
    // True once a deadline has passed and the office was killed.
    bool fired();

private:
    void run();

    OfficeProcess& mProcess;
    std::mutex mMutex;
    std::condition_variable mWake;
    std::chrono::steady_clock::time_point mDeadline;
    bool mArmed = false;
    bool mFired = false;
    bool mQuit = false;
    std::thread mThread;
};

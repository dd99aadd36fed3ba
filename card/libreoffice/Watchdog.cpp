// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Watchdog.h"

#include "OfficeProcess.h"

Watchdog::Watchdog(OfficeProcess& process) : mProcess(process), mThread([this] { run(); }) {}

void Watchdog::shutdown()
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mQuit = true;
        mArmed = false;
    }
    mWake.notify_all();
    if (mThread.joinable())
        mThread.join();
}

void Watchdog::arm(int ms)
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        mArmed = true;
    }
    mWake.notify_all();
}

void Watchdog::disarm()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mArmed = false;
}

bool Watchdog::fired()
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFired;
}

void Watchdog::run()
{
    std::unique_lock<std::mutex> lock(mMutex);
    while (!mQuit) {
        if (!mArmed) {
            mWake.wait(lock);
            continue;
        }
        if (mWake.wait_until(lock, mDeadline) == std::cv_status::timeout && mArmed && !mQuit &&
            std::chrono::steady_clock::now() >= mDeadline) {
            mFired = true;
            mArmed = false;
            lock.unlock();
            mProcess.kill();  // the blocked call then fails as the connection drops
            lock.lock();
        }
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Waiting on another machine (a print server, a mail program) without
// freezing the window: the work runs on a thread of its own while the
// window's thread goes on with its events, painting included, for at most
// a bound. Input is the caller's concern (a busy window drops it).

#include "ErrorTrap.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Returns what `work` returns, or throws what it throws. When `bound` passes
// first, throws Failure(`lateMessage`); the work is left to end by itself
// (give it a bound of its own) and whatever it returns then is dropped, so
// it must own everything it touches.
template <class Work>
auto WaitOffThread(std::chrono::milliseconds bound, Work work, const QString& lateMessage) -> decltype(work())
{
    using Result = decltype(work());
    struct Shared {
        std::mutex lock;
        bool done = false;
        std::optional<Result> result;
        std::exception_ptr error;
        QEventLoop* waiting = nullptr; // only touched on the window's thread
    };
    const auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)]() mutable {
        std::optional<Result> result;
        std::exception_ptr error;
        try {
            result.emplace(work());
        } catch (...) {
            error = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> hold(shared->lock);
            shared->result = std::move(result);
            shared->error = error;
            shared->done = true;
        }
        // Wakes the window's thread, which may have stopped waiting by now.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [shared] {
                if (shared->waiting)
                    shared->waiting->quit();
            },
            Qt::QueuedConnection);
    }).detach();

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(bound);
    const auto isDone = [&] {
        const std::lock_guard<std::mutex> hold(shared->lock);
        return shared->done;
    };
    if (!isDone()) {
        shared->waiting = &loop;
        loop.exec();
        shared->waiting = nullptr;
    }
    const std::lock_guard<std::mutex> hold(shared->lock);
    if (!shared->done)
        throw Failure(lateMessage);
    if (shared->error)
        std::rethrow_exception(shared->error);
    return std::move(*shared->result);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// No office outlives the program, whichever way the program ends:
// - ending on purpose (a window closed, SIGTERM): EndAllOfficeInstances()
//   kills every office of this process, reaps it and removes its folder and
//   pipe sockets before the process goes;
// - dying without a chance to clean up (SIGKILL, a crash): the watcher
//   started with each office sees the program's end of a socket close, kills
//   the office's process group and removes its folder and sockets;
// - what neither could handle (a power cut, a watcher killed too) is swept
//   at the next start: folders whose owner no longer holds their lock and
//   pipe sockets whose program is gone and that nobody listens on.
// No other user's, no other live instance's and no default-profile office's
// files are ever touched.

#include <QString>
#include <QStringList>
#include <mutex>
#include <sys/types.h>

class OfficeProcess;

// The lock file in an instance's private folder; its owner holds a lock on it
// for as long as the folder is in use, and the kernel releases it when the owner dies.
inline constexpr char kOwnerLockName[] = "owner.lock";

// The pipe sockets an office creates (in OfficeSocketFolder() unless told
// otherwise) for its pipe name (when not empty) and for its profile URL.
QStringList OfficeSocketPaths(const QString& pipe, const QString& profileUrl, const QString& folder = QString());
// Removes those of the paths that are sockets of this user.
void RemoveOfficeSockets(const QStringList& paths);

// Ends every office instance of this process at once (kill, reap, remove its
// folder and sockets), for a process that ends right after. Any thread may
// call it; it never throws. From then on no office starts: a thread that
// tries waits for the process to end.
void EndAllOfficeInstances() noexcept;

// Removes what offices of this user left after abnormal ends (in every
// folder OfficeFolders.h names). Runs once per process; never throws.
void SweepOfficeLeftovers() noexcept;

// The live instances, for EndAllOfficeInstances. A process registers while
// the lock is held, so an office is never started unseen by a concurrent end;
// once the program ends, the lock is never given again.
std::unique_lock<std::mutex> LockOfficeInstances();
void RegisterOfficeInstance(OfficeProcess* process);    // lock held
void UnregisterOfficeInstance(OfficeProcess* process);  // lock held

// A small shell started with an office in a session of its own; it holds
// one end of a socket pair whose other end only this process holds.
class OfficeWatcher {
public:
    // Starts the watcher for the office that will use `folder` and create
    // `sockets`; throws Failure when it cannot be started.
    OfficeWatcher(const QString& folder, const QStringList& sockets);
    ~OfficeWatcher() { release(); }
    OfficeWatcher(const OfficeWatcher&) = delete;
    OfficeWatcher& operator=(const OfficeWatcher&) = delete;

    // The office runs as process group `group` (from now on, when it is
    // started again): that is what the watcher kills. 0: the office has ended
    // and its group's number is free; the watcher only cleans up.
    void watch(pid_t group);
    // The office is gone and cleaned up: the watcher just ends (and is reaped).
    void release() noexcept;

private:
    void send(const char* line) noexcept;

    int mSocket = -1;
    pid_t mPid = 0;
    bool mWatching = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "OfficeProcess.h"

#include "ErrorTrap.h"
#include "Main.h"
#include "OfficeFolders.h"
#include "OfficeGuard.h"
#include "Spawn.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QThread>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Stat {
    char state = 0;
    pid_t group = 0;
};

// State and process group of `pid` from /proc; state 0 when it is gone.
Stat readStat(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = file.readAll();
    // The command name may hold spaces and parentheses; fields resume after the last ')'.
    const int close = line.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 3 || fields[0].isEmpty())
        return {};
    return {fields[0][0], pid_t(fields[2].toInt())};
}

// True when `pid` runs the office itself (not a launcher, nor the gate).
bool isOffice(pid_t pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "soffice.bin";
}

bool alive(pid_t pid)
{
    const char state = readStat(pid).state;
    return state != 0 && state != 'Z' && state != 'X';
}

}  // namespace

OfficeProcess::OfficeProcess()
    : mSettingUp(LockOfficeInstances()), mFolder(OfficeFolderBase() + QStringLiteral("/pelorin-office-XXXXXX"))
{
    if (!mFolder.isValid())
        throw Failure(QCoreApplication::translate("OfficeProcess",
                                                  "The office engine could not be started: no private folder (%1)")
            .arg(mFolder.errorString()));
    const QByteArray folder = QFile::encodeName(mFolder.path());
    ::chmod(folder.constData(), 0700);
    // The lock is taken before the file gets its name, so a sweep by another
    // program never finds the folder's lock file free while we own it.
    const QByteArray locking = folder + "/.owner.lock";
    mOwnerLock = ::open(locking.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (mOwnerLock < 0 || ::flock(mOwnerLock, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(locking.constData(), (folder + '/' + kOwnerLockName).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        if (mOwnerLock >= 0)
            ::close(mOwnerLock);
        throw Failure(QCoreApplication::translate("OfficeProcess",
                                                  "The office engine could not be started: cannot lock its private folder (%1)")
            .arg(reason));
    }
    RegisterOfficeInstance(this);
    mSettingUp.unlock();
}

OfficeProcess::~OfficeProcess()
{
    stop(0);
    // Not under the instances' lock, which offices that start meanwhile take.
    {
        const auto removing = useFolder();
        QDir(mFolder.path()).removeRecursively();
    }
    // Under the lock: the watcher is never released twice, and once an end
    // of the program has begun, this waits for it.
    const auto lock = LockOfficeInstances();
    UnregisterOfficeInstance(this);
    mFolder.remove();
    mWatcher.reset();
    if (mOwnerLock >= 0)
        ::close(mOwnerLock);
}

namespace {

// The thread that removes the folders of ended offices, one after another.
class Disposal {
public:
    ~Disposal()
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mQuit = true;
        }
        mWake.notify_all();
        if (mThread.joinable())
            mThread.join();
    }

    void add(std::unique_ptr<OfficeProcess> process)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        if (!mThread.joinable())
            mThread = std::thread([this] { run(); });
        mQueue.push_back(std::move(process));
        lock.unlock();
        mWake.notify_all();
    }

    void wait()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mWake.wait(lock, [this] { return mQueue.empty() && !mBusy; });
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        for (;;) {
            mWake.wait(lock, [this] { return mQuit || !mQueue.empty(); });
            if (mQueue.empty())
                return;
            std::unique_ptr<OfficeProcess> process = std::move(mQueue.front());
            mQueue.pop_front();
            mBusy = true;
            lock.unlock();
            process.reset();
            lock.lock();
            mBusy = false;
            mWake.notify_all();
        }
    }

    std::mutex mMutex;
    std::condition_variable mWake;
    std::deque<std::unique_ptr<OfficeProcess>> mQueue;
    bool mBusy = false;
    bool mQuit = false;
    std::thread mThread;
};

Disposal& Disposals()
{
    static Disposal disposal;
    return disposal;
}

}  // namespace

void OfficeProcess::Dispose(std::unique_ptr<OfficeProcess> process) noexcept
{
    if (!process)
        return;
    process->stop(0);
    try {
        Disposals().add(std::move(process));
    } catch (...) {
        // No thread for it: the process, not queued, was destroyed on the way out.
    }
}

void OfficeProcess::WaitDisposed() noexcept
{
    try {
        Disposals().wait();
    } catch (...) {
    }
}

void OfficeProcess::start(const QString& program, const QStringList& arguments,
                          const QList<QPair<QByteArray, QByteArray>>& environment, const QStringList& sockets)
{
    const QFileInfo info(program);
    if (!info.exists() || !info.isFile() || !info.isExecutable())
        throw Failure(QCoreApplication::translate("OfficeProcess",
                                                  "The office engine could not be started: %1 is missing or not a program")
            .arg(program));

    // Everything exec needs is prepared before the spawn, and kept for a restart.
    mArguments = {QFile::encodeName(program)};
    for (const QString& argument : arguments)
        mArguments.push_back(argument.toLocal8Bit());
    mEnvironment.clear();
    for (char** e = environ; e && *e; ++e) {
        const QByteArray entry(*e);
        bool overridden = false;
        for (const auto& pair : environment)
            overridden = overridden || entry.startsWith(pair.first + '=');
        if (!overridden)
            mEnvironment.push_back(entry);
    }
    for (const auto& pair : environment)
        mEnvironment.push_back(pair.first + '=' + pair.second);

    // Under the instances' lock: a program that ends now either sees this
    // office or ends before it is started.
    const auto lock = LockOfficeInstances();
    auto watcher = std::make_unique<OfficeWatcher>(mFolder.path(), sockets);
    spawn(*watcher);
    mWatcher = std::move(watcher);
    mSockets = sockets;
}

bool OfficeProcess::restartRequested()
{
    // The exit code the office's own launcher starts it again on.
    constexpr int kNormalRestart = 81;
    return !running() && WIFEXITED(mStatus) && WEXITSTATUS(mStatus) == kNormalRestart;
}

void OfficeProcess::restart()
{
    const auto lock = LockOfficeInstances();
    if (!mWatcher)
        return;
    // The ended office's group number is free from its reap on: the watcher
    // must not hold it while the new one starts, nor if that start fails.
    mGroup = 0;
    mWatcher->watch(0);
    spawn(*mWatcher);
}

void OfficeProcess::spawn(OfficeWatcher& watcher)
{
    // The office's number is known only once it runs, and a program killed
    // before it has told the watcher would leave it running for good. So a
    // gate stands first: a shell that becomes the office (same process, same
    // group) only once the watcher knows the number, and goes quietly if the
    // program died meanwhile, as its end of the gate then reads nothing.
    // The office makes its pipe sockets in a folder everyone lists, with the
    // mode its umask leaves: anyone who may connect can drive it as this
    // user. Connecting takes write permission, so the office's umask is the
    // program's own with group and others' writing taken away. Reading is
    // left as the user has it: an office run by root makes the office's
    // shared extension cache, which every other user's office must read.
    const QByteArray gateScript = "umask " + QByteArray::number(ProcessUmask() | 022, 8).rightJustified(4, '0')
                                  + "; read -r word && [ \"$word\" = go ] || exit 0; exec \"$@\" </dev/null";
    int gate[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gate) != 0) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        throw Failure(QCoreApplication::translate("OfficeProcess", "The office engine could not be started: %1")
            .arg(reason));
    }
    std::vector<QByteArray> arguments{"/bin/sh", "-c", gateScript, "pelorin-office"};
    arguments.insert(arguments.end(), mArguments.begin(), mArguments.end());
    const QByteArray log = QFile::encodeName(mFolder.filePath(QStringLiteral("office.log")));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, gate[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // A session of its own makes the whole tree one process group we can kill.
    const pid_t pid = SpawnInOwnSession(arguments, mEnvironment, &actions);
    const int error = errno;
    posix_spawn_file_actions_destroy(&actions);
    ::close(gate[0]);
    if (pid == 0) {
        ::close(gate[1]);
        throw Failure(QCoreApplication::translate("OfficeProcess", "The office engine could not be started: %1 (%2)")
                          .arg(QFile::decodeName(mArguments.front()), QString::fromLocal8Bit(strerror(error))));
    }
    mPid = pid;
    mGroup = pid;
    mReaped = false;
    mStatus = 0;
    watcher.watch(pid);
    (void)!::send(gate[1], "go\n", 3, MSG_NOSIGNAL);
    ::close(gate[1]);
}

bool OfficeProcess::running()
{
    if (mReaped)
        return false;
    int status = 0;
    const pid_t result = ::waitpid(mPid, &status, WNOHANG);
    if (result == mPid || (result < 0 && errno == ECHILD)) {
        mReaped = true;
        mStatus = status;
        return false;
    }
    return true;
}

bool OfficeProcess::officeRunning() const
{
    for (pid_t pid : groupMembers(mGroup.load()))
        if (isOffice(pid))
            return true;
    return false;
}

bool OfficeProcess::endedByItself()
{
    return !running() && !mKilled && WIFEXITED(mStatus) && WEXITSTATUS(mStatus) == 0;
}

QString OfficeProcess::exitDescription() const
{
    if (!mReaped)
        return QCoreApplication::translate("OfficeProcess", "still running");
    if (WIFEXITED(mStatus))
        return QCoreApplication::translate("OfficeProcess", "it ended with exit code %1").arg(WEXITSTATUS(mStatus));
    if (WIFSIGNALED(mStatus))
        return QCoreApplication::translate("OfficeProcess", "it was ended by signal %1").arg(WTERMSIG(mStatus));
    return QCoreApplication::translate("OfficeProcess", "it ended");
}

QString OfficeProcess::logTail() const
{
    QFile file(mFolder.filePath(QStringLiteral("office.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (size > 600)
        file.seek(size - 600);
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

QList<pid_t> OfficeProcess::groupMembers(pid_t group)
{
    QList<pid_t> members;
    if (group <= 0)
        return members;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return members;
    while (dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        const Stat stat = readStat(pid_t(pid));
        if (stat.group == group && stat.state != 'Z' && stat.state != 'X' && stat.state != 0)
            members.append(pid_t(pid));
    }
    ::closedir(proc);
    return members;
}

int OfficeProcess::killMembers(bool includingLeader)
{
    const pid_t group = mGroup.load();
    if (group <= 0)
        return 0;
    mKilled = true;
    int killed = 0;
    for (pid_t pid : groupMembers(group))
        if ((includingLeader || pid != group) && ::kill(pid, SIGKILL) == 0)
            ++killed;
    if (includingLeader)
        ::kill(-group, SIGKILL);
    return killed;
}

void OfficeProcess::kill()
{
    const pid_t group = mGroup.load();
    if (group <= 0)
        return;
    // What runs below the first process goes first: a launcher at the top
    // can then still reap the office it started. An office at the top goes at once.
    if (!leaderIsOffice() && killMembers(false) > 0)
        for (int i = 0; i < 50 && alive(group); ++i)
            QThread::msleep(10);
    killMembers(true);
}

bool OfficeProcess::waitLeader(int ms)
{
    if (!running())
        return true;
    // Woken the moment it ends: an ending office is on the way of every card.
    const int handle = int(::syscall(SYS_pidfd_open, mPid, 0));
    if (handle >= 0) {
        QElapsedTimer clock;
        clock.start();
        pollfd ended{handle, POLLIN, 0};
        while (running() && clock.elapsed() < ms && (::poll(&ended, 1, int(ms - clock.elapsed())) >= 0 || errno == EINTR)) {
        }
        ::close(handle);
        return !running();
    }
    for (int waited = 0;; waited += 2) {
        if (!running())
            return true;
        if (waited >= ms)
            return false;
        QThread::msleep(2);
    }
}

void OfficeProcess::stop(int graceMs)
{
    const pid_t group = mGroup.load();
    if (group <= 0) {
        // Never started, or a restart that failed: what an earlier run made still goes.
        RemoveOfficeSockets(mSockets);
        return;
    }
    if (!waitLeader(graceMs)) {
        // A launcher at the top is given a moment to reap the office below
        // it; an office at the top goes at once, with all below it.
        mKilled = true;
        if (leaderIsOffice() || killMembers(false) == 0 || !waitLeader(500)) {
            ::kill(-group, SIGKILL);
            int status = 0;
            if (::waitpid(mPid, &status, 0) == mPid)
                mStatus = status;
            mReaped = true;
        }
    }
    // Orphaned members (the launcher gone first) are hunted down too.
    waitGroupGone(group, 5000);
    mGroup = 0;
    // From now on the group's number may be another's: the watcher must not
    // kill it, only clean up should the program die before the folder goes.
    if (mWatcher)
        mWatcher->watch(0);
    RemoveOfficeSockets(mSockets);
}

bool OfficeProcess::leaderIsOffice() const
{
    return isOffice(mGroup.load());
}

void OfficeProcess::waitGroupGone(pid_t group, int ms)
{
    for (int waited = 0; waited < ms; waited += 10) {
        const QList<pid_t> left = groupMembers(group);
        if (left.isEmpty())
            break;
        for (pid_t pid : left)
            ::kill(pid, SIGKILL);
        QThread::msleep(10);
    }
}

void OfficeProcess::endNow() noexcept
{
    try {
        const pid_t group = mGroup.load();
        if (group > 0) {
            ::kill(-group, SIGKILL);
            if (!mReaped)
                ::waitpid(mPid, nullptr, 0);
            waitGroupGone(group, 2000);
        }
        RemoveOfficeSockets(mSockets);
        {
            const auto removing = useFolder();
            QDir(mFolder.path()).removeRecursively();
        }
        if (mWatcher)
            mWatcher->release();
    } catch (...) {
    }
}

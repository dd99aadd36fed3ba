// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// One office process tree (the office, or a launcher and the office it starts) in a session
// and process group of its own, with a private folder (mode 0700) for its
// profile, temporary files and log. Whatever happens, the destructor leaves
// no process of the group running and removes the folder and the office's
// pipe sockets; OfficeGuard.h covers the ends that skip the destructor.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>
#include <sys/types.h>

class OfficeWatcher;

class OfficeProcess {
public:
    // Creates the private folder; throws Failure when it cannot.
    OfficeProcess();
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    QString folder() const { return mFolder.path(); }
    // Held while the program writes into the folder or removes it: an end
    // of the program that comes meanwhile waits for it before it removes the
    // folder, so no half-made or half-removed folder is left. Never held
    // while waiting for the instances' lock.
    std::unique_lock<std::mutex> useFolder() { return std::unique_lock<std::mutex>(mFolderUse); }

    // Starts `program` with `arguments` and extra environment entries, and
    // its watcher; `sockets` are the pipe sockets the office will create.
    // Throws Failure when it cannot be started.
    void start(const QString& program, const QStringList& arguments,
               const QList<QPair<QByteArray, QByteArray>>& environment, const QStringList& sockets);

    // True once the first process has ended asking to be started again, as
    // the office does after registering its extensions on a new profile.
    bool restartRequested();
    // Starts the same program again, after restartRequested().
    void restart();

    // True while the first process of the tree has not ended.
    bool running();
    // True while a live (not zombie) office process (soffice.bin) is in the group;
    // the launcher may outlive a crashed office.
    bool officeRunning() const;
    // True once the first process has ended by itself, with exit code 0,
    // and nothing of the tree had to be killed.
    bool endedByItself();
    // How the first process ended, for error messages.
    QString exitDescription() const;
    // The last lines the office wrote to its output.
    QString logTail() const;

    // Kills the whole tree at once; safe to call from another thread.
    void kill();
    // Waits up to `graceMs` for the tree to end on its own, then kills what is
    // left, reaps the first process and waits until no member of the group runs.
    void stop(int graceMs);

    // Kills the tree, reaps it, removes the folder and sockets, all at once,
    // for a program that ends now. Called with the instances' lock held.
    void endNow() noexcept;

    // Ends the tree now, as the destructor does, and leaves the removal of
    // the folder to a thread of its own: where the disk discards what is
    // freed, removing a profile's few dozen folders takes longer than all
    // the rest of an office's end. Until the folder is gone, an end of the
    // program and the watcher still know it.
    static void Dispose(std::unique_ptr<OfficeProcess> process) noexcept;
    // Returns once the folders of all disposed processes are removed.
    static void WaitDisposed() noexcept;

    // Ids of the live (not zombie) processes of the group, for tests.
    static QList<pid_t> groupMembers(pid_t group);
    pid_t group() const { return mGroup.load(); }

private:
    void spawn(OfficeWatcher& watcher);
    // True when the first process of the group is the office itself, not a launcher.
    bool leaderIsOffice() const;
    // Kills the live members of the group (the first one too when asked); returns how many.
    int killMembers(bool includingLeader);
    bool waitLeader(int ms);
    void waitGroupGone(pid_t group, int ms);

    // Held while the folder is made and registered, so an end of the program
    // either sees the folder or keeps it from being made.
    std::unique_lock<std::mutex> mSettingUp;
    std::mutex mFolderUse;
    QTemporaryDir mFolder;
    int mOwnerLock = -1;
    std::unique_ptr<OfficeWatcher> mWatcher;
    QStringList mSockets;
    std::vector<QByteArray> mArguments;
    std::vector<QByteArray> mEnvironment;
    pid_t mPid = 0;
    std::atomic<pid_t> mGroup{0};
    bool mReaped = true;
    int mStatus = 0;
    std::atomic<bool> mKilled{false};
};

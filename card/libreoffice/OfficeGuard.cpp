// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "OfficeGuard.h"

#include "ErrorTrap.h"
#include "OfficeFolders.h"
#include "OfficeProcess.h"
#include "Spawn.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::mutex gInstancesMutex;
std::vector<OfficeProcess*> gInstances;

// A line with a number: the office's process group, now (a restarted office
// is a new group). A line "q": all is well, end. End of input instead: the
// program is gone, so its office goes too.
const char kWatcherScript[] = R"(folder=$1; shift
group=0
while read -r word; do
  case $word in
    q) exit 0 ;;
    ''|*[!0-9]*) ;;
    *) group=$word ;;
  esac
done
# The group is signalled once: its number is free again once it has died.
[ "$group" -gt 1 ] && kill -s KILL -- "-$group" 2>/dev/null
# An office caught in a slow write dies only once it returns, and may add to
# its folder meanwhile: the removal is tried again until the folder is gone.
tries=0
while :; do
  rm -rf -- "$folder" 2>/dev/null
  if [ ! -e "$folder" ] || [ $tries -ge 100 ]; then break; fi
  tries=$((tries + 1))
  sleep 0.1
done
rm -f -- "$@"
)";

bool IsOwnSocket(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid();
}

// True when something accepts connections on the socket.
bool Listening(const QByteArray& path)
{
    sockaddr_un address{};
    if (size_t(path.size()) >= sizeof address.sun_path)
        return true;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true;
    const bool accepted = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 || errno != ECONNREFUSED;
    ::close(fd);
    return accepted;
}

QString ProfileUrl(const QString& folder)
{
    return QUrl::fromLocalFile(folder + QStringLiteral("/profile")).toString(QUrl::FullyEncoded);
}

}  // namespace

QStringList OfficeSocketPaths(const QString& pipe, const QString& profileUrl, const QString& folder)
{
    // The office names the socket of its profile after the MD5 of the
    // profile URL's UTF-16 text, bytes in unpadded hex.
    QCryptographicHash md5(QCryptographicHash::Md5);
    md5.addData(QByteArrayView(reinterpret_cast<const char*>(profileUrl.utf16()), profileUrl.size() * 2));
    QString hash;
    for (char byte : md5.result())
        hash += QString::number(uchar(byte), 16);
    const QString prefix = (folder.isEmpty() ? OfficeSocketFolder() : folder) + QStringLiteral("/OSL_PIPE_%1_").arg(::getuid());
    QStringList paths{prefix + QStringLiteral("SingleOfficeIPC_") + hash};
    if (!pipe.isEmpty())
        paths.prepend(prefix + pipe);
    return paths;
}

void RemoveOfficeSockets(const QStringList& paths)
{
    for (const QString& name : paths) {
        const QByteArray path = QFile::encodeName(name);
        if (IsOwnSocket(path))
            ::unlink(path.constData());
    }
}

std::unique_lock<std::mutex> LockOfficeInstances()
{
    return std::unique_lock<std::mutex>(gInstancesMutex);
}

void RegisterOfficeInstance(OfficeProcess* process)
{
    gInstances.push_back(process);
}

void UnregisterOfficeInstance(OfficeProcess* process)
{
    gInstances.erase(std::remove(gInstances.begin(), gInstances.end(), process), gInstances.end());
}

void EndAllOfficeInstances() noexcept
{
    try {
        auto lock = LockOfficeInstances();
        for (OfficeProcess* process : gInstances)
            process->endNow();
        lock.release();
    } catch (...) {
    }
}

void SweepOfficeLeftovers() noexcept
{
    static std::once_flag once;
    try {
        std::call_once(once, [] {
            // Wherever an earlier run's offices may have had their files.
            for (const QString& base : OfficeFolderBases()) {
                const QDir temp(base);
                for (const QString& name : temp.entryList({QStringLiteral("pelorin-office-*")}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks)) {
                    const QString folder = temp.absoluteFilePath(name);
                    const QByteArray path = QFile::encodeName(folder);
                    struct stat st;
                    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
                        continue;
                    const auto remove = [&folder] {
                        for (const QString& sockets : OfficeSocketFolders())
                            RemoveOfficeSockets(OfficeSocketPaths(QString(), ProfileUrl(folder), sockets));
                        QDir(folder).removeRecursively();
                    };
                    // A folder without a lock file may be one that is just being set up,
                    // which takes moments; an hour-old one is a removal cut short.
                    const int fd = ::open((path + '/' + kOwnerLockName).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
                    if (fd < 0) {
                        constexpr time_t kAbandonedAfter = 3600;
                        if (errno == ENOENT && st.st_mtime < ::time(nullptr) - kAbandonedAfter)
                            remove();
                        continue;
                    }
                    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
                        remove();
                    ::close(fd);
                }
            }
            // Pipe sockets carry the id of the program that made them.
            const QString prefix = QStringLiteral("OSL_PIPE_%1_pelorin-").arg(::getuid());
            for (const QString& sockets : OfficeSocketFolders()) {
                const QDir folder(sockets);
                for (const QString& name : folder.entryList({prefix + QLatin1Char('*')}, QDir::System | QDir::Hidden)) {
                    bool number = false;
                    const pid_t owner = pid_t(name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toInt(&number));
                    const QByteArray path = QFile::encodeName(folder.absoluteFilePath(name));
                    if (number && owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH && IsOwnSocket(path) && !Listening(path))
                        ::unlink(path.constData());
                }
            }
        });
    } catch (...) {
    }
}

OfficeWatcher::OfficeWatcher(const QString& folder, const QStringList& sockets)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        throw Failure(QCoreApplication::translate("OfficeGuard", "The office engine could not be started: no watcher (%1)")
            .arg(reason));
    }
    std::vector<QByteArray> arguments{"/bin/sh", "-c", kWatcherScript, "pelorin-office-watcher", QFile::encodeName(folder)};
    for (const QString& socket : sockets)
        arguments.push_back(QFile::encodeName(socket));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // A session of its own: a Ctrl+C to the terminal's group does not take it along.
    mPid = SpawnInOwnSession(arguments, {}, &actions);
    const int error = errno;
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (mPid == 0) {
        ::close(ends[0]);
        throw Failure(QCoreApplication::translate("OfficeGuard", "The office engine could not be started: no watcher (%1)")
                          .arg(QString::fromLocal8Bit(strerror(error))));
    }
    mSocket = ends[0];
}

void OfficeWatcher::send(const char* line) noexcept
{
    if (mSocket >= 0)
        (void)!::send(mSocket, line, std::strlen(line), MSG_NOSIGNAL);
}

void OfficeWatcher::watch(pid_t group)
{
    const QByteArray line = QByteArray::number(group) + '\n';
    send(line.constData());
    mWatching = true;
}

void OfficeWatcher::release() noexcept
{
    if (mSocket < 0)
        return;
    if (!mWatching)
        send("0\n");
    send("q\n");
    ::close(mSocket);
    mSocket = -1;
    if (mPid > 0)
        while (::waitpid(mPid, nullptr, 0) < 0 && errno == EINTR) {
        }
    mPid = 0;
}

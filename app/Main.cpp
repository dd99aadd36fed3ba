// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Main.h"

#include "ErrorTrap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const kProductName = "Pelorin Greeting Designer";
const char* const kSettingsApplication = "Varnhold";
const char* const kHomePageUrl = "https://pelorin-greetings.example/";
const char* const kSupportContact = "the Pelorin Cards Support Team, https://pelorin-greetings.example/contact";

namespace {
QString gAppTitle;

Failure SystemFailure(const QString& what, const QString& path)
{
    return Failure(what + QStringLiteral(" '") + path + QStringLiteral("': ") + QString::fromLocal8Bit(std::strerror(errno)));
}

// A folder we may keep fixed file names in: ours, private, and not a link.
bool IsPrivateFolder(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & 077) == 0;
}

// A folder of ours that only we could ever write to, but that others may
// read (made with the default umask, for instance by the office profile
// cache beneath it), is made private: nothing in it can be another's.
void MakeOwnFolderPrivate(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 022) == 0)
        ::fchmod(fd, 0700);
    ::close(fd);
}

// Writes all of `data` to `fd`; false (errno set) when the file system refused.
bool WriteAll(int fd, const QByteArray& data)
{
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        written += n;
    }
    return true;
}
} // namespace

QString AppTitle()
{
    return gAppTitle;
}

QString ShortenedTitle(const QString& name)
{
    QString title = name;
    do {
        const int space = title.lastIndexOf(QLatin1Char(' '));
        if (space < 0)
            break; // no space left to cut at
        title.truncate(space);
    } while (title.size() > 40);
    return title;
}

void SetAppTitle()
{
    gAppTitle = ShortenedTitle(QString::fromLatin1(kProductName));
}

void DoEvents()
{
    QCoreApplication::processEvents();
}

QString TempFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("TEMP");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;

    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !IsPrivateFolder(QFile::encodeName(base)))
        base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    QDir().mkpath(base);
    const QString folder = base + QStringLiteral("/pelorin-greeting-designer");
    const QByteArray encoded = QFile::encodeName(folder);
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST)
        throw SystemFailure(QStringLiteral("Cannot create the temporary folder"), folder);
    MakeOwnFolderPrivate(encoded);
    if (!IsPrivateFolder(encoded))
        throw Failure(QStringLiteral("The temporary folder '") + folder
                      + QStringLiteral("' is not a private folder of this user"));
    return folder;
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

void WriteFileIfMissing(const QByteArray& data, const QString& path)
{
    DoEvents();
    if (FileExists(path))
        return;
    const QByteArray encoded = QFile::encodeName(path);
    // O_EXCL with O_NOFOLLOW: a planted link (even a dangling one) makes the
    // open fail instead of writing wherever the link points.
    const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw SystemFailure(QStringLiteral("Cannot create file"), path);
    if (!WriteAll(fd, data)) {
        const Failure failure = SystemFailure(QStringLiteral("Cannot write file"), path);
        ::close(fd);
        // A half-written file would be taken as complete on the next run.
        ::unlink(encoded.constData());
        throw failure;
    }
    if (::close(fd) != 0) {
        const Failure failure = SystemFailure(QStringLiteral("Cannot write file"), path);
        ::unlink(encoded.constData());
        throw failure;
    }
}

void DeleteFileQuietly(const QString& path)
{
    DoEvents();
    if (::unlink(QFile::encodeName(path).constData()) == 0)
        return;
    try {
        ForceDeleteFile(path);
    } catch (...) {
    }
}

void ForceDeleteFile(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(encoded.constData(), &info) != 0)
        throw SystemFailure(QStringLiteral("File not found"), path);
    if (!S_ISLNK(info.st_mode))
        ::chmod(encoded.constData(), (info.st_mode & 07777) | S_IWUSR);
    if (::unlink(encoded.constData()) != 0)
        throw SystemFailure(QStringLiteral("Permission denied"), path);
}

void WriteFileAtomically(const QByteArray& data, const QString& path)
{
    const QFileInfo target(path);
    if (target.fileName().isEmpty())
        throw Failure(QStringLiteral("Bad file name or number"));
    QByteArray pattern = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                           + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw SystemFailure(QStringLiteral("Cannot write file"), path);
    bool ok = WriteAll(fd, data);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(pattern.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok) {
        const Failure failure = SystemFailure(QStringLiteral("Cannot write file"), path);
        ::unlink(pattern.constData());
        throw failure;
    }
}

void OverwriteFileInPlace(const QByteArray& data, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        throw SystemFailure(QStringLiteral("Cannot write file"), path);
    bool ok = WriteAll(fd, data);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok)
        throw SystemFailure(QStringLiteral("Cannot write file"), path);
}

QImage LoadPicture(const QString& path)
{
    if (!FileExists(path))
        throw Failure(QStringLiteral("File not found: ") + path);
    QImage picture(path);
    if (picture.isNull())
        throw Failure(QStringLiteral("Invalid picture: ") + path);
    return picture;
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

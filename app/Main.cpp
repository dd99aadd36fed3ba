// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Main.h"

#include "ErrorTrap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <vector>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const kProductName = "Pelorin Greeting Designer";
const char* const kSettingsApplication = "Varnhold";
const char* const kHomePageUrl = "https://pelorin-greetings.example/";
const char* const kSupportPage = "https://pelorin-greetings.example/contact";

namespace {
QString gAppTitle;

// `format` (marked for translation, "… '%1': %2") takes the path and what
// the system said, read before anything else can change errno.
Failure SystemFailure(const char* format, const QString& path)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    return Failure(QCoreApplication::translate("Main", format).arg(path, reason));
}

// A folder we may keep fixed file names in: ours, private, and not a link.
bool IsPrivateFolder(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & 077) == 0;
}

std::mutex gWritesMutex;
std::condition_variable gWritesDone;
int gWrites = 0;
bool gEnding = false;  // no write starts once the program is ending
std::vector<QByteArray> gUnfinished;  // temporary files of the writes in progress
std::vector<std::pair<QByteArray, QByteArray>> gKeptUntilTheEnd;  // files, and the folders made for them
} // namespace

FileWriting::FileWriting(AtEnd atEnd) : mAtEnd(atEnd)
{
    std::unique_lock<std::mutex> lock(gWritesMutex);
    // An ending program ends while this waits.
    gWritesDone.wait(lock, [] { return !gEnding; });
    if (mAtEnd == AtEnd::Wait)
        ++gWrites;
}

FileWriting::~FileWriting()
{
    const std::lock_guard<std::mutex> lock(gWritesMutex);
    if (!mTemporary.isEmpty())
        gUnfinished.erase(std::find(gUnfinished.begin(), gUnfinished.end(), mTemporary));
    if (mAtEnd == AtEnd::Wait)
        --gWrites;
    gWritesDone.notify_all();
}

void FileWriting::setTemporary(const QByteArray& path)
{
    const std::lock_guard<std::mutex> lock(gWritesMutex);
    mTemporary = path;
    gUnfinished.push_back(path);
}

bool WaitForFileWrites(std::chrono::milliseconds bound) noexcept
{
    std::unique_lock<std::mutex> lock(gWritesMutex);
    gEnding = true;
    return gWritesDone.wait_for(lock, bound, [] { return gWrites == 0; });
}

void RemoveUnfinishedFiles() noexcept
{
    const std::lock_guard<std::mutex> lock(gWritesMutex);
    for (const QByteArray& path : gUnfinished)
        ::unlink(path.constData());
    for (const auto& [file, folder] : gKeptUntilTheEnd) {
        ::unlink(file.constData());
        ::rmdir(folder.constData());
    }
}

void KeepUntilTheEnd(const QString& file, const QString& folder)
{
    const std::lock_guard<std::mutex> lock(gWritesMutex);
    gKeptUntilTheEnd.emplace_back(QFile::encodeName(file), QFile::encodeName(folder));
}

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
    const QString folder = base + QStringLiteral("/pelorin-greeting-designer");
    if (MakePrivateFolder(folder)) {
        // Others could write here until now: a file under one of the fixed
        // names may be theirs. Both are made anew when needed.
        ::unlink(QFile::encodeName(folder + QStringLiteral("/template.dot")).constData());
        ::unlink(QFile::encodeName(folder + QStringLiteral("/temp.bmp")).constData());
    }
    return folder;
}

void MakeMissingFolders(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(QDir::cleanPath(QDir(path).absolutePath()));
    for (qsizetype slash = encoded.indexOf('/', 1); slash != -1; slash = encoded.indexOf('/', slash + 1))
        ::mkdir(encoded.left(slash).constData(), 0700);
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST)
        throw SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot create the folder '%1': %2"), path);
}

bool MakePrivateFolder(const QString& path)
{
    MakeMissingFolders(path);
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        throw Failure(QCoreApplication::translate("Main",
                                                  "The folder '%1' is a symbolic link or not a folder, so it cannot be "
                                                         "kept private. Remove it, then try again.")
                          .arg(path));
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    if (!known || info.st_uid != ::geteuid()) {
        ::close(fd);
        throw Failure(QCoreApplication::translate("Main", "The folder '%1' belongs to another user, so it cannot be kept "
                                                         "private. Remove it or make it your own, then try again.")
                          .arg(path));
    }
    // Made by this program under a permissive umask, or opened since.
    const bool wasOpen = (info.st_mode & 077) != 0;
    if (wasOpen && ::fchmod(fd, 0700) != 0) {
        const Failure failure = SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot make the folder private '%1': %2"), path);
        ::close(fd);
        throw failure;
    }
    ::close(fd);
    return (info.st_mode & 022) != 0;
}

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

unsigned ProcessUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const unsigned mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mask;
            }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

void WriteNewFile(const QByteArray& data, const QString& path, FileWriting* writing)
{
    const QByteArray encoded = QFile::encodeName(path);
    // O_EXCL with O_NOFOLLOW: a planted link (even a dangling one) makes the
    // open fail instead of writing wherever the link points.
    const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot create file '%1': %2"), path);
    if (writing)
        writing->setTemporary(encoded);
    const bool written = WriteAll(fd, data);
    const int error = errno;
    if (::close(fd) != 0 || !written) {
        if (!written)
            errno = error;
        const Failure failure = SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot write file '%1': %2"), path);
        // A half-written file would be taken as complete later.
        ::unlink(encoded.constData());
        throw failure;
    }
}

void WriteFileIfMissing(const QByteArray& data, const QString& path)
{
    DoEvents();
    if (FileExists(path))
        return;
    // Until complete it is no template at all: an ending program removes it.
    FileWriting writing;
    WriteNewFile(data, path, &writing);
}

void WriteUserFile(const QByteArray& data, const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (FileExists(path) && ::access(folder.constData(), W_OK | X_OK) != 0) {
        OverwriteFileInPlace(data, path);
        return;
    }
    WriteFileAtomically(data, path);
    // The user's own document: the permissions of any new file, not those
    // of a private temporary one.
    ::chmod(QFile::encodeName(path).constData(), 0666 & ~ProcessUmask());
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
        throw SystemFailure(QT_TRANSLATE_NOOP("Main", "File not found '%1': %2"), path);
    if (!S_ISLNK(info.st_mode))
        ::chmod(encoded.constData(), (info.st_mode & 07777) | S_IWUSR);
    if (::unlink(encoded.constData()) != 0)
        throw SystemFailure(QT_TRANSLATE_NOOP("Main", "Permission denied '%1': %2"), path);
}

void WriteFileAtomically(const QByteArray& data, const QString& path, Durability durability)
{
    const QFileInfo target(path);
    if (target.fileName().isEmpty())
        throw Failure(QCoreApplication::translate("Main", "Bad file name or number"));
    QByteArray pattern = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                           + QStringLiteral(".XXXXXX"));
    FileWriting writing;
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot write file '%1': %2"), path);
    writing.setTemporary(pattern);
    bool ok = WriteAll(fd, data);
    ok = ok && (durability == Durability::Unsynced || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(pattern.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok) {
        const Failure failure = SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot write file '%1': %2"), path);
        ::unlink(pattern.constData());
        throw failure;
    }
}

void OverwriteFileInPlace(const QByteArray& data, const QString& path)
{
    FileWriting writing;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        throw SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot write file '%1': %2"), path);
    bool ok = WriteAll(fd, data);
    // A pipe or a device has nothing to put on a disk.
    ok = ok && (::fsync(fd) == 0 || errno == EINVAL);
    ok = (::close(fd) == 0) && ok;
    if (!ok)
        throw SystemFailure(QT_TRANSLATE_NOOP("Main", "Cannot write file '%1': %2"), path);
}

QImage LoadPicture(const QString& path)
{
    if (!FileExists(path))
        throw Failure(QCoreApplication::translate("Main", "File not found: %1").arg(path));
    QImage picture(path);
    if (picture.isNull())
        throw Failure(QCoreApplication::translate("Main", "Invalid picture: %1").arg(path));
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

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "OfficeFolders.h"

#include "Main.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The office's own test: may this process create files there?
bool Writable(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

// A folder of the user's own for when the shared ones take no files: the
// session's runtime folder (private, and short enough for a socket's
// name), else the user's cache folder.
QString OwnFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat info {};
    if (!runtime.isEmpty() && ::lstat(QFile::encodeName(runtime).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0)
        return runtime;
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    try {
        MakeMissingFolders(cache);
    } catch (...) {
        // Then nothing can be made there; whoever uses it says so.
    }
    return cache;
}

const QString kSharedSocketFolders[] = {QStringLiteral("/tmp"), QStringLiteral("/var/tmp")};

}  // namespace

QString OfficeSocketFolder()
{
    for (const QString& folder : kSharedSocketFolders)
        if (Writable(folder))
            return folder;
    return OwnFolder();
}

bool OfficeMustBeToldOf(const QString& folder)
{
    for (const QString& shared : kSharedSocketFolders)
        if (folder == shared)
            return false;
    return true;
}

QString OfficeFolderBase()
{
    for (const QString& folder : {QDir::tempPath(), QStringLiteral("/var/tmp")})
        if (Writable(folder))
            return folder;
    return OwnFolder();
}

QStringList OfficeSocketFolders()
{
    QStringList folders(std::begin(kSharedSocketFolders), std::end(kSharedSocketFolders));
    folders << OwnFolder();
    folders.removeDuplicates();
    return folders;
}

QStringList OfficeFolderBases()
{
    QStringList folders{QDir::tempPath(), QStringLiteral("/var/tmp"), OwnFolder()};
    folders.removeDuplicates();
    return folders;
}

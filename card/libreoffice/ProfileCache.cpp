// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "ProfileCache.h"

#include "ErrorTrap.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A prepared profile is copied instead of letting each office build one.
bool copyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (info.fileName() == QLatin1String(".lock"))
            continue;
        if (info.isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

// Settings every instance starts with: no lock files beside documents (a
// killed office would leave them and block later saves), no first-start work.
const char kRegistry[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseDocumentOOoLockFile" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseDocumentSystemFileLocking" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseLocking" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="CreateBackup" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="AutoSave" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/AutoSave"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/RecoveryInfo"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="MacroSecurityLevel" oor:op="fuse"><value>3</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="DisableMacrosExecution" oor:op="fuse"><value>true</value></prop></item>
</oor:items>
)";

// The cache folder for this office installation, or empty when unusable.
QString seedFolder(const LibreOfficeOptions& options)
{
    if (options.profileCache.isEmpty())
        return {};
    QFile version(QFileInfo(QFileInfo(options.launcher).canonicalFilePath()).absolutePath() +
                  QStringLiteral("/versionrc"));
    if (!version.open(QIODevice::ReadOnly))
        return {};
    const QByteArray key = QCryptographicHash::hash(version.readAll() + QByteArray(kRegistry), QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    if (!QDir().mkpath(options.profileCache))
        return {};
    // Only a folder of our own that nobody else can write is trusted.
    struct stat st;
    const QByteArray cache = QFile::encodeName(options.profileCache);
    if (::lstat(cache.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return {};
    ::chmod(cache.constData(), 0700);
    return options.profileCache + QStringLiteral("/profile-") + QString::fromLatin1(key);
}

}  // namespace

ProfileCache::ProfileCache(const LibreOfficeOptions& options) : mSeed(seedFolder(options)) {}

void ProfileCache::prepare(const QString& profile)
{
    if (!mSeed.isEmpty() && QFileInfo::exists(mSeed + QStringLiteral("/user/registrymodifications.xcu"))) {
        if (copyTree(mSeed, profile)) {
            mUsed = true;
            return;
        }
        QDir(profile).removeRecursively();
    }
    QDir().mkpath(profile + QStringLiteral("/user"));
    QFile registry(profile + QStringLiteral("/user/registrymodifications.xcu"));
    if (!registry.open(QIODevice::WriteOnly) || registry.write(kRegistry) < 0)
        throw Failure(QStringLiteral("The office engine could not be started: cannot write its profile"));
}

void ProfileCache::offer(const QString& profile)
{
    if (mSeed.isEmpty() || mUsed || QFileInfo::exists(mSeed))
        return;
    const QString temporary = mSeed + QStringLiteral(".tmp-%1").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    if (copyTree(profile, temporary) && ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(mSeed).constData()) == 0)
        return;
    QDir(temporary).removeRecursively();
}

void ProfileCache::dropIfUsed()
{
    if (mUsed)
        QDir(mSeed).removeRecursively();
}

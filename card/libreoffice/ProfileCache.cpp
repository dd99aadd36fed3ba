// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "ProfileCache.h"

#include "ErrorTrap.h"
#include "Main.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <map>
#include <mutex>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool copyFile(const QByteArray& from, const QByteArray& to)
{
    const int in = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool ok = out >= 0;
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteAll(out, QByteArray::fromRawData(buffer, n));
    }
    if (out >= 0)
        ok = ::close(out) == 0 && ok;
    ::close(in);
    return ok;
}

// Copies a folder into a new one with plain system calls: a start pays for
// every file of the profile, and the file system's own copy helpers cost
// several times as much per file. Everything made is private to this user
// whatever the umask; links, sockets and the office's lock are left out.
bool copyTree(const QByteArray& from, const QByteArray& to)
{
    if (::mkdir(to.constData(), 0700) != 0)
        return false;
    DIR* folder = ::opendir(from.constData());
    if (!folder)
        return false;
    bool ok = true;
    while (ok) {
        const dirent* entry = ::readdir(folder);
        if (!entry)
            break;
        const QByteArray name(entry->d_name);
        if (name == "." || name == ".." || name == ".lock")
            continue;
        const QByteArray source = from + '/' + name;
        const QByteArray target = to + '/' + name;
        struct stat st;
        if (::lstat(source.constData(), &st) != 0)
            ok = false;
        else if (S_ISDIR(st.st_mode))
            ok = copyTree(source, target);
        else if (S_ISREG(st.st_mode))
            ok = copyFile(source, target);
    }
    ::closedir(folder);
    return ok;
}

// What of an office's profile makes the next start fast: its settings and
// the registration of the office's bundled extensions (without it the office
// registers them and starts again). The rest is what the office copies into
// a new profile once and backs up as it ends, which no instance here uses.
const char* const kPreparedParts[] = {"registrymodifications.xcu", "extensions", "uno_packages"};

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
)";

// The office's version as its installation's configuration states it, or
// empty when that cannot be read (an office elsewhere, a test's stand-in).
QString ReadInstalledVersion(const QString& programFolder)
{
    QFile file(programFolder + QStringLiteral("/../share/registry/main.xcd"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // <oor:component-data oor:name="Setup"> <node oor:name="Product"> <prop oor:name="ooSetupVersion"> <value>
    QXmlStreamReader xml(&file);
    const QString oor = QStringLiteral("http://openoffice.org/2001/registry");
    QStringList path;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            path.removeLast();
        } else if (token == QXmlStreamReader::StartElement) {
            path << xml.attributes().value(oor, QStringLiteral("name")).toString();
            if (path == QStringList{QString(), QStringLiteral("Setup"), QStringLiteral("Product"), QStringLiteral("ooSetupVersion"), QString()}) {
                const QString version = xml.readElementText().trimmed();
                static const QRegularExpression form(QStringLiteral("^\\d+\\.\\d+(\\.\\d+)*$"));
                return form.match(version).hasMatch() ? version : QString();
            }
        }
    }
    return {};
}

}  // namespace

QString InstalledOfficeVersion(const QString& launcher)
{
    // Read once per office installation and process: the file is large.
    static std::mutex mutex;
    static std::map<QString, QString> known;
    const QString program = QFileInfo(QFileInfo(launcher).canonicalFilePath()).absolutePath();
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = known.find(program);
    if (found != known.end())
        return found->second;
    return known[program] = ReadInstalledVersion(program);
}

QByteArray StartingRegistry(const QString& version)
{
    QByteArray registry = kRegistry;
    // The office does its once-per-version work, a graphics self-test above
    // all, on every start from a profile that does not record the running
    // version as the last one; a headless office never records it itself.
    if (!version.isEmpty())
        registry += R"(<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>)"
                    + version.toLatin1() + "</value></prop></item>\n";
    return registry + "</oor:items>\n";
}

namespace {

// The cache folder for this office installation, these starting settings
// and this choice of what is kept, or empty when unusable.
QString seedFolder(const LibreOfficeOptions& options, const QByteArray& registry)
{
    if (options.profileCache.isEmpty())
        return {};
    QFile version(QFileInfo(QFileInfo(options.launcher).canonicalFilePath()).absolutePath() +
                  QStringLiteral("/versionrc"));
    if (!version.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(version.readAll());
    hash.addData(registry);
    for (const char* part : kPreparedParts)
        hash.addData(QByteArrayView(part));
    const QString seed = QStringLiteral("profile-") + QString::fromLatin1(hash.result().toHex().left(16));
    // Only a folder of our own that nobody else can write is trusted; a
    // prepared profile someone else could have changed is made anew.
    try {
        const bool suspect = MakePrivateFolder(options.profileCache);
        const QDateTime anHourAgo = QDateTime::currentDateTime().addSecs(-3600);
        for (const QFileInfo& entry : QDir(options.profileCache).entryInfoList({QStringLiteral("profile-*")}, QDir::Dirs | QDir::Hidden)) {
            // Another key's profile belongs to an office or settings of the
            // past and is never used again; an unfinished one that old was
            // left by a program that died while offering it.
            const bool unfinished = entry.fileName().contains(QStringLiteral(".tmp-"));
            const bool stale = unfinished ? entry.lastModified() < anHourAgo : entry.fileName() != seed;
            if (suspect || stale)
                QDir(entry.absoluteFilePath()).removeRecursively();
        }
    } catch (const Failure&) {
        return {};
    }
    return options.profileCache + QLatin1Char('/') + seed;
}

}  // namespace

ProfileCache::ProfileCache(const LibreOfficeOptions& options)
    : mRegistry(StartingRegistry(InstalledOfficeVersion(options.launcher))), mSeed(seedFolder(options, mRegistry))
{
}

void ProfileCache::prepare(const QString& profile)
{
    if (!mSeed.isEmpty() && QFileInfo::exists(mSeed + QStringLiteral("/user/registrymodifications.xcu"))) {
        if (copyTree(QFile::encodeName(mSeed), QFile::encodeName(profile))) {
            mUsed = true;
            return;
        }
        QDir(profile).removeRecursively();
    }
    const QByteArray user = QFile::encodeName(profile) + "/user";
    ::mkdir(QFile::encodeName(profile).constData(), 0700);
    ::mkdir(user.constData(), 0700);
    try {
        WriteNewFile(mRegistry, profile + QStringLiteral("/user/registrymodifications.xcu"));
    } catch (const Failure& failure) {
        throw Failure(QCoreApplication::translate("ProfileCache",
                                                  "The office engine could not be started: cannot write its profile (%1)")
                          .arg(failure.description()));
    }
}

bool ProfileCache::wouldTake() const
{
    return !mSeed.isEmpty() && !mUsed && !QFileInfo::exists(mSeed);
}

void ProfileCache::offer(const QString& profile)
{
    if (!wouldTake())
        return;
    const QString temporary = mSeed + QStringLiteral(".tmp-%1").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    const QByteArray from = QFile::encodeName(profile) + "/user";
    const QByteArray to = QFile::encodeName(temporary);
    bool ok = ::mkdir(to.constData(), 0700) == 0 && ::mkdir((to + "/user").constData(), 0700) == 0;
    for (const char* part : kPreparedParts) {
        struct stat st;
        const QByteArray source = from + '/' + part;
        const QByteArray target = to + "/user/" + part;
        if (!ok || ::lstat(source.constData(), &st) != 0)
            continue;
        ok = S_ISDIR(st.st_mode) ? copyTree(source, target) : copyFile(source, target);
    }
    if (ok && ::rename(to.constData(), QFile::encodeName(mSeed).constData()) == 0)
        return;
    QDir(temporary).removeRecursively();
}

void ProfileCache::dropIfUsed()
{
    if (mUsed)
        QDir(mSeed).removeRecursively();
}

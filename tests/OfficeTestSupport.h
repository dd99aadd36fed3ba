// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// What the tests that start real offices share: the source tree, small file
// helpers, independent readers, and the office processes this test program
// started (their pipe names carry its process id).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <unistd.h>

namespace officetest {

inline QString SourceDir()
{
    return qEnvironmentVariable("SOURCE_DIR");
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Output of a helper program; empty when it did not finish within 60 s.
inline QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline bool IsWordDocument(const QString& path)
{
    return Run(QStringLiteral("file"), {path}).contains(QStringLiteral("Composite Document File V2 Document"));
}

// One live office process of this test program.
struct OfficeProcessInfo {
    int pid;
    QByteArray commandLine; // arguments joined by spaces
};

// Live (not zombie) processes whose command line holds `text`.
inline QList<OfficeProcessInfo> ProcessesMentioning(const QByteArray& text)
{
    QList<OfficeProcessInfo> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        if (!ok)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            continue;
        QByteArray command = cmdline.readAll();
        const QByteArray status = stat.readAll();
        const int close = status.lastIndexOf(')');
        const bool zombie = close > 0 && status.mid(close + 2, 1) == "Z";
        command.replace('\0', ' ');
        if (!zombie && command.contains(text))
            found.append({pid, command});
    }
    return found;
}

// Live processes whose command line carries the pipe marker of this test
// program (or of the program `owner`), optionally only those of one pipe name.
inline QList<OfficeProcessInfo> OurOfficeProcesses(const QString& pipe = QString(), int owner = ::getpid())
{
    return ProcessesMentioning(pipe.isEmpty() ? "pipe,name=pelorin-" + QByteArray::number(owner) + '-'
                                              : "pipe,name=" + pipe.toLatin1() + ';');
}

// Their ids, optionally only those whose command line holds `only`.
inline QList<int> OurOfficePids(const QByteArray& only = {})
{
    QList<int> pids;
    for (const OfficeProcessInfo& p : OurOfficeProcesses())
        if (only.isEmpty() || p.commandLine.contains(only))
            pids << p.pid;
    return pids;
}

inline QString CardTemplatePath()
{
    return SourceDir() + QStringLiteral("/resources/card-template.dot");
}

inline QString CatDoc(const QString& path)
{
    return Run(QStringLiteral("catdoc"), {QStringLiteral("-d"), QStringLiteral("utf-8"), path});
}

} // namespace officetest

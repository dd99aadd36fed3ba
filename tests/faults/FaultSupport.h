// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Shared pieces of the fault-injection tests: the real office behind a hook
// that runs before every automation call, a finder for the office processes
// this test program started, file and mount helpers.

#include "Fakes.h"
#include "Main.h"
#include "OfficeTestSupport.h"
#include "LibreOfficeWord.h"
#include "QtPlatform.h"
#include "Skin.h"
#include "WordAutomation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>
#include <unistd.h>

namespace faults {

using namespace officetest;

// Kills whatever office process this test program left behind; returns their ids.
inline QList<int> KillLeftovers()
{
    const QList<int> left = OurOfficePids();
    for (int pid : left)
        ::kill(pid, SIGKILL);
    return left;
}

enum class Members { All, Office, Launcher };

// Sends `signal` to processes of one office instance: all of them, the
// office itself (soffice.bin) or only its launcher.
inline int SignalInstance(const QString& pipe, int signal, Members which = Members::All)
{
    int sent = 0;
    for (const OfficeProcessInfo& p : OurOfficeProcesses(pipe)) {
        const bool office = p.commandLine.split(' ').value(0).endsWith("soffice.bin");
        if ((which == Members::Office && !office) || (which == Members::Launcher && office))
            continue;
        if (::kill(p.pid, signal) == 0)
            ++sent;
    }
    return sent;
}

// Waits (at most `ms`) until no live soffice.bin of the instance is left.
inline bool WaitOfficeGone(const QString& pipe, int ms)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        bool office = false;
        for (const OfficeProcessInfo& p : OurOfficeProcesses(pipe))
            office = office || p.commandLine.split(' ').value(0).endsWith("soffice.bin");
        if (!office)
            return true;
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
}

// Waits (at most `ms`) until no live process of the instance is left.
inline bool WaitInstanceGone(const QString& pipe, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!OurOfficeProcesses(pipe).isEmpty()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// The real office factory behind a hook that runs before every call, so a
// test can stop, kill or crash the instance at an exact point.
class HookedWordFactory : public WordFactory {
public:
    // Operation name, instance number (1 = first created) and its pipe name.
    using Hook = std::function<void(const QString& operation, int instance, const QString& pipe)>;

    explicit HookedWordFactory(WordFactory& inner) : mInner(inner) {}

    Hook before;
    int created = 0;
    QStringList operations; // "<instance>:<operation>" in call order
    QByteArray renderedPdf; // the last picture's PDF that the program took

    void run(const QString& operation, int instance, const QString& pipe)
    {
        operations << QStringLiteral("%1:%2").arg(instance).arg(operation);
        if (before)
            before(operation, instance, pipe);
    }

    class Document : public WordDocument {
    public:
        Document(HookedWordFactory& factory, std::shared_ptr<WordDocument> inner, int instance, QString pipe)
            : mFactory(factory), mInner(std::move(inner)), mInstance(instance), mPipe(std::move(pipe))
        {
        }
        void SelectShape(const QString& name) override
        {
            mFactory.run(QStringLiteral("SelectShape"), mInstance, mPipe);
            mInner->SelectShape(name);
        }
        void TypeText(const QString& text) override
        {
            mFactory.run(QStringLiteral("TypeText"), mInstance, mPipe);
            mInner->TypeText(text);
        }
        void SaveAs(const QString& path) override
        {
            mFactory.run(QStringLiteral("SaveAs"), mInstance, mPipe);
            mInner->SaveAs(path);
        }
        void Close() override
        {
            mFactory.run(QStringLiteral("Close"), mInstance, mPipe);
            mInner->Close();
        }
        void CopyRangeAsPicture() override
        {
            mFactory.run(QStringLiteral("CopyRangeAsPicture"), mInstance, mPipe);
            mInner->CopyRangeAsPicture();
        }
        QByteArray ExportAsPdf() override
        {
            mFactory.run(QStringLiteral("ExportAsPdf"), mInstance, mPipe);
            return mInner->ExportAsPdf();
        }
        QByteArray RenderedPdf() const override
        {
            const QByteArray pdf = mInner->RenderedPdf();
            if (!pdf.isEmpty())
                mFactory.renderedPdf = pdf;
            return pdf;
        }

    private:
        HookedWordFactory& mFactory;
        std::shared_ptr<WordDocument> mInner;
        int mInstance;
        QString mPipe;
    };

    class Application : public WordApplication {
    public:
        Application(HookedWordFactory& factory, std::unique_ptr<WordApplication> inner, int instance, QString pipe)
            : mFactory(factory), mInner(std::move(inner)), mInstance(instance), mPipe(std::move(pipe))
        {
        }
        std::shared_ptr<WordDocument> Open(const QString& path, bool readOnly) override
        {
            mFactory.run(QStringLiteral("Open"), mInstance, mPipe);
            return std::make_shared<Document>(mFactory, mInner->Open(path, readOnly), mInstance, mPipe);
        }
        void SetDisplayAlerts(bool value) override
        {
            mFactory.run(QStringLiteral("SetDisplayAlerts"), mInstance, mPipe);
            mInner->SetDisplayAlerts(value);
        }
        void CloseActiveDocument(short saveChanges) override
        {
            mFactory.run(QStringLiteral("CloseActiveDocument"), mInstance, mPipe);
            mInner->CloseActiveDocument(saveChanges);
        }
        void Quit() override
        {
            mFactory.run(QStringLiteral("Quit"), mInstance, mPipe);
            mInner->Quit();
        }

    private:
        HookedWordFactory& mFactory;
        std::unique_ptr<WordApplication> mInner;
        int mInstance;
        QString mPipe;
    };

    std::unique_ptr<WordApplication> CreateObject(const QString& progId) override
    {
        const int instance = ++created;
        run(QStringLiteral("CreateObject"), instance, QString());
        std::unique_ptr<WordApplication> inner = mInner.CreateObject(progId);
        // The new instance is the one whose pipe name was not seen before.
        QString pipe;
        static const QRegularExpression name(QStringLiteral("pipe,name=(pelorin-\\d+-[0-9a-f]+)"));
        for (const OfficeProcessInfo& p : OurOfficeProcesses()) {
            const QRegularExpressionMatch match = name.match(QString::fromLatin1(p.commandLine));
            if (match.hasMatch() && !mSeen.contains(match.captured(1)))
                pipe = match.captured(1);
        }
        if (!pipe.isEmpty())
            mSeen.insert(pipe);
        return std::make_unique<Application>(*this, std::move(inner), instance, pipe);
    }

    QStringList CharactersWithoutFont(const QString& text) override { return mInner.CharactersWithoutFont(text); }
    void StartSpare(const QString& progId) override { mInner.StartSpare(progId); }

private:
    WordFactory& mInner;
    QSet<QString> mSeen;
};

// Options as the program uses them: the font aliases, and the profile cache
// shared by the fault tests (PELORIN_OFFICE_PROFILE_CACHE when set).
// The services of the program with the real office behind the hook; the
// rest records (message boxes, Save dialog, settings, clipboard in memory).
// Card names come from the program's own generator unless `scripted`.
struct OfficePlatform {
    TestPlatform test;
    RandomGenerator generator;
    LibreOfficeWordFactory office{test.clipboard, LibreOfficeOptions::forProgram()};
    HookedWordFactory word{office};
    bool scripted = false;
    Platform platform{test.messageBoxes, test.saveDialog, test.printDialog, test.printQueue, test.mail, test.settings, test.processes, test.clipboard, word,
                      test.programEnd,
                      [this](double seed) {
                          if (scripted)
                              test.platform.randomize(seed);
                          else
                              generator.seed(seed);
                      },
                      [this] { return scripted ? test.platform.random() : generator.next(); },
                      SecondsSinceMidnight, QString()};
};

// A skin component that is never expected to be called (no skin file).
class NoSkin : public SkinComponent {
public:
    QVariant invoke(int, const QVariantList&) override { throw Failure(QStringLiteral("unexpected")); }
    QVariant getProperty(int) override { throw Failure(QStringLiteral("unexpected")); }
    void setProperty(int, const QVariant&) override { throw Failure(QStringLiteral("unexpected")); }
};

// A tmpfs mounted on a folder for the lifetime of the object.
class TmpfsMount {
public:
    TmpfsMount(const QString& folder, const QString& options) : mFolder(folder)
    {
        QDir().mkpath(folder);
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                                              QStringLiteral("tmpfs"), folder});
        mMounted = mount.waitForFinished(20000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
        if (!mMounted)
            mError = QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
    }
    ~TmpfsMount()
    {
        if (mMounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), mFolder});
    }
    // Changes the mount's options in place, e.g. "remount,ro".
    bool remount(const QString& options)
    {
        return QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), options, mFolder}) == 0;
    }
    bool mounted() const { return mMounted; }
    QString error() const { return mError.isEmpty() ? QStringLiteral("mount failed") : mError; }

private:
    QString mFolder;
    bool mMounted = false;
    QString mError;
};

// Every file name in a folder, hidden ones too.
inline QStringList FilesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Error steps are compared as "Procedure:step"; the texts of all messages
// (first line only) help when a comparison fails.
inline QString MessageLog(const RecordingMessageBoxes& boxes)
{
    QStringList lines;
    for (const ShownMessage& message : boxes.shown)
        lines << message.text.left(300).replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
    return lines.join(QLatin1Char('\n'));
}

} // namespace faults

namespace faults {

// The folders and environment of a test program that starts offices, and
// the check that nothing of an office outlives a test case.
class OfficeHygiene {
public:
    void prepare(const QString& root)
    {
        mRoot = root;
        SetAppTitle();
        mOfficeTemp = root + QStringLiteral("/office-tmp");
        QDir().mkpath(mOfficeTemp);
        // The office's private folders go here, so the test can see they are removed.
        qputenv("TMPDIR", QFile::encodeName(mOfficeTemp));
        if (!qEnvironmentVariableIsSet("PELORIN_OFFICE_PROFILE_CACHE"))
            qputenv("PELORIN_OFFICE_PROFILE_CACHE", QFile::encodeName(root + QStringLiteral("/profile-cache")));
        resetOverrides();
    }
    // A fresh temporary folder for the next case, made the program's TEMP.
    QString nextTempFolder()
    {
        const QString folder = mRoot + QStringLiteral("/temp-%1").arg(++mCase);
        QDir().mkpath(folder);
        qputenv("TEMP", QFile::encodeName(folder));
        return folder;
    }
    // Ends a case: the overrides go, and what an office left is returned.
    QString finishCase()
    {
        resetOverrides();
        return leftovers();
    }
    static void resetOverrides()
    {
        qunsetenv("PELORIN_SOFFICE");
        qunsetenv("PELORIN_OFFICE_TIMEOUT_MS");
        qunsetenv("PELORIN_OFFICE_START_TIMEOUT_MS");
    }
    // What an office left behind (processes are killed); empty when nothing.
    QString leftovers() const
    {
        QStringList problems;
        const QList<int> processes = KillLeftovers();
        if (!processes.isEmpty()) {
            QStringList ids;
            for (int pid : processes)
                ids << QString::number(pid);
            problems << QStringLiteral("office processes left running (killed now): ") + ids.join(QLatin1Char(' '));
        }
        const QStringList folders = QDir(mOfficeTemp).entryList({QStringLiteral("pelorin-office-*")},
                                                                QDir::AllEntries | QDir::Hidden);
        if (!folders.isEmpty())
            problems << QStringLiteral("private office folders left: ") + folders.join(QLatin1Char(' '));
        const QStringList sockets = QDir(QStringLiteral("/tmp")).entryList(
            {QStringLiteral("OSL_PIPE_*_pelorin-%1-*").arg(::getpid())}, QDir::System);
        if (!sockets.isEmpty())
            problems << QStringLiteral("office pipe sockets left: ") + sockets.join(QLatin1Char(' '));
        return problems.join(QStringLiteral("; "));
    }

private:
    QString mRoot;
    QString mOfficeTemp;
    int mCase = 0;
};

} // namespace faults

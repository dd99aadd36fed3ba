// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// The program ends while it makes a card: by SIGTERM (a logout, a plain
// kill), by SIGKILL (a force-quit, a crash) or by its window being closed;
// and two copies of it make their cards at once.
// Nothing of its office may stay: no process, no private folder, no pipe
// socket. A user's own office on the default profile, and folders of live
// instances, are left alone. The program under test is this binary run
// with "--card POINT HOW"; it prints each office call as it makes it.

#include "FaultSupport.h"
#include "Form1.h"
#include "Form2.h"
#include "OfficeGuard.h"
#include "TextBox.h"
#include "Main.h"
#include "PictureBox.h"

#include <QCryptographicHash>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/time.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>

using namespace faults;

namespace {

// The live offices of the program `owner`.
int LiveOffices(qint64 owner)
{
    int offices = 0;
    for (const OfficeProcessInfo& p : OurOfficeProcesses(QString(), int(owner)))
        offices += p.commandLine.split(' ').value(0).endsWith("soffice.bin");
    return offices;
}

// The program: one card; at POINT ("starting", "typing", "saving", "picture") it
// reports "at" and leaves the office call hanging, or (HOW "close") asks
// its window to close; at "typing" and "saving" once the snapshot's office
// runs beside the first ("offices 2"). At "preview" it reports "at" once the
// preview is shown and goes on as the program does, or (HOW "close") closes
// it; at "export" its picture fails, so that saving the card as a PDF then
// exports it, and the office that exports it hangs. At "copy" it makes a
// card of the message HOW and tells what it holds.
int RunCard(char* argv[])
{
    QtProgramEnd::BlockEndSignals();
    int argc = 1;
    QApplication application(argc, argv);
    SetAppTitle();
    const QString point = QString::fromLatin1(argv[2]);
    const bool close = QByteArray(argv[3]) == "close";
    const bool copy = point == QLatin1String("copy");
    OfficePlatform office;
    QtProgramEnd programEnd(&LibreOfficeWordFactory::EndAllInstances);
    programEnd.EndOnSignals();
    Platform platform{office.test.messageBoxes, office.test.saveDialog, office.test.printDialog,
                      office.test.printQueue, office.test.mail, office.test.settings, office.test.processes,
                      office.test.clipboard, office.word, programEnd, office.platform.randomize,
                      office.platform.random, SecondsSinceMidnight, QString()};
    // A message box runs the message pump while it is open.
    office.test.messageBoxes.onShow = [](const ShownMessage&) { QCoreApplication::processEvents(); };
    NoSkin skin;
    Form1 form(platform, skin);
    form.Text1->setText(copy ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Dear Tobin,\r\nthank you."));
    form.show();
    office.word.before = [&](const QString& op, int instance, const QString& pipe) {
        std::printf("op %d:%s\n", instance, qPrintable(op));
        std::fflush(stdout);
        if (point == QLatin1String("export") && op == QLatin1String("CopyRangeAsPicture"))
            throw Failure(QStringLiteral("the picture failed"));
        const bool typingOrSaving = (point == QLatin1String("typing") && op == QLatin1String("TypeText")) ||
                                    (point == QLatin1String("saving") && op == QLatin1String("SaveAs"));
        const bool here = (point == QLatin1String("starting") && op == QLatin1String("CreateObject") && instance == 1) ||
                          typingOrSaving ||
                          (point == QLatin1String("picture") && op == QLatin1String("CopyRangeAsPicture")) ||
                          (point == QLatin1String("export") && op == QLatin1String("ExportAsPdf"));
        if (!here)
            return;
        if (typingOrSaving) {
            for (int i = 0; i < 3000 && LiveOffices(QCoreApplication::applicationPid()) < 2; ++i)
                QThread::msleep(10);
            std::printf("offices %d\n", LiveOffices(QCoreApplication::applicationPid()));
            std::fflush(stdout);
        }
        if (close) {
            // The close arrives while the step's error message is open.
            QMetaObject::invokeMethod(&form, [&form] { form.close(); }, Qt::QueuedConnection);
            throw Failure(QStringLiteral("typing failed"));
        }
        if (!pipe.isEmpty())
            SignalInstance(pipe, SIGSTOP, Members::Office);  // the call now hangs until the office is ended
        std::printf("at %s\n", qPrintable(op));
        std::fflush(stdout);
    };
    form.PushButton6_Click();
    std::printf("finished; preview %s; card %s; errors [%s]\n", form.Preview().isVisible() ? "shown" : "hidden",
                FileExists(form.Preview().mWordFile) ? "made" : "missing",
                qPrintable(office.test.messageBoxes.errorSteps().join(QLatin1Char(' '))));
    std::fflush(stdout);
    if (copy) {
        const QImage picture = form.Preview().Zoom_Ori->picture().convertToFormat(QImage::Format_RGB32);
        std::printf("card %s\npicture %s\n", qPrintable(form.Preview().mWordFile),
                    QCryptographicHash::hash(QByteArrayView(picture.constBits(), picture.sizeInBytes()),
                                             QCryptographicHash::Sha1).toHex().constData());
    }
    if (point == QLatin1String("export")) {
        office.test.saveDialog.answer = qEnvironmentVariable("TEMP") + QStringLiteral("/card.pdf");
        form.Preview().mnuSavePdf_Click();
    }
    if (point != QLatin1String("preview"))
        return 0;
    std::printf("at preview\n");
    std::fflush(stdout);
    if (close)
        QTimer::singleShot(0, &form, [&form] { form.Preview().close(); });
    return QApplication::exec();
}

// The program in its preview saving CARD over TARGET (the Save dialog's
// answer, Yes to overwriting); "at save" first.
int RunSave(char* argv[])
{
    QtProgramEnd::BlockEndSignals();
    int argc = 1;
    QApplication application(argc, argv);
    SetAppTitle();
    TestPlatform test;
    QtProgramEnd programEnd;
    programEnd.EndOnSignals();
    test.saveDialog.answer = QString::fromLocal8Bit(argv[2]);
    Platform platform{test.messageBoxes, test.saveDialog, test.printDialog, test.printQueue, test.mail, test.settings, test.processes, test.clipboard, test.word,
                      programEnd, test.platform.randomize, test.platform.random, test.platform.timer, QString()};
    Form2 preview(platform, nullptr);
    preview.Form_Load();
    preview.mWordFile = QString::fromLocal8Bit(argv[3]);
    preview.show();
    std::printf("at save\n");
    std::fflush(stdout);
    preview.PushButton6_Click();
    std::printf("saved; messages:\n%s\n", qPrintable(MessageLog(test.messageBoxes)));
    std::fflush(stdout);
    return QApplication::exec();
}

// A socket file nobody listens on, as a killed office leaves it.
bool MakeStaleSocket(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool made = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return made;
}

} // namespace

class ProgramEndFaultsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mRoot;
    OfficeHygiene mHygiene;
    QString mOfficeTemp;

    // Starts the program; waits for "at" unless `waitFor` is empty.
    bool startProgram(QProcess& program, const QString& point, const QString& how)
    {
        program.setProgram(QCoreApplication::applicationFilePath());
        program.setArguments({QStringLiteral("--card"), point, how});
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start();
        return program.waitForStarted(10000);
    }

    // How the program stands, for a failure message: its output so far and
    // how it ended, if it did.
    static QByteArray Story(const QProcess& program, const QByteArray& output)
    {
        if (program.state() == QProcess::Running)
            return output + "(still running)";
        return output + QByteArray(program.exitStatus() == QProcess::CrashExit ? "(crashed, signal or abort)" : "(exited with ")
               + QByteArray::number(program.exitCode()) + ")";
    }

    static bool WaitForLine(QProcess& program, const QByteArray& start, QByteArray& seen)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 120000) {
            if (!program.waitForReadyRead(1000) && program.state() != QProcess::Running)
                break;
            seen += program.readAll();
            for (const QByteArray& line : seen.split('\n'))
                if (line.startsWith(start))
                    return true;
        }
        return false;
    }

    // Processes of the program's offices and their watchers, its private
    // folders and its pipe sockets; empty when none is left.
    QString instanceLeftovers(qint64 program, const QStringList& folders) const
    {
        QStringList left;
        for (const OfficeProcessInfo& p : OurOfficeProcesses(QString(), int(program)) + ProcessesMentioning(QFile::encodeName(mOfficeTemp)))
            left << QStringLiteral("process %1 (%2)").arg(p.pid).arg(QString::fromLocal8Bit(p.commandLine.left(60)));
        for (const QString& folder : folders) {
            if (QFileInfo::exists(folder))
                left << folder;
            for (const QString& socket : OfficeSocketPaths(QString(), QUrl::fromLocalFile(folder + QStringLiteral("/profile")).toString(QUrl::FullyEncoded)))
                if (QFileInfo::exists(socket))
                    left << socket;
        }
        for (const QString& socket : QDir(QStringLiteral("/tmp")).entryList({QStringLiteral("OSL_PIPE_*_pelorin-%1-*").arg(program)}, QDir::System))
            left << socket;
        return left.join(QStringLiteral(", "));
    }

    QStringList privateFolders() const
    {
        QStringList folders;
        for (const QString& name : QDir(mOfficeTemp).entryList({QStringLiteral("pelorin-office-*")}, QDir::Dirs))
            folders << mOfficeTemp + QLatin1Char('/') + name;
        return folders;
    }

    // Waits until an office process of the program runs.
    static bool WaitOfficeStarted(qint64 program)
    {
        for (int i = 0; i < 1000; ++i) {
            for (const OfficeProcessInfo& p : OurOfficeProcesses(QString(), int(program)))
                if (p.commandLine.contains("soffice.bin"))
                    return true;
            QThread::msleep(10);
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mRoot.isValid());
        mHygiene.prepare(mRoot.path());
        mOfficeTemp = QFile::decodeName(qgetenv("TMPDIR"));
    }

    void init() { mHygiene.nextTempFolder(); }

    void cleanup()
    {
        const QString left = mHygiene.finishCase();
        QVERIFY2(left.isEmpty(), qPrintable(left));
    }

    void programEnds_data()
    {
        QTest::addColumn<QString>("point");
        QTest::addColumn<int>("signal");
        // How many offices of the program run when the signal comes; -1 when
        // that depends on how far the snapshot's office has come.
        QTest::addColumn<int>("offices");
        const std::pair<const char*, int> points[] = {{"starting", -1}, {"typing", 2}, {"picture", 1}, {"export", 1}};
        for (const auto& [point, offices] : points)
            for (int signal : {SIGTERM, SIGKILL})
                QTest::addRow("%s, %s", point, signal == SIGTERM ? "SIGTERM" : "SIGKILL") << QString::fromLatin1(point) << signal << offices;
        // The office hangs in its save of the card into the temporary folder:
        // no file of the user's is being written, so the end does not wait.
        QTest::addRow("saving, SIGTERM") << QStringLiteral("saving") << SIGTERM << 2;
        // No office runs any more; the card document goes as at the close box.
        QTest::addRow("preview shown, SIGTERM") << QStringLiteral("preview") << SIGTERM << 0;
    }

    void programEnds()
    {
        QFETCH(QString, point);
        QFETCH(int, signal);
        QFETCH(int, offices);
        QProcess program;
        QVERIFY(startProgram(program, point, QStringLiteral("signal")));
        const bool preview = point == QLatin1String("preview");
        QByteArray output;
        QVERIFY2(WaitForLine(program, "at ", output), Story(program, output).constData());
        if (point == QLatin1String("starting"))
            QVERIFY(WaitOfficeStarted(program.processId()));
        else
            QThread::msleep(300);  // well inside the hanging call
        // At the preview an ended office's folder may still be on its way out.
        const QStringList folders = privateFolders();
        QVERIFY(!folders.isEmpty() || preview);
        if (offices >= 0) {
            // An office whose fresh profile asks for its restart is briefly
            // gone between its two runs; the count is taken once it settles.
            int live = LiveOffices(program.processId());
            for (int i = 0; i < 500 && live != offices; ++i, QThread::msleep(10))
                live = LiveOffices(program.processId());
            QVERIFY2(live == offices, qPrintable(QStringLiteral("%1 offices live, %2 expected; %3")
                                                    .arg(live).arg(offices).arg(QString::fromLocal8Bit(Story(program, output)))));
        }
        const QString temp = qEnvironmentVariable("TEMP");
        if (preview)
            QCOMPARE(QDir(temp).entryList({QStringLiteral("vestok*.doc")}, QDir::Files).size(), 1);
        const qint64 pid = program.processId();
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(pid), signal);
        QVERIFY(program.waitForFinished(20000));
        const qint64 programGone = clock.elapsed();
        QString left;
        do {
            left = instanceLeftovers(pid, folders);
        } while (!left.isEmpty() && clock.elapsed() < 10000 && (QThread::msleep(10), true));
        qInfo("%s at %s: program gone after %lld ms, its office after %lld ms", strsignal(signal), qPrintable(point),
              programGone, clock.elapsed());
        QVERIFY2(left.isEmpty(), qPrintable(left));
        if (signal == SIGTERM) {
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
        }
        output += program.readAll();
        QVERIFY2(output.contains("finished") == (preview || point == QLatin1String("export")), output.constData());
        if (preview)
            QVERIFY2(FilesIn(temp).isEmpty(), qPrintable(FilesIn(temp).join(QLatin1Char(' '))));
        if (point == QLatin1String("saving")) {
            // About the second a signal gives the window, not the 20 s a user's file may take.
            QVERIFY2(programGone < 5000, qPrintable(QString::number(programGone)));
            QVERIFY2(FilesIn(temp).filter(QStringLiteral(".tmp")).isEmpty(), qPrintable(FilesIn(temp).join(QLatin1Char(' '))));
        }
    }

    // With /tmp read-only (and /var/tmp too), the office makes its pipe
    // elsewhere: the program finds it there, makes the card, and leaves
    // nothing there when it ends. Run in a mount namespace of its own.
    void readOnlyTmp_data()
    {
        QTest::addColumn<QString>("readOnly");
        QTest::addColumn<QString>("sockets");  // where the office's sockets go
        QTest::newRow("/tmp") << QStringLiteral("tmp") << QStringLiteral("/var/tmp");
        QTest::newRow("/tmp and /var/tmp") << QStringLiteral("both") << QStringLiteral("the runtime folder");
    }

    void readOnlyTmp()
    {
        QFETCH(QString, readOnly);
        QFETCH(QString, sockets);
        if (::geteuid() != 0)
            QSKIP("needs root for a mount namespace");
        // TEMP and the session's runtime folder stay writable, on a tmpfs each.
        static const char kScript[] = R"sh(set -e
ours() { ls -A "$@" | grep -e OSL_PIPE_ -e pelorin-office- | tr '\n' ' '; }
new() { for f in $(ours /var/tmp "$XDG_RUNTIME_DIR"); do case " $before " in *" $f "*) ;; *) printf '%s ' "$f" ;; esac; done; }
before=$(ours /var/tmp "$XDG_RUNTIME_DIR")
mount --bind /tmp /tmp && mount -o remount,bind,ro /tmp
[ "$1" = tmp ] || { mount --bind /var/tmp /var/tmp && mount -o remount,bind,ro /var/tmp; }
mount -t tmpfs -o mode=0700 tmpfs "$TEMP"
mount -t tmpfs -o mode=0700 tmpfs "$XDG_RUNTIME_DIR"
set +e
"$2" --card preview close
echo "exit $?"
echo "left by a card: $(new)"
# Ended by a signal while its office hangs, the office killed.
"$2" --card typing signal >"$TEMP/out" &
i=0; until grep -q '^at ' "$TEMP/out" || [ $i -ge 600 ]; do sleep 0.1; i=$((i + 1)); done
echo "sockets in: $(for d in /var/tmp "$XDG_RUNTIME_DIR"; do ls -A "$d" | grep -q "^OSL_PIPE_.*_pelorin-$!-" && printf '%s ' "$d"; done)"
kill -TERM $!; wait $!
echo "exit $?"
echo "left by an end: $(new)"
)sh";
        const QString runtime = mRoot.path() + QStringLiteral("/runtime");
        QVERIFY(QDir().mkpath(runtime));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        // An office whose pipe is looked for in the wrong place fails soon.
        environment.insert(QStringLiteral("PELORIN_OFFICE_START_TIMEOUT_MS"), QStringLiteral("20000"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral("unshare"), {QStringLiteral("-m"), QStringLiteral("--propagation"), QStringLiteral("private"),
                                                  QStringLiteral("/bin/sh"), QStringLiteral("-c"), QString::fromLatin1(kScript),
                                                  QStringLiteral("sh"), readOnly, QCoreApplication::applicationFilePath()});
        QVERIFY(program.waitForFinished(120000));
        const QByteArray output = program.readAll();
        if (!output.contains("at preview") && !output.contains("finished"))
            QSKIP(qPrintable(QStringLiteral("no mount namespace here: ") + QString::fromLocal8Bit(output)));
        QVERIFY2(output.contains("finished; preview shown; card made; errors []\n"), output.constData());
        QVERIFY2(output.endsWith("exit 0\nleft by a card: \nsockets in: " + (sockets.startsWith(QLatin1Char('/')) ? sockets : runtime).toLocal8Bit()
                                 + " \nexit 0\nleft by an end: \n"),
                 output.constData());
    }

    // Two copies of the program with different messages, started together,
    // several times: each card document and each picture holds its own
    // copy's message.
    void twoCopiesAtOnce()
    {
        const QStringList messages{QStringLiteral("Dear Tobin,\r\nthank you from the first copy."),
                                   QStringLiteral("Dear Mira,\r\nthe second copy\r\nthanks you twice,\r\nwith love.")};
        // What a copy made: its messages, its card's text and its picture.
        const auto made = [&](QProcess& copy) {
            copy.waitForFinished(120000);
            QString errors, card;
            QByteArray picture;
            for (const QByteArray& line : copy.readAll().split('\n')) {
                if (line.startsWith("finished"))
                    errors = QString::fromLocal8Bit(line.mid(line.indexOf("errors")));
                else if (line.startsWith("card "))
                    card = QString::fromLocal8Bit(line.mid(5));
                else if (line.startsWith("picture "))
                    picture = line.mid(8);
            }
            const QString text = CatDoc(card);
            QFile::remove(card);
            return std::tuple{errors, text, picture};
        };
        // Each message's picture when its copy runs alone.
        QByteArray alone[2];
        for (int i = 0; i < 2; ++i) {
            QProcess copy;
            QVERIFY(startProgram(copy, QStringLiteral("copy"), messages[i]));
            const auto [errors, text, picture] = made(copy);
            QCOMPARE(errors, QStringLiteral("errors []"));
            alone[i] = picture;
        }
        QVERIFY(!alone[0].isEmpty() && alone[0] != alone[1]);
        for (int round = 1; round <= 3; ++round) {
            QProcess copies[2];
            for (int i = 0; i < 2; ++i)
                QVERIFY(startProgram(copies[i], QStringLiteral("copy"), messages[i]));
            for (int i = 0; i < 2; ++i) {
                const auto [errors, text, picture] = made(copies[i]);
                const QByteArray what = QStringLiteral("round %1, copy %2: %3").arg(round).arg(i + 1).arg(errors).toLocal8Bit();
                QVERIFY2(errors == QLatin1String("errors []"), what.constData());
                QVERIFY2(text.contains(messages[i].section(QLatin1Char('\r'), 1, 1).mid(1)), qPrintable(text));
                QVERIFY2(!text.contains(messages[1 - i].section(QLatin1Char('\r'), 1, 1).mid(1)), qPrintable(text));
                QVERIFY2(picture == alone[i], what.constData());
            }
        }
        QCOMPARE(FilesIn(qEnvironmentVariable("TEMP")), QStringList());
    }

    // The connection's last words to an office that has just ended meet a
    // closed pipe: that must not end the program.
    void brokenPipeIsNoEnd()
    {
        QProcess program;
        QVERIFY(startProgram(program, QStringLiteral("typing"), QStringLiteral("signal")));
        QByteArray output;
        QVERIFY2(WaitForLine(program, "at ", output), Story(program, output).constData());
        const pid_t pid = pid_t(program.processId());
        ::kill(pid, SIGPIPE);
        QVERIFY2(!program.waitForFinished(500), Story(program, output).constData());
        ::kill(pid, SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // The program killed while an office that asked to be started again is
    // being started: the ended office's group number may be another's by
    // then, so the watcher kills nothing by it. A process left in that group
    // stands for one that got the number.
    void killedWhileAnOfficeRestarts()
    {
        const QString inOldGroup = QStringLiteral("sleep 600 0.0%1").arg(::getpid());
        const QString log = mRoot.path() + QStringLiteral("/restart-log");
        // The next start's log becomes a pipe nobody reads, so that start hangs.
        const QString launcher = mRoot.path() + QStringLiteral("/restarter.sh");
        QVERIFY(WriteAll(launcher, QStringLiteral("#!/bin/sh\n%1 &\nlog=\"$TMPDIR/../office.log\"\n"
                                                  "rm \"$log\" && mkfifo \"$log\" && ln \"$log\" '%2'\nexit 81\n")
                                       .arg(inOldGroup, log).toLocal8Bit()));
        QVERIFY(QFile::setPermissions(launcher, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("PELORIN_SOFFICE", QFile::encodeName(launcher));
        QProcess program;
        QVERIFY(startProgram(program, QStringLiteral("starting"), QStringLiteral("signal")));
        // The start hangs in a child that is still the program, opening the
        // log. The first start has such a child too, for a moment: the
        // restart's is looked for only once the first launcher has run.
        const QByteArray copies = QFile::encodeName(QCoreApplication::applicationFilePath()) + " --card starting";
        for (int i = 0; i < 2000 && !QFileInfo::exists(log); ++i)
            QThread::msleep(10);
        for (int i = 0; i < 2000 && ProcessesMentioning(copies).size() < 2; ++i)
            QThread::msleep(10);
        const QStringList folders = privateFolders();
        ::kill(pid_t(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished(20000));
        // The hanging start goes on once its log is opened: it lets go of the
        // program's end of the watcher's socket, and its gate finds the program gone.
        ::close(::open(QFile::encodeName(log).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        // The watcher removes the folder once it has dealt with the group.
        for (int i = 0; i < 1000 && !folders.isEmpty() && QFileInfo::exists(folders[0]); ++i)
            QThread::msleep(10);
        const QString survivors = Run(QStringLiteral("pgrep"), {QStringLiteral("-f"), inOldGroup}).trimmed();
        for (const QString& pid : survivors.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            ::kill(pid_t(pid.toInt()), SIGKILL);
        QCOMPARE(folders.size(), 1);
        QVERIFY(!QFileInfo::exists(folders[0]));
        QVERIFY2(!survivors.isEmpty(), "the watcher killed a group by a number that was no longer its office's");
    }

    // An end asked for while the user's file is being written waits for the
    // write: the file is whole. The target is a pipe in a folder where no
    // file can be made, so the write goes onto it in place and lasts as
    // long as the test takes to read it.
    void signalWhileSavingWaitsForTheFile()
    {
        TmpfsMount mount(mRoot.path() + QStringLiteral("/slow"), QStringLiteral("size=4m,mode=0755"));
        if (!mount.mounted())
            QSKIP(qPrintable(QStringLiteral("needs a tmpfs mount: ") + mount.error()));
        const QString target = mRoot.path() + QStringLiteral("/slow/My card.doc");
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
        QVERIFY(mount.remount(QStringLiteral("remount,ro")));
        QByteArray card(1 << 20, '\0');
        for (qsizetype i = 0; i < card.size(); ++i)
            card[i] = char(i * 7 + i / 4096);
        const QString cardFile = mRoot.path() + QStringLiteral("/vestok12345678.doc");
        QVERIFY(WriteAll(cardFile, card));

        QProcess program;
        program.setProgram(QCoreApplication::applicationFilePath());
        program.setArguments({QStringLiteral("--save"), target, cardFile});
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start();
        QByteArray output;
        QVERIFY2(WaitForLine(program, "at save", output), output.constData());
        const int pipe = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(pipe >= 0);
        const auto closePipe = qScopeGuard([pipe] { ::close(pipe); });
        QByteArray received;
        char buffer[65536];
        const auto readSome = [&](size_t most) {
            const ssize_t n = ::read(pipe, buffer, most);
            if (n > 0)
                received.append(buffer, n);
            return n;
        };
        QVERIFY(readSome(4096) > 0);
        // Mid-write: the rest waits in the program for the pipe to drain.
        ::kill(pid_t(program.processId()), SIGTERM);
        QThread::msleep(1500);  // past the time a signal gives the window to close
        QCOMPARE(program.state(), QProcess::Running);
        while (readSome(sizeof buffer) > 0) {
        }
        // The end follows the write, not the 20 s it may wait for one.
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(received.size(), card.size());
        QVERIFY(received == card);
        QCOMPARE(FilesIn(mRoot.path() + QStringLiteral("/slow")), QStringList{QStringLiteral("My card.doc")});
    }

    // A close that reaches the window while an error message of the
    // generation runs the message pump (as a SIGTERM's close does; the close
    // box of a window behind a message does nothing) ends the program
    // there, and the office that was working with it, and the snapshot's
    // office that was waiting beside it.
    void closeEndsGeneration()
    {
        QProcess program;
        QVERIFY(startProgram(program, QStringLiteral("typing"), QStringLiteral("close")));
        const qint64 pid = program.processId();
        QVERIFY(program.waitForFinished(120000));
        const QByteArray output = program.readAll();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(output.contains("op 1:TypeText\noffices 2\n") && !output.contains("op 1:SaveAs") && !output.contains("finished"),
                 output.constData());
        const QString left = instanceLeftovers(pid, privateFolders());
        QVERIFY2(left.isEmpty(), qPrintable(left));
    }

    // The start-up sweep takes what dead programs left and nothing else; a
    // default-profile office beside the program outlives it.
    void leavesOthersAlone()
    {
        // Leftovers: a folder whose owner is gone, a socket of a dead program.
        QProcess dead;
        dead.start(QStringLiteral("true"), {});
        const qint64 deadPid = dead.processId();
        QVERIFY(deadPid > 0 && dead.waitForFinished(10000));
        const QString deadFolder = mOfficeTemp + QStringLiteral("/pelorin-office-dead01");
        QVERIFY(QDir().mkpath(deadFolder + QStringLiteral("/profile")));
        QVERIFY(WriteAll(deadFolder + QLatin1Char('/') + kOwnerLockName, QByteArray()));
        const QString deadSocket = QStringLiteral("/tmp/OSL_PIPE_%1_pelorin-%2-0123456789abcdef").arg(::getuid()).arg(deadPid);
        QVERIFY(MakeStaleSocket(deadSocket));
        // Where the office puts its pipes when /tmp is read-only.
        const QString deadElsewhere = QStringLiteral("/var/tmp/OSL_PIPE_%1_pelorin-%2-fedcba9876543210").arg(::getuid()).arg(deadPid);
        QVERIFY(MakeStaleSocket(deadElsewhere));
        const QString deadProfileSocket = OfficeSocketPaths(
            QString(), QUrl::fromLocalFile(deadFolder + QStringLiteral("/profile")).toString(QUrl::FullyEncoded), QStringLiteral("/var/tmp"))[0];
        QVERIFY(MakeStaleSocket(deadProfileSocket));
        // And in the user's own folder, where both go when neither shared folder takes files.
        const QString own = mRoot.path() + QStringLiteral("/own");
        const QString deadOwnFolder = own + QStringLiteral("/pelorin-office-dead02");
        QVERIFY(QDir().mkpath(deadOwnFolder + QStringLiteral("/profile")));
        QVERIFY(QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(WriteAll(deadOwnFolder + QLatin1Char('/') + kOwnerLockName, QByteArray()));
        const QString deadOwnSocket = own + QStringLiteral("/OSL_PIPE_%1_pelorin-%2-0011223344556677").arg(::getuid()).arg(deadPid);
        QVERIFY(MakeStaleSocket(deadOwnSocket));
        // Folders with no lock file: one whose removal was cut short an hour
        // ago goes, one being set up now stays.
        const QString halfRemoved = mOfficeTemp + QStringLiteral("/pelorin-office-half01");
        const QString settingUp = mOfficeTemp + QStringLiteral("/pelorin-office-new01");
        QVERIFY(QDir().mkpath(halfRemoved + QStringLiteral("/profile")) && QDir().mkpath(settingUp));
        const struct timeval hoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
        QCOMPARE(::utimes(QFile::encodeName(halfRemoved).constData(), hoursAgo), 0);
        // Outside the test's own folders: gone even when a check fails.
        const auto removeStale = qScopeGuard([&] {
            QFile::remove(deadElsewhere);
            QFile::remove(deadProfileSocket);
        });
        // A live instance's folder, its lock held here.
        const QString liveFolder = mOfficeTemp + QStringLiteral("/pelorin-office-live01");
        QVERIFY(QDir().mkpath(liveFolder));
        QVERIFY(WriteAll(liveFolder + QLatin1Char('/') + kOwnerLockName, QByteArray()));
        const int lock = ::open(QFile::encodeName(liveFolder + QLatin1Char('/') + kOwnerLockName).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);

        // The user's own office on the default profile.
        const QString home = mRoot.path() + QStringLiteral("/home");
        QDir().mkpath(home);
        const QString userPipe = QStringLiteral("pelorin-default-%1").arg(::getpid());
        const QStringList userSockets = OfficeSocketPaths(
            userPipe, QUrl::fromLocalFile(home + QStringLiteral("/.config/libreoffice/4")).toString(QUrl::FullyEncoded));
        QProcess user;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.remove(QStringLiteral("TMPDIR"));
        user.setProcessEnvironment(environment);
        user.setChildProcessModifier([] { ::setsid(); });
        user.start(QStringLiteral("/usr/lib/libreoffice/program/soffice"),
                   {QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                    QStringLiteral("--accept=pipe,name=%1;urp;").arg(userPipe)});
        QVERIFY(user.waitForStarted(10000));
        const pid_t userGroup = pid_t(user.processId());
        const auto endUser = qScopeGuard([&] {
            ::kill(-userGroup, SIGKILL);
            user.waitForFinished(10000);
            for (int i = 0; i < 200 && ::kill(-userGroup, 0) == 0; ++i)
                QThread::msleep(10);
            RemoveOfficeSockets(userSockets);
        });
        for (int i = 0; i < 3000 && !(QFileInfo::exists(userSockets[0]) && QFileInfo::exists(userSockets[1])); ++i)
            QThread::msleep(10);
        QVERIFY2(QFileInfo::exists(userSockets[0]) && QFileInfo::exists(userSockets[1]), qPrintable(userSockets.join(' ')));

        // The user's own folder is the session's runtime folder here.
        const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(own));
        const auto restoreRuntime = qScopeGuard([&] {
            if (runtimeBefore.isNull())
                qunsetenv("XDG_RUNTIME_DIR");
            else
                qputenv("XDG_RUNTIME_DIR", runtimeBefore);
        });
        QProcess program;
        QVERIFY(startProgram(program, QStringLiteral("typing"), QStringLiteral("signal")));
        QByteArray output;
        QVERIFY2(WaitForLine(program, "at ", output), Story(program, output).constData());
        ::kill(pid_t(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished(20000));
        QThread::msleep(2500);  // the watcher's time

        QVERIFY(!QFileInfo::exists(deadFolder));
        QVERIFY(!QFileInfo::exists(deadSocket));
        QVERIFY(!QFileInfo::exists(deadElsewhere));
        QVERIFY(!QFileInfo::exists(deadProfileSocket));
        QVERIFY(!QFileInfo::exists(deadOwnFolder));
        QVERIFY(!QFileInfo::exists(deadOwnSocket));
        QVERIFY(QFileInfo::exists(liveFolder + QLatin1Char('/') + kOwnerLockName));
        QVERIFY(!QFileInfo::exists(halfRemoved));
        QVERIFY(QFileInfo::exists(settingUp));
        QVERIFY(QDir(settingUp).removeRecursively());
        QVERIFY2(::kill(-userGroup, 0) == 0 && !ProcessesMentioning(userPipe.toLatin1()).isEmpty(), "the user's office ended");
        QVERIFY(QFileInfo::exists(userSockets[0]) && QFileInfo::exists(userSockets[1]));
        ::close(lock);
        QDir(liveFolder).removeRecursively();
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && QByteArray(argv[1]) == "--card")
        return RunCard(argv);
    if (argc == 4 && QByteArray(argv[1]) == "--save")
        return RunSave(argv);
    QApplication application(argc, argv);
    ProgramEndFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_program_end_faults.moc"

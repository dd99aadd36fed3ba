// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// Start-up, one card and memory against the office's own costs, measured in
// one run with the real office engine. Prints figures; asserts nothing.
//
//   office start   one automation object created: private folder, profile,
//                  spawn, until connected (and its Quit, apart)
//   start-up       main window created, start-up sequence (with the office
//                  check), shown
//   card           "Start Creating Template" clicked until the preview is shown
//   print          the print dialog's answer (given at once) until the
//                  card's job is in the queue of a scheduler of the bench's
//                  own (tests/e2e/private_cups.sh; its printer stopped, so
//                  jobs wait there), when one can be started (as root)
//   save as PDF    the Save dialog's answer until the PDF is written
//   memory         the program's peak, the largest office's, and the peak of
//                  all the program's offices together while more than one
//                  lives (their resident sizes summed, sampled every 2 ms)
// against three references, each timed in the same rounds:
//   bare office    soffice.bin --headless --terminate_after_init on a copy of
//                  the prepared profile the program's offices start from
//   warm convert   soffice --headless --convert-to pdf of the card on a profile
//                  that has run before and records the office's version, as a
//                  desktop user's own profile does
//   fresh convert  the same on a new, empty profile
// A first round warms up and gives the peak memory (before any reference
// runs, so that only the program's offices count); the medians of the timed
// rounds follow.

#include "../tests/Fakes.h"
#include "Form1.h"
#include "Form2.h"
#include "LibreOfficeWord.h"
#include "Main.h"
#include "OfficeGuard.h"
#include "Printing.h"
#include "ProfileCache.h"
#include "QtPlatform.h"
#include "Skin.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {
const QString kProgramFolder = QStringLiteral("/usr/lib/libreoffice/program/");

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long PeakKilobytes(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

double TimeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Runs the office's own command on a profile; false when it failed.
bool RunOffice(const QString& program, const QString& profile, const QStringList& arguments)
{
    const QString profileUrl = QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded);
    QProcess office;
    office.setProgram(program);
    office.setArguments(QStringList{QStringLiteral("-env:UserInstallation=") + profileUrl, QStringLiteral("--headless")}
                        + arguments);
    office.start();
    const bool ran = office.waitForFinished(120000) && office.exitStatus() == QProcess::NormalExit && office.exitCode() == 0;
    // The office leaves the pipe socket of that profile behind.
    RemoveOfficeSockets(OfficeSocketPaths(QString(), profileUrl));
    return ran;
}

// What a desktop user's profile holds once the office has shown a window:
// the running version recorded as the last one.
bool RecordVersion(const QString& profile)
{
    QFile file(profile + QStringLiteral("/user/registrymodifications.xcu"));
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray registry = file.readAll();
    const QByteArray item = R"(<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>)"
                            + InstalledOfficeVersion(kProgramFolder + QStringLiteral("soffice")).toLatin1()
                            + "</value></prop></item>\n";
    const qsizetype end = registry.lastIndexOf("</oor:items>");
    if (end < 0)
        return false;
    registry.insert(end, item);
    return file.seek(0) && file.write(registry) == registry.size() && file.resize(registry.size());
}

bool CopyFolder(const QString& from, const QString& to)
{
    return QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), from, to}) == 0;
}

// The dialogs answer at once, and the clock of what follows starts there.
class TimedPrintDialog : public PrintDialog {
public:
    PrintChoice showPrint(const QString& documentName) override
    {
        const PrintChoice choice = scripted.showPrint(documentName);
        answered.start();
        return choice;
    }
    ScriptedPrintDialog scripted;
    QElapsedTimer answered;
};

class TimedSaveDialog : public SaveDialog {
public:
    QString showSave(const QString& title, const QString& filter, const QString& fileName) override
    {
        const QString answer = scripted.showSave(title, filter, fileName);
        answered.start();
        return answer;
    }
    ScriptedSaveDialog scripted;
    QElapsedTimer answered;
};

// The resident memory of this program's offices (their pipe names carry its
// process id), sampled on a thread of its own.
class OfficeMemory {
public:
    OfficeMemory() : mSampling([this] { sample(); }) {}
    ~OfficeMemory()
    {
        mStop = true;
        mSampling.join();
    }
    // The largest sum of the offices' resident sizes while two or more lived.
    long peakTogetherKilobytes() const { return mPeakTogether; }

private:
    static long ResidentKilobytes(const QString& pid)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        return 0;
    }

    void sample()
    {
        const QByteArray marker = "pipe,name=pelorin-" + QByteArray::number(QCoreApplication::applicationPid()) + '-';
        while (!mStop) {
            long sum = 0;
            int offices = 0;
            for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
                if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "soffice.bin")
                    continue;
                QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
                if (!command.open(QIODevice::ReadOnly) || !command.readAll().contains(marker))
                    continue;
                sum += ResidentKilobytes(pid);
                ++offices;
            }
            if (offices > 1)
                mPeakTogether = std::max(mPeakTogether.load(), sum);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::atomic<bool> mStop{false};
    std::atomic<long> mPeakTogether{0};
    std::thread mSampling;
};
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toUtf8());

    RecordingMessageBoxes messageBoxes;
    messageBoxes.onShow = [](const ShownMessage& message) {
        if (message.text != QLatin1String("Done."))
            std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
    };
    TimedSaveDialog saveDialog;
    TimedPrintDialog printDialog;
    CupsPrintQueue printQueue;
    RecordingMailComposer mail;
    MemorySettingsStore settings;
    RecordingProcessStarter processes;
    QtClipboard clipboard;
    RecordingProgramEnd programEnd;
    RandomGenerator generator;
    const LibreOfficeOptions options = LibreOfficeOptions::forProgram().resolved();
    LibreOfficeWordFactory word(clipboard, options);
    Platform platform{messageBoxes, saveDialog, printDialog, printQueue, mail, settings, processes, clipboard, word, programEnd,
                      [&generator](double seed) { generator.seed(seed); }, [&generator] { return generator.next(); },
                      SecondsSinceMidnight, QCoreApplication::applicationDirPath()};

    // The print system: a scheduler of the bench's own, which ends with it.
    QProcess scheduler;
    scheduler.start(QStringLiteral("bash"), {QStringLiteral(PELORIN_SOURCE_DIR "/tests/e2e/private_cups.sh"),
                                             QStringLiteral("serve"), temp.filePath(QStringLiteral("cups"))});
    // Its input closed, it stops the scheduler (killed, it could not).
    const auto stopScheduler = qScopeGuard([&scheduler] {
        scheduler.closeWriteChannel();
        scheduler.waitForFinished(20000);
    });
    const bool printing = scheduler.waitForReadyRead(30000) && scheduler.canReadLine();
    if (printing) {
        qputenv("CUPS_SERVER", scheduler.readLine().trimmed());
        QProcess::execute(QStringLiteral("cupsdisable"), {QStringLiteral("CardPDF")});
    } else {
        std::fprintf(stderr, "no scheduler of the bench's own: %s\n", scheduler.readAllStandardError().constData());
    }
    printDialog.scripted.answer.accepted = true;
    printDialog.scripted.answer.printer = QStringLiteral("CardPDF");

    std::map<QString, std::vector<double>> ms;
    const QString cardFile = temp.filePath(QStringLiteral("card.doc"));
    const auto round = [&](bool timed) {
        std::unique_ptr<WordApplication> office;
        const double start = TimeMs([&] { office = word.CreateObject(QStringLiteral("Word.Application")); });
        const double quit = TimeMs([&] { office->Quit(); });
        StyleSheetSkin skin;
        Form1 form(platform, skin);
        const double startUp = TimeMs([&] {
            form.Form_Load();
            form.show();
            QCoreApplication::processEvents();
        });
        const double card = TimeMs([&] { form.PushButton6_Click(); });
        QFile::remove(cardFile);
        QFile::copy(form.Preview().mWordFile, cardFile);
        double print = 0;
        if (printing) {
            form.Preview().mnuPrint_Click();
            print = printDialog.answered.nsecsElapsed() / 1e6;
        }
        saveDialog.scripted.answer = temp.filePath(QStringLiteral("card.pdf"));
        QFile::remove(saveDialog.scripted.answer);
        form.Preview().mnuSavePdf_Click();
        const double savePdf = saveDialog.answered.nsecsElapsed() / 1e6;
        form.Preview().PushButton8_Click();
        if (!timed)
            return;
        ms["office start"].push_back(start);
        ms["office quit"].push_back(quit);
        ms["start-up"].push_back(startUp);
        ms["card"].push_back(card);
        ms["print"].push_back(print);
        ms["save as PDF"].push_back(savePdf);
    };

    long officesTogetherPeak = 0;
    {
        const OfficeMemory memory;
        round(false);
        officesTogetherPeak = memory.peakTogetherKilobytes();
    }
    const long programPeak = PeakKilobytes(RUSAGE_SELF);
    const long officePeak = PeakKilobytes(RUSAGE_CHILDREN);

    // The prepared profile the program's offices start from, as it is now.
    QString prepared;
    for (const QString& name : QDir(options.profileCache).entryList({QStringLiteral("profile-*")}, QDir::Dirs))
        if (!name.contains(QLatin1Char('.')))
            prepared = options.profileCache + QLatin1Char('/') + name;
    const QString warm = temp.filePath(QStringLiteral("warm-profile"));
    if (prepared.isEmpty() || !RunOffice(kProgramFolder + QStringLiteral("soffice"), warm,
                                         {QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                                          temp.filePath(QStringLiteral("pdf")), cardFile})
        || !RecordVersion(warm)) {
        std::fprintf(stderr, "cannot set up the references (prepared profile: '%s')\n", qPrintable(prepared));
        return 1;
    }

    for (int i = 0; i < runs; ++i) {
        round(true);
        const QString bare = temp.filePath(QStringLiteral("bare-%1").arg(i));
        CopyFolder(prepared, bare);
        ms["ref bare office"].push_back(TimeMs([&] {
            RunOffice(kProgramFolder + QStringLiteral("soffice.bin"), bare, {QStringLiteral("--terminate_after_init")});
        }));
        const QStringList convert{QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                                  temp.filePath(QStringLiteral("pdf")), cardFile};
        ms["ref warm convert"].push_back(TimeMs([&] { RunOffice(kProgramFolder + QStringLiteral("soffice"), warm, convert); }));
        const QString fresh = temp.filePath(QStringLiteral("fresh-%1").arg(i));
        ms["ref fresh convert"].push_back(TimeMs([&] { RunOffice(kProgramFolder + QStringLiteral("soffice"), fresh, convert); }));
    }

    const double warmMs = Median(ms["ref warm convert"]);
    std::printf("timed rounds: %d (medians)%s\n", runs, messageBoxes.errorSteps().isEmpty() ? "" : "  (errors were shown: see stderr)");
    std::printf("offices' private folders in:               %s\n", qPrintable(QDir::tempPath()));
    std::printf("reference: warm  soffice --convert-to pdf:   %6.0f ms\n", warmMs);
    std::printf("reference: fresh soffice --convert-to pdf:   %6.0f ms  = %.2f x warm\n",
                Median(ms["ref fresh convert"]), Median(ms["ref fresh convert"]) / warmMs);
    std::printf("reference: soffice.bin --terminate_after_init: %4.0f ms (prepared profile)\n", Median(ms["ref bare office"]));
    std::printf("office start, spawn to connected:            %6.0f ms  = %.2f x terminate_after_init (target <= 2)\n",
                Median(ms["office start"]), Median(ms["office start"]) / Median(ms["ref bare office"]));
    std::printf("office quit:                                 %6.0f ms\n", Median(ms["office quit"]));
    std::printf("start-up incl. office check:                 %6.0f ms  = %.2f x warm convert (target <= 1.0)\n",
                Median(ms["start-up"]), Median(ms["start-up"]) / warmMs);
    std::printf("card: click to preview shown:                %6.0f ms  = %.2f x warm convert (target <= 1.5)\n",
                Median(ms["card"]), Median(ms["card"]) / warmMs);
    if (printing)
        std::printf("print: dialog accepted to job in the queue:  %6.1f ms  = %.2f x warm convert (target <= 0.2)\n",
                    Median(ms["print"]), Median(ms["print"]) / warmMs);
    else
        std::printf("print: dialog accepted to job in the queue:  not measured (no scheduler of the bench's own)\n");
    std::printf("save as PDF: dialog accepted to file written: %5.1f ms  = %.2f x warm convert (target <= 0.2)\n",
                Median(ms["save as PDF"]), Median(ms["save as PDF"]) / warmMs);
    std::printf("peak resident memory, program:               %6ld KiB\n", programPeak);
    std::printf("peak resident memory, office (largest):      %6ld KiB\n", officePeak);
    std::printf("peak resident memory, offices together:      %6ld KiB  = %.2f x the largest office (target <= 1.7)\n",
                officesTogetherPeak, double(officesTogetherPeak) / officePeak);
    return 0;
}

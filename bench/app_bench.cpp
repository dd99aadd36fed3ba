// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// Start-up, one card and memory against the office's own floor, measured in
// one run with the real office engine. Prints figures; asserts nothing.
//
//   floor       office started with the program's options, connected, terminated
//   convert     plain `soffice --headless --convert-to pdf` of a card (reference)
//   start-up    main window created, start-up sequence (with the office check), shown
//   card        "Start Creating Template" clicked until the preview is shown

#include "../tests/Fakes.h"
#include "Form1.h"
#include "Form2.h"
#include "LibreOfficeWord.h"
#include "OfficeGuard.h"
#include "Main.h"
#include "QtPlatform.h"
#include "Skin.h"
#include "TextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {
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
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toUtf8());

    RecordingMessageBoxes messageBoxes;
    messageBoxes.onShow = [](const ShownMessage& message) { std::fprintf(stderr, "message: %s\n", qPrintable(message.text)); };
    ScriptedSaveDialog saveDialog;
    MemorySettingsStore settings;
    RecordingProcessStarter processes;
    QtClipboard clipboard;
    RecordingProgramEnd programEnd;
    RandomGenerator generator;
    LibreOfficeWordFactory word(clipboard, LibreOfficeOptions::forProgram());
    Platform platform{messageBoxes, saveDialog, settings, processes, clipboard, word, programEnd,
                      [&generator](double seed) { generator.seed(seed); }, [&generator] { return generator.next(); },
                      SecondsSinceMidnight, QCoreApplication::applicationDirPath()};

    std::vector<double> floor;
    for (int i = 0; i < runs; ++i)
        floor.push_back(TimeMs([&] { word.CreateObject(QStringLiteral("Word.Application"))->Quit(); }));

    std::vector<double> startUp;
    std::vector<double> card;
    QString cardFile;
    for (int i = 0; i < runs; ++i) {
        StyleSheetSkin skin;
        Form1 form(platform, skin);
        startUp.push_back(TimeMs([&] {
            form.Form_Load();
            form.show();
            QCoreApplication::processEvents();
        }));
        card.push_back(TimeMs([&] { form.PushButton6_Click(); }));
        cardFile = temp.path() + QStringLiteral("/card.doc");
        QFile::remove(cardFile);
        QFile::copy(form.Preview().mWordFile, cardFile);
        form.Preview().PushButton8_Click();
    }
    const long programPeak = PeakKilobytes(RUSAGE_SELF);
    const long officePeak = PeakKilobytes(RUSAGE_CHILDREN);

    std::vector<double> convert;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir profile;
        const QString profileUrl = QUrl::fromLocalFile(profile.path()).toString(QUrl::FullyEncoded);
        QProcess office;
        office.setProgram(QStringLiteral("/usr/lib/libreoffice/program/soffice"));
        office.setArguments({QStringLiteral("--headless"), QStringLiteral("--norestore"),
                             QStringLiteral("-env:UserInstallation=") + profileUrl,
                             QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                             temp.path(), cardFile});
        convert.push_back(TimeMs([&] {
            office.start();
            office.waitForFinished(120000);
        }));
        // The office leaves the pipe socket of that profile behind.
        RemoveOfficeSockets(OfficeSocketPaths(QString(), profileUrl));
    }

    const double floorMs = Median(floor);
    std::printf("runs per figure: %d (medians)%s\n", runs, messageBoxes.shown.empty() ? "" : "  (messages were shown: see stderr)");
    std::printf("office floor (start, connect, terminate):  %8.0f ms\n", floorMs);
    std::printf("reference: soffice --convert-to pdf:       %8.0f ms\n", Median(convert));
    std::printf("start-up incl. office check:               %8.0f ms  = %.2f x floor   (target <= 1.10)\n",
                Median(startUp), Median(startUp) / floorMs);
    std::printf("card: click to preview shown:              %8.0f ms  = %.2f x 2 floors (target <= 1.10)\n",
                Median(card), Median(card) / (2 * floorMs));
    std::printf("peak resident memory, program:             %8ld KiB\n", programPeak);
    std::printf("peak resident memory, office (largest):    %8ld KiB\n", officePeak);
    return 0;
}

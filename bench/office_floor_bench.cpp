// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// Prints what one office instance costs on this machine: start to connected
// and terminate (with and without the prepared profile), each Word call of a
// card, and a plain command-line conversion of the card for comparison.
// Usage: office_floor_bench [repetitions] (SOURCE_DIR gives the source root).

#include "LibreOfficeWord.h"
#include "OfficeGuard.h"

#include "ErrorTrap.h"
#include "Platform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

struct NullClipboard : Clipboard {
    QImage picture;
    void setImage(const QImage& image) override { picture = image; }
    void setCard(const QImage& image, const QByteArray&) override { picture = image; }
    QImage image() override { return picture; }
};

struct Figures {
    std::map<QString, std::vector<double>> ms;
    void add(const QString& what, double value) { ms[what].push_back(value); }
    void print(const char* title) const
    {
        std::printf("%s\n", title);
        for (const auto& [what, values] : ms) {
            std::vector<double> sorted = values;
            std::sort(sorted.begin(), sorted.end());
            std::printf("  %-28s median %8.1f ms   min %8.1f   max %8.1f   (n=%zu)\n", qPrintable(what),
                        sorted[sorted.size() / 2], sorted.front(), sorted.back(), sorted.size());
        }
    }
};

double lap(QElapsedTimer& clock)
{
    const double ms = clock.nsecsElapsed() / 1e6;
    clock.restart();
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString source = qEnvironmentVariable("SOURCE_DIR", QStringLiteral("."));
    const QString card = source + QStringLiteral("/resources/card-template.dot");
    QTemporaryDir temp;
    NullClipboard clipboard;
    LibreOfficeOptions base;
    QFile fonts(source + QStringLiteral("/resources/fonts/pelorin-fonts.conf"));
    if (fonts.open(QIODevice::ReadOnly))
        base.fontConfig = fonts.readAll();

    try {
        // Floor: start, connect, terminate, alternating a fresh and a prepared profile.
        Figures floor;
        LibreOfficeOptions fresh = base, prepared = base;
        prepared.profileCache = temp.filePath(QStringLiteral("cache"));
        qunsetenv("PELORIN_OFFICE_PROFILE_CACHE");
        LibreOfficeWordFactory freshFactory(clipboard, fresh);
        LibreOfficeWordFactory preparedFactory(clipboard, prepared);
        QElapsedTimer clock;
        clock.start();
        { preparedFactory.CreateObject(QStringLiteral("Word.Application"))->Quit(); }  // seeds the cache
        floor.add(QStringLiteral("seeding run (start+quit)"), lap(clock));
        for (int i = 0; i < runs; ++i) {
            for (auto* factory : {&freshFactory, &preparedFactory}) {
                const QString label = factory == &freshFactory ? QStringLiteral("empty profile") : QStringLiteral("prepared profile");
                clock.restart();
                std::unique_ptr<WordApplication> word = factory->CreateObject(QStringLiteral("Word.Application"));
                floor.add(label + QStringLiteral(": start"), lap(clock));
                word->Quit();
                floor.add(label + QStringLiteral(": quit"), lap(clock));
            }
        }
        floor.print("Office floor (start = spawn to connected)");

        // One card, call by call, as the program builds and renders it.
        Figures calls;
        for (int i = 0; i < runs; ++i) {
            const QString out = temp.filePath(QStringLiteral("card%1.doc").arg(i));
            clock.restart();
            std::unique_ptr<WordApplication> word = preparedFactory.CreateObject(QStringLiteral("Word.Application"));
            calls.add(QStringLiteral("1 start"), lap(clock));
            std::shared_ptr<WordDocument> document = word->Open(card, true);
            calls.add(QStringLiteral("2 open template"), lap(clock));
            document->SelectShape(QStringLiteral("Text Box 8"));
            calls.add(QStringLiteral("3 select shape"), lap(clock));
            document->TypeText(QStringLiteral("Dear Tobin,\r\nThank you – merci, 谢谢, Ünïcödé 😀\r\nWith love,"));
            calls.add(QStringLiteral("4 type text"), lap(clock));
            document->SaveAs(out);
            calls.add(QStringLiteral("5 save as"), lap(clock));
            document->CopyRangeAsPicture();
            calls.add(QStringLiteral("6 pdf export + render"), lap(clock));
            word->CloseActiveDocument(0);
            calls.add(QStringLiteral("7 close"), lap(clock));
            word->Quit();
            calls.add(QStringLiteral("8 quit"), lap(clock));
        }
        calls.print("One card (prepared profile)");
    } catch (const Failure& failure) {
        std::fprintf(stderr, "failed: %s\n", failure.what());
        return 1;
    }

    // For comparison: a one-shot conversion by the command line, own profile
    // each time; the pipe socket it leaves for that profile is removed.
    Figures convert;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir profile;
        const QString profileUrl = QStringLiteral("file://") + profile.path();
        QProcess soffice;
        QElapsedTimer clock;
        clock.start();
        soffice.start(QStringLiteral("/usr/lib/libreoffice/program/soffice"),
                      {QStringLiteral("-env:UserInstallation=") + profileUrl, QStringLiteral("--headless"),
                       QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"), profile.path(), card});
        const bool converted = soffice.waitForFinished(120000) && soffice.exitCode() == 0;
        RemoveOfficeSockets(OfficeSocketPaths(QString(), profileUrl));
        if (!converted) {
            std::fprintf(stderr, "soffice --convert-to pdf failed\n");
            return 1;
        }
        convert.add(QStringLiteral("convert-to pdf"), lap(clock));
    }
    convert.print("soffice --headless --convert-to pdf of the card (fresh profile)");
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// The Word calls carried out by a real office: a card built from the real
// template and checked with independent readers and by its picture, the
// reported failures, and the guarantee that no office process outlives its
// object, also when the launcher is missing or the office stops answering.

#include "LibreOfficeWord.h"
#include "OfficeFonts.h"
#include "OfficeProcess.h"

#include "ErrorTrap.h"
#include "Form1.h"
#include "Form2.h"
#include "OfficeTestSupport.h"
#include "TextBox.h"
#include "faults/FaultSupport.h"
#include "ProfileCache.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <poppler-qt6.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace officetest;

namespace {

bool near(QRgb pixel, QRgb wanted, int tolerance)
{
    return std::abs(qRed(pixel) - qRed(wanted)) <= tolerance && std::abs(qGreen(pixel) - qGreen(wanted)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(wanted)) <= tolerance;
}

// Pixels of the card's text colour inside a rectangle given in twips (0.1 px per twip).
int textPixels(const QImage& image, int left, int top, int width, int height)
{
    int count = 0;
    for (int y = top / 10; y < (top + height) / 10 && y < image.height(); ++y)
        for (int x = left / 10; x < (left + width) / 10 && x < image.width(); ++x)
            count += near(image.pixel(x, y), qRgb(153, 153, 51), 40);
    return count;
}

const QString kMessage = QStringLiteral("Dear Tobin,\r\nThank you – merci, 谢谢, Ünïcödé 😀\r\nWith love,");

}  // namespace

class LibreOfficeWordTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir mTemp;
    QtClipboard mClipboard;

    LibreOfficeOptions options() const
    {
        LibreOfficeOptions o;
        QFile fonts(SourceDir() + QStringLiteral("/resources/fonts/pelorin-fonts.conf"));
        if (fonts.open(QIODevice::ReadOnly))
            o.fontConfig = fonts.readAll();
        o.profileCache = mTemp.filePath(QStringLiteral("cache"));
        return o;
    }

    QString officeTemp() const { return mTemp.filePath(QStringLiteral("tmp")); }

    // Running instances whose profile shows the office's graphics self-test
    // ran: it costs most of a start and is meant to run once per version.
    // The prepared profiles (and unfinished ones) in a cache folder.
    static QStringList Profiles(const QString& cache)
    {
        return QDir(cache).entryList({QStringLiteral("profile-*")}, QDir::Dirs | QDir::Hidden);
    }

    QStringList selfTestLogs() const
    {
        QStringList logs;
        for (const QString& folder : QDir(officeTemp()).entryList({QStringLiteral("pelorin-office-*")}, QDir::Dirs)) {
            const QString log = officeTemp() + QLatin1Char('/') + folder + QStringLiteral("/profile/user/GraphicsRenderTests.log");
            if (QFile::exists(log))
                logs << log;
        }
        return logs;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTemp.isValid());
        QVERIFY(QDir().mkpath(officeTemp()));
        // Private office folders go here, so the test can see they are removed.
        qputenv("TMPDIR", QFile::encodeName(officeTemp()));
        qunsetenv("PELORIN_SOFFICE");
        qunsetenv("PELORIN_OFFICE_TIMEOUT_MS");
        qunsetenv("PELORIN_OFFICE_START_TIMEOUT_MS");
        qunsetenv("PELORIN_OFFICE_PROFILE_CACHE");
        if (!QFile::exists(CardTemplatePath()))
            QSKIP("resources/card-template.dot not built yet");
    }

    // Nothing may outlive a test: no office process, no private folder.
    void cleanup()
    {
        QCOMPARE(OurOfficePids(), QList<int>());
        // Nor the pipe socket of an office that had to be killed.
        QCOMPARE(QDir(QStringLiteral("/tmp")).entryList({QStringLiteral("OSL_PIPE_*_pelorin-%1-*").arg(::getpid())}, QDir::System),
                 QStringList());
        QCOMPARE(QDir(officeTemp()).entryList(QStringList{QStringLiteral("pelorin-office-*")}, QDir::AllEntries | QDir::Hidden),
                 QStringList());
        qunsetenv("PELORIN_SOFFICE");
        qunsetenv("PELORIN_OFFICE_TIMEOUT_MS");
        qunsetenv("PELORIN_OFFICE_START_TIMEOUT_MS");
    }

    void cardRoundTrip()
    {
        LibreOfficeWordFactory factory(mClipboard, options());
        const QString card = mTemp.filePath(QStringLiteral("Card for Tobin.doc"));
        QFile original(CardTemplatePath());
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray templateBytes = original.readAll();

        // Build: the read-only template is filled in and saved under a new name.
        {
            std::unique_ptr<WordApplication> word = factory.CreateObject(QStringLiteral("Word.Application"));
            QCOMPARE(OurOfficePids("soffice.bin").size(), 1);
            word->SetDisplayAlerts(false);
            std::shared_ptr<WordDocument> document = word->Open(CardTemplatePath(), true);
            document->SelectShape(QStringLiteral("Text Box 8"));
            document->TypeText(kMessage);
            document->SaveAs(card);
            document->Close();
            QCOMPARE(selfTestLogs(), QStringList());  // not even on the start that seeds the cache
            word->Quit();
        }
        QCOMPARE(OurOfficePids(), QList<int>());
        const QStringList prepared = Profiles(mTemp.filePath(QStringLiteral("cache")));
        QVERIFY2(prepared.size() == 1, "a clean quit seeds the profile cache");
        // Marked, so the render office shows it started from this profile.
        const QString marker = QStringLiteral("/user/prepared-profile-marker");
        QVERIFY(WriteAll(mTemp.filePath(QStringLiteral("cache/")) + prepared[0] + marker, "marker"));
        QFile after(CardTemplatePath());
        QVERIFY(after.open(QIODevice::ReadOnly));
        QVERIFY2(after.readAll() == templateBytes, "the template is left untouched");

        // Independent readers see a Word 97-2003 file holding the message, one paragraph per line.
        const QString kind = Run(QStringLiteral("file"), {card});
        QVERIFY2(kind.contains(QStringLiteral("Composite Document File V2 Document")), qPrintable(kind));
        const QString text = CatDoc(card);
        QVERIFY2(text.contains(QStringLiteral("Dear Tobin,\n\nThank you – merci, 谢谢, Ünïcödé")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\n\nWith love,")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("Dear Friend")), "the placeholder is replaced");

        // Render: a second instance (from the seeded profile) draws the saved card.
        {
            std::unique_ptr<WordApplication> word = factory.CreateObject(QStringLiteral("Word.Application"));
            // The first office's folder goes on a thread of its own.
            OfficeProcess::WaitDisposed();
            const QStringList running = QDir(officeTemp()).entryList({QStringLiteral("pelorin-office-*")}, QDir::Dirs);
            QCOMPARE(running.size(), 1);
            QVERIFY2(QFile::exists(officeTemp() + QLatin1Char('/') + running[0] + QStringLiteral("/profile") + marker),
                     "the render office did not start from the prepared profile");
            std::shared_ptr<WordDocument> document = word->Open(card, false);
            QVERIFY(document->RenderedPdf().isEmpty());
            document->CopyRangeAsPicture();
            const QImage picture = mClipboard.image();
            QCOMPARE(picture.size(), QSize(1224, 1584));
            QCOMPARE(picture.dotsPerMeterX(), 11339);
            QCOMPARE(picture.dotsPerMeterY(), 11339);
            // Natural size: half the printed US Letter page.
            QCOMPARE(qRound(picture.width() / (picture.dotsPerMeterX() * 0.0254) * 1440), 6120);

            const int inBox = textPixels(picture, 8985, 11740, 2304, 2629);
            QVERIFY2(inBox > 300, qPrintable(QStringLiteral("text-coloured pixels in the box: %1").arg(inBox)));
            // The message stays inside its box: the empty lower left of the page has none.
            QCOMPARE(textPixels(picture, 0, 9000, 7000, 6000), 0);
            QCOMPARE(picture.pixel(picture.width() - 5, 5), qRgb(255, 255, 255));
            QCOMPARE(selfTestLogs(), QStringList());

            // The card as it prints, from the picture's PDF and from an export
            // alike: one US Letter page, the message as text, every font embedded.
            for (const QByteArray& bytes : {document->RenderedPdf(), document->ExportAsPdf()}) {
                const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::loadFromData(bytes);
                QVERIFY(pdf);
                QCOMPARE(pdf->numPages(), 1);
                const std::unique_ptr<Poppler::Page> page = pdf->page(0);
                QCOMPARE(page->pageSizeF(), QSizeF(612, 792));
                const QString printed = page->text(QRectF());
                QVERIFY2(printed.contains(QStringLiteral("Dear Tobin,")) && printed.contains(QStringLiteral("With love,")),
                         qPrintable(printed));
                const QList<Poppler::FontInfo> fonts = pdf->fonts();
                QVERIFY(!fonts.isEmpty());
                for (const Poppler::FontInfo& font : fonts)
                    QVERIFY2(font.isEmbedded(), qPrintable(font.name()));
            }
            word->CloseActiveDocument(0);
            word->Quit();
        }
    }

    // A spare office comes up before the object that takes it: the next
    // CreateObject hands out that very process, with nothing loaded. One
    // nobody takes ends with its factory; one that cannot start fails that
    // CreateObject as a start of its own would.
    void aSpareOfficeStartsAhead()
    {
        // The office up and accepting (its pipe's socket made), seen from outside.
        const auto upAhead = [] {
            QElapsedTimer clock;
            clock.start();
            while (QDir(QStringLiteral("/tmp")).entryList({QStringLiteral("OSL_PIPE_*_pelorin-%1-*").arg(::getpid())}, QDir::System).isEmpty()
                   && clock.elapsed() < 30000)
                QThread::msleep(5);
            return OurOfficePids("soffice.bin");
        };
        {
            LibreOfficeWordFactory factory(mClipboard, options());
            factory.StartSpare(QStringLiteral("Word.Application"));
            const QList<int> spare = upAhead();
            QCOMPARE(spare.size(), 1);
            std::unique_ptr<WordApplication> word = factory.CreateObject(QStringLiteral("Word.Application"));
            QCOMPARE(OurOfficePids("soffice.bin"), spare);
            // Nothing open: the first document opened is the active one.
            QVERIFY_THROWS_EXCEPTION(Failure, word->CloseActiveDocument(0));
            std::shared_ptr<WordDocument> document = word->Open(CardTemplatePath(), true);
            document->SelectShape(QStringLiteral("Text Box 8"));
            word->CloseActiveDocument(0);
            word->Quit();
            QCOMPARE(OurOfficePids(), QList<int>());
            // Taken once: the next object is an office of its own.
            word = factory.CreateObject(QStringLiteral("Word.Application"));
            QCOMPARE(OurOfficePids("soffice.bin").size(), 1);
            QVERIFY(OurOfficePids("soffice.bin") != spare);
            word->Quit();
            // Quit alone ends the office and takes its folder away, while the
            // application object is still held.
            OfficeProcess::WaitDisposed();
            QCOMPARE(QDir(officeTemp()).entryList({QStringLiteral("pelorin-office-*")}, QDir::Dirs | QDir::Hidden), QStringList());

            factory.StartSpare(QStringLiteral("Word.Application"));
            QCOMPARE(upAhead().size(), 1);
        }
        QCOMPARE(OurOfficePids(), QList<int>());

        qputenv("PELORIN_SOFFICE", "/nonexistent/soffice");
        LibreOfficeWordFactory factory(mClipboard, options());
        factory.StartSpare(QStringLiteral("Word.Application"));
        try {
            factory.CreateObject(QStringLiteral("Word.Application"));
            QFAIL("the spare could not start");
        } catch (const Failure& f) {
            QVERIFY2(f.description().startsWith(QStringLiteral("The office engine could not be started")),
                     qPrintable(f.description()));
            QVERIFY2(f.description().contains(QStringLiteral("/nonexistent/soffice")), qPrintable(f.description()));
        }
    }

    // Print… and Save as PDF… after a card send the PDF the snapshot's office
    // exported for the picture, byte for byte, as often as asked, and start
    // no office. A fresh export of the same card would differ (its time and
    // identity), so the bytes tell which it was.
    void aCardsPdfIsTheSnapshotsOwn()
    {
        LibreOfficeWordFactory office(mClipboard, options());
        faults::HookedWordFactory word(office);
        TestPlatform test;
        Platform platform{test.messageBoxes, test.saveDialog, test.printDialog, test.printQueue, test.mail, test.settings,
                          test.processes, mClipboard, word, test.programEnd, test.platform.randomize,
                          test.platform.random, test.platform.timer, QString()};
        const QString temp = mTemp.filePath(QStringLiteral("card-temp"));
        QVERIFY(QDir().mkpath(temp));
        qputenv("TEMP", QFile::encodeName(temp));
        faults::NoSkin skin;
        Form1 form(platform, skin);
        form.Text1->setText(kMessage);
        form.PushButton6_Click();
        QVERIFY2(test.messageBoxes.shown.empty(), qPrintable(faults::MessageLog(test.messageBoxes)));
        QCOMPARE(word.created, 2);
        const QByteArray snapshot = word.renderedPdf;
        QVERIFY(snapshot.startsWith("%PDF-"));

        Form2& preview = form.Preview();
        test.printDialog.answer.accepted = true;
        test.printDialog.answer.printer = QStringLiteral("CardPDF");
        preview.mnuPrint_Click();
        for (const QString& name : {QStringLiteral("first.pdf"), QStringLiteral("second.pdf")}) {
            test.saveDialog.answer = mTemp.filePath(name);
            preview.mnuSavePdf_Click();
            QVERIFY2(ReadAll(test.saveDialog.answer) == snapshot, qPrintable(name));
        }
        QCOMPARE(test.printQueue.jobs.size(), size_t(1));
        QVERIFY(test.printQueue.jobs[0].pdf == snapshot);
        QCOMPARE(faults::MessageLog(test.messageBoxes), QStringLiteral("Done.\nDone."));
        QCOMPARE(word.created, 2);
        QCOMPARE(OurOfficePids(), QList<int>());

        const std::unique_ptr<WordApplication> again = office.CreateObject(QStringLiteral("Word.Application"));
        const QByteArray exported = again->Open(preview.mWordFile, true)->ExportAsPdf();
        again->Quit();
        QVERIFY(exported.startsWith("%PDF-") && exported != snapshot);
        preview.PushButton8_Click();
    }

    void paragraphBreaks()
    {
        LibreOfficeWordFactory factory(mClipboard, options());
        const QString card = mTemp.filePath(QStringLiteral("breaks.doc"));
        std::unique_ptr<WordApplication> word = factory.CreateObject(QStringLiteral("Word.Application"));
        std::shared_ptr<WordDocument> document = word->Open(CardTemplatePath(), true);
        document->SelectShape(QStringLiteral("text box 8"));  // names match regardless of case
        document->TypeText(QStringLiteral("one\rtwo\nthree\r\nfour"));
        document->SaveAs(card);
        // Word's SaveAs leaves the document at its new path: a second save goes there too.
        document->TypeText(QStringLiteral("five\r\nsix"));
        word->CloseActiveDocument(-1);
        word->Quit();
        const QString text = CatDoc(card);
        QVERIFY2(text.contains(QStringLiteral("five\n\nsix")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("four")), qPrintable(text));

        std::unique_ptr<WordApplication> again = factory.CreateObject(QStringLiteral("Word.Application"));
        std::shared_ptr<WordDocument> first = again->Open(CardTemplatePath(), true);
        first->SelectShape(QStringLiteral("Text Box 8"));
        first->TypeText(QStringLiteral("one\rtwo\nthree\r\nfour"));
        first->SaveAs(card);
        first->Close();
        again->Quit();
        const QString breaks = CatDoc(card);
        QVERIFY2(breaks.contains(QStringLiteral("one\n\ntwo\n\nthree\n\nfour")), qPrintable(breaks));
    }

    void failuresAreReported()
    {
        LibreOfficeWordFactory factory(mClipboard, options());
        try {
            factory.CreateObject(QStringLiteral("Excel.Application"));
            QFAIL("only Word can be created");
        } catch (const Failure& f) {
            QCOMPARE(f.description(), QStringLiteral("ActiveX component can't create object"));
        }
        QCOMPARE(OurOfficePids(), QList<int>());

        std::unique_ptr<WordApplication> word = factory.CreateObject(QStringLiteral("Word.Application"));
        const QString missing = mTemp.filePath(QStringLiteral("no such card.dot"));
        try {
            word->Open(missing, true);
            QFAIL("a missing file cannot be opened");
        } catch (const Failure& f) {
            QVERIFY2(f.description().startsWith(QStringLiteral("Word could not open the document: ") + missing),
                     qPrintable(f.description()));
        }
        const QString garbage = mTemp.filePath(QStringLiteral("garbage.doc"));
        {
            QFile file(garbage);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(3000, '\x5A'));
        }
        // The office may take it for plain text; then it has no named shapes.
        try {
            std::shared_ptr<WordDocument> opened = word->Open(garbage, true);
            QVERIFY_THROWS_EXCEPTION(Failure, opened->SelectShape(QStringLiteral("Text Box 8")));
            word->CloseActiveDocument(0);
        } catch (const Failure& f) {
            QVERIFY2(f.description().startsWith(QStringLiteral("Word could not open the document: ")), qPrintable(f.description()));
        }
        QVERIFY_THROWS_EXCEPTION(Failure, word->CloseActiveDocument(0));

        std::shared_ptr<WordDocument> document = word->Open(CardTemplatePath(), true);
        try {
            document->TypeText(QStringLiteral("nothing selected"));
            QFAIL("typing needs a selection");
        } catch (const Failure&) {
        }
        try {
            document->SelectShape(QStringLiteral("Text Box 9"));
            QFAIL("an unknown name cannot be selected");
        } catch (const Failure& f) {
            QCOMPARE(f.description(), QStringLiteral("The item with the specified name wasn't found."));
        }
        QVERIFY_THROWS_EXCEPTION(Failure, document->SaveAs(mTemp.filePath(QStringLiteral("no folder/card.doc"))));
        QVERIFY_THROWS_EXCEPTION(Failure, document->SaveAs(mTemp.path()));  // a folder, not a file
        word->CloseActiveDocument(0);
        QVERIFY_THROWS_EXCEPTION(Failure, word->CloseActiveDocument(0));
        QVERIFY_THROWS_EXCEPTION(Failure, document->SelectShape(QStringLiteral("Text Box 8")));  // closed
        word->Quit();
        QVERIFY_THROWS_EXCEPTION(Failure, word->Open(CardTemplatePath(), true));
        QVERIFY_THROWS_EXCEPTION(Failure, word->Quit());
    }

    void destroyedWithoutQuit()
    {
        LibreOfficeWordFactory factory(mClipboard, options());
        std::shared_ptr<WordDocument> document;
        {
            std::unique_ptr<WordApplication> word = factory.CreateObject(QStringLiteral("Word.Application"));
            document = word->Open(CardTemplatePath(), false);
            document->SelectShape(QStringLiteral("Text Box 8"));
            QVERIFY(!OurOfficePids().isEmpty());
        }
        QCOMPARE(OurOfficePids(), QList<int>());
        // The document outlives its office: calls fail instead of crashing.
        try {
            document->TypeText(QStringLiteral("too late"));
            QFAIL("the office has gone");
        } catch (const Failure& f) {
            QCOMPARE(f.description(), QStringLiteral("The office engine is no longer running."));
        }
    }

    void launcherProblems()
    {
        QElapsedTimer clock;
        qputenv("PELORIN_SOFFICE", "/nonexistent/soffice");
        {
            LibreOfficeWordFactory factory(mClipboard, options());
            clock.start();
            try {
                factory.CreateObject(QStringLiteral("Word.Application"));
                QFAIL("there is no office to start");
            } catch (const Failure& f) {
                QVERIFY2(f.description().startsWith(QStringLiteral("The office engine could not be started")),
                         qPrintable(f.description()));
                QVERIFY2(f.description().contains(QStringLiteral("/nonexistent/soffice")), qPrintable(f.description()));
            }
            // Fails at once rather than waiting for the start bound.
            QVERIFY(clock.elapsed() < 10000);
        }

        // A launcher that gives up at once, and one that never opens its pipe.
        const QString quitter = mTemp.filePath(QStringLiteral("quitter.sh"));
        const QString sleeper = mTemp.filePath(QStringLiteral("sleeper.sh"));
        for (const auto& [path, body] : {std::pair{quitter, QByteArray("#!/bin/sh\necho run >>\"$0.runs\"\necho cannot start >&2\nexit 3\n")},
                                         std::pair{sleeper, QByteArray("#!/bin/sh\nsleep 600 &\nsleep 600\n")}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(body);
            file.close();
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // What a start with the launcher PELORIN_SOFFICE names fails with; empty when it comes up.
        const auto startFailure = [this] {
            try {
                LibreOfficeWordFactory(mClipboard, options()).CreateObject(QStringLiteral("Word.Application"));
            } catch (const Failure& f) {
                return f.description();
            }
            return QString();
        };
        qputenv("PELORIN_SOFFICE", QFile::encodeName(quitter));
        const QString quit = startFailure();
        QVERIFY2(quit.contains(QStringLiteral("exit code 3")) && quit.contains(QStringLiteral("cannot start")), qPrintable(quit));
        // Only an office's own request starts it again.
        QCOMPARE(ReadAll(quitter + QStringLiteral(".runs")).count("run"), 1);
        qputenv("PELORIN_SOFFICE", QFile::encodeName(sleeper));
        qputenv("PELORIN_OFFICE_START_TIMEOUT_MS", "1500");
        const QString slept = startFailure();
        QVERIFY2(slept.contains(QStringLiteral("did not come up")), qPrintable(slept));
        // The sleeping launcher and its child are gone too.
        const QString script = Run(QStringLiteral("pgrep"), {QStringLiteral("-f"), sleeper});
        QVERIFY2(script.trimmed().isEmpty(), qPrintable(script));

        // An office that made its pipe's socket and asked to be started again,
        // when that start fails (its log cannot be opened): the socket goes.
        const QString restarter = mTemp.filePath(QStringLiteral("restarter.sh"));
        QVERIFY(WriteAll(restarter, "#!/bin/sh\nfor a; do case $a in --accept=pipe,name=*) p=${a#*name=}; p=${p%%;*} ;; esac; done\n"
                                    "python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "
                                    "/tmp/OSL_PIPE_$(id -u)_$p\nrm \"$TMPDIR/../office.log\" && mkdir \"$TMPDIR/../office.log\"\nexit 81\n"));
        QFile::setPermissions(restarter, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PELORIN_SOFFICE", QFile::encodeName(restarter));
        qputenv("PELORIN_OFFICE_START_TIMEOUT_MS", "10000");
        const QString noLog = startFailure();
        QVERIFY2(noLog.contains(QStringLiteral("Is a directory")), qPrintable(noLog));
        QCOMPARE(QDir(QStringLiteral("/tmp")).entryList({QStringLiteral("OSL_PIPE_*_pelorin-%1-*").arg(::getpid())}, QDir::System),
                 QStringList());

        // One that asks again and again is given up on, without waiting out the start bound.
        const QString asksForever = mTemp.filePath(QStringLiteral("asks-forever.sh"));
        QVERIFY(WriteAll(asksForever, "#!/bin/sh\necho run >>\"$0.runs\"\nexit 81\n"));
        QFile::setPermissions(asksForever, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PELORIN_SOFFICE", QFile::encodeName(asksForever));
        const QString asked = startFailure();
        QVERIFY2(asked.contains(QStringLiteral("exit code 81")), qPrintable(asked));
        // The first start and five more.
        QCOMPARE(ReadAll(asksForever + QStringLiteral(".runs")).count("run"), 6);

        // An office that asks three times to be started again still comes up.
        const QString asksThrice = mTemp.filePath(QStringLiteral("asks-thrice.sh"));
        QVERIFY(WriteAll(asksThrice, "#!/bin/sh\nn=$(cat \"$0.count\" 2>/dev/null || echo 0)\necho $((n + 1)) >\"$0.count\"\n"
                                     "echo \"$GLIBC_TUNABLES\" >\"$0.tunables\"\n"
                                     "[ \"$n\" -lt 3 ] && exit 81\nexec /usr/lib/libreoffice/program/soffice.bin \"$@\"\n"));
        QFile::setPermissions(asksThrice, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PELORIN_SOFFICE", QFile::encodeName(asksThrice));
        // The office's heap in huge pages, beside the user's own tunables.
        qputenv("GLIBC_TUNABLES", "glibc.malloc.arena_max=2");
        const auto noTunables = qScopeGuard([] { qunsetenv("GLIBC_TUNABLES"); });
        try {
            LibreOfficeWordFactory(mClipboard, options()).CreateObject(QStringLiteral("Word.Application"))->Quit();
        } catch (const Failure& f) {
            QFAIL(qPrintable(f.description()));
        }
        // (Once more when the office itself asks, on a profile of its own.)
        QVERIFY(ReadAll(asksThrice + QStringLiteral(".count")).trimmed().toInt() >= 4);
        QCOMPARE(ReadAll(asksThrice + QStringLiteral(".tunables")).trimmed(),
                 QStringLiteral("glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1"));
    }

    void stoppedOfficeIsEnded()
    {
        qputenv("PELORIN_OFFICE_TIMEOUT_MS", "3000");
        LibreOfficeWordFactory factory(mClipboard, options());
        QCOMPARE(factory.options().callTimeoutMs, 3000);
        std::unique_ptr<WordApplication> word = factory.CreateObject(QStringLiteral("Word.Application"));
        std::shared_ptr<WordDocument> document = word->Open(CardTemplatePath(), true);
        const QList<int> office = OurOfficePids("soffice.bin");
        QCOMPARE(office.size(), 1);
        QCOMPARE(::kill(office[0], SIGSTOP), 0);

        QElapsedTimer clock;
        clock.start();
        try {
            document->SelectShape(QStringLiteral("Text Box 8"));
            QFAIL("a stopped office cannot answer");
        } catch (const Failure& f) {
            QVERIFY2(f.description().startsWith(QStringLiteral("The office engine did not answer within 3 seconds")),
                     qPrintable(f.description()));
        }
        // The bound plus the time to end the office, not a hang.
        QVERIFY(clock.elapsed() < 15000);
        QCOMPARE(OurOfficePids(), QList<int>());
        try {
            word->Open(CardTemplatePath(), true);
            QFAIL("the office was ended");
        } catch (const Failure& f) {
            QCOMPARE(f.description(), QStringLiteral("The office engine is no longer running."));
        }
    }

    // A profile is offered only by an office whose process tree ended by
    // itself with exit code 0: here the office is started through a script
    // that ends as told once the office has ended.
    void preparedProfileOnlyFromACleanEnd()
    {
        const QString program = mTemp.filePath(QStringLiteral("wrapped/program"));
        QVERIFY(QDir().mkpath(program));
        // The cache key reads the office's version beside its program.
        QVERIFY(QFile::copy(QStringLiteral("/usr/lib/libreoffice/program/versionrc"), program + QStringLiteral("/versionrc")));
        // The last script outlives the time an office is given to end, so
        // what is left of it is killed, after which it ends with exit code 0.
        const QByteArray ends[] = {"exit $status", "exit 7", "sleep 60\nexit 0"};
        for (int i = 0; i < 3; ++i) {
            const QString launcher = program + QStringLiteral("/office.sh");
            QFile::remove(launcher);
            QVERIFY(WriteAll(launcher, "#!/bin/sh\n/usr/lib/libreoffice/program/soffice.bin \"$@\"\nstatus=$?\n"
                                       "[ $status = 81 ] && exit 81\n" + ends[i] + "\n"));
            QFile::setPermissions(launcher, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            LibreOfficeOptions o = options();
            o.launcher = launcher;
            o.profileCache = mTemp.filePath(QStringLiteral("wrapped-cache-%1").arg(i));
            LibreOfficeWordFactory(mClipboard, o).CreateObject(QStringLiteral("Word.Application"))->Quit();
            QVERIFY2(Profiles(o.profileCache).size() == (i == 0 ? 1 : 0), ends[i].constData());
        }
    }

    // The prepared profile is keyed by the office's version as its own
    // configuration states it, not by its version file alone; a start
    // removes other keys' profiles and unfinished ones over an hour old.
    // No office runs here.
    void preparedProfileKeys()
    {
        const QString cache = mTemp.filePath(QStringLiteral("keyed-cache"));
        const auto fakeOffice = [&](const QString& name, const QByteArray& version) {
            const QString root = mTemp.filePath(QStringLiteral("fake-") + name);
            QDir().mkpath(root + QStringLiteral("/program"));
            QDir().mkpath(root + QStringLiteral("/share/registry"));
            WriteAll(root + QStringLiteral("/program/versionrc"), "[Version]\nbuildid=the same\n");
            WriteAll(root + QStringLiteral("/program/soffice.bin"), "");
            WriteAll(root + QStringLiteral("/share/registry/main.xcd"),
                     R"(<?xml version="1.0"?><oor:data xmlns:oor="http://openoffice.org/2001/registry">)"
                     R"(<oor:component-data oor:name="Setup"><node oor:name="Product"><prop oor:name="ooSetupVersion">)"
                     "<value>" + version + "</value></prop></node></oor:component-data></oor:data>");
            LibreOfficeOptions o;
            o.launcher = root + QStringLiteral("/program/soffice.bin");
            o.profileCache = cache;
            return o;
        };
        const LibreOfficeOptions older = fakeOffice(QStringLiteral("older"), "7.4");
        const LibreOfficeOptions newer = fakeOffice(QStringLiteral("newer"), "7.5");
        QCOMPARE(InstalledOfficeVersion(newer.launcher), QStringLiteral("7.5"));

        const QString offered = mTemp.filePath(QStringLiteral("offered"));
        QVERIFY(QDir().mkpath(offered + QStringLiteral("/user")));
        QVERIFY(WriteAll(offered + QStringLiteral("/user/registrymodifications.xcu"), "offered by 7.4"));
        ProfileCache(older).offer(offered);
        ProfileCache(older).prepare(mTemp.filePath(QStringLiteral("from-older")));
        QCOMPARE(ReadAll(mTemp.filePath(QStringLiteral("from-older/user/registrymodifications.xcu"))), QByteArray("offered by 7.4"));

        const QStringList prepared = Profiles(cache);
        QCOMPARE(prepared.size(), 1);
        const QString olderSeed = cache + QLatin1Char('/') + prepared[0];
        QVERIFY(QDir().mkpath(cache + QStringLiteral("/profile-0123456789abcdef/user")));
        QVERIFY(QDir().mkpath(olderSeed + QStringLiteral(".tmp-0000000a")));
        QVERIFY(QDir().mkpath(olderSeed + QStringLiteral(".tmp-0000000b")));
        const timespec twoHoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(olderSeed + QStringLiteral(".tmp-0000000a")).constData(), twoHoursAgo, 0), 0);

        ProfileCache(newer).prepare(mTemp.filePath(QStringLiteral("from-newer")));
        QCOMPARE(ReadAll(mTemp.filePath(QStringLiteral("from-newer/user/registrymodifications.xcu"))), StartingRegistry(QStringLiteral("7.5")));
        // Only an unfinished profile that may still be on its way is left.
        QCOMPARE(Profiles(cache), QStringList({prepared[0] + QStringLiteral(".tmp-0000000b")}));

        // A cache folder others could write to is not trusted: even the
        // current key's profile goes, and a start begins from the settings.
        ProfileCache(newer).offer(offered);
        QCOMPARE(Profiles(cache).size(), 2);
        QVERIFY(QFile::setPermissions(cache, QFile::permissions(cache) | QFile::WriteGroup));
        ProfileCache(newer).prepare(mTemp.filePath(QStringLiteral("from-open-cache")));
        QCOMPARE(ReadAll(mTemp.filePath(QStringLiteral("from-open-cache/user/registrymodifications.xcu"))), StartingRegistry(QStringLiteral("7.5")));
        QCOMPARE(Profiles(cache), QStringList());
    }

    void optionBounds()
    {
        qputenv("PELORIN_OFFICE_TIMEOUT_MS", "5");
        qputenv("PELORIN_OFFICE_START_TIMEOUT_MS", "99999999");
        qputenv("PELORIN_SOFFICE", "/opt/office/soffice");
        const LibreOfficeOptions o = LibreOfficeOptions().resolved();
        QCOMPARE(o.callTimeoutMs, LibreOfficeOptions::kMinTimeoutMs);
        QCOMPARE(o.startTimeoutMs, LibreOfficeOptions::kMaxTimeoutMs);
        QCOMPARE(o.launcher, QStringLiteral("/opt/office/soffice"));
        qputenv("PELORIN_OFFICE_TIMEOUT_MS", "not a number");
        QCOMPARE(LibreOfficeOptions().resolved().callTimeoutMs, LibreOfficeOptions().callTimeoutMs);
        // A user who chose how malloc uses huge pages or arenas keeps that choice.
        QCOMPARE(OfficeTunables(""), QByteArray("glibc.malloc.hugetlb=1:glibc.malloc.arena_max=1"));
        QCOMPARE(OfficeTunables("glibc.malloc.hugetlb=0"), QByteArray("glibc.malloc.hugetlb=0:glibc.malloc.arena_max=1"));
    }

    // Offices that draw colour glyphs as nothing are kept from colour fonts;
    // what is left without any font is named, and only that.
    void fontsForTheOfficeVersion()
    {
        const QByteArray base = options().fontConfig;
        const QByteArray old = FontConfigForOffice(base, QStringLiteral("7.4"));
        QVERIFY(old.contains("<rejectfont><pattern><patelt name=\"color\"><bool>true</bool>"));
        QVERIFY(old.endsWith("</fontconfig>\n"));
        for (const QString& version : {QStringLiteral("7.5"), QStringLiteral("25.2"), QString()})
            QCOMPARE(FontConfigForOffice(base, version), base);

        const QString message = QStringLiteral("Thank you 🎉 👍🏽 Спасибо 谢谢 👨\u200D👩\u200D👧 ❤\uFE0F\t\r\n\u0378 end \u0378 "
                                               "🏴\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F");
        QCOMPARE(CharactersWithoutFont(message, old), QStringList({QStringLiteral("\u0378")}));
        QCOMPARE(CharactersWithoutFont(message, base), QStringList({QStringLiteral("\u0378")}));
        QCOMPARE(LibreOfficeWordFactory(mClipboard, options()).CharactersWithoutFont(message),
                 QStringList({QStringLiteral("\u0378")}));
        // Without any outline emoji font, an old office has none for an emoji.
        const QByteArray noOutlineEmoji = QByteArray(old).replace(
            "<selectfont>", "<selectfont><rejectfont><pattern><patelt name=\"family\"><string>Symbola</string></patelt>"
                           "</pattern></rejectfont>");
        QCOMPARE(CharactersWithoutFont(QStringLiteral("🎉 x"), noOutlineEmoji), QStringList({QStringLiteral("🎉")}));
        // With no font at all, every character is named but those that need
        // none: variation selectors only choose how the one before them looks.
        // (Every font is scalable or not; a file-name glob of "*" no longer
        // rejects fonts taken from the cache with fontconfig 2.15.)
        const QByteArray noFont = QByteArray(base).replace(
            "</fontconfig>", "<selectfont><rejectfont><pattern><patelt name=\"scalable\"><bool>true</bool></patelt></pattern>"
                           "<pattern><patelt name=\"scalable\"><bool>false</bool></patelt></pattern></rejectfont></selectfont>"
                           "</fontconfig>");
        QCOMPARE(CharactersWithoutFont(QStringLiteral("❤\uFE0F x\uFE0E\uFE00 ✌\U000E0100\U000E01EF"), noFont),
                 QStringList({QStringLiteral("❤"), QStringLiteral("x"), QStringLiteral("✌")}));
    }
};

QTEST_MAIN(LibreOfficeWordTest)
#include "LibreOfficeWordTest.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Fakes.h"
#include "Form1.h"
#include "Form2.h"
#include "GenerationLock.h"
#include "Main.h"
#include "PictureBox.h"
#include "PushButton.h"
#include "Skin.h"
#include "TextBox.h"

#include <QRegularExpression>
#include <QtTest>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class NoSkin : public SkinComponent {
public:
    QVariant invoke(int, const QVariantList&) override { throw Failure(QStringLiteral("unexpected")); }
    QVariant getProperty(int) override { throw Failure(QStringLiteral("unexpected")); }
    void setProperty(int, const QVariant&) override { throw Failure(QStringLiteral("unexpected")); }
};

class CardBuilderTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> mTemp;
    NoSkin mSkin;

    QString temp(const QString& name = QString()) const
    {
        return name.isEmpty() ? mTemp->path() : mTemp->path() + QLatin1Char('/') + name;
    }
    QStringList tempFiles() const { return QDir(temp()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init()
    {
        mTemp = std::make_unique<QTemporaryDir>();
        qputenv("TEMP", mTemp->path().toUtf8());
    }

    void oneCardFromMessageToPreview()
    {
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.Form_Load();
        form.Text1->setText(QStringLiteral("Dear Ana,\r\nmerci 😀"));
        form.show();
        test.word.calls.clear();
        // The box changes while the office draws the card: the card keeps what was typed.
        test.word.duringCreate = [&] {
            if (test.word.calls.contains(QStringLiteral("Quit")))
                form.Text1->setText(QStringLiteral("changed meanwhile"));
        };
        form.PushButton6->click();

        QVERIFY(test.messageBoxes.shown.empty());
        QCOMPARE(test.word.instances, 0);
        // The snapshot's office, started while the first one worked, went to its CreateObject.
        QCOMPARE(test.word.spares, 0);
        const QStringList files = tempFiles();
        QCOMPARE(files.size(), 1); // only the card document remains
        QVERIFY(QRegularExpression(QStringLiteral("^vestok[1-9]{8}\\.doc$")).match(files.first()).hasMatch());
        const QString card = temp(files.first());
        QCOMPARE(test.word.calls,
                 QStringList({"CreateObject Word.Application", "StartSpare Word.Application", "OpenReadOnly " + temp("template.dot"),
                              "SelectShape Text Box 8", QStringLiteral("TypeText Dear Ana,\r\nmerci 😀"), "SaveAs " + card,
                              "SetDisplayAlerts false", "Close", "Quit", "CreateObject Word.Application", "Open " + card,
                              "CopyRangeAsPicture", "CloseActiveDocument 0", "Quit"}));
        QVERIFY(form.previewLoaded());
        QCOMPARE(form.Preview().mWordFile, card);
        QCOMPARE(form.Preview().Zoom_Ori->picture().size(), FakeWord::DefaultPicture().size());
        QCOMPARE(test.clipboard.picture, FakeWord::DefaultPicture());
        QVERIFY(form.Preview().isVisible());
        QVERIFY(!form.isVisible());
        QVERIFY(!form.busy());
        QCOMPARE(form.pointer().state(), WindowPointer::Default);
        // The preview opens on the card, which tells a screen reader the message typed into it.
        QCOMPARE(form.Preview().focusWidget(), form.Preview().Picture1);
        QVERIFY(form.Preview().Picture1->accessibleDescription().startsWith(QStringLiteral("Message on the card:\nDear Ana,\nmerci 😀\n")));
        // Each digit is drawn after its own re-seed from the clock.
        QCOMPARE(test.seeds.size(), 1 + 8);
    }

    // A character no font has leaves a gap in the card: the user is told
    // which, once each, over the card, and the card is made all the same.
    void charactersWithoutFontAreNamedOverTheCard()
    {
        TestPlatform test;
        test.word.withoutFont = QStringLiteral("🫨ᚠ");
        Form1 form(test.platform, mSkin);
        form.Text1->setText(QStringLiteral("Thanks 🫨 ᚠ🫨 ok"));
        form.show();
        bool previewShown = false;
        bool lockFree = false;
        test.messageBoxes.onShow = [&](const ShownMessage&) {
            previewShown = form.Preview().isVisible() && form.busy();
            // Another copy need not wait until the message is answered.
            GenerationLock other;
            try {
                other.acquire(std::chrono::milliseconds(0));
            } catch (const Failure&) {
            }
            lockFree = other.held();
        };
        form.PushButton6_Click();
        QVERIFY(lockFree);
        QCOMPARE(test.messageBoxes.shown.size(), size_t(1));
        QCOMPARE(test.messageBoxes.shown[0].text,
                 QStringLiteral("No font on this computer has these characters of the message, so the card shows nothing "
                                "in their place: 🫨 (U+1FAE8), ᚠ (U+16A0). The Word file keeps them."));
        QCOMPARE(test.messageBoxes.shown[0].style, int(MessageBoxes::Exclamation));
        QVERIFY(previewShown);
        QVERIFY(!form.busy());

        // Nothing typed, nothing to tell.
        QVERIFY(QFile::remove(form.Preview().mWordFile));  // the same name is drawn again
        test.messageBoxes.shown.clear();
        test.word.failing << QStringLiteral("TypeText");
        form.PushButton6_Click();
        QCOMPARE(test.messageBoxes.errorSteps(), QStringList({"PushButton6_Click:118"}));
        QCOMPARE(test.messageBoxes.shown.size(), size_t(1));
    }

    // Copies of the program that share the temporary folder make one card at
    // a time: the lock is held through both office lifetimes, and a copy
    // that finds it taken waits, its window still running, until it is free.
    void oneCardAtATimeBetweenCopies()
    {
        const QByteArray lockFile = QFile::encodeName(temp(QString::fromLatin1(GenerationLock::kFileName)));
        // Another copy's hold on the lock, as a second open file would have it.
        const auto takeLock = [&] {
            const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? fd : (::close(fd), -1);
        };
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.show();
        QList<bool> takenDuringCreate;
        test.word.duringCreate = [&] {
            const int fd = takeLock();
            takenDuringCreate << (fd < 0);
            if (fd >= 0)
                ::close(fd);
        };
        form.PushButton6_Click();
        QCOMPARE(takenDuringCreate, QList<bool>({true, true}));
        QVERIFY(!QFile::exists(temp(QString::fromLatin1(GenerationLock::kFileName))));

        // Another copy holds it: this one waits, busy, with its events handled.
        form.Preview().PushButton8_Click();
        int held = takeLock();
        QVERIFY(held >= 0);
        bool busyWhileWaiting = false;
        QTimer::singleShot(300, &form, [&] {
            busyWhileWaiting = form.pointer().state() == WindowPointer::Busy && test.word.calls.isEmpty();
            ::unlink(lockFile.constData());
            ::close(held);
        });
        test.word.calls.clear();
        takenDuringCreate.clear();
        form.PushButton6_Click();
        QVERIFY(busyWhileWaiting);
        QCOMPARE(takenDuringCreate, QList<bool>({true, true}));
        QVERIFY(test.messageBoxes.shown.empty());

        // Past its bound a wait gives up and says so.
        held = takeLock();
        QVERIFY(held >= 0);
        GenerationLock lock;
        QVERIFY_THROWS_EXCEPTION(Failure, lock.acquire(std::chrono::milliseconds(100)));
        QVERIFY(!lock.held());
        ::close(held);
        lock.acquire(std::chrono::milliseconds(100));
        QVERIFY(lock.held());
    }

    // Print… and Save as PDF… take the PDF the snapshot drew the picture
    // from, starting no office. Without one (the picture failed) the first
    // of them exports the card and the second takes that export.
    void printAndPdfTakeTheSnapshotsPdf_data()
    {
        QTest::addColumn<QString>("snapshotFails");
        QTest::addColumn<int>("exports");
        QTest::newRow("the snapshot drew the card") << QString() << 0;
        QTest::newRow("the snapshot could not open the card") << QStringLiteral("Open") << 1;
        QTest::newRow("the picture failed") << QStringLiteral("CopyRangeAsPicture") << 1;
    }

    void printAndPdfTakeTheSnapshotsPdf()
    {
        QFETCH(QString, snapshotFails);
        QFETCH(int, exports);
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.show();
        test.word.failing << snapshotFails;
        form.PushButton6_Click();
        QCOMPARE(test.messageBoxes.errorSteps().isEmpty(), snapshotFails.isEmpty());
        test.word.failing.clear();
        test.word.calls.clear();
        test.messageBoxes.shown.clear();
        Form2& preview = form.Preview();
        test.printDialog.answer.accepted = true;
        test.printDialog.answer.printer = QStringLiteral("CardPDF");
        preview.mnuPrint_Click();
        test.saveDialog.answer = temp(QStringLiteral("Card.pdf"));
        preview.mnuSavePdf_Click();
        QCOMPARE(test.messageBoxes.errorSteps(), QStringList());
        QCOMPARE(test.word.calls.filter(QStringLiteral("CreateObject")).size(), exports);
        QCOMPARE(test.word.calls.filter(QStringLiteral("ExportAsPdf")).size(), exports);
        QCOMPARE(test.word.instances, 0);
        QCOMPARE(test.printQueue.jobs.size(), size_t(1));
        QVERIFY(test.printQueue.jobs[0].pdf == FakeWord::DefaultPdf());
        QFile saved(temp(QStringLiteral("Card.pdf")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll() == FakeWord::DefaultPdf());
    }

    void officeThatCannotStartGivesAChainOfMessages()
    {
        TestPlatform test;
        test.word.failing << QStringLiteral("CreateObject");
        Form1 form(test.platform, mSkin);
        form.Text1->setText(QStringLiteral("Hello"));
        form.PushButton6_Click();
        QCOMPARE(test.messageBoxes.errorSteps(),
                 QStringList({"PushButton6_Click:110", "PushButton6_Click:114", "PushButton6_Click:116",
                              "PushButton6_Click:118", "PushButton6_Click:136", "PushButton6_Click:138",
                              "PushButton6_Click:140", "PushButton6_Click:142", "SaveDocAsJPG:116", "SaveDocAsJPG:118",
                              "SaveDocAsJPG:120", "SaveDocAsJPG:122", "SaveDocAsJPG:124", "SaveDocAsJPG:126",
                              "PushButton6_Click:152", "RedrawImage:112"}));
        QVERIFY(test.messageBoxes.shown[0].text.startsWith(QStringLiteral("CreateObject failed\r\nin Pelorin2021/08/31.Form1.PushButton6_Click at line 110")));
        QCOMPARE(test.clipboard.requests, 1000);
        // The preview had no picture to paint (RedrawImage:112 above).
        // No early exit: the windows are swapped and the flag cleared all the same.
        QVERIFY(form.Preview().isVisible());
        QVERIFY(!form.busy());
        QCOMPARE(form.pointer().state(), WindowPointer::Default);
        QVERIFY(tempFiles().isEmpty());
    }

    void failedTypingIsDescribedAsTheTemplatesText()
    {
        TestPlatform test;
        test.word.failing << QStringLiteral("TypeText");
        Form1 form(test.platform, mSkin);
        form.PushButton6_Click();
        QCOMPARE(test.messageBoxes.errorSteps(), QStringList({"PushButton6_Click:118"}));
        // The saved card, and so its picture, holds the template's placeholder.
        QVERIFY(form.Preview().Picture1->accessibleDescription().startsWith(
            QStringLiteral("The card shows the template's own placeholder greeting, not the message.\n")));
    }

    void unwritableTemplateGivesItsOwnChain()
    {
        qputenv("TEMP", (temp() + QStringLiteral("/missing-folder")).toUtf8());
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.PushButton6_Click();
        QCOMPARE(test.messageBoxes.errorSteps(),
                 QStringList({"PushButton6_Click:108", "PushButton6_Click:114", "PushButton6_Click:116",
                              "PushButton6_Click:118", "PushButton6_Click:136", "PushButton6_Click:140",
                              "SaveDocAsJPG:118", "SaveDocAsJPG:120", "SaveDocAsJPG:122", "SaveDocAsJPG:124",
                              "PushButton6_Click:152", "RedrawImage:112"}));
        QCOMPARE(test.word.instances, 0);
        QVERIFY(!form.busy());
    }

    void secondClickDuringAGenerationDoesNothing()
    {
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.show();
        // Clicks queued now are handled by the event-loop pass of the template write.
        QTimer::singleShot(0, form.PushButton6, [&] { form.PushButton6->click(); });
        QTimer::singleShot(0, form.PushButton6, [&] { form.PushButton6->click(); });
        form.PushButton6_Click();
        QCOMPARE(test.word.calls.filter(QStringLiteral("SaveAs")).size(), 1);
        QVERIFY(test.messageBoxes.shown.empty());
        QCOMPARE(tempFiles().size(), 1);
        QVERIFY(!form.busy());
    }

    void takenNameIsDrawnAnewAsAWhole()
    {
        TestPlatform test;
        // First name: digits 1 and 9 alternate; it is taken, so a whole new one follows.
        for (int i = 0; i < 8; ++i)
            test.fractions.push_back(i % 2 ? 0.99999 : 0.0);
        for (int i = 0; i < 8; ++i)
            test.fractions.push_back(0.5);
        QFile(temp(QStringLiteral("vestok19191919.doc"))).open(QIODevice::WriteOnly);
        Form1 form(test.platform, mSkin);
        form.PushButton6_Click();
        QCOMPARE(test.word.calls.filter(QStringLiteral("SaveAs")), QStringList({"SaveAs " + temp(QStringLiteral("vestok55555555.doc"))}));
        QCOMPARE(test.seeds.size(), 16);
        QCOMPARE(QFile(temp(QStringLiteral("vestok19191919.doc"))).size(), 0); // the other file is untouched
    }

    void staleTemplateIsUsedOnceAndRemoved()
    {
        QFile stale(temp(QStringLiteral("template.dot")));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
        stale.close();
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.PushButton6_Click();
        QVERIFY(test.messageBoxes.shown.empty());
        QVERIFY(!QFile::exists(temp(QStringLiteral("template.dot"))));
        // The next run writes the embedded template afresh.
        test.word.duringCreate = [&] {
            QFile written(temp(QStringLiteral("template.dot")));
            if (written.open(QIODevice::ReadOnly))
                QVERIFY(written.readAll().startsWith("\xD0\xCF\x11\xE0")); // a compound document
        };
        form.Preview().PushButton8_Click();
        form.PushButton6_Click();
        QVERIFY(test.messageBoxes.shown.empty());
    }

    void clipboardBusyForAWhileStillYieldsThePicture()
    {
        MemoryClipboard clipboard;
        clipboard.picture = FakeWord::DefaultPicture();
        clipboard.busyRequests = 999;
        QCOMPARE(GetClipboardPicture(clipboard, 0), FakeWord::DefaultPicture());
        QCOMPARE(clipboard.requests, 1000);
        clipboard.busyRequests = 1000;
        clipboard.requests = 0;
        QVERIFY(GetClipboardPicture(clipboard, 0).isNull());
        QCOMPARE(clipboard.requests, 1000);
    }

    void backAndCloseRemoveTheCardDocument()
    {
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.Form_Load();
        form.show();
        form.PushButton6_Click();
        const QString first = form.Preview().mWordFile;
        QVERIFY(QFile::exists(first));
        form.Preview().PushButton8_Click();
        QVERIFY(!QFile::exists(first));
        QVERIFY(form.isVisible());
        QVERIFY(!form.Preview().isVisible());
        QCOMPARE(form.Text1->text(), SampleMessage());

        test.fallbackFraction = 0.2;
        form.PushButton6_Click();
        const QString second = form.Preview().mWordFile;
        QVERIFY(second != first);
        QVERIFY(form.Preview().isVisible());
        form.Preview().close();
        QVERIFY(!QFile::exists(second));
        QCOMPARE(test.programEnd.ends, 1);
        QVERIFY(tempFiles().isEmpty());
    }
};

QTEST_MAIN(CardBuilderTest)
#include "test_card_builder.moc"

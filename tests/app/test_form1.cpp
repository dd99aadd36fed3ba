// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Accessibility.h"
#include "Fakes.h"
#include "Form1.h"
#include "IsInstalled.h"
#include "Main.h"
#include "PushButton.h"
#include "QtPlatform.h"
#include "Skin.h"
#include "TextBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QtTest>
#include <csignal>

// A skin component that records every call in order.
class RecordingSkin : public SkinComponent {
public:
    QVariant invoke(int dispatchId, const QVariantList& arguments) override
    {
        QStringList texts;
        for (const QVariant& argument : arguments)
            texts << argument.toString();
        calls << QStringLiteral("invoke %1(%2)").arg(dispatchId).arg(dispatchId == 3 ? QStringLiteral("handle") : texts.join(QLatin1Char(',')));
        if (failOn == dispatchId)
            throw Failure(QStringLiteral("skin failed"));
        return {};
    }
    QVariant getProperty(int dispatchId) override
    {
        calls << QStringLiteral("get %1").arg(dispatchId);
        return property1;
    }
    void setProperty(int dispatchId, const QVariant& value) override
    {
        calls << QStringLiteral("set %1=%2").arg(dispatchId).arg(value.toString());
    }
    QStringList calls;
    int property1 = 4;
    int failOn = 0;
};

class Form1Test : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mProgramFolder;

    void installCursor()
    {
        QFile::copy(qEnvironmentVariable("SOURCE_DIR") + QStringLiteral("/resources/HAND-M.CUR"),
                    mProgramFolder.path() + QStringLiteral("/HAND-M.CUR"));
    }

private slots:
    void initTestCase() { InstallAccessibleInterfaces(); }

    void init()
    {
        QDir(mProgramFolder.path()).removeRecursively();
        QDir().mkpath(mProgramFolder.path());
    }

    void startUpRestoresTheSampleAndShowsNoMessage()
    {
        TestPlatform test;
        test.platform.programFolder = mProgramFolder.path();
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        QCOMPARE(form.windowTitle(), QStringLiteral("Pelorin Greeting Designer"));
        QCOMPARE(AppTitle(), QStringLiteral("Pelorin Greeting"));
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.Text1->text(), SampleMessage());
        QCOMPARE(test.settings.values.value(QStringLiteral("Varnhold/Pelorin Greeting Designer/Text1")), SampleMessage());
        QVERIFY(test.messageBoxes.shown.empty());
        QVERIFY(skin.calls.isEmpty());
        QVERIFY(!test.programEnd.ended());
        QCOMPARE(test.word.calls, QStringList({"CreateObject Word.Application", "Quit"}));
        QCOMPARE(test.word.instances, 0);
        // Without a cursor file the custom state shows the arrow.
        form.pointer().hover(WindowPointer::Custom);
        QCOMPARE(form.pointer().state(), WindowPointer::Custom);
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(form.size(), QSize(536, 293));
    }

    void layoutMatchesTheDesign()
    {
        TestPlatform test;
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        QCOMPARE(form.PushButton6->geometry(), QRect(8, 8, 520, 27));
        QCOMPARE(form.PushButton2->geometry(), QRect(8, 42, 256, 27));
        QCOMPARE(form.PushButton3->geometry(), QRect(272, 42, 256, 27));
        QCOMPARE(form.Frame1->geometry(), QRect(8, 74, 520, 211));
        QCOMPARE(form.Text1->geometry(), QRect(16, 20, 488, 179));
        QCOMPARE(form.Frame1->title(), QStringLiteral("Short Message"));
        QCOMPARE(form.PushButton3->text(), QStringLiteral("Load Sample/Example Data"));
        QCOMPARE(form.PushButton6->font().pointSizeF(), 11.25);
        QVERIFY(form.PushButton6->font().bold());
    }

    void aScreenReaderSeesAWindowNamedByItsCaption()
    {
        TestPlatform test;
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
        QVERIFY(window);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Pelorin Greeting Designer"));
        // Its controls are still its children, with their own interfaces.
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(form.PushButton6);
        QCOMPARE(button->role(), QAccessible::PushButton);
        QCOMPARE(button->parent(), window);
        QVERIFY(window->indexOfChild(button) >= 0);
    }

    void cursorFileBecomesTheCustomPointerButNeverReplacesBusy()
    {
        installCursor();
        TestPlatform test;
        test.platform.programFolder = mProgramFolder.path();
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        QVERIFY(test.messageBoxes.shown.empty());
        QVERIFY(form.pointer().hasCustomCursor());
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseMove(form.PushButton2, QPoint(5, 5));
        QTest::mouseMove(form.PushButton2, QPoint(9, 7));
        QCOMPARE(form.pointer().state(), WindowPointer::Custom);
        QCOMPARE(form.PushButton2->cursor().shape(), Qt::BitmapCursor);

        form.pointer().set(WindowPointer::Busy);
        form.pointer().hover(WindowPointer::Custom);
        form.pointer().hover(WindowPointer::Default);
        QTest::mouseMove(form.PushButton3, QPoint(4, 4));
        QCOMPARE(form.pointer().state(), WindowPointer::Busy);
        QCOMPARE(form.Text1->viewport()->cursor().shape(), Qt::WaitCursor);

        // Back to default: the text box gets its text cursor again.
        form.pointer().set(WindowPointer::Default);
        QCOMPARE(form.Text1->viewport()->cursor().shape(), Qt::IBeamCursor);
    }

    void corruptCursorFileIsReportedAtLine124()
    {
        QFile bad(mProgramFolder.path() + QStringLiteral("/HAND-M.CUR"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a cursor");
        bad.close();
        TestPlatform test;
        test.platform.programFolder = mProgramFolder.path();
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        QCOMPARE(test.messageBoxes.errorSteps(), QStringList({"Form_Load:124"}));
        QVERIFY(!form.pointer().hasCustomCursor());
        QCOMPARE(form.Text1->text(), SampleMessage());
    }

    void skinIsCalledInOrderOnlyForAnOrdinaryFile()
    {
        TestPlatform test;
        test.platform.programFolder = mProgramFolder.path();
        {
            // A folder of that name is no skin file.
            QDir().mkpath(mProgramFolder.path() + QStringLiteral("/x/o.cjs"));
            RecordingSkin skin;
            Form1 form(test.platform, skin);
            form.Form_Load();
            QVERIFY(skin.calls.isEmpty());
            QVERIFY(!form.autoFillBackground() || form.palette().color(QPalette::Window) == Qt::white);
            QDir(mProgramFolder.path() + QStringLiteral("/x/o.cjs")).removeRecursively();
        }
        QFile skinFile(mProgramFolder.path() + QStringLiteral("/x/o.cjs"));
        QVERIFY(skinFile.open(QIODevice::WriteOnly));
        skinFile.write("QWidget { color: black; }");
        skinFile.close();
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        const QString path = mProgramFolder.path() + QStringLiteral("/x/o.cjs");
        QCOMPARE(skin.calls, QStringList({"invoke 2(" + path + ",)", "get 1", "set 1=5", "set 5=true", "set 10=true",
                                          "invoke 3(handle)"}));
        // What is painted: window and frame in the button face, the text box white.
        const QImage shot = form.grab().toImage();
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QVERIFY(buttonFace != QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(2, 2)), buttonFace);          // window background
        QCOMPARE(QColor(shot.pixel(408, 76)), buttonFace);       // Frame1 beside its caption
        QCOMPARE(QColor(shot.pixel(424, 264)), QColor(Qt::white)); // inside Text1

        // Bit 0 already set is written back unchanged; a failing call is
        // reported at line 100 and start-up goes on.
        RecordingSkin failing;
        failing.property1 = 1;
        failing.failOn = 3;
        TestPlatform second;
        second.platform.programFolder = mProgramFolder.path();
        Form1 other(second.platform, failing);
        other.Form_Load();
        QVERIFY(failing.calls.contains(QStringLiteral("set 1=1")));
        QCOMPARE(second.messageBoxes.errorSteps(), QStringList({"Form_Load:100"}));
        QCOMPARE(other.windowTitle(), QStringLiteral("Pelorin Greeting Designer"));
    }

    void realSkinComponentAppliesTheStyleSheet()
    {
        QFile skinFile(mProgramFolder.path() + QStringLiteral("/x/o.cjs"));
        QDir().mkpath(mProgramFolder.path() + QStringLiteral("/x"));
        QVERIFY(QFile::copy(qEnvironmentVariable("SOURCE_DIR") + QStringLiteral("/resources/skin/o.cjs"), skinFile.fileName()));
        TestPlatform test;
        test.platform.programFolder = mProgramFolder.path();
        StyleSheetSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        QVERIFY(test.messageBoxes.shown.empty());
        QVERIFY(!qApp->styleSheet().isEmpty());
        // The sample skin keeps the message box white.
        QCOMPARE(QColor(form.grab().toImage().pixel(424, 264)), QColor(Qt::white));
        qApp->setStyleSheet(QString());
        QVERIFY_THROWS_EXCEPTION(Failure, skin.invoke(2, {mProgramFolder.path() + QStringLiteral("/missing")}));
        QVERIFY_THROWS_EXCEPTION(Failure, skin.invoke(3, {qulonglong(0)}));
    }

    void homePageOpensOnlyOnADrawOfSeven()
    {
        for (const double fraction : {0.06, 0.0699, 0.05, 0.07, 0.99, 0.0}) {
            TestPlatform test;
            test.fractions = {fraction};
            RecordingSkin skin;
            Form1 form(test.platform, skin);
            form.Form_Load();
            const bool seven = int(fraction * 100) + 1 == 7;
            QCOMPARE(test.processes.started.size(), seven ? 1 : 0);
            if (seven)
                QCOMPARE(test.processes.started.first(), QStringLiteral("xdg-open ") + QString::fromLatin1(kHomePageUrl));
            QCOMPARE(test.seeds.size(), 1);
        }
    }

    // The program blocks its end signals, and the office libraries ignore
    // some: neither may reach what it starts, or that could not be ended.
    void startedProgramsTakeSignalsAsUsual()
    {
        QtProgramEnd::BlockEndSignals();
        const auto unblock = qScopeGuard([] {
            sigset_t ends;
            sigemptyset(&ends);
            for (int s : {SIGTERM, SIGINT, SIGHUP})
                sigaddset(&ends, s);
            pthread_sigmask(SIG_UNBLOCK, &ends, nullptr);
            ::signal(SIGPIPE, SIG_DFL);
        });
        ::signal(SIGPIPE, SIG_IGN);
        QTemporaryDir dir;
        const QString report = dir.filePath(QStringLiteral("status"));
        QtProcessStarter starter;
        // cp reports on itself: no shell in between that could reset anything.
        starter.startDetached(QStringLiteral("/bin/cp"), {QStringLiteral("/proc/self/status"), report});
        QString status;
        const auto copied = [&] {
            QFile file(report);
            status = file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
            return status.contains(QStringLiteral("nonvoluntary_ctxt_switches"));  // its last line
        };
        QTRY_VERIFY_WITH_TIMEOUT(copied(), 10000);
        // The C library's own real-time signals (32 and up) are its business.
        const auto standard = [&](const char* field) {
            const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("%1:\\s*([0-9a-f]+)").arg(QLatin1String(field))).match(status);
            return match.hasMatch() ? (match.captured(1).toULongLong(nullptr, 16) & 0x7fffffffULL) : ~0ULL;
        };
        QVERIFY2(standard("SigBlk") == 0, qPrintable(status));
        QVERIFY2(standard("SigIgn") == 0, qPrintable(status));
    }

    void messageIsStoredOnEveryChangeAndRestoredExactly()
    {
        TestPlatform test;
        RecordingSkin skin;
        {
            Form1 form(test.platform, skin);
            form.Form_Load();
            form.Text1->setFocus();
            form.Text1->selectAll();
            QTest::keyClicks(form.Text1, QStringLiteral("Hi"));
            QCOMPARE(test.settings.values.value(QStringLiteral("Varnhold/Pelorin Greeting Designer/Text1")), QStringLiteral("Hi"));
            QTest::keyClick(form.Text1, Qt::Key_Return);
            QTest::keyClicks(form.Text1, QStringLiteral("you"));
            QCOMPARE(form.Text1->text(), QStringLiteral("Hi\r\nyou"));
            QCOMPARE(test.settings.values.value(QStringLiteral("Varnhold/Pelorin Greeting Designer/Text1")), QStringLiteral("Hi\r\nyou"));
            // Loading the sample twice leaves four lines, not eight.
            form.PushButton3->click();
            form.PushButton3->click();
            QCOMPARE(form.Text1->text(), SampleMessage());
            QCOMPARE(test.settings.values.value(QStringLiteral("Varnhold/Pelorin Greeting Designer/Text1")), SampleMessage());
        }
        const QString unusual = QStringLiteral("😀 שלום עולם e\u0301\u0301 漢字\nlone\rcr\r\n") + QString(300000, QChar(u'ж'));
        for (const QString& stored : {QString(), unusual}) {
            test.settings.values.insert(QStringLiteral("Varnhold/Pelorin Greeting Designer/Text1"), stored);
            Form1 form(test.platform, skin);
            form.Form_Load();
            QCOMPARE(form.Text1->text(), stored);
            QCOMPARE(test.settings.values.value(QStringLiteral("Varnhold/Pelorin Greeting Designer/Text1")), stored);
        }
    }

    void focusSelectsTheWholeMessage()
    {
        TestPlatform test;
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.PushButton6->setFocus();
        QTest::keyClick(&form, Qt::Key_Backtab);
        QVERIFY(form.Text1->hasFocus());
        QCOMPARE(form.Text1->textCursor().selectedText().size(), form.Text1->toPlainText().size());
        QCOMPARE(form.Text1->textCursor().selectionStart(), 0);
    }

    void failingSettingsStoreLeavesTheBoxEmptyAndReports128()
    {
        TestPlatform test;
        test.settings.failReads = true;
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        QCOMPARE(test.messageBoxes.errorSteps(), QStringList({"Form_Load:128"}));
        QCOMPARE(form.Text1->text(), QString());
    }

    void realSettingsStoreRoundTrips()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QtSettingsStore store;
        const QString section = QStringLiteral("Pelorin Greeting Designer");
        QCOMPARE(store.read(QStringLiteral("Varnhold"), section, QStringLiteral("Text1"), QStringLiteral("default")), QStringLiteral("default"));
        const QString unusual = QStringLiteral("Line one\r\nLine \"two\" = ; # [x]\r\n😀 שלום e\u0301 漢字 \t\\end") + QString(200000, QChar(u'é'));
        for (const QString& value : {QString(), unusual}) {
            store.write(QStringLiteral("Varnhold"), section, QStringLiteral("Text1"), value);
            QtSettingsStore fresh;
            QCOMPARE(fresh.read(QStringLiteral("Varnhold"), section, QStringLiteral("Text1"), QStringLiteral("default")), value);
        }
        QVERIFY(QFile::exists(config.path() + QStringLiteral("/Varnhold.ini")));
        qunsetenv("XDG_CONFIG_HOME");
    }

    void helpShowsTheSupportContact()
    {
        TestPlatform test;
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        form.PushButton2->click();
        QCOMPARE(test.messageBoxes.shown.size(), size_t(1));
        QCOMPARE(test.messageBoxes.shown[0].text,
                 QStringLiteral("Questions? Please contact the Pelorin Cards Support Team, https://pelorin-greetings.example/contact"));
        QCOMPARE(test.messageBoxes.shown[0].title, QStringLiteral("Pelorin Greeting"));
        QCOMPARE(test.messageBoxes.shown[0].style, 0);
    }

    void missingWordEndsTheProgramWithTheRepairMessage()
    {
        TestPlatform test;
        test.word.failing << QStringLiteral("CreateObject");
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        QCOMPARE(test.messageBoxes.shown.size(), size_t(1));
        const ShownMessage& message = test.messageBoxes.shown[0];
        QCOMPARE(message.text.split(QStringLiteral("\r\n\r\n")).size(), 5);
        QVERIFY(message.text.startsWith(QStringLiteral("Error 842001. A normal instance of Word could not be created.\r\n\r\n1. ")));
        QVERIFY(message.text.endsWith(QStringLiteral("Word Starter and Student editions.")));
        QCOMPARE(message.title, QStringLiteral("Pelorin Greeting"));
        QCOMPARE(message.style, 0);
        QCOMPARE(test.programEnd.ends, 1);

        // A failing Quit is ignored.
        TestPlatform quitting;
        quitting.word.failing << QStringLiteral("Quit");
        CheckWordInstalled(quitting.platform);
        QVERIFY(quitting.messageBoxes.shown.empty());
        QVERIFY(!quitting.programEnd.ended());
        QCOMPARE(quitting.word.instances, 0);
    }

    void tabMovesAlongTheTabOrderAndEnterPressesAButton()
    {
        TestPlatform test;
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.Text1->setText(QStringLiteral("Thanks"));
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Text1->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.PushButton6);
        QCOMPARE(form.Text1->text(), QStringLiteral("Thanks"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.PushButton2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.PushButton3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.Text1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), form.PushButton3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), form.PushButton2);

        // Enter and Space on the focused Help button each show the Help message.
        QTest::keyClick(form.PushButton2, Qt::Key_Return);
        QTest::keyClick(form.PushButton2, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(form.PushButton2, Qt::Key_Space);
        QCOMPARE(int(test.messageBoxes.shown.size()), 3);
        QVERIFY(test.messageBoxes.shown[0].text.startsWith(QStringLiteral("Questions? Please contact ")));
    }

    void messageBoxesShowPlainTextOnSeparateLines()
    {
        // The error message as the trap builds it, with a name that looks like markup.
        const QString text = QStringLiteral("Cannot write file '/home/u/<b>card</b>.doc'\r\nin Pelorin2021/08/31.Form2."
                                            "PushButton6_Click at line 130\r\rPlease email screenshot");
        QString seenText;
        Qt::TextFormat seenFormat = Qt::RichText;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            seenText = label->text();
            seenFormat = label->textFormat();
            box->accept();
        });
        QtMessageBoxes boxes;
        boxes.show(text, QStringLiteral("Application Error"), MessageBoxes::Exclamation);
        QCOMPARE(seenFormat, Qt::PlainText);
        QCOMPARE(seenText.split(QLatin1Char('\n')),
                 QStringList({"Cannot write file '/home/u/<b>card</b>.doc'",
                              "in Pelorin2021/08/31.Form2.PushButton6_Click at line 130", "", "Please email screenshot"}));
    }

    void closingTheMainWindowEndsTheProgram()
    {
        TestPlatform test;
        RecordingSkin skin;
        Form1 form(test.platform, skin);
        form.show();
        form.close();
        QCOMPARE(test.programEnd.ends, 1);
    }
};

QTEST_MAIN(Form1Test)
#include "test_form1.moc"

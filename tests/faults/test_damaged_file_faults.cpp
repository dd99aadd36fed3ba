// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// Damaged files the program reads at start-up: the settings file, the hand
// cursor and the skin. Each may cost one message, never the start-up.

#include "FaultSupport.h"
#include "Form1.h"
#include "Main.h"
#include "TextBox.h"

#include <QSettings>
#include <QtTest>

using namespace faults;

namespace {
QByteArray Garbage(int size, int seed)
{
    QByteArray bytes(size, '\0');
    quint32 state = quint32(seed) * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 23);
    }
    return bytes;
}
} // namespace

class DamagedFileFaultsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mRoot;
    QString mProgram;
    QString mConfig;
    int mCase = 0;

    // Start-up went on past the damaged file: the message box holds the
    // stored or sample message and the office check ran.
    void verifyStartUpContinued(TestPlatform& test, Form1& form, const QString& expectedMessage)
    {
        QCOMPARE(form.Text1->text(), expectedMessage);
        QCOMPARE(form.windowTitle(), QStringLiteral("Pelorin Greeting Designer"));
        QVERIFY(test.word.calls.contains(QStringLiteral("CreateObject Word.Application")));
        QVERIFY(!test.programEnd.ended());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mRoot.isValid());
        // Read once per process by the settings store: set before its first use.
        mConfig = mRoot.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(mConfig));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mConfig));
        qputenv("TEMP", QFile::encodeName(mRoot.path()));
    }

    void init()
    {
        mProgram = mRoot.filePath(QStringLiteral("program-%1").arg(++mCase));
        QVERIFY(QDir().mkpath(mProgram));
    }

    void damagedSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary garbage") << Garbage(4096, 1);
        QTest::newRow("garbage with NUL and no newline") << (QByteArray("[Pelorin Greeting Designer]\0Text1=\xff\xfe", 34) + Garbage(300, 2));
        QTest::newRow("broken section and escapes") << QByteArray("[Pelorin Greeting Designer\nText1=\"unterminated \\x\\u12\n=\n[[[\n%%%\\\n");
        QTest::newRow("huge line") << (QByteArray("[Pelorin Greeting Designer]\nText1=") + QByteArray(4 << 20, 'a'));
    }

    void damagedSettingsFile()
    {
        QFETCH(QByteArray, content);
        const QString file = mConfig + QStringLiteral("/Varnhold.ini");
        QVERIFY(WriteAll(file, content));
        QtSettingsStore settings;
        TestPlatform test;
        Platform platform = test.platform;
        Platform real{test.messageBoxes, test.saveDialog, test.printDialog, test.printQueue, test.mail, settings, test.processes,
                      test.clipboard, test.word, test.programEnd, platform.randomize, platform.random, platform.timer,
                      mProgram};
        NoSkin skin;
        {
            Form1 form(real, skin);
            form.Form_Load();
            qInfo("start-up messages: [%s]; message box holds %lld characters", qPrintable(MessageLog(test.messageBoxes)),
                  qlonglong(form.Text1->text().size()));
            const QStringList steps = test.messageBoxes.errorSteps();
            // At most the one message of the restore step.
            QVERIFY2(steps.isEmpty() || steps == QStringList({"Form_Load:128"}), qPrintable(steps.join(QLatin1Char(' '))));
            QCOMPARE(test.messageBoxes.shown.size(), size_t(steps.size()));
            QVERIFY(test.word.calls.contains(QStringLiteral("CreateObject Word.Application")));
            QVERIFY(!test.programEnd.ended());

            // The user's next edit is stored in spite of the damage ...
            form.Text1->setPlainText(QStringLiteral("Dear Tobin,\nrepaired."));
        }
        // ... as the next start of the program (a new process) reads it.
        QSettings fresh(file, QSettings::IniFormat);
        QCOMPARE(fresh.status(), QSettings::NoError);
        QCOMPARE(fresh.value(QStringLiteral("Pelorin Greeting Designer/Text1")).toString(),
                 QStringLiteral("Dear Tobin,\r\nrepaired."));
        QVERIFY(QFile::remove(file));
    }

    void damagedCursorFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray cursor = ReadAll(SourceDir() + QStringLiteral("/resources/HAND-M.CUR"));
        QVERIFY(cursor.size() > 1000);
        QTest::newRow("binary garbage") << Garbage(4286, 3);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << cursor.left(6);
        QTest::newRow("directory entry only") << cursor.left(22);
        QTest::newRow("cut in the bitmap header") << cursor.left(40);
        QTest::newRow("cut in the pixels") << cursor.left(cursor.size() / 2);
        QByteArray huge = cursor;
        // The image's size and offset in the directory entry point far past the end.
        huge[14] = '\xff'; huge[15] = '\xff'; huge[16] = '\xff'; huge[17] = '\x7f';
        huge[18] = '\xf0'; huge[19] = '\xff'; huge[20] = '\xff'; huge[21] = '\x7f';
        QTest::newRow("size and offset past the end") << huge;
        QByteArray many = cursor;
        many[4] = '\xff'; many[5] = '\xff'; // 65535 images announced
        QTest::newRow("65535 images announced") << many;
    }

    void damagedCursorFile()
    {
        QFETCH(QByteArray, content);
        QVERIFY(WriteAll(mProgram + QStringLiteral("/HAND-M.CUR"), content));
        TestPlatform test;
        test.platform.programFolder = mProgram;
        NoSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        qInfo("messages: [%s]; custom cursor: %d", qPrintable(MessageLog(test.messageBoxes)), form.pointer().hasCustomCursor());
        const QStringList steps = test.messageBoxes.errorSteps();
        QVERIFY2(steps == QStringList({"Form_Load:124"}) || (steps.isEmpty() && form.pointer().hasCustomCursor()),
                 qPrintable(steps.join(QLatin1Char(' '))));
        if (!steps.isEmpty())
            QVERIFY(!form.pointer().hasCustomCursor());
        verifyStartUpContinued(test, form, SampleMessage());
    }

    void damagedSkinFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("reported");
        QTest::newRow("binary garbage") << Garbage(5000, 4) << true;
        QTest::newRow("NUL inside a style sheet") << QByteArray("QWidget { color: red; }\0QPushButton {", 37) << true;
        QTest::newRow("invalid UTF-8") << QByteArray("QWidget { font-family: \"\xc3\x28\xa0\xa1\"; }") << true;
        // Readable text that is no style sheet: Qt ignores it, nothing to report.
        QTest::newRow("text that is no style sheet") << QByteArray("{{{ }}} ;;; QWidget { color: ; } @@@ url(") << false;
    }

    void damagedSkinFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, reported);
        QVERIFY(QDir().mkpath(mProgram + QStringLiteral("/x")));
        QVERIFY(WriteAll(mProgram + QStringLiteral("/x/o.cjs"), content));
        TestPlatform test;
        test.platform.programFolder = mProgram;
        StyleSheetSkin skin;
        Form1 form(test.platform, skin);
        form.Form_Load();
        qInfo("messages: [%s]", qPrintable(MessageLog(test.messageBoxes)));
        QCOMPARE(test.messageBoxes.errorSteps(), reported ? QStringList({"Form_Load:100"}) : QStringList());
        verifyStartUpContinued(test, form, SampleMessage());
        form.show();
        QCoreApplication::processEvents();
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(DamagedFileFaultsTest)
#include "test_damaged_file_faults.moc"

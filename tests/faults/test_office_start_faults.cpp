// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// An office that cannot be started: its launcher is missing, fails at once,
// or never comes up. The start-up check must tell the user and end the
// program; "Start Creating Template" must report every step that needed the
// office, clear its busy flag and leave no process behind.

#include "FaultSupport.h"
#include "Form1.h"
#include "Form2.h"
#include "IsInstalled.h"
#include "Main.h"
#include "TextBox.h"

#include <QtTest>

using namespace faults;

class OfficeStartFaultsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mRoot;
    OfficeHygiene mHygiene;
    NoSkin mSkin;
    QString mTemp;

    QString script(const QString& name, const QByteArray& body)
    {
        const QString path = mRoot.filePath(name);
        WriteAll(path, body);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    // Distinct arguments, so the sleeping launcher's children can be found.
    QString sleeperTag() const { return QStringLiteral("sleep 600 0.%1").arg(::getpid()); }

private slots:
    void initTestCase()
    {
        QVERIFY(mRoot.isValid());
        mHygiene.prepare(mRoot.path());
    }

    void init()
    {
        mTemp = mHygiene.nextTempFolder();
    }

    void cleanup()
    {
        const QString left = mHygiene.finishCase();
        QVERIFY2(left.isEmpty(), qPrintable(left));
        QVERIFY2(Run(QStringLiteral("pgrep"), {QStringLiteral("-f"), sleeperTag()}).trimmed().isEmpty(),
                 "the sleeping launcher's children were left running");
    }

    void officeCannotStart_data()
    {
        QTest::addColumn<QString>("launcher");
        QTest::addColumn<int>("startTimeoutMs");
        QTest::addColumn<QString>("reason");
        // When not empty, the office's private folders are on a disk of one
        // page, "full" already or with that "page" free.
        QTest::addColumn<QString>("officeDisk");
        QTest::newRow("launcher missing") << QStringLiteral("/nonexistent/soffice") << 60000 << QStringLiteral("/nonexistent/soffice") << QString();
        QTest::newRow("launcher exits with 3")
            << script(QStringLiteral("quitter.sh"), "#!/bin/sh\necho cannot start >&2\nexit 3\n") << 60000
            << QStringLiteral("exit code 3") << QString();
        QTest::newRow("launcher never comes up")
            << script(QStringLiteral("sleeper.sh"), QStringLiteral("#!/bin/sh\n%1 &\n%1\n").arg(sleeperTag()).toLatin1())
            << 1500 << QStringLiteral("did not come up") << QString();
        QTest::newRow("office's disk full") << LibreOfficeOptions().launcher << 10000
                                            << QStringLiteral("cannot write its font settings (Cannot write file")
                                            << QStringLiteral("full");
        // The font settings fit, the profile's settings no longer do.
        QTest::newRow("office's disk fills up") << LibreOfficeOptions().launcher << 10000
                                                << QStringLiteral("cannot write its profile (Cannot write file")
                                                << QStringLiteral("page");
    }

    void officeCannotStart()
    {
        QFETCH(QString, launcher);
        QFETCH(int, startTimeoutMs);
        QFETCH(QString, reason);
        QFETCH(QString, officeDisk);
        std::unique_ptr<TmpfsMount> disk;
        const QByteArray officeTemp = qgetenv("TMPDIR");
        const auto restoreTemp = qScopeGuard([&] { qputenv("TMPDIR", officeTemp); });
        const QString diskFolder = mRoot.filePath(QStringLiteral("office-disk"));
        if (!officeDisk.isEmpty()) {
            disk = std::make_unique<TmpfsMount>(diskFolder, QStringLiteral("size=4k"));
            if (!disk->mounted())
                QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs: ") + disk->error()));
            if (officeDisk == QLatin1String("full"))
                QVERIFY(WriteAll(diskFolder + QStringLiteral("/filler"), QByteArray(4096, 'x')));
            qputenv("TMPDIR", QFile::encodeName(diskFolder));
        }
        qputenv("PELORIN_SOFFICE", QFile::encodeName(launcher));
        qputenv("PELORIN_OFFICE_START_TIMEOUT_MS", QByteArray::number(startTimeoutMs));
        QElapsedTimer clock;

        // Start-up: the five-paragraph repair message, then the program ends.
        {
            OfficePlatform office;
            Form1 form(office.platform, mSkin);
            clock.start();
            form.Form_Load();
            qInfo("Form_Load took %lld ms", clock.elapsed());
            QVERIFY2(office.test.messageBoxes.shown.size() == 1, qPrintable(MessageLog(office.test.messageBoxes)));
            const ShownMessage& message = office.test.messageBoxes.shown[0];
            QCOMPARE(message.text, WordMissingMessage());
            QCOMPARE(message.text.split(QStringLiteral("\r\n\r\n")).size(), 5);
            QCOMPARE(message.title, AppTitle());
            QCOMPARE(message.style, int(MessageBoxes::OkOnly));
            QCOMPARE(office.test.programEnd.ends, 1);
            QCOMPARE(office.word.operations, QStringList({"1:CreateObject"}));
            // Proves the check did not hang: one start bound plus the time to end the launcher.
            QVERIFY(clock.elapsed() < startTimeoutMs + 20000);
        }
        QCOMPARE(OurOfficePids(), QList<int>());

        // "Start Creating Template": every step that needed the office reports.
        {
            OfficePlatform office;
            Form1 form(office.platform, mSkin);
            form.Text1->setText(QStringLiteral("Dear Tobin,\r\nthank you."));
            form.show();
            clock.start();
            form.PushButton6_Click();
            qInfo("PushButton6_Click took %lld ms", clock.elapsed());
            const RecordingMessageBoxes& boxes = office.test.messageBoxes;
            QVERIFY2(boxes.errorSteps()
                         == QStringList({"PushButton6_Click:110", "PushButton6_Click:114", "PushButton6_Click:116",
                                         "PushButton6_Click:118", "PushButton6_Click:136", "PushButton6_Click:138",
                                         "PushButton6_Click:140", "PushButton6_Click:142", "SaveDocAsJPG:116",
                                         "SaveDocAsJPG:118", "SaveDocAsJPG:120", "SaveDocAsJPG:122", "SaveDocAsJPG:124",
                                         "SaveDocAsJPG:126", "PushButton6_Click:152", "RedrawImage:112"}),
                     qPrintable(MessageLog(boxes)));
            // The first message names the cause.
            QVERIFY2(boxes.shown[0].text.startsWith(QStringLiteral("The office engine could not be started")),
                     qPrintable(boxes.shown[0].text));
            QVERIFY2(boxes.shown[0].text.contains(reason), qPrintable(boxes.shown[0].text));
            // On a disk of one page the first office's folder may still be on
            // its way out (it is removed aside) when the second starts: its
            // font settings may then be what no longer fits.
            const QString secondReason = officeDisk == QLatin1String("page") ? QStringLiteral("(Cannot write file") : reason;
            QVERIFY2(boxes.shown[8].text.contains(secondReason), qPrintable(boxes.shown[8].text));
            QCOMPARE(office.word.operations, QStringList({"1:CreateObject", "2:CreateObject"}));
            QVERIFY(!form.busy());
            QCOMPARE(form.pointer().state(), WindowPointer::Default);
            QVERIFY(form.Preview().isVisible());
            // The template was removed after use; no card, no picture.
            QCOMPARE(FilesIn(mTemp), QStringList());
            // Two start bounds plus the time to end each launcher: no hang.
            QVERIFY(clock.elapsed() < 2 * startTimeoutMs + 40000);

            // A second click works the same way: the busy flag was cleared.
            office.test.messageBoxes.shown.clear();
            form.Preview().PushButton8_Click();
            form.PushButton6_Click();
            QCOMPARE(boxes.errorSteps().size(), 16);
            QVERIFY(!form.busy());
        }
        if (disk)
            QCOMPARE(FilesIn(diskFolder).join(QLatin1Char(' ')), QString::fromLatin1(officeDisk == QLatin1String("full") ? "filler" : ""));
    }
};

QTEST_MAIN(OfficeStartFaultsTest)
#include "test_office_start_faults.moc"

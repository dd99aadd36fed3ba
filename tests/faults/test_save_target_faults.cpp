// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// "Save Results To Word File" aimed at bad targets: a read-only file, a
// missing folder, a folder, the card document itself, a full or read-only
// disk. Whatever happens the user's files stay intact unless the user agreed
// to replace them, and every pass ends with "Done.".

#include "FaultSupport.h"
#include "Form2.h"
#include "Main.h"

#include <QtTest>
#include <sys/stat.h>

using namespace faults;

class SaveTargetFaultsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mRoot;
    QString mFolder;
    QByteArray mCard;
    int mCase = 0;

    QString path(const QString& name) const { return mFolder + QLatin1Char('/') + name; }

    struct Preview {
        TestPlatform test;
        QWidget mainWindow;
        Form2 form{test.platform, &mainWindow};
        Preview() { form.Form_Load(); }
        QStringList texts() const
        {
            QStringList out;
            for (const ShownMessage& m : test.messageBoxes.shown)
                out << (m.title == QLatin1String("Application Error") ? QStringLiteral("error") : m.text);
            return out;
        }
    };

    void save(Preview& preview, const QString& target)
    {
        preview.test.saveDialog.answer = target;
        preview.form.PushButton6_Click();
        qInfo("save to %s: %s", qPrintable(target), qPrintable(MessageLog(preview.test.messageBoxes)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mRoot.isValid());
        SetAppTitle();
        mCard = ReadAll(SourceDir() + QStringLiteral("/tests/office/data/plain.doc"));
        QVERIFY(mCard.startsWith("\xD0\xCF\x11\xE0"));
    }

    void init()
    {
        mFolder = mRoot.filePath(QStringLiteral("case-%1").arg(++mCase));
        QVERIFY(QDir().mkpath(mFolder + QStringLiteral("/temp")));
    }

    void readOnlyFileIsReplacedAfterYes()
    {
        Preview preview;
        preview.form.mWordFile = path("temp/vestok12345678.doc");
        QVERIFY(WriteAll(preview.form.mWordFile, mCard));
        QVERIFY(WriteAll(path("old card.doc"), "old"));
        QVERIFY(QFile::setPermissions(path("old card.doc"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        save(preview, path("old card.doc"));
        QCOMPARE(preview.texts(), QStringList({"Are you sure you wish to overwrite " + path("old card.doc") + " ?", "Done."}));
        QCOMPARE(ReadAll(path("old card.doc")), mCard);
        QCOMPARE(FilesIn(mFolder), QStringList({"old card.doc", "temp"}));

        // "No" keeps it as it is.
        QVERIFY(WriteAll(path("kept.doc"), "kept"));
        preview.test.messageBoxes.shown.clear();
        preview.test.messageBoxes.answers.push_back(MessageBoxes::No);
        save(preview, path("kept.doc"));
        QCOMPARE(preview.texts().size(), 2);
        QCOMPARE(preview.texts().last(), QStringLiteral("Done."));
        QCOMPARE(ReadAll(path("kept.doc")), QByteArray("kept"));
    }

    void missingFolderIsReported()
    {
        Preview preview;
        preview.form.mWordFile = path("temp/vestok12345678.doc");
        QVERIFY(WriteAll(preview.form.mWordFile, mCard));
        save(preview, path("no such folder/card.doc"));
        QCOMPARE(preview.test.messageBoxes.errorSteps(), QStringList({"PushButton6_Click:130"}));
        QCOMPARE(preview.texts(), QStringList({"error", "Done."}));
        QVERIFY(!QFileInfo::exists(path("no such folder")));
        QCOMPARE(ReadAll(preview.form.mWordFile), mCard);
    }

    void folderAsTargetStaysIntact()
    {
        Preview preview;
        preview.form.mWordFile = path("temp/vestok12345678.doc");
        QVERIFY(WriteAll(preview.form.mWordFile, mCard));
        QVERIFY(QDir().mkpath(path("Cards")));
        QVERIFY(WriteAll(path("Cards/inside.doc"), "inside"));
        save(preview, path("Cards"));
        QCOMPARE(preview.test.messageBoxes.errorSteps(), QStringList({"PushButton6_Click:130"}));
        QCOMPARE(preview.texts().last(), QStringLiteral("Done."));
        QVERIFY(QFileInfo(path("Cards")).isDir());
        QCOMPARE(FilesIn(path("Cards")), QStringList({"inside.doc"}));
        QCOMPARE(ReadAll(path("Cards/inside.doc")), QByteArray("inside"));
        // No hidden half-copy beside it.
        QCOMPARE(FilesIn(mFolder), QStringList({"Cards", "temp"}));
    }

    void cardDocumentItselfIsKept_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("same path") << QStringLiteral("temp/vestok12345678.doc");
        QTest::newRow("other spelling") << QStringLiteral("temp/../temp/./vestok12345678.doc");
        QTest::newRow("through a link") << QStringLiteral("link to card.doc");
    }

    void cardDocumentItselfIsKept()
    {
        QFETCH(QString, spelling);
        Preview preview;
        preview.form.mWordFile = path("temp/vestok12345678.doc");
        QVERIFY(WriteAll(preview.form.mWordFile, mCard));
        QVERIFY(QFile::link(preview.form.mWordFile, path("link to card.doc")));
        save(preview, path(spelling));
        QCOMPARE(preview.test.messageBoxes.errorSteps(), QStringList());
        QCOMPARE(preview.texts().last(), QStringLiteral("Done."));
        QCOMPARE(ReadAll(preview.form.mWordFile), mCard);
        QCOMPARE(FilesIn(path("temp")), QStringList({"vestok12345678.doc"}));
    }

    void cardDocumentGoneIsReported()
    {
        Preview preview;
        preview.form.mWordFile = path("temp/vestok12345678.doc");
        save(preview, path("new card.doc"));
        QCOMPARE(preview.test.messageBoxes.errorSteps(), QStringList({"PushButton6_Click:130"}));
        QCOMPARE(preview.texts().last(), QStringLiteral("Done."));
        QVERIFY(!QFileInfo::exists(path("new card.doc")));
    }

    void fullOrReadOnlyDiskKeepsTheUsersFile()
    {
        TmpfsMount mount(path("disk"), QStringLiteral("size=64k"));
        if (!mount.mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs: ") + mount.error()));
        Preview preview;
        preview.form.mWordFile = path("temp/vestok12345678.doc");
        // Larger than the disk: the copy cannot be completed.
        const QByteArray big = mCard + QByteArray(200 * 1024, 'x');
        QVERIFY(WriteAll(preview.form.mWordFile, big));
        QVERIFY(WriteAll(path("disk/card.doc"), "the user's earlier card"));

        save(preview, path("disk/card.doc"));
        QCOMPARE(preview.test.messageBoxes.errorSteps(), QStringList({"PushButton6_Click:130"}));
        QVERIFY(preview.test.messageBoxes.shown[1].text.contains(QStringLiteral("No space left on device")));
        QCOMPARE(preview.texts().last(), QStringLiteral("Done."));
        QCOMPARE(ReadAll(path("disk/card.doc")), QByteArray("the user's earlier card"));
        QCOMPARE(FilesIn(path("disk")), QStringList({"card.doc"}));

        QVERIFY(mount.remount(QStringLiteral("remount,ro")));
        preview.test.messageBoxes.shown.clear();
        QVERIFY(WriteAll(preview.form.mWordFile, mCard));
        save(preview, path("disk/card.doc"));
        QCOMPARE(preview.test.messageBoxes.errorSteps(), QStringList({"PushButton6_Click:130"}));
        QVERIFY(preview.test.messageBoxes.shown[1].text.contains(QStringLiteral("Read-only file system")));
        QCOMPARE(preview.texts().last(), QStringLiteral("Done."));
        QCOMPARE(ReadAll(path("disk/card.doc")), QByteArray("the user's earlier card"));
        save(preview, path("disk/new.doc"));
        QCOMPARE(FilesIn(path("disk")), QStringList({"card.doc"}));
    }
};

QTEST_MAIN(SaveTargetFaultsTest)
#include "test_save_target_faults.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// A hostile temporary folder (TEMP): missing, read-only, full, holding stale
// files, or holding symbolic links at the program's fixed file names. The
// program must report what fails, never write through a planted link, never
// leave a half-written file, and clean up so that the next card works.

#include "FaultSupport.h"
#include "Form1.h"
#include "Form2.h"
#include "GenerationLock.h"
#include "Main.h"
#include "PictureBox.h"
#include "TextBox.h"

#include <QtTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

using namespace faults;

namespace {
const QString kMessage = QStringLiteral("Dear Tobin,\r\nthank you.");

// The chain when the template never reached the folder: the office starts
// but has nothing to open, so nothing is saved and nothing is drawn.
const QStringList kNoTemplateChain = {"PushButton6_Click:108", "PushButton6_Click:114", "PushButton6_Click:116",
                                      "PushButton6_Click:118", "PushButton6_Click:136", "PushButton6_Click:140",
                                      "SaveDocAsJPG:118",      "SaveDocAsJPG:120",      "SaveDocAsJPG:122",
                                      "SaveDocAsJPG:124",      "PushButton6_Click:152", "RedrawImage:112"};

QByteArray CardTemplate()
{
    return ReadAll(CardTemplatePath());
}

bool IsSymLink(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}
} // namespace

class TempFolderFaultsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mRoot;
    OfficeHygiene mHygiene;
    NoSkin mSkin;
    QString mTemp;
    QString mUser; // a folder of the user's own files

    QString temp(const QString& name) const { return mTemp + QLatin1Char('/') + name; }
    QString user(const QString& name) const { return mUser + QLatin1Char('/') + name; }

    // One click on "Start Creating Template"; returns the error steps.
    QStringList generate(Form1& form, RecordingMessageBoxes& boxes, const char* what)
    {
        boxes.shown.clear();
        if (form.previewLoaded() && form.Preview().isVisible())
            form.Preview().PushButton8_Click();
        QElapsedTimer clock;
        clock.start();
        form.PushButton6_Click();
        qInfo("%s: %lld ms, files left: [%s], messages:\n%s", what, clock.elapsed(),
              qPrintable(FilesIn(mTemp).join(QLatin1Char(' '))), qPrintable(MessageLog(boxes)));
        return boxes.errorSteps();
    }

    // A normal card follows: no message, one Word document in the folder.
    void nextCardWorks(Form1& form, RecordingMessageBoxes& boxes)
    {
        QCOMPARE(generate(form, boxes, "next card"), QStringList());
        QVERIFY2(boxes.shown.empty(), qPrintable(MessageLog(boxes)));
        const QString card = form.Preview().mWordFile;
        QVERIFY(IsWordDocument(card));
        QVERIFY(CatDoc(card).contains(QStringLiteral("Dear Tobin,")));
        QVERIFY(!form.Preview().Zoom_Ori->picture().isNull());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mRoot.isValid());
        mHygiene.prepare(mRoot.path());
        QVERIFY(CardTemplate().startsWith("\xD0\xCF\x11\xE0"));
    }

    void init()
    {
        mTemp = mHygiene.nextTempFolder();
        mUser = mTemp + QStringLiteral("-user");
        QVERIFY(QDir().mkpath(mUser));
    }

    void cleanup()
    {
        const QString left = mHygiene.finishCase();
        QVERIFY2(left.isEmpty(), qPrintable(left));
    }

    void missingFolder()
    {
        qputenv("TEMP", QFile::encodeName(temp(QStringLiteral("gone"))));
        OfficePlatform office;
        Form1 form(office.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();
        QCOMPARE(generate(form, office.test.messageBoxes, "missing folder"), kNoTemplateChain);
        QVERIFY(office.test.messageBoxes.shown[0].text.contains(QStringLiteral("No such file or directory")));
        QVERIFY(!QFileInfo::exists(temp(QStringLiteral("gone"))));
        QVERIFY(!form.busy());
        QCOMPARE(office.word.created, 2);
    }

    void readOnlyFolder()
    {
        // The template is already there; the folder then turns read-only.
        TmpfsMount mount(mTemp, QStringLiteral("size=32m"));
        if (!mount.mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs: ") + mount.error()));
        QVERIFY(WriteAll(temp(QStringLiteral("template.dot")), CardTemplate()));
        QVERIFY(mount.remount(QStringLiteral("remount,ro")));
        // A bound well above any normal call, so that a save that never answers costs little.
        qputenv("PELORIN_OFFICE_TIMEOUT_MS", "10000");
        OfficePlatform office;
        Form1 form(office.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();
        const QStringList steps = generate(form, office.test.messageBoxes, "read-only folder");
        QVERIFY(!steps.isEmpty() && steps[0] == QLatin1String("PushButton6_Click:136"));
        QVERIFY2(!office.test.messageBoxes.shown[0].text.contains(QStringLiteral("did not answer")),
                 qPrintable(office.test.messageBoxes.shown[0].text));
        QCOMPARE(steps, QStringList({"PushButton6_Click:136", "SaveDocAsJPG:118", "SaveDocAsJPG:120", "SaveDocAsJPG:122",
                                     "SaveDocAsJPG:124", "PushButton6_Click:152", "RedrawImage:112"}));
        // The template could not be deleted; nothing else appeared.
        QCOMPARE(FilesIn(mTemp), QStringList({"template.dot"}));
        QVERIFY(!form.busy());

        // A lock file left in it still makes copies take turns.
        const QString lockFile = temp(QString::fromLatin1(GenerationLock::kFileName));
        QVERIFY(mount.remount(QStringLiteral("remount,rw")));
        QVERIFY(WriteAll(lockFile, QByteArray()));
        QVERIFY(mount.remount(QStringLiteral("remount,ro")));
        const int otherCopy = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(otherCopy >= 0 && ::flock(otherCopy, LOCK_EX | LOCK_NB) == 0);
        GenerationLock lock;
        QVERIFY_THROWS_EXCEPTION(Failure, lock.acquire(std::chrono::milliseconds(100)));
        ::close(otherCopy);
        lock.acquire(std::chrono::milliseconds(100));
        QVERIFY(lock.held());
        lock.release();

        // An empty read-only folder: the template write itself fails.
        QVERIFY(mount.remount(QStringLiteral("remount,rw")));
        QVERIFY(QFile::remove(temp(QStringLiteral("template.dot"))));
        QVERIFY(QFile::remove(lockFile));
        QVERIFY(mount.remount(QStringLiteral("remount,ro")));
        QCOMPARE(generate(form, office.test.messageBoxes, "empty read-only folder"), kNoTemplateChain);
        QVERIFY(office.test.messageBoxes.shown[0].text.contains(QStringLiteral("Read-only file system")));
        QCOMPARE(FilesIn(mTemp), QStringList());

        // Writable again: the next card works.
        QVERIFY(mount.remount(QStringLiteral("remount,rw")));
        nextCardWorks(form, office.test.messageBoxes);
    }

    void fullFolder()
    {
        // 64 KiB: the ~105 KB template cannot be written.
        TmpfsMount mount(mTemp, QStringLiteral("size=64k"));
        if (!mount.mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs: ") + mount.error()));
        OfficePlatform office;
        Form1 form(office.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();
        QCOMPARE(generate(form, office.test.messageBoxes, "full folder"), kNoTemplateChain);
        QVERIFY(office.test.messageBoxes.shown[0].text.contains(QStringLiteral("No space left on device")));
        // No half-written template is left to be taken for a complete one.
        QCOMPARE(FilesIn(mTemp), QStringList());
        QVERIFY(!form.busy());
    }

    void folderFillsUpWhileSaving()
    {
        // Room for the template, not for the card and the picture as well.
        TmpfsMount mount(mTemp, QStringLiteral("size=160k"));
        if (!mount.mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs: ") + mount.error()));
        OfficePlatform office;
        Form1 form(office.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();
        const QStringList steps = generate(form, office.test.messageBoxes, "folder fills up");
        QVERIFY2(steps.contains(QStringLiteral("PushButton6_Click:136")), qPrintable(steps.join(QLatin1Char(' '))));
        QVERIFY(!steps.contains(QStringLiteral("PushButton6_Click:108")));
        QVERIFY(!form.busy());
        // Whatever failed, no hidden picture file and no partial card are left behind.
        const QStringList left = FilesIn(mTemp);
        QVERIFY2(left.filter(QStringLiteral(".temp.bmp")).isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
        const QString card = form.Preview().mWordFile;
        if (QFileInfo::exists(card))
            qInfo("card left after the failed save: %lld bytes, %s", QFileInfo(card).size(),
                  qPrintable(Run(QStringLiteral("file"), {card}).trimmed()));
        QVERIFY2(left.filter(QStringLiteral("vestok")).isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
        // Nor the hidden file the card was being written to.
        QVERIFY2(left.filter(QStringLiteral(".tmp")).isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    }

    void staleGarbageTemplate()
    {
        QByteArray garbage = QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        for (int i = 0; garbage.size() < 9000; ++i)
            garbage += char((i * 7919) % 251);
        QVERIFY(WriteAll(temp(QStringLiteral("template.dot")), garbage));
        OfficePlatform office;
        Form1 form(office.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();
        const QStringList steps = generate(form, office.test.messageBoxes, "stale garbage template");
        // Used as it is: the office cannot open it or finds no text box in it.
        QVERIFY2(!steps.isEmpty() && (steps[0] == QLatin1String("PushButton6_Click:114") || steps[0] == QLatin1String("PushButton6_Click:116")),
                 qPrintable(steps.join(QLatin1Char(' '))));
        QVERIFY(steps.contains(QStringLiteral("PushButton6_Click:118")));
        QVERIFY(!steps.contains(QStringLiteral("PushButton6_Click:108")));
        QVERIFY(!form.busy());
        // Deleted after use, so the next card gets the real template.
        QVERIFY(!QFileInfo::exists(temp(QStringLiteral("template.dot"))));
        nextCardWorks(form, office.test.messageBoxes);
    }

    void staleLockFile()
    {
        const QByteArray lock = ",someone,otherhost,01.01.2021 10:00,file:///home/someone/.config/libreoffice/4;";
        QVERIFY(WriteAll(temp(QStringLiteral(".~lock.template.dot#")), lock));
        OfficePlatform office;
        Form1 form(office.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();
        QCOMPARE(generate(form, office.test.messageBoxes, "stale lock file"), QStringList());
        QVERIFY(office.test.messageBoxes.shown.empty());
        QVERIFY(IsWordDocument(form.Preview().mWordFile));
        QVERIFY(!form.Preview().Zoom_Ori->picture().isNull());
        // Not the program's file: left as it was.
        QCOMPARE(ReadAll(temp(QStringLiteral(".~lock.template.dot#"))), lock);
    }

    // Links planted at the template name and at the card names; the real
    // office does the saving, so its way of writing is what is tested.
    void plantedLinksWithTheOffice()
    {
        // template.dot points at the user's own copy of a template.
        const QByteArray userTemplate = CardTemplate();
        QVERIFY(WriteAll(user(QStringLiteral("my template.dot")), userTemplate));
        QVERIFY(QFile::link(user(QStringLiteral("my template.dot")), temp(QStringLiteral("template.dot"))));
        // The first card name drawn points at a user's file; the second dangles into the user's folder.
        QVERIFY(WriteAll(user(QStringLiteral("letter.doc")), "the user's letter"));
        QVERIFY(QFile::link(user(QStringLiteral("letter.doc")), temp(QStringLiteral("vestok11111111.doc"))));
        QVERIFY(QFile::link(user(QStringLiteral("not yet.doc")), temp(QStringLiteral("vestok55555555.doc"))));

        OfficePlatform office;
        office.scripted = true;
        for (int i = 0; i < 8; ++i)
            office.test.fractions.push_back(0.0);
        office.test.fallbackFraction = 0.5;
        Form1 form(office.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();
        const QStringList steps = generate(form, office.test.messageBoxes, "planted links");
        QVERIFY(!form.busy());
        QCOMPARE(form.Preview().mWordFile, temp(QStringLiteral("vestok55555555.doc")));

        // The user's files are unchanged, the template link is gone.
        QCOMPARE(ReadAll(user(QStringLiteral("my template.dot"))), userTemplate);
        QCOMPARE(ReadAll(user(QStringLiteral("letter.doc"))), QByteArray("the user's letter"));
        QVERIFY(!QFileInfo::exists(temp(QStringLiteral("template.dot"))) && !IsSymLink(temp(QStringLiteral("template.dot"))));
        QVERIFY(IsSymLink(temp(QStringLiteral("vestok11111111.doc"))));

        // The dangling link is not followed out of the temporary folder.
        QVERIFY2(!QFileInfo::exists(user(QStringLiteral("not yet.doc"))), "the card was written into the user's folder");
        QCOMPARE(FilesIn(mUser), QStringList({"letter.doc", "my template.dot"}));
        // A link at a name makes the name taken, as a file there would.
        QCOMPARE(steps, QStringList());
    }

    // Links at the template and picture names; the engine is the fake here,
    // since only the program's own file handling touches these names.
    void plantedLinksAtFixedNames()
    {
        TestPlatform test;
        Form1 form(test.platform, mSkin);
        form.Text1->setText(kMessage);
        form.show();

        // temp.bmp points at a user's picture: replaced, not followed, then removed.
        const QByteArray picture = "user's picture bytes";
        QVERIFY(WriteAll(user(QStringLiteral("holiday.bmp")), picture));
        QVERIFY(QFile::link(user(QStringLiteral("holiday.bmp")), temp(QStringLiteral("temp.bmp"))));
        QCOMPARE(generate(form, test.messageBoxes, "temp.bmp link to a user file"), QStringList());
        QCOMPARE(ReadAll(user(QStringLiteral("holiday.bmp"))), picture);
        QVERIFY(!IsSymLink(temp(QStringLiteral("temp.bmp"))) && !QFileInfo::exists(temp(QStringLiteral("temp.bmp"))));
        QVERIFY(!form.Preview().Zoom_Ori->picture().isNull());

        // A dangling temp.bmp link: its target is never created.
        QVERIFY(QFile::link(user(QStringLiteral("new.bmp")), temp(QStringLiteral("temp.bmp"))));
        test.fallbackFraction = 0.2;
        QCOMPARE(generate(form, test.messageBoxes, "dangling temp.bmp link"), QStringList());
        QVERIFY(!QFileInfo::exists(user(QStringLiteral("new.bmp"))));
        QVERIFY(!IsSymLink(temp(QStringLiteral("temp.bmp"))));

        // A dangling template.dot link: the template is not written through it;
        // the link is removed after use, so the next card works.
        QVERIFY(QFile::link(user(QStringLiteral("planted.dot")), temp(QStringLiteral("template.dot"))));
        test.fallbackFraction = 0.3;
        // No picture left over from the previous card.
        test.clipboard.picture = QImage();
        QCOMPARE(generate(form, test.messageBoxes, "dangling template.dot link"), kNoTemplateChain);
        QVERIFY(!QFileInfo::exists(user(QStringLiteral("planted.dot"))));
        QVERIFY(!IsSymLink(temp(QStringLiteral("template.dot"))));
        test.fallbackFraction = 0.4;
        QCOMPARE(generate(form, test.messageBoxes, "after the dangling link"), QStringList());
        QCOMPARE(FilesIn(mUser), QStringList({"holiday.bmp"}));
        QCOMPARE(test.word.instances, 0);
    }
};

QTEST_MAIN(TempFolderFaultsTest)
#include "test_temp_folder_faults.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "ErrorTrap.h"
#include "Main.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class FileRoutinesTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mDir;
    QString path(const char* name) const { return mDir.path() + QLatin1Char('/') + QLatin1String(name); }
    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void titleIsCutAtTheLastSpaceAtLeastOnce()
    {
        QCOMPARE(ShortenedTitle(QStringLiteral("Pelorin Greeting Designer")), QStringLiteral("Pelorin Greeting"));
        // 40 characters in six words: exactly one cut.
        const QString forty = QStringLiteral("Abcdefgh Abcdefgh Abcdefgh Abcd Abcd Abc");
        QCOMPARE(forty.size(), 40);
        QCOMPARE(ShortenedTitle(forty), QStringLiteral("Abcdefgh Abcdefgh Abcdefgh Abcd Abcd"));
        // 50 characters, last word 4, the one before 5: two cuts leave 39.
        const QString fifty = QStringLiteral("Abcdefghij Abcdefghij Abcdefghij Abcdef Abcde Abcd");
        QCOMPARE(fifty.size(), 50);
        QCOMPARE(ShortenedTitle(fifty), fifty.left(39));
        QCOMPARE(ShortenedTitle(QStringLiteral("Single")), QStringLiteral("Single"));
        SetAppTitle();
        QCOMPARE(AppTitle(), QStringLiteral("Pelorin Greeting"));
    }

    void fileExistsIsFalseForAnythingUnresolvable()
    {
        QVERIFY(!FileExists(QString()));
        QVERIFY(!FileExists(path("missing")));
        QVERIFY(!FileExists(path("no-folder/file")));
        QFile(path("present")).open(QIODevice::WriteOnly);
        QVERIFY(FileExists(path("present")));
        QVERIFY(FileExists(mDir.path())); // a folder has a modification time too
    }

    void writeIfMissingLeavesAnExistingFileAlone()
    {
        WriteFileIfMissing(QByteArray("\x00\x01template", 10), path("template.dot"));
        QCOMPARE(read(path("template.dot")), QByteArray("\x00\x01template", 10));
        WriteFileIfMissing(QByteArray("other"), path("template.dot"));
        QCOMPARE(read(path("template.dot")), QByteArray("\x00\x01template", 10));
        QVERIFY_THROWS_EXCEPTION(Failure, WriteFileIfMissing("x", path("no-folder/template.dot")));
    }

    void writeNeverFollowsAPlantedLink()
    {
        const QString victim = path("victim");
        QVERIFY(QFile::link(victim, path("dangling.dot"))); // target does not exist yet
        QVERIFY_THROWS_EXCEPTION(Failure, WriteFileIfMissing("evil", path("dangling.dot")));
        QVERIFY(!QFile::exists(victim));

        QFile(victim).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(victim, path("bitmap.bmp")));
        WriteFileAtomically("picture", path("bitmap.bmp"));
        QCOMPARE(read(victim), QByteArray());
        QCOMPARE(read(path("bitmap.bmp")), QByteArray("picture"));
        QVERIFY(!QFileInfo(path("bitmap.bmp")).isSymLink());
    }

    void atomicWriteReplacesReadOnlyTargetsAndKeepsThemOnFailure()
    {
        const QString target = path("card.doc");
        WriteFileAtomically("first", target);
        QFile::setPermissions(target, QFile::ReadOwner);
        WriteFileAtomically("second", target);
        QCOMPARE(read(target), QByteArray("second"));
        QVERIFY_THROWS_EXCEPTION(Failure, WriteFileAtomically("x", path("no-folder/card.doc")));
        QVERIFY_THROWS_EXCEPTION(Failure, WriteFileAtomically("x", mDir.path() + QLatin1Char('/')));
        QCOMPARE(QDir(mDir.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".card.doc")).size(), 0);
    }

    // A file of the user's takes the user's umask, not the private mode of
    // the fresh file it is written through.
    void aUsersFileHasTheModeOfAnyNewFile_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("mode");
        QTest::newRow("002, as Ubuntu's") << 002 << 0664;
        QTest::newRow("022, as most") << 022 << 0644;
        QTest::newRow("027") << 027 << 0640;
    }

    void aUsersFileHasTheModeOfAnyNewFile()
    {
        QFETCH(int, mask);
        QFETCH(int, mode);
        const QString file = path("Thanks.pdf");
        QFile::remove(file);
        const mode_t before = ::umask(mode_t(mask));
        const unsigned seen = ProcessUmask();
        WriteUserFile("card", file);
        ::umask(before);
        QCOMPARE(seen, unsigned(mask));
        QCOMPARE(read(file), QByteArray("card"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), mode);
    }

    // A folder that takes no new file: the message says why, rather than
    // that the file is missing.
    void aFolderThatTakesNoNewFileSaysSo()
    {
        if (::geteuid() == 0) {
            // Root ignores file modes: the case runs again as an ordinary user.
            QProcess child;
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QStringLiteral("setpriv"), {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
                                                    QCoreApplication::applicationFilePath(),
                                                    QString::fromLatin1(QTest::currentTestFunction())});
            QVERIFY(child.waitForFinished(60000));
            const QByteArray output = child.readAll();
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
            return;
        }
        QVERIFY(QDir(mDir.path()).mkdir(QStringLiteral("locked")));
        QVERIFY(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner));
        const QString file = path("locked/New.pdf");
        try {
            WriteUserFile("card", file);
            QFAIL("a file was made in a folder that takes none");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), "Cannot write file '" + file + "': Permission denied");
        }
        QVERIFY(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // A write cut short (here by a file size limit whose signal is ignored)
    // leaves no file to be taken for a whole one later.
    void aWriteCutShortLeavesNoFile()
    {
        struct rlimit before {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);
        const auto restore = qScopeGuard([&] {
            ::setrlimit(RLIMIT_FSIZE, &before);
            std::signal(SIGXFSZ, signalBefore);
        });
        struct rlimit small = before;
        small.rlim_cur = 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const QByteArray data(10000, 'x');
        QVERIFY_THROWS_EXCEPTION(Failure, WriteFileIfMissing(data, path("cut-short.dot")));
        QVERIFY(!QFile::exists(path("cut-short.dot")));
        ::setrlimit(RLIMIT_FSIZE, &before);
        WriteFileIfMissing(data, path("cut-short.dot"));
        QCOMPARE(read(path("cut-short.dot")), data);
    }

    void deleteQuietlyRemovesReadOnlyFilesAndNeverFails()
    {
        const QString file = path("readonly.doc");
        QFile(file).open(QIODevice::WriteOnly);
        QFile::setPermissions(file, QFile::ReadOwner);
        DeleteFileQuietly(file);
        QVERIFY(!QFile::exists(file));
        DeleteFileQuietly(path("missing"));
        DeleteFileQuietly(QString());
        QVERIFY_THROWS_EXCEPTION(Failure, ForceDeleteFile(path("missing")));
    }

    void deleteInALockedFolderLeavesTheFileSilently()
    {
        if (::geteuid() == 0)
            QSKIP("root may delete anywhere");
        QDir(mDir.path()).mkdir(QStringLiteral("locked"));
        const QString file = path("locked/card.doc");
        QFile(file).open(QIODevice::WriteOnly);
        QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner);
        DeleteFileQuietly(file);
        QVERIFY(QFile::exists(file));
        QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void temporaryFolderIsTempOrAPrivateFolder()
    {
        qputenv("TEMP", mDir.path().toUtf8());
        QCOMPARE(TempFolder(), mDir.path());
        qputenv("TEMP", "");
        const QString runtime = path("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        const QString folder = TempFolder();
        QCOMPARE(folder, runtime + QStringLiteral("/pelorin-greeting-designer"));
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0700);

        // Ours but open to others (made under a umask of 002, as Ubuntu's
        // is): made private again, and a file that others could have put
        // under a fixed name meanwhile is not used.
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0775), 0);
        QVERIFY(QFile(folder + QStringLiteral("/template.dot")).open(QIODevice::WriteOnly));
        QCOMPARE(TempFolder(), folder);
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0700);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/template.dot")));

        // Another user's folder in its place is refused, and left as it is.
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        QVERIFY_THROWS_EXCEPTION(Failure, TempFolder());
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), ::geteuid(), ::getegid()), 0);

        // A link planted in place of the private folder is refused.
        QDir(folder).removeRecursively();
        QVERIFY(QFile::link(mDir.path(), folder));
        QVERIFY_THROWS_EXCEPTION(Failure, TempFolder());
        qunsetenv("TEMP");
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void foldersMadeForTheProgramArePrivateWhateverTheUmask()
    {
        const mode_t before = ::umask(002);
        const QString nested = path("cache/pelorin/office");
        QCOMPARE(MakePrivateFolder(nested), false);
        MakeMissingFolders(path("config/deeper"));
        ::umask(before);
        for (const char* made : {"cache", "cache/pelorin", "cache/pelorin/office", "config", "config/deeper"}) {
            struct stat info {};
            QCOMPARE(::lstat(QFile::encodeName(path(made)).constData(), &info), 0);
            QVERIFY2((info.st_mode & 0777) == 0700, made);
        }
        // Readable by others only: closed again, but nothing in it is suspect.
        QCOMPARE(::chmod(QFile::encodeName(nested).constData(), 0755), 0);
        QCOMPARE(MakePrivateFolder(nested), false);
        struct stat repaired {};
        QCOMPARE(::lstat(QFile::encodeName(nested).constData(), &repaired), 0);
        QCOMPARE(int(repaired.st_mode & 0777), 0700);
        QCOMPARE(::chmod(QFile::encodeName(nested).constData(), 0770), 0);
        QCOMPARE(MakePrivateFolder(nested), true);
        QFile(path("plain-file")).open(QIODevice::WriteOnly);
        QVERIFY_THROWS_EXCEPTION(Failure, MakePrivateFolder(path("plain-file")));
    }

    // The last case: once an end has begun, no write starts.
    void anEndRemovesWhatUnfinishedWritesLeft()
    {
        const QString card = path(".My card.doc.Ab12Cd");
        const QString office = path(".~pelorin-0123456789abcdef.tmp");
        for (const QString& file : {card, office})
            QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        FileWriting officeSave(FileWriting::AtEnd::Remove);
        officeSave.setTemporary(QFile::encodeName(office));
        {
            FileWriting userSave;
            userSave.setTemporary(QFile::encodeName(card));
            QVERIFY(!WaitForFileWrites(std::chrono::milliseconds(50)));
            RemoveUnfinishedFiles();
            QVERIFY(!QFile::exists(card));
            QVERIFY(!QFile::exists(office));
        }
        // The office's own save holds no end up.
        QVERIFY(WaitForFileWrites(std::chrono::milliseconds(0)));
    }
};

QTEST_GUILESS_MAIN(FileRoutinesTest)
#include "test_file_routines.moc"

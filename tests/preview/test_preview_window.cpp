// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Accessibility.h"
#include "Main.h"
#include "PreviewTestSupport.h"
#include "PushButton.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QtTest>
#include <unistd.h>

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A mouse move without buttons, delivered as the window system would.
void Hover(QWidget* widget, QPoint at = {})
{
    const QPoint local = at.isNull() ? widget->rect().center() : at;
    QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QStringList Texts(const RecordingMessageBoxes& boxes)
{
    QStringList texts;
    for (const ShownMessage& message : boxes.shown)
        texts << message.text.section(QLatin1Char('\r'), 0, 0);
    return texts;
}
} // namespace

class PreviewWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mFolder;
    QByteArray mCard;

    QString path(const QString& name) const { return mFolder.path() + QLatin1Char('/') + name; }
    // The preview window with its card document in the temporary folder.
    void withCard(PreviewWindow& preview)
    {
        preview.form.mWordFile = path("vestok12345678.doc");
        WriteAll(preview.form.mWordFile, mCard);
    }

private slots:
    void initTestCase()
    {
        InstallAccessibleInterfaces();
        SetAppTitle();
        mCard = QByteArray("\xD0\xCF\x11\xE0 card document ") + QByteArray(70000, '\x5A') + QByteArray(1, '\0');
    }

    void init()
    {
        QDir(mFolder.path()).removeRecursively();
        QDir().mkpath(mFolder.path());
    }

    void creationSetsCaptionColoursAndFlag()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        QCOMPARE(form.windowTitle(), QString::fromLatin1(kProductName));
        QVERIFY(form.firstActivation());
        QCOMPARE(preview.errors(), QStringList());
        // What is painted: window and frame in the button face, the viewport white.
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QVERIFY(buttonFace != QColor(Qt::white));
        const QImage shot = form.grab().toImage();
        QCOMPARE(QColor(shot.pixel(2, 2)), buttonFace);           // window background
        QCOMPARE(QColor(shot.pixel(600, 526)), buttonFace);       // Frame1 beside its caption "Zoom:"
        QCOMPARE(QColor(shot.pixel(400, 400)), QColor(Qt::white)); // Picture2
        QCOMPARE(QColor(shot.pixel(60, 60)), QColor(40, 90, 160)); // Picture1's card picture
        // No cursor file: the custom state shows the arrow.
        QVERIFY(!form.pointer().hasCustomCursor());
    }

    void theWindowHasItsFixedLayout()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        QCOMPARE(form.minimumSize(), QSize(656, 626));
        QCOMPARE(form.maximumSize(), QSize(656, 626));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(form.Picture2->geometry(), QRect(8, 8, 622, 495));
        QCOMPARE(form.Picture1->parentWidget()->parentWidget(), form.Picture2);
        QCOMPARE(form.VScroll1->geometry(), QRect(630, 8, 17, 495));
        QCOMPARE(form.HScroll1->geometry(), QRect(8, 503, 622, 17));
        QCOMPARE(form.Frame1->geometry(), QRect(8, 524, 640, 57));
        QCOMPARE(form.PushButton1->parentWidget(), form.Frame1);
        QCOMPARE(form.PushButton2->geometry(), QRect(320, 20, 304, 27));
        QCOMPARE(form.PushButton8->geometry(), QRect(8, 590, 312, 27));
        QCOMPARE(form.PushButton6->text(), QStringLiteral("Save Results To Word File"));
        QCOMPARE(form.PushButton6->geometry(), QRect(328, 590, 320, 27));
        QCOMPARE(form.PushButton6->font().pointSizeF(), 11.25);
        QVERIFY(form.PushButton6->font().bold());
        QVERIFY(!QRect(QPoint(0, 0), form.size()).intersects(form.Zoom_Ori->geometry()));
        QCOMPARE(form.HScroll1->maximum(), 32767);
    }

    void theHandCursorIsLoadedFromTheProgramFolder()
    {
        QTemporaryDir programFolder;
        {
            TestPlatform test;
            test.platform.programFolder = programFolder.path();
            QVERIFY(QFile::copy(qEnvironmentVariable("SOURCE_DIR") + "/resources/HAND-M.CUR", programFolder.filePath("HAND-M.CUR")));
            QWidget mainWindow;
            Form2 form(test.platform, &mainWindow);
            form.Form_Load();
            QVERIFY(form.pointer().hasCustomCursor());
            QCOMPARE(test.messageBoxes.errorSteps(), QStringList());
        }
        {
            TestPlatform test;
            test.platform.programFolder = programFolder.path();
            QFile::remove(programFolder.filePath("HAND-M.CUR"));
            WriteAll(programFolder.filePath("HAND-M.CUR"), "not a cursor");
            QWidget mainWindow;
            Form2 form(test.platform, &mainWindow);
            form.Form_Load();
            QVERIFY(!form.pointer().hasCustomCursor());
            QCOMPARE(test.messageBoxes.errorSteps(), QStringList({"Form_Load:110"}));
        }
    }

    void hoverSetsThePointerUnlessBusy()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        WindowPointer& pointer = form.pointer();

        for (PushButton* button : {form.PushButton1, form.PushButton2, form.PushButton6, form.PushButton8}) {
            pointer.set(WindowPointer::Default);
            Hover(button);
            QCOMPARE(pointer.state(), WindowPointer::Custom);
        }
        QCOMPARE(form.PushButton1->cursor().shape(), Qt::ArrowCursor); // no cursor file

        // Picture boxes and scrollbars have no pointer handler of their own.
        Hover(form.Picture1);
        Hover(form.Picture2, QPoint(1, 1));
        Hover(form.HScroll1);
        QCOMPARE(pointer.state(), WindowPointer::Custom);

        Hover(form.Frame1, QPoint(3, 30));
        QCOMPARE(pointer.state(), WindowPointer::Default);
        Hover(form.PushButton1);
        Hover(&form, QPoint(650, 620));
        QCOMPARE(pointer.state(), WindowPointer::Default);

        pointer.set(WindowPointer::Busy);
        for (QWidget* place : {static_cast<QWidget*>(form.PushButton6), static_cast<QWidget*>(form.Frame1),
                               static_cast<QWidget*>(&form)})
            Hover(place, QPoint(3, 3));
        QCOMPARE(pointer.state(), WindowPointer::Busy);
        QCOMPARE(form.cursor().shape(), Qt::WaitCursor);

        // A repaint leaves the pointer at its default.
        pointer.set(WindowPointer::Custom);
        form.PushButton1_Click();
        QCOMPARE(pointer.state(), WindowPointer::Default);
    }

    void tabFollowsTheTabOrderAndEnterPressesAButton()
    {
        PreviewWindow preview(ScreenPicture(700, 600)); // both scrollbars enabled
        Form2& form = preview.form;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.PushButton1->setFocus();
        const QList<QWidget*> order = {form.PushButton2, form.PushButton6, form.PushButton8, form.HScroll1, form.VScroll1};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), form.HScroll1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), form.PushButton8);

        // Enter on "Save Results To Word File" opens the Save dialog.
        QTest::keyClick(form.PushButton6, Qt::Key_Return);
        QCOMPARE(preview.test.saveDialog.calls.size(), 1);
    }

    void aNewCardOpensWithTheFocusOnItAndTabReachesSave()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.ResetForNewCard(QStringLiteral("Thanks"));
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.Picture1);
        // The frame and the hidden holder take no focus.
        for (QWidget* next : {form.PushButton1, form.PushButton2, form.PushButton6}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }

        // Back and a second card: the focus is on the card again.
        form.PushButton8_Click();
        form.ResetForNewCard(QStringLiteral("Again"));
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.Picture1);
    }

    void aScreenReaderSeesAWindowHoldingTheDescribedCard()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QString::fromLatin1(kProductName));
        QList<QObject*> children;
        for (int i = 0; i < window->childCount(); ++i)
            children << window->child(i)->object();
        QVERIFY(children.contains(form.Picture2));
        QVERIFY(children.contains(form.PushButton6));
        QVERIFY(!children.contains(form.Zoom_Ori));
        QCOMPARE(window->indexOfChild(QAccessible::queryAccessibleInterface(form.Zoom_Ori)), -1);

        // The viewport is a named view; the card lies inside it.
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(form.Picture2);
        QCOMPARE(view->role(), QAccessible::Pane);
        QCOMPARE(view->text(QAccessible::Name), QStringLiteral("Card view"));
        QAccessibleInterface* card = QAccessible::queryAccessibleInterface(form.Picture1);
        QCOMPARE(card->role(), QAccessible::Graphic);
        QCOMPARE(card->text(QAccessible::Name), QStringLiteral("Greeting card"));
        QCOMPARE(card->parent()->parent(), view);

        // The message as the card breaks its lines, and the zoom shown.
        form.ResetForNewCard(QStringLiteral("Dear Mira,\r\nThank you\rfor all\nof it."));
        const QString message = QStringLiteral("Message on the card:\nDear Mira,\nThank you\nfor all\nof it.");
        QCOMPARE(card->text(QAccessible::Description), message + QStringLiteral("\nZoom 100%"));
        preview.activated();
        QCOMPARE(card->text(QAccessible::Description), message + QStringLiteral("\nZoom 100%"));
        form.PushButton1_Click();
        form.PushButton1_Click();
        QCOMPARE(card->text(QAccessible::Description), message + QStringLiteral("\nZoom 150%"));
        // 1.75 is too large to paint: the card stays at 1.5 while the zoom falls back to 1.0.
        form.PushButton1_Click();
        QCOMPARE(form.zoom(), 1.0f);
        QCOMPARE(card->text(QAccessible::Description), message + QStringLiteral("\nZoom 150%"));
        form.PushButton2_Click();
        QCOMPARE(card->text(QAccessible::Description), message + QStringLiteral("\nZoom 75%"));

        // A new card comes with its own message, shown at 1.0 again.
        form.ResetForNewCard(QString());
        QCOMPARE(card->text(QAccessible::Description), QStringLiteral("The card has no message.\nZoom 100%"));
    }

    // A role given to a widget whose interface Qt made before (an event
    // sent while it was being built asks for one) counts from then on.
    void aRoleGivenLateCounts()
    {
        QWidget widget;
        QCOMPARE(QAccessible::queryAccessibleInterface(&widget)->role(), QAccessible::Client);
        SetAccessibleRole(&widget, QAccessible::Graphic);
        QCOMPARE(QAccessible::queryAccessibleInterface(&widget)->role(), QAccessible::Graphic);
    }

    void backDeletesTheCardAndReturnsToTheMainWindow()
    {
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        form.show();
        form.PushButton1_Click();
        preview.test.saveDialog.answer = path("kept.doc");
        form.PushButton6_Click();

        QTest::mouseClick(form.PushButton8, Qt::LeftButton);
        QVERIFY(!QFile::exists(form.mWordFile));
        QVERIFY(QFile::exists(path("kept.doc")));
        QVERIFY(preview.mainWindow.isVisible());
        QVERIFY(form.isHidden());
        QCOMPARE(preview.test.programEnd.ends, 0);
        // The window stays loaded with its zoom.
        QCOMPARE(form.zoom(), 1.25f);
        QCOMPARE(preview.errors(), QStringList());
    }

    void closingDeletesTheCardAndEndsTheProgram()
    {
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.close());
        QVERIFY(!QFile::exists(form.mWordFile));
        QCOMPARE(preview.test.programEnd.ends, 1);
        QVERIFY(!preview.mainWindow.isVisible());
        QCOMPARE(preview.errors(), QStringList());
    }

    void cancellingTheSaveWritesNothing()
    {
        PreviewWindow preview;
        withCard(preview);
        preview.test.saveDialog.answer.clear();
        QTest::mouseClick(preview.form.PushButton6, Qt::LeftButton);
        QCOMPARE(preview.test.saveDialog.calls, QStringList({"Save File|Word Files (*.doc)|*.doc|"}));
        QCOMPARE(QDir(mFolder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"vestok12345678.doc"}));
        QCOMPARE(preview.test.messageBoxes.shown.size(), size_t(1));
        QCOMPARE(preview.test.messageBoxes.shown[0].text, QStringLiteral("Done."));
        QCOMPARE(preview.test.messageBoxes.shown[0].title, AppTitle());
        QCOMPARE(preview.test.messageBoxes.shown[0].style, int(MessageBoxes::OkOnly));
    }

    void savingToANewNameCopiesTheBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("with extension") << "Thanks.doc";
        QTest::newRow("as typed, no extension") << "Thanks";
    }

    void savingToANewNameCopiesTheBytes()
    {
        QFETCH(QString, name);
        PreviewWindow preview;
        withCard(preview);
        preview.test.saveDialog.answer = path(name);
        preview.form.PushButton6_Click();
        QCOMPARE(ReadAll(path(name)), mCard);
        QCOMPARE(Texts(preview.test.messageBoxes), QStringList({"Done."}));
        // Nothing else is left in the folder.
        QCOMPARE(QDir(mFolder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 QStringList({name, "vestok12345678.doc"}));
        QCOMPARE(ReadAll(preview.form.mWordFile), mCard);
    }

    void overwritingAsksFirst()
    {
        PreviewWindow preview;
        withCard(preview);
        const QString target = path("Thanks.doc");
        WriteAll(target, "the user's own file");
        preview.test.saveDialog.answer = target;

        preview.test.messageBoxes.answers = {MessageBoxes::No};
        preview.form.PushButton6_Click();
        QCOMPARE(ReadAll(target), QByteArray("the user's own file"));
        QCOMPARE(preview.test.messageBoxes.shown.size(), size_t(2));
        const ShownMessage question = preview.test.messageBoxes.shown[0];
        QCOMPARE(question.text, "Are you sure you wish to overwrite " + target + " ?");
        QCOMPARE(question.title, AppTitle());
        QCOMPARE(question.style, int(MessageBoxes::YesNo));
        QCOMPARE(preview.test.messageBoxes.shown[1].text, QStringLiteral("Done."));

        preview.test.messageBoxes.shown.clear();
        preview.test.messageBoxes.answers = {MessageBoxes::Yes};
        preview.form.PushButton6_Click();
        QCOMPARE(ReadAll(target), mCard);
        QCOMPARE(Texts(preview.test.messageBoxes), QStringList({question.text, "Done."}));
        QCOMPARE(QDir(mFolder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void aReadOnlyFileIsReplaced()
    {
        PreviewWindow preview;
        withCard(preview);
        const QString target = path("Locked.doc");
        WriteAll(target, "read only");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
        preview.test.saveDialog.answer = target;
        preview.form.PushButton6_Click();
        QCOMPARE(ReadAll(target), mCard);
        QCOMPARE(preview.errors(), QStringList());
        QVERIFY(QFileInfo(target).isWritable());
    }

    void aFolderWithoutCreateRightsStillTakesYes()
    {
        if (::geteuid() == 0) {
            // Root ignores permissions: this case runs again as an ordinary user.
            QProcess child;
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QStringLiteral("setpriv"), {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
                                                    QCoreApplication::applicationFilePath(),
                                                    QString::fromLatin1(QTest::currentTestFunction())});
            QVERIFY(child.waitForFinished(60000));
            qInfo("%s", child.readAll().constData());
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
            return;
        }
        PreviewWindow preview;
        withCard(preview);
        QVERIFY(QDir().mkpath(path("locked")));
        const QString target = path("locked/Thanks.doc");
        const QString readOnly = path("locked/Kept.doc");
        WriteAll(target, "the user's own file");
        WriteAll(readOnly, "read only");
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner));

        // No file can be created beside it, so the copy goes into the file itself.
        preview.test.saveDialog.answer = target;
        preview.form.PushButton6_Click();
        QCOMPARE(preview.errors(), QStringList());
        QCOMPARE(ReadAll(target), mCard);
        QCOMPARE(Texts(preview.test.messageBoxes).last(), QStringLiteral("Done."));

        // A file that cannot be written there either: reported, and left as it was.
        preview.test.messageBoxes.shown.clear();
        preview.test.saveDialog.answer = readOnly;
        preview.form.PushButton6_Click();
        QCOMPARE(preview.errors(), QStringList({"PushButton6_Click:130"}));
        QCOMPARE(ReadAll(readOnly), QByteArray("read only"));
        QVERIFY(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void aFailedCopyLeavesTheUsersFileAndStillSaysDone()
    {
        PreviewWindow preview;
        withCard(preview);
        const QString target = path("Thanks.doc");
        WriteAll(target, "the user's own file");
        QFile::remove(preview.form.mWordFile);
        preview.test.saveDialog.answer = target;
        preview.form.PushButton6_Click();
        QCOMPARE(preview.errors(), QStringList({"PushButton6_Click:130"}));
        QCOMPARE(Texts(preview.test.messageBoxes).first(), "Are you sure you wish to overwrite " + target + " ?");
        QCOMPARE(Texts(preview.test.messageBoxes).last(), QStringLiteral("Done."));
        QCOMPARE(ReadAll(target), QByteArray("the user's own file"));

        // A folder that does not exist cannot take the copy either.
        withCard(preview);
        preview.test.messageBoxes.shown.clear();
        preview.test.saveDialog.answer = path("no such folder/Thanks.doc");
        preview.form.PushButton6_Click();
        QCOMPARE(preview.errors(), QStringList({"PushButton6_Click:130"}));
        QCOMPARE(Texts(preview.test.messageBoxes).last(), QStringLiteral("Done."));
    }

    void savingOntoTheCardDocumentKeepsIt_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("same path") << "vestok12345678.doc";
        QTest::newRow("other spelling") << "./sub/../vestok12345678.doc";
        QTest::newRow("symbolic link") << "link.doc";
    }

    void savingOntoTheCardDocumentKeepsIt()
    {
        QFETCH(QString, spelling);
        PreviewWindow preview;
        withCard(preview);
        QDir(mFolder.path()).mkdir("sub");
        QVERIFY(QFile::link(preview.form.mWordFile, path("link.doc")));
        preview.test.saveDialog.answer = path(spelling);
        preview.form.PushButton6_Click();
        QCOMPARE(ReadAll(preview.form.mWordFile), mCard);
        QCOMPARE(preview.errors(), QStringList());
        QCOMPARE(Texts(preview.test.messageBoxes).last(), QStringLiteral("Done."));
        QVERIFY(QFileInfo(path("link.doc")).isSymLink());
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Accessibility.h"
#include "Mail.h"
#include "Main.h"
#include "PreviewTestSupport.h"
#include "Printing.h"
#include "PushButton.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QImageReader>
#include <QPrinter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <map>
#include <thread>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
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

// A context menu request to the card, as the mouse or the keyboard makes it.
void AskForMenu(QWidget* widget, QContextMenuEvent::Reason reason)
{
    const QPoint at = widget->rect().center();
    QContextMenuEvent request(reason, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &request);
}

// The office calls that make the card's PDF from its document.
QStringList ExportCalls(const QString& cardDocument)
{
    return {"CreateObject Word.Application", "OpenReadOnly " + cardDocument, "ExportAsPdf", "CloseActiveDocument 0", "Quit"};
}

// A print server of the test's own on a Unix socket, which CUPS_SERVER
// names: silent (it takes connections and never answers) when `answer` is
// empty, else giving every request that answer.
class FakePrintServer {
public:
    FakePrintServer(const QString& path, QByteArray answer = {}) : mPath(QFile::encodeName(path))
    {
        sockaddr_un at{};
        at.sun_family = AF_UNIX;
        std::memcpy(at.sun_path, mPath.constData(), size_t(mPath.size()) + 1);
        mListener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        mListening = ::bind(mListener, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 && ::listen(mListener, 8) == 0;
        if (!answer.isEmpty())
            mAnswering = std::thread([listener = mListener, answer] {
                for (int connection; (connection = ::accept(listener, nullptr, nullptr)) >= 0; ::close(connection)) {
                    char request[65536];
                    if (::read(connection, request, sizeof request) > 0 && ::write(connection, answer.constData(), size_t(answer.size())) < 0)
                        continue;
                }
            });
        qputenv("CUPS_SERVER", mPath);
    }
    ~FakePrintServer()
    {
        ::shutdown(mListener, SHUT_RDWR);
        ::close(mListener);
        if (mAnswering.joinable())
            mAnswering.join();
    }
    bool listening() const { return mListening; }

private:
    QByteArray mPath;
    int mListener = -1;
    bool mListening = false;
    std::thread mAnswering;
};

// The print dialog accepted on a queue, or on "Print to File", with the
// paper of most of the world.
PrintChoice Choice(const QString& printer, const QString& outputFile = QString())
{
    PrintChoice choice;
    choice.accepted = true;
    choice.printer = printer;
    choice.outputFile = outputFile;
    choice.media = QStringLiteral("iso_a4_210x297mm");
    choice.sides = QStringLiteral("one-sided");
    return choice;
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

    void theCardsMenuOpensFromMouseAndKeyboard_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("right click on the card") << "card mouse";
        QTest::newRow("right click beside a small card") << "view mouse";
        QTest::newRow("Menu key") << "card keyboard";
        QTest::newRow("Shift+F10") << "card shift+f10";
        QTest::newRow("Shift+F10 on the card view") << "view shift+f10";
    }

    void theCardsMenuOpensFromMouseAndKeyboard()
    {
        QFETCH(QString, how);
        PreviewWindow preview;
        Form2& form = preview.form;
        form.show();
        preview.activated();
        QWidget* target = how.startsWith("card") ? static_cast<QWidget*>(form.Picture1) : form.Picture2->clientArea();
        if (how.endsWith("shift+f10")) {
            if (how.startsWith("view"))
                target = form.Picture2;
            target->setFocus();
            QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            AskForMenu(target, how.endsWith("mouse") ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard);
        }
        QVERIFY(form.mnuCard->isVisible());
        const QList<QAction*> entries{form.mnuPrint, form.mnuSavePdf, form.mnuSendMail, form.mnuCopy, form.mnuSavePicture};
        const QStringList names{"Print\u2026", "Save as PDF\u2026", "Send by E-mail\u2026", "Copy", "Save as Picture\u2026"};
        QCOMPARE(form.mnuCard->actions(), entries);
        QCOMPARE(form.mnuPrint->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(form.mnuCopy->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
        // From the keyboard the first entry is chosen, so Down and Enter reach the second.
        const bool fromKeyboard = !how.endsWith("mouse");
        QCOMPARE(form.mnuCard->activeAction(), fromKeyboard ? form.mnuPrint : nullptr);
        // A screen reader finds both entries, named, as menu items.
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(form.mnuCard);
        QCOMPARE(menu->childCount(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(menu->child(i)->role(), QAccessible::MenuItem);
            QCOMPARE(menu->child(i)->text(QAccessible::Name), names[i]);
        }
        QCOMPARE(menu->child(0)->state().focused, fromKeyboard);
        if (fromKeyboard) {
            QTest::keyClick(form.mnuCard, Qt::Key_Down);
            QTest::keyClick(form.mnuCard, Qt::Key_Return);
            QCOMPARE(preview.test.saveDialog.calls, QStringList({"Save as PDF|PDF Files (*.pdf)|*.pdf|"}));
        }
        form.mnuCard->hide();
        // Elsewhere in the window there is no such menu.
        AskForMenu(form.PushButton6, QContextMenuEvent::Mouse);
        QVERIFY(!form.mnuCard->isVisible());
        QCOMPARE(preview.errors(), QStringList());
    }

    // From the keyboard the menu opens on the card, in the middle of its view.
    void theKeyboardsMenuOpensOnTheCard()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.show();
        preview.activated();
        form.Picture1->setFocus();
        QTest::keyClick(form.Picture1, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(form.mnuCard->pos(), form.Picture2->mapToGlobal(form.Picture2->rect().center()));
    }

    void plainF10OpensNoMenu()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.show();
        preview.activated();
        form.Picture1->setFocus();
        QTest::keyClick(form.Picture1, Qt::Key_F10);
        QVERIFY(!form.mnuCard->isVisible());
    }

    // A held Ctrl+P repeats its key press: still one print dialog.
    void aHeldCtrlPOpensOnePrintDialog()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        for (const bool repeated : {false, true, true})
            QTest::simulateEvent(&form, true, Qt::Key_P, Qt::ControlModifier, QString(), repeated);
        QTest::simulateEvent(&form, false, Qt::Key_P, Qt::ControlModifier, QString(), false);
        QCOMPARE(preview.test.printDialog.calls.size(), 1);
    }

    // While busy, a shortcut does not even reach its action.
    void whileBusyNoShortcutFires()
    {
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        preview.test.printDialog.answer = {true, QStringLiteral("CardPDF"), QString(), 1};
        QSignalSpy triggered(form.mnuPrint, &QAction::triggered);
        preview.test.word.duringCreate = [&] { QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier); };
        form.mnuPrint_Click();
        QCOMPARE(triggered.count(), 0);
    }

    void ctrlPPrintsTheCardAsTheOfficeExportsIt()
    {
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        TestPlatform& test = preview.test;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        test.printDialog.answer = Choice(QStringLiteral("CardPDF"));
        test.printDialog.answer.copies = 3;
        QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier);
        // The print system is asked first whether it answers at all.
        QCOMPARE(test.printQueue.checks, 1);
        QCOMPARE(test.printDialog.calls, QStringList({"Greeting card"}));
        QCOMPARE(test.word.calls, ExportCalls(form.mWordFile));
        QCOMPARE(test.word.instances, 0);
        QCOMPARE(test.printQueue.jobs.size(), size_t(1));
        const PrintJob& job = test.printQueue.jobs[0];
        QCOMPARE(job.printer, QStringLiteral("CardPDF"));
        QCOMPARE(job.title, QStringLiteral("Greeting card"));
        QCOMPARE(RecordingPrintQueue::option(job, "copies"), QStringLiteral("3"));
        QVERIFY(job.pdf == FakeWord::DefaultPdf());
        // On the paper of the dialog, the card whole: at its own size where
        // the paper holds it, scaled down just enough where it does not.
        QCOMPARE(RecordingPrintQueue::option(job, "media"), QStringLiteral("iso_a4_210x297mm"));
        QCOMPARE(RecordingPrintQueue::option(job, "print-scaling"), QStringLiteral("auto-fit"));
        QCOMPARE(test.messageBoxes.shown.size(), size_t(0));
        QVERIFY(!form.busy());
        QCOMPARE(form.pointer().state(), WindowPointer::Default);
        QCOMPARE(ReadAll(form.mWordFile), mCard);

        // "Print to File" writes the same PDF to the file named, replacing one there.
        test.printDialog.answer = Choice(QString(), path("card.pdf"));
        WriteAll(path("card.pdf"), "an older file");
        form.mnuPrint->trigger();
        QVERIFY(ReadAll(path("card.pdf")) == FakeWord::DefaultPdf());
        QCOMPARE(test.printQueue.jobs.size(), size_t(1));
        QCOMPARE(preview.errors(), QStringList());
    }

    // The card's PDF handed over with it goes to the printer and the file as
    // it is, with no office; for another document, or once "< Back" or the
    // close has dropped it, the card is exported again.
    void theKeptPdfServesItsOwnCardOnly_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<int>("exports");
        QTest::newRow("kept for this card") << "" << 0;
        QTest::newRow("kept for another document") << "other" << 1;
        QTest::newRow("dropped by < Back") << "back" << 1;
        QTest::newRow("dropped by the close") << "close" << 1;
    }

    void theKeptPdfServesItsOwnCardOnly()
    {
        QFETCH(QString, then);
        QFETCH(int, exports);
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        TestPlatform& test = preview.test;
        const QByteArray kept = FakeWord::DefaultPdf() + "% the snapshot's own\n";
        form.KeepCardPdf(then == QLatin1String("other") ? path("vestok87654321.doc") : form.mWordFile, kept);
        form.show();
        if (then == QLatin1String("back"))
            form.PushButton8_Click();
        else if (then == QLatin1String("close"))
            form.close();
        // The same card again, as a next one may be named.
        withCard(preview);
        test.printDialog.answer = Choice(QStringLiteral("CardPDF"));
        form.mnuPrint_Click();
        test.saveDialog.answer = path("card.pdf");
        form.mnuSavePdf_Click();
        QCOMPARE(preview.errors(), QStringList());
        QCOMPARE(test.word.calls, exports ? ExportCalls(form.mWordFile) : QStringList());
        const QByteArray sent = exports ? FakeWord::DefaultPdf() : kept;
        QCOMPARE(test.printQueue.jobs.size(), size_t(1));
        QVERIFY(test.printQueue.jobs[0].pdf == sent);
        QVERIFY(ReadAll(path("card.pdf")) == sent);
    }

    void eachChoiceOfTheDialogReachesTheJob_data()
    {
        QTest::addColumn<QString>("choose");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("value");
        QTest::newRow("copies") << "copies 4" << "copies" << "4";
        QTest::newRow("collated") << "" << "multiple-document-handling" << "separate-documents-collated-copies";
        QTest::newRow("not collated") << "uncollated" << "multiple-document-handling" << "separate-documents-uncollated-copies";
        QTest::newRow("the paper") << "media iso_a5_148x210mm" << "media" << "iso_a5_148x210mm";
        QTest::newRow("portrait") << "" << "orientation-requested" << "3";
        QTest::newRow("landscape") << "landscape" << "orientation-requested" << "4";
        QTest::newRow("colour: the queue's own") << "" << "print-color-mode" << QString();
        QTest::newRow("grayscale") << "grayscale" << "print-color-mode" << "monochrome";
        QTest::newRow("two-sided") << "sides two-sided-long-edge" << "sides" << "two-sided-long-edge";
        QTest::newRow("the printer's own option") << "own MediaType=Glossy" << "MediaType" << "Glossy";
        QTest::newRow("fitted to the paper") << "" << "print-scaling" << "auto-fit";
        QTest::newRow("fitted as the printer's own options say") << "own print-scaling=fill" << "print-scaling" << "fill";
        QTest::newRow("an instance prints as itself") << "printer CardPDF/small" << "" << "CardPDF/small";
    }

    void eachChoiceOfTheDialogReachesTheJob()
    {
        QFETCH(QString, choose);
        QFETCH(QString, option);
        QFETCH(QString, value);
        PreviewWindow preview;
        withCard(preview);
        TestPlatform& test = preview.test;
        PrintChoice& choice = test.printDialog.answer = Choice(QStringLiteral("CardPDF"));
        const QString what = choose.section(QLatin1Char(' '), 0, 0);
        const QString given = choose.section(QLatin1Char(' '), 1);
        if (what == QLatin1String("copies"))
            choice.copies = given.toInt();
        else if (what == QLatin1String("uncollated"))
            choice.collate = false;
        else if (what == QLatin1String("media"))
            choice.media = given;
        else if (what == QLatin1String("landscape"))
            choice.landscape = true;
        else if (what == QLatin1String("grayscale"))
            choice.grayscale = true;
        else if (what == QLatin1String("sides"))
            choice.sides = given;
        else if (what == QLatin1String("own"))
            choice.printerOptions = {{given.section(QLatin1Char('='), 0, 0), given.section(QLatin1Char('='), 1)}};
        else if (what == QLatin1String("printer"))
            choice.printer = given;
        preview.form.mnuPrint_Click();
        QCOMPARE(preview.errors(), QStringList());
        QCOMPARE(test.printQueue.jobs.size(), size_t(1));
        const PrintJob& job = test.printQueue.jobs[0];
        if (option.isEmpty()) {
            QCOMPARE(job.printer, value);
            return;
        }
        QCOMPARE(RecordingPrintQueue::option(job, option), value);
        // Each option once: two values would leave the print system to pick one.
        QCOMPARE(std::count_if(job.options.begin(), job.options.end(), [&](const PrintOption& each) { return each.first == option; }),
                 value.isNull() ? 0 : 1);
    }

    void theDialogsSettingsAreReadWhole()
    {
        // Qt's dialog leaves its choice in the printer; a PDF printer keeps
        // the same settings as a print queue's.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("printed.pdf"));
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setColorMode(QPrinter::GrayScale);
        printer.setCopyCount(3);
        printer.setCollateCopies(false);
        PrintChoice choice = DialogChoice(printer);
        QVERIFY(choice.accepted);
        QCOMPARE(choice.outputFile, path("printed.pdf"));
        QCOMPARE(choice.printer, QString());
        QCOMPARE(choice.media, QStringLiteral("iso_a5_148x210mm"));
        QVERIFY(choice.landscape);
        QVERIFY(choice.grayscale);
        QCOMPARE(choice.sides, QStringLiteral("one-sided"));
        QCOMPARE(choice.copies, 3);
        QVERIFY(!choice.collate);
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setColorMode(QPrinter::Color);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        choice = DialogChoice(printer);
        QVERIFY(!choice.landscape);
        QVERIFY(!choice.grayscale);
        QCOMPARE(choice.media, QStringLiteral("na_letter_8.5x11in"));
        // Both sides (a PDF printer has one): turned as a reader turns the
        // sheet, in landscape along the short edge.
        QCOMPARE(PrintSides(QPrinter::DuplexLongSide, true), QStringLiteral("two-sided-long-edge"));
        QCOMPARE(PrintSides(QPrinter::DuplexShortSide, false), QStringLiteral("two-sided-short-edge"));
        QCOMPARE(PrintSides(QPrinter::DuplexAuto, false), QStringLiteral("two-sided-long-edge"));
        QCOMPARE(PrintSides(QPrinter::DuplexAuto, true), QStringLiteral("two-sided-short-edge"));
        // A size of the printer's own, by its measure.
        printer.setPageSize(QPageSize(QSizeF(100, 150), QPageSize::Millimeter, QStringLiteral("Card"), QPageSize::ExactMatch));
        QCOMPARE(DialogChoice(printer).media, QStringLiteral("custom_100x150mm_100x150mm"));
    }

    void anAnswerThatNamesNeitherPrinterNorFileGoesToTheQueue()
    {
        // The queue says that no printer was chosen; no file of that name is tried.
        PreviewWindow preview;
        withCard(preview);
        preview.test.printDialog.answer = Choice(QString());
        preview.form.mnuPrint_Click();
        QCOMPARE(preview.test.printQueue.jobs.size(), size_t(1));
        QCOMPARE(preview.errors(), QStringList());
    }

    void cancellingEitherDialogDoesNothing()
    {
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        form.mnuPrint_Click();
        preview.test.saveDialog.answer.clear();
        form.mnuSavePdf_Click();
        QCOMPARE(preview.test.printDialog.calls.size(), 1);
        QCOMPARE(preview.test.saveDialog.calls.size(), 1);
        QCOMPARE(preview.test.word.calls, QStringList());
        QCOMPARE(preview.test.printQueue.jobs.size(), size_t(0));
        QCOMPARE(preview.test.messageBoxes.shown.size(), size_t(0));
        QCOMPARE(QDir(mFolder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"vestok12345678.doc"}));
        QVERIFY(!form.busy());
    }

    void savingAsPdfAsksBeforeReplacingAndSaysDone()
    {
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        RecordingMessageBoxes& boxes = preview.test.messageBoxes;
        const QString target = path("Thanks.pdf");
        preview.test.saveDialog.answer = target;
        form.mnuSavePdf_Click();
        QCOMPARE(preview.test.saveDialog.calls, QStringList({"Save as PDF|PDF Files (*.pdf)|*.pdf|"}));
        QVERIFY(ReadAll(target) == FakeWord::DefaultPdf());
        QCOMPARE(preview.test.word.calls, ExportCalls(form.mWordFile));
        QCOMPARE(Texts(boxes), QStringList({"Done."}));
        QCOMPARE(boxes.shown[0].title, AppTitle());
        QCOMPARE(boxes.shown[0].style, int(MessageBoxes::OkOnly));

        // No keeps the file and starts no office; Yes replaces a read-only one.
        WriteAll(target, "the user's own file");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
        boxes.shown.clear();
        preview.test.word.calls.clear();
        boxes.answers = {MessageBoxes::No};
        form.mnuSavePdf_Click();
        QCOMPARE(ReadAll(target), QByteArray("the user's own file"));
        QCOMPARE(Texts(boxes), QStringList({"Are you sure you wish to overwrite " + target + " ?", "Done."}));
        QCOMPARE(boxes.shown[0].style, int(MessageBoxes::YesNo));
        QCOMPARE(preview.test.word.calls, QStringList());
        boxes.answers = {MessageBoxes::Yes};
        form.mnuSavePdf_Click();
        QVERIFY(ReadAll(target) == FakeWord::DefaultPdf());
        QCOMPARE(QDir(mFolder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(preview.errors(), QStringList());
        QVERIFY(!form.busy());
    }

    void failuresAreReportedAndNothingIsLost_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("printTo");  // "queue" or "file"
        QTest::addColumn<QStringList>("printErrors");
        QTest::addColumn<QStringList>("saveErrors");
        const QStringList none;
        QTest::newRow("no office") << "CreateObject" << "queue" << QStringList({"mnuPrint_Click:120"})
                                   << QStringList({"mnuSavePdf_Click:134"});
        QTest::newRow("the export fails") << "ExportAsPdf" << "file" << QStringList({"mnuPrint_Click:120"})
                                          << QStringList({"mnuSavePdf_Click:134"});
        QTest::newRow("no scheduler, no printer or a rejected job")
            << "queue" << "queue" << QStringList({"mnuPrint_Click:128"}) << none;
        QTest::newRow("unwritable target") << "target" << "file" << QStringList({"mnuPrint_Click:126"})
                                           << QStringList({"mnuSavePdf_Click:138"});
        // The dialog is never opened: a print server that does not answer
        // would hold the window in it.
        QTest::newRow("a print server that never answers") << "silent" << "queue" << QStringList({"mnuPrint_Click:106"}) << none;
    }

    void failuresAreReportedAndNothingIsLost()
    {
        QFETCH(QString, fault);
        QFETCH(QString, printTo);
        QFETCH(QStringList, printErrors);
        QFETCH(QStringList, saveErrors);
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        TestPlatform& test = preview.test;
        form.show();
        test.word.failing << fault;
        if (fault == QLatin1String("queue"))
            test.printQueue.failure = QStringLiteral("The printer or class does not exist.");
        const QString target = fault == QLatin1String("target") ? path("no such folder/card.pdf") : path("card.pdf");
        if (fault != QLatin1String("target"))
            WriteAll(target, "the user's own file");
        test.printQueue.silent = fault == QLatin1String("silent");
        test.printDialog.answer = Choice(printTo == QLatin1String("queue") ? QStringLiteral("CardPDF") : QString(),
                                         printTo == QLatin1String("file") ? target : QString());
        form.mnuPrint_Click();
        QCOMPARE(preview.errors(), printErrors);
        QCOMPARE(test.printDialog.calls.size(), test.printQueue.silent ? 0 : 1);
        QCOMPARE(test.word.instances, 0);

        test.messageBoxes.shown.clear();
        test.messageBoxes.answers = {MessageBoxes::Yes};
        test.saveDialog.answer = target;
        form.mnuSavePdf_Click();
        QCOMPARE(preview.errors(), saveErrors);
        QCOMPARE(Texts(test.messageBoxes).last(), QStringLiteral("Done."));
        QCOMPARE(test.word.instances, 0);
        // The card, the user's file and the window are as they were.
        QCOMPARE(ReadAll(form.mWordFile), mCard);
        if (fault != QLatin1String("target") && fault != QLatin1String("queue") && fault != QLatin1String("silent"))
            QCOMPARE(ReadAll(target), QByteArray("the user's own file"));
        QVERIFY(form.isVisible());
        QVERIFY(!form.busy());
        QCOMPARE(form.pointer().state(), WindowPointer::Default);
        QCOMPARE(test.programEnd.ends, 0);
    }

    void sendingByEmailAttachesTheCardsPdfUntilTheProgramEnds()
    {
        PreviewWindow preview;
        withCard(preview);
        TestPlatform& test = preview.test;
        QVERIFY(QDir().mkpath(path("temp")));
        qputenv("TEMP", QFile::encodeName(path("temp")));
        const auto restore = qScopeGuard([] { qunsetenv("TEMP"); });
        preview.form.mnuSendMail->trigger();
        QCOMPARE(preview.errors(), QStringList());
        QCOMPARE(test.mail.messages.size(), size_t(1));
        const RecordingMailComposer::Message message = test.mail.messages[0];
        QCOMPARE(message.subject, QStringLiteral("Thank you"));
        QCOMPARE(QFileInfo(message.attachment).fileName(), QStringLiteral("Thank you card.pdf"));
        QVERIFY(message.attachment.startsWith(path("temp") + QLatin1Char('/')));
        QVERIFY(message.attached == FakeWord::DefaultPdf());
        QCOMPARE(test.word.calls, ExportCalls(preview.form.mWordFile));
        // A second mail gets a file of its own: the first may still be read.
        preview.form.mnuSendMail_Click();
        QCOMPARE(test.mail.messages.size(), size_t(2));
        QVERIFY(test.mail.messages[1].attachment != message.attachment);
        // The mail program may read it late: it stays until the program ends.
        QVERIFY(QFile::exists(message.attachment));
        QCOMPARE(QFileInfo(QFileInfo(message.attachment).path()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFileDevice::Permissions());
        RemoveUnfinishedFiles();
        QCOMPARE(QDir(path("temp")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void copyingPutsThePictureAtPrintingDetailAndThePdfOnTheClipboard()
    {
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        preview.activated();
        form.Picture1->setFocus();
        QTest::keyClick(form.Picture1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(preview.errors(), QStringList());
        const QImage& picture = preview.test.clipboard.picture;
        // US Letter at 300 dots per inch.
        QCOMPARE(picture.size(), QSize(2550, 3300));
        QCOMPARE(qRound(picture.dotsPerMeterX() * 0.0254), 300);
        QVERIFY(preview.test.clipboard.pdf == FakeWord::DefaultPdf());
        // Elsewhere in the window, Ctrl+C is not the card's.
        preview.test.clipboard.pdf.clear();
        form.PushButton6->setFocus();
        QTest::keyClick(form.PushButton6, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(preview.test.clipboard.pdf.isEmpty());
    }

    void savingAsPictureWritesTheFormatOfTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("PNG") << "Thanks.png" << QByteArray("png");
        QTest::newRow("JPEG") << "Thanks.jpg" << QByteArray("jpeg");
        QTest::newRow("JPEG, long suffix") << "Thanks.JPEG" << QByteArray("jpeg");
        QTest::newRow("no suffix: PNG") << "Thanks" << QByteArray("png");
    }

    void savingAsPictureWritesTheFormatOfTheName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        PreviewWindow preview;
        withCard(preview);
        const QString target = path(name);
        preview.test.saveDialog.answer = target;
        preview.form.mnuSavePicture->trigger();
        QCOMPARE(preview.test.saveDialog.calls,
                 QStringList({"Save as Picture|PNG Pictures (*.png)|*.png|JPEG Pictures (*.jpg *.jpeg)|*.jpg *.jpeg|"}));
        QCOMPARE(Texts(preview.test.messageBoxes), QStringList({"Done."}));
        QImageReader reader(target);
        QCOMPARE(reader.format(), format);
        QCOMPARE(reader.size(), QSize(2550, 3300));
        if (format == "jpeg") {
            // Kept fine for printing: quality 92, whose luminance table
            // starts at 3 (the usual 75 starts at 8).
            const QByteArray jpeg = ReadAll(target);
            const qsizetype table = jpeg.indexOf("\xFF\xDB");
            QVERIFY(table > 0);
            QCOMPARE(int(uchar(jpeg.at(table + 5))), 3);
        }
        QCOMPARE(preview.errors(), QStringList());
        // Asked before it is replaced, as every save is.
        preview.test.messageBoxes.answers = {MessageBoxes::No};
        WriteAll(target, "the user's own picture");
        preview.form.mnuSavePicture_Click();
        QCOMPARE(Texts(preview.test.messageBoxes).mid(1),
                 QStringList({"Are you sure you wish to overwrite " + target + " ?", "Done."}));
        QCOMPARE(ReadAll(target), QByteArray("the user's own picture"));
    }

    void sendingCopyingAndSavingAPictureReportTheirFailures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("no office: mail") << "CreateObject" << "mail" << QStringList({"mnuSendMail_Click:108"});
        QTest::newRow("no office: copy") << "CreateObject" << "copy" << QStringList({"mnuCopy_Click:108"});
        QTest::newRow("no office: picture") << "CreateObject" << "picture" << QStringList({"mnuSavePicture_Click:134"});
        QTest::newRow("no mail program") << "mail" << "mail" << QStringList({"mnuSendMail_Click:116"});
        QTest::newRow("the clipboard refuses") << "clipboard" << "copy" << QStringList({"mnuCopy_Click:116"});
        QTest::newRow("unwritable target") << "target" << "picture" << QStringList({"mnuSavePicture_Click:142"});
        QTest::newRow("a PDF with no page to draw: copy") << "pageless" << "copy" << QStringList({"mnuCopy_Click:112"});
        QTest::newRow("a PDF with no page to draw: picture") << "pageless" << "picture"
                                                             << QStringList({"mnuSavePicture_Click:138"});
    }

    void sendingCopyingAndSavingAPictureReportTheirFailures()
    {
        QFETCH(QString, fault);
        QFETCH(QString, entry);
        QFETCH(QStringList, errors);
        PreviewWindow preview;
        withCard(preview);
        TestPlatform& test = preview.test;
        Form2& form = preview.form;
        test.word.failing << fault;
        if (fault == QLatin1String("mail"))
            test.mail.failure = QStringLiteral("No mail program could be started: xdg-email ended with code 3.");
        test.clipboard.failCard = fault == QLatin1String("clipboard");
        if (fault == QLatin1String("pageless"))
            test.word.pdf = "%PDF-1.4\n%%EOF\n";
        test.saveDialog.answer = fault == QLatin1String("target") ? path("no such folder/card.png") : path("card.png");
        QVERIFY(QDir().mkpath(path("temp")));
        qputenv("TEMP", QFile::encodeName(path("temp")));
        const auto restore = qScopeGuard([] {
            RemoveUnfinishedFiles();
            qunsetenv("TEMP");
        });
        if (entry == QLatin1String("mail"))
            form.mnuSendMail_Click();
        else if (entry == QLatin1String("copy"))
            form.mnuCopy_Click();
        else
            form.mnuSavePicture_Click();
        QCOMPARE(preview.errors(), errors);
        QCOMPARE(test.word.instances, 0);
        QVERIFY(!QFile::exists(path("card.png")));
        QVERIFY(!form.busy());
        QCOMPARE(form.pointer().state(), WindowPointer::Default);
        QCOMPARE(ReadAll(form.mWordFile), mCard);
    }

    void whileItRunsTheWindowIsBusyAndTakesNoInput_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("Print…") << "print";
        QTest::newRow("Save as PDF…") << "pdf";
        QTest::newRow("Send by E-mail…") << "mail";
        QTest::newRow("Copy") << "copy";
        QTest::newRow("Save as Picture…") << "picture";
    }

    void whileItRunsTheWindowIsBusyAndTakesNoInput()
    {
        QFETCH(QString, entry);
        PreviewWindow preview;
        withCard(preview);
        Form2& form = preview.form;
        TestPlatform& test = preview.test;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        preview.activated();
        test.printDialog.answer = Choice(QStringLiteral("CardPDF"));
        test.saveDialog.answer = path("card.pdf");
        const bool printing = entry == QLatin1String("print");
        bool checked = false;
        test.word.duringCreate = [&] {
            if (checked)
                return;
            checked = true;
            QVERIFY(form.busy());
            QCOMPARE(form.pointer().state(), WindowPointer::Busy);
            // A second print, by key or menu, and every other input do nothing.
            QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier);
            QTest::keyClick(form.Picture1, Qt::Key_C, Qt::ControlModifier);
            form.mnuPrint_Click();
            form.mnuSavePdf_Click();
            form.mnuSendMail_Click();
            form.mnuCopy_Click();
            form.mnuSavePicture_Click();
            QTest::mouseClick(form.PushButton1, Qt::LeftButton);
            QTest::keyClick(form.PushButton6, Qt::Key_Return);
            TurnWheel(form.Picture1, QPoint(0, 120), Qt::ControlModifier);
            AskForMenu(form.Picture1, QContextMenuEvent::Mouse);
            // A click queued while the office holds the window up.
            const QPoint at = form.PushButton1->rect().center();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(form.PushButton1, new QMouseEvent(type, at, form.PushButton1->mapToGlobal(at),
                                                                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        };
        QVERIFY(QDir().mkpath(path("temp")));
        qputenv("TEMP", QFile::encodeName(path("temp")));
        const auto restore = qScopeGuard([] {
            RemoveUnfinishedFiles();
            qunsetenv("TEMP");
        });
        const std::map<QString, void (Form2::*)()> entries{
            {"print", &Form2::mnuPrint_Click}, {"pdf", &Form2::mnuSavePdf_Click}, {"mail", &Form2::mnuSendMail_Click},
            {"copy", &Form2::mnuCopy_Click}, {"picture", &Form2::mnuSavePicture_Click}};
        (form.*entries.at(entry))();
        QCoreApplication::processEvents();
        QVERIFY(checked);
        const bool saving = entry == QLatin1String("pdf") || entry == QLatin1String("picture");
        QCOMPARE(test.printDialog.calls.size(), printing ? 1 : 0);
        QCOMPARE(test.saveDialog.calls.size(), saving ? 1 : 0);
        QCOMPARE(test.mail.messages.size(), size_t(entry == QLatin1String("mail") ? 1 : 0));
        QCOMPARE(test.clipboard.pdf.isEmpty(), entry != QLatin1String("copy"));
        QCOMPARE(form.zoom(), 1.0f);
        QVERIFY(!form.mnuCard->isVisible());
        QCOMPARE(test.printQueue.jobs.size(), size_t(printing ? 1 : 0));
        QVERIFY(!form.busy());
        QCOMPARE(form.pointer().state(), WindowPointer::Default);
        // Afterwards the window answers again.
        QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(test.printDialog.calls.size(), printing ? 2 : 1);
        QTest::mouseClick(form.PushButton1, Qt::LeftButton);
        QCOMPARE(form.zoom(), 1.25f);
        QCOMPARE(preview.errors(), QStringList());
    }

    void aQueueThatAsksForAPasswordIsNeverAnsweredOnATerminal()
    {
        // Started from a terminal, the CUPS library would ask for the
        // password there and wait for it; a program of the desktop answers
        // "none" at once. The case runs again with a terminal of its own.
        if (qEnvironmentVariableIsEmpty("PELORIN_ON_A_TERMINAL")) {
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("PELORIN_ON_A_TERMINAL"), QStringLiteral("1"));
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::MergedChannels);
            const QString self = QCoreApplication::applicationFilePath() + QLatin1Char(' ')
                + QString::fromLatin1(QTest::currentTestFunction());
            child.start(QStringLiteral("script"), {"-qec", self, "/dev/null"});
            QVERIFY(child.waitForFinished(60000));
            const QByteArray said = child.readAll();
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, said.constData());
            QVERIFY2(!said.contains("Password for"), said.constData());
            return;
        }
        QVERIFY(::isatty(0));
        // A print server that asks every request for a password.
        QString said;
        {
            const FakePrintServer asking(path("asking.sock"), "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"CUPS\"\r\n"
                                                              "Content-Length: 0\r\nConnection: close\r\n\r\n");
            QVERIFY(asking.listening());
            qputenv("PELORIN_PRINT_TIMEOUT_MS", "1000");
            try {
                CupsPrintQueue().submit({QStringLiteral("CardPDF"), QStringLiteral("Greeting card"), FakeWord::DefaultPdf(), {}});
            } catch (const Failure& failure) {
                said = failure.description();
            }
        }
        // Refused at once, not left waiting for a password until the bound.
        QVERIFY2(said.startsWith(QStringLiteral("The card could not be printed on \"CardPDF\": ")), qPrintable(said));
    }

    void theDesktopsMailProgramIsStartedOrSaysWhyNot_data()
    {
        QTest::addColumn<QString>("xdgEmail");  // the script standing in for it; empty: none on the PATH
        QTest::addColumn<QString>("failure");
        QTest::newRow("started") << "exit 0" << QString();
        QTest::newRow("no mailto handler") << "sleep 0.3; exit 3" << "No mail program could be started: xdg-email ended with code 3.";
        QTest::newRow("no xdg-utils") << QString() << "No mail program could be started: xdg-email (xdg-utils) is not installed.";
    }

    void theDesktopsMailProgramIsStartedOrSaysWhyNot()
    {
        QFETCH(QString, xdgEmail);
        QFETCH(QString, failure);
        // No session bus, so no portal: xdg-email is asked.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(path("no-bus")));
        QVERIFY(QDir().mkpath(path("bin")));
        if (!xdgEmail.isEmpty()) {
            WriteAll(path("bin/xdg-email"), "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$0.arguments\"\n" + xdgEmail.toUtf8() + "\n");
            QVERIFY(QFile::setPermissions(path("bin/xdg-email"), QFile::ReadOwner | QFile::ExeOwner));
        }
        const QByteArray searchPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(path("bin")));
        QString said;
        try {
            DesktopMail().compose(QStringLiteral("Thank you"), path("Thank you card.pdf"));
        } catch (const Failure& refusal) {
            said = refusal.description();
        }
        qputenv("PATH", searchPath);
        QCOMPARE(said, failure);
        if (!xdgEmail.isEmpty())
            QCOMPARE(ReadAll(path("bin/xdg-email.arguments")),
                     "--subject\nThank you\n--attach\n" + QFile::encodeName(path("Thank you card.pdf")) + "\n");
    }

    void theCupsQueueSaysWhyAJobCannotGetThere()
    {
        CupsPrintQueue queue;
        PrintJob job{QString(), QStringLiteral("Greeting card"), FakeWord::DefaultPdf(), {}};
        try {
            queue.submit(job);
            QFAIL("a job without a printer went nowhere, silently");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QStringLiteral("The card could not be printed: no printer was chosen."));
        }
        const QByteArray server = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", QFile::encodeName(path("no-scheduler.sock")));
        job.printer = QStringLiteral("CardPDF");
        try {
            queue.submit(job);
            QFAIL("a job with no scheduler to take it went nowhere, silently");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(),
                     QStringLiteral("The card could not be printed: the print system (CUPS) does not answer at ")
                         + path("no-scheduler.sock") + QLatin1Char('.'));
        }
        // With nobody there, the dialog may open: it offers "Print to File".
        queue.checkAnswers();

        // A print server that refuses has answered all the same.
        {
            const FakePrintServer refusing(path("refusing.sock"),
                                           "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            QVERIFY(refusing.listening());
            try {
                queue.checkAnswers();
            } catch (const Failure&) {
                QFAIL("a print server that refused was taken for a silent one");
            }
        }

        // A print server that takes the connection and never answers: a few
        // seconds, then the error message, while the window's thread goes on.
        const FakePrintServer silent(path("silent.sock"));
        QVERIFY(silent.listening());
        int ticks = 0;
        QTimer ticking;
        connect(&ticking, &QTimer::timeout, [&] { ++ticks; });
        ticking.start(100);
        QElapsedTimer clock;
        clock.start();
        try {
            queue.checkAnswers();
            QFAIL("a print server that never answers was taken for one that does");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QStringLiteral("The card could not be printed: the print system (CUPS) does not answer at ")
                                                 + path("silent.sock") + QLatin1Char('.'));
        }
        QVERIFY2(ticks >= 10, qPrintable(QStringLiteral("the window's thread went on %1 times in %2 ms").arg(ticks).arg(clock.elapsed())));
        // Nor does a job wait on it without end.
        job.printer = QStringLiteral("CardPDF");
        qputenv("PELORIN_PRINT_TIMEOUT_MS", "1000");
        try {
            queue.submit(job);
            QFAIL("a job to a print server that never answers went nowhere, silently");
        } catch (const Failure& failure) {
            QVERIFY2(failure.description().contains(QStringLiteral("does not answer at ") + path("silent.sock")),
                     qPrintable(failure.description()));
        }
        qunsetenv("PELORIN_PRINT_TIMEOUT_MS");
        if (server.isNull())
            qunsetenv("CUPS_SERVER");
        else
            qputenv("CUPS_SERVER", server);
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"

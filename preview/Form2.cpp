// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Form2.h"

#include "Accessibility.h"
#include "BusyWindow.h"
#include "CardOutput.h"
#include "Conversions.h"
#include "ErrorTrap.h"
#include "Main.h"
#include "PictureBox.h"
#include "Platform.h"
#include "PushButton.h"
#include "Skin.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

Form2::Form2(Platform& platform, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , mPlatform(platform)
    , mMainWindow(mainWindow)
    , mPointer(this)
    , mBusy(new BusyWindow(this))
    , mOutput(std::make_unique<CardOutput>(platform, *mBusy, mPointer))
{
    SetAccessibleRole(this, QAccessible::Window);
    SetFixedSizeInTwips(this, 9840, 9390);
    setFont(DesignFont("Arial", 9, true));
    UseWhiteBackground(this);
    setMouseTracking(true);

    const QFont pictureFont = DesignFont("MS Sans Serif", 8.25, false);
    Picture2 = new PictureBox(this, PictureBox::Border::Sunken);
    Picture2->Move(120, 120, 9330, 7425);
    Picture2->setBackColor(Qt::white);
    Picture2->setFont(pictureFont);
    // It takes the focus too, so it reads as what it is: the view of the card.
    SetAccessibleRole(Picture2, QAccessible::Pane);
    Picture2->setAccessibleName(tr("Card view"));

    Picture1 = new PictureBox(Picture2->clientArea());
    Picture1->Move(0, 0, 2340, 3435);
    Picture1->setBackColor(QApplication::palette().color(QPalette::Base));
    Picture1->setFont(pictureFont);
    SetAccessibleRole(Picture1, QAccessible::Graphic);
    Picture1->setAccessibleName(tr("Greeting card"));
    connect(Picture1, &PictureBox::mouseDown, this,
            [this](int button, int shift, float x, float y) { Picture1_MouseDown(int16_t(button), int16_t(shift), x, y); });
    connect(Picture1, &PictureBox::mouseMove, this,
            [this](int button, int shift, float x, float y) { Picture1_MouseMove(int16_t(button), int16_t(shift), x, y); });
    connect(Picture1, &PictureBox::mouseUp, this,
            [this](int button, int shift, float x, float y) { Picture1_MouseUp(int16_t(button), int16_t(shift), x, y); });
    WatchCardInput();

    // Outside the client area and hidden: it only keeps the unscaled picture.
    Zoom_Ori = new PictureBox(this);
    Zoom_Ori->Move(10320, 480, 735, 375);
    Zoom_Ori->setBackColor(QApplication::palette().color(QPalette::Button));
    Zoom_Ori->setFont(pictureFont);
    SetAccessibleRole(Zoom_Ori, QAccessible::NoRole);

    auto makeScrollBar = [this](Qt::Orientation orientation, int left, int top, int width, int height) {
        auto* bar = new QScrollBar(orientation, this);
        PlaceInTwips(bar, left, top, width, height);
        bar->setRange(0, 32767);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // Reached with Tab like the other controls; a click does not take the focus from the card.
        bar->setFocusPolicy(Qt::TabFocus);
        return bar;
    };
    VScroll1 = makeScrollBar(Qt::Vertical, 9450, 120, 255, 7425);
    HScroll1 = makeScrollBar(Qt::Horizontal, 120, 7545, 9330, 255);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form2::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form2::VScroll1_Change);

    Frame1 = new QGroupBox(tr("Zoom:"), this);
    PlaceInTwips(Frame1, 120, 7860, 9600, 855);
    UseWhiteBackground(Frame1);
    Frame1->setMouseTracking(true);
    Frame1->installEventFilter(this);

    PushButton1 = MakePushButton(Frame1, tr("Zoom In"), 240, 300, 4440, 405, mPointer);
    PushButton2 = MakePushButton(Frame1, tr("Zoom Out"), 4800, 300, 4560, 405, mPointer);
    PushButton8 = MakePushButton(this, tr("< Back"), 120, 8850, 4680, 405, mPointer);
    PushButton6 = MakePushButton(this, tr("Save Results To Word File"), 4920, 8850, 4800, 405, mPointer);
    connect(PushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form2::PushButton6_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form2::PushButton8_Click);

    const QList<QWidget*> tabOrder = {HScroll1, VScroll1, Picture2, Picture1, Frame1,
                                      Zoom_Ori, PushButton1, PushButton2, PushButton6, PushButton8};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // The card's own menu; Ctrl+P works anywhere in the window.
    mnuCard = new QMenu(this);
    mnuPrint = mnuCard->addAction(tr("Print…"), this, &Form2::mnuPrint_Click);
    mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // Held down, it would open one print dialog after the other.
    mnuPrint->setAutoRepeat(false);
    addAction(mnuPrint);
    mnuSavePdf = mnuCard->addAction(tr("Save as PDF…"), this, &Form2::mnuSavePdf_Click);
    mnuSendMail = mnuCard->addAction(tr("Send by E-mail…"), this, &Form2::mnuSendMail_Click);
    mnuCopy = mnuCard->addAction(tr("Copy"), this, &Form2::mnuCopy_Click);
    // Ctrl+C copies the card where the card (or its view) has the focus.
    mnuCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuCopy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    mnuCopy->setAutoRepeat(false);
    Picture2->addAction(mnuCopy);
    mnuSavePicture = mnuCard->addAction(tr("Save as Picture…"), this, &Form2::mnuSavePicture_Click);
}

Form2::~Form2() = default;

bool Form2::busy() const
{
    return mBusy->busy();
}

void Form2::Form_Load()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.Form_Load");
    trap.step(100, [&] { mFirstActivation = true; });
    trap.step(102, [&] { ApplyFormColors(this); });
    trap.step(104, [&] { setWindowTitle(QString::fromLatin1(kProductName)); });
    trap.step(104, [&] {
        const QIcon icon(QStringLiteral(":/icons/app.ico"));
        if (!icon.isNull())
            setWindowIcon(icon);
    });
    if (trap.test(108, [&] { return FileExists(mPlatform.programFolder + QStringLiteral("/HAND-M.CUR")); }))
        trap.step(110, [&] { mPointer.setCustomCursor(LoadCursorFile(mPlatform.programFolder + QStringLiteral("/HAND-M.CUR"))); });
}

void Form2::ResetForNewCard(const std::optional<QString>& message)
{
    mFirstActivation = true;
    mCardMessage = message;
    // Whether painted at 1.0 or not, a new card first shows at its natural size.
    DescribeCard(1.0f);
    // The window opens on the card, so a screen reader announces the card just made.
    Picture1->setFocus();
}

void Form2::DescribeCard(float zoom)
{
    // The lines as the card breaks them: CR LF, a lone CR and a lone LF each end one.
    QString lines = mCardMessage.value_or(QString());
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QString message = !mCardMessage     ? tr("The card shows the template's own placeholder greeting, not the message.")
                            : lines.isEmpty() ? tr("The card has no message.")
                                              : tr("Message on the card:") + QLatin1Char('\n') + lines;
    const QString description = message + QLatin1Char('\n') + tr("Zoom %1%").arg(qRound(zoom * 100));
    // Each change is announced to a screen reader; the first paint of a new card changes nothing.
    if (description != Picture1->accessibleDescription())
        Picture1->setAccessibleDescription(description);
}

void Form2::Form_Activate()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.Form_Activate");
    const bool setUp = !trap.test(100, [&] { return !mFirstActivation; });
    if (setUp) {
        trap.step(104, [&] { Picture1->setAutoRedraw(true); });
        trap.step(106, [&] { Picture1->setAutoSize(true); });
        trap.step(110, [&] { Picture1->setBackColor(Qt::white); });
        trap.step(114, [&] { Zoom_Ori->setAutoRedraw(true); });
        trap.step(116, [&] { Zoom_Ori->hide(); });
        trap.step(118, [&] { Zoom_Ori->SetWidth(Picture1->Width()); });
        trap.step(120, [&] { Zoom_Ori->SetHeight(Picture1->Height()); });
        trap.step(122, [&] { Zoom_Ori->setPicture(Picture1->picture()); });
        trap.step(124, [&] { mZoom = 1.0f; });
        trap.step(126, [&] { mBaseWidth = ToInt32(Zoom_Ori->ScaleWidth() - 2); });
        trap.step(128, [&] { mBaseHeight = ToInt32(Zoom_Ori->ScaleHeight() - 2); });
        trap.step(130, [&] { mScaledWidth = FloorToInt32(double(mBaseWidth) * 1); });
        trap.step(132, [&] { mScaledHeight = FloorToInt32(double(mBaseHeight) * 1); });
        trap.step(134, [&] { RedrawImage(); });
        trap.step(136, [&] { SetupScrollbars(); });
    }
    trap.step(138, [&] { mFirstActivation = false; });
}

bool Form2::RedrawImage()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.RedrawImage");
    trap.step(100, [&] { mScaledWidth = FloorToInt32(double(mZoom) * mBaseWidth); });
    trap.step(102, [&] { mScaledHeight = FloorToInt32(double(mZoom) * mBaseHeight); });
    // Larger surfaces are not painted: the zoom falls back to 1.0 and the
    // previous image stays on screen.
    const bool painted = trap.test(104, [&] { return mScaledWidth < 10900 && mScaledHeight < 13400; });
    if (painted) {
        trap.step(106, [&] { Picture1->clearPicture(); });
        trap.step(108, [&] { Picture1->SetWidth(mScaledWidth); });
        trap.step(110, [&] { Picture1->SetHeight(mScaledHeight); });
        trap.step(112, [&] {
            Picture1->PaintPicture(Zoom_Ori->picture(), 0, 0, mScaledWidth, mScaledHeight, 0, 0, mBaseWidth, mBaseHeight);
        });
        trap.step(114, [&] { mPointer.set(WindowPointer::Default); });
        trap.step(116, [&] { HScroll1->setValue(0); });
        trap.step(118, [&] { VScroll1->setValue(0); });
        trap.step(120, [&] { HScroll1->setEnabled(!(Picture2->ScaleWidth() >= mScaledWidth)); });
        trap.step(122, [&] { VScroll1->setEnabled(!(Picture2->ScaleHeight() >= mScaledHeight)); });
        // What a screen reader hears of the card follows what it shows; a
        // refused zoom below leaves the card as it was.
        DescribeCard(mZoom);
    } else {
        trap.step(124, [&] { mZoom = 1.0f; });
        trap.step(126, [&] { mBaseWidth = ToInt32(Zoom_Ori->ScaleWidth() - 2); });
        trap.step(128, [&] { mBaseHeight = ToInt32(Zoom_Ori->ScaleHeight() - 2); });
        trap.step(130, [&] { mScaledWidth = FloorToInt32(double(mBaseWidth) * 1); });
        trap.step(132, [&] { mScaledHeight = FloorToInt32(double(mBaseHeight) * 1); });
    }
    return painted;
}

void Form2::SetZoom(float newZoom)
{
    if (newZoom >= 0.25f && newZoom <= 4.0f) {
        mZoom = newZoom;
        // The scroll range and step follow the size now shown; a refused
        // zoom shows nothing new, so the canvas and the scrollbars stay put.
        if (RedrawImage())
            SetupScrollbars();
    }
}

void Form2::StepZoom(int32_t direction)
{
    const float newZoom = direction == 0 ? mZoom + 0.25f : mZoom - 0.25f;
    SetZoom(newZoom);
}

void Form2::PushButton1_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.PushButton1_Click");
    trap.step(100, [&] { StepZoom(0); });
}

void Form2::PushButton2_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.PushButton2_Click");
    trap.step(100, [&] { StepZoom(1); });
}

void Form2::SetupScrollbars()
{
    Picture1->SetTop(0);
    Picture1->SetLeft(0);
    SetupScrollbar(HScroll1, Picture1->Width(), Picture2->Width(), mHStep);
    SetupScrollbar(VScroll1, Picture1->Height(), Picture2->Height(), mVStep);
}

void Form2::SetupScrollbar(QScrollBar* bar, double canvasExtent, double viewportExtent, int16_t& step)
{
    const float difference = float(canvasExtent) - float(viewportExtent);
    if (float(canvasExtent) <= float(viewportExtent)) {
        bar->setEnabled(false);
        step = 0;
        return;
    }
    if (difference <= 100) {
        bar->setEnabled(true);
        bar->setMaximum(ToInt16(difference));
        step = 1;
        bar->setValue(0);
        return;
    }
    // Ten twips a unit, unless the range would not fit a 16-bit Max: then
    // the smallest multiple of ten that makes it fit.
    int16_t wideStep = 10;
    while (RoundHalfEven(difference / wideStep) > 32767)
        wideStep = Int16(wideStep + 10);
    bar->setEnabled(true);
    bar->setMaximum(ToInt16(difference / wideStep));
    step = wideStep;
    bar->setValue(0);
}

// Offsets are computed in 32 bits: with the wider steps for very large
// pictures (and at 10 twips for ranges just under 32767) a 16-bit product
// would overflow.
void Form2::HScroll1_Change()
{
    Picture1->SetLeft(float(-(int32_t(mHStep) * HScroll1->value())));
}

void Form2::VScroll1_Change()
{
    Picture1->SetTop(float(-(int32_t(mVStep) * VScroll1->value())));
}

void Form2::Picture1_MouseDown(int16_t, int16_t, float x, float y)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.picture1_MouseDown");
    trap.step(100, [&] { mDragX = x; });
    trap.step(102, [&] { mDragY = y; });
}

void Form2::Picture1_MouseMove(int16_t button, int16_t, float x, float y)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.picture1_MouseMove");
    if (trap.test(100, [&] { return button == 0; }))
        return;
    float newLeft = 0;
    float newTop = 0;
    trap.step(104, [&] { newLeft = Picture1->Left() - mDragX + x; });
    if (trap.test(106, [&] { return newLeft > 0; }))
        trap.step(108, [&] { newLeft = 0; });
    else if (trap.test(110, [&] { return float(Picture2->ScaleWidth() - Picture1->Width()) > newLeft; }))
        trap.step(112, [&] { newLeft = float(Picture2->ScaleWidth() - Picture1->Width()); });
    trap.step(114, [&] { newTop = Picture1->Top() - mDragY + y; });
    if (trap.test(116, [&] { return newTop > 0; }))
        trap.step(118, [&] { newTop = 0; });
    else if (trap.test(120, [&] { return float(Picture2->ScaleHeight() - Picture1->Height()) > newTop; }))
        trap.step(122, [&] { newTop = float(Picture2->ScaleHeight() - Picture1->Height()); });
    trap.step(124, [&] { Picture1->Move(newLeft, newTop); });
}

void Form2::Picture1_MouseUp(int16_t, int16_t, float, float)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.Picture1_MouseUp");
    int32_t px = 0;
    int32_t py = 0;
    trap.step(100, [&] {
        px = ToInt32(Divide(std::fabs(double(Picture1->Left())), Picture1->Width() - Picture2->Width()) * 100);
    });
    trap.step(102, [&] {
        py = ToInt32(Divide(std::fabs(double(Picture1->Top())), Picture1->Height() - Picture2->Height()) * 100);
    });
    trap.step(104, [&] { SetHScrollbarByPercent(HScroll1, ToInt16(px)); });
    trap.step(106, [&] { SetVScrollbarByPercent(VScroll1, ToInt16(py)); });
}

void Form2::SetHScrollbarByPercent(QScrollBar* HScrollbar, int16_t percent)
{
    SetScrollbarByPercent(HScrollbar, percent);
}

void Form2::SetVScrollbarByPercent(QScrollBar* VScrollbar, int16_t percent)
{
    SetScrollbarByPercent(VScrollbar, percent);
}

void Form2::SetScrollbarByPercent(QScrollBar* bar, int16_t percent)
{
    if (percent > 100 || percent < 0)
        return;
    const int16_t value = ToInt16(percent / 100.0 * bar->maximum());
    // A different value runs the change handler, which snaps the canvas.
    bar->setValue(value);
}

void Form2::PushButton6_Click()
{
    mOutput->SaveWordFile(mWordFile);
}

void Form2::mnuPrint_Click()
{
    mOutput->Print(mWordFile);
}

void Form2::mnuSavePdf_Click()
{
    mOutput->SavePdf(mWordFile);
}

void Form2::mnuSendMail_Click()
{
    mOutput->SendByEmail(mWordFile);
}

void Form2::mnuCopy_Click()
{
    mOutput->Copy(mWordFile);
}

void Form2::mnuSavePicture_Click()
{
    mOutput->SavePicture(mWordFile);
}

void Form2::KeepCardPdf(const QString& cardDocument, const QByteArray& pdf)
{
    mOutput->KeepCardPdf(cardDocument, pdf);
}

void Form2::PushButton8_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.PushButton8_Click");
    mOutput->ForgetCardPdf();
    trap.step(102, [&] { DeleteFileQuietly(mWordFile); });
    trap.step(104, [&] { Need(mMainWindow).show(); });
    trap.step(106, [&] { hide(); });
}

void Form2::Form_QueryUnload()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.Form_QueryUnload");
    mOutput->ForgetCardPdf();
    trap.step(100, [&] { DeleteFileQuietly(mWordFile); });
    trap.step(102, [&] { DoEvents(); });
    trap.step(104, [&] { DoEvents(); });
}

bool Form2::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !mActivating)
        RunActivation();
    return QWidget::event(event);
}

void Form2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!mCentred) {
        CentreOnScreen(this);
        mCentred = true;
    }
    // Not every window system activates a window as it is shown; the
    // activation handler runs here too and finds nothing left to do later.
    if (!mActivating)
        RunActivation();
}

void Form2::RunActivation()
{
    // A message box shown during the set-up hands the activation back to
    // this window; that must not start the set-up again.
    mActivating = true;
    Form_Activate();
    mActivating = false;
}

void Form2::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
    // Unloading the window ends the program.
    mPlatform.programEnd.end();
}

void Form2::mouseMoveEvent(QMouseEvent* event)
{
    mPointer.hover(WindowPointer::Default);
    QWidget::mouseMoveEvent(event);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Frame1 && event->type() == QEvent::MouseMove)
        mPointer.hover(WindowPointer::Default);
    if ((watched == Picture1 || watched == Picture2 || watched == Picture2->clientArea()) && CardInput(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void Form2::WatchCardInput()
{
    // Whichever of them is under the mouse: the canvas, the viewport's
    // empty part beside a small canvas, or the viewport's border.
    Picture2->installEventFilter(this);
    Picture2->clientArea()->installEventFilter(this);
    Picture1->installEventFilter(this);
}

bool Form2::CardInput(QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        const bool fromKeyboard = request->reason() != QContextMenuEvent::Mouse;
        ShowCardMenu(fromKeyboard, request->globalPos());
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        CardWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::KeyPress)
        return CardKey(static_cast<QKeyEvent*>(event));
    return false;
}

void Form2::CardWheel(QWheelEvent* event)
{
    const bool zoom = event->modifiers() & Qt::ControlModifier;
    QPoint turn = event->angleDelta();
    // Shift turns an ordinary wheel sideways.
    if (!zoom && (event->modifiers() & Qt::ShiftModifier) && turn.x() == 0)
        turn = QPoint(turn.y(), 0);
    mWheelTurn += turn;
    const QPoint notches(mWheelTurn.x() / 120, mWheelTurn.y() / 120);
    mWheelTurn -= notches * 120;
    if (zoom) {
        // Away from the user zooms in, as in other viewers.
        const int steps = notches.y() != 0 ? notches.y() : notches.x();
        for (int step = 0; step < std::abs(steps); ++step) {
            if (steps > 0)
                PushButton1_Click();
            else
                PushButton2_Click();
        }
        return;
    }
    // Turning away from the user shows what lies above (or to the left).
    ScrollBySmallChanges(HScroll1, -notches.x());
    ScrollBySmallChanges(VScroll1, -notches.y());
}

void Form2::ShowCardMenu(bool fromKeyboard, const QPoint& mouseAt)
{
    // From the keyboard the menu opens in the middle of the card view with
    // its first entry chosen: Up and Down move, Enter takes one, and a
    // screen reader announces the entry.
    mnuCard->setActiveAction(fromKeyboard ? mnuPrint : nullptr);
    mnuCard->popup(fromKeyboard ? Picture2->mapToGlobal(Picture2->rect().center()) : mouseAt);
}

bool Form2::CardKey(QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // The Menu key comes as a context menu request of its own.
    if (event->key() == Qt::Key_F10 && event->modifiers() & Qt::ShiftModifier) {
        ShowCardMenu(true);
        return true;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        ScrollBySmallChanges(HScroll1, -1);
        return true;
    case Qt::Key_Right:
        ScrollBySmallChanges(HScroll1, 1);
        return true;
    case Qt::Key_Up:
        ScrollBySmallChanges(VScroll1, -1);
        return true;
    case Qt::Key_Down:
        ScrollBySmallChanges(VScroll1, 1);
        return true;
    case Qt::Key_PageUp:
        if (VScroll1->isEnabled())
            VScroll1->triggerAction(QAbstractSlider::SliderPageStepSub);
        return true;
    case Qt::Key_PageDown:
        if (VScroll1->isEnabled())
            VScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        return true;
    default:
        return false;
    }
}

// As clicks on the scrollbar's arrows: the bar keeps within its range and
// its change handler moves the canvas. A disabled bar does not move.
void Form2::ScrollBySmallChanges(QScrollBar* bar, int changes)
{
    if (!bar->isEnabled())
        return;
    for (int change = 0; change < std::abs(changes); ++change)
        bar->triggerAction(changes > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
}

void Form2::keyPressEvent(QKeyEvent* event)
{
    // Anywhere in the window; Shift is allowed for the plus sign, which
    // needs it on many layouts.
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if ((held & ~Qt::ShiftModifier) == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            PushButton1_Click();
            return;
        case Qt::Key_Minus:
            PushButton2_Click();
            return;
        case Qt::Key_S:
            // Held down, it would open one Save dialog after the other.
            if (held == Qt::ControlModifier && !event->isAutoRepeat())
                PushButton6_Click();
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}

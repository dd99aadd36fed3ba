// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Form1.h"

#include "Accessibility.h"
#include "ErrorTrap.h"
#include "Form2.h"
#include "IsInstalled.h"
#include "Main.h"
#include "Platform.h"
#include "PushButton.h"
#include "Skin.h"
#include "TextBox.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QMouseEvent>

Form1::Form1(Platform& platform, SkinComponent& skin)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , mPlatform(platform)
    , mSkin(skin)
    , mPointer(this)
{
    SetAccessibleRole(this, QAccessible::Window);
    SetFixedSizeInTwips(this, 8040, 4395);
    setFont(DesignFont("Arial", 9, true));
    UseWhiteBackground(this);
    setMouseTracking(true);

    Frame1 = new QGroupBox(tr("Short Message"), this);
    PlaceInTwips(Frame1, 120, 1110, 7800, 3165);
    UseWhiteBackground(Frame1);
    Frame1->setMouseTracking(true);
    Frame1->installEventFilter(this);

    Text1 = new TextBox(Frame1);
    PlaceInTwips(Text1, 240, 300, 7320, 2685);
    Text1->viewport()->setMouseTracking(true);
    Text1->viewport()->installEventFilter(this);
    connect(Text1, &TextBox::changed, this, [this] {
        // Typing has no error message of its own; the next start shows
        // whatever was last stored.
        try {
            Text1_Change();
        } catch (...) {
        }
    });
    connect(Text1, &TextBox::gotFocus, this, &Form1::Text1_GotFocus);

    PushButton6 = MakePushButton(this, tr("Start Creating Template"), 120, 120, 7800, 405, mPointer);
    PushButton2 = MakePushButton(this, tr("Help"), 120, 630, 3840, 405, mPointer);
    PushButton3 = MakePushButton(this, tr("Load Sample/Example Data"), 4080, 630, 3840, 405, mPointer);
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);

    setTabOrder(Text1, PushButton6);
    setTabOrder(PushButton6, PushButton2);
    setTabOrder(PushButton2, PushButton3);
    Text1->setFocus();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form1.Form_Load");
    trap.step(100, [&] { ApplySkin(this, mSkin, mPlatform.programFolder); });
    trap.step(104, [&] { setWindowTitle(QString::fromLatin1(kProductName)); });
    trap.step(104, [&] { setWindowIcon(QIcon(QStringLiteral(":/icons/app.ico"))); });
    trap.step(104, [&] { SetAppTitle(); });
    if (trap.test(122, [&] { return FileExists(mPlatform.programFolder + QStringLiteral("/HAND-M.CUR")); }))
        trap.step(124, [&] { mPointer.setCustomCursor(LoadCursorFile(mPlatform.programFolder + QStringLiteral("/HAND-M.CUR"))); });
    trap.step(126, [&] { OpenHomePageAtRandom(); });
    trap.step(128, [&] { RestoreMessage(); });
    trap.step(130, [&] { CheckWordInstalled(mPlatform); });
}

void Form1::OpenHomePageAtRandom()
{
    mPlatform.randomize(mPlatform.timer());
    const int n = int(mPlatform.random() * 100) + 1;
    if (n == 7)
        mPlatform.processes.startDetached(QStringLiteral("xdg-open"), {QString::fromLatin1(kHomePageUrl)});
}

void Form1::PushButton2_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form1.PushButton2_Click");
    trap.step(100, [&] {
        mPlatform.messageBoxes.show(tr("Questions? Please contact the Pelorin Cards Support Team, %1")
                                        .arg(QString::fromLatin1(kSupportPage)),
                                    AppTitle(), MessageBoxes::OkOnly);
    });
}

Form2& Form1::Preview()
{
    if (!mForm2) {
        mForm2 = std::make_unique<Form2>(mPlatform, this);
        mForm2->Form_Load();
    }
    return *mForm2;
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    mPlatform.programEnd.end();
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    mPointer.hover(WindowPointer::Default);
    QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == Frame1 || watched == Text1->viewport()))
        mPointer.hover(WindowPointer::Default);
    return QWidget::eventFilter(watched, event);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// The message: restored at start, stored on every change, selected on focus,
// replaceable by the sample.

#include "ErrorTrap.h"
#include "Form1.h"
#include "Main.h"
#include "Platform.h"
#include "TextBox.h"

#include <QTextCursor>

QString SampleMessage()
{
    return QStringLiteral("Dear Tobin,\r\n"
                          "Thank you for your generosity.\r\n"
                          "I'm so glad I have you in my life.\r\n"
                          "With love,");
}

void Form1::SetMessage(const QString& text)
{
    Text1->setText(text);
    Text1_Change();
}

void Form1::RestoreMessage()
{
    SetMessage(mPlatform.settings.read(QString::fromLatin1(kSettingsApplication), QString::fromLatin1(kProductName),
                                       QStringLiteral("Text1"), SampleMessage()));
}

void Form1::Text1_Change()
{
    mPlatform.settings.write(QString::fromLatin1(kSettingsApplication), QString::fromLatin1(kProductName),
                             QStringLiteral("Text1"), Text1->text());
}

void Form1::Text1_GotFocus()
{
    Text1->selectAll();
}

void Form1::PushButton3_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form1.PushButton3_Click");
    trap.step(100, [&] { SetMessage(SampleMessage()); });
}

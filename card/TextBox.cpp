// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "TextBox.h"

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves through the window's controls; a tab character is no part of a card.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (mSettingFromCode)
            return;
        mTextIsExact = false;
        emit changed();
    });
}

QString TextBox::text() const
{
    if (mTextIsExact)
        return mText;
    QString content = toPlainText();
    content.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return content;
}

void TextBox::setText(const QString& text)
{
    mSettingFromCode = true;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
    mSettingFromCode = false;
    mText = text;
    mTextIsExact = true;
}

void TextBox::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    emit gotFocus();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The message text box: a multi-line box whose text uses CR LF between lines.
// Text set from code reads back exactly as it was set, whatever it holds.

#include <QPlainTextEdit>

class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    QString text() const;
    // Replaces the whole content without raising `changed`.
    void setText(const QString& text);

signals:
    void changed();   // the user changed the content
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    QString mText;
    bool mTextIsExact = true;
    bool mSettingFromCode = false;
};

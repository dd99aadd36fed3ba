// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The main window: the message, the button that makes the card, the sample
// button and Help. Its load handler carries the program's start-up.

#include "WindowPointer.h"

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>

class QGroupBox;
class TextBox;
class PushButton;
class Form2;
class SkinComponent;
struct Platform;

class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(Platform& platform, SkinComponent& skin);
    ~Form1() override;

    // The start-up sequence; the caller shows the window afterwards unless
    // the program was ended meanwhile.
    void Form_Load();

    // Handlers, public so tests can drive them as the events would.
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton6_Click();
    void Text1_Change();
    void Text1_GotFocus();
    // The card's picture into temp.bmp; the PDF it was drawn from is kept
    // for the preview (empty when the picture failed).
    void SaveDocAsJPG(const QString& inFile);

    // The preview window; the first use creates and loads it.
    Form2& Preview();
    bool previewLoaded() const { return mForm2 != nullptr; }

    WindowPointer& pointer() { return mPointer; }
    bool busy() const { return mBusy; }

    TextBox* Text1;
    QGroupBox* Frame1;
    PushButton* PushButton6;
    PushButton* PushButton2;
    PushButton* PushButton3;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Warns when the card's engine has no font for some characters of the message.
    void TellOfCharactersWithoutFont(const QString& message);
    void OpenHomePageAtRandom();
    void RestoreMessage();
    // Sets the message as code does: the change handler runs too.
    void SetMessage(const QString& text);

    Platform& mPlatform;
    SkinComponent& mSkin;
    WindowPointer mPointer;
    bool mBusy = false;
    QByteArray mCardPdf;
    std::unique_ptr<Form2> mForm2;
};

// The sample message: four lines joined by CR LF.
QString SampleMessage();

class Clipboard;
class QImage;
// The clipboard's picture, asked for at most 1000 times; null when none came.
QImage GetClipboardPicture(Clipboard& clipboard, int format);

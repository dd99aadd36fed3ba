// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The preview window: the card picture in a scrollable viewport, two zoom
// buttons, "< Back" and "Save Results To Word File". The card's context
// menu prints it ("Print…", Ctrl+P), saves it as a PDF, sends it by e-mail,
// copies it (Ctrl+C on the card) or saves it as a picture. What takes the
// card out of the program is CardOutput's; the window wires it up.
//
// Picture1 (the canvas) shows the picture at the current zoom inside
// Picture2 (the viewport); Zoom_Ori keeps the unscaled picture out of sight.
// All geometry is in twips.

#include "WindowPointer.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class BusyWindow;
class CardOutput;
class PictureBox;
class PushButton;
class QAction;
class QGroupBox;
class QKeyEvent;
class QMenu;
class QScrollBar;
class QWheelEvent;
struct Platform;

class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(Platform& platform, QWidget* mainWindow);
    ~Form2() override;

    // Creation steps; the creator calls it once, right after constructing.
    void Form_Load();
    // The next activation sets the window up for a new card: the new picture
    // into the holder, zoom 1.0, repaint and scrollbars. `message` is what
    // was typed into the card, none when typing failed and the card shows
    // the template's own text; a screen reader hears it from the card, which
    // takes the focus.
    void ResetForNewCard(const std::optional<QString>& message);
    // The card's PDF as the office exported it from `cardDocument`, which
    // printing and saving as PDF then take as it is; "< Back" and the close
    // drop it with the document.
    void KeepCardPdf(const QString& cardDocument, const QByteArray& pdf);

    // Handlers, public so tests can drive them as the events would.
    void Form_Activate();
    void Form_QueryUnload();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton6_Click();
    void PushButton8_Click();
    void mnuPrint_Click();
    void mnuSavePdf_Click();
    void mnuSendMail_Click();
    void mnuCopy_Click();
    void mnuSavePicture_Click();
    void Picture1_MouseDown(int16_t button, int16_t shift, float x, float y);
    void Picture1_MouseMove(int16_t button, int16_t shift, float x, float y);
    void Picture1_MouseUp(int16_t button, int16_t shift, float x, float y);
    void HScroll1_Change();
    void VScroll1_Change();

    // True when the picture was painted, false when the zoom was reset.
    bool RedrawImage();
    void SetZoom(float newZoom);
    // 0 zooms in, anything else out.
    void StepZoom(int32_t direction);
    void SetupScrollbars();
    void SetHScrollbarByPercent(QScrollBar* HScrollbar, int16_t percent);
    void SetVScrollbarByPercent(QScrollBar* VScrollbar, int16_t percent);

    WindowPointer& pointer() { return mPointer; }
    // While a print or an export runs; the window takes no input then.
    bool busy() const;
    bool firstActivation() const { return mFirstActivation; }
    float zoom() const { return mZoom; }
    int32_t baseWidth() const { return mBaseWidth; }
    int32_t baseHeight() const { return mBaseHeight; }
    int32_t scaledWidth() const { return mScaledWidth; }
    int32_t scaledHeight() const { return mScaledHeight; }
    int16_t hStep() const { return mHStep; }
    int16_t vStep() const { return mVStep; }

    // The card document in the temporary folder.
    QString mWordFile;

    PictureBox* Picture2;
    PictureBox* Picture1;
    PictureBox* Zoom_Ori;
    QScrollBar* VScroll1;
    QScrollBar* HScroll1;
    QGroupBox* Frame1;
    PushButton* PushButton1;
    PushButton* PushButton2;
    PushButton* PushButton8;
    PushButton* PushButton6;
    // The card's context menu and its entries.
    QMenu* mnuCard;
    QAction* mnuPrint;
    QAction* mnuSavePdf;
    QAction* mnuSendMail;
    QAction* mnuCopy;
    QAction* mnuSavePicture;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RunActivation();
    // Opens the card's menu, under the mouse or, from the keyboard, on the card.
    void ShowCardMenu(bool fromKeyboard, const QPoint& mouseAt = QPoint());
    // The card's accessible description: its message and the zoom shown.
    void DescribeCard(float zoom);
    // The wheel over the card and the keys take the paths of the scrollbars
    // and of the buttons, so every rule of those applies unchanged.
    void WatchCardInput();
    bool CardInput(QEvent* event);
    void CardWheel(QWheelEvent* event);
    bool CardKey(QKeyEvent* event);
    void ScrollBySmallChanges(QScrollBar* bar, int changes);
    void SetScrollbarByPercent(QScrollBar* bar, int16_t percent);
    void SetupScrollbar(QScrollBar* bar, double canvasExtent, double viewportExtent, int16_t& step);

    Platform& mPlatform;
    QWidget* mMainWindow;
    WindowPointer mPointer;
    bool mCentred = false;
    bool mActivating = false;
    BusyWindow* mBusy;
    std::unique_ptr<CardOutput> mOutput;

    bool mFirstActivation = false;
    std::optional<QString> mCardMessage;
    float mZoom = 0;
    int32_t mBaseWidth = 0;
    int32_t mBaseHeight = 0;
    int32_t mScaledWidth = 0;
    int32_t mScaledHeight = 0;
    int16_t mHStep = 0;
    int16_t mVStep = 0;
    float mDragX = 0;
    float mDragY = 0;
    // Wheel turn not yet used up, in eighths of a degree (a notch is 120):
    // touchpads and fine wheels deliver a notch in parts.
    QPoint mWheelTurn;
};

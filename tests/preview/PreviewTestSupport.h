// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Pictures and a preview window for the preview tests. Pictures are stored
// at 3780 dots per metre (96 dpi), so at the offscreen screen's 15 twips per
// pixel a picture of w x h pixels is exactly 15w x 15h twips.

#include "Fakes.h"
#include "Form2.h"
#include "PictureBox.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

inline QImage ScreenPicture(int width, int height, QColor color = QColor(40, 90, 160))
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(color);
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    return picture;
}

// A turn of the wheel over `widget` (120 a notch, positive away from the
// user or to the left), delivered as the window system would.
inline void TurnWheel(QWidget* widget, QPoint turn, Qt::KeyboardModifiers modifiers = {}, QPoint at = {10, 10})
{
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), turn, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// The preview window as the main window leaves it: created, loaded, with a
// card picture and document, and not yet activated.
struct PreviewWindow {
    TestPlatform test;
    QWidget mainWindow;
    Form2 form{test.platform, &mainWindow};

    explicit PreviewWindow(const QImage& picture = ScreenPicture(408, 528))
    {
        form.Form_Load();
        form.Picture1->setPicture(picture);
    }
    // The first activation: zoom 1.0, painted, scrollbars set up.
    PreviewWindow& activated()
    {
        form.Form_Activate();
        return *this;
    }
    QStringList errors() const { return test.messageBoxes.errorSteps(); }
};

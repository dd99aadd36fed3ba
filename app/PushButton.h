// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The push button of both windows: a click, and a mouse-move event that
// carries the button state, the shift state and the position.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

class WindowPointer;

class PushButton : public QPushButton {
    Q_OBJECT
public:
    explicit PushButton(const QString& caption, QWidget* parent = nullptr) : QPushButton(caption, parent)
    {
        setMouseTracking(true);
    }

signals:
    void mouseMoved(int button, int shift, float x, float y);

protected:
    // Space presses the button as QPushButton does; Enter and Return do too,
    // as on any focused button of a desktop program.
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            event->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPointF at = event->position();
        emit mouseMoved(int(event->buttons()), int(event->modifiers() >> 25), float(at.x()), float(at.y()));
        QPushButton::mouseMoveEvent(event);
        // Handled here: the window behind must not take it as its own move.
        event->accept();
    }
};

// A button of the windows' design, placed in twips inside `container`:
// caption in Arial 11.25 pt bold on white, the hand pointer while the mouse
// moves over it (unless the window is busy).
PushButton* MakePushButton(QWidget* container, const QString& caption, int left, int top, int width, int height,
                           WindowPointer& pointer);

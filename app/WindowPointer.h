// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The mouse pointer of a whole window: default (0), busy (11) or custom (99).
// The state covers the window's controls too and stays until changed.

#include <QCursor>
#include <QHash>
#include <QPointer>

class QWidget;

class WindowPointer {
public:
    enum State { Default = 0, Busy = 11, Custom = 99 };

    explicit WindowPointer(QWidget* window) : mWindow(window) {}

    State state() const { return mState; }
    void set(State state);
    // The hover rule: a mouse move sets `state` unless the window is busy.
    void hover(State state);

    // The custom cursor; without one the custom state shows the arrow.
    void setCustomCursor(const QCursor& cursor);
    bool hasCustomCursor() const { return mHasCustom; }
    // What the window shows now (for the window itself).
    Qt::CursorShape shape() const;

private:
    void apply();

    QWidget* mWindow;
    State mState = Default;
    QCursor mCustom;
    bool mHasCustom = false;
    // Controls with a cursor of their own (the text cursor of a text box),
    // restored when the window returns to the default state.
    QHash<QWidget*, QCursor> mOwnCursors;
    bool mOwnCursorsRecorded = false;
};

// Loads a cursor file (.cur); throws Failure when it cannot be read.
QCursor LoadCursorFile(const QString& path);

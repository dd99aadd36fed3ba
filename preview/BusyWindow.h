// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// A window's busy state: while it is set, the input meant for the window or
// any of its controls is dropped and its actions are off, and everything
// else (painting, a timer, a close from the window system) goes on. The
// window's pointer is its own concern.

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

class BusyWindow : public QObject {
public:
    explicit BusyWindow(QWidget* window);

    bool busy() const { return mBusy; }
    void set(bool busy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* mWindow;
    bool mBusy = false;
    QList<QPointer<QAction>> mSwitchedOff;
};

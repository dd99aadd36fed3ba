// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "BusyWindow.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QWidget>

BusyWindow::BusyWindow(QWidget* window) : QObject(window), mWindow(window) {}

void BusyWindow::set(bool busy)
{
    mBusy = busy;
    // A shortcut goes to its action past every filter of input, so the
    // window's actions are switched off instead, and on again as they were.
    if (busy) {
        for (QAction* action : mWindow->findChildren<QAction*>())
            if (action->isEnabled()) {
                action->setEnabled(false);
                mSwitchedOff << action;
            }
    } else {
        for (QAction* action : std::as_const(mSwitchedOff))
            if (action)
                action->setEnabled(true);
        mSwitchedOff.clear();
    }
    // Input reaches the application's filters before any widget.
    if (busy)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

namespace {
bool IsInput(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}
} // namespace

bool BusyWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (mBusy && IsInput(event)) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == mWindow || mWindow->isAncestorOf(widget)))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "WindowPointer.h"

#include "ErrorTrap.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QWidget>

void WindowPointer::set(State state)
{
    mState = state;
    apply();
}

void WindowPointer::hover(State state)
{
    if (mState != Busy && mState != state)
        set(state);
}

void WindowPointer::setCustomCursor(const QCursor& cursor)
{
    mCustom = cursor;
    mHasCustom = true;
    if (mState == Custom)
        apply();
}

Qt::CursorShape WindowPointer::shape() const
{
    switch (mState) {
    case Busy:
        return Qt::WaitCursor;
    case Custom:
        return mHasCustom ? mCustom.shape() : Qt::ArrowCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void WindowPointer::apply()
{
    const QList<QWidget*> children = mWindow->findChildren<QWidget*>();
    if (!mOwnCursorsRecorded) {
        for (QWidget* child : children)
            if (child->testAttribute(Qt::WA_SetCursor))
                mOwnCursors.insert(child, child->cursor());
        mOwnCursorsRecorded = true;
    }
    if (mState == Default) {
        mWindow->unsetCursor();
        for (QWidget* child : children) {
            const auto own = mOwnCursors.constFind(child);
            if (own != mOwnCursors.constEnd())
                child->setCursor(*own);
            else
                child->unsetCursor();
        }
        return;
    }
    const QCursor cursor = mState == Custom ? (mHasCustom ? mCustom : QCursor(Qt::ArrowCursor)) : QCursor(Qt::WaitCursor);
    mWindow->setCursor(cursor);
    for (QWidget* child : children)
        child->setCursor(cursor);
}

QCursor LoadCursorFile(const QString& path)
{
    QImageReader reader(path, "cur");
    const QImage image = reader.read();
    if (image.isNull())
        throw Failure(QCoreApplication::translate("WindowPointer", "Invalid picture"));
    // The hot spot sits in the directory entry (planes and bit count fields).
    int hotX = 0;
    int hotY = 0;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(22);
        if (head.size() == 22) {
            hotX = uchar(head[10]) | (uchar(head[11]) << 8);
            hotY = uchar(head[12]) | (uchar(head[13]) << 8);
        }
    }
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

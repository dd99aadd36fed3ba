// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Skin.h"

#include "ErrorTrap.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {
// The system button-face colour, taken from the application's palette so it
// follows the user's scheme. It goes into the widget's Window role: the
// Button role of the designed look is white (the push buttons inherit it),
// so switching the background role to Button would still paint white.
void UseButtonFace(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

bool IsRecolouredKind(QWidget* control, bool includePictureBoxes)
{
    return qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control)
        || qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control)
        || (includePictureBoxes && control->inherits("PictureBox"));
}

void Recolour(QWidget* window, bool includePictureBoxes)
{
    UseButtonFace(window);
    for (QWidget* control : window->findChildren<QWidget*>())
        if (IsRecolouredKind(control, includePictureBoxes))
            UseButtonFace(control);
}

// Only an ordinary file counts: folders and hidden files do not.
bool SkinFilePresent(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}
} // namespace

QVariant StyleSheetSkin::invoke(int dispatchId, const QVariantList& arguments)
{
    switch (dispatchId) {
    case 2: {
        if (arguments.isEmpty())
            throw Failure(QCoreApplication::translate("Skin", "Argument not optional"));
        QFile file(arguments.first().toString());
        if (!file.open(QIODevice::ReadOnly))
            throw Failure(QCoreApplication::translate("Skin", "Cannot load the skin %1: %2")
                .arg(file.fileName(), file.errorString()));
        const QByteArray content = file.readAll();
        mStyleSheet = QString::fromUtf8(content);
        if (mStyleSheet.toUtf8() != content || content.contains('\0'))
            throw Failure(QCoreApplication::translate("Skin", "The skin file is damaged: %1").arg(file.fileName()));
        mLoaded = true;
        return {};
    }
    case 3: {
        if (!mLoaded)
            throw Failure(QCoreApplication::translate("Skin", "No skin loaded"));
        QWidget* window = arguments.isEmpty() ? nullptr : QWidget::find(WId(arguments.first().toULongLong()));
        if (!window)
            throw Failure(QCoreApplication::translate("Skin", "Invalid window handle"));
        if (mAllWindows || mNewWindows)
            qApp->setStyleSheet(mStyleSheet);
        else
            window->setStyleSheet(mStyleSheet);
        return {};
    }
    default:
        throw Failure(QCoreApplication::translate("Skin", "Member not found"));
    }
}

QVariant StyleSheetSkin::getProperty(int dispatchId)
{
    switch (dispatchId) {
    case 1:
        return mOptions;
    case 5:
        return mAllWindows;
    case 10:
        return mNewWindows;
    default:
        throw Failure(QCoreApplication::translate("Skin", "Member not found"));
    }
}

void StyleSheetSkin::setProperty(int dispatchId, const QVariant& value)
{
    switch (dispatchId) {
    case 1:
        mOptions = value.toInt();
        break;
    case 5:
        mAllWindows = value.toBool();
        break;
    case 10:
        mNewWindows = value.toBool();
        break;
    default:
        throw Failure(QCoreApplication::translate("Skin", "Member not found"));
    }
}

QFont DesignFont(const char* family, double points, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void UseWhiteBackground(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Button, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void ApplySkin(QWidget* mainWindow, SkinComponent& skin, const QString& programFolder)
{
    if (!SkinFilePresent(programFolder + QStringLiteral("/x/o.cjs")))
        return;
    Recolour(mainWindow, true);
    skin.invoke(2, {programFolder + QStringLiteral("/x/o.cjs"), QString()});
    const int options = skin.getProperty(1).toInt();
    skin.setProperty(1, options | 1);
    skin.setProperty(5, true);
    skin.setProperty(10, true);
    skin.invoke(3, {QVariant::fromValue(qulonglong(mainWindow->winId()))});
}

void ApplyFormColors(QWidget* window)
{
    Recolour(window, false);
}

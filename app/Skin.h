// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Window skinning: the optional skin file beside the program hands the main
// window's look to a skin component; both windows take the button-face colour.

#include <QFont>
#include <QVariant>
#include <QVariantList>

class QWidget;

// A component reached only by dispatch id; any failing call throws Failure.
class SkinComponent {
public:
    virtual ~SkinComponent() = default;
    virtual QVariant invoke(int dispatchId, const QVariantList& arguments) = 0;
    virtual QVariant getProperty(int dispatchId) = 0;
    virtual void setProperty(int dispatchId, const QVariant& value) = 0;
};

// Our skin component: the skin file is a Qt style sheet.
//   2 load(path, name)       1 options (bit 0: skin message boxes and dialogs too)
//   5 apply to every window  10 apply to windows created later
//   3 apply(window handle)
class StyleSheetSkin : public SkinComponent {
public:
    QVariant invoke(int dispatchId, const QVariantList& arguments) override;
    QVariant getProperty(int dispatchId) override;
    void setProperty(int dispatchId, const QVariant& value) override;

private:
    QString mStyleSheet;
    bool mLoaded = false;
    int mOptions = 0;
    bool mAllWindows = false;
    bool mNewWindows = false;
};

// The designed look of the windows: a font, and the white background that
// windows, frames and buttons have until the button-face colour replaces it.
QFont DesignFont(const char* family, double points, bool bold);
void UseWhiteBackground(QWidget* widget);

// Sets the skin on `mainWindow` when an ordinary file x/o.cjs is beside the program.
void ApplySkin(QWidget* mainWindow, SkinComponent& skin, const QString& programFolder);
// Gives `window` and its frames, labels, option buttons and check boxes the button-face colour.
void ApplyFormColors(QWidget* window);

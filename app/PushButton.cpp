// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "PushButton.h"

#include "Skin.h"
#include "Twips.h"
#include "WindowPointer.h"

PushButton* MakePushButton(QWidget* container, const QString& caption, int left, int top, int width, int height,
                           WindowPointer& pointer)
{
    auto* button = new PushButton(caption, container);
    PlaceInTwips(button, left, top, width, height);
    button->setFont(DesignFont("Arial", 11.25, true));
    UseWhiteBackground(button);
    QObject::connect(button, &PushButton::mouseMoved, button, [&pointer] { pointer.hover(WindowPointer::Custom); });
    return button;
}

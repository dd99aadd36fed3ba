// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Twips.h"

#include "Conversions.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

double TwipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int TwipsToPixels(double twips)
{
    return int(RoundHalfEven(twips / TwipsPerPixel()));
}

double PixelsToTwips(double pixels)
{
    return pixels * TwipsPerPixel();
}

QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

void PlaceInTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(TwipsRect(left, top, width, height));
}

#include <QImage>

QSizeF PictureSizeInTwips(const QImage& picture)
{
    auto twipsPerPixel = [](int dotsPerMeter) {
        return dotsPerMeter > 0 ? 1440.0 / (dotsPerMeter * 0.0254) : TwipsPerPixel();
    };
    return QSizeF(picture.width() * twipsPerPixel(picture.dotsPerMeterX()),
                  picture.height() * twipsPerPixel(picture.dotsPerMeterY()));
}

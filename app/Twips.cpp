// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Twips.h"

#include "Conversions.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

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

namespace {
// Asks for the fixed size again whenever the window's screen changes, so the
// native window follows the new screen's device pixel ratio.
class SizeKeeper : public QObject {
public:
    explicit SizeKeeper(QWidget* window) : QObject(window), mWindow(window) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ScreenChangeInternal && mWindow->windowHandle())
            mWindow->windowHandle()->resize(mWindow->minimumSize());
        return false;
    }

private:
    QWidget* mWindow;
};
} // namespace

void SetFixedSizeInTwips(QWidget* window, int width, int height)
{
    window->setFixedSize(TwipsToPixels(width), TwipsToPixels(height));
    window->installEventFilter(new SizeKeeper(window));
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

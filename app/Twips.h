// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Window geometry is kept in twips (1/1440 inch) and converted to device
// pixels with the screen's logical DPI.

#include <QRect>

class QWidget;

double TwipsPerPixel();
int TwipsToPixels(double twips);
double PixelsToTwips(double pixels);
QRect TwipsRect(int left, int top, int width, int height);
// Places `widget` at a rectangle given in twips, relative to its parent.
void PlaceInTwips(QWidget* widget, int left, int top, int width, int height);
// Gives a window a fixed size in twips, which it keeps on every screen: moved
// by the window manager onto a denser screen, its native window would keep
// its pixels and so show only part of the window, larger.
void SetFixedSizeInTwips(QWidget* window, int width, int height);

class QImage;
class QSizeF;
// A picture's natural size in twips: its pixels at the resolution stored in
// the picture (dots per metre), or at the screen's when it names none.
QSizeF PictureSizeInTwips(const QImage& picture);

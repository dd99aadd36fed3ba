// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "PictureBox.h"

#include "ErrorTrap.h"
#include "Twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSizeF>
#include <qdrawutil.h>

PictureBox::PictureBox(QWidget* parent, Border border)
    : QWidget(parent)
    , mBorder(border)
    , mClient(this)
{
    if (mBorder != Border::None) {
        // A transparent inner widget: it clips the children to the client
        // area and passes the mouse on to the box.
        mClient = new QWidget(this);
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A picture box takes the focus from a click or from Tab, so the keys
    // can reach what it shows.
    setFocusPolicy(Qt::StrongFocus);
    // Mouse moves over a box belong to the box, never to the window behind it.
    setAttribute(Qt::WA_NoMousePropagation);
    setMouseTracking(true);
    applyGeometry();
}

double PictureBox::borderTwips() const
{
    return PixelsToTwips(borderPixels());
}

double PictureBox::ScaleWidth() const
{
    return mWidth - 2 * borderTwips();
}

double PictureBox::ScaleHeight() const
{
    return mHeight - 2 * borderTwips();
}

QSize PictureBox::clientPixels() const
{
    return QSize(qMax(0, TwipsToPixels(mWidth) - 2 * borderPixels()), qMax(0, TwipsToPixels(mHeight) - 2 * borderPixels()));
}

void PictureBox::SetLeft(float left)
{
    Move(left, mTop);
}

void PictureBox::SetTop(float top)
{
    Move(mLeft, top);
}

void PictureBox::SetWidth(double width)
{
    Move(mLeft, mTop, width, mHeight);
}

void PictureBox::SetHeight(double height)
{
    Move(mLeft, mTop, mWidth, height);
}

void PictureBox::Move(float left, float top)
{
    mLeft = left;
    mTop = top;
    // Only the position: the surface is neither redrawn nor rescaled.
    move(TwipsToPixels(mLeft), TwipsToPixels(mTop));
}

void PictureBox::Move(float left, float top, double width, double height)
{
    mLeft = left;
    mTop = top;
    mWidth = qMax(0.0, width);
    mHeight = qMax(0.0, height);
    applyGeometry();
}

void PictureBox::applyGeometry()
{
    const QSize outer(TwipsToPixels(mWidth), TwipsToPixels(mHeight));
    setGeometry(QRect(QPoint(TwipsToPixels(mLeft), TwipsToPixels(mTop)), outer));
    if (mClient != this)
        mClient->setGeometry(QRect(QPoint(borderPixels(), borderPixels()), clientPixels()));
    fitSurfaceToSize();
}

void PictureBox::setPicture(const QImage& picture)
{
    // Converted once here, so that no stretch-copy converts it again.
    mPicture = picture;
    const QImage::Format format = picture.format();
    if (!picture.isNull() && format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        mPicture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                     : QImage::Format_RGB32);
    if (mAutoSize)
        sizeToPicture();
    // A new picture starts a new surface: background and picture only.
    mSurfaceStale = true;
    forgetDrawings();
    update();
}

void PictureBox::setAutoSize(bool on)
{
    mAutoSize = on;
    if (mAutoSize)
        sizeToPicture();
}

void PictureBox::sizeToPicture()
{
    if (mPicture.isNull())
        return;
    // Whole device pixels, as the picture is shown.
    const QSizeF natural = PictureSizeInTwips(mPicture);
    const int border = 2 * borderPixels();
    Move(mLeft, mTop, PixelsToTwips(TwipsToPixels(natural.width()) + border),
         PixelsToTwips(TwipsToPixels(natural.height()) + border));
}

void PictureBox::setBackColor(const QColor& color)
{
    mBackColor = color;
    mSurfaceStale = true;
    forgetDrawings();
    update();
}

QRect PictureBox::toDevice(const QRect& logical) const
{
    // Edges rounded one by one, so that rectangles that meet in logical
    // pixels meet in device pixels too.
    const int left = qRound(logical.x() * mSurfaceRatio);
    const int top = qRound(logical.y() * mSurfaceRatio);
    return QRect(left, top, qRound((logical.x() + logical.width()) * mSurfaceRatio) - left,
                 qRound((logical.y() + logical.height()) * mSurfaceRatio) - top);
}

QSize PictureBox::surfaceSize() const
{
    return toDevice(QRect(QPoint(), clientPixels())).size();
}

void PictureBox::forgetDrawings()
{
    mDrawings.clear();
}

QImage PictureBox::blankSurface() const
{
    QImage blank(surfaceSize(), QImage::Format_RGB32);
    paintBlank(blank);
    return blank;
}

void PictureBox::paintBlank(QImage& blank) const
{
    blank.fill(mBackColor);
    if (!mPicture.isNull()) {
        const QSizeF natural = PictureSizeInTwips(mPicture);
        QPainter painter(&blank);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(toDevice(QRect(0, 0, TwipsToPixels(natural.width()), TwipsToPixels(natural.height()))), mPicture);
    }
}

void PictureBox::fitSurfaceToSize()
{
    // On a new screen density the next surface() paints everything again.
    if (mSurface.isNull() || mSurfaceRatio != devicePixelRatio() || mSurface.size() == surfaceSize())
        return;
    if (!mAutoRedraw || mSurfaceStale) {
        mSurface = QImage();
        forgetDrawings();
        return;
    }
    QImage resized = blankSurface();
    QPainter painter(&resized);
    painter.drawImage(0, 0, mSurface);
    painter.end();
    mSurface = resized;
}

const QImage& PictureBox::surface()
{
    const qreal ratio = devicePixelRatio();
    if (ratio != mSurfaceRatio) {
        // Another screen density (or the first surface on a dense screen):
        // everything again from the full-resolution sources.
        const bool replay = !mSurface.isNull() && !mSurfaceStale;
        mSurfaceRatio = ratio;
        mSurface = blankSurface();
        mSurfaceStale = false;
        if (replay) {
            for (const Drawing& drawing : mDrawings)
                draw(drawing);
        } else {
            forgetDrawings();
        }
        return mSurface;
    }
    if (mSurface.isNull() || mSurface.size() != surfaceSize()) {
        mSurface = blankSurface();
    } else if (mSurfaceStale) {
        // Same size: repaint the old buffer rather than allocate and fault
        // in a new one.
        paintBlank(mSurface);
    }
    mSurfaceStale = false;
    return mSurface;
}

void PictureBox::PaintPicture(const QImage& source, double x1, double y1, double width1, double height1, double x2,
                              double y2, double width2, double height2)
{
    if (source.isNull())
        throw Failure(tr("Invalid picture"));
    const QSizeF natural = PictureSizeInTwips(source);
    const QRect from = QRectF(x2 * source.width() / natural.width(), y2 * source.height() / natural.height(),
                              width2 * source.width() / natural.width(), height2 * source.height() / natural.height())
                           .toRect()
                           .intersected(source.rect());
    const QRect to(TwipsToPixels(x1), TwipsToPixels(y1), TwipsToPixels(width1), TwipsToPixels(height1));
    // An opaque picture over the whole box leaves nothing of the background
    // to see, so none is painted first: at device pixel ratio 2 that fill is
    // a fair part of a zoom.
    if (!from.isEmpty() && !source.hasAlphaChannel() && to.contains(QRect(QPoint(), clientPixels())))
        startBareSurface();
    else
        surface();
    if (from.isEmpty() || to.isEmpty())
        return;
    const Drawing drawing{source, from, to};
    draw(drawing);
    mDrawings.push_back(drawing);
    update();
}

void PictureBox::startBareSurface()
{
    mSurfaceRatio = devicePixelRatio();
    if (mSurface.size() != surfaceSize())
        mSurface = QImage(surfaceSize(), QImage::Format_RGB32);
    mSurfaceStale = false;
    // Whatever was drawn before is covered.
    forgetDrawings();
}

void PictureBox::draw(const Drawing& drawing)
{
    const QImage& source = drawing.source;
    const QRect& from = drawing.from;
    // Scaled straight to device pixels: on a dense screen every device pixel
    // gets the source's detail, not an enlarged logical pixel.
    const QRect to = toDevice(drawing.to);
    if (to.isEmpty())
        return;
    if (from == source.rect() && to == mSurface.rect() && source.size() == to.size() &&
        source.format() == mSurface.format()) {
        // The whole opaque picture at its own pixels over the whole box (a
        // dense screen at the zoom that shows the card's own resolution):
        // the surface shares the picture instead of copying every pixel. A
        // later drawing onto the surface leaves the picture as it was.
        mSurface = source;
        return;
    }
    QPainter painter(&mSurface);
    if (2 * to.width() >= from.width() && 2 * to.height() >= from.height()) {
        // Down to half size bilinear filtering still weighs every source
        // pixel, and it scales straight onto the surface without an
        // intermediate image.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(to), source, QRectF(from));
    } else {
        // Smaller still, bilinear would skip pixels: average the whole
        // full-resolution part instead, so small zooms stay legible.
        const QImage part = from == source.rect() ? source : source.copy(from);
        painter.drawImage(to.topLeft(), part.scaled(to.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (mBorder == Border::Sunken)
        qDrawWinPanel(&painter, rect(), palette(), true);
    // Only the exposed part: a drag or a partly covered canvas copies a
    // strip, not the whole surface.
    const QPoint origin(borderPixels(), borderPixels());
    const QImage& shown = surface();
    const QRect exposed = event->rect().translated(-origin).intersected(QRect(QPoint(), clientPixels()));
    const QRect from = toDevice(exposed).intersected(shown.rect());
    if (from.isEmpty())
        return;
    // Device pixels onto device pixels: the target is the part's own size at
    // the surface's ratio, so the screen gets the surface unscaled.
    const qreal ratio = mSurfaceRatio;
    painter.drawImage(QRectF(QPointF(origin) + QPointF(from.topLeft()) / ratio, QSizeF(from.size()) / ratio), shown,
                      QRectF(from));
}

void PictureBox::emitMouse(void (PictureBox::*signal)(int, int, float, float), int button, QMouseEvent* event)
{
    event->accept();
    const QPointF at = event->position() - QPointF(borderPixels(), borderPixels());
    const int shift = int(event->modifiers() >> 25) & 7;
    emit(this->*signal)(button, shift, float(PixelsToTwips(at.x())), float(PixelsToTwips(at.y())));
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emitMouse(&PictureBox::mouseDown, int(event->button()), event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emitMouse(&PictureBox::mouseMove, int(event->buttons() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)), event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emitMouse(&PictureBox::mouseUp, int(event->button()), event);
}

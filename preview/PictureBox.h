// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The picture box of the preview window, used as canvas, viewport and hidden
// holder alike.
//
// Geometry is kept in twips exactly as assigned (positions as 32-bit floats),
// so the panning arithmetic does not depend on the screen's resolution; the
// widget itself sits at those twips rounded to device pixels. Capitalised
// members (Left, Width, ScaleWidth, Move, PaintPicture) are in twips,
// QWidget's own lower-case ones in pixels.
//
// What the box shows lives on a persistent surface: its background, its
// picture at natural size and everything drawn on it since. Paint events only
// copy that surface to the screen. The surface has the screen's device pixels
// (the logical size times the device pixel ratio), and pictures are scaled
// onto it straight from their full resolution, so a high-density screen shows
// all the detail it can; geometry stays in twips and logical pixels.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <vector>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Border { None, Sunken };

    explicit PictureBox(QWidget* parent, Border border = Border::None);

    // The area inside the border: child boxes belong here, which clips them.
    QWidget* clientArea() const { return mClient; }

    float Left() const { return mLeft; }
    float Top() const { return mTop; }
    double Width() const { return mWidth; }
    double Height() const { return mHeight; }
    // Inner size: the outer size without the border.
    double ScaleWidth() const;
    double ScaleHeight() const;

    void SetLeft(float left);
    void SetTop(float top);
    void SetWidth(double width);
    void SetHeight(double height);
    // Moves in one operation; the size stays.
    void Move(float left, float top);
    void Move(float left, float top, double width, double height);

    // Kept as RGB32 or premultiplied ARGB32, which paint without conversion.
    const QImage& picture() const { return mPicture; }
    // A null image clears the picture.
    void setPicture(const QImage& picture);
    void clearPicture() { setPicture(QImage()); }

    // With auto-size the box takes its picture's natural size whenever it
    // gets a picture (or auto-size is switched on while it has one).
    bool autoSize() const { return mAutoSize; }
    void setAutoSize(bool on);

    // With auto-redraw drawings survive a resize; without it a resize leaves
    // only the background and the picture, as an unbuffered box would.
    bool autoRedraw() const { return mAutoRedraw; }
    void setAutoRedraw(bool on) { mAutoRedraw = on; }

    // Changing the background erases the drawings.
    QColor backColor() const { return mBackColor; }
    void setBackColor(const QColor& color);

    // Stretch-copies part of `source` onto the persistent surface: the
    // destination rectangle in twips of this box, the source rectangle in
    // twips of the source picture's natural size. Scaling reads the source's
    // full resolution. Throws Failure when there is no source picture.
    void PaintPicture(const QImage& source, double x1, double y1, double width1, double height1, double x2,
                      double y2, double width2, double height2);

    // What the box shows inside its border, in device pixels: the logical
    // size times surfaceRatio().
    const QImage& surface();
    qreal surfaceRatio() const { return mSurfaceRatio; }

signals:
    // button: the button that changed (down, up) or the buttons held (move),
    // 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x, y in twips
    // inside the border.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int borderPixels() const { return mBorder == Border::Sunken ? 2 : 0; }
    double borderTwips() const;
    QSize clientPixels() const;
    void applyGeometry();
    void sizeToPicture();
    void fitSurfaceToSize();
    QImage blankSurface() const;
    void paintBlank(QImage& surface) const;
    // A stretch-copy as asked for, kept so that a new device pixel ratio
    // (the window moved to another screen) can paint it again at full detail.
    struct Drawing {
        QImage source;
        QRect from; // source pixels
        QRect to;    // logical pixels of the surface
    };
    void draw(const Drawing& drawing);
    QRect toDevice(const QRect& logical) const;
    QSize surfaceSize() const;
    void forgetDrawings();
    // A surface of the right size whose pixels are all about to be drawn over.
    void startBareSurface();
    void emitMouse(void (PictureBox::*signal)(int, int, float, float), int button, QMouseEvent* event);

    Border mBorder;
    QWidget* mClient;
    float mLeft = 0;
    float mTop = 0;
    double mWidth = 0;
    double mHeight = 0;
    QImage mPicture;
    QImage mSurface; // null until first needed
    qreal mSurfaceRatio = 1;
    std::vector<Drawing> mDrawings;
    // The surface must start again from background and picture; its buffer
    // is kept for reuse.
    bool mSurfaceStale = false;
    QColor mBackColor = Qt::white;
    bool mAutoSize = false;
    bool mAutoRedraw = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "ErrorTrap.h"
#include "PictureBox.h"
#include "PreviewTestSupport.h"
#include "Twips.h"

#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

namespace {
QImage AtDpi(QImage picture, int dpi)
{
    picture.setDotsPerMeterX(qRound(dpi / 0.0254));
    picture.setDotsPerMeterY(qRound(dpi / 0.0254));
    return picture;
}

bool IsDark(QRgb pixel) { return qGray(pixel) < 64; }
bool IsLight(QRgb pixel) { return qGray(pixel) > 192; }
} // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(TwipsPerPixel(), 15.0); }

    void autoSizeTakesTheNaturalSizeFromTheResolution()
    {
        QWidget parent;
        PictureBox box(&parent);
        box.Move(0, 0, 2340, 3435);

        // The card: 1224 x 1584 pixels at 288 dpi is 4.25 x 5.5 inches.
        QImage card(1224, 1584, QImage::Format_RGB32);
        card.fill(Qt::white);
        box.setPicture(AtDpi(card, 288));
        QCOMPARE(box.Width(), 2340.0); // auto-size is off: the design size stays

        box.setAutoSize(true);
        QCOMPARE(box.Width(), 6120.0);
        QCOMPARE(box.Height(), 7920.0);
        QCOMPARE(box.size(), QSize(408, 528));

        box.setPicture(ScreenPicture(40, 60));
        QCOMPARE(box.Width(), 600.0);
        QCOMPARE(box.Height(), 900.0);

        // Without a picture auto-size has nothing to follow.
        box.clearPicture();
        box.SetWidth(1234);
        QCOMPARE(box.Width(), 1234.0);
        QVERIFY(box.picture().isNull());
    }

    void geometryKeepsTheTwipsAsAssigned()
    {
        QWidget parent;
        PictureBox box(&parent);
        box.Move(-785, 30, 10901, 7425);
        QCOMPARE(box.Left(), -785.0f);
        QCOMPARE(box.Top(), 30.0f);
        QCOMPARE(box.Width(), 10901.0);
        QCOMPARE(box.ScaleWidth(), 10901.0); // no border: inner equals outer
        // The widget sits at the nearest device pixels.
        QCOMPARE(box.pos(), QPoint(-52, 2));
        QCOMPARE(box.size(), QSize(727, 495));

        box.Move(-12.5f, -7.5f);
        QCOMPARE(box.Left(), -12.5f);
        QCOMPARE(box.Top(), -7.5f);
        QCOMPARE(box.Width(), 10901.0);
    }

    void aBorderedViewportClipsItsChildInsideTheBorder()
    {
        QWidget window;
        window.resize(700, 600);
        PictureBox viewport(&window, PictureBox::Border::Sunken);
        viewport.Move(120, 120, 9330, 7425);
        QCOMPARE(viewport.ScaleWidth(), 9270.0);
        QCOMPARE(viewport.ScaleHeight(), 7365.0);
        QCOMPARE(viewport.geometry(), QRect(8, 8, 622, 495));
        QCOMPARE(viewport.clientArea()->geometry(), QRect(2, 2, 618, 491));

        PictureBox canvas(viewport.clientArea());
        canvas.setBackColor(Qt::red);
        canvas.Move(-300, -300, 20000, 20000);
        window.show();

        const QImage shown = viewport.grab().toImage();
        QCOMPARE(QColor(shown.pixel(2, 2)), QColor(Qt::red));
        QCOMPARE(QColor(shown.pixel(619, 492)), QColor(Qt::red));
        // The border stays visible over a larger child.
        QVERIFY(QColor(shown.pixel(0, 0)) != QColor(Qt::red));
        QVERIFY(QColor(shown.pixel(1, 250)) != QColor(Qt::red));
        QVERIFY(QColor(shown.pixel(621, 494)) != QColor(Qt::red));
    }

    void stretchCopyReadsTheFullResolution()
    {
        // Two-pixel stripes that a detour through the 408-pixel natural size
        // would blur to grey.
        QImage stripes(1224, 16, QImage::Format_RGB32);
        for (int x = 0; x < stripes.width(); ++x)
            for (int y = 0; y < stripes.height(); ++y)
                stripes.setPixel(x, y, (x / 2) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        const QImage source = AtDpi(stripes, 288);

        QWidget parent;
        PictureBox canvas(&parent);
        canvas.Move(0, 0, 18360, 240);
        canvas.PaintPicture(source, 0, 0, 18360, 240, 0, 0, 6120, 80);
        const QImage& surface = canvas.surface();
        QCOMPARE(surface.size(), QSize(1224, 16));
        int matching = 0;
        for (int x = 0; x < 1224; ++x) {
            const bool dark = (x / 2) % 2 == 0;
            matching += dark ? IsDark(surface.pixel(x, 8)) : IsLight(surface.pixel(x, 8));
        }
        QVERIFY2(matching > 1200, qPrintable(QString::number(matching)));

        // Only the destination rectangle is painted; the rest keeps the background.
        PictureBox small(&parent);
        small.setBackColor(Qt::green);
        small.Move(0, 0, 600, 600);
        small.PaintPicture(ScreenPicture(40, 40, Qt::blue), 150, 150, 300, 300, 0, 0, 600, 600);
        QCOMPARE(QColor(small.surface().pixel(15, 15)), QColor(Qt::blue));
        QCOMPARE(QColor(small.surface().pixel(5, 5)), QColor(Qt::green));
        QCOMPARE(QColor(small.surface().pixel(35, 35)), QColor(Qt::green));
    }

    void shrinkingAveragesEverySourcePixel()
    {
        // One-pixel black columns: a scaler that skips source pixels shows
        // pure black or pure white columns instead of grey.
        auto columns = [](int period) {
            QImage picture(12 * period * 10, 12, QImage::Format_RGB32);
            for (int x = 0; x < picture.width(); ++x)
                for (int y = 0; y < picture.height(); ++y)
                    picture.setPixel(x, y, x % period == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            return AtDpi(picture, 96);
        };
        QWidget parent;
        for (const int period : {2, 3, 4}) {
            const QImage source = columns(period);
            PictureBox canvas(&parent);
            canvas.setBackColor(Qt::red);
            const double width = 15.0 * source.width() / period;
            const double height = 180.0 / period;
            canvas.Move(0, 0, width, height);
            canvas.PaintPicture(source, 0, 0, width, height, 0, 0, 15.0 * source.width(), 180);
            const QImage& surface = canvas.surface();
            const int expected = 255 * (period - 1) / period;
            for (int x = 1; x < surface.width() - 1; ++x) {
                const int grey = qGray(surface.pixel(x, 2));
                QVERIFY2(qAbs(grey - expected) <= 24,
                         qPrintable(QStringLiteral("1/%1 size, x %2: %3").arg(period).arg(x).arg(grey)));
            }
        }
    }

    void aPartStretchCopiesWithoutBleedingFromTheRest()
    {
        // Left half red, right half blue; the right half alone, enlarged.
        QImage halves = ScreenPicture(40, 20, Qt::red);
        QPainter(&halves).fillRect(20, 0, 20, 20, Qt::blue);
        QWidget parent;
        for (const double size : {600.0, 450.0, 150.0}) {
            PictureBox canvas(&parent);
            canvas.setBackColor(Qt::white);
            canvas.Move(0, 0, 1200, 1200);
            canvas.PaintPicture(halves, 0, 0, size, size, 300, 0, 300, 300);
            const QImage& surface = canvas.surface();
            const int pixels = TwipsToPixels(size);
            for (int x = 0; x < pixels; ++x)
                for (const int y : {0, pixels / 2, pixels - 1})
                    QVERIFY2(QColor(surface.pixel(x, y)) == QColor(Qt::blue),
                             qPrintable(QStringLiteral("%1 px, at %2,%3").arg(pixels).arg(x).arg(y)));
            QCOMPARE(QColor(surface.pixel(pixels, 0)), QColor(Qt::white));
        }
    }

    void aPictureIsKeptInAFormatThatPaintsAsIs()
    {
        QImage rgb888(30, 20, QImage::Format_RGB888);
        rgb888.fill(QColor(10, 200, 30));
        rgb888.setPixel(3, 4, qRgb(250, 5, 128));
        QImage argb(30, 20, QImage::Format_ARGB32);
        argb.fill(QColor(10, 200, 30));
        argb.setPixel(3, 4, qRgba(250, 5, 128, 255));
        argb.setPixel(5, 6, qRgba(0, 0, 0, 0));

        QWidget parent;
        PictureBox box(&parent);
        box.setAutoSize(true);
        box.setPicture(AtDpi(rgb888, 192));
        QCOMPARE(box.picture().format(), QImage::Format_RGB32);
        QCOMPARE(box.picture().pixel(3, 4), qRgb(250, 5, 128));
        QCOMPARE(box.picture().pixel(0, 0), qRgb(10, 200, 30));
        // The resolution, and so the natural size, stays.
        QCOMPARE(box.Width(), 225.0);
        QCOMPARE(box.Height(), 150.0);

        box.setPicture(AtDpi(argb, 96));
        QCOMPARE(box.picture().format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(box.picture().pixel(3, 4), qRgba(250, 5, 128, 255));
        QCOMPARE(qAlpha(box.picture().pixel(5, 6)), 0);
        QCOMPARE(box.Width(), 450.0);
        // A transparent pixel shows the background.
        box.setBackColor(Qt::yellow);
        QCOMPARE(QColor(box.surface().pixel(5, 6)), QColor(Qt::yellow));
        QCOMPARE(QColor(box.surface().pixel(3, 4)), QColor(250, 5, 128));
    }

    void aClearedSurfaceDoesNotKeepTheOldDrawings()
    {
        QWidget parent;
        PictureBox canvas(&parent);
        canvas.setAutoRedraw(true);
        canvas.setBackColor(Qt::white);
        canvas.Move(0, 0, 600, 600);
        canvas.PaintPicture(ScreenPicture(4, 4, Qt::blue), 0, 0, 600, 600, 0, 0, 60, 60);
        const QImage before = canvas.surface();

        // Cleared at the same size: background only, and a copy taken
        // before keeps what it showed.
        canvas.clearPicture();
        QCOMPARE(QColor(canvas.surface().pixel(20, 20)), QColor(Qt::white));
        QCOMPARE(QColor(before.pixel(20, 20)), QColor(Qt::blue));

        // Cleared, then resized before anything reads it: still nothing of
        // the old drawing, even with auto-redraw.
        canvas.PaintPicture(ScreenPicture(4, 4, Qt::blue), 0, 0, 600, 600, 0, 0, 60, 60);
        canvas.clearPicture();
        canvas.SetWidth(900);
        canvas.SetHeight(900);
        QCOMPARE(canvas.surface().size(), QSize(60, 60));
        QCOMPARE(QColor(canvas.surface().pixel(20, 20)), QColor(Qt::white));
        QCOMPARE(QColor(canvas.surface().pixel(50, 50)), QColor(Qt::white));
    }

    void stretchCopyOfNoPictureFails()
    {
        QWidget parent;
        PictureBox canvas(&parent);
        canvas.Move(0, 0, 600, 600);
        QVERIFY_THROWS_EXCEPTION(Failure, canvas.PaintPicture(QImage(), 0, 0, 600, 600, 0, 0, 600, 600));
    }

    void drawingsPersistAcrossAResizeOnlyWithAutoRedraw()
    {
        QWidget parent;
        const QImage blue = ScreenPicture(10, 10, Qt::blue);
        for (const bool autoRedraw : {true, false}) {
            PictureBox canvas(&parent);
            canvas.setAutoRedraw(autoRedraw);
            canvas.setBackColor(Qt::white);
            canvas.Move(0, 0, 300, 300);
            canvas.PaintPicture(blue, 0, 0, 300, 300, 0, 0, 150, 150);
            QCOMPARE(QColor(canvas.surface().pixel(10, 10)), QColor(Qt::blue));

            canvas.SetWidth(600);
            QCOMPARE(canvas.surface().size(), QSize(40, 20));
            QCOMPARE(QColor(canvas.surface().pixel(10, 10)), autoRedraw ? QColor(Qt::blue) : QColor(Qt::white));
            QCOMPARE(QColor(canvas.surface().pixel(30, 10)), QColor(Qt::white));
        }
    }

    void aNewBackgroundOrPictureErasesTheDrawings()
    {
        QWidget parent;
        PictureBox canvas(&parent);
        canvas.setAutoRedraw(true);
        canvas.Move(0, 0, 600, 600);
        canvas.PaintPicture(ScreenPicture(4, 4, Qt::blue), 0, 0, 600, 600, 0, 0, 60, 60);
        canvas.setBackColor(Qt::yellow);
        QCOMPARE(QColor(canvas.surface().pixel(20, 20)), QColor(Qt::yellow));

        // The picture shows at its natural size on the background.
        canvas.PaintPicture(ScreenPicture(4, 4, Qt::blue), 0, 0, 600, 600, 0, 0, 60, 60);
        canvas.setPicture(ScreenPicture(10, 10, Qt::red));
        QCOMPARE(QColor(canvas.surface().pixel(5, 5)), QColor(Qt::red));
        QCOMPARE(QColor(canvas.surface().pixel(20, 20)), QColor(Qt::yellow));
    }

    void theScreenShowsThePersistentSurface()
    {
        QWidget window;
        window.resize(100, 100);
        PictureBox canvas(&window);
        canvas.setBackColor(Qt::white);
        canvas.Move(0, 0, 900, 900);
        canvas.PaintPicture(ScreenPicture(2, 2, Qt::magenta), 0, 0, 450, 450, 0, 0, 30, 30);
        window.show();
        const QImage shown = canvas.grab().toImage();
        QCOMPARE(QColor(shown.pixel(10, 10)), QColor(Qt::magenta));
        QCOMPARE(QColor(shown.pixel(45, 45)), QColor(Qt::white));
    }

    void aPartialRepaintOfABorderedBoxCopiesTheRightPart()
    {
        QWidget window;
        window.resize(200, 200);
        PictureBox box(&window, PictureBox::Border::Sunken);
        box.setBackColor(Qt::white);
        box.Move(0, 0, 1500, 1500);
        // A blue square at 10..19 of the surface, so at 12..21 of the box.
        box.PaintPicture(ScreenPicture(2, 2, Qt::blue), 150, 150, 150, 150, 0, 0, 30, 30);

        QImage shown(box.size(), QImage::Format_RGB32);
        shown.fill(Qt::black);
        // render() puts the region's corner at the offset given.
        box.render(&shown, QPoint(15, 15), QRegion(15, 15, 60, 60));
        QCOMPARE(QColor(shown.pixel(15, 15)), QColor(Qt::blue));
        QCOMPARE(QColor(shown.pixel(21, 21)), QColor(Qt::blue));
        QCOMPARE(QColor(shown.pixel(22, 22)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(74, 74)), QColor(Qt::white));
        // Outside the repainted part nothing is drawn.
        QCOMPARE(QColor(shown.pixel(14, 14)), QColor(Qt::black));
        QCOMPARE(QColor(shown.pixel(75, 75)), QColor(Qt::black));

        shown.fill(Qt::black);
        box.render(&shown, QPoint(), QRegion(0, 0, 13, 13));
        QVERIFY(QColor(shown.pixel(0, 0)) != QColor(Qt::black)); // the border
        QCOMPARE(QColor(shown.pixel(11, 11)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(12, 12)), QColor(Qt::blue));
        QCOMPARE(QColor(shown.pixel(13, 13)), QColor(Qt::black));
    }

    // Run on two screens of ratios 1 and 2 as well: moved to the dense one,
    // a box paints its drawings again from their full-resolution source.
    void aDenserScreenRepaintsTheDrawingsAtFullDetail()
    {
        QScreen* ordinary = QGuiApplication::primaryScreen();
        QScreen* dense = nullptr;
        for (QScreen* screen : QGuiApplication::screens()) {
            if (screen->devicePixelRatio() == 2)
                dense = screen;
            if (screen->devicePixelRatio() == 1)
                ordinary = screen;
        }
        if (!dense)
            QSKIP("needs a screen of device pixel ratio 2");
        // One-pixel checks at 192 dpi: 100 x 100 logical pixels, whose detail
        // only device pixels at ratio 2 can show.
        QImage checks(200, 200, QImage::Format_RGB32);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                checks.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        const QImage source = AtDpi(checks, 192);

        QWidget window;
        window.setGeometry(QRect(ordinary->geometry().topLeft() + QPoint(50, 50), QSize(200, 200)));
        PictureBox box(&window);
        box.setAutoRedraw(true);
        box.Move(0, 0, 1500, 1500);
        box.PaintPicture(source, 0, 0, 1500, 1500, 0, 0, 1500, 1500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(box.grab().toImage().size(), QSize(100, 100));

        window.move(dense->geometry().topLeft() + QPoint(50, 50));
        QTRY_COMPARE(box.devicePixelRatio(), 2.0);
        QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(200, 200));
        shown.setDevicePixelRatio(1);
        QCOMPARE(shown, checks);
        QCOMPARE(box.Width(), 1500.0);
    }

    void mouseEventsReportButtonsShiftAndTwipsInsideTheBorder()
    {
        QWidget window;
        window.resize(300, 300);
        PictureBox box(&window, PictureBox::Border::Sunken);
        box.Move(0, 0, 3000, 3000);
        window.show();
        QSignalSpy downs(&box, &PictureBox::mouseDown);
        QSignalSpy moves(&box, &PictureBox::mouseMove);
        QSignalSpy ups(&box, &PictureBox::mouseUp);

        QTest::mousePress(&box, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
        QTest::mouseMove(&box, QPoint(12, 22));
        QTest::mouseRelease(&box, Qt::RightButton, Qt::ControlModifier, QPoint(12, 22));
        QTest::mousePress(&box, Qt::MiddleButton, Qt::AltModifier, QPoint(2, 2));

        QCOMPARE(downs.size(), 2);
        QCOMPARE(downs[0], QVariantList({2, 1, 120.0f, 270.0f}));
        QCOMPARE(downs[1], QVariantList({4, 4, 0.0f, 0.0f}));
        QVERIFY(!moves.isEmpty());
        QCOMPARE(moves.last(), QVariantList({2, 0, 150.0f, 300.0f}));
        QCOMPARE(ups.size(), 1);
        QCOMPARE(ups[0], QVariantList({2, 2, 150.0f, 300.0f}));
        QTest::mouseRelease(&box, Qt::MiddleButton, {}, QPoint(2, 2));
    }
};

QTEST_MAIN(PictureBoxTest)
#include "test_picture_box.moc"

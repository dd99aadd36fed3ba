#include "ErrorTrap.h"
#include "PictureBox.h"
#include "PreviewTestSupport.h"
#include "Twips.h"

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

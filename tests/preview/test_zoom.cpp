// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "PreviewTestSupport.h"
#include "PushButton.h"

#include <QScrollBar>
#include <QtTest>

namespace {
// The card as the snapshot delivers it, 1224 x 1584 pixels at 288 dpi, in
// checks of one pixel (left half) and two (right half): detail that only a
// full-resolution stretch-copy keeps at full and at half size.
QImage FineCard()
{
    QImage card(1224, 1584, QImage::Format_RGB32);
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x) {
            const int check = x < 612 ? 1 : 2;
            card.setPixel(x, y, (x / check + y / check) % 2 ? qRgb(255, 255, 255) : qRgb(20, 20, 90));
        }
    card.setDotsPerMeterX(qRound(288 / 0.0254));
    card.setDotsPerMeterY(qRound(288 / 0.0254));
    return card;
}

// The mean difference of two equally sized pictures, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (double(a.width()) * a.height());
}
} // namespace

class ZoomTest : public QObject {
    Q_OBJECT
private slots:
    void firstActivationPaintsAtZoomOne()
    {
        PreviewWindow preview(ScreenPicture(408, 528, Qt::blue));
        Form2& form = preview.form;
        QVERIFY(form.firstActivation());
        form.Picture1->Move(-500, -400);

        form.Form_Activate();
        QCOMPARE(preview.errors(), QStringList());
        QVERIFY(!form.firstActivation());
        QCOMPARE(form.zoom(), 1.0f);
        // The holder is a borderless copy of the canvas: its inner size less 2.
        QVERIFY(form.Zoom_Ori->isHidden());
        QCOMPARE(form.Zoom_Ori->Width(), 6120.0);
        QCOMPARE(form.baseWidth(), 6118);
        QCOMPARE(form.baseHeight(), 7918);
        QCOMPARE(form.scaledWidth(), 6118);
        QCOMPARE(form.Picture1->Width(), 6118.0);
        QCOMPARE(form.Picture1->Height(), 7918.0);
        QVERIFY(form.Picture1->picture().isNull());
        QCOMPARE(QColor(form.Picture1->surface().pixel(200, 200)), QColor(Qt::blue));
        QCOMPARE(form.Picture1->Left(), 0.0f);
        QCOMPARE(form.Picture1->Top(), 0.0f);
        // Narrower than the viewport, taller than it.
        QVERIFY(!form.HScroll1->isEnabled());
        QCOMPARE(form.hStep(), int16_t(0));
        QVERIFY(form.VScroll1->isEnabled());
        QCOMPARE(form.vStep(), int16_t(10));
        QCOMPARE(form.VScroll1->maximum(), 49); // (7918 - 7425) / 10 = 49.3

        // Later activations change nothing.
        form.PushButton1_Click();
        form.Picture1->setPicture(ScreenPicture(40, 60, Qt::red));
        form.Form_Activate();
        QCOMPARE(form.zoom(), 1.25f);
        QCOMPARE(form.baseWidth(), 6118);
        QCOMPARE(QColor(form.Zoom_Ori->picture().pixel(0, 0)), QColor(Qt::blue));
        QCOMPARE(preview.errors(), QStringList());
    }

    void zoomStepsByAQuarterThroughSixteenLevels()
    {
        PreviewWindow preview(ScreenPicture(40, 60));
        Form2& form = preview.activated().form;
        QCOMPARE(form.baseWidth(), 598);

        QList<float> levels{form.zoom()};
        for (int click = 0; click < 20; ++click) {
            form.PushButton1_Click();
            if (form.zoom() != levels.last())
                levels << form.zoom();
            QCOMPARE(form.scaledWidth(), int32_t(std::floor(form.zoom() * 598.0)));
            QCOMPARE(form.Picture1->Width(), double(form.scaledWidth()));
        }
        QCOMPARE(levels.last(), 4.0f);
        for (int click = 0; click < 20; ++click) {
            form.PushButton2_Click();
            if (form.zoom() != levels.first() && !levels.contains(form.zoom()))
                levels.prepend(form.zoom());
        }
        QCOMPARE(form.zoom(), 0.25f);
        QCOMPARE(levels.size(), 16);
        for (int i = 0; i < levels.size(); ++i)
            QCOMPARE(levels[i], 0.25f * float(i + 1));
        QCOMPARE(preview.errors(), QStringList());
    }

    void zoomRequestsOutsideTheRangeDoNothing()
    {
        PreviewWindow preview(ScreenPicture(40, 60));
        Form2& form = preview.activated().form;
        form.SetZoom(4.0f);
        const double width = form.Picture1->Width();
        form.PushButton1_Click();
        form.SetZoom(4.01f);
        QCOMPARE(form.zoom(), 4.0f);
        QCOMPARE(form.Picture1->Width(), width);
        form.SetZoom(0.25f);
        form.PushButton2_Click();
        form.SetZoom(0.24f);
        form.SetZoom(-1.0f);
        QCOMPARE(form.zoom(), 0.25f);
        QCOMPARE(form.Picture1->Width(), 149.0); // floor(0.25 * 598)
    }

    void scaledSizesAreFloored()
    {
        PreviewWindow small(ScreenPicture(5, 5));
        small.activated().form.PushButton2_Click();
        QCOMPARE(small.form.baseWidth(), 73);
        QCOMPARE(small.form.scaledWidth(), 54); // 54.75
        QCOMPARE(small.form.Picture1->Width(), 54.0);

        PreviewWindow card;
        card.activated().form.PushButton1_Click();
        QCOMPARE(card.form.scaledWidth(), 7647); // 7647.5: floored, not rounded to even
        QCOMPARE(card.form.scaledHeight(), 9897);
    }

    void theSizeLimitIsStrict_data()
    {
        QTest::addColumn<int>("pictureWidth");
        QTest::addColumn<int>("pictureHeight");
        QTest::addColumn<double>("target"); // the scaled width (or height) aimed at
        QTest::addColumn<bool>("painted");
        QTest::newRow("width 10899") << 408 << 100 << 10899.5 << true;
        QTest::newRow("width 10900") << 408 << 100 << 10900.5 << false;
        QTest::newRow("height 13399") << 100 << 528 << 13399.5 << true;
        QTest::newRow("height 13400") << 100 << 528 << 13400.5 << false;
    }

    void theSizeLimitIsStrict()
    {
        QFETCH(int, pictureWidth);
        QFETCH(int, pictureHeight);
        QFETCH(double, target);
        QFETCH(bool, painted);
        PreviewWindow preview(ScreenPicture(pictureWidth, pictureHeight));
        Form2& form = preview.activated().form;
        const bool alongWidth = pictureWidth > pictureHeight;
        const int base = alongWidth ? form.baseWidth() : form.baseHeight();
        const float zoom = float(target / base);

        form.SetZoom(zoom);
        const int32_t scaled = alongWidth ? form.scaledWidth() : form.scaledHeight();
        QCOMPARE(double(scaled), std::floor(target) * painted + base * !painted);
        if (painted) {
            QCOMPARE(form.zoom(), zoom);
            QCOMPARE(alongWidth ? form.Picture1->Width() : form.Picture1->Height(), std::floor(target));
        } else {
            QCOMPARE(form.zoom(), 1.0f);
            QCOMPARE(alongWidth ? form.Picture1->Width() : form.Picture1->Height(), double(base));
        }
        QCOMPARE(preview.errors(), QStringList());
    }

    void zoomingPastTheLimitKeepsTheImageAndResetsTheZoom()
    {
        // Base 7198 x 9598: 1.25 fits, 1.5 is too high (14397).
        PreviewWindow preview(ScreenPicture(480, 640, Qt::darkGreen));
        Form2& form = preview.activated().form;
        form.PushButton1_Click();
        QCOMPARE(form.zoom(), 1.25f);
        QCOMPARE(form.Picture1->Height(), 11997.0);
        form.VScroll1->setValue(20);
        QCOMPARE(form.Picture1->Top(), -200.0f);

        form.PushButton1_Click(); // 1.5: not painted
        QCOMPARE(form.zoom(), 1.0f);
        QCOMPARE(form.scaledHeight(), 9598);
        QCOMPARE(form.Picture1->Height(), 11997.0);
        QCOMPARE(QColor(form.Picture1->surface().pixel(300, 300)), QColor(Qt::darkGreen));

        PreviewWindow twin(ScreenPicture(480, 640));
        twin.activated().form.PushButton1_Click();
        twin.form.PushButton1_Click();
        twin.form.PushButton1_Click(); // 1.25 again: no visible change
        QCOMPARE(twin.form.zoom(), 1.25f);
        QCOMPARE(twin.form.Picture1->Height(), 11997.0);

        form.PushButton2_Click(); // from the reset zoom 1.0 down to 0.75
        QCOMPARE(form.zoom(), 0.75f);
        QCOMPARE(form.Picture1->Width(), 5398.0);
        QCOMPARE(form.Picture1->Height(), 7198.0);
        QCOMPARE(preview.errors(), QStringList());
    }

    void aPictureBeyondTheLimitIsShownAtItsNaturalSize()
    {
        PreviewWindow preview(ScreenPicture(800, 1000, Qt::red));
        Form2& form = preview.activated().form;
        QCOMPARE(form.zoom(), 1.0f);
        QCOMPARE(form.Picture1->Width(), 12000.0);
        QCOMPARE(form.Picture1->Height(), 15000.0);
        QCOMPARE(QColor(form.Picture1->surface().pixel(700, 900)), QColor(Qt::red));
        QCOMPARE(form.HScroll1->maximum(), 267);
        QCOMPARE(form.hStep(), int16_t(10));

        form.PushButton1_Click();
        QCOMPARE(form.zoom(), 1.0f);
        QCOMPARE(form.Picture1->Width(), 12000.0);

        form.PushButton2_Click();
        QCOMPARE(form.zoom(), 0.75f);
        QCOMPARE(form.Picture1->Width(), 8998.0);
        QCOMPARE(form.Picture1->Height(), 11248.0);
        QCOMPARE(preview.errors(), QStringList());
    }

    void repaintResetsTheScrollbarsAndFollowsTheNewSize()
    {
        PreviewWindow preview(ScreenPicture(700, 600));
        Form2& form = preview.activated().form;
        form.PushButton2_Click(); // 0.75: 7873 x 6748, fits the viewport
        QCOMPARE(form.HScroll1->isEnabled(), false);
        QCOMPARE(form.hStep(), int16_t(0));
        QCOMPARE(form.VScroll1->isEnabled(), false);

        form.PushButton1_Click(); // back to 1.0 at 10498 x 8998
        QVERIFY(form.HScroll1->isEnabled());
        QCOMPARE(form.hStep(), int16_t(10));
        QCOMPARE(form.HScroll1->maximum(), 117); // 1168 / 10 = 116.8
        QCOMPARE(form.VScroll1->maximum(), 157); // 1573 / 10 = 157.3
        form.HScroll1->setValue(100);
        form.VScroll1->setValue(50);
        QCOMPARE(form.Picture1->Left(), -1000.0f);
        QCOMPARE(form.Picture1->Top(), -500.0f);

        // 1.25: 13122 wide, beyond the limit: the zoom is reset and nothing
        // on screen moves, neither the canvas nor the scrollbars.
        form.PushButton1_Click();
        QCOMPARE(form.zoom(), 1.0f);
        QCOMPARE(form.Picture1->Left(), -1000.0f);
        QCOMPARE(form.Picture1->Top(), -500.0f);
        QCOMPARE(form.HScroll1->value(), 100);
        QCOMPARE(form.VScroll1->value(), 50);
        QCOMPARE(form.HScroll1->maximum(), 117);
    }

    void scrollbarSetUpForAGivenDifference_data()
    {
        QTest::addColumn<double>("difference");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        QTest::newRow("equal") << 0.0 << false << 32767 << 0;
        QTest::newRow("narrower") << -300.0 << false << 32767 << 0;
        QTest::newRow("1") << 1.0 << true << 1 << 1;
        QTest::newRow("100") << 100.0 << true << 100 << 1;
        QTest::newRow("101") << 101.0 << true << 10 << 10;
        QTest::newRow("105, ties to even") << 105.0 << true << 10 << 10;
        QTest::newRow("115") << 115.0 << true << 12 << 10;
        QTest::newRow("1570") << 1570.0 << true << 157 << 10;
        QTest::newRow("327670, last at 10") << 327670.0 << true << 32767 << 10;
        QTest::newRow("327680") << 327680.0 << true << 16384 << 20;
        QTest::newRow("1000000") << 1000000.0 << true << 25000 << 40;
    }

    void scrollbarSetUpForAGivenDifference()
    {
        QFETCH(double, difference);
        QFETCH(bool, enabled);
        QFETCH(int, maximum);
        QFETCH(int, step);
        PreviewWindow preview;
        Form2& form = preview.form;
        form.Picture1->Move(-40, -50, form.Picture2->Width() + difference, form.Picture2->Height() + difference);
        form.SetupScrollbars();
        QCOMPARE(form.Picture1->Left(), 0.0f);
        QCOMPARE(form.Picture1->Top(), 0.0f);
        for (QScrollBar* bar : {form.HScroll1, form.VScroll1}) {
            QCOMPARE(bar->isEnabled(), enabled);
            QCOMPARE(bar->maximum(), maximum);
            QCOMPARE(bar->value(), 0);
        }
        QCOMPARE(int(form.hStep()), step);
        QCOMPARE(int(form.vStep()), step);

        // The far end of the bar reaches the difference rounded to a step.
        if (enabled) {
            form.HScroll1->setValue(maximum);
            QCOMPARE(double(form.Picture1->Left()), -double(step) * maximum);
        }
    }

    void aLowerMaximumClampsTheValueAndMovesTheCanvas()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.Picture1->Move(0, 0, form.Picture2->Width() + 2000, form.Picture2->Height() + 2000);
        form.SetupScrollbars();
        form.HScroll1->setValue(150);
        QCOMPARE(form.Picture1->Left(), -1500.0f);
        form.Picture1->SetWidth(form.Picture2->Width() + 60);
        form.SetupScrollbars();
        QCOMPARE(form.HScroll1->maximum(), 60);
        QCOMPARE(form.hStep(), int16_t(1));
        QCOMPARE(form.HScroll1->value(), 0);
        QCOMPARE(form.Picture1->Left(), 0.0f);
    }

    void eachNewCardStartsAgainAtZoomOne()
    {
        PreviewWindow preview(ScreenPicture(408, 528, Qt::blue));
        Form2& form = preview.activated().form;
        form.PushButton1_Click();
        form.PushButton1_Click();
        QCOMPARE(form.zoom(), 1.5f);

        // The next card, as the main window hands it over.
        form.Picture1->setPicture(ScreenPicture(800, 600, Qt::yellow));
        form.ResetForNewCard(QStringLiteral("Thanks"));
        form.Form_Activate();
        QCOMPARE(form.zoom(), 1.0f);
        QCOMPARE(form.baseWidth(), 11998);
        QCOMPARE(form.Picture1->Width(), 12000.0); // beyond the limit: natural size
        QCOMPARE(QColor(form.Picture1->surface().pixel(10, 10)), QColor(Qt::yellow));
        QCOMPARE(form.Zoom_Ori->picture().pixel(0, 0), QColor(Qt::yellow).rgb());
        form.PushButton2_Click();
        QCOMPARE(form.Picture1->Width(), 8998.0);
        QCOMPARE(QColor(form.Picture1->surface().pixel(10, 10)), QColor(Qt::yellow));
        QCOMPARE(preview.errors(), QStringList());
    }

    // Also run with QT_SCALE_FACTOR=2: on a dense screen the canvas shows the
    // card scaled straight from its full resolution to device pixels. At
    // ratio 2, zoom 1.5 is the card's own pixels and 0.75 half of them.
    void theCardIsPaintedAtDevicePixels_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::newRow("1.5") << 1.5f;
        QTest::newRow("0.75") << 0.75f;
    }

    void theCardIsPaintedAtDevicePixels()
    {
        QFETCH(float, zoom);
        PreviewWindow preview(FineCard());
        Form2& form = preview.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.SetZoom(zoom);
        const qreal ratio = form.devicePixelRatio();
        const QImage shown = form.Picture1->grab().toImage();
        QCOMPARE(shown.size(), form.Picture1->size() * ratio);
        // Geometry stays logical whatever the ratio.
        QCOMPARE(form.Picture1->Width(), std::floor(6118.0 * zoom));

        const QImage direct = FineCard().scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double difference = MeanDifference(shown, direct);
        QVERIFY2(difference < 3, qPrintable(QStringLiteral("ratio %1: %2").arg(ratio).arg(difference)));
        QCOMPARE(preview.errors(), QStringList());
    }

    void theWheelAndTheKeysZoomThroughTheButtons()
    {
        PreviewWindow preview(ScreenPicture(40, 60));
        Form2& form = preview.form;
        preview.test.saveDialog.answer.clear();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Picture1->setFocus();
        auto keys = [](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        };
        TurnWheel(form.Picture1, {0, 120}, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.25f);
        TurnWheel(form.Picture1, {0, 240}, Qt::ControlModifier); // a notch a step
        QCOMPARE(form.zoom(), 1.75f);
        QCOMPARE(form.Picture1->Width(), std::floor(1.75 * 598));
        TurnWheel(form.Picture1, {0, -120}, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.5f);
        QCOMPARE(form.VScroll1->value(), 0); // zooming did not scroll
        keys(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.25f);
        keys(Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.5f);
        keys(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(form.zoom(), 1.75f);
        // The buttons' limits hold.
        form.SetZoom(4.0f);
        TurnWheel(form.Picture1, {0, 120}, Qt::ControlModifier);
        keys(Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 4.0f);
        QCOMPARE(preview.errors(), QStringList());

        // Ctrl + S saves from anywhere in the window.
        form.PushButton8->setFocus();
        keys(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(preview.test.saveDialog.calls, QStringList({"Save File|Word Files (*.doc)|*.doc|"}));
        QCOMPARE(preview.test.messageBoxes.shown.back().text, QStringLiteral("Done."));
    }

    void aMissingPictureIsReportedAtTheStretchCopy()
    {
        TestPlatform test;
        QWidget mainWindow;
        Form2 form(test.platform, &mainWindow);
        form.Form_Load();
        form.Form_Activate();
        QCOMPARE(test.messageBoxes.errorSteps(), QStringList({"RedrawImage:112"}));
        // The set-up goes on after the failed step.
        QVERIFY(!form.firstActivation());
        QCOMPARE(form.zoom(), 1.0f);
    }

    void showingTheWindowActivatesItOnce()
    {
        PreviewWindow preview(ScreenPicture(408, 528));
        Form2& form = preview.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.firstActivation());
        QCOMPARE(form.scaledWidth(), 6118);
        form.PushButton1_Click();

        // Regaining the focus changes nothing.
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activate);
        QCOMPARE(form.zoom(), 1.25f);

        form.hide();
        form.Picture1->setPicture(ScreenPicture(40, 60));
        form.ResetForNewCard(QStringLiteral("Thanks"));
        form.show();
        QCOMPARE(form.zoom(), 1.0f);
        QCOMPARE(form.baseWidth(), 598);
        QCOMPARE(preview.errors(), QStringList());
    }

    void aMessageDuringTheSetUpDoesNotStartItAgain()
    {
        TestPlatform test;
        QWidget mainWindow;
        Form2 form(test.platform, &mainWindow);
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        test.messageBoxes.shown.clear();
        // Closing a message box hands the activation back to the window.
        test.messageBoxes.onShow = [&](const ShownMessage&) {
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(&form, &activate);
        };
        form.ResetForNewCard(QStringLiteral("Thanks"));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activate);
        QCOMPARE(test.messageBoxes.errorSteps(), QStringList({"RedrawImage:112"}));
    }
};

QTEST_MAIN(ZoomTest)
#include "test_zoom.moc"

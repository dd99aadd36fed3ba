// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "PreviewTestSupport.h"

#include <QScrollBar>
#include <QtTest>
#include <functional>
#include <vector>

namespace {
// A canvas `dx` wider and `dy` higher than the viewport (outer sizes), set up
// as the first activation would leave it.
void CanvasLargerBy(Form2& form, double dx, double dy)
{
    form.Picture1->Move(0, 0, form.Picture2->Width() + dx, form.Picture2->Height() + dy);
    form.SetupScrollbars();
}
} // namespace

class PanningTest : public QObject {
    Q_OBJECT
private slots:
    void scrollbarsMoveTheCanvasByTheirStep()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, 1570, 60);
        form.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(form.Picture1->Left(), -10.0f);
        form.HScroll1->setValue(157);
        QCOMPARE(form.Picture1->Left(), -1570.0f);
        form.VScroll1->setValue(60);
        QCOMPARE(form.Picture1->Top(), -60.0f);
        // Step 0: the bar may show anything, the canvas stays put.
        CanvasLargerBy(form, -10, -10);
        form.HScroll1->setValue(42);
        QCOMPARE(form.Picture1->Left(), 0.0f);
    }

    void aDropSnapsToTheNearestScrollPosition()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, 1570, 1000);
        QCOMPARE(form.HScroll1->maximum(), 157);

        form.Picture1->Move(-785, 0);
        form.Picture1_MouseUp(1, 0, 0, 0);
        QCOMPARE(form.HScroll1->value(), 78); // 50 % of 157 = 78.5, to even
        QCOMPARE(form.Picture1->Left(), -780.0f);
        QCOMPARE(form.VScroll1->value(), 0);
        QCOMPARE(form.Picture1->Top(), 0.0f);

        // The same value again: no change event, the canvas stays where dropped.
        form.Picture1->Move(-781, -333);
        form.Picture1_MouseUp(2, 0, 0, 0);
        QCOMPARE(form.HScroll1->value(), 78);
        QCOMPARE(form.Picture1->Left(), -781.0f);
        QCOMPARE(form.VScroll1->value(), 33); // 33 % of 100
        QCOMPARE(form.Picture1->Top(), -330.0f);
        QCOMPARE(preview.errors(), QStringList());
    }

    void percentPositionsOnlyWithinZeroToHundred()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, 1570, 1000);
        form.SetHScrollbarByPercent(form.HScroll1, 100);
        QCOMPARE(form.HScroll1->value(), 157);
        QCOMPARE(form.Picture1->Left(), -1570.0f);
        form.SetHScrollbarByPercent(form.HScroll1, 101);
        form.SetHScrollbarByPercent(form.HScroll1, -1);
        QCOMPARE(form.HScroll1->value(), 157);
        form.SetHScrollbarByPercent(form.HScroll1, 0);
        QCOMPARE(form.HScroll1->value(), 0);
        QCOMPARE(form.Picture1->Left(), 0.0f);
        form.SetVScrollbarByPercent(form.VScroll1, 25);
        QCOMPARE(form.VScroll1->value(), 25);
        QCOMPARE(form.Picture1->Top(), -250.0f);
    }

    void equalWidthsAreReportedAsAZeroDivisor()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, 0, 1000);
        form.HScroll1->setValue(5);
        form.Picture1->Move(0, -500);
        form.Picture1_MouseUp(1, 0, 0, 0);
        QCOMPARE(preview.errors(), QStringList({"Picture1_MouseUp:100"}));
        QVERIFY(preview.test.messageBoxes.shown[0].text.startsWith("Division by zero\r\n"));
        // The percentage stays 0, so the bar goes to 0; the other axis still syncs.
        QCOMPARE(form.HScroll1->value(), 0);
        QCOMPARE(form.VScroll1->value(), 50);
        QCOMPARE(form.Picture1->Top(), -500.0f);
    }

    void aNarrowerCanvasGivesNoPositivePercentage()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, -3210, 1000);
        form.HScroll1->setValue(7);
        // Right-aligned: a negative percentage is ignored.
        form.Picture1->Move(3150, 0);
        form.Picture1_MouseUp(1, 0, 0, 0);
        QCOMPARE(form.HScroll1->value(), 7);
        QCOMPARE(form.Picture1->Left(), 3150.0f);
        // Left-aligned: zero puts the bar at 0.
        form.Picture1->Move(0, 0);
        form.Picture1_MouseUp(1, 0, 0, 0);
        QCOMPARE(form.HScroll1->value(), 0);
        QCOMPARE(preview.errors(), QStringList());
    }

    void aPercentageBeyondSixteenBitsIsReported()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, 1, 1000);
        form.HScroll1->setValue(1);
        form.Picture1->Move(-400, 0); // 40000 %
        form.Picture1_MouseUp(1, 0, 0, 0);
        QCOMPARE(preview.errors(), QStringList({"Picture1_MouseUp:104"}));
        QCOMPARE(form.HScroll1->value(), 1);
        QCOMPARE(form.VScroll1->value(), 0);
    }

    void draggingIsBoundedByTheViewportsInnerSize()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, 2000, 1000); // 11330 x 8425 twips; inner 9270 x 7365
        form.Picture1_MouseDown(1, 0, 3000, 3000);
        form.Picture1_MouseMove(1, 0, 2500, 2800);
        QCOMPARE(form.Picture1->Left(), -500.0f);
        QCOMPARE(form.Picture1->Top(), -200.0f);
        form.Picture1_MouseMove(1, 0, 3600, 3100); // would pass the left edge
        QCOMPARE(form.Picture1->Left(), 0.0f);
        QCOMPARE(form.Picture1->Top(), -100.0f);
        form.Picture1_MouseMove(4, 0, 0, 0); // far past the right and bottom edges
        QCOMPARE(form.Picture1->Left(), -2060.0f);
        QCOMPARE(form.Picture1->Top(), -1060.0f);
        // Without a button the canvas stays.
        form.Picture1_MouseMove(0, 0, 3000, 3000);
        QCOMPARE(form.Picture1->Left(), -2060.0f);

        // The drop at the far edge is above 100 % of the outer difference: ignored.
        form.Picture1_MouseUp(4, 0, 0, 0);
        QCOMPARE(form.HScroll1->value(), 0);
        QCOMPARE(form.VScroll1->value(), 0);
        QCOMPARE(form.Picture1->Left(), -2060.0f);
        QCOMPARE(preview.errors(), QStringList());
    }

    void aNarrowerCanvasSnapsToEitherSide()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, -3210, -2025); // 6120 x 5400 in 9270 x 7365
        form.Picture1_MouseDown(1, 0, 1000, 1000);
        form.Picture1_MouseMove(1, 0, 1001, 1001);
        QCOMPARE(form.Picture1->Left(), 0.0f);
        QCOMPARE(form.Picture1->Top(), 0.0f);
        form.Picture1_MouseMove(1, 0, 1000, 1000);
        QCOMPARE(form.Picture1->Left(), 3150.0f);
        QCOMPARE(form.Picture1->Top(), 1965.0f);
        // From the right-aligned place any move lands left-aligned again.
        form.Picture1_MouseMove(1, 0, 0, 0);
        QCOMPARE(form.Picture1->Left(), 0.0f);
        QCOMPARE(form.Picture1->Top(), 0.0f);
    }

    void theCanvasFollowsARealDrag_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void theCanvasFollowsARealDrag()
    {
        QFETCH(Qt::MouseButton, button);
        PreviewWindow preview(ScreenPicture(800, 600)); // beyond the limit: 12000 x 9000
        Form2& form = preview.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Picture1->Width(), 12000.0);
        PictureBox* canvas = form.Picture1;

        // The mouse travels on the screen; the canvas moves under it.
        const QPoint start = canvas->mapToGlobal(QPoint(100, 100));
        auto moveTo = [&](QPoint offset) { QTest::mouseMove(canvas, canvas->mapFromGlobal(start + offset)); };
        QTest::mousePress(canvas, button, {}, QPoint(100, 100));
        moveTo({-30, -20});
        QCOMPARE(canvas->Left(), -450.0f);
        QCOMPARE(canvas->Top(), -300.0f);
        moveTo({-60, -40});
        QCOMPARE(canvas->Left(), -900.0f);
        QCOMPARE(canvas->Top(), -600.0f);
        QCOMPARE(canvas->pos(), QPoint(-60, -40));
        // The grabbed point stays under the mouse.
        QCOMPARE(canvas->mapFromGlobal(start + QPoint(-60, -40)), QPoint(100, 100));

        QTest::mouseRelease(canvas, button, {}, canvas->mapFromGlobal(start + QPoint(-60, -40)));
        QCOMPARE(form.HScroll1->value(), 91); // 34 % of 267
        QCOMPARE(form.VScroll1->value(), 60); // 38 % of 157
        QCOMPARE(canvas->Left(), -910.0f);
        QCOMPARE(canvas->Top(), -600.0f);

        // A second drag goes on from there and stops at the edges.
        const QPoint again = canvas->mapToGlobal(QPoint(100, 100));
        QTest::mousePress(canvas, button, {}, QPoint(100, 100));
        QTest::mouseMove(canvas, canvas->mapFromGlobal(again + QPoint(-500, -500)));
        QCOMPARE(canvas->Left(), -2730.0f);
        QCOMPARE(canvas->Top(), -1635.0f);
        QTest::mouseRelease(canvas, button, {}, canvas->mapFromGlobal(again + QPoint(-500, -500)));
        QCOMPARE(preview.errors(), QStringList());
    }

    void theWheelAndTheKeysScrollAsTheScrollbarsDo()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        PictureBox* canvas = form.Picture1;
        // A click gives the card the focus.
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(QApplication::focusWidget(), canvas);
        auto key = [](Qt::Key key) { return [key] { QTest::keyClick(QApplication::focusWidget(), key); }; };
        auto wheel = [canvas](QPoint turn, Qt::KeyboardModifiers modifiers = {}) {
            return [=] { TurnWheel(canvas, turn, modifiers); };
        };
        struct Input {
            const char* name;
            std::function<void()> send;
            int horizontal; // scrollbar values after it, from 5 and 5
            int vertical;
        };
        const std::vector<Input> inputs = {
            {"wheel towards the user", wheel({0, -120}), 5, 6},
            {"wheel away", wheel({0, 120}), 5, 4},
            {"two notches in one event", wheel({0, -240}), 5, 7},
            {"half a notch", wheel({0, -60}), 5, 5},
            {"the other half", wheel({0, -60}), 5, 6},
            {"Shift + wheel", wheel({0, -120}, Qt::ShiftModifier), 6, 5},
            {"sideways wheel", wheel({120, 0}), 4, 5},
            {"Down", key(Qt::Key_Down), 5, 6},
            {"Up", key(Qt::Key_Up), 5, 4},
            {"Right", key(Qt::Key_Right), 6, 5},
            {"Left", key(Qt::Key_Left), 4, 5},
            {"Page Down", key(Qt::Key_PageDown), 5, 6},
            {"Page Up", key(Qt::Key_PageUp), 5, 4},
        };
        CanvasLargerBy(form, 1570, 1000);
        for (const Input& input : inputs) {
            if (QString::fromLatin1(input.name) != "the other half") {
                form.HScroll1->setValue(5);
                form.VScroll1->setValue(5);
            }
            input.send();
            QVERIFY2(form.HScroll1->value() == input.horizontal && form.VScroll1->value() == input.vertical,
                     qPrintable(QStringLiteral("%1: %2, %3").arg(input.name).arg(form.HScroll1->value()).arg(form.VScroll1->value())));
            // The change handlers moved the canvas.
            QCOMPARE(canvas->Left(), -10.0f * input.horizontal);
            QCOMPARE(canvas->Top(), -10.0f * input.vertical);
        }

        // The bars keep within their range.
        form.VScroll1->setValue(100);
        TurnWheel(canvas, {0, -360});
        QCOMPARE(form.VScroll1->value(), 100);
        QCOMPARE(preview.errors(), QStringList());
    }

    void aDisabledScrollbarDoesNotMove()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        CanvasLargerBy(form, -3210, 1000); // narrower than the viewport, taller
        QVERIFY(!form.HScroll1->isEnabled());
        form.HScroll1->setValue(3);
        form.Picture1->setFocus();
        TurnWheel(form.Picture1, {0, -120}, Qt::ShiftModifier);
        TurnWheel(form.Picture1, {-120, 0});
        QTest::keyClick(form.Picture1, Qt::Key_Right);
        QCOMPARE(form.HScroll1->value(), 3);
        QCOMPARE(form.Picture1->Left(), 0.0f);
        // Over the viewport beside the narrow canvas the wheel still scrolls.
        TurnWheel(form.Picture2->clientArea(), {0, -120}, {}, QPoint(500, 10));
        QCOMPARE(form.VScroll1->value(), 1);
        QCOMPARE(form.Picture1->Top(), -10.0f);
    }

    void veryWideRangesScrollWithoutOverflow()
    {
        PreviewWindow preview;
        Form2& form = preview.form;
        CanvasLargerBy(form, 400000, 32767);
        QCOMPARE(form.hStep(), int16_t(20));
        QCOMPARE(form.HScroll1->maximum(), 20000);
        form.HScroll1->setValue(20000);
        QCOMPARE(form.Picture1->Left(), -400000.0f);
        // 10-twip steps just under the 16-bit limit: 3277 x 10 = 32770.
        QCOMPARE(form.VScroll1->maximum(), 3277);
        form.VScroll1->setValue(3277);
        QCOMPARE(form.Picture1->Top(), -32770.0f);
        QCOMPARE(preview.errors(), QStringList());
    }
};

QTEST_MAIN(PanningTest)
#include "test_panning.moc"

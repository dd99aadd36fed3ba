// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Conversions.h"
#include "ErrorTrap.h"
#include "Fakes.h"

#include <QtTest>

namespace {
void Untrapped()
{
    throw Failure(QStringLiteral("inner routine failed"));
}
} // namespace

class ErrorTrapTest : public QObject {
    Q_OBJECT
private slots:
    void messageHasExactBytes()
    {
        const QString text = ErrorMessageText(QStringLiteral("Path not found"),
                                              QStringLiteral("Pelorin2021/08/31.Form2.PushButton6_Click"), 130);
        QCOMPARE(text, QStringLiteral("Path not found\r\nin Pelorin2021/08/31.Form2.PushButton6_Click at line 130\r\r"
                                      "Please email screenshot of this message to ")
                           + QString::fromLatin1(kSupportEmail));
        QVERIFY(QString::fromLatin1(kSupportEmail).contains(QLatin1Char('@')));
        // An empty description makes the message begin with the line break.
        QVERIFY(ErrorMessageText(QString(), QStringLiteral("P"), 100).startsWith(QStringLiteral("\r\nin P at line 100\r\r")));
    }

    void reportShowsWarningBoxWithOkOnly()
    {
        RecordingMessageBoxes boxes;
        ReportError(boxes, QStringLiteral("x"), QStringLiteral("P"), 102);
        QCOMPARE(boxes.shown.size(), size_t(1));
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Application Error"));
        QCOMPARE(boxes.shown[0].style, 48);
    }

    void resumesAfterEachFailureInStepOrder()
    {
        RecordingMessageBoxes boxes;
        QStringList ran;
        int value = 1;
        {
            ErrorTrap trap(boxes, "Pelorin2021/08/31.Form1.PushButton6_Click");
            trap.step(100, [&] { ran << "100"; });
            trap.step(102, [&] {
                Untrapped();
                value = 2; // the rest of a failed step is abandoned
            });
            trap.step(104, [&] { ran << "104"; throw std::runtime_error("second"); });
            trap.step(106, [&] { ran << "106"; });
        }
        QCOMPARE(ran, QStringList({"100", "104", "106"}));
        QCOMPARE(value, 1);
        QCOMPARE(boxes.errorSteps(), QStringList({"PushButton6_Click:102", "PushButton6_Click:104"}));
        QVERIFY(boxes.shown[0].text.startsWith(QStringLiteral("inner routine failed\r\n")));
        QVERIFY(boxes.shown[1].text.startsWith(QStringLiteral("second\r\n")));
    }

    void failedConditionRunsTheBody()
    {
        RecordingMessageBoxes boxes;
        ErrorTrap trap(boxes, "P.Form2.Form_Load");
        bool bodyRan = false;
        if (trap.test(108, [&]() -> bool { throw Failure(QStringLiteral("no access")); }))
            trap.step(110, [&] { bodyRan = true; });
        QVERIFY(bodyRan);
        QCOMPARE(boxes.errorSteps(), QStringList({"Form_Load:108"}));
        // A condition that is simply false skips the body without a message.
        bool skipped = true;
        if (trap.test(112, [] { return false; }))
            skipped = false;
        QVERIFY(skipped);
        QCOMPARE(boxes.shown.size(), size_t(1));
    }

    void emptyReferenceFailsLikeAnUnsetObject()
    {
        RecordingMessageBoxes boxes;
        ErrorTrap trap(boxes, "P.Form1.SaveDocAsJPG");
        std::unique_ptr<int> missing;
        trap.step(118, [&] { Need(missing) = 3; });
        QCOMPARE(boxes.errorSteps(), QStringList({"SaveDocAsJPG:118"}));
        QVERIFY(boxes.shown[0].text.startsWith(QStringLiteral("Object variable")));
    }

    void conversionsRoundHalfToEvenAndFailOutOfRange()
    {
        QCOMPARE(ToInt16(10.5), int16_t(10));
        QCOMPARE(ToInt16(11.5), int16_t(12));
        QCOMPARE(ToInt16(-78.5), int16_t(-78));
        QCOMPARE(ToInt32(2.5), 2);
        QCOMPARE(FloorToInt32(75.75), 75);
        QCOMPARE(FloorToInt32(-0.5), -1);
        QVERIFY_THROWS_EXCEPTION(Failure, ToInt16(32767.5));
        QVERIFY_THROWS_EXCEPTION(Failure, ToInt16(-32769));
        QVERIFY_THROWS_EXCEPTION(Failure, Int16(200 * 200));
        QVERIFY_THROWS_EXCEPTION(Failure, Divide(1, 0));
        QCOMPARE(ToInt16(32767.4), int16_t(32767));
    }
};

QTEST_GUILESS_MAIN(ErrorTrapTest)
#include "test_error_trap.moc"

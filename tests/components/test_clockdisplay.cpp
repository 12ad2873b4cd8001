#include <QtTest>

#include "components/ClockDisplay.h"

namespace {

QRgb At(const TClockDisplay& Clock, QPoint P)
{
    return Clock.Image().pixel(P) | 0xFF000000u;
}

QRect Line(const TClockHand& Hand)
{
    int X1, Y1, X2, Y2;
    Hand.GetPosition(X1, Y1, X2, Y2);
    return QRect(QPoint(X1, Y1), QPoint(X2, Y2));
}

// The machine window's clock.
void SetUpPanelClock(TClockDisplay& Clock)
{
    Clock.SetRadius(32);
    Clock.HourHand()->SetRadius(32);
    Clock.HourHand()->SetDrawAsDot(true);
    Clock.MinuteHand()->SetRadius(13);
    Clock.MinuteHand()->SetWidth(2);
    Clock.SecondHand()->SetRadius(18);
    Clock.SecondHand()->SetColor(Qt::red);
    Clock.SetShowQuarters(true);
    Clock.SetShowHours(true);
}

} // namespace

class TestClockDisplay : public QObject {
    Q_OBJECT
private slots:
    void HandEndPointsOfTheWorkedExamples()
    {
        TClockDisplay Clock;
        SetUpPanelClock(Clock);
        QCOMPARE(Clock.HandEndPoint(15, 60, 18), QPoint(50, 32));
        QCOMPARE(Clock.HandEndPoint(0, 60, 13), QPoint(32, 19));
        QCOMPARE(Clock.HandEndPoint(-1, 60, 18), QPoint(30, 14)); // one step before the top: -96 degrees

        Clock.SetSecond(15);
        Clock.SetMinute(0);
        QCOMPARE(At(Clock, {50, 32}), qRgb(255, 0, 0));
        QCOMPARE(At(Clock, {32, 19}), qRgb(255, 255, 255));
        QCOMPARE(Line(*Clock.SecondHand()), QRect(QPoint(32, 32), QPoint(50, 32)));
        // The hour hand drawn as a dot sits on the rim.
        Clock.SetHour(0);
        QCOMPARE(Line(*Clock.HourHand()), QRect(QPoint(31, -1), QPoint(32, 0)));
        QCOMPARE(At(Clock, {32, 0}), qRgb(255, 255, 255));
    }

    void ErasedHandsLeaveNoTrace()
    {
        // A clock that went through other times looks exactly like one set
        // straight to the same time: erasing a hand that crossed another loses
        // none of it, the rim dot's erasure restores the see-through surround,
        // and no mark of the face is lost.
        TClockDisplay Travelled, Direct;
        SetUpPanelClock(Travelled);
        SetUpPanelClock(Direct);
        for (int Hour = 0; Hour < 12; ++Hour) {
            Travelled.SetHour(Hour);
            Travelled.SetMinute(Hour * 5 + 1);
            Travelled.SetSecond(59 - Hour * 5);
        }
        for (TClockDisplay* Clock : {&Travelled, &Direct}) {
            Clock->SetHour(2);
            Clock->SetMinute(20);
            Clock->SetSecond(40);
        }
        QCOMPARE(Travelled.Image(), Direct.Image());

        // Setting the same value again draws nothing.
        const auto Before = Travelled.LinesDrawn();
        Travelled.SetMinute(20);
        QCOMPARE(Travelled.LinesDrawn(), Before);
        QCOMPARE(Travelled.Image(), Direct.Image());
    }

    void HandSetterCopiesLooksButNotTheDotStyle()
    {
        TClockDisplay Clock;
        SetUpPanelClock(Clock);
        Clock.SetSecond(15);
        TClockHand Other(3, 10, Qt::green);
        Other.SetDrawAsDot(true);
        Clock.SetSecondHand(Other);
        QVERIFY(!Clock.SecondHand()->DrawAsDot() && Clock.SecondHand()->Width() == 3);
        QCOMPARE(Line(*Clock.SecondHand()), QRect(QPoint(32, 32), QPoint(42, 32)));
        QCOMPARE(At(Clock, {42, 32}), qRgb(0, 255, 0));
        QCOMPARE(At(Clock, {48, 32}), qRgb(0, 0, 0));
    }

    void FaceMarks()
    {
        TClockDisplay Clock;
        Clock.SetShowHours(true);
        for (int Hour : {1, 2, 4, 5, 7, 8, 10, 11})
            QCOMPARE(At(Clock, Clock.HandEndPoint(Hour, 12, 27)), qRgb(255, 255, 255));
        // Without quarter marks, nothing at 12 and 3.
        QCOMPARE(At(Clock, {32, 6}), qRgb(0, 0, 0));
        QCOMPARE(At(Clock, Clock.HandEndPoint(3, 12, 27)), qRgb(0, 0, 0));
        Clock.SetShowQuarters(true);
        QCOMPARE(At(Clock, {32, 6}), qRgb(255, 255, 255));
        QCOMPARE(At(Clock, {58, 32}), qRgb(255, 255, 255));
        // Outside the disc the face is see-through.
        QCOMPARE(qAlpha(Clock.Image().pixel(0, 0)), 0);
    }

    void StaysSquareWhenResized()
    {
        TClockDisplay Clock;
        Clock.SetRadius(32);
        QCOMPARE(Clock.size(), QSize(64, 64));
        Clock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Clock));
        Clock.resize(80, 60);
        QCOMPARE(Clock.size(), QSize(60, 60));
        QCOMPARE(Clock.Radius(), 30);
        QCOMPARE(QPoint(Clock.CentreX(), Clock.CentreY()), QPoint(30, 30));
        QCOMPARE(Clock.Image().size(), QSize(60, 60));
    }
};

QTEST_MAIN(TestClockDisplay)
#include "test_clockdisplay.moc"

#include <QtTest>
#include <cmath>
#include <numbers>

#include "components/ClockDisplay.h"

namespace {

QRgb At(const TClockDisplay& Clock, QPoint P)
{
    return Clock.Image().pixel(P) | 0xFF000000u;
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
    void DefaultsAndRadius()
    {
        TClockDisplay Clock;
        QCOMPARE(Clock.size(), QSize(65, 65));
        QCOMPARE(Clock.Radius(), 32);
        QCOMPARE(QPoint(Clock.CentreX(), Clock.CentreY()), QPoint(32, 32));
        QCOMPARE(Clock.Hour(), -1);
        QCOMPARE(Clock.Minute(), -1);
        QCOMPARE(Clock.Second(), -1);
        QVERIFY(!Clock.ShowQuarters() && !Clock.ShowHours());
        QCOMPARE(Clock.SecondHand()->Color(), QColor(255, 255, 255));
        Clock.SetRadius(32);
        QCOMPARE(Clock.size(), QSize(64, 64));
        QCOMPARE(QPoint(Clock.CentreX(), Clock.CentreY()), QPoint(32, 32));
    }

    void HandEndPointsOfTheWorkedExamples()
    {
        TClockDisplay Clock;
        SetUpPanelClock(Clock);
        QCOMPARE(Clock.HandEndPoint(15, 60, 18), QPoint(50, 32));
        QCOMPARE(Clock.HandEndPoint(0, 60, 13), QPoint(32, 19));
        // -1 is one step before the top: -96 degrees.
        const double A = -96.0 * std::numbers::pi / 180.0;
        QCOMPARE(Clock.HandEndPoint(-1, 60, 18),
                 QPoint(int(std::nearbyint(std::cos(A) * 18 + 32)), int(std::nearbyint(std::sin(A) * 18 + 32))));
        QCOMPARE(Clock.HandEndPoint(-1, 60, 18), QPoint(30, 14));

        Clock.SetSecond(15);
        Clock.SetMinute(0);
        QCOMPARE(At(Clock, {50, 32}), qRgb(255, 0, 0));
        QCOMPARE(At(Clock, {32, 19}), qRgb(255, 255, 255));
        int X1, Y1, X2, Y2;
        Clock.SecondHand()->GetPosition(X1, Y1, X2, Y2);
        QCOMPARE(QRect(QPoint(X1, Y1), QPoint(X2, Y2)), QRect(QPoint(32, 32), QPoint(50, 32)));

        // The hour hand drawn as a dot sits on the rim.
        Clock.SetHour(0);
        Clock.HourHand()->GetPosition(X1, Y1, X2, Y2);
        QCOMPARE(QRect(QPoint(X1, Y1), QPoint(X2, Y2)), QRect(QPoint(31, -1), QPoint(32, 0)));
        QCOMPARE(At(Clock, {32, 0}), qRgb(255, 255, 255));
    }

    void MovingAHandErasesItsLastLine()
    {
        TClockDisplay Clock, MinuteOnly;
        SetUpPanelClock(Clock);
        SetUpPanelClock(MinuteOnly);
        MinuteOnly.SetMinute(10);
        Clock.SetMinute(10);
        Clock.SetSecond(15);
        Clock.SetSecond(30);
        QCOMPARE(At(Clock, {50, 32}), qRgb(0, 0, 0));
        QCOMPARE(At(Clock, {41, 32}), qRgb(0, 0, 0));
        QCOMPARE(At(Clock, {32, 50}), qRgb(255, 0, 0));
        // The erased second hand crossed the minute hand at the centre; none of
        // the minute hand is lost.
        for (int Y = 0; Y < 64; ++Y)
            for (int X = 0; X < 64; ++X)
                if (At(MinuteOnly, {X, Y}) == qRgb(255, 255, 255))
                    QVERIFY2(At(Clock, {X, Y}) != qRgb(0, 0, 0), qPrintable(QString("%1,%2").arg(X).arg(Y)));

        const auto Before = Clock.LinesDrawn();
        const QImage Picture = Clock.Image();
        Clock.SetMinute(10);
        QCOMPARE(Clock.LinesDrawn(), Before);
        QCOMPARE(Clock.Image(), Picture);
    }

    void ErasedHandsLeaveNoTrace()
    {
        // A clock that went through other times looks exactly like one set
        // straight to the same time: the rim dot's erasure restores the
        // see-through surround, and no mark of the face is lost.
        TClockDisplay Travelled, Direct;
        SetUpPanelClock(Travelled);
        SetUpPanelClock(Direct);
        for (int Hour = 0; Hour < 12; ++Hour) {
            Travelled.SetHour(Hour);
            Travelled.SetMinute(Hour * 5 + 1);
            Travelled.SetSecond(59 - Hour * 5);
        }
        Travelled.SetHour(2);
        Travelled.SetMinute(20);
        Travelled.SetSecond(40);
        Direct.SetHour(2);
        Direct.SetMinute(20);
        Direct.SetSecond(40);
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
        QCOMPARE(Clock.SecondHand()->Width(), 3);
        QCOMPARE(Clock.SecondHand()->Radius(), 10);
        QCOMPARE(Clock.SecondHand()->Color(), QColor(Qt::green));
        QVERIFY(!Clock.SecondHand()->DrawAsDot());
        int X1, Y1, X2, Y2;
        Clock.SecondHand()->GetPosition(X1, Y1, X2, Y2);
        QCOMPARE(QRect(QPoint(X1, Y1), QPoint(X2, Y2)), QRect(QPoint(32, 32), QPoint(42, 32)));
        QCOMPARE(At(Clock, {42, 32}), qRgb(0, 255, 0));
        QCOMPARE(At(Clock, {48, 32}), qRgb(0, 0, 0));
    }

    void FaceMarks()
    {
        TClockDisplay Clock;
        Clock.SetRadius(32);
        Clock.SetShowHours(true);
        for (int Hour : {1, 2, 4, 5, 7, 8, 10, 11})
            QCOMPARE(At(Clock, Clock.HandEndPoint(Hour, 12, 27)), qRgb(255, 255, 255));
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

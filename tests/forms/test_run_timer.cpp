// The run timer as the machine window uses it: off during a tick, on again only
// when the tick says so, its pace changed between ticks.
#include <QElapsedTimer>
#include <QtTest>

#include "forms/RunTimer.h"

class TestRunTimer : public QObject {
    Q_OBJECT
private slots:
    void ticksWhileSwitchedBackOnWithinEachTick()
    {
        TRunTimer Timer;
        Timer.setInterval(0);
        int Ticks = 0;
        connect(&Timer, &TRunTimer::timeout, [&] {
            Timer.stop();
            QVERIFY(!Timer.isActive());
            if (++Ticks < 50)
                Timer.start();
        });
        Timer.start();
        QTRY_COMPARE(Ticks, 50);
        QVERIFY(!Timer.isActive());
        QTest::qWait(20);
        QCOMPARE(Ticks, 50); // left off, it stays off
    }

    void stoppedFromOutsideItNeverTicksAgain()
    {
        TRunTimer Timer;
        Timer.setInterval(0);
        int Ticks = 0;
        connect(&Timer, &TRunTimer::timeout, [&] { ++Ticks; });
        Timer.start();
        QTRY_VERIFY(Ticks > 3);
        Timer.stop();
        const int Seen = Ticks;
        QTest::qWait(20);
        QCOMPARE(Ticks, Seen);
    }

    void aNewPaceTakesEffectAtTheNextTick()
    {
        TRunTimer Timer;
        Timer.setInterval(0);
        int Ticks = 0;
        QElapsedTimer Clock;
        qint64 SecondTickAt = 0;
        connect(&Timer, &TRunTimer::timeout, [&] {
            Timer.stop();
            if (++Ticks == 2) {
                SecondTickAt = Clock.elapsed();
                return;
            }
            Timer.setInterval(60);
            Clock.start();
            Timer.start();
        });
        Timer.start();
        QTRY_COMPARE(Ticks, 2);
        QVERIFY2(SecondTickAt >= 50, qPrintable(QString::number(SecondTickAt)));
        QCOMPARE(Timer.interval(), 60);
    }
};

QTEST_MAIN(TestRunTimer)
#include "test_run_timer.moc"

// The run timer as the machine window uses it: off during a tick, on again only
// when the tick says so, its pace changed between ticks; and the Real Time pacing
// it keeps, on a clock of the test's own.
#include <QElapsedTimer>
#include <QtTest>
#include <memory>

#include "kit/RealTimePacer.h"
#include "kit/RunTimer.h"

namespace {

constexpr std::int64_t Ms = 1'000'000; // ns

// A wall clock that moves only when the test moves it.
struct TFakeClock {
    std::shared_ptr<std::int64_t> Now = std::make_shared<std::int64_t>(5 * Ms);
    TRealTimePacer::TClock Clock() const
    {
        return [Now = Now] { return *Now; };
    }
    void Pass(std::int64_t Ns) { *Now += Ns; }
};

} // namespace

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

    void machineTimeKeepsToTheWallClock_data()
    {
        QTest::addColumn<QList<int>>("durations"); // of the orders in turn, in 100 us
        QTest::addColumn<int>("lateNs"); // how late each tick comes
        QTest::newRow("ordinary orders, punctual") << QList<int>{15} << 0;
        QTest::newRow("ordinary orders, late ticks") << QList<int>{15} << 300'000;
        QTest::newRow("a mixture") << QList<int>{15, 15, 60, 15, 215, 15, 1515} << 150'000;
    }
    void machineTimeKeepsToTheWallClock()
    {
        QFETCH(QList<int>, durations);
        QFETCH(int, lateNs);
        TFakeClock Wall;
        const std::int64_t Start = *Wall.Now;
        TRealTimePacer Pacer(Wall.Clock());
        std::int64_t Machine = 0;
        // Ten seconds of wall time, each wait as long as the pacer asks plus the lateness.
        for (int I = 0; *Wall.Now - Start < 10'000 * Ms; ++I) {
            const int Units = durations[I % durations.size()];
            Machine += Units * 100'000LL;
            const int Wait = Pacer.Advance(static_cast<std::uint32_t>(Units));
            QVERIFY(Wait >= 0);
            Wall.Pass(Wait * Ms + lateNs);
        }
        // Never more than an order and a tick apart, far inside 2%.
        const std::int64_t Apart = std::abs(Machine - (*Wall.Now - Start));
        QVERIFY2(Apart <= 152 * Ms + lateNs, qPrintable(QString::number(Apart)));
        QVERIFY(std::abs(double(Machine) / double(*Wall.Now - Start) - 1) < 0.02);
    }

    void aStallIsMadeUpButNotRacedAfterForLong()
    {
        TFakeClock Wall;
        TRealTimePacer Pacer(Wall.Clock());
        QCOMPARE(Pacer.Advance(15), 1); // 1.5 ms ahead
        Wall.Pass(1 * Ms);
        QCOMPARE(Pacer.Advance(15), 2); // the half millisecond carried over
        // The event loop is held up for 30 ms: the next 20 orders go at once.
        Wall.Pass(32 * Ms);
        int AtOnce = 0;
        while (Pacer.Advance(15) == 0)
            ++AtOnce;
        QCOMPARE(AtOnce, 20);
        // Held up for a minute, it makes up one second's worth only.
        Wall.Pass(60'000 * Ms);
        AtOnce = 0;
        while (Pacer.Advance(15) == 0)
            ++AtOnce;
        QVERIFY2(AtOnce >= 666 && AtOnce <= 668, qPrintable(QString::number(AtOnce)));
        // Restarted, machine and wall time set off together again.
        Wall.Pass(500 * Ms);
        Pacer.Restart();
        QCOMPARE(Pacer.Advance(60), 6);
    }

    void startingFromOutsideATickRestartsThePacing()
    {
        TFakeClock Wall;
        TRunTimer Timer;
        Timer.Pacer() = TRealTimePacer(Wall.Clock());
        Timer.setInterval(0);
        int Ticks = 0;
        connect(&Timer, &TRunTimer::timeout, [&] {
            Timer.stop();
            Wall.Pass(100 * Ms);
            if (++Ticks == 1)
                Timer.start(); // running on: the same run
        });
        Timer.start();
        QTRY_COMPARE(Ticks, 2);
        // 200 ms into the run and 1.5 ms of machine time: behind.
        QCOMPARE(Timer.Pacer().Advance(15), 0);
        // Started again from outside (Reset, the dial): a new run.
        Timer.start();
        QCOMPARE(Timer.Pacer().Advance(15), 1);
        Timer.stop();
    }
};

QTEST_MAIN(TestRunTimer)
#include "test_run_timer.moc"

#include "forms/RunTimer.h"

TRunTimer::TRunTimer(QObject* Parent) : QObject(Parent)
{
    Timer.setTimerType(Qt::PreciseTimer);
    connect(&Timer, &QTimer::timeout, this, &TRunTimer::Tick);
}

void TRunTimer::start()
{
    if (!InTick)
        Pace.Restart();
    Active = true;
    // Switched off and on again within its own tick, at the same pace: carry on.
    if (InTick && Timer.isActive() && Timer.interval() == Interval)
        return;
    Timer.start(Interval);
}

void TRunTimer::stop()
{
    Active = false;
    if (!InTick)
        Timer.stop();
}

void TRunTimer::Tick()
{
    if (!Active) {
        Timer.stop();
        return;
    }
    InTick = true;
    emit timeout();
    InTick = false;
    if (!Active)
        Timer.stop();
}

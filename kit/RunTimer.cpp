#include "kit/RunTimer.h"

TRunTimer::TRunTimer(QObject* Parent) : QObject(Parent)
{
    FTimer.setTimerType(Qt::PreciseTimer);
    connect(&FTimer, &QTimer::timeout, this, &TRunTimer::Tick);
}

void TRunTimer::start()
{
    if (!FInTick)
        FPace.Restart();
    FActive = true;
    // Switched off and on again within its own tick, at the same pace: carry on.
    if (FInTick && FTimer.isActive() && FTimer.interval() == FInterval)
        return;
    FTimer.start(FInterval);
}

void TRunTimer::stop()
{
    FActive = false;
    if (!FInTick)
        FTimer.stop();
}

void TRunTimer::Tick()
{
    if (!FActive) {
        FTimer.stop();
        return;
    }
    FInTick = true;
    emit timeout();
    FInTick = false;
    if (!FActive)
        FTimer.stop();
}

// The machine window's run timer. The machine runs exactly while it is active, one
// order per tick, and every tick switches it off and, if the machine goes on, on
// again. Doing that to a toolkit timer would register it anew after every order;
// this one keeps its toolkit timer going across such a tick and only lets it lapse
// when the timer stays off.
//
// It also keeps the Real Time pace: switched on from outside a tick (Start, Reset,
// the dial), the machine's run starts anew and so does its pacing.
#pragma once

#include <QObject>
#include <QTimer>

#include "kit/RealTimePacer.h"

class TRunTimer : public QObject {
    Q_OBJECT
public:
    explicit TRunTimer(QObject* Parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return FActive; }
    int interval() const { return FInterval; }
    void setInterval(int Milliseconds) { FInterval = Milliseconds; }
    bool isSingleShot() const { return false; }
    // Machine time against the wall clock since the run started; whoever steps the
    // machine in Real Time takes the next interval from here.
    TRealTimePacer& Pacer() { return FPace; }

signals:
    void timeout();

private:
    void Tick();

    QTimer FTimer;
    bool FActive = false;
    bool FInTick = false;
    int FInterval = 0;
    TRealTimePacer FPace;
};

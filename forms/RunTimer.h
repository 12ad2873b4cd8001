// The machine window's run timer. The machine runs exactly while it is active, one
// order per tick, and every tick switches it off and, if the machine goes on, on
// again. Doing that to a toolkit timer would register it anew after every order;
// this one keeps its toolkit timer going across such a tick and only lets it lapse
// when the timer stays off.
#pragma once

#include <QObject>
#include <QTimer>

class TRunTimer : public QObject {
    Q_OBJECT
public:
    explicit TRunTimer(QObject* Parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return Active; }
    int interval() const { return Interval; }
    void setInterval(int Milliseconds) { Interval = Milliseconds; }
    bool isSingleShot() const { return false; }

signals:
    void timeout();

private:
    void Tick();

    QTimer Timer;
    bool Active = false;
    bool InTick = false;
    int Interval = 0;
};

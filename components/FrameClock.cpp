#include "components/FrameClock.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace {

class TFrameClock : public QObject {
public:
    explicit TFrameClock(QObject* Parent) : QObject(Parent)
    {
        Timer.setSingleShot(true);
        Timer.setTimerType(Qt::PreciseTimer);
        Timer.setInterval(FrameClock::FrameInterval);
        connect(&Timer, &QTimer::timeout, this, &TFrameClock::Frame);
    }

    void Request(QWidget* Widget)
    {
        Pending.emplace_back(Widget);
        if (!Timer.isActive())
            Timer.start();
    }

private:
    void Frame()
    {
        std::vector<QPointer<QWidget>> Due;
        Due.swap(Pending);
        for (const QPointer<QWidget>& Widget : Due)
            if (Widget)
                Widget->update();
    }

    QTimer Timer;
    std::vector<QPointer<QWidget>> Pending;
};

TFrameClock* Instance()
{
    // Owned by the application object, so it goes with it.
    static QPointer<TFrameClock> Clock;
    if (!Clock)
        Clock = new TFrameClock(QCoreApplication::instance());
    return Clock;
}

} // namespace

void FrameClock::Request(QWidget* Widget)
{
    Instance()->Request(Widget);
}

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
        FTimer.setSingleShot(true);
        FTimer.setTimerType(Qt::PreciseTimer);
        FTimer.setInterval(FrameClock::FrameInterval);
        connect(&FTimer, &QTimer::timeout, this, &TFrameClock::Frame);
    }

    void Request(QWidget* Widget)
    {
        FPending.emplace_back(Widget);
        if (!FTimer.isActive())
            FTimer.start();
    }

private:
    void Frame()
    {
        std::vector<QPointer<QWidget>> Due;
        Due.swap(FPending);
        for (const QPointer<QWidget>& Widget : Due)
            if (Widget)
                Widget->update();
    }

    QTimer FTimer;
    std::vector<QPointer<QWidget>> FPending;
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

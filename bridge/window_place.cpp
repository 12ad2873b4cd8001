#include "bridge/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

// The machine window's title bar is guessed at this height before the window
// manager has framed it; a position counts as reachable when a grip's width of
// that strip, its whole height, lies on some screen's available area.
constexpr int TitleBarHeight = 24;
constexpr int TitleBarGrip = 100;

// Where a window of Size stands centred on Area.
QPoint CentredOn(const QRect& Area, const QSize& Size)
{
    return Area.topLeft() + QPoint((Area.width() - Size.width()) / 2, (Area.height() - Size.height()) / 2);
}

bool TitleBarReachable(const QRect& TitleBar)
{
    for (const QScreen* Screen : QGuiApplication::screens()) {
        const QRect On = TitleBar.intersected(Screen->availableGeometry());
        if (On.width() >= std::min(TitleBarGrip, TitleBar.width()) && On.height() >= TitleBar.height())
            return true;
    }
    return false;
}

} // namespace

void PlaceMachineWindow(QWidget& Window, int& Left, int& Top)
{
    if (Left == -1 && Top == -1) {
        Window.move(CentredOn(QRect(QPoint(), QGuiApplication::primaryScreen()->geometry().size()), Window.size()));
    } else if (TitleBarReachable(QRect(Left, Top, Window.width(), TitleBarHeight))) {
        Window.move(Left, Top);
    } else {
        // A place off every screen (another monitor once, a hand-edited file) would
        // keep the panel out of reach for good: centre it where it can be seen and
        // keep that place instead.
        Window.move(
            CentredOn(QGuiApplication::primaryScreen()->availableGeometry(), Window.size() + QSize(0, TitleBarHeight)));
        Left = Window.x();
        Top = Window.y();
    }
}

// A window the user minimised is still "visible" to the toolkit, so show() alone
// would leave it iconic.
void BringBack(QWidget* Window)
{
    if (Window->windowState() & Qt::WindowMinimized)
        Window->setWindowState(Window->windowState() & ~Qt::WindowMinimized);
    Window->show();
    Window->raise();
    Window->activateWindow();
}

QPoint TCascade::Next(const QRect& MainFrame, int Height)
{
    if (FFromMain)
        FNext = QPoint(10, MainFrame.y() + MainFrame.height() + 50);
    const QPoint Place = FNext;
    FFromMain = QGuiApplication::primaryScreen()->geometry().height() - 100 < Place.y() + Height;
    if (!FFromMain)
        FNext += QPoint(10, 20);
    return Place;
}

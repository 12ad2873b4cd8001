// Where the windows of the standard user interface open, and how one comes back.
#pragma once

#include <QPoint>

class QRect;
class QWidget;

// Moves Window to Left, Top; centred on the primary screen when both are -1 (no
// place kept yet), or when the place would leave its title bar out of reach, in
// which case Left and Top take the new place.
void PlaceMachineWindow(QWidget& Window, int& Left, int& Top);

// Brings a window back to the front in its normal state, and activates it.
void BringBack(QWidget* Window);

// Tape windows open in a cascade below the main window, each 10 pixels right of
// and 20 below the one before, starting again below the main window before one
// would come within 100 pixels of the bottom of the screen.
class TCascade {
public:
    // The place of the next window, Height tall, below a main window whose frame
    // (title bar included) is MainFrame.
    QPoint Next(const QRect& MainFrame, int Height);

private:
    QPoint FNext;
    // FNext is to be measured from the main window again. Until the window manager
    // has framed the main window its frame is not known, so the first window of a
    // cascade measures when it is made.
    bool FFromMain = true;
};

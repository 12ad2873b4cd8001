// Where the machine window opens.
#pragma once

class QWidget;

// Moves Window to Left, Top; centred on the primary screen when both are -1 (no
// place kept yet), or when the place would leave its title bar out of reach, in
// which case Left and Top take the new place.
void PlaceMachineWindow(QWidget& Window, int& Left, int& Top);

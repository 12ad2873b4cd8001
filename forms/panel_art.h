// The machine window's artwork, painted at start-up rather than loaded from files:
// the control panel behind the tubes and the holes of the telephone dial.
#pragma once

#include <QImage>

namespace PanelArt {

// In this order: the art keeps one look per state.
enum class TDialHoleState { Up, Disabled, Down };

// The panel: the long-tank tube's bezel, the teleprinter frame, the control,
// clock and dial plates and the register tube slots, drawn round the places
// PanelLayout gives the machine window's components.
QImage PanelPicture();

// One finger hole of the dial, with a transparent surround.
QImage DialHolePicture(TDialHoleState State);

} // namespace PanelArt

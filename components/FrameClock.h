// The tubes change far more often than a screen can show: a running machine
// redraws them after every order. Their pictures are copied to the screen at most
// once a frame, so the run timer is not held up by repaints and the screen is
// never more than one frame behind.
#pragma once

class QWidget;

namespace FrameClock {

// The widget is repainted at the next frame (once, however often it asks).
void Request(QWidget* Widget);
// Milliseconds between frames.
inline constexpr int FrameInterval = 16;

} // namespace FrameClock

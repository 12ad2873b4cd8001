// The main window's tool-bar pictures, drawn here so that the program carries no
// image files: 16 by 16, one palette and one line weight for the whole set.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace ToolbarIcons {

enum class TToolIcon {
    New,
    Open,
    Save,
    Print,
    PrintPreview,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    DiscardOutput,
    LineFeed,
    ZeroizeClock
};

constexpr int IconSize = 16;

// The picture drawn on a transparent square of Size by Size pixels (the drawing
// is laid out on a 16 by 16 grid and scaled).
QPixmap Picture(TToolIcon Which, int Size = IconSize);
// The picture at 16 and at 32 pixels, so that it stays sharp on dense screens;
// the toolkit derives the greyed-out look of disabled buttons from it.
QIcon Icon(TToolIcon Which);

} // namespace ToolbarIcons

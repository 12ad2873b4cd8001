// The About box, and the valve picture it shares with the splash window.
#pragma once

#include <QDialog>

#include "valvane_version.h"

class QLabel;
class QPainter;
class QRect;

// Paints the program's picture (a rack of glowing valves under a night sky) into
// Area. Used by the About box and the splash window.
void PaintValveArt(QPainter& Painter, const QRect& Area);

// Draws Text white over a black copy shifted 2 pixels right and down, the
// two-layer lettering of the About and splash windows.
void DrawShadowedText(QPainter& Painter, const QRect& Box, int Flags, const QString& Text);

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 335;
    static constexpr int DesignHeight = 390;
    static constexpr int PictureWidth = 288;
    static constexpr int PictureHeight = 163;
    static constexpr const char* VersionText = VALVANE_VERSION_TEXT;

    explicit TAboutForm(QWidget* Parent = nullptr);

    // Sets both version labels (they start out as VersionText).
    void SetVersion(const QString& Text);

private:
    QLabel* FVersionA; // white, on top
    QLabel* FVersionB; // black, 2 pixels lower and to the right
};

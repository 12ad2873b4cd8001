// A round clock face with hour, minute and second hands. A hand is moved by
// erasing its last line and drawing the new one in its colour; the face itself
// is drawn only by Paint. All drawing goes to an off-screen picture that the
// screen is refreshed from.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>

class QBrush;
class QPainter;

class TClockHand {
public:
    TClockHand(int AWidth, int ARadius, const QColor& AColor);

    int Radius() const { return FRadius; }
    void SetRadius(int Value) { FRadius = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    const QColor& Color() const { return FColor; }
    void SetColor(const QColor& Value) { FColor = Value; }
    bool DrawAsDot() const { return FDrawAsDot; }
    void SetDrawAsDot(bool Value) { FDrawAsDot = Value; }

    // The line the hand was last drawn (or placed) as.
    void SetPosition(int AX1, int AY1, int AX2, int AY2);
    void GetPosition(int& AX1, int& AY1, int& AX2, int& AY2) const;

private:
    int FRadius;
    int FWidth;
    QColor FColor;
    bool FDrawAsDot = false;
    int FX1 = 0;
    int FY1 = 0;
    int FX2 = 0;
    int FY2 = 0;
};

class TClockDisplay : public QWidget {
    Q_OBJECT
public:
    explicit TClockDisplay(QWidget* Owner = nullptr);
    ~TClockDisplay() override;

    int Radius() const { return FRadius; }
    void SetRadius(int Value);

    // The clock's own hands; their looks may be changed in place and show at the
    // next move of that hand or the next Paint.
    TClockHand* HourHand() { return &FHourHand; }
    TClockHand* MinuteHand() { return &FMinuteHand; }
    TClockHand* SecondHand() { return &FSecondHand; }
    // Copy radius, width and colour (not the dot style), place the hand for its
    // current value and repaint.
    void SetHourHand(const TClockHand& Value);
    void SetMinuteHand(const TClockHand& Value);
    void SetSecondHand(const TClockHand& Value);

    int Hour() const { return FHour; }
    void SetHour(int Value);
    int Minute() const { return FMinute; }
    void SetMinute(int Value);
    int Second() const { return FSecond; }
    void SetSecond(int Value);

    bool ShowQuarters() const { return FShowQuarters; }
    void SetShowQuarters(bool Value);
    bool ShowHours() const { return FShowHours; }
    void SetShowHours(bool Value);

    int CentreX() const { return FCentreX; }
    int CentreY() const { return FCentreY; }

    // The tip of a hand of length R at value V on a dial of N divisions.
    QPoint HandEndPoint(int V, int N, int R) const;

    const QImage& Image() const { return FImage; }
    // Hand lines drawn (erasures included) since creation.
    std::uint64_t LinesDrawn() const { return FLinesDrawn; }

    // Draws the face and the hands at their remembered lines.
    void Paint();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    bool MakeSquare();
    void EnsureImage();
    void DrawLine(QPainter& Painter, const QBrush& Brush, int Width, int X1, int Y1, int X2, int Y2);
    void EraseHand(QPainter& Painter, const TClockHand& Hand);
    void RedrawHand(QPainter& Painter, const TClockHand& Hand);
    // Remembers the line the hand is drawn as for value V on N divisions.
    void PlaceHand(TClockHand& Hand, int V, int N);
    void MoveHand(TClockHand& Hand, int V, int N, const TClockHand& Other1, const TClockHand& Other2);

    int FRadius = 32;
    TClockHand FSecondHand;
    TClockHand FMinuteHand;
    TClockHand FHourHand;
    int FSecond = -1;
    int FMinute = -1;
    int FHour = -1;
    bool FShowQuarters = false;
    bool FShowHours = false;
    int FCentreX = 32;
    int FCentreY = 32;
    // The bare face (disc and marks) and the face with its hands.
    QImage FFace;
    QImage FImage;
    std::uint64_t FLinesDrawn = 0;
};

#include "components/ClockDisplay.h"

#include "components/FrameClock.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

TClockHand::TClockHand(int AWidth, int ARadius, const QColor& AColor) : FRadius(ARadius), FWidth(AWidth), FColor(AColor)
{
}

void TClockHand::SetPosition(int AX1, int AY1, int AX2, int AY2)
{
    FX1 = AX1;
    FY1 = AY1;
    FX2 = AX2;
    FY2 = AY2;
}

void TClockHand::GetPosition(int& AX1, int& AY1, int& AX2, int& AY2) const
{
    AX1 = FX1;
    AY1 = FY1;
    AX2 = FX2;
    AY2 = FY2;
}

TClockDisplay::TClockDisplay(QWidget* Owner)
    : QWidget(Owner), FSecondHand(1, 1, Qt::white), FMinuteHand(1, 1, Qt::white), FHourHand(1, 1, Qt::white)
{
    resize(65, 65);
    FRadius = width() / 2;
    FCentreX = width() / 2;
    FCentreY = height() / 2;
    Paint();
}

TClockDisplay::~TClockDisplay() = default;

void TClockDisplay::SetRadius(int Value)
{
    FRadius = Value;
    resize(2 * Value, 2 * Value);
    FCentreX = width() / 2;
    FCentreY = height() / 2;
    Paint();
}

QPoint TClockDisplay::HandEndPoint(int V, int N, int R) const
{
    // Whole degrees, as the dial steps are: 30 per hour, 6 per minute or second.
    const int Degrees = (360 / N) * V - 90;
    const double A = Degrees * std::numbers::pi / 180.0;
    // nearbyint under the default rounding mode rounds ties to even.
    return QPoint(static_cast<int>(std::nearbyint(std::cos(A) * R + FCentreX)),
                  static_cast<int>(std::nearbyint(std::sin(A) * R + FCentreY)));
}

bool TClockDisplay::MakeSquare()
{
    if (width() == height())
        return false;
    const int Side = std::min(width(), height());
    resize(Side, Side);
    return true;
}

void TClockDisplay::EnsureImage()
{
    if (FImage.size() != size() || FFace.size() != size())
        Paint();
}

void TClockDisplay::DrawLine(QPainter& Painter, const QBrush& Brush, int Width, int X1, int Y1, int X2, int Y2)
{
    // A point-length line is a hand that has never been placed.
    if (X1 == X2 && Y1 == Y2)
        return;
    ++FLinesDrawn;
    Painter.setPen(QPen(Brush, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    Painter.drawLine(X1, Y1, X2, Y2);
}

void TClockDisplay::RedrawHand(QPainter& Painter, const TClockHand& Hand)
{
    int X1, Y1, X2, Y2;
    Hand.GetPosition(X1, Y1, X2, Y2);
    DrawLine(Painter, Hand.Color(), Hand.Width(), X1, Y1, X2, Y2);
}

// Erasing draws the hand's last line again with the bare face as its ink: black
// on the disc, as a black pen would, but the face's marks and the see-through
// surround are put back rather than blotted out.
void TClockDisplay::EraseHand(QPainter& Painter, const TClockHand& Hand)
{
    int X1, Y1, X2, Y2;
    Hand.GetPosition(X1, Y1, X2, Y2);
    Painter.setCompositionMode(QPainter::CompositionMode_Source);
    DrawLine(Painter, QBrush(FFace), Hand.Width(), X1, Y1, X2, Y2);
    Painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TClockDisplay::PlaceHand(TClockHand& Hand, int V, int N)
{
    const QPoint Tip = HandEndPoint(V, N, Hand.Radius());
    if (Hand.DrawAsDot())
        Hand.SetPosition(Tip.x() - 1, Tip.y() - 1, Tip.x(), Tip.y());
    else
        Hand.SetPosition(FCentreX, FCentreY, Tip.x(), Tip.y());
}

// The moving hand is erased before the other two are redrawn, so that they
// mend whatever the black line cut through; the moved hand is drawn last.
void TClockDisplay::MoveHand(TClockHand& Hand, int V, int N, const TClockHand& Other1, const TClockHand& Other2)
{
    EnsureImage();
    QPainter Painter(&FImage);
    EraseHand(Painter, Hand);
    RedrawHand(Painter, Other1);
    RedrawHand(Painter, Other2);
    PlaceHand(Hand, V, N);
    RedrawHand(Painter, Hand);
    // A running machine moves the second hand many times a screen frame.
    FrameClock::Request(this);
}

void TClockDisplay::SetHour(int Value)
{
    if (Value == FHour)
        return;
    FHour = Value;
    MoveHand(FHourHand, Value, 12, FMinuteHand, FSecondHand);
}

void TClockDisplay::SetMinute(int Value)
{
    if (Value == FMinute)
        return;
    FMinute = Value;
    MoveHand(FMinuteHand, Value, 60, FHourHand, FSecondHand);
}

void TClockDisplay::SetSecond(int Value)
{
    if (Value == FSecond)
        return;
    FSecond = Value;
    MoveHand(FSecondHand, Value, 60, FHourHand, FMinuteHand);
}

void TClockDisplay::SetShowQuarters(bool Value)
{
    FShowQuarters = Value;
    Paint();
}

void TClockDisplay::SetShowHours(bool Value)
{
    FShowHours = Value;
    Paint();
}

void TClockDisplay::SetHourHand(const TClockHand& Value)
{
    FHourHand.SetRadius(Value.Radius());
    FHourHand.SetWidth(Value.Width());
    FHourHand.SetColor(Value.Color());
    PlaceHand(FHourHand, FHour, 12);
    Paint();
}

void TClockDisplay::SetMinuteHand(const TClockHand& Value)
{
    FMinuteHand.SetRadius(Value.Radius());
    FMinuteHand.SetWidth(Value.Width());
    FMinuteHand.SetColor(Value.Color());
    PlaceHand(FMinuteHand, FMinute, 60);
    Paint();
}

void TClockDisplay::SetSecondHand(const TClockHand& Value)
{
    FSecondHand.SetRadius(Value.Radius());
    FSecondHand.SetWidth(Value.Width());
    FSecondHand.SetColor(Value.Color());
    PlaceHand(FSecondHand, FSecond, 60);
    Paint();
}

void TClockDisplay::Paint()
{
    MakeSquare();
    const int W = width();
    const int H = height();
    FFace = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    FFace.fill(Qt::transparent);
    {
        QPainter Painter(&FFace);
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(Qt::black);
        Painter.drawEllipse(QRectF(0, 0, W, H));
        Painter.setBrush(Qt::NoBrush);
        if (FShowQuarters) {
            Painter.setPen(QPen(Qt::white, 2));
            Painter.drawLine(FCentreX, 4, FCentreX, 8);
            Painter.drawLine(W - 4, FCentreY, W - 8, FCentreY);
            Painter.drawLine(FCentreX, H - 4, FCentreX, H - 8);
            Painter.drawLine(4, FCentreY, 8, FCentreY);
        }
        if (FShowHours) {
            Painter.setPen(QPen(Qt::white, 1));
            for (int Hour : {1, 2, 4, 5, 7, 8, 10, 11})
                Painter.drawPoint(HandEndPoint(Hour, 12, FRadius - 5));
        }
    }
    FImage = FFace.copy();
    QPainter Painter(&FImage);
    RedrawHand(Painter, FSecondHand);
    RedrawHand(Painter, FMinuteHand);
    RedrawHand(Painter, FHourHand);
    update();
}

void TClockDisplay::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    Painter.drawImage(0, 0, FImage);
}

void TClockDisplay::resizeEvent(QResizeEvent*)
{
    MakeSquare();
    FRadius = width() / 2;
    FCentreX = width() / 2;
    FCentreY = height() / 2;
    Paint();
}

#include "forms/panel_art.h"

#include "forms/panel_layout.h"

#include <QConicalGradient>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace PanelArt {

namespace {

using namespace PanelLayout;

const QColor Enamel(0x3a, 0x41, 0x47);
const QColor Aluminium(0xcd, 0xcc, 0xc4);
const QColor EngraveDark(0x2a, 0x2a, 0x28);
const QColor EngraveLight(0xf4, 0xf2, 0xea);

// Small deterministic noise so the picture is the same at every start.
class TNoise {
public:
    explicit TNoise(std::uint32_t Seed) : FState(Seed) {}
    int Next(int Range)
    {
        FState = FState * 1664525u + 1013904223u;
        return static_cast<int>((FState >> 16) % static_cast<std::uint32_t>(2 * Range + 1)) - Range;
    }

private:
    std::uint32_t FState;
};

QRgb Shade(QRgb Pixel, int Delta)
{
    auto Clamp = [](int V) { return std::clamp(V, 0, 255); };
    return qRgb(Clamp(qRed(Pixel) + Delta), Clamp(qGreen(Pixel) + Delta), Clamp(qBlue(Pixel) + Delta));
}

// Hammered enamel: a mottle of soft light and dark patches with fine grain.
void HammerTone(QImage& Image, const QRect& Area, std::uint32_t Seed)
{
    TNoise Noise(Seed);
    const QRect R = Area & Image.rect();
    for (int Y = R.top(); Y <= R.bottom(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = R.left(); X <= R.right(); ++X) {
            const double Mottle = std::sin(X * 0.37 + std::sin(Y * 0.21) * 2.0) * std::cos(Y * 0.33 + X * 0.05);
            Line[X] = Shade(Line[X], static_cast<int>(Mottle * 5.0) + Noise.Next(3));
        }
    }
}

// Brushed metal: horizontal streaks of slightly different brightness.
void Brushed(QImage& Image, const QRect& Area, std::uint32_t Seed)
{
    TNoise Noise(Seed);
    const QRect R = Area & Image.rect();
    for (int Y = R.top(); Y <= R.bottom(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        const int RowShade = Noise.Next(4);
        for (int X = R.left(); X <= R.right(); ++X)
            Line[X] = Shade(Line[X], RowShade + Noise.Next(2));
    }
}

QFont PlateFont(int PixelSize, bool Bold = true)
{
    QFont Font("Helvetica");
    Font.setStyleHint(QFont::SansSerif);
    Font.setPixelSize(PixelSize);
    Font.setBold(Bold);
    Font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    return Font;
}

// Letters cut into metal: the dark cut with a bright lip below it.
void EngraveText(QPainter& Painter, const QRect& Box, const QString& Text, int PixelSize,
                 const QColor& Cut = EngraveDark, const QColor& Lip = EngraveLight)
{
    Painter.setFont(PlateFont(PixelSize));
    Painter.setPen(Lip);
    Painter.drawText(Box.translated(0, 1), Qt::AlignCenter, Text);
    Painter.setPen(Cut);
    Painter.drawText(Box, Qt::AlignCenter, Text);
}

// A recessed bevel: shadow on the top and left edges, light on the others.
void Recess(QPainter& Painter, const QRect& Area, int Depth)
{
    for (int I = 0; I < Depth; ++I) {
        const QRect R = Area.adjusted(-I - 1, -I - 1, I + 1, I + 1);
        Painter.setPen(QColor(0, 0, 0, 150 - I * 40));
        Painter.drawLine(R.topLeft(), R.topRight());
        Painter.drawLine(R.topLeft(), R.bottomLeft());
        Painter.setPen(QColor(255, 255, 255, 110 - I * 30));
        Painter.drawLine(R.bottomLeft(), R.bottomRight());
        Painter.drawLine(R.topRight(), R.bottomRight());
    }
}

void Screw(QPainter& Painter, QPointF Centre, double Angle)
{
    QRadialGradient Head(Centre - QPointF(1, 1), 3.5);
    Head.setColorAt(0, QColor(0xf0, 0xf0, 0xe8));
    Head.setColorAt(1, QColor(0x70, 0x70, 0x6a));
    Painter.setPen(QPen(QColor(0x20, 0x20, 0x20, 180), 0.6));
    Painter.setBrush(Head);
    Painter.drawEllipse(Centre, 2.8, 2.8);
    const QPointF Slot(std::cos(Angle) * 2.2, std::sin(Angle) * 2.2);
    Painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.9));
    Painter.drawLine(Centre - Slot, Centre + Slot);
}

// A raised metal plate with rounded corners and a screw in each corner.
void Plate(QImage& Image, const QRect& Area, std::uint32_t Seed)
{
    {
        QPainter Painter(&Image);
        Painter.setRenderHint(QPainter::Antialiasing);
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(QColor(0, 0, 0, 90));
        Painter.drawRoundedRect(QRectF(Area).translated(1.5, 1.5), 4, 4);
        Painter.setBrush(Aluminium);
        Painter.drawRoundedRect(QRectF(Area), 4, 4);
    }
    Brushed(Image, Area.adjusted(2, 2, -2, -2), Seed);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(QColor(255, 255, 255, 170), 1));
    Painter.drawRoundedRect(QRectF(Area).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    Painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    Painter.drawRoundedRect(QRectF(Area).adjusted(1.5, 1.5, -0.5, -0.5), 4, 4);
    const QRectF In = QRectF(Area).adjusted(5, 5, -5, -5);
    Screw(Painter, In.topLeft(), 0.6);
    Screw(Painter, In.topRight(), 2.1);
    Screw(Painter, In.bottomLeft(), 1.2);
    Screw(Painter, In.bottomRight(), 2.8);
}

// A polished ring, lit from the top left.
void ChromeRing(QPainter& Painter, const QRectF& Outer, double Thickness)
{
    QLinearGradient Light(Outer.topLeft(), Outer.bottomRight());
    Light.setColorAt(0.0, QColor(0xfa, 0xfa, 0xf4));
    Light.setColorAt(0.45, QColor(0x9a, 0x9c, 0x98));
    Light.setColorAt(0.55, QColor(0x7a, 0x7c, 0x78));
    Light.setColorAt(1.0, QColor(0x30, 0x32, 0x30));
    QPainterPath Ring;
    Ring.addEllipse(Outer);
    Ring.addEllipse(Outer.adjusted(Thickness, Thickness, -Thickness, -Thickness));
    Painter.setPen(QPen(QColor(0x18, 0x18, 0x18), 0.8));
    Painter.setBrush(Light);
    Painter.drawPath(Ring);
}

void DrawTubeBezel(QPainter& Painter)
{
    // A rubber gasket round the face, then a polished ring.
    const QRectF Face(TubeFace);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(0x12, 0x12, 0x12));
    Painter.drawEllipse(Face.adjusted(-3, -3, 3, 3));
    ChromeRing(Painter, Face.adjusted(-4, -4, 4, 4), 2.6);
    // Faint phosphor glow that shows round the edge of the glass.
    QRadialGradient Glow(Face.center(), Face.width() / 2);
    Glow.setColorAt(0.92, QColor(0, 60, 20, 0));
    Glow.setColorAt(1.0, QColor(0, 90, 30, 120));
    Painter.setBrush(Glow);
    Painter.drawEllipse(Face.adjusted(-1, -1, 1, 1));
    // A screw in each corner of the tube's square.
    const QRectF Screws = Face.adjusted(5, 5, -5, -5);
    for (const QPointF Corner : {Screws.topLeft(), Screws.topRight(), Screws.bottomLeft(), Screws.bottomRight()})
        Screw(Painter, Corner, Corner.x() * 0.03 + Corner.y() * 0.05);
}

void DrawTeleprinterFrame(QPainter& Painter)
{
    const QRect Frame = TeleprinterPane.adjusted(-3, -3, 0, 2);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(0x16, 0x18, 0x1a));
    Painter.drawRect(Frame);
    Recess(Painter, TeleprinterPane.adjusted(-1, -1, 0, 1), 2);
}

void DrawControlPlate(QImage& Image)
{
    Plate(Image, ControlPlate, 11);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    // An engraved rule round the buttons, broken at the top for the title.
    const QString Title = "CONTROL";
    const QRect TitleBox(ControlPlate.left(), ControlPlate.top() + 1, ControlPlate.width(), 9);
    EngraveText(Painter, TitleBox, Title, 7);
    const int Half = QFontMetrics(PlateFont(7)).horizontalAdvance(Title) / 2 + 4;
    const double Mid = TitleBox.center().x() + 0.5;
    QPainterPath Rule;
    Rule.moveTo(Mid - Half, ButtonRule.top());
    Rule.lineTo(ButtonRule.topLeft());
    Rule.lineTo(ButtonRule.bottomLeft());
    Rule.lineTo(ButtonRule.bottomRight());
    Rule.lineTo(ButtonRule.topRight());
    Rule.lineTo(Mid + Half, ButtonRule.top());
    Painter.setBrush(Qt::NoBrush);
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setPen(QPen(EngraveLight, 1));
    Painter.drawPath(Rule.translated(1, 1));
    Painter.setPen(QPen(QColor(0x55, 0x55, 0x50), 1));
    Painter.drawPath(Rule);
}

void DrawClockPlate(QImage& Image)
{
    Plate(Image, ClockPlate, 23);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    const QRectF Face(ClockFace);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(0x10, 0x10, 0x10));
    Painter.drawEllipse(Face.adjusted(-2, -2, 2, 2));
    ChromeRing(Painter, Face.adjusted(-4, -4, 4, 4), 2.6);
    // A collar round the clock's zero button.
    Painter.setBrush(QColor(0x40, 0x40, 0x3c));
    Painter.drawEllipse(ClockZeroCollar);
    // Its name runs up the plate above it, on whole pixels so the letters stay sharp.
    Painter.save();
    Painter.translate(std::round(ClockZeroCollar.center().x()), ClockZeroCollar.top() - 15.5);
    Painter.rotate(-90);
    EngraveText(Painter, QRect(-14, -5, 28, 10), "ZERO", 6);
    Painter.restore();
}

void DrawRegisterPlate(QImage& Image)
{
    Plate(Image, RegisterPlate, 37);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing, false);
    for (const QRect& Tube : RegisterTubes) {
        Painter.fillRect(Slot(Tube), QColor(0x08, 0x0a, 0x08));
        Recess(Painter, Slot(Tube), 2);
    }
    // The long-tank selector sits on a darker inset.
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(QPen(QColor(0x55, 0x55, 0x50), 1));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRoundedRect(SelectorInset, 3, 3);
    Painter.setPen(QPen(EngraveLight, 1));
    Painter.drawRoundedRect(SelectorInset.translated(1, 1), 3, 3);
}

void DrawDial(QPainter& Painter)
{
    const double Wheel = DialWheelRadius;
    // Shadow, polished rim and the black finger wheel.
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(0, 0, 0, 110));
    Painter.drawEllipse(DialCentre + QPointF(1.5, 1.5), Wheel + 1.5, Wheel + 1.5);
    ChromeRing(Painter,
               QRectF(DialCentre.x() - Wheel - 1.5, DialCentre.y() - Wheel - 1.5, 2 * Wheel + 3, 2 * Wheel + 3), 2.2);
    QRadialGradient Bakelite(DialCentre - QPointF(10, 12), Wheel * 1.6);
    Bakelite.setColorAt(0, QColor(0x3a, 0x3a, 0x3a));
    Bakelite.setColorAt(1, QColor(0x06, 0x06, 0x06));
    Painter.setBrush(Bakelite);
    Painter.drawEllipse(DialCentre, Wheel - 0.5, Wheel - 0.5);
    // The number ring inside the holes.
    QFont Digits = PlateFont(7);
    Digits.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    Painter.setFont(Digits);
    Painter.setPen(QColor(0xee, 0xe8, 0xd4));
    for (int I = 0; I < 10; ++I) {
        const int Digit = (I + 1) % 10;
        const QPointF Hole = QRectF(DialHole(Digit)).center() - DialCentre;
        const QPointF At = DialCentre + Hole * (16.5 / std::hypot(Hole.x(), Hole.y()));
        Painter.drawText(QRectF(At.x() - 4, At.y() - 4, 8, 8), Qt::AlignCenter, QString::number(Digit));
    }
    // Centre card.
    QRadialGradient Card(DialCentre - QPointF(2, 2), 9);
    Card.setColorAt(0, QColor(0xf6, 0xf1, 0xe0));
    Card.setColorAt(1, QColor(0xc8, 0xc0, 0xa8));
    Painter.setPen(QPen(QColor(0x60, 0x60, 0x5a), 0.8));
    Painter.setBrush(Card);
    Painter.drawEllipse(DialCentre, 8.5, 8.5);
    QFont CardFont = PlateFont(5);
    CardFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
    Painter.setFont(CardFont);
    Painter.setPen(QColor(0x80, 0x10, 0x10));
    Painter.drawText(QRectF(DialCentre.x() - 9, DialCentre.y() - 4, 18, 7), Qt::AlignCenter, "DIAL");
    // Finger stop, between the 0 and the 1.
    const double Stop = 42.0 * std::numbers::pi / 180.0;
    const QPointF Dir(std::cos(Stop), std::sin(Stop));
    const QPointF Across(-Dir.y(), Dir.x());
    QPainterPath Finger;
    Finger.moveTo(DialCentre + Dir * (Wheel - 6) - Across * 1.6);
    Finger.lineTo(DialCentre + Dir * (Wheel + 3) - Across * 2.2);
    Finger.lineTo(DialCentre + Dir * (Wheel + 3) + Across * 2.2);
    Finger.lineTo(DialCentre + Dir * (Wheel - 6) + Across * 1.6);
    Finger.closeSubpath();
    QLinearGradient Steel(DialCentre + Dir * (Wheel - 6), DialCentre + Dir * (Wheel + 3));
    Steel.setColorAt(0, QColor(0xe8, 0xe8, 0xe2));
    Steel.setColorAt(1, QColor(0x70, 0x72, 0x6e));
    Painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 0.7));
    Painter.setBrush(Steel);
    Painter.drawPath(Finger);
}

} // namespace

QImage PanelPicture()
{
    QImage Image(Picture, QImage::Format_RGB32);
    Image.fill(Enamel);
    HammerTone(Image, Image.rect(), 1949);
    {
        QPainter Painter(&Image);
        Painter.setRenderHint(QPainter::Antialiasing);
        DrawTubeBezel(Painter);
        DrawTeleprinterFrame(Painter);
    }
    DrawControlPlate(Image);
    DrawClockPlate(Image);
    DrawRegisterPlate(Image);
    {
        QPainter Painter(&Image);
        Painter.setRenderHint(QPainter::Antialiasing);
        DrawDial(Painter);
    }
    return Image;
}

QImage DialHolePicture(TDialHoleState State)
{
    QImage Image(HoleSize, HoleSize, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    const QRectF Hole(0.5, 0.5, HoleSize - 1.0, HoleSize - 1.0);
    // The paper seen through the hole, darkened towards the side the wheel's edge
    // shades; a pressed hole shades from the other side. By state: the paper, the
    // corner the light comes from, and how dark the shaded side is.
    struct THoleLook {
        QRgb Paper;
        double ShadowFrom;
        int Darker;
    };
    constexpr THoleLook Looks[] = {{0xf2ecd8, 3.5, 135}, {0x8a8882, 6, 135}, {0xb8b098, 8.5, 170}};
    const THoleLook& Look = Looks[static_cast<int>(State)];
    const QColor Paper(Look.Paper);
    QRadialGradient Fill(QPointF(Look.ShadowFrom, Look.ShadowFrom), HoleSize * 0.75);
    Fill.setColorAt(0, Paper);
    Fill.setColorAt(1, Paper.darker(Look.Darker));
    Painter.setPen(QPen(QColor(0x10, 0x10, 0x10), 1.0));
    Painter.setBrush(Fill);
    Painter.drawEllipse(Hole);
    return Image;
}

} // namespace PanelArt

// Where everything on the machine window sits, in pixels of its client area. The
// window places its widgets by these figures and the painted panel draws its
// bezels, plates and slots round the same ones, so the two cannot drift apart.
#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <array>

#include "core/MachineConstants.h"

namespace PanelLayout {

// The smallest rectangle holding both.
constexpr QRect Around(const QRect& A, const QRect& B)
{
    const int Left = A.left() < B.left() ? A.left() : B.left();
    const int Top = A.top() < B.top() ? A.top() : B.top();
    const int Right = A.right() > B.right() ? A.right() : B.right();
    const int Bottom = A.bottom() > B.bottom() ? A.bottom() : B.bottom();
    return QRect(QPoint(Left, Top), QPoint(Right, Bottom));
}

constexpr QSize Client(511, 320);
// The picture runs a pixel or two past the client area on the right and below.
constexpr QSize Picture(512, 322);

// The long-tank tube: its face, and the sixteen store rows on it, row 0 at the bottom.
constexpr QRect TubeFace(4, 4, 229, 225);
constexpr int StoreRows = LongTankRows;
constexpr QRect StoreRow(int N)
{
    return QRect(30, 180 - 9 * N, 177, 8);
}

// The register tubes, each in a slot of the register plate, and their captions.
constexpr QRect SCRTube(13, 244, 51, 8);
constexpr QRect ORDTube(103, 244, 86, 8);
constexpr QRect MULTRTube(13, 264, 177, 8);
constexpr QRect MULTDTube(13, 284, 177, 8);
constexpr QRect ACCTube(13, 304, 359, 8);
constexpr std::array<QRect, 5> RegisterTubes{SCRTube, ORDTube, MULTRTube, MULTDTube, ACCTube};
constexpr int SlotMargin = 2;
constexpr QRect Slot(const QRect& Tube)
{
    return Tube.adjusted(-SlotMargin, -SlotMargin, SlotMargin, SlotMargin);
}
constexpr QRect SCRCaption(68, 237, 26, 20);
constexpr QRect ORDCaption(194, 237, 67, 20);
constexpr QRect MULTRCaption(194, 257, 54, 20);
constexpr QRect MULTDCaption(194, 277, 70, 20);
constexpr QRect ACCCaption(376, 297, 22, 20);
constexpr QRect RegisterPlate(4, 235, 404, 86);

// The long-tank selector and the Short Tanks switch, on an inset of the register plate.
constexpr QRect LongTankPanel(277, 242, 126, 30);
constexpr QRect LongTankCaption(8, 5, 68, 20); // within LongTankPanel
constexpr QRect LongTankSpin(353, 246, 44, 22);
constexpr QRect ShortTanksSwitch(293, 279, 105, 17);
constexpr QRectF SelectorInset(272.5, 238.5, 134, 61);

// The teleprinter: its caption strip over the paper, in one recessed frame that
// leaves a pixel's gap on the right and below.
constexpr QRect TeleprinterCaption(241, 3, 269, 19);
constexpr QRect TeleprinterPaper(240, 20, 270, 130);
constexpr QRect TeleprinterPane = Around(TeleprinterCaption, TeleprinterPaper).adjusted(0, 0, 1, 1);

// The five push buttons, inside an engraved rule on the control plate.
constexpr QRect ClearButton(264, 165, 55, 16);
constexpr QRect StartButton(264, 185, 55, 16);
constexpr QRect StopButton(334, 185, 55, 16);
constexpr QRect ResetButton(334, 165, 55, 16);
constexpr QRect SingleEPButton(294, 205, 73, 16);
constexpr QRect ControlPlate(240, 155, 171, 77);
constexpr QRectF ButtonRule(256.5, 160.5, 140, 66);

// The clock of machine time and its zero button in a collar beside it.
constexpr QRect ClockFace(424, 160, 64, 64);
constexpr QRect ClockZeroButton(497, 216, 8, 9);
constexpr QRectF ClockZeroCollar(494.5, 213.5, 14, 15);
constexpr QRect ClockPlate(415, 155, 97, 77);

// The telephone dial: the finger holes, indexed by the digit on the hole, lie on
// one circle round the centre of the wheel.
constexpr int HoleSize = 12;
constexpr std::array<QPoint, 10> DialHoleCorners{{{457, 299},
                                                  {483, 267},
                                                  {478, 254},
                                                  {467, 246},
                                                  {453, 243},
                                                  {439, 249},
                                                  {430, 260},
                                                  {428, 273},
                                                  {433, 286},
                                                  {443, 295}}};
constexpr QRect DialHole(int Digit)
{
    return QRect(DialHoleCorners[static_cast<std::size_t>(Digit)], QSize(HoleSize, HoleSize));
}
constexpr QPointF DialCentre(461.7, 276.8);
constexpr double DialHoleRadius = 27.7;
// The black finger wheel reaches this far beyond the holes' circle.
constexpr double DialWheelRadius = DialHoleRadius + 9.5;

} // namespace PanelLayout

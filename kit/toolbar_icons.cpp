#include "kit/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace ToolbarIcons {

namespace {

// One palette for the whole set, so the pictures read as a family.
const QColor Ink(0x3b, 0x43, 0x4f);
const QColor PaperEdge(0x6f, 0x78, 0x86);
const QColor Paper(0xff, 0xff, 0xff);
const QColor Fold(0xd9, 0xde, 0xe4);
const QColor TextLine(0x9a, 0xa4, 0xb1);
const QColor Blue(0x2d, 0x6c, 0xb4);
const QColor DarkBlue(0x1c, 0x45, 0x78);
const QColor Metal(0xc8, 0xce, 0xd6);
const QColor Red(0xc4, 0x35, 0x2b);
const QColor Green(0x2f, 0x93, 0x45);
const QColor FolderBack(0xdb, 0xa3, 0x2c);
const QColor FolderFront(0xf6, 0xd3, 0x6a);
const QColor FolderEdge(0x94, 0x66, 0x0b);

QPen Line(const QColor& Color, qreal Width = 1.0)
{
    return QPen(Color, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with its top-right corner turned down. Coordinates sit on
// half pixels so that one-pixel edges stay crisp at 16 pixels.
void DrawPage(QPainter& P, qreal Left, qreal Top, qreal Right, qreal Bottom, int TextLines)
{
    const qreal Ear = 3.0;
    P.setPen(Line(PaperEdge));
    P.setBrush(Paper);
    P.drawPolygon(QPolygonF{{Left, Top}, {Right - Ear, Top}, {Right, Top + Ear}, {Right, Bottom}, {Left, Bottom}});
    P.setBrush(Fold);
    P.drawPolygon(QPolygonF{{Right - Ear, Top}, {Right - Ear, Top + Ear}, {Right, Top + Ear}});
    P.setPen(Line(TextLine));
    for (int I = 0; I < TextLines; ++I) {
        const qreal Y = Top + Ear + 2.0 + 2.0 * I;
        if (Y > Bottom - 1.5)
            break;
        P.drawLine(QPointF(Left + 2.0, Y), QPointF(Right - 2.0 - (I % 2), Y));
    }
}

void DrawNew(QPainter& P)
{
    DrawPage(P, 3.5, 1.5, 12.5, 14.5, 0);
    // A small spark: the page has just been made.
    P.setPen(Line(QColor(0xe0, 0x9a, 0x12), 1.2));
    P.drawLine(QPointF(12.5, 9.0), QPointF(12.5, 15.0));
    P.drawLine(QPointF(9.5, 12.0), QPointF(15.5, 12.0));
    P.setPen(Line(QColor(0xf5, 0xc2, 0x2b), 1.0));
    P.drawLine(QPointF(10.7, 10.2), QPointF(14.3, 13.8));
    P.drawLine(QPointF(14.3, 10.2), QPointF(10.7, 13.8));
}

void DrawOpen(QPainter& P)
{
    P.setPen(Line(FolderEdge));
    P.setBrush(FolderBack);
    P.drawPolygon(QPolygonF{{1.5, 3.5}, {5.5, 3.5}, {6.5, 4.5}, {12.5, 4.5}, {12.5, 13.5}, {1.5, 13.5}});
    // A sheet peeping out of the folder.
    P.setPen(Line(PaperEdge));
    P.setBrush(Paper);
    P.drawRect(QRectF(3.5, 5.5, 8.0, 4.0));
    P.setPen(Line(FolderEdge));
    P.setBrush(FolderFront);
    P.drawPolygon(QPolygonF{{1.5, 13.5}, {4.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}});
}

void DrawSave(QPainter& P)
{
    P.setPen(Line(DarkBlue));
    P.setBrush(Blue);
    P.drawPolygon(QPolygonF{{1.5, 1.5}, {13.0, 1.5}, {14.5, 3.0}, {14.5, 14.5}, {1.5, 14.5}});
    // Metal shutter with its window.
    P.setPen(Line(PaperEdge));
    P.setBrush(Metal);
    P.drawRect(QRectF(4.5, 1.5, 7.0, 4.5));
    P.setPen(Qt::NoPen);
    P.setBrush(DarkBlue);
    P.drawRect(QRectF(8.5, 2.5, 2.0, 2.5));
    // Label.
    P.setPen(Line(PaperEdge));
    P.setBrush(Paper);
    P.drawRect(QRectF(3.5, 8.5, 9.0, 6.0));
    P.setPen(Line(TextLine));
    P.drawLine(QPointF(5.0, 10.5), QPointF(11.0, 10.5));
    P.drawLine(QPointF(5.0, 12.5), QPointF(10.0, 12.5));
}

void DrawPrinter(QPainter& P)
{
    // Paper going in at the back.
    P.setPen(Line(PaperEdge));
    P.setBrush(Paper);
    P.drawRect(QRectF(4.5, 1.5, 7.0, 5.0));
    // Body.
    P.setPen(Line(Ink));
    P.setBrush(Metal);
    P.drawRoundedRect(QRectF(1.5, 6.5, 13.0, 5.5), 1.5, 1.5);
    P.setPen(Qt::NoPen);
    P.setBrush(Green);
    P.drawEllipse(QPointF(12.3, 8.5), 0.9, 0.9);
    // The printed sheet coming out at the front.
    P.setPen(Line(PaperEdge));
    P.setBrush(Paper);
    P.drawRect(QRectF(4.5, 10.5, 7.0, 4.0));
    P.setPen(Line(TextLine));
    P.drawLine(QPointF(6.0, 12.5), QPointF(10.0, 12.5));
}

void DrawPrintPreview(QPainter& P)
{
    DrawPage(P, 1.5, 1.5, 11.5, 14.5, 5);
    // Magnifying glass over the page.
    P.setPen(Line(Ink, 2.2));
    P.drawLine(QPointF(11.6, 11.6), QPointF(14.6, 14.6));
    P.setPen(Line(Ink, 1.3));
    P.setBrush(QColor(0xbf, 0xdc, 0xf5, 200));
    P.drawEllipse(QPointF(9.5, 9.5), 3.3, 3.3);
}

// A bent arrow running leftwards, the head at the left end.
void DrawUndoArrow(QPainter& P)
{
    QPainterPath Shaft;
    Shaft.moveTo(12.5, 13.0);
    Shaft.cubicTo(15.5, 8.0, 12.0, 4.2, 6.0, 5.5);
    P.setPen(Line(Blue, 2.2));
    P.setBrush(Qt::NoBrush);
    P.drawPath(Shaft);
    P.setPen(Line(DarkBlue, 0.8));
    P.setBrush(Blue);
    P.drawPolygon(QPolygonF{{1.0, 6.3}, {6.8, 1.6}, {7.4, 10.0}});
}

void DrawUndo(QPainter& P)
{
    DrawUndoArrow(P);
}

void DrawRedo(QPainter& P)
{
    P.translate(16.0, 0.0);
    P.scale(-1.0, 1.0);
    DrawUndoArrow(P);
}

void DrawCut(QPainter& P)
{
    // Blades.
    P.setPen(Line(Ink, 1.4));
    P.drawLine(QPointF(5.8, 9.8), QPointF(11.5, 1.0));
    P.drawLine(QPointF(10.2, 9.8), QPointF(4.5, 1.0));
    // Finger rings.
    P.setPen(Line(Red, 1.5));
    P.setBrush(Qt::NoBrush);
    P.drawEllipse(QPointF(4.6, 12.2), 2.4, 2.4);
    P.drawEllipse(QPointF(11.4, 12.2), 2.4, 2.4);
    P.setPen(Qt::NoPen);
    P.setBrush(Ink);
    P.drawEllipse(QPointF(8.0, 6.4), 1.0, 1.0);
}

void DrawCopy(QPainter& P)
{
    DrawPage(P, 1.5, 1.5, 9.5, 10.5, 3);
    DrawPage(P, 6.5, 5.5, 14.5, 14.5, 3);
}

void DrawPaste(QPainter& P)
{
    // Clipboard with its clip.
    P.setPen(Line(QColor(0x74, 0x4d, 0x23)));
    P.setBrush(QColor(0xbc, 0x86, 0x4b));
    P.drawRoundedRect(QRectF(1.5, 2.5, 10.0, 12.0), 1.2, 1.2);
    P.setPen(Line(Ink));
    P.setBrush(Metal);
    P.drawRoundedRect(QRectF(4.0, 1.0, 5.0, 3.0), 0.8, 0.8);
    // The sheet being pasted.
    DrawPage(P, 6.5, 6.5, 14.5, 15.0, 3);
}

void DrawDiscardOutput(QPainter& P)
{
    // Waste bin: lid, handle and a ribbed body.
    P.setPen(Line(Ink));
    P.setBrush(Metal);
    P.drawRect(QRectF(6.0, 1.0, 4.0, 2.0));
    P.drawRoundedRect(QRectF(2.5, 3.0, 11.0, 2.0), 0.8, 0.8);
    P.drawPolygon(QPolygonF{{3.5, 5.5}, {12.5, 5.5}, {11.5, 14.5}, {4.5, 14.5}});
    P.setPen(Line(PaperEdge));
    P.drawLine(QPointF(6.3, 7.5), QPointF(6.6, 12.5));
    P.drawLine(QPointF(8.0, 7.5), QPointF(8.0, 12.5));
    P.drawLine(QPointF(9.7, 7.5), QPointF(9.4, 12.5));
}

void DrawLineFeed(QPainter& P)
{
    // Printed lines above, then the carriage return and line feed arrow.
    P.setPen(Line(TextLine, 1.2));
    P.drawLine(QPointF(1.5, 2.5), QPointF(13.5, 2.5));
    P.drawLine(QPointF(1.5, 5.5), QPointF(9.5, 5.5));
    P.setPen(Line(Green, 2.0));
    P.setBrush(Qt::NoBrush);
    P.drawPolyline(QPolygonF{{13.5, 5.0}, {13.5, 11.5}, {6.0, 11.5}});
    P.setPen(Line(QColor(0x1f, 0x6b, 0x31), 0.8));
    P.setBrush(Green);
    P.drawPolygon(QPolygonF{{1.5, 11.5}, {6.8, 7.6}, {6.8, 15.4}});
}

void DrawZeroizeClock(QPainter& P)
{
    // A stopwatch with its hand back at zero.
    P.setPen(Line(Ink));
    P.setBrush(Metal);
    P.drawRect(QRectF(6.5, 0.5, 3.0, 2.0));
    P.setPen(Line(Ink, 1.3));
    P.setBrush(Paper);
    P.drawEllipse(QPointF(8.0, 9.0), 6.0, 6.0);
    P.setPen(Line(TextLine, 1.0));
    P.drawLine(QPointF(13.0, 9.0), QPointF(12.0, 9.0));
    P.drawLine(QPointF(8.0, 14.0), QPointF(8.0, 13.0));
    P.drawLine(QPointF(3.0, 9.0), QPointF(4.0, 9.0));
    P.setPen(Line(Red, 1.5));
    P.drawLine(QPointF(8.0, 9.0), QPointF(8.0, 4.3));
    P.setPen(Qt::NoPen);
    P.setBrush(Red);
    P.drawEllipse(QPointF(8.0, 9.0), 1.2, 1.2);
}

} // namespace

QPixmap Picture(TToolIcon Which, int Size)
{
    QPixmap Pixmap(Size, Size);
    Pixmap.fill(Qt::transparent);
    QPainter P(&Pixmap);
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Size / qreal(IconSize), Size / qreal(IconSize));
    switch (Which) {
    case TToolIcon::New: DrawNew(P); break;
    case TToolIcon::Open: DrawOpen(P); break;
    case TToolIcon::Save: DrawSave(P); break;
    case TToolIcon::Print: DrawPrinter(P); break;
    case TToolIcon::PrintPreview: DrawPrintPreview(P); break;
    case TToolIcon::Undo: DrawUndo(P); break;
    case TToolIcon::Redo: DrawRedo(P); break;
    case TToolIcon::Cut: DrawCut(P); break;
    case TToolIcon::Copy: DrawCopy(P); break;
    case TToolIcon::Paste: DrawPaste(P); break;
    case TToolIcon::DiscardOutput: DrawDiscardOutput(P); break;
    case TToolIcon::LineFeed: DrawLineFeed(P); break;
    case TToolIcon::ZeroizeClock: DrawZeroizeClock(P); break;
    }
    return Pixmap;
}

QIcon Icon(TToolIcon Which)
{
    QIcon Result;
    Result.addPixmap(Picture(Which, IconSize));
    Result.addPixmap(Picture(Which, 2 * IconSize));
    return Result;
}

} // namespace ToolbarIcons

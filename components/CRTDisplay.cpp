#include "components/CRTDisplay.h"

#include "components/FrameClock.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <bit>
#include <cstring>

namespace {
constexpr QRgb CrtBlack = 0xFF000000u;
constexpr QRgb CrtGreen = 0xFF00FF00u;
constexpr int CrtHeight = 8;
constexpr int CrtCentreY = CrtHeight / 2;
} // namespace

TCRTDisplay::TCRTDisplay(QWidget* Owner) : QWidget(Owner)
{
    FWords.assign(1, 0);
    // The picture covers the whole control, so the toolkit need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    Layout();
}

TCRTDisplay::~TCRTDisplay() = default;

void TCRTDisplay::SetWordCount(int Value)
{
    // A row of no words has no width to show and nowhere to keep a word.
    FWordCount = std::max(1, Value);
    FWords.assign(static_cast<std::size_t>(FWordCount), 0);
    Layout();
    Paint();
}

void TCRTDisplay::SetWordSize(int Value)
{
    FWordSize = std::max(1, Value);
    Layout();
    Paint();
}

void TCRTDisplay::SetSpacing(int Value)
{
    FSpacing = std::max(1, Value);
    FPitch = FSpacing + 4;
    Layout();
    Paint();
}

void TCRTDisplay::SetHideFirstBit(bool Value)
{
    FHideFirstBit = Value;
    Layout();
    Paint();
}

int TCRTDisplay::WordX(int Index) const
{
    return (FWordSize - 1) * FPitch + 3 - (FHideFirstBit ? FPitch : 0) + Index * FWordSize * FPitch;
}

void TCRTDisplay::Layout()
{
    const int WordWidth = FPitch * FWordSize + 1;
    const int Width = FHideFirstBit ? WordWidth * (FWordCount - 1) + (FWordSize - 1) * FPitch + 1
                                    : WordWidth * FWordCount;
    setFixedSize(Width, CrtHeight);
    FImage = QImage(Width, CrtHeight, QImage::Format_RGB32);
    FImage.fill(CrtBlack);
    FWords.assign(static_cast<std::size_t>(FWordCount), 0);
    const std::vector<TWord> Zeros(FWords);
    SetWords(Zeros, true);
}

void TCRTDisplay::SetWords(TWords Words, bool Force)
{
    const std::size_t Count = std::min(Words.size(), FWords.size());
    for (std::size_t I = 0; I < Count; ++I) {
        DrawWord(Force, WordX(static_cast<int>(I)), Words[I], FWords[I]);
        FWords[I] = Words[I];
    }
    Paint();
}

void TCRTDisplay::SetWord(int Index, int Value)
{
    if (Index < 0 || Index >= FWordCount)
        return;
    DrawWord(true, WordX(Index), Value, FWords[static_cast<std::size_t>(Index)]);
    FWords[static_cast<std::size_t>(Index)] = Value;
    Paint();
}

void TCRTDisplay::DrawWord(bool Force, int X, TWord New, TWord Old)
{
    const auto NewBits = static_cast<std::uint32_t>(New);
    const std::uint32_t Mask = FWordSize >= 32 ? ~0u : (1u << FWordSize) - 1;
    // Without Force only the changed bits are drawn; most orders change a few.
    const std::uint32_t Changed = (NewBits ^ static_cast<std::uint32_t>(Old)) & Mask;
    if (!Changed && !Force)
        return;
    // One detach check per word rather than one per pixel row.
    uchar* const Bits = FImage.bits();
    const qsizetype Stride = FImage.bytesPerLine();
    const int Width = FImage.width();
    // A word has no bits beyond 31: those cells show zeros.
    const int Last = Force ? FWordSize : 32 - std::countl_zero(Changed);
    for (int Bit = 0; Bit < Last; ++Bit)
        if (Force || ((Changed >> Bit) & 1u))
            DrawCell(Bits, Stride, Width, X - Bit * FPitch, Bit < 32 && ((NewBits >> Bit) & 1u));
}

// Runs after every store write, so it copies the 4x4 cell straight into the
// picture's rows. A one is the cell filled green less its corners; a zero is the
// cell black with the centre pixel green.
void TCRTDisplay::DrawCell(uchar* Bits, qsizetype Stride, int Width, int X, bool One)
{
    ++FCellsDrawn;
    static constexpr QRgb OneCell[4][4] = {{CrtBlack, CrtGreen, CrtGreen, CrtBlack},
                                           {CrtGreen, CrtGreen, CrtGreen, CrtGreen},
                                           {CrtGreen, CrtGreen, CrtGreen, CrtGreen},
                                           {CrtBlack, CrtGreen, CrtGreen, CrtBlack}};
    static constexpr QRgb ZeroCell[4][4] = {{CrtBlack, CrtBlack, CrtBlack, CrtBlack},
                                            {CrtBlack, CrtBlack, CrtBlack, CrtBlack},
                                            {CrtBlack, CrtBlack, CrtGreen, CrtBlack},
                                            {CrtBlack, CrtBlack, CrtBlack, CrtBlack}};
    const auto& Cell = One ? OneCell : ZeroCell;
    const int Left = X - 2;
    if (Left >= 0 && Left + 4 <= Width) {
        for (int Row = 0; Row < 4; ++Row)
            std::memcpy(Bits + (CrtCentreY - 2 + Row) * Stride + Left * 4, Cell[Row], sizeof Cell[Row]);
        return;
    }
    // Only a hidden top bit reaches past the left edge; clip column by column there.
    const int FirstCol = std::max(0, -Left);
    const int EndCol = std::min(4, Width - Left);
    for (int Row = 0; Row < 4; ++Row) {
        auto* Line = reinterpret_cast<QRgb*>(Bits + (CrtCentreY - 2 + Row) * Stride);
        for (int Col = FirstCol; Col < EndCol; ++Col)
            Line[Left + Col] = Cell[Row][Col];
    }
}

void TCRTDisplay::Paint()
{
    // Nothing new in the picture, or a copy to the screen already due.
    if (FCellsDrawn == FCellsShown || FUpdatePending)
        return;
    FUpdatePending = true;
    FrameClock::Request(this);
}

void TCRTDisplay::paintEvent(QPaintEvent*)
{
    FUpdatePending = false;
    FCellsShown = FCellsDrawn;
    QPainter Painter(this);
    Painter.drawImage(0, 0, FImage);
}

int TCRTDisplay::HitTest(int X) const
{
    const int WordWidth = (FSpacing + 4) * FWordSize + 1;
    int Start = 0;
    int End = FHideFirstBit ? (FWordSize - 1) * (FSpacing + 4) + 1 : WordWidth;
    for (int I = 0; I <= FWordCount; ++I) {
        if (X >= Start && X < End)
            return I;
        Start = End;
        End += WordWidth;
    }
    return FWordCount + 1;
}

void TCRTDisplay::mouseMoveEvent(QMouseEvent* Event)
{
    if (FOnHint)
        FOnHint(this, FWords, HitTest(static_cast<int>(Event->position().x())));
    Event->accept();
}

// A monitoring tube: a row of machine words shown bit by bit, a rounded green
// dot for a one and a single bright point for a zero, on black.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/misc.h"

class TCRTDisplay;

// Sender, the words last drawn, and the index of the word under the mouse.
using TCRTHintEvent = std::function<void(TCRTDisplay* Sender, TWords Words, int CurrentWordIndex)>;

class TCRTDisplay : public QWidget {
    Q_OBJECT
public:
    explicit TCRTDisplay(QWidget* Owner = nullptr);
    ~TCRTDisplay() override;

    int WordCount() const { return FWordCount; }
    void SetWordCount(int Value);
    int WordSize() const { return FWordSize; }
    void SetWordSize(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool HideFirstBit() const { return FHideFirstBit; }
    void SetHideFirstBit(bool Value);
    const QString& FullName() const { return FFullName; }
    void SetFullName(const QString& Value) { FFullName = Value; }
    const TCRTHintEvent& OnHint() const { return FOnHint; }
    void SetOnHint(TCRTHintEvent Value) { FOnHint = std::move(Value); }
    int Pitch() const { return FPitch; }

    // The words last drawn, one per word of the row.
    TWords Words() const { return FWords; }

    // Shows a whole row; without Force only the bits that differ from the last
    // drawn words are redrawn. Words beyond WordCount are ignored.
    void SetWords(TWords Words, bool Force);
    // Shows one word, redrawing all of its bits. An index outside the row is ignored.
    void SetWord(int Index, int Value);

    // The word index a mouse x position falls on: WordCount just right of the
    // last word, WordCount + 1 further right.
    int HitTest(int X) const;
    // Centre x of word Index's least significant bit.
    int WordX(int Index) const;

    // The off-screen picture the screen is refreshed from.
    const QImage& Image() const { return FImage; }
    // Cells drawn since creation; lets tests see how much a call redrew.
    std::uint64_t CellsDrawn() const { return FCellsDrawn; }

    // Has the off-screen picture copied to the screen at the next frame.
    void Paint();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    void Layout();
    void DrawWord(bool Force, int X, TWord New, TWord Old);
    void DrawCell(uchar* Bits, qsizetype Stride, int Width, int X, bool One);

    int FWordCount = 1;
    int FWordSize = WordBits;
    std::vector<TWord> FWords;
    TCRTHintEvent FOnHint;
    int FSpacing = 2;
    bool FHideFirstBit = false;
    QString FFullName;
    int FPitch = 6;
    QImage FImage;
    std::uint64_t FCellsDrawn = 0;
    // A copy to the screen is already due at the next frame.
    bool FUpdatePending = false;
    // Cells drawn when the picture last reached the screen.
    std::uint64_t FCellsShown = 0;
};

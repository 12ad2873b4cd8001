#include <QMouseEvent>
#include <QtTest>
#include <tuple>
#include <vector>

#include "components/CRTDisplay.h"

namespace {

bool IsGreen(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) == qRgb(0, 255, 0);
}

int GreenCount(const QImage& Image)
{
    int Count = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Count += IsGreen(Image, X, Y) ? 1 : 0;
    return Count;
}

// The 4x4 cell centred at X: a one lights all of it but the corners, a zero only
// the point at (2, 2).
bool Shows(const QImage& Image, int X, bool One)
{
    for (int Row = 0; Row < 4; ++Row)
        for (int Col = 0; Col < 4; ++Col) {
            const bool Corner = (Row == 0 || Row == 3) && (Col == 0 || Col == 3);
            if (IsGreen(Image, X - 2 + Col, 2 + Row) != (One ? !Corner : Row == 2 && Col == 2))
                return false;
        }
    return true;
}

void MakeStoreRow(TCRTDisplay& Tube)
{
    Tube.SetWordCount(2);
    Tube.SetSpacing(1);
    Tube.SetHideFirstBit(true);
}

} // namespace

class TestCRTDisplay : public QObject {
    Q_OBJECT
private slots:
    void GeometryFollowsLayoutProperties()
    {
        TCRTDisplay Tube;
        Tube.SetWordSize(0);
        Tube.SetSpacing(-3);
        Tube.SetWordCount(0);
        QCOMPARE(std::tuple(Tube.WordSize(), Tube.Spacing(), Tube.WordCount()), std::tuple(1, 1, 1));

        Tube.SetWordSize(18);
        MakeStoreRow(Tube);
        QCOMPARE(Tube.size(), QSize(177, 8));
        Tube.SetWordCount(4);
        QCOMPARE(Tube.width(), 359);
        Tube.SetWordCount(1);
        QCOMPARE(Tube.width(), 86);
        Tube.SetHideFirstBit(false);
        Tube.SetWordSize(10);
        QCOMPARE(Tube.width(), 51);
        // A size set from outside is replaced by the layout's own.
        Tube.setGeometry(0, 0, 300, 40);
        QCOMPARE(Tube.size(), QSize(51, 8));
    }

    void StoreRowAndSetWord()
    {
        TCRTDisplay Tube;
        MakeStoreRow(Tube);
        const std::vector<TWord> Row{0x3FFFF, 0x2A0F3};
        Tube.SetWords(Row, false);
        for (int Y = 0; Y < 8; ++Y) // the hidden first bit falls off the left
            QVERIFY(!IsGreen(Tube.Image(), 0, Y));
        QVERIFY(Shows(Tube.Image(), 3, true)); // word 0, bit 16
        QVERIFY(Shows(Tube.Image(), 88, true)); // word 1, bit 17 is shown
        QVERIFY(Shows(Tube.Image(), 173, true)); // word 1, bit 0

        // SetWord draws the same picture, redrawing every bit of its word.
        TCRTDisplay ByWord;
        MakeStoreRow(ByWord);
        ByWord.SetWord(0, 0x3FFFF);
        const auto Before = ByWord.CellsDrawn();
        ByWord.SetWord(1, 0x2A0F3);
        QCOMPARE(ByWord.CellsDrawn() - Before, 18u);
        QCOMPARE(ByWord.Image(), Tube.Image());
        QCOMPARE(ByWord.Words()[1], 0x2A0F3);

        // A layout change clears the row.
        Tube.SetHideFirstBit(false);
        QCOMPARE(Tube.Words()[0], 0);
        QCOMPARE(GreenCount(Tube.Image()), 36);
    }

    void NewRowThenOnlyChangedBitsRedrawn()
    {
        TCRTDisplay Tube; // eighteen zero points
        QCOMPARE(Tube.size(), QSize(109, 8));
        QCOMPARE(GreenCount(Tube.Image()), 18);
        for (int K = 0; K < 18; ++K)
            QVERIFY2(Shows(Tube.Image(), 105 - 6 * K, false), qPrintable(QString("bit %1").arg(K)));

        const std::vector<TWord> Zero{0}, One{1};
        Tube.SetWords(Zero, false);
        auto Before = Tube.CellsDrawn();
        Tube.SetWords(One, false);
        QCOMPARE(Tube.CellsDrawn() - Before, 1u);
        QVERIFY(Shows(Tube.Image(), 105, true) && Shows(Tube.Image(), 99, false));
        Tube.SetWords(One, false);
        QCOMPARE(Tube.CellsDrawn() - Before, 1u);
        // Force redraws the whole row; bits above the word size are never shown.
        Before = Tube.CellsDrawn();
        const std::vector<TWord> Wide{static_cast<TWord>(0xFFFC0000u)};
        Tube.SetWords(Wide, true);
        QCOMPARE(Tube.CellsDrawn() - Before, 18u);
        QCOMPARE(GreenCount(Tube.Image()), 18);

        // Words beyond the row and indices outside it are ignored.
        const std::vector<TWord> TooMany{1, 2, 3};
        Tube.SetWords(TooMany, false);
        QVERIFY(Tube.Words().size() == 1 && Tube.Words()[0] == 1);
        const QImage Shown = Tube.Image();
        Tube.SetWord(1, 5);
        Tube.SetWord(-1, 5);
        QCOMPARE(Tube.Image(), Shown);
    }

    void HintReportsTheWordUnderTheMouse()
    {
        TCRTDisplay Tube;
        MakeStoreRow(Tube);
        for (auto [X, Index] : {std::pair(0, 0), {85, 0}, {86, 1}, {176, 1}, {177, 2}, {267, 2}, {268, 3}})
            QCOMPARE(Tube.HitTest(X), Index);

        const std::vector<TWord> Row{7, 9};
        Tube.SetWords(Row, false);
        int Index = -1;
        Tube.SetOnHint([&](TCRTDisplay* Sender, TWords W, int I) {
            QVERIFY(Sender == &Tube && std::vector<TWord>(W.begin(), W.end()) == Row);
            Index = I;
        });
        QMouseEvent Move(QEvent::MouseMove, QPointF(100, 4), Tube.mapToGlobal(QPointF(100, 4)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Tube, &Move);
        QCOMPARE(Index, 1);
    }
};

QTEST_MAIN(TestCRTDisplay)
#include "test_crtdisplay.moc"

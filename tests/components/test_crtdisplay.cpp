#include <QMouseEvent>
#include <QtTest>
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

// A one is a 4x4 green cell without its corners; a zero only lights the centre.
bool ShowsOne(const QImage& Image, int X)
{
    for (int Row = 0; Row < 4; ++Row)
        for (int Col = 0; Col < 4; ++Col) {
            const bool Corner = (Row == 0 || Row == 3) && (Col == 0 || Col == 3);
            if (IsGreen(Image, X - 2 + Col, 2 + Row) == Corner)
                return false;
        }
    return true;
}

bool ShowsZero(const QImage& Image, int X)
{
    for (int Row = 0; Row < 4; ++Row)
        for (int Col = 0; Col < 4; ++Col)
            if (IsGreen(Image, X - 2 + Col, 2 + Row) != (Row == 2 && Col == 2))
                return false;
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
    void NewDisplayShowsEighteenZeroPoints()
    {
        TCRTDisplay Tube;
        QCOMPARE(Tube.size(), QSize(109, 8));
        QCOMPARE(Tube.Image().size(), QSize(109, 8));
        QCOMPARE(Tube.Words().size(), std::size_t(1));
        QCOMPARE(GreenCount(Tube.Image()), 18);
        for (int K = 0; K < 18; ++K)
            QVERIFY2(ShowsZero(Tube.Image(), 105 - 6 * K), qPrintable(QString("bit %1").arg(K)));
    }

    void GeometryFollowsLayoutProperties()
    {
        TCRTDisplay Tube;
        Tube.SetWordSize(0);
        Tube.SetSpacing(-3);
        QCOMPARE(Tube.WordSize(), 1);
        QCOMPARE(Tube.Spacing(), 1);
        QCOMPARE(Tube.Pitch(), 5);
        Tube.SetWordCount(0);
        QCOMPARE(Tube.WordCount(), 1);

        Tube.SetWordSize(18);
        MakeStoreRow(Tube);
        QCOMPARE(Tube.size(), QSize(177, 8));
        QCOMPARE(Tube.WordX(0), 83);
        QCOMPARE(Tube.WordX(1), 173);
        Tube.SetWordCount(4);
        QCOMPARE(Tube.width(), 359);
        Tube.SetWordCount(1);
        QCOMPARE(Tube.width(), 86);
        Tube.SetHideFirstBit(false);
        Tube.SetWordSize(10);
        QCOMPARE(Tube.width(), 51);
        // A width set from outside is replaced by the layout's own.
        Tube.setGeometry(0, 0, 300, 40);
        QCOMPARE(Tube.size(), QSize(51, 8));
    }

    void HiddenFirstBitFallsOffTheLeft()
    {
        TCRTDisplay Tube;
        MakeStoreRow(Tube);
        const std::vector<TWord> AllOnes{0x3FFFF, 0x3FFFF};
        Tube.SetWords(AllOnes, false);
        for (int Y = 0; Y < 8; ++Y)
            QVERIFY(!IsGreen(Tube.Image(), 0, Y));
        QVERIFY(ShowsOne(Tube.Image(), 3));     // word 0, bit 16
        QVERIFY(ShowsOne(Tube.Image(), 88));    // word 1, bit 17 is shown
        QVERIFY(ShowsOne(Tube.Image(), 173));   // word 1, bit 0
        // A layout change clears the row.
        Tube.SetHideFirstBit(false);
        QCOMPARE(Tube.Words()[0], 0);
        QCOMPARE(GreenCount(Tube.Image()), 36);
    }

    void OnlyChangedBitsAreRedrawn()
    {
        TCRTDisplay Tube;
        const std::vector<TWord> Zero{0}, One{1};
        Tube.SetWords(Zero, false);
        auto Before = Tube.CellsDrawn();
        Tube.SetWords(One, false);
        QCOMPARE(Tube.CellsDrawn() - Before, std::uint64_t(1));
        QVERIFY(ShowsOne(Tube.Image(), 105));
        QVERIFY(ShowsZero(Tube.Image(), 99));
        Before = Tube.CellsDrawn();
        Tube.SetWords(One, false);
        QCOMPARE(Tube.CellsDrawn() - Before, std::uint64_t(0));
        // Force redraws the whole row; bits above the word size are never shown.
        Before = Tube.CellsDrawn();
        const std::vector<TWord> Wide{static_cast<TWord>(0xFFFC0000u)};
        Tube.SetWords(Wide, true);
        QCOMPARE(Tube.CellsDrawn() - Before, std::uint64_t(18));
        QCOMPARE(GreenCount(Tube.Image()), 18);
    }

    void SetWordMatchesSetWords()
    {
        TCRTDisplay ByRow, ByWord;
        MakeStoreRow(ByRow);
        MakeStoreRow(ByWord);
        const std::vector<TWord> First{0x15555, 0}, Both{0x15555, 0x2A0F3};
        ByRow.SetWords(Both, false);
        ByWord.SetWords(First, false);
        const auto Before = ByWord.CellsDrawn();
        ByWord.SetWord(1, 0x2A0F3);
        QCOMPARE(ByWord.CellsDrawn() - Before, std::uint64_t(18));
        QCOMPARE(ByWord.Image(), ByRow.Image());
        QCOMPARE(ByWord.Words()[1], 0x2A0F3);
    }

    void CallsOutsideTheRowAreIgnored()
    {
        TCRTDisplay Tube;
        const QImage Before = Tube.Image();
        Tube.SetWord(1, 5);
        Tube.SetWord(-1, 5);
        QCOMPARE(Tube.Image(), Before);
        const std::vector<TWord> TooMany{1, 2, 3};
        Tube.SetWords(TooMany, false);
        QCOMPARE(Tube.Words().size(), std::size_t(1));
        QCOMPARE(Tube.Words()[0], 1);
    }

    void HintReportsTheWordUnderTheMouse()
    {
        TCRTDisplay Tube;
        MakeStoreRow(Tube);
        QCOMPARE(Tube.HitTest(0), 0);
        QCOMPARE(Tube.HitTest(85), 0);
        QCOMPARE(Tube.HitTest(86), 1);
        QCOMPARE(Tube.HitTest(176), 1);
        QCOMPARE(Tube.HitTest(177), 2);
        QCOMPARE(Tube.HitTest(267), 2);
        QCOMPARE(Tube.HitTest(268), 3);

        const std::vector<TWord> Row{7, 9};
        Tube.SetWords(Row, false);
        TCRTDisplay* Sender = nullptr;
        std::vector<TWord> Seen;
        int Index = -1;
        Tube.SetOnHint([&](TCRTDisplay* S, TWords W, int I) {
            Sender = S;
            Seen.assign(W.begin(), W.end());
            Index = I;
        });
        QMouseEvent Move(QEvent::MouseMove, QPointF(100, 4), Tube.mapToGlobal(QPointF(100, 4)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Tube, &Move);
        QCOMPARE(Sender, &Tube);
        QCOMPARE(Seen, Row);
        QCOMPARE(Index, 1);
    }
};

QTEST_MAIN(TestCRTDisplay)
#include "test_crtdisplay.moc"

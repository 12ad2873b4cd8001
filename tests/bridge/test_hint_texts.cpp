// What hint mode says of each kind of tube, made without any window.
#include <QtTest>
#include <array>

#include "bridge/hint_texts.h"

namespace {

QString Text(std::optional<TRegister> Tube, const char* Name, TWords Words, int Index, int Row = 0, int Tank = 0,
             TOrderMarks Marks = OrderMarks(ioOrders2))
{
    return TubeHintText({Tube, Row, QString::fromLatin1(Name), Words, Index}, Tank, Marks);
}

} // namespace

class TestHintTexts : public QObject {
    Q_OBJECT
private slots:
    void eachTubeExplainsItsWord()
    {
        const std::array<TWord, 2> Row{0, MakeOrder(28, 5, false)};
        // Long tank 1, row 3: the even location of the pair is 38.
        QCOMPARE(Text(std::nullopt, "WORDS_6-7", Row, 1, 3, 1),
                 QStringLiteral("WORD 38   Order = A 5 F   Integer 38F = -16374   Fraction -0.249847"));
        // The odd location is the upper half of a long number: its fraction takes in both.
        QCOMPARE(Text(std::nullopt, "WORDS_6-7", Row, 0, 3, 1),
                 QStringLiteral("WORD 39   Order = P 0 F   Integer 39F = 0   Fraction 0.00000667630"));
        const std::array<TWord, 1> Order{MakeOrder(28, 5, true)};
        QCOMPARE(Text(TRegister::rgOrderTank, "ORDER TANK", Order, 0, 0, 0, OrderMarks(ioOrders1)),
                 QStringLiteral("ORDER TANK = A 5 L"));
        const std::array<TWord, 1> Scr{0x3FF};
        QCOMPARE(Text(TRegister::rgSequenceControl, "SEQUENCE CONTROL REGISTER", Scr, 0),
                 QStringLiteral("SEQUENCE CONTROL REGISTER = 1023"));
        // The registers: the first word as an integer, the whole as a fraction.
        const std::array<TWord, 4> Acc{0x8000, 0, 0, 1};
        QCOMPARE(Text(TRegister::rgAccumulator, "ACCUMULATOR", Acc, 2),
                 QStringLiteral("ACCUMULATOR   Integer = 32768   Fraction = 0.500000000000000000001"));
        const std::array<TWord, 2> Multr{0x18000, 0};
        QCOMPARE(Text(TRegister::rgMultiplier, "MULTIPLIER", Multr, 0),
                 QStringLiteral("MULTIPLIER   Integer = -32768   Fraction = -0.50000000000"));
    }

    // Past a tube's last word, before its first, or with nothing shown: no text.
    void nothingToExplain()
    {
        const std::array<TWord, 2> Row{1, 2};
        for (int Index : {-1, 2, 3})
            QCOMPARE(Text(std::nullopt, "WORDS_0-1", Row, Index), QString());
        QCOMPARE(Text(TRegister::rgOrderTank, "ORDER TANK", TWords(Row).first(1), 1), QString());
        QCOMPARE(Text(TRegister::rgSequenceControl, "SEQUENCE CONTROL REGISTER", TWords(Row).first(1), 1), QString());
        QCOMPARE(Text(TRegister::rgMultiplicand, "MULTIPLICAND", TWords(), 0), QString());
    }

    void marksFollowTheInitialOrders()
    {
        const auto Marks = [](std::optional<TInitialOrders> Orders) {
            const TOrderMarks M = OrderMarks(Orders);
            return QString(QLatin1Char(M.Short)) + QLatin1Char(M.Long);
        };
        QCOMPARE(Marks(ioOrders1), QStringLiteral("SL"));
        QCOMPARE(Marks(ioOrders2), QStringLiteral("FD"));
        QCOMPARE(Marks(std::nullopt), QStringLiteral("--"));
    }
};

QTEST_MAIN(TestHintTexts)
#include "test_hint_texts.moc"

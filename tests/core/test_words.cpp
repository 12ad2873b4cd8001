// Order words, number renderings and the store's short, long and sandwich-bit access.
#include <QtTest>
#include <cstdint>
#include <string_view>

#include "core/OrderTable.h"
#include "core/Store.h"
#include "core/errors.h"
#include "core/misc.h"
#include "guarded.h"
#include "recording_sim.h"

namespace {

// What a fraction must read as, worked out without FracToStr's method: the
// magnitude is Magnitude / 2^Bits, and its first Digits decimal places are
// Magnitude * 10^Digits / 2^Bits = Magnitude * 5^Digits / 2^(Bits - Digits),
// exact in 64 bits for a short word (16 bits, 6 places) and a long number
// (34 bits, 11 places). A remainder of one half rounds up; a negative number's
// magnitude arrives one unit of 2^-70 short (one's complement), so for it only a
// remainder past one half does, and an exact value stays as it is.
std::string ExactFraction(std::uint64_t Magnitude, bool Negative, int Bits, int Digits)
{
    std::uint64_t Five = 1;
    for (int I = 0; I < Digits; ++I)
        Five *= 5;
    const int Shift = Bits - Digits;
    const std::uint64_t Scaled = Magnitude * Five;
    std::uint64_t Places = Scaled >> Shift;
    const std::uint64_t Rest = Scaled & ((std::uint64_t(1) << Shift) - 1);
    const std::uint64_t HalfPlace = std::uint64_t(1) << (Shift - 1);
    if (Negative ? Rest > HalfPlace : Rest >= HalfPlace)
        ++Places;
    std::uint64_t One = 1;
    for (int I = 0; I < Digits; ++I)
        One *= 10;
    std::string Text = Places == One ? "1." : "0.";
    const std::string Figures = std::to_string(Places % One);
    Text += std::string(static_cast<std::size_t>(Digits) - Figures.size(), '0') + Figures;
    return (Negative ? "-" : "") + Text;
}

} // namespace

class TestWords : public QObject {
    Q_OBJECT
private slots:
    void ordersRoundTrip()
    {
        QCOMPARE(MakeOrder(5, 0, false), 20480);
        QCOMPARE(MakeOrder(28, 5, true), 114699);
        for (TWord W : {20480, 114699}) {
            const TOrder O = WordToOrder(W);
            QCOMPARE(MakeOrder(O.Code, O.Address, O.Long), W);
        }
        // Bit 11 and the sandwich bit take no part in decoding.
        QCOMPARE(WordToOrderStr(114699 | 0x800 | 0x20000, 'S', 'L'), std::string("A 5 L"));
        QCOMPARE(OrderToStr(TOrder{28, 5, false}, 'S', 'L'), std::string("A 5 S"));
        QCOMPARE(WordToOrderStr(MakeOrder(31, 1023, true), 'F', 'D'), std::string("V 1023 D"));
    }

    void integers()
    {
        QCOMPARE(WordToIntStr(0x10000), std::string("-65536"));
        QCOMPARE(WordToIntStr(0x0FFFF), std::string("65535"));
        QCOMPARE(WordToIntStr(0x1FFFF), std::string("-1"));
        QCOMPARE(WordToIntStr(0x3FFFF), std::string("-1")); // the sandwich bit is no part of the number
    }

    void fractions_data()
    {
        QTest::addColumn<QList<int>>("words");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("text");
        QTest::newRow("half") << QList<int>{0x08000, 0, 0, 0} << 6 << "0.500000";
        QTest::newRow("minus half") << QList<int>{0x18000, 0, 0, 0} << 6 << "-0.500000";
        QTest::newRow("zero") << QList<int>{0, 0, 0, 0} << 6 << "0.000000";
        QTest::newRow("no digits") << QList<int>{0x08000, 0, 0, 0} << 0 << "0.";
        QTest::newRow("no digits, negative") << QList<int>{0x18000, 0, 0, 0} << -3 << "-0.";
        QTest::newRow("tie rounds up") << QList<int>{0x00200, 0, 0, 0} << 6 << "0.007813";
        QTest::newRow("negative tie lies below") << QList<int>{0x1FE00, 0, 0, 0} << 6 << "-0.007812";
        QTest::newRow("lowest accumulator bit") << QList<int>{0, 0, 0, 1} << 21 << "0.000000000000000000001";
        QTest::newRow("minus lowest bit")
            << QList<int>{0x1FFFF, 0x3FFFF, 0x3FFFF, 0x3FFFF} << 21 << "-0.000000000000000000000";
        QTest::newRow("minus one") << QList<int>{0x10000, 0, 0, 0} << 6 << "-1.000000";
        QTest::newRow("nearly one rounds to one") << QList<int>{0x0FFFF, 0x3FFFF, 0, 0} << 6 << "1.000000";
        QTest::newRow("long quarter") << QList<int>{0x04000, 0, 0, 0} << 11 << "0.25000000000";
    }
    void fractions()
    {
        QFETCH(QList<int>, words);
        QFETCH(int, digits);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FracToStr(words[0], words[1], words[2], words[3], digits)), text);
    }

    void fractionDigitsNeverPastNine()
    {
        // Values close to plus or minus one must never produce a digit beyond "9".
        for (TWord W0 : {0x0FFFF, 0x10000, 0x10001, 0x1FFFF})
            for (int Digits : {1, 6, 11, 21}) {
                const std::string S = FracToStr(W0, 0x3FFFF, 0x3FFFF, 0x3FFFF, Digits);
                for (char C : S)
                    QVERIFY2((C >= '0' && C <= '9') || C == '.' || C == '-', S.c_str());
            }
    }

    void fractionsRoundExactlyOnEveryPlatform()
    {
        // Every short word, 6 places.
        for (TWord W = 0; W < 0x20000; ++W) {
            const bool Negative = W & 0x10000;
            const std::string Expected = ExactFraction(Negative ? 0x20000 - W : W, Negative, 16, 6);
            if (FracToStr(W, 0, 0, 0, 6) != Expected)
                QFAIL(qPrintable(QString("short word %1: %2, not %3")
                                     .arg(W)
                                     .arg(QString::fromStdString(FracToStr(W, 0, 0, 0, 6)))
                                     .arg(QString::fromStdString(Expected))));
        }
        // Long numbers at every decimal tie of the 11th place, (2k + 1) * 2^22, both
        // signs, and a spread of others.
        std::vector<std::int64_t> Longs;
        for (std::int64_t K = 0; K < 2048; ++K)
            Longs.push_back((2 * K + 1) << 22);
        std::uint64_t Seed = 12345;
        for (int I = 0; I < 20000; ++I) {
            Seed = Seed * 6364136223846793005u + 1442695040888963407u;
            Longs.push_back(static_cast<std::int64_t>(Seed >> 30) & ((std::int64_t(1) << 34) - 1));
        }
        for (const std::int64_t Magnitude : Longs)
            for (const bool Negative : {false, true}) {
                const std::int64_t Bits = Negative ? (std::int64_t(1) << 35) - Magnitude : Magnitude;
                const TWord High = static_cast<TWord>(Bits >> 18);
                const TWord Low = static_cast<TWord>(Bits & 0x3FFFF);
                const std::string Expected = ExactFraction(static_cast<std::uint64_t>(Magnitude), Negative, 34, 11);
                if (FracToStr(High, Low, 0, 0, 11) != Expected)
                    QFAIL(qPrintable(QString("long %1: %2, not %3")
                                         .arg(Bits)
                                         .arg(QString::fromStdString(FracToStr(High, Low, 0, 0, 11)))
                                         .arg(QString::fromStdString(Expected))));
            }
        // The accumulator's 21 places: 2^-22 is 0.0000002384185791015625, a tie at
        // the 22nd place; one half and 2^-70 needs all 71 bits to be seen.
        QCOMPARE(FracToStr(0, 0x1000, 0, 0, 21), std::string("0.000000238418579101563"));
        QCOMPARE(FracToStr(0x1FFFF, 0x3F000, 0, 0, 21), std::string("-0.000000238418579101562"));
        QCOMPARE(FracToStr(0x8000, 0, 0, 1, 21), std::string("0.500000000000000000001"));
        // -(1/2 + 2^-69), shown from its one's complement, 1/2 + 2^-70.
        QCOMPARE(FracToStr(0x17FFF, 0x3FFFF, 0x3FFFF, 0x3FFFE, 21), std::string("-0.500000000000000000001"));
    }

    void everyLetterFoldsToItsCapitalUnlessCaseCounts()
    {
        Guarded([&] {
            for (char Letter = 'a'; Letter <= 'z'; ++Letter) {
                const char Capital = static_cast<char>(Letter - 'a' + 'A');
                const int Code = static_cast<int>(std::string_view(OrderLetters).find(Capital));
                QVERIFY(Code >= 0 && Code < 32);
                TRecordingSim Sim;
                Sim.Tape.SetText(std::u32string{char32_t(Letter), char32_t(Capital), char32_t(Letter)});
                QCOMPARE(ReadTapeCode(Sim.Tape, true, Sim), Code);
                QCOMPARE(ReadTapeCode(Sim.Tape, true, Sim), Code);
                QVERIFY_THROWS_EXCEPTION(EIllegalChar, ReadTapeCode(Sim.Tape, false, Sim));
                QCOMPARE(Sim.TraceOf("io: ").back(), std::string("IO: Read char ") + Letter + " (-1)");
            }
        });
    }

    void longAccessUsesTheEvenPair()
    {
        TRecordingSim Sim;
        TStore Store(1024, Sim);
        Store.WriteWord(4, 44);
        Store.WriteWord(5, 55);
        QCOMPARE((Store.Read(5, wlLong)), (std::array<TWord, 2>{55, 44}));
        QCOMPARE((Store.Read(4, wlLong)), (std::array<TWord, 2>{55, 44}));
        QCOMPARE(Sim.TraceOf("store: ").back(), std::string("Read long @ 5 and 4"));
    }

    void sandwichBit()
    {
        TRecordingSim Sim;
        TStore Store(1024, Sim);
        Sim.Forget();
        Store.Write(6, wlLong, std::array<TWord, 2>{0x1FFFF, 0x3FFFF});
        QCOMPARE(Store.ReadWord(7), 0x1FFFF);
        QCOMPARE(Store.ReadWord(6), 0x3FFFF);
        QCOMPARE((Sim.StoreWords), (std::vector<std::pair<int, TWord>>{{7, 0x1FFFF}, {6, 0x3FFFF}}));
        QCOMPARE(Sim.TraceOf("store: ")[0], std::string("Write: 131071 @ loc 7"));
        QCOMPARE(Sim.TraceOf("store: ")[1], std::string("       262143 @ loc 6"));

        QCOMPARE(Store.Read(6, wlShort)[0], 0x1FFFF); // a short read drops the sandwich bit
        Sim.Forget();
        Store.Write(6, wlShort, std::array<TWord, 2>{0, 0}); // a short write keeps it
        QCOMPARE(Store.ReadWord(6), 0x20000);
        QCOMPARE(Sim.StoreWords.back(), (std::pair<int, TWord>{6, 0x20000}));
        QCOMPARE((Store.Read(6, wlLong)), (std::array<TWord, 2>{0x1FFFF, 0x20000}));

        Store.WriteWord(8, 0x20000); // the raw write replaces every bit
        QCOMPARE(Store.ReadWord(8), 0x20000);
        Store.WriteWord(8, 5);
        QCOMPARE(Store.ReadWord(8), 5);
    }

    void accumulatorWritesTwoWordsAndNothingForAccumulatorLength()
    {
        TRecordingSim Sim;
        TStore Store(1024, Sim);
        Store.Write(10, wlLong, std::array<TWord, 4>{1, 2, 3, 4});
        QCOMPARE(Store.ReadWord(11), 1);
        QCOMPARE(Store.ReadWord(10), 2);
        QCOMPARE(Store.ReadWord(12), 0);
        Sim.Forget();
        Store.Write(10, wlAccumulator, std::array<TWord, 4>{9, 9, 9, 9});
        QCOMPARE((Store.Read(10, wlAccumulator)), (std::array<TWord, 2>{0, 0}));
        QVERIFY(Sim.Trace.empty());
        QVERIFY(Sim.StoreWords.empty());
    }

    void initClearsAndShowsEverything()
    {
        TRecordingSim Sim;
        TStore Store(1024, Sim);
        Store.WriteWord(1023, 7);
        Store.Init();
        QCOMPARE(Store.ReadWord(1023), 0);
        QCOMPARE(Sim.StoreDisplays, 1);
        QCOMPARE(Sim.LastStoreDisplaySize, 1024);
        QCOMPARE(Sim.TraceOf("store: ")[0], std::string("Store is active"));
    }

    // Registers of two and four words as whole numbers, past any 64-bit integer.
    void registersAsWholeNumbers()
    {
        QCOMPARE(WordsToIntStr(std::array<TWord, 2>{0, 5}), std::string("5"));
        QCOMPARE(WordsToIntStr(std::array<TWord, 2>{0x1FFFF, 0x3FFFF}), std::string("-1"));
        QCOMPARE(WordsToIntStr(std::array<TWord, 4>{0x10000, 0, 0, 0}), std::string("-1180591620717411303424"));
        QCOMPARE(WordsToIntStr(std::array<TWord, 4>{0xFFFF, 0x3FFFF, 0x3FFFF, 0x3FFFF}),
                 std::string("1180591620717411303423"));
    }

    // A tape word under the cursor, in words, from the order table.
    void tapeWordsExplained()
    {
        const auto Explain = [](const char* Line, size_t Column) { return ExplainTapeWord(U32(Line), Column); };
        QCOMPARE(Explain("A 64 F", 0), std::string("A 64 F — add the word at 64 to the accumulator, 1.5 ms"));
        QCOMPARE(Explain("T64K GK A 7 @ [link] V 30 D", 22),
                 std::string("V 30 D — add the multiplier times the long number at 30 to the accumulator, 6 ms"));
        QCOMPARE(Explain("T64K GK A 7 @ [link] V 30 D", 9),
                 std::string("A 7 @ — add the word at θ + 7 to the accumulator, 1.5 ms"));
        QCOMPARE(Explain("T64K GK", 1), std::string("T 64 K — the words that follow go to 64 onwards"));
        QCOMPARE(Explain("L 16 S", 5), std::string("L 16 S — shift the accumulator left 6 places, 1.5 ms"));
        QCOMPARE(Explain("P 5 D", 2), std::string("P 5 D — the number 11"));
        QCOMPARE(Explain("J 5 F", 2), std::string("J 5 F — no order: it stops the machine with \"Unknown order 10\""));
        QCOMPARE(Explain("[A 64 F] ", 2), std::string());
        QCOMPARE(Explain("A 64", 0), std::string());
    }
};

QTEST_APPLESS_MAIN(TestWords)
#include "test_words.moc"

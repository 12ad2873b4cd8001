// The arithmetic unit: carries and borrows across words, shifts, multiplication,
// collation, rounding, and what reaches the displays.
#include <QRandomGenerator>
#include <QtTest>

#include "core/ALUnit.h"
#include "recording_sim.h"

namespace {

using Acc = std::array<TWord, 4>;

Acc AccOf(TALUnit& ALU)
{
    return ALU.Acc();
}

// The multiplication as the hardware does it: shift the operand down, add a copy
// for every multiplier bit while shifting back up, subtract for the sign bit.
Acc ShiftAndAdd(Acc A, TLongWords Multiplier, TLongWords Operand, bool AddProduct)
{
    TRecordingSim Sim;
    TALUnit Work(Sim);
    Work.WriteAccumulator(A);
    Acc D{Operand[0], Operand[1], 0, 0};
    std::array<TWord, 2> M = Multiplier;
    for (int I = 0; I < 34; ++I)
        TALUnit::ShiftRight(D, wlAccumulator);
    for (int I = 0; I < 34; ++I) {
        if (M[1] & 1) {
            if (AddProduct)
                Work.AddToAccumulator(D, wlAccumulator);
            else
                Work.SubtractFromAccumulator(D, wlAccumulator);
        }
        TALUnit::ShiftRight(M, wlLong);
        TALUnit::ShiftLeft(D, wlAccumulator);
    }
    if (M[0] & 0x10000) {
        if (AddProduct)
            Work.SubtractFromAccumulator(D, wlLong);
        else
            Work.AddToAccumulator(D, wlLong);
    }
    return Work.Acc();
}

} // namespace

class TestALU : public QObject {
    Q_OBJECT
private slots:
    void carriesAndBorrows()
    {
        TRecordingSim Sim;
        TALUnit ALU(Sim);
        ALU.WriteAccumulator(Acc{0, 0x3FFFF, 5, 6});
        ALU.AddToAccumulator(std::array<TWord, 2>{0, 1}, wlLong);
        QCOMPARE(AccOf(ALU), (Acc{1, 0, 5, 6}));

        ALU.ClearAccumulator();
        ALU.SubtractFromAccumulator(std::array<TWord, 2>{1, 0}, wlShort);
        QCOMPARE(AccOf(ALU), (Acc{0x1FFFF, 0, 0, 0}));

        ALU.ClearAccumulator();
        ALU.SubtractFromAccumulator(std::array<TWord, 2>{0, 1}, wlLong);
        QCOMPARE(AccOf(ALU), (Acc{0x1FFFF, 0x3FFFF, 0, 0}));

        // A full-width carry runs from the lowest word to the top, and out of it.
        ALU.WriteAccumulator(Acc{0x1FFFF, 0x3FFFF, 0x3FFFF, 0x3FFFF});
        ALU.AddToAccumulator(Acc{0, 0, 0, 1}, wlAccumulator);
        QCOMPARE(AccOf(ALU), (Acc{0, 0, 0, 0}));
        ALU.SubtractFromAccumulator(Acc{0, 0, 0, 1}, wlAccumulator);
        QCOMPARE(AccOf(ALU), (Acc{0x1FFFF, 0x3FFFF, 0x3FFFF, 0x3FFFF}));

        ALU.ClearAccumulator();
        ALU.RoundAccumulator();
        QCOMPARE(AccOf(ALU), (Acc{0, 0, 0x20000, 0}));
    }

    void shifts()
    {
        std::array<TWord, 1> S{0x10000};
        TALUnit::ShiftLeft(S, wlShort);
        QCOMPARE(S[0], 0); // the sign falls out
        S = {0x10000};
        TALUnit::ShiftRight(S, wlShort);
        QCOMPARE(S[0], 0x18000); // the sign is kept

        std::array<TWord, 2> L{1, 0};
        TALUnit::ShiftRight(L, wlLong);
        QCOMPARE(L, (std::array<TWord, 2>{0, 0x20000}));
        TALUnit::ShiftLeft(L, wlLong);
        QCOMPARE(L, (std::array<TWord, 2>{1, 0}));

        Acc A{0x00001, 0x00001, 0x00001, 0x00001};
        TALUnit::ShiftRight(A, wlAccumulator);
        QCOMPARE(A, (Acc{0, 0x20000, 0x20000, 0x20000})); // the lowest bit falls out
        TALUnit::ShiftLeft(A, wlAccumulator);
        QCOMPARE(A, (Acc{1, 1, 1, 0}));
    }

    void multiplication_data()
    {
        QTest::addColumn<QList<int>>("multiplier");
        QTest::addColumn<QList<int>>("operand");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("half by half") << QList<int>{0x08000, 0} << QList<int>{0x08000, 0}
                                      << QList<int>{0x04000, 0, 0, 0};
        QTest::newRow("minus half by half")
            << QList<int>{0x18000, 0} << QList<int>{0x08000, 0} << QList<int>{0x1C000, 0, 0, 0};
        QTest::newRow("minus one squared wraps")
            << QList<int>{0x10000, 0} << QList<int>{0x10000, 0} << QList<int>{0x10000, 0, 0, 0};
        QTest::newRow("lowest bits") << QList<int>{0, 1} << QList<int>{0, 1} << QList<int>{0, 0, 0, 4};
    }
    void multiplication()
    {
        QFETCH(QList<int>, multiplier);
        QFETCH(QList<int>, operand);
        QFETCH(QList<int>, expected);
        TRecordingSim Sim;
        TALUnit ALU(Sim);
        ALU.WriteMultiplier(std::array<TWord, 2>{multiplier[0], multiplier[1]});
        ALU.Multiply(std::array<TWord, 2>{operand[0], operand[1]}, true);
        QCOMPARE(AccOf(ALU), (Acc{expected[0], expected[1], expected[2], expected[3]}));
        QCOMPARE(ALU.Multd(), (TLongWords{operand[0], operand[1]}));
        QCOMPARE(ALU.Multr(), (TLongWords{multiplier[0], multiplier[1]})); // unchanged
    }

    void multiplicationMatchesTheShiftAndAddMachine()
    {
        QRandomGenerator Random(1949);
        auto Long = [&] {
            return TLongWords{static_cast<TWord>(Random.bounded(0x20000)), static_cast<TWord>(Random.bounded(0x40000))};
        };
        for (int I = 0; I < 400; ++I) {
            const Acc Start{static_cast<TWord>(Random.bounded(0x20000)), static_cast<TWord>(Random.bounded(0x40000)),
                            static_cast<TWord>(Random.bounded(0x40000)), static_cast<TWord>(Random.bounded(0x40000))};
            const TLongWords M = Long(), D = Long();
            const bool Add = I % 2 == 0;
            TRecordingSim Sim;
            TALUnit ALU(Sim);
            ALU.WriteAccumulator(Start);
            ALU.WriteMultiplier(M);
            ALU.Multiply(D, Add);
            QCOMPARE(AccOf(ALU), ShiftAndAdd(Start, M, D, Add));
        }
    }

    void multiplicationShowsOnlyTheEnd()
    {
        TRecordingSim Sim;
        TALUnit ALU(Sim);
        ALU.WriteMultiplier(std::array<TWord, 2>{0x0FFFF, 0x3FFFF});
        Sim.Forget();
        ALU.Multiply(std::array<TWord, 2>{0x0FFFF, 0x3FFFF}, false);
        QStringList Pushed;
        for (const auto& D : Sim.Displays)
            Pushed << QString::fromStdString(D.Register) + (D.Force ? "!" : "");
        QCOMPARE(Pushed, (QStringList{"multd", "multr", "multd", "acc"}));
        QCOMPARE(Sim.TraceOf("alu: "), (std::vector<std::string>{"Writing Multiplicand"}));
    }

    void collate()
    {
        TRecordingSim Sim;
        TALUnit ALU(Sim);
        ALU.WriteMultiplier(std::array<TWord, 2>{0x0F0F0, 0x3FFFF});
        QCOMPARE(ALU.Collate(std::array<TWord, 2>{0x1FFFF, 0x00001}), (TLongWords{0x0F0F0, 0x00001}));
        QCOMPARE(ALU.Multd(), (TLongWords{0x1FFFF, 0x00001}));
    }

    void initForcesTheRegistersOntoTheTubes()
    {
        TRecordingSim Sim;
        TALUnit ALU(Sim);
        ALU.SuspendDisplay();
        ALU.Init();
        QCOMPARE(Sim.Displays.size(), size_t(2)); // the accumulator waits for the display to resume
        QCOMPARE(Sim.Displays[0].Register, std::string("multr"));
        QVERIFY(Sim.Displays[0].Force && Sim.Displays[1].Force);
        ALU.ResumeDisplay();
        ALU.Init();
        QCOMPARE(Sim.Displays[5].Register, std::string("acc"));
        QVERIFY(Sim.Displays[5].Force);
        QCOMPARE(Sim.TraceOf("alu: "), (std::vector<std::string>{"ALU is active", "Clearing ACC", "ALU Initialised",
                                                                 "Clearing ACC", "ALU Initialised"}));
    }
};

QTEST_APPLESS_MAIN(TestALU)
#include "test_alu.moc"

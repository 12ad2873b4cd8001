// The order set, order by order: jumps, shifts and their counts, stores, input and
// output, the stop, unknown orders, machine time and the trace of each step.
#include <QtTest>

#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/IOUnit.h"
#include "core/Store.h"
#include "core/errors.h"
#include "guarded.h"
#include "recording_sim.h"

namespace {
// The units wired together as the core wires them, with the store in reach.
struct TBench {
    TRecordingSim Sim;
    TStore Store{1024, Sim};
    TALUnit ALU{Sim};
    TIOUnit IO{Sim};
    TControlUnit Control{ALU, Store, IO, Sim};
    TBench()
    {
        ALU.Init();
        Control.Init();
        Store.Init();
        Sim.Forget();
    }
    void Order(int Address, char Letter, int N, bool Long = false)
    {
        int Code = 0;
        while (OrderLetters[Code] != Letter)
            ++Code;
        Store.WriteWord(Address, MakeOrder(Code, N, Long));
    }
    int Step()
    {
        Sim.Forget();
        return Control.ExecuteOrder();
    }
};
} // namespace

class TestControl : public QObject {
    Q_OBJECT
private slots:
    void firstStepTracesAndReportsTheClock()
    {
        Guarded([&] {
            TBench B;
            B.Order(0, 'X', 0);
            QCOMPARE(B.Step(), 1);
            QCOMPARE(B.Control.GetSCR(), 1);
            QCOMPARE(B.Sim.Trace,
                     (std::vector<std::string>{"control: Fetching order @ loc 0", "store: Read loc 0",
                                               "control: Received order X 0 S", "control: Executing null order"}));
            QCOMPARE(B.Sim.Displays[0].Register, std::string("ord"));
            QCOMPARE(B.Sim.Displays[1].Register, std::string("scr"));
            QCOMPARE(B.Sim.Displays[1].Words, std::vector<TWord>{0});
            QCOMPARE(B.Sim.Clock, std::vector<std::uint32_t>{15});
        });
    }

    void clockReportsOncePerSecondOfMachineTime()
    {
        Guarded([&] {
            TBench B;
            for (int A = 0; A < 700; ++A)
                B.Order(A, 'X', 0);
            std::vector<std::uint32_t> Reports;
            for (int I = 0; I < 669; ++I) {
                B.Step();
                Reports.insert(Reports.end(), B.Sim.Clock.begin(), B.Sim.Clock.end());
            }
            QCOMPARE(Reports, (std::vector<std::uint32_t>{15, 10020}));
            B.Control.ResetClock();
            QCOMPARE(B.Sim.Clock.back(), 0u);
            B.Step();
            QCOMPARE(B.Sim.Clock, std::vector<std::uint32_t>{15});
            QCOMPARE(B.Control.GetElapsedTime(), 15u);
        });
    }

    void conditionalJumps()
    {
        Guarded([&] {
            TBench B;
            B.Order(0, 'E', 100);
            B.Step();
            QCOMPARE(B.Control.GetSCR(), 100); // zero is not negative
            B.Order(100, 'G', 200);
            B.Step();
            QCOMPARE(B.Control.GetSCR(), 101);
            B.ALU.WriteAccumulator(std::array<TWord, 4>{0x10000, 0, 0, 0});
            B.Order(101, 'G', 300);
            B.Step();
            QCOMPARE(B.Control.GetSCR(), 300);
            B.Order(300, 'E', 5);
            B.Step();
            QCOMPARE(B.Control.GetSCR(), 301);
        });
    }

    void shiftCounts_data()
    {
        QTest::addColumn<char>("letter");
        QTest::addColumn<int>("address");
        QTest::addColumn<bool>("isLong");
        QTest::addColumn<int>("places");
        QTest::newRow("L 0 L") << 'L' << 0 << true << 1;
        QTest::newRow("L 0 S") << 'L' << 0 << false << 13;
        QTest::newRow("L 16 S") << 'L' << 16 << false << 6;
        QTest::newRow("R 0 S") << 'R' << 0 << false << 15;
        QTest::newRow("R 512 S") << 'R' << 512 << false << 11;
        QTest::newRow("R 1 S") << 'R' << 1 << false << 2;
    }
    void shiftCounts()
    {
        Guarded([&] {
            QFETCH(char, letter);
            QFETCH(int, address);
            QFETCH(bool, isLong);
            QFETCH(int, places);
            TBench B;
            // A single bit in the middle of the accumulator shows the distance moved.
            B.ALU.WriteAccumulator(std::array<TWord, 4>{0, 0, 1, 0});
            B.Order(0, letter, address, isLong);
            B.Step();
            const int Bit = 18 + (letter == 'L' ? places : -places);
            std::array<TWord, 4> Expected{0, 0, 0, 0};
            Expected[static_cast<size_t>(3 - Bit / 18)] = 1 << (Bit % 18);
            QCOMPARE(B.ALU.Acc(), Expected);
            // The shifts themselves are not shown; the three registers are, once, at the end.
            QCOMPARE(B.Sim.Displays.size(), size_t(5));
            QCOMPARE(B.Sim.Displays.back().Register, std::string("acc"));
            QCOMPARE(B.Sim.TraceOf("control: ").back(),
                     std::string(letter == 'L' ? "Executing L Order" : "Executing R Order"));
        });
    }

    void storesKeepTheSandwichBit()
    {
        Guarded([&] {
            TBench B;
            B.Store.WriteWord(50, 0x20000);
            B.ALU.WriteAccumulator(std::array<TWord, 4>{123, 456, 7, 8});
            B.Order(0, 'U', 50);
            B.Order(1, 'T', 60, true);
            B.Step();
            QCOMPARE(B.Store.ReadWord(50), 123 | 0x20000);
            QCOMPARE(B.ALU.Acc()[0], 123); // U keeps the accumulator
            B.Step();
            QCOMPARE(B.Store.ReadWord(61), 123);
            QCOMPARE(B.Store.ReadWord(60), 456);
            QCOMPARE(B.ALU.Acc(), (std::array<TWord, 4>{0, 0, 0, 0})); // T clears it
        });
    }

    void arithmeticOrdersLeaveTheirOperandInTheMultiplicand()
    {
        Guarded([&] {
            TBench B;
            B.Store.WriteWord(40, 10);
            B.Store.WriteWord(41, 3);
            B.Order(0, 'A', 40);
            B.Order(1, 'S', 41);
            B.Order(2, 'A', 40, true);
            B.Order(3, 'H', 40, true);
            B.Order(4, 'C', 40, true);
            B.Order(5, 'Y', 0);
            B.Step();
            QCOMPARE(B.ALU.Acc()[0], 10);
            B.Step();
            QCOMPARE(B.ALU.Acc()[0], 7);
            QCOMPARE(B.ALU.Multd(), (TLongWords{3, 0}));
            B.Step();
            QCOMPARE(B.ALU.Acc(), (std::array<TWord, 4>{10, 10, 0, 0}));
            QCOMPARE(B.ALU.Multd(), (TLongWords{3, 10}));
            QCOMPARE(B.Sim.TraceOf("store: ").back(), std::string("Read long @ 41 and 40"));
            B.Step();
            QCOMPARE(B.ALU.Multr(), (TLongWords{3, 10}));
            B.Step();
            QCOMPARE(B.ALU.Acc(), (std::array<TWord, 4>{13, 20, 0, 0}));
            B.Step();
            QCOMPARE(B.ALU.Acc(), (std::array<TWord, 4>{13, 20, 0x20000, 0}));
        });
    }

    void multiplyOrders()
    {
        Guarded([&] {
            TBench B;
            B.Store.WriteWord(40, 0x08000); // one half
            B.Order(0, 'H', 40);
            B.Order(1, 'V', 40);
            B.Order(2, 'N', 40);
            B.Step();
            QCOMPARE(B.Step(), 6);
            QCOMPARE(B.ALU.Acc()[0], 0x04000);
            QCOMPARE(B.Step(), 6);
            QCOMPARE(B.ALU.Acc()[0], 0);
        });
    }

    void inputAndOutput()
    {
        Guarded([&] {
            TBench B;
            B.Sim.Tape.SetText(U"T");
            B.Store.WriteWord(40, 5 << 12);
            B.Store.WriteWord(42, 0x20000);
            B.Order(0, 'O', 40);
            B.Order(1, 'F', 42);
            B.Order(2, 'I', 43);
            B.Order(3, 'I', 44);
            QCOMPARE(B.Step(), 151);
            QCOMPARE(B.Sim.Teleprinter, std::vector<std::string>{"T"});
            QCOMPARE(B.ALU.Multd(), (TLongWords{5 << 12, 0}));
            B.Step();
            QCOMPARE(B.Store.ReadWord(42), 20480 | 0x20000);
            QCOMPARE(B.Step(), 21);
            QCOMPARE(B.Store.ReadWord(43), 5);
            // Past the end of the tape the order stores nothing and takes no time.
            const std::uint32_t Before = B.Control.GetElapsedTime();
            QVERIFY_THROWS_EXCEPTION(EEndOfTape, B.Step());
            QCOMPARE(B.Control.GetSCR(), 4);
            QCOMPARE(B.Control.GetElapsedTime(), Before);
            QVERIFY(B.Sim.StoreWords.empty());
        });
    }

    void stopOrder()
    {
        Guarded([&] {
            TBench B;
            B.Order(0, 'Z', 0);
            B.Order(1, 'X', 0);
            QCOMPARE(B.Step(), 1);
            QVERIFY(B.Control.IsStopped());
            QCOMPARE(B.Sim.Sounds, std::vector<TSound>{TSound::sndStop});
            B.Step(); // the flag does not hold the machine back
            QCOMPARE(B.Control.GetSCR(), 2);
            B.Control.ClearStop();
            QVERIFY(!B.Control.IsStopped());
        });
    }

    void unknownOrders()
    {
        Guarded([&] {
            TBench B;
            B.Order(1, 'M', 7);
            for (int Address : {0, 1}) {
                try {
                    B.Step();
                    QFAIL("no exception");
                } catch (const EUnknownOrder& E) {
                    QCOMPARE(std::string(E.what()),
                             Address == 0 ? std::string("Unknown order 0") : std::string("Unknown order 23"));
                }
                QCOMPARE(B.Sim.TraceOf("control: ").back(), Address == 0 ? std::string("Unknown order! Opcode=0")
                                                                         : std::string("Unknown order! Opcode=23"));
                QVERIFY(B.Sim.Clock.empty());
            }
            QCOMPARE(B.Control.GetSCR(), 2);
            QCOMPARE(B.Control.GetOrderTank(), MakeOrder(23, 7, false));
        });
    }

    void controlNeverFetchesOutsideTheStore()
    {
        Guarded([&] {
            TBench B;
            B.Order(1023, 'X', 0);
            B.Order(0, 'E', 1023);
            B.Step();
            B.Step();
            QCOMPARE(B.Control.GetSCR(), 1024);
            for (int Tries = 0; Tries < 2; ++Tries) {
                try {
                    B.Step();
                    QFAIL("no exception");
                } catch (const EOutOfStore& E) {
                    QCOMPARE(std::string(E.what()), std::string("Order fetch outside the store at location 1024"));
                }
            }
            QVERIFY(B.Sim.TraceOf("store: ").empty());
            B.Control.Init();
            QCOMPARE(B.Control.GetSCR(), 0);
        });
    }
};

QTEST_APPLESS_MAIN(TestControl)
#include "test_control.moc"

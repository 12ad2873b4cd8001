// The assembled machine: creation and shutdown, clearing, both sets of Initial
// Orders, the dial, display refresh, and real tapes loaded and run.
#include <QFile>
#include <QtTest>

#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/LongTank.h"
#include "core/PunchedTape.h"
#include "core/errors.h"
#include "guarded.h"
#include "recording_sim.h"

namespace {

std::vector<std::string> Words(std::initializer_list<const char*> List)
{
    return std::vector<std::string>(List.begin(), List.end());
}

// Runs a tape from Start to the first stop, as a host would; returns the printed lines.
std::vector<std::string> Run(TRecordingSim& Sim, TEdsacCore& Core, const std::u32string& Tape, TInitialOrders Orders)
{
    Sim.Tape.SetText(Tape);
    Core.SetInitialOrders(Orders);
    Core.Init();
    Core.LoadInitialOrders();
    for (int Steps = 0; Steps < 1000000 && !Core.IsStopped(); ++Steps)
        Core.ExecuteOrder();
    return Sim.Teleprinter;
}

} // namespace

class TestMachine : public QObject {
    Q_OBJECT
private slots:
    void lifecycleTrace()
    {
        Guarded([&] {
            TRecordingSim Sim;
            {
                TEdsacCore Core(Sim);
                QCOMPARE(Sim.Trace, Words({"core: Creating simulator core",
                                           "core: =======================", "core: Creating store",
                                           "store: Store is active", "core: Creating ALU", "alu: ALU is active",
                                           "core: Creating I/O unit", "core: Creating control unit",
                                           "control: Control unit active", "core: Edsac core is active"}));
                Sim.Trace.clear();
                Core.Init();
                QCOMPARE(Sim.TraceOf("core: "), Words({"Edsac initialising...", "Edsac initialised"}));
                QCOMPARE(Sim.Trace.back(), std::string("core: Edsac initialised"));
                Sim.Trace.clear();
                Core.Shutdown();
                QCOMPARE(Sim.Trace, Words({"core: Core shutting down...", "core:  Kill control unit",
                                           "control: Control unit terminated", "core:  Kill ALU", "alu: ALU terminated",
                                           "core:  Kill IO", "core:  Kill Store", "store: Store is terminating",
                                           "store: Store is terminated", "core: Edsac is dead!"}));
                Sim.Trace.clear();
            }
            QVERIFY(Sim.Trace.empty()); // nothing left to free after a shutdown
        });
    }

    void initialOrders()
    {
        Guarded([&] {
            TRecordingSim Sim;
            TEdsacCore Core(Sim);
            Core.LoadInitialOrders(); // Initial Orders 1 after creation
            QCOMPARE(Core.GetStoreContents()[0], 20480);
            QCOMPARE(Core.GetStoreContents()[30], 110604);
            QCOMPARE(Core.GetStoreContents()[31], 0);
            QCOMPARE(Sim.StoreWords.size(), size_t(31));

            Core.Init();
            Sim.Forget();
            Core.SetInitialOrders(ioOrders2);
            Core.LoadInitialOrders();
            QCOMPARE(Sim.TraceOf("core: "), Words({"Loading initial orders 2"}));
            QCOMPARE(Sim.StoreWords.size(), size_t(41));
            for (size_t I = 0; I < 41; ++I)
                QCOMPARE(Sim.StoreWords[I].first, int(I));
            const std::vector<TWord> Expected2 = {
                20480, 12328,  2,      28676, 114766, 16392,  126976, 102416, 20480,  32770, 114690,
                49230, 110600, 102401, 49230, 12322,  49166,  114758, 20520,  114688, 86032, 114768,
                20566, 114732, 114692, 20524, 12356,  114774, 12304,  114772, 114768, 12338, 114732,
                20564, 32849,  114769, 16416, 20561,  12304,  11,     1};
            for (size_t I = 0; I < 41; ++I)
                QCOMPARE(Core.GetStoreContents()[I], Expected2[I]);

            // Loading clears nothing: IO1 over IO2 leaves 31..40 as they were.
            Core.SetInitialOrders(ioOrders1);
            Core.LoadInitialOrders();
            QCOMPARE(Core.GetStoreContents()[39], 11);
            QCOMPARE(Core.GetStoreContents()[40], 1);
            const std::vector<TWord> Expected1 = {20480,  86020,  20480,  12300,  2,      10,    20480,  32768,
                                                  114688, 16416,  20481,  32772,  114692, 49162, 12330,  20486,
                                                  126978, 102416, 114692, 20482,  12310,  16392, 114690, 102401,
                                                  114688, 20542,  114738, 114696, 28722,  49214, 110604};
            for (size_t I = 0; I < 31; ++I)
                QCOMPARE(Core.GetStoreContents()[I], Expected1[I]);

            Sim.Forget();
            Core.SetInitialOrders(static_cast<TInitialOrders>(7));
            Core.LoadInitialOrders();
            QCOMPARE(Sim.TraceOf("core: "), Words({"Unknown initial orders?!!"}));
            QVERIFY(Sim.StoreWords.empty());
        });
    }

    void dial()
    {
        Guarded([&] {
            TRecordingSim Sim;
            TEdsacCore Core(Sim);
            Core.Dial(10);
            QCOMPARE(Core.Arithmetic().Acc(), (std::array<TWord, 4>{20, 0, 0, 0}));
            Core.Init();
            Core.Dial(1);
            Core.Dial(1);
            QCOMPARE(Core.Arithmetic().Acc()[0], 4);
            // The top word wraps within its 17 bits.
            TRecordingSim Sim2;
            TEdsacCore Full(Sim2);
            for (int I = 0; I < 6554; ++I)
                Full.Dial(10);
            QCOMPARE(Full.Arithmetic().Acc()[0], (6554 * 20) & 0x1FFFF);
            QVERIFY(Full.Arithmetic().Acc()[0] <= 0x1FFFF);
        });
    }

    void displayRefreshAndClock()
    {
        Guarded([&] {
            TRecordingSim Sim;
            TEdsacCore Core(Sim);
            Sim.Forget();
            Core.UpdateDisplays();
            QStringList Order;
            for (const auto& D : Sim.Displays) {
                Order << QString::fromStdString(D.Register);
                QVERIFY(!D.Force);
            }
            QCOMPARE(Order, (QStringList{"acc", "scr", "ord", "multr", "multd"}));
            Core.ResetClock();
            QCOMPARE(Sim.Clock, std::vector<std::uint32_t>{0});
        });
    }

    void tapesRunUnderBothInitialOrders()
    {
        Guarded([&] {
            TRecordingSim Sim;
            TEdsacCore Core(Sim);
            // Initial Orders 2: T 64 K, G K, relative addresses, and E Z P F to start.
            const auto Printed = Run(Sim, Core, U"T64K GK O4@ O5@ O6@ ZF *F HF IF EZPF", ioOrders2);
            QCOMPARE(Printed, Words({"HI"}));
            QVERIFY(Core.IsStopped());
            QCOMPARE(Sim.Punched, std::string("*HI"));

            // Initial Orders 1: T n S first, orders from 31, the run from 31.
            Sim.Teleprinter.clear();
            const auto Printed1 = Run(Sim, Core, U"T 35 S O 34 S Z S A S", ioOrders1);
            QCOMPARE(Printed1, Words({"A"}));
        });
    }

    // What every host says when the machine stops, and the bookkeeping they share.
    void stopsPunchingAndTheLongTank()
    {
        Guarded([&] {
            const auto Said = [](const std::exception& E) {
                const TStopReport R = DescribeStop(E);
                return R.Caption + "|" + R.Text;
            };
            QCOMPARE(Said(EEndOfTape()), std::string("Error|End of tape encountered"));
            QCOMPARE(Said(EIllegalChar("Illegal character on line number 2")),
                     std::string("Illegal character|Illegal character on line number 2"));
            QCOMPARE(Said(EUnknownOrder("Unknown order 15")), std::string("Error|Unknown order 15"));
            QCOMPARE(Said(EOutOfStore("Control left the store")), std::string("Error|Control left the store"));
            // Not the machine's own stop: no caption, so no host boxes it as one.
            QCOMPARE(Said(std::length_error("The tape is too long")), std::string("|The tape is too long"));

            std::vector<std::string> Punched;
            ClearPunched(Punched);
            QCOMPARE(Punched, Words({""}));
            for (const char Ch : std::string("ABCDEFGHIJ"))
                PunchInto(Punched, Ch);
            QCOMPARE(Punched, Words({"ABCD", "EFGH", "IJ"}));
            ClearPunched(Punched);
            QCOMPARE(Punched, Words({""}));

            // Every location shows in its own tank only, once, odd word first in its row.
            for (int Tank = 0; Tank < 32; ++Tank)
                for (int Address = 0; Address < 1024; ++Address) {
                    const auto Place = LongTankPlace(Tank, Address);
                    QCOMPARE(Place.has_value(), Address / 32 == Tank);
                    if (!Place)
                        continue;
                    QVERIFY(Place->Row >= 0 && Place->Row < LongTankRows);
                    QCOMPARE(Place->Column, Address % 2 == 1 ? 0 : 1);
                    QCOMPARE(LongTankAddress(Tank, Place->Row, Place->Column), Address);
                }

            // The loaders as the settings number them and as a list places them.
            QCOMPARE(InitialOrdersNumbered(1), std::optional(ioOrders1));
            QCOMPARE(InitialOrdersNumbered(2), std::optional(ioOrders2));
            QCOMPARE(InitialOrdersAtIndex(0), std::optional(ioOrders1));
            QCOMPARE(InitialOrdersAtIndex(1), std::optional(ioOrders2));
            for (const int Bad : {-1, 0, 3, 7})
                QVERIFY(!InitialOrdersNumbered(Bad) && !InitialOrdersAtIndex(Bad - 1));
            QCOMPARE(InitialOrdersNumber(InitialOrdersChoice(true)), 2);
            QCOMPARE(InitialOrdersIndex(InitialOrdersChoice(false)), 0);
        });
    }

    void exceptionsLeaveTheStepUnfinished()
    {
        Guarded([&] {
            TRecordingSim Sim;
            TEdsacCore Core(Sim);
            Sim.Tape.SetText(U"T64K GK");
            Core.SetInitialOrders(ioOrders2);
            Core.Init();
            Core.LoadInitialOrders();
            bool EndOfTape = false;
            try {
                for (int I = 0; I < 10000; ++I)
                    Core.ExecuteOrder();
            } catch (const EEndOfTape&) {
                EndOfTape = true;
            }
            QVERIFY(EndOfTape);
            QVERIFY(!Core.IsStopped());
        });
    }
};

QTEST_APPLESS_MAIN(TestMachine)
#include "test_machine.moc"

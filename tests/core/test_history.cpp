// Stepping back and the debugger's stops. The property: for random programs and
// tapes under both Initial Orders, with their dial stops, every step undone
// gives back exactly the state before it (registers, store, clock, counts, the
// tape's place and the output), and running forward again gives the first run
// once more. Then breakpoints, watched locations, stepping over a call, running
// back and the profile on one small program.
#include <QDir>
#include <QFile>
#include <QtTest>

#include "core/ControlUnit.h"
#include "core/Debugger.h"
#include "core/EdsacCore.h"
#include "core/MachineHost.h"
#include "core/TapeReader.h"
#include "guarded.h"
#include "tests/soak/random_tapes.h"

namespace {

// A host that keeps its output as one string, so that taking it back is exact.
class TUndoHost : public IEdsacHost {
public:
    TTapeText Tape;
    bool IgnoreCase = true;
    std::string Printed;
    std::string Punch;
    bool TakenBackWrongly = false;

    int ReadTapeChar() override { return ReadTapeCode(Tape, IgnoreCase, *this); }
    void TeleprinterNewLine(const std::string& Text) override { Printed += "\n" + Text; }
    void TeleprinterPrint(char Ch) override { Printed += Ch; }
    void PunchChar(char Ch) override { Punch += Ch; }

    std::uint64_t TapeMark() override { return Tape.Mark(); }
    void RewindTapeTo(std::uint64_t Mark) override { Tape.GoToMark(Mark); }
    void TakeBackOutput(std::span<const TOutputChar> Output) override
    {
        for (const TOutputChar& Out : Output) {
            TakeBack(Punch, Out.Punched);
            if (Out.Kind == TPrintKind::pkChar)
                TakeBack(Printed, Out.Printed);
            else if (Out.Kind == TPrintKind::pkNewLine)
                TakeBack(Printed, '\n');
        }
    }

private:
    void TakeBack(std::string& Text, char Ch)
    {
        if (Text.empty() || Text.back() != Ch)
            TakenBackWrongly = true;
        else
            Text.pop_back();
    }
};

struct TMachine {
    TUndoHost Host;
    TEdsacCore Core{Host};
    TDebugger Debugger;
    explicit TMachine(std::size_t Capacity = THistory::DefaultCapacity) : Debugger(Core, Host, Capacity)
    {
        Debugger.SetRecording(true);
    }

    void Load(const QByteArray& Tape, TInitialOrders Orders, bool IgnoreCase)
    {
        Host.Tape.SetText(DecodeTapeBytes(std::string_view(Tape.constData(), static_cast<size_t>(Tape.size()))));
        Host.IgnoreCase = IgnoreCase;
        Host.Printed.clear();
        Host.Punch.clear();
        Core.SetInitialOrders(Orders);
        Core.Init();
        Core.LoadInitialOrders();
        Debugger.Cleared();
    }
    // One order as a run takes it; false once the machine has failed.
    bool Step()
    {
        try {
            Debugger.Step(true);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
};

// A run as a user would make it: an order at a time, a digit dialled at each
// stop while there are digits, the clock now and then set to zero. The same
// driver makes the same run again.
struct TDriver {
    QString Digits;
    qsizetype Dialled = 0;
    std::vector<int> ClockResets; // after which orders
    size_t Reset = 0;
    RandomTapes::TRandom* Rng = nullptr; // chooses them while the run is first made

    // False when the run is over.
    bool Next(TMachine& M, int Order)
    {
        const bool Going = M.Step();
        if (M.Core.IsStopped() && Dialled < Digits.size()) {
            const int Digit = Digits[Dialled++].digitValue();
            M.Debugger.Dial(Digit == 0 ? 10 : Digit);
        }
        if (Rng && Rng->Chance(1))
            ClockResets.push_back(Order);
        if (Reset < ClockResets.size() && ClockResets[Reset] == Order) {
            M.Debugger.ResetClock();
            ++Reset;
        }
        return Going && !M.Core.IsStopped();
    }
    void Rewind()
    {
        Dialled = 0;
        Reset = 0;
        Rng = nullptr;
    }
};

// The state at every point of a run (before each order, and at the end): the
// registers and the tape's place in full, the output as its length (it only
// grows), the store as the words each order changed.
class TRecordedRun {
public:
    void Record(TMachine& M, TDriver& Driver, int Limit)
    {
        FStore = M.Core.GetStoreContents();
        Add(M);
        for (int Order = 0; Order < Limit; ++Order) {
            const bool Going = Driver.Next(M, Order);
            // A fetch from outside the store fails before it changes anything:
            // there is nothing to step back over.
            if (Going || !(M.Core.Registers() == FPoints.back().Registers))
                Add(M);
            if (!Going)
                break;
        }
        FPrinted = M.Host.Printed;
        FPunch = M.Host.Punch;
    }
    size_t Points() const { return FPoints.size(); }

    // Back to the start one order at a time, every point as it was.
    bool StepBackThrough(TMachine& M)
    {
        TWordArray Expected = FStore;
        for (size_t Point = FPoints.size() - 1; Point > 0; --Point) {
            if (!Matches(M, Point, Expected) || M.Debugger.StepBack(1) != 1)
                return false;
            for (const TChange& C : FPoints[Point].Changes)
                Expected[C.Address] = C.Before;
        }
        return Matches(M, 0, Expected) && M.Debugger.StepBack(1) == 0;
    }
    // Forward again from the start: the same run.
    bool RunAgain(TMachine& M, TDriver& Driver)
    {
        Driver.Rewind();
        TWordArray Expected = M.Core.GetStoreContents();
        for (size_t Point = 1; Point < FPoints.size(); ++Point) {
            Driver.Next(M, static_cast<int>(Point - 1));
            for (const TChange& C : FPoints[Point].Changes)
                Expected[C.Address] = C.After;
            if (!Matches(M, Point, Expected))
                return false;
        }
        return true;
    }

private:
    struct TChange {
        size_t Address;
        TWord Before;
        TWord After;
    };
    struct TPoint {
        TRegisters Registers;
        std::uint64_t Tape;
        size_t Printed;
        size_t Punched;
        std::vector<TChange> Changes; // since the point before
    };

    void Add(const TMachine& M)
    {
        TPoint P{M.Core.Registers(), M.Host.Tape.Mark(), M.Host.Printed.size(), M.Host.Punch.size(), {}};
        const TWordArray& Store = M.Core.GetStoreContents();
        for (size_t A = 0; A < Store.size(); ++A)
            if (Store[A] != FStore[A]) {
                P.Changes.push_back({A, FStore[A], Store[A]});
                FStore[A] = Store[A];
            }
        FPoints.push_back(std::move(P));
    }
    bool Matches(const TMachine& M, size_t Point, const TWordArray& Expected) const
    {
        const TPoint& P = FPoints[Point];
        return M.Core.Registers() == P.Registers && M.Host.Tape.Mark() == P.Tape &&
               M.Host.Printed == FPrinted.substr(0, P.Printed) && M.Host.Punch == FPunch.substr(0, P.Punched) &&
               M.Core.GetStoreContents() == Expected && !M.Host.TakenBackWrongly;
    }

    std::vector<TPoint> FPoints;
    TWordArray FStore; // as it stands at the last point recorded
    std::string FPrinted;
    std::string FPunch;
};

// The example tapes, and their names in the same order.
QList<QByteArray> ExampleTapes(QStringList& Names)
{
    QList<QByteArray> Tapes;
    const QDir Dir(QStringLiteral(VALVANE_TAPES));
    for (const QString& Name : Dir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        QFile File(Dir.filePath(Name));
        if (File.open(QIODevice::ReadOnly)) {
            Tapes.append(File.readAll());
            Names.append(Name);
        }
    }
    return Tapes;
}

TWord Order(char Letter, int Address, bool Long = false)
{
    return MakeOrder(static_cast<int>(std::string_view(OrderLetters).find(Letter)), Address, Long);
}

// A call and its subroutine: the link at 64, the jump at 65, the return to 66,
// which stores the result and stops at 67. The subroutine makes its return
// order from the link and location 3, plants it at 75, copies 110 to 130 on
// the way.
void LoadCall(TMachine& M)
{
    M.Core.Init();
    M.Debugger.Cleared();
    const std::pair<int, TWord> Words[] = {
        {0, Order('E', 64)},   {3, Order('U', 2)},    {64, Order('A', 64)},  {65, Order('G', 70)},
        {66, Order('T', 120)}, {67, Order('Z', 0)},   {70, Order('A', 3)},   {71, Order('T', 75)},
        {72, Order('A', 110)}, {73, Order('T', 130)}, {74, Order('A', 130)}, {110, 5},
    };
    for (const auto& [Address, Word] : Words)
        M.Core.RestoreWord(Address, Word);
}

TDebugStop RunToStop(TMachine& M)
{
    for (int I = 0; I < 100; ++I)
        if (const TDebugStop Stop = M.Debugger.Step(true))
            return Stop;
    return {};
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void everyStepUndoesExactly()
    {
        Guarded([&] {
            QStringList Names;
            const QList<QByteArray> Examples = ExampleTapes(Names);
            RandomTapes::TRandom Rng(1949);
            std::size_t Undone = 0;
            std::size_t Printing = 0;
            // The random cases, then every example tape as it is, to its end.
            for (int Case = 0; Case < 120 + Examples.size(); ++Case) {
                RandomTapes::TCase C;
                int Limit = 50000;
                if (Case < 120) {
                    C = RandomTapes::MakeCase(Rng, Examples);
                    Limit = std::min(C.MaxOrders, 2500);
                } else {
                    C.Tape = Examples[Case - 120];
                    C.Kind = Names[Case - 120];
                    C.InitialOrders = C.Kind.contains(QLatin1String("io1")) ? 1 : 2;
                    for (int I = 0; I < 12; ++I)
                        C.Dial += QChar(u'0' + Rng.Below(10));
                }
                TMachine M;
                M.Load(C.Tape, C.InitialOrders == 1 ? ioOrders1 : ioOrders2, !C.CaseSensitive);
                TDriver Driver;
                Driver.Digits = C.Dial;
                Driver.Rng = &Rng;
                TRecordedRun Run;
                Run.Record(M, Driver, Limit);
                Printing += M.Host.Punch.size();
                QVERIFY2(Run.StepBackThrough(M), qPrintable(C.Kind + QString::number(Case)));
                QVERIFY2(Run.RunAgain(M, Driver), qPrintable(C.Kind + QString::number(Case)));
                Undone += Run.Points() - 1;
            }
            QVERIFY(Undone > 100000 && Printing > 500);
        });
    }

    void aFullRingForgetsTheOldest()
    {
        Guarded([&] {
            TMachine M(4096);
            QFile File(QStringLiteral(VALVANE_TAPES "/primes.txt"));
            QVERIFY(File.open(QIODevice::ReadOnly));
            M.Load(File.readAll(), ioOrders2, true);
            std::vector<TRegisters> States{M.Core.Registers()};
            for (int I = 0; I < 5000 && M.Step(); ++I)
                States.push_back(M.Core.Registers());
            const THistory& History = M.Debugger.History();
            QVERIFY(History.Bytes() <= 4096 && History.Bytes() > 4096 - THistory::MaxRecord);
            const std::uint64_t Held = History.Orders();
            QVERIFY(Held > 100 && Held < 4000);
            QCOMPARE(M.Debugger.StepBack(1000000), Held);
            QVERIFY(M.Core.Registers() == States[States.size() - 1 - Held]);
        });
    }

    void breakpointsWatchesAndCalls()
    {
        Guarded([&] {
            TMachine M;
            LoadCall(M);
            M.Debugger.SetBreakpoint(72, true);
            TDebugStop Stop = RunToStop(M);
            QCOMPARE(DescribeDebugStop(Stop), std::string("Breakpoint at 72"));
            QCOMPARE(M.Core.Control().GetSCR(), 72);
            QVERIFY(!M.Core.IsStopped());
            // Going on runs the order at the breakpoint, and on to the stop order.
            QCOMPARE(DescribeDebugStop(RunToStop(M)), std::string("Stop order at 67"));
            QCOMPARE(M.Core.GetStoreContents()[120], 5);

            LoadCall(M);
            M.Debugger.SetBreakpoint(72, false);
            M.Debugger.SetWatch(131, true);
            M.Core.RestoreWord(73, Order('T', 130, true));
            Stop = RunToStop(M);
            QCOMPARE(DescribeDebugStop(Stop), std::string("Location 131 written by the order at 73 (T 130 D)"));
            QCOMPARE(M.Core.Control().GetSCR(), 74);

            // Step over: from the link or the jump, to the order after the jump;
            // a breakpoint on the way stops it and it is forgotten.
            LoadCall(M);
            M.Debugger.SetWatch(131, false);
            M.Debugger.Step(false);
            QCOMPARE(M.Debugger.CallReturn(), 66);
            M.Debugger.Step(false);
            QCOMPARE(M.Debugger.CallReturn(), 66);
            M.Debugger.SetTarget(66);
            QCOMPARE(DescribeDebugStop(RunToStop(M)), std::string("Reached 66"));
            QCOMPARE(M.Debugger.CallReturn(), -1);
            M.Debugger.Step(false);
            QCOMPARE(M.Debugger.CallReturn(), -1);
        });
    }

    void runBackAndTheProfile()
    {
        Guarded([&] {
            TMachine M;
            M.Debugger.SetProfiling(true);
            LoadCall(M);
            QCOMPARE(RunToStop(M).Kind, TDebugStopKind::dsStopOrder);
            const TProfile& Profile = M.Debugger.Profile();
            QCOMPARE(Profile.Orders(), M.Core.Registers().Orders);
            QCOMPARE(Profile.Count[70], 1u);
            QCOMPARE(Profile.Time[70], 15u);
            QCOMPARE(Profile.CodeCount[28], 4u); // A at 64, 70, 72 and 74

            // Who wrote 130? Back to just before it was written.
            M.Debugger.SetWatch(130, true);
            M.Debugger.SetBreakpoint(70, true);
            TDebugStop Stop = M.Debugger.RunBack();
            QCOMPARE(DescribeDebugStop(Stop), std::string("Location 130 written by the order at 73 (T 130 F)"));
            QCOMPARE(M.Core.Control().GetSCR(), 73);
            QCOMPARE(M.Core.GetStoreContents()[130], 0);
            QCOMPARE(Profile.Count[73], 0u);
            QCOMPARE(Profile.Orders(), M.Core.Registers().Orders);
            QCOMPARE(DescribeDebugStop(M.Debugger.RunBack()), std::string("Breakpoint at 70"));
            QCOMPARE(M.Core.Control().GetSCR(), 70);
            // Resting at the breakpoint, a run goes on from it.
            QCOMPARE(RunToStop(M).Kind, TDebugStopKind::dsWatch);
            M.Debugger.StepBack(2);
            QCOMPARE(M.Debugger.RunBack().Kind, TDebugStopKind::dsBreakpoint);
            QCOMPARE(M.Debugger.RunBack().Kind, TDebugStopKind::dsHistoryStart);
            QCOMPARE(M.Core.Control().GetSCR(), 0);
        });
    }
};

QTEST_APPLESS_MAIN(TestHistory)
#include "test_history.moc"

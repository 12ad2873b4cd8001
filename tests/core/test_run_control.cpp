// The run control: how a step ends and says why, the debugger on the way, the
// dial, clearing, and stepping back.
#include <QtTest>

#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/RunControl.h"
#include "guarded.h"
#include "recording_sim.h"

namespace {

// Under Initial Orders 2, from 64: add and multiply by the word at 69, stop, a
// null order, read the tape (which has run out), then the word itself, whose
// code 0 is no order.
const char* const Tape = "T64K GK A5@ V5@ ZF XF IF P5F EZPF";

} // namespace

class TestRunControl : public QObject {
    Q_OBJECT
private slots:
    void stepsEndAndSayWhyThenClear()
    {
        Guarded([&] {
            TRecordingSim Sim;
            TEdsacCore Core(Sim);
            TRunControl Run(Core, Sim);
            Sim.Tape.SetText(U32(Tape));
            Run.SelectInitialOrders(ioOrders2);
            Run.Clear();
            Run.LoadInitialOrders();
            // A breakpoint holds a run before the order, a single step goes past it.
            Run.Debugger().SetBreakpoint(65, true);
            while (Core.Control().GetSCR() != 65)
                QCOMPARE(Run.Step(), TStepResult::srRunning);
            QCOMPARE(Run.Step(), TStepResult::srStopped);
            QCOMPARE(Run.LastStop().Cause, TStopCause::scBreakpoint);
            QCOMPARE(Run.LastStop().Text, std::string("Breakpoint at 65"));
            QCOMPARE(Core.Control().GetSCR(), 65);
            QCOMPARE(Run.Step(false), TStepResult::srRunning);
            Run.Debugger().SetBreakpoint(65, false);

            QCOMPARE(Run.Step(), TStepResult::srStopped);
            QCOMPARE(Run.LastStop().Cause, TStopCause::scStopOrder);
            QCOMPARE(Run.LastStop().Text, std::string());
            // The machine stands stopped: the null order is obeyed, and the step says so.
            QCOMPARE(Run.Step(), TStepResult::srStopped);
            QCOMPARE(Core.Control().GetSCR(), 68);

            // The dial adds twice its digit to the top of the accumulator and lets it go on.
            const TWord Top = Core.Arithmetic().Acc()[0];
            Run.Dial(10);
            QCOMPARE(Core.Arithmetic().Acc()[0], Top + 20);
            QVERIFY(!Run.IsStopped());

            QCOMPARE(Run.Step(), TStepResult::srError);
            QCOMPARE(Run.LastStop().Cause, TStopCause::scEndOfTape);
            QCOMPARE(Run.LastStop().Text, std::string("End of tape encountered"));
            QCOMPARE(Run.Step(), TStepResult::srError);
            QCOMPARE(Run.LastStop().Cause, TStopCause::scUnknownOrder);
            QCOMPARE(Run.LastStop().Caption + "|" + Run.LastStop().Text, std::string("Error|Unknown order 0"));

            // Cleared: nothing left in the store or registers, the clock at 0, the tape rewound.
            Run.Clear();
            QCOMPARE(Core.Control().GetSCR(), 0);
            QCOMPARE(Core.Control().GetElapsedTime(), 0u);
            QVERIFY(std::ranges::all_of(Core.GetStoreContents(), [](TWord W) { return W == 0; }));
            QCOMPARE(Core.Arithmetic().Acc()[0], 0);
            QCOMPARE(Sim.Tape.TapeLine(), 0);
            Run.SelectInitialOrders(ioOrders1);
            Run.LoadInitialOrders();
            QCOMPARE(WordToOrderStr(Core.GetStoreContents()[1], 'S', 'L'), std::string("H 2 S"));

            // Stepping back goes through here too, and says when the history is spent.
            Run.Debugger().SetRecording(true);
            QCOMPARE(Run.Step(), TStepResult::srRunning);
            QVERIFY(Run.StepBack());
            QCOMPARE(Core.Control().GetSCR(), 0);
            QVERIFY(!Run.StepBack());
            QCOMPARE(Run.LastStop().Cause, TStopCause::scHistoryStart);
            QCOMPARE(Run.RunBack().Text, std::string("Back at the start of the history"));
        });
    }
};

QTEST_APPLESS_MAIN(TestRunControl)
#include "test_run_control.moc"

// How a host makes the machine move: clearing it, loading the Initial Orders,
// one order at a time, dialling, the clock. Every host asks here and keeps only
// its own reactions (its timer, its boxes, its exit status). The debugger
// (breakpoints, watched locations, the history to step back through, the
// profile) lives here too, so each order passes it whenever it has anything to
// do, for every host alike.
#pragma once

#include <cstdint>

#include "core/Debugger.h"
#include "core/errors.h"
#include "core/initial_orders.h"

class IEdsacHost;
class TEdsacCore;

// What one step of the machine came to. The byte values are those of the step's
// result as every host has always read it.
enum class TStepResult : std::uint8_t { srRunning = 0, srStopped = 1, srError = 2 };

class TRunControl {
public:
    // The core reports to AHost, which also holds the tape.
    TRunControl(TEdsacCore& ACore, IEdsacHost& AHost);
    TRunControl(const TRunControl&) = delete;
    TRunControl& operator=(const TRunControl&) = delete;

    // Clear: registers, store, clock and stop back to nothing, the tape rewound,
    // the history and profile begun afresh.
    void Clear();
    // Which Initial Orders the next LoadInitialOrders lays down.
    void SelectInitialOrders(TInitialOrders Orders);
    // The Initial Orders into the store; nothing before them can be stepped back to.
    void LoadInitialOrders();

    // One order. Running: the machine goes on. Stopped: it obeyed a stop order, or
    // stands stopped since one (it still obeys the order: Single E.P. steps on),
    // or the debugger held it; with Checks (a run, not a single step) a
    // breakpoint or the place to run to holds it before the order. Error: a
    // failure ended the order. LastStop says why.
    TStepResult Step(bool Checks = true);
    // Why the last step that did not go on ended.
    const TStopReport& LastStop() const { return FLastStop; }
    bool IsStopped() const;
    // Lets a machine stopped by a stop order go on (Reset).
    void Resume();

    // The dial: Digit (1 to 10) is added to the accumulator and the machine, which
    // waits at a stop for it, may go on.
    void Dial(int Digit);
    void ResetClock();

    // Stepping back through the debugger's history (kept while it records). One
    // order undone; false, with LastStop at the history's start, when none is left.
    bool StepBack();
    // Back until the order at a breakpoint is next, an order that wrote a watched
    // location is undone, or the history runs out; LastStop says which.
    const TStopReport& RunBack();

    TDebugger& Debugger() { return FDebugger; }
    const TDebugger& Debugger() const { return FDebugger; }

private:
    TStepResult Stopped(const TDebugStop& Stop);
    TStepResult Failed(const std::exception& E);

    TEdsacCore& FCore;
    IEdsacHost& FHost;
    TDebugger FDebugger;
    TStopReport FLastStop;
};

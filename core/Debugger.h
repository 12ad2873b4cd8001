// Finding mistakes: breakpoints, watched locations, a place to run to, stepping
// back through the history, and a profile of where the time goes. The run
// control steps the machine through here whenever any of them is in use, and
// past it (at the cost of one test an order) when none is.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/History.h"
#include "core/misc.h"

class TEdsacCore;
class IEdsacHost;

// Why a run stopped, as the debugger sees it.
enum class TDebugStopKind : std::uint8_t { dsNone, dsBreakpoint, dsWatch, dsReached, dsStopOrder, dsHistoryStart };

struct TDebugStop {
    TDebugStopKind Kind = TDebugStopKind::dsNone;
    int Address = 0; // the breakpoint, the location written, the place reached, the stop order
    int OrderAt = 0; // the order that wrote a watched location
    TWord Order = 0; // ... and that order
    explicit operator bool() const { return Kind != TDebugStopKind::dsNone; }
};

// The stop in words: "Breakpoint at 72", "Location 130 written by the order at
// 88 (T 130 F)", "Stop order at 95".
std::string DescribeDebugStop(const TDebugStop& Stop);

// Where the time goes: per location and per order letter (by code), how many
// orders ran and their machine time in 100 microseconds.
struct TProfile {
    static constexpr int Locations = StoreSize;
    std::array<std::uint64_t, Locations> Count{};
    std::array<std::uint64_t, Locations> Time{};
    std::array<std::uint64_t, OrderCodes> CodeCount{};
    std::array<std::uint64_t, OrderCodes> CodeTime{};
    std::uint64_t Orders() const;
};

class TDebugger {
public:
    TDebugger(TEdsacCore& Core, IEdsacHost& Host, std::size_t HistoryCapacity = THistory::DefaultCapacity);
    ~TDebugger();
    TDebugger(const TDebugger&) = delete;
    TDebugger& operator=(const TDebugger&) = delete;

    void SetBreakpoint(int Address, bool On);
    bool IsBreakpoint(int Address) const { return InStore(Address) && FBreakpoints[Index(Address)]; }
    void SetWatch(int Address, bool On);
    bool IsWatched(int Address) const { return InStore(Address) && FWatches[Index(Address)]; }
    // Run until the sequence control reaches Address (before the order there
    // runs); -1 for nowhere. Any stop forgets it.
    void SetTarget(int Address) { FTarget = Address; }
    int Target() const { return FTarget; }

    // Marks and the target count only while armed: a user interface disarms them
    // when the window that shows them closes, and keeps them for its return.
    void SetArmed(bool On) { FArmed = On; }
    bool Armed() const { return FArmed; }

    void SetRecording(bool On);
    bool Recording() const { return FRecording; }
    void SetProfiling(bool On) { FProfiling = On; }
    bool Profiling() const { return FProfiling; }
    const THistory& History() const { return FHistory; }
    const TProfile& Profile() const { return FProfile; }
    // Whether each order must pass through Step: anything to check or to keep.
    bool Active() const
    {
        return FRecording || FProfiling || (FArmed && (FBreakpointCount > 0 || FWatchCount > 0 || FTarget >= 0));
    }

    // The machine was cleared or loaded anew: nothing before it can be undone,
    // and the counts start again.
    void Cleared();

    // One order. With Checks (a run, not a single step) it first stops before a
    // breakpoint or the target, unless the machine rests there since the last
    // stop. After the order: a watched location it wrote, or the stop order.
    // What the order throws goes on to the caller, once its part is recorded.
    TDebugStop Step(bool Checks);

    // Where a Step Over runs to: after the usual call (an A order naming its own
    // location, then a jump, returning to the order after the jump), seen from
    // either of its two orders; -1 when the next order is no call.
    int CallReturn() const;

    // Undoes up to Count orders (and the dialling and clock setting between them);
    // the number undone. The host's tape and output go back too, and every
    // display is shown once at the end.
    std::uint64_t StepBack(std::uint64_t Count);
    // Steps back until the order at a breakpoint is next, an order that wrote a
    // watched location is undone, or the history runs out.
    TDebugStop RunBack();

    // What a host does between orders, kept in the history when it is on.
    void Dial(int Digit);
    void ResetClock();

private:
    static bool InStore(int Address) { return Address >= 0 && Address < TProfile::Locations; }
    static std::size_t Index(int Address) { return static_cast<std::size_t>(Address); }
    // The first watched location an order writes, or -1.
    int WatchedTarget(TWord Order) const;
    // Undoes one order and whatever the host did after it; false when there was none.
    bool UndoOrder(TUndone& Order);
    void FinishUndo();

    TEdsacCore& FCore;
    IEdsacHost& FHost;
    THistory FHistory;
    TProfile FProfile;
    std::vector<bool> FBreakpoints;
    std::vector<bool> FWatches;
    int FBreakpointCount = 0;
    int FWatchCount = 0;
    int FTarget = -1;
    // A run that stopped before the order here goes on by running it.
    int FRestingAt = -1;
    bool FArmed = true;
    bool FRecording = false;
    bool FProfiling = false;

    // What a batch of undoing gives back to the host at its end.
    std::vector<TOutputChar> FTakenBack;
    bool FTapeMoved = false;
    std::uint64_t FTapeMark = 0;
};

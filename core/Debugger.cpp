#include "core/Debugger.h"

#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/MachineHost.h"

namespace {

bool IsJump(TWord Word)
{
    const TOrder Order = WordToOrder(Word);
    return Order.Is(TOrderCode::ocE) || Order.Is(TOrderCode::ocG);
}

// The order at Address names its own location: the link of a call.
bool IsLink(TWord Word, int Address)
{
    const TOrder Order = WordToOrder(Word);
    return Order.Is(TOrderCode::ocA) && Order.Address == Address;
}

} // namespace

std::string DescribeDebugStop(const TDebugStop& Stop)
{
    const std::string At = std::to_string(Stop.Address);
    switch (Stop.Kind) {
    case TDebugStopKind::dsNone: break;
    case TDebugStopKind::dsBreakpoint: return "Breakpoint at " + At;
    case TDebugStopKind::dsWatch:
        return "Location " + At + " written by the order at " + std::to_string(Stop.OrderAt) + " (" +
               WordToOrderStr(Stop.Order, 'F', 'D') + ")";
    case TDebugStopKind::dsReached: return "Reached " + At;
    case TDebugStopKind::dsStopOrder: return "Stop order at " + At;
    case TDebugStopKind::dsHistoryStart: return "Back at the start of the history";
    }
    return {};
}

std::uint64_t TProfile::Orders() const
{
    std::uint64_t Sum = 0;
    for (const std::uint64_t N : CodeCount)
        Sum += N;
    return Sum;
}

TDebugger::TDebugger(TEdsacCore& Core, IEdsacHost& Host, std::size_t HistoryCapacity)
    : FCore(Core),
      FHost(Host),
      FHistory(HistoryCapacity),
      FBreakpoints(TProfile::Locations),
      FWatches(TProfile::Locations)
{
}

TDebugger::~TDebugger() = default;

void TDebugger::SetBreakpoint(int Address, bool On)
{
    if (!InStore(Address) || FBreakpoints[Index(Address)] == On)
        return;
    FBreakpoints[Index(Address)] = On;
    FBreakpointCount += On ? 1 : -1;
}

void TDebugger::SetWatch(int Address, bool On)
{
    if (!InStore(Address) || FWatches[Index(Address)] == On)
        return;
    FWatches[Index(Address)] = On;
    FWatchCount += On ? 1 : -1;
}

void TDebugger::SetRecording(bool On)
{
    FRecording = On;
    // Orders run unrecorded leave a gap that nothing could step back across.
    if (!On)
        FHistory.Clear();
}

void TDebugger::Cleared()
{
    FHistory.Clear();
    FProfile = TProfile();
    FRestingAt = -1;
    FTarget = -1;
}

int TDebugger::WatchedTarget(TWord Order) const
{
    const TOrder O = WordToOrder(Order);
    if (!O.Is(TOrderCode::ocT) && !O.Is(TOrderCode::ocU) && !O.Is(TOrderCode::ocI) && !O.Is(TOrderCode::ocF))
        return -1;
    if (!O.Long)
        return IsWatched(O.Address) ? O.Address : -1;
    const int Even = O.Address & ~1;
    return IsWatched(Even) ? Even : IsWatched(Even + 1) ? Even + 1 : -1;
}

TDebugStop TDebugger::Step(bool Checks)
{
    const int SCR = FCore.Control().GetSCR();
    const std::uint32_t Elapsed = FCore.Control().GetElapsedTime();
    if (Checks && FArmed && SCR != FRestingAt) {
        if (IsBreakpoint(SCR)) {
            FRestingAt = SCR;
            FTarget = -1;
            return {TDebugStopKind::dsBreakpoint, SCR};
        }
        if (SCR == FTarget) {
            FRestingAt = SCR;
            FTarget = -1;
            return {TDebugStopKind::dsReached, SCR};
        }
    }
    FRestingAt = -1;
    // An order outside the store fails before it changes anything.
    const bool Record = FRecording && InStore(SCR);
    TStepStart Start;
    if (Record)
        Start = THistory::Begin(FCore, FHost, TEntryKind::ekOrder);
    try {
        FCore.ExecuteOrder();
    } catch (...) {
        if (Record)
            FHistory.Commit(Start, FCore, FHost, TEntryKind::ekFailed);
        FTarget = -1;
        throw;
    }
    if (Record)
        FHistory.Commit(Start, FCore, FHost, TEntryKind::ekOrder);
    const TWord Order = FCore.Control().GetOrderTank();
    if (FProfiling) {
        const std::uint32_t Time = FCore.Control().GetElapsedTime() - Elapsed;
        const auto Code = static_cast<std::size_t>(WordToOrder(Order).Code);
        ++FProfile.Count[Index(SCR)];
        FProfile.Time[Index(SCR)] += Time;
        ++FProfile.CodeCount[Code];
        FProfile.CodeTime[Code] += Time;
    }
    if (FArmed && FWatchCount > 0)
        if (const int Written = WatchedTarget(Order); Written >= 0) {
            FTarget = -1;
            return {TDebugStopKind::dsWatch, Written, SCR, Order};
        }
    if (WordToOrder(Order).Is(TOrderCode::ocZ)) {
        FTarget = -1;
        return {TDebugStopKind::dsStopOrder, SCR};
    }
    return {};
}

int TDebugger::CallReturn() const
{
    const TWordArray& Store = FCore.GetStoreContents();
    const int SCR = FCore.Control().GetSCR();
    const auto Word = [&](int Address) { return InStore(Address) ? Store[Index(Address)] : 0; };
    if (!InStore(SCR))
        return -1;
    if (IsLink(Word(SCR), SCR) && InStore(SCR + 1) && IsJump(Word(SCR + 1)))
        return SCR + 2;
    if (IsJump(Word(SCR)) && InStore(SCR - 1) && IsLink(Word(SCR - 1), SCR - 1))
        return SCR + 1;
    return -1;
}

bool TDebugger::UndoOrder(TUndone& Order)
{
    while (!FHistory.Empty()) {
        const TUndone Undone = FHistory.UndoLast(FCore);
        if (Undone.Printed)
            FTakenBack.push_back(Undone.Output);
        if (Undone.TapeMoved) {
            FTapeMoved = true;
            FTapeMark = Undone.TapeMark;
        }
        // Orders run before the profile was switched on were never counted.
        if (Undone.Kind == TEntryKind::ekOrder && FProfile.Count[Index(Undone.Location)] > 0) {
            const auto Code = static_cast<std::size_t>(WordToOrder(Undone.Order).Code);
            --FProfile.Count[Index(Undone.Location)];
            FProfile.Time[Index(Undone.Location)] -= Undone.Time;
            --FProfile.CodeCount[Code];
            FProfile.CodeTime[Code] -= Undone.Time;
        }
        if (Undone.Kind == TEntryKind::ekOrder || Undone.Kind == TEntryKind::ekFailed) {
            Order = Undone;
            return true;
        }
    }
    return false;
}

void TDebugger::FinishUndo()
{
    if (FTapeMoved)
        FHost.RewindTapeTo(FTapeMark);
    if (!FTakenBack.empty())
        FHost.TakeBackOutput(FTakenBack);
    FTakenBack.clear();
    FTapeMoved = false;
    const int SCR = FCore.Control().GetSCR();
    FRestingAt = IsBreakpoint(SCR) ? SCR : -1;
    FCore.ShowState();
}

std::uint64_t TDebugger::StepBack(std::uint64_t Count)
{
    std::uint64_t Done = 0;
    TUndone Order;
    while (Done < Count && UndoOrder(Order))
        ++Done;
    FinishUndo();
    return Done;
}

TDebugStop TDebugger::RunBack()
{
    TDebugStop Stop{TDebugStopKind::dsHistoryStart};
    TUndone Order;
    while (UndoOrder(Order)) {
        if (Order.Kind == TEntryKind::ekOrder && FWatchCount > 0)
            if (const int Written = WatchedTarget(Order.Order); Written >= 0) {
                Stop = {TDebugStopKind::dsWatch, Written, Order.Location, Order.Order};
                break;
            }
        if (IsBreakpoint(Order.Location)) {
            Stop = {TDebugStopKind::dsBreakpoint, Order.Location};
            break;
        }
    }
    FinishUndo();
    return Stop;
}

void TDebugger::Dial(int Digit)
{
    TStepStart Start;
    if (FRecording)
        Start = THistory::Begin(FCore, FHost, TEntryKind::ekDial);
    FCore.Dial(Digit);
    FCore.ClearStop();
    if (FRecording)
        FHistory.Commit(Start, FCore, FHost, TEntryKind::ekDial);
}

void TDebugger::ResetClock()
{
    TStepStart Start;
    if (FRecording)
        Start = THistory::Begin(FCore, FHost, TEntryKind::ekClock);
    FCore.ResetClock();
    if (FRecording)
        FHistory.Commit(Start, FCore, FHost, TEntryKind::ekClock);
}

#include "core/RunControl.h"

#include "core/EdsacCore.h"
#include "core/MachineHost.h"

TRunControl::TRunControl(TEdsacCore& ACore, IEdsacHost& AHost) : FCore(ACore), FHost(AHost), FDebugger(ACore, AHost) {}

void TRunControl::Clear()
{
    FCore.Init();
    FHost.RewindTape();
    FDebugger.Cleared();
}

void TRunControl::SelectInitialOrders(TInitialOrders Orders)
{
    FCore.SetInitialOrders(Orders);
}

void TRunControl::LoadInitialOrders()
{
    FCore.LoadInitialOrders();
    FDebugger.Cleared();
}

// Every order passes here: the ends of a step are kept out of its way, and the
// debugger is asked only while it has anything to check or keep.
TStepResult TRunControl::Step(bool Checks)
{
    try {
        if (FDebugger.Active()) {
            if (const TDebugStop Stop = FDebugger.Step(Checks))
                return Stopped(Stop);
        } else {
            FCore.ExecuteOrder();
        }
    } catch (const std::exception& E) {
        return Failed(E);
    }
    return FCore.IsStopped() ? Stopped({}) : TStepResult::srRunning;
}

TStepResult TRunControl::Stopped(const TDebugStop& Stop)
{
    TStopCause Cause = TStopCause::scStopOrder;
    switch (Stop.Kind) {
    case TDebugStopKind::dsBreakpoint: Cause = TStopCause::scBreakpoint; break;
    case TDebugStopKind::dsReached: Cause = TStopCause::scReached; break;
    case TDebugStopKind::dsWatch: Cause = TStopCause::scWatch; break;
    case TDebugStopKind::dsHistoryStart: Cause = TStopCause::scHistoryStart; break;
    case TDebugStopKind::dsNone:
    case TDebugStopKind::dsStopOrder: break;
    }
    FLastStop = {Cause, "", DescribeDebugStop(Stop)};
    return TStepResult::srStopped;
}

TStepResult TRunControl::Failed(const std::exception& E)
{
    FLastStop = DescribeStop(E);
    return TStepResult::srError;
}

bool TRunControl::IsStopped() const
{
    return FCore.IsStopped();
}

void TRunControl::Resume()
{
    FCore.ClearStop();
}

void TRunControl::Dial(int Digit)
{
    FDebugger.Dial(Digit);
}

void TRunControl::ResetClock()
{
    FDebugger.ResetClock();
}

bool TRunControl::StepBack()
{
    if (FDebugger.StepBack(1) > 0)
        return true;
    Stopped({TDebugStopKind::dsHistoryStart});
    return false;
}

const TStopReport& TRunControl::RunBack()
{
    Stopped(FDebugger.RunBack());
    return FLastStop;
}

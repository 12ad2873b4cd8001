#include "tools/run_host.h"

#include "core/Debugger.h"
#include "core/EdsacCore.h"
#include "core/PunchedTape.h"
#include "core/errors.h"

// The machine's characters are Latin-1; the lines are kept as UTF-8.
void TRunHost::TeleprinterNewLine(const std::string& Text)
{
    TeleprinterLines.emplace_back();
    for (const char Ch : Text)
        AppendUtf8(TeleprinterLines.back(), static_cast<unsigned char>(Ch));
}

void TRunHost::TeleprinterPrint(char Ch)
{
    if (TeleprinterLines.empty())
        TeleprinterLines.emplace_back();
    AppendUtf8(TeleprinterLines.back(), static_cast<unsigned char>(Ch));
}

void TRunHost::PunchChar(char Ch)
{
    PunchInto(PunchedTape, Ch);
}

int TRunHost::ReadTapeChar()
{
    return ReadTapeCode(Tape, IgnoreCase, *this);
}

void TRunHost::ClearMachine()
{
    FCore->Init();
    FCore->SetInitialOrders(FOrders);
    Tape.RewindTape();
    if (FDebugger)
        FDebugger->Cleared();
}

void TRunHost::LoadInitialOrders()
{
    FCore->LoadInitialOrders();
}

TStepResult TRunHost::ExecuteStep()
{
    try {
        if (FDebugger && FDebugger->Active())
            FDebugger->Step(true);
        else
            FCore->ExecuteOrder();
        return FCore->IsStopped() ? TStepResult::srStopped : TStepResult::srRunning;
    } catch (const std::exception& E) {
        LastError = DescribeStop(E).Text;
    }
    return TStepResult::srError;
}

void TRunHost::Dial(int Digit)
{
    FCore->Dial(Digit);
    FCore->ClearStop();
}

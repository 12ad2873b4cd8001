#include "tools/run_host.h"

#include "core/EdsacCore.h"
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
    if (PunchedTape.back().size() == 4)
        PunchedTape.emplace_back(1, Ch);
    else
        PunchedTape.back() += Ch;
}

int TRunHost::ReadTapeChar()
{
    return ReadTapeCode(Tape, IgnoreCase, *this);
}

void TRunHost::ClearMachine()
{
    Core->Init();
    Core->SetInitialOrders(SecondOrders ? 1 : 0);
    Tape.RewindTape();
}

void TRunHost::LoadInitialOrders()
{
    Core->LoadInitialOrders();
}

std::uint8_t TRunHost::ExecuteStep()
{
    try {
        Core->ExecuteOrder();
        return Core->IsStopped() ? 1 : 0;
    } catch (const EEndOfTape&) {
        LastError = "End of tape encountered";
    } catch (const std::exception& E) {
        LastError = E.what();
    }
    return 2;
}

void TRunHost::ZeroiseClock()
{
    Core->ResetClock();
}

void TRunHost::Dial(int Digit)
{
    Core->Dial(Digit);
    Core->ClearStop();
}

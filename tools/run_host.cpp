#include "tools/run_host.h"

#include "core/PunchedTape.h"

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

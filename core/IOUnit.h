// The tape reader and teleprinter as the order set sees them. Characters come and go
// through the host; the unit keeps only the teleprinter's shift and the last code.
#pragma once

#include <cstdint>

#include "core/MachineHost.h"

enum TTeleprinterShift : std::uint8_t { tsLetters, tsFigures };

// The output of Code in Shift, as PrintChar hands it to the host.
TOutputChar OutputOf(int Code, TTeleprinterShift Shift);

class TIOUnit {
public:
    explicit TIOUnit(IEdsacHost& ASim) : FSim(ASim) {}
    TIOUnit(const TIOUnit&) = delete;
    TIOUnit& operator=(const TIOUnit&) = delete;

    int ReadChar();
    int LastChar() const { return FLastCode; }
    void PrintChar(int Code);
    void SignalStop();
    TTeleprinterShift GetShift() const { return FShift; }
    void Restore(TTeleprinterShift Shift, int LastCode)
    {
        FShift = Shift;
        FLastCode = LastCode;
    }

private:
    IEdsacHost& FSim;
    TTeleprinterShift FShift = tsLetters;
    std::int32_t FLastCode = 0;
};

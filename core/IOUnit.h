// The tape reader and teleprinter as the order set sees them. Characters come and go
// through the host; the unit keeps only the teleprinter's shift and the last code.
#pragma once

#include <cstdint>

class IEdsacSim;

enum TTeleprinterShift : std::uint8_t { tsLetters, tsFigures };

class TIOUnit {
public:
    explicit TIOUnit(IEdsacSim& Sim) : Sim(Sim) {}
    TIOUnit(const TIOUnit&) = delete;
    TIOUnit& operator=(const TIOUnit&) = delete;

    int ReadChar();
    int LastChar() const { return LastCode; }
    void PrintChar(int Code);
    void SignalStop();
    TTeleprinterShift GetShift() const { return Shift; }

private:
    IEdsacSim& Sim;
    TTeleprinterShift Shift = tsLetters;
    std::int32_t LastCode = 0;
};

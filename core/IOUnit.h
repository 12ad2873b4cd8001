// The tape reader and teleprinter as the order set sees them. Characters come and go
// through the host; the unit keeps only the teleprinter's shift and the last code.
#pragma once

#include <cstdint>

class IEdsacHost;

enum TTeleprinterShift : std::uint8_t { tsLetters, tsFigures };

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

private:
    IEdsacHost& FSim;
    TTeleprinterShift FShift = tsLetters;
    std::int32_t FLastCode = 0;
};

// Control: the sequence control register, the order tank, the order set and the
// machine's running time.
#pragma once

#include <cstdint>

#include "core/misc.h"

class IEdsacHost;
class TALUnit;
class TStore;
class TIOUnit;

class TControlUnit {
public:
    TControlUnit(TALUnit& AALU, TStore& AStore, TIOUnit& AIOUnit, IEdsacHost& ASim);
    ~TControlUnit();
    TControlUnit(const TControlUnit&) = delete;
    TControlUnit& operator=(const TControlUnit&) = delete;

    void Init();
    // One fetch-decode-execute step; returns the order's duration in whole milliseconds.
    int ExecuteOrder();
    int GetSCR() const { return FSCR; }
    int GetOrderTank() const { return FOrderTank; }
    std::uint32_t GetElapsedTime() const { return FElapsedTime; }
    bool IsStopped() const { return FStopped; }
    void ClearStop() { FStopped = false; }
    void ResetClock();

private:
    void ShiftAccumulator(bool Left);
    void AdvanceClock(std::uint32_t T);
    [[noreturn]] void UnknownOrder();

    std::int32_t FSCR = 0;
    std::int32_t FOrderTank = 0;
    std::uint32_t FElapsedTime = 0;
    std::uint32_t FClockAccumulator = 10000;
    IEdsacHost& FSim;
    TALUnit& FALU;
    TStore& FStore;
    TIOUnit& FIOUnit;
    TOrder FCurrentOrder;
    bool FStopped = false;
};

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
    std::uint32_t GetClockAccumulator() const { return FClockAccumulator; }
    // Orders carried out to the end since Init.
    std::uint64_t GetOrderCount() const { return FOrderCount; }
    // Puts the registers, the clock and the count back as they were, silently
    // (see TALUnit::Restore).
    void Restore(std::int32_t SCR, std::int32_t OrderTank, std::uint32_t Elapsed, std::uint32_t ClockAccumulator,
                 bool Stopped, std::uint64_t OrderCount)
    {
        FSCR = SCR;
        FOrderTank = OrderTank;
        FElapsedTime = Elapsed;
        FClockAccumulator = ClockAccumulator;
        FStopped = Stopped;
        FOrderCount = OrderCount;
    }

private:
    void ShiftAccumulator(bool Left);
    void AdvanceClock(std::uint32_t T);
    [[noreturn]] void UnknownOrder();

    std::int32_t FSCR = 0;
    std::int32_t FOrderTank = 0;
    std::uint32_t FElapsedTime = 0;
    std::uint32_t FClockAccumulator = 10000;
    std::uint64_t FOrderCount = 0;
    IEdsacHost& FSim;
    TALUnit& FALU;
    TStore& FStore;
    TIOUnit& FIOUnit;
    TOrder FCurrentOrder;
    bool FStopped = false;
};

// Control: the sequence control register, the order tank, the order set and the
// machine's running time.
#pragma once

#include <cstdint>

#include "core/misc.h"

class IEdsacSim;
class TALUnit;
class TStore;
class TIOUnit;

class TControlUnit {
public:
    TControlUnit(TALUnit& ALU, TStore& Store, TIOUnit& IOUnit, IEdsacSim& Sim);
    ~TControlUnit();
    TControlUnit(const TControlUnit&) = delete;
    TControlUnit& operator=(const TControlUnit&) = delete;

    void Init();
    // One fetch-decode-execute step; returns the order's duration in whole milliseconds.
    int ExecuteOrder();
    int GetSCR() const { return SCR; }
    int GetOrderTank() const { return OrderTank; }
    std::uint32_t GetElapsedTime() const { return ElapsedTime; }
    bool IsStopped() const { return Stopped; }
    void ClearStop() { Stopped = false; }
    void ResetClock();

private:
    void ShiftAccumulator(bool Left);
    void AdvanceClock(std::uint32_t T);
    [[noreturn]] void UnknownOrder();

    std::int32_t SCR = 0;
    std::int32_t OrderTank = 0;
    std::uint32_t ElapsedTime = 0;
    std::uint32_t ClockAccumulator = 10000;
    IEdsacSim& Sim;
    TALUnit& ALU;
    TStore& Store;
    TIOUnit& IOUnit;
    TOrder CurrentOrder;
    bool Stopped = false;
};

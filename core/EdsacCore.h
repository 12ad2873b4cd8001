// The machine as one object: it builds its four units, wires them to the host and
// offers the host its commands. It has no loop of its own; the host steps it.
#pragma once

#include <cstdint>
#include <memory>

#include "core/History.h"
#include "core/initial_orders.h"
#include "core/misc.h"

class IEdsacHost;
class TALUnit;
class TControlUnit;
class TIOUnit;
class TStore;

class TEdsacCore {
public:
    explicit TEdsacCore(IEdsacHost& ASim);
    ~TEdsacCore();
    TEdsacCore(const TEdsacCore&) = delete;
    TEdsacCore& operator=(const TEdsacCore&) = delete;

    void Init();
    void SetInitialOrders(TInitialOrders Choice) { FInitialOrders = Choice; }
    TInitialOrders GetInitialOrders() const { return FInitialOrders; }
    void LoadInitialOrders();
    // Executes one order; returns its duration in milliseconds.
    int ExecuteOrder();
    bool IsStopped() const;
    void ClearStop();
    void Dial(int Digit);
    const TWordArray& GetStoreContents() const;
    void ResetClock();
    void UpdateDisplays();
    void Shutdown();

    // Read-only views for hosts that report the machine's state (no trace lines).
    const TControlUnit& Control() const { return *FControlUnit; }
    const TALUnit& Arithmetic() const { return *FALU; }

    // The whole state outside the store, and the way back to an earlier one:
    // silent, for stepping back, which shows the machine once it has arrived
    // (ShowState).
    TRegisters Registers() const;
    void Restore(const TRegisters& Registers);
    void RestoreWord(int Address, TWord Value);
    // Every display and the clock, as the machine stands.
    void ShowState();

private:
    IEdsacHost& FSim;
    std::unique_ptr<TControlUnit> FControlUnit;
    std::unique_ptr<TALUnit> FALU;
    std::unique_ptr<TStore> FStore;
    std::unique_ptr<TIOUnit> FIOUnit;
    TInitialOrders FInitialOrders = ioOrders1;
};

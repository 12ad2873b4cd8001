// The one seam between the machine and a user interface: what the machine tells
// its host (IEdsacHost) goes out through it; lifecycle calls and machine commands
// come in through it.
#pragma once

#include "core/MachineHost.h"
#include "core/RunControl.h"

class TEdsacCore;
class QObject;

class IEdsacSim : public IEdsacHost {
public:
    virtual void InitGui() = 0;
    virtual void DoneGui() = 0;
    virtual void SetCore(TEdsacCore* Core) = 0;
    virtual void RestoreGui(QObject* Sender) = 0;
    virtual void MinimiseGui(QObject* Sender) = 0;

    // A user interface takes each register by its own operation: 4, 1, 1, 2 and 2 words.
    virtual void UpdateAccDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateScrDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateOrdDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateMultrDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateMultdDisplay(bool Force, TWords Words) = 0;
    void UpdateRegisterDisplay(TRegister Register, bool Force, TWords Words) final
    {
        switch (Register) {
        case TRegister::rgAccumulator: UpdateAccDisplay(Force, Words); break;
        case TRegister::rgSequenceControl: UpdateScrDisplay(Force, Words); break;
        case TRegister::rgOrderTank: UpdateOrdDisplay(Force, Words); break;
        case TRegister::rgMultiplier: UpdateMultrDisplay(Force, Words); break;
        case TRegister::rgMultiplicand: UpdateMultdDisplay(Force, Words); break;
        }
    }

    // Empties the windows that show trace lines.
    virtual void ClearMessages() = 0;

    virtual void ClearMachine() = 0;
    virtual void LoadInitialOrders() = 0;
    virtual void SelectInitialOrders(bool Second) = 0;
    // Running: the machine goes on; Stopped: a stop order; Error: a failure stopped it.
    virtual TStepResult ExecuteStep() = 0;
    virtual void RefreshStoreDisplay() = 0;
    virtual void RefreshRegisters() = 0;
    virtual void ZeroiseClock() = 0;
    virtual void Dial(int Digit) = 0;
};

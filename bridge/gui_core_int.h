// The one seam between the machine and whatever hosts it: trace lines, display
// updates, the teleprinter and punch, the tape reader and sound go out through it;
// lifecycle calls and machine commands come in through it.
#pragma once

#include <cstdint>
#include <string>

#include "core/TraceLine.h"
#include "core/misc.h"

class TEdsacCore;
class QObject;

// What one step of the machine came to. The byte values are those of the step's
// result as every host has always read it.
enum class TStepResult : std::uint8_t { srRunning = 0, srStopped = 1, srError = 2 };

class IEdsacSim {
public:
    virtual ~IEdsacSim() = default;

    virtual void InitGui() = 0;
    virtual void DoneGui() = 0;
    virtual void SetCore(TEdsacCore* Core) = 0;
    virtual void RestoreGui(QObject* Sender) = 0;
    virtual void MinimiseGui(QObject* Sender) = 0;

    // Trace lines; a host may drop them without spelling them out.
    virtual void CoreMessage(const TTraceLine& Msg) = 0;
    virtual void StoreMessage(const TTraceLine& Msg) = 0;
    virtual void IOMessage(const TTraceLine& Msg) = 0;
    virtual void ControlMessage(const TTraceLine& Msg) = 0;
    virtual void ALUMessage(const TTraceLine& Msg) = 0;

    // Register displays: 4, 1, 1, 2 and 2 words. Force is true when a register is
    // cleared; otherwise the host shows the change only if its live display is on.
    virtual void UpdateAccDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateScrDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateOrdDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateMultrDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateMultdDisplay(bool Force, TWords Words) = 0;
    virtual void UpdateStoreDisplay(TWords Words) = 0;
    virtual void UpdateStoreWord(int Address, TWord Value) = 0;
    // Machine time in units of 100 microseconds.
    virtual void UpdateClock(std::uint32_t Time) = 0;

    // Characters are Latin-1 bytes, as the code tables hold them.
    virtual void TeleprinterNewLine(const std::string& Text) = 0;
    virtual void TeleprinterPrint(char Ch) = 0;
    virtual void PunchChar(char Ch) = 0;
    virtual void ClearMessages() = 0;
    // The next 5-bit tape code; throws EIllegalChar or EEndOfTape.
    virtual int ReadTapeChar() = 0;
    virtual void PlaySound(int Sound) = 0;

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

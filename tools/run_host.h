// The headless host of the machine: the tape comes from a file, the teleprinter and
// punch are kept as lines, trace lines go to stderr on request, displays are dropped.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "bridge/gui_core_int.h"
#include "core/TapeReader.h"
#include "core/initial_orders.h"

class TRunHost final : public IEdsacSim {
public:
    TTapeText Tape;
    bool IgnoreCase = true;
    bool Trace = false;
    std::FILE* TraceOut = stderr;

    // Teleprinter lines as UTF-8, punched output four characters a line.
    std::vector<std::string> TeleprinterLines;
    std::vector<std::string> PunchedTape{""};
    // The message of the error that ended the last step, as a user would be shown it.
    std::string LastError;

    void InitGui() override {}
    void DoneGui() override {}
    void SetCore(TEdsacCore* NewCore) override { FCore = NewCore; }
    void RestoreGui(QObject*) override {}
    void MinimiseGui(QObject*) override {}

    void CoreMessage(const TTraceLine& Msg) override { Emit("core: ", Msg); }
    void StoreMessage(const TTraceLine& Msg) override { Emit("store: ", Msg); }
    void IOMessage(const TTraceLine& Msg) override { Emit("io: ", Msg); }
    void ControlMessage(const TTraceLine& Msg) override { Emit("control: ", Msg); }
    void ALUMessage(const TTraceLine& Msg) override { Emit("alu: ", Msg); }

    void UpdateAccDisplay(bool, TWords) override {}
    void UpdateScrDisplay(bool, TWords) override {}
    void UpdateOrdDisplay(bool, TWords) override {}
    void UpdateMultrDisplay(bool, TWords) override {}
    void UpdateMultdDisplay(bool, TWords) override {}
    void UpdateStoreDisplay(TWords) override {}
    void UpdateStoreWord(int, TWord) override {}
    void UpdateClock(std::uint32_t) override {}

    void TeleprinterNewLine(const std::string& Text) override;
    void TeleprinterPrint(char Ch) override;
    void PunchChar(char Ch) override;
    void ClearMessages() override {}
    int ReadTapeChar() override;
    void PlaySound(int) override {}

    void ClearMachine() override;
    void LoadInitialOrders() override;
    void SelectInitialOrders(bool Second) override { FOrders = InitialOrdersChoice(Second); }
    TStepResult ExecuteStep() override;
    void RefreshStoreDisplay() override {}
    void RefreshRegisters() override {}
    void ZeroiseClock() override;
    void Dial(int Digit) override;

private:
    void Emit(const char* Prefix, const TTraceLine& Msg)
    {
        if (Trace) {
            const std::string Line = Prefix + Msg.str() + "\n";
            std::fwrite(Line.data(), 1, Line.size(), TraceOut);
        }
    }

    TEdsacCore* FCore = nullptr;
    TInitialOrders FOrders = ioOrders2;
};

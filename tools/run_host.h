// The headless host of the machine: the tape comes from a file, the teleprinter and
// punch are kept as lines, trace lines go to stderr on request, displays are dropped.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/MachineHost.h"
#include "core/TapeReader.h"

class TRunHost final : public IEdsacHost {
public:
    TTapeText Tape;
    bool IgnoreCase = true;
    bool Trace = false;
    std::FILE* TraceOut = stderr;

    // Teleprinter lines as UTF-8, punched output four characters a line.
    std::vector<std::string> TeleprinterLines;
    std::vector<std::string> PunchedTape{""};

    void CoreMessage(const TTraceLine& Msg) override { Emit("core: ", Msg); }
    void StoreMessage(const TTraceLine& Msg) override { Emit("store: ", Msg); }
    void IOMessage(const TTraceLine& Msg) override { Emit("io: ", Msg); }
    void ControlMessage(const TTraceLine& Msg) override { Emit("control: ", Msg); }
    void ALUMessage(const TTraceLine& Msg) override { Emit("alu: ", Msg); }

    void TeleprinterNewLine(const std::string& Text) override;
    void TeleprinterPrint(char Ch) override;
    void PunchChar(char Ch) override;
    int ReadTapeChar() override;
    void RewindTape() override { Tape.RewindTape(); }

private:
    void Emit(const char* Prefix, const TTraceLine& Msg)
    {
        if (Trace) {
            const std::string Line = Prefix + Msg.str() + "\n";
            std::fwrite(Line.data(), 1, Line.size(), TraceOut);
        }
    }
};

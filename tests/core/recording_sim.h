// A host that records everything the machine tells it, for the core's tests.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/MachineHost.h"
#include "core/TapeReader.h"

struct TDisplayCall {
    std::string Register; // "acc", "scr", "ord", "multr", "multd"
    bool Force;
    std::vector<TWord> Words;
};

class TRecordingSim : public IEdsacHost {
public:
    // Every trace line, prefixed with its unit: "core: ", "store: ", "alu: ", "control: ", "io: ".
    std::vector<std::string> Trace;
    std::vector<TDisplayCall> Displays;
    std::vector<std::pair<int, TWord>> StoreWords;
    int StoreDisplays = 0;
    std::vector<std::uint32_t> Clock;
    std::vector<std::string> Teleprinter; // lines, Latin-1
    std::string Punched;
    std::vector<TSound> Sounds;
    TTapeText Tape;
    bool IgnoreCase = true;

    void Forget()
    {
        Trace.clear();
        Displays.clear();
        StoreWords.clear();
        StoreDisplays = 0;
        Clock.clear();
        Sounds.clear();
    }
    std::vector<std::string> TraceOf(const std::string& Prefix) const
    {
        std::vector<std::string> Lines;
        for (const auto& L : Trace)
            if (L.rfind(Prefix, 0) == 0)
                Lines.push_back(L.substr(Prefix.size()));
        return Lines;
    }

    void CoreMessage(const TTraceLine& M) override { Trace.push_back("core: " + M.str()); }
    void StoreMessage(const TTraceLine& M) override { Trace.push_back("store: " + M.str()); }
    void IOMessage(const TTraceLine& M) override { Trace.push_back("io: " + M.str()); }
    void ControlMessage(const TTraceLine& M) override { Trace.push_back("control: " + M.str()); }
    void ALUMessage(const TTraceLine& M) override { Trace.push_back("alu: " + M.str()); }
    void UpdateRegisterDisplay(TRegister R, bool F, TWords W) override
    {
        static const char* const Names[] = {"acc", "scr", "ord", "multr", "multd"};
        Displays.push_back({Names[static_cast<int>(R)], F, std::vector<TWord>(W.begin(), W.end())});
    }
    void UpdateStoreDisplay(TWords W) override
    {
        ++StoreDisplays;
        LastStoreDisplaySize = static_cast<int>(W.size());
    }
    void UpdateStoreWord(int A, TWord V) override { StoreWords.emplace_back(A, V); }
    void UpdateClock(std::uint32_t T) override { Clock.push_back(T); }
    void TeleprinterNewLine(const std::string& Text) override { Teleprinter.push_back(Text); }
    void TeleprinterPrint(char Ch) override
    {
        if (Teleprinter.empty())
            Teleprinter.emplace_back();
        Teleprinter.back() += Ch;
    }
    void PunchChar(char Ch) override { Punched += Ch; }
    int ReadTapeChar() override { return ReadTapeCode(Tape, IgnoreCase, *this); }
    void RewindTape() override { Tape.RewindTape(); }
    void PlaySound(TSound S) override { Sounds.push_back(S); }

    int LastStoreDisplaySize = 0;
};

inline std::u32string U32(const std::string& Ascii)
{
    return std::u32string(Ascii.begin(), Ascii.end());
}

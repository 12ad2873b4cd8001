// What the machine tells whoever hosts it, and the one thing it asks of it: trace
// lines, the registers and store for display, machine time, the teleprinter and
// punch, sounds, and the next character of the tape. Everything but the tape has
// an empty default, so a host overrides only what it shows or keeps.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/TraceLine.h"
#include "core/misc.h"

// The registers a host may show.
enum class TRegister : std::uint8_t { rgAccumulator, rgSequenceControl, rgOrderTank, rgMultiplier, rgMultiplicand };

// The teleprinter's noises and the bell of a stop.
enum class TSound : std::uint8_t { sndLineFeed = 1, sndPrint = 2, sndSpace = 3, sndStop = 4, sndCarriageReturn = 5 };

// What one output order gave the host: the character punched, and what the
// teleprinter did with it (nothing, a new line, or a printed Latin-1 character).
enum class TPrintKind : std::uint8_t { pkNothing, pkNewLine, pkChar };
struct TOutputChar {
    TPrintKind Kind = TPrintKind::pkNothing;
    char Printed = 0;
    char Punched = 0;
};

class IEdsacHost {
public:
    virtual ~IEdsacHost() = default;

    // Trace lines; a host may drop them without spelling them out.
    virtual void CoreMessage(const TTraceLine&) {}
    virtual void StoreMessage(const TTraceLine&) {}
    virtual void IOMessage(const TTraceLine&) {}
    virtual void ControlMessage(const TTraceLine&) {}
    virtual void ALUMessage(const TTraceLine&) {}

    // A register's display: 4 words for the accumulator, 1 for the sequence control
    // register and order tank, 2 for the multiplier and multiplicand. Force is true
    // when the register is cleared; otherwise the host shows the change only if its
    // live display is on.
    virtual void UpdateRegisterDisplay(TRegister, bool, TWords) {}
    virtual void UpdateStoreDisplay(TWords) {}
    virtual void UpdateStoreWord(int, TWord) {}
    // Machine time in units of 100 microseconds.
    virtual void UpdateClock(std::uint32_t) {}

    // Characters are Latin-1 bytes, as the code tables hold them.
    virtual void TeleprinterNewLine(const std::string&) {}
    virtual void TeleprinterPrint(char) {}
    virtual void PunchChar(char) {}
    // The next 5-bit tape code; throws EIllegalChar or EEndOfTape.
    virtual int ReadTapeChar() = 0;
    // Back to the start of the tape: the machine has been cleared.
    virtual void RewindTape() {}
    virtual void PlaySound(TSound) {}

    // Stepping back. Where the tape stands, as a value the host can go back to;
    // and the output of output orders taken back, the latest first (each took one
    // punched character and what the teleprinter did with it). A host that never
    // steps back keeps these empty bodies.
    virtual std::uint64_t TapeMark() { return 0; }
    virtual void RewindTapeTo(std::uint64_t) {}
    virtual void TakeBackOutput(std::span<const TOutputChar>) {}
};

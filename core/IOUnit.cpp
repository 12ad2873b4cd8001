#include "core/IOUnit.h"

#include "bridge/gui_core_int.h"
#include "core/misc.h"

namespace {

enum TCode { cFigures = 11, cLetters = 15, cBlank = 16, cCarriageReturn = 18, cSpace = 20, cLineFeed = 24 };
enum TSound { sndLineFeed = 1, sndPrint = 2, sndSpace = 3, sndStop = 4, sndCarriageReturn = 5 };

} // namespace

int TIOUnit::ReadChar()
{
    return Sim.ReadTapeChar();
}

void TIOUnit::PrintChar(int Code)
{
    Code &= 31;
    switch (Code) {
    case cFigures: Shift = tsFigures; break;
    case cLetters: Shift = tsLetters; break;
    case cBlank: break;
    case cCarriageReturn: Sim.PlaySound(sndCarriageReturn); break;
    case cLineFeed:
        Sim.PlaySound(sndLineFeed);
        Sim.TeleprinterNewLine("");
        break;
    default:
        Sim.TeleprinterPrint(TeleprinterChars[Shift == tsLetters ? Code : Code + 32]);
        Sim.PlaySound(Code == cSpace ? sndSpace : sndPrint);
        break;
    }
    Sim.PunchChar(OrderLetters[Code]);
    LastCode = Code;
}

void TIOUnit::SignalStop()
{
    Sim.PlaySound(sndStop);
}

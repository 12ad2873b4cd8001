#include "core/IOUnit.h"

#include "core/MachineHost.h"
#include "core/misc.h"

namespace {

enum TCode { cFigures = 11, cLetters = 15, cBlank = 16, cCarriageReturn = 18, cSpace = 20, cLineFeed = 24 };

} // namespace

int TIOUnit::ReadChar()
{
    return FSim.ReadTapeChar();
}

void TIOUnit::PrintChar(int Code)
{
    Code &= 31;
    switch (Code) {
    case cFigures: FShift = tsFigures; break;
    case cLetters: FShift = tsLetters; break;
    case cBlank: break;
    case cCarriageReturn: FSim.PlaySound(TSound::sndCarriageReturn); break;
    case cLineFeed:
        FSim.PlaySound(TSound::sndLineFeed);
        FSim.TeleprinterNewLine("");
        break;
    default:
        FSim.TeleprinterPrint(TeleprinterChars[FShift == tsLetters ? Code : Code + 32]);
        FSim.PlaySound(Code == cSpace ? TSound::sndSpace : TSound::sndPrint);
        break;
    }
    FSim.PunchChar(OrderLetters[Code]);
    FLastCode = Code;
}

void TIOUnit::SignalStop()
{
    FSim.PlaySound(TSound::sndStop);
}

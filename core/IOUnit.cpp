#include "core/IOUnit.h"

#include "bridge/gui_core_int.h"
#include "core/misc.h"

namespace {

enum TCode { cFigures = 11, cLetters = 15, cBlank = 16, cCarriageReturn = 18, cSpace = 20, cLineFeed = 24 };
enum TSound { sndLineFeed = 1, sndPrint = 2, sndSpace = 3, sndStop = 4, sndCarriageReturn = 5 };

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
    case cCarriageReturn: FSim.PlaySound(sndCarriageReturn); break;
    case cLineFeed:
        FSim.PlaySound(sndLineFeed);
        FSim.TeleprinterNewLine("");
        break;
    default:
        FSim.TeleprinterPrint(TeleprinterChars[FShift == tsLetters ? Code : Code + 32]);
        FSim.PlaySound(Code == cSpace ? sndSpace : sndPrint);
        break;
    }
    FSim.PunchChar(OrderLetters[Code]);
    FLastCode = Code;
}

void TIOUnit::SignalStop()
{
    FSim.PlaySound(sndStop);
}

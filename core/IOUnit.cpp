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

TOutputChar OutputOf(int Code, TTeleprinterShift Shift)
{
    Code &= 31;
    TOutputChar Out;
    Out.Punched = OrderLetters[Code];
    switch (Code) {
    case cFigures:
    case cLetters:
    case cBlank:
    case cCarriageReturn: break;
    case cLineFeed: Out.Kind = TPrintKind::pkNewLine; break;
    default:
        Out.Kind = TPrintKind::pkChar;
        Out.Printed = TeleprinterChars[Shift == tsLetters ? Code : Code + 32];
        break;
    }
    return Out;
}

void TIOUnit::SignalStop()
{
    FSim.PlaySound(TSound::sndStop);
}

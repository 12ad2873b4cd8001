#include "core/ALUnit.h"

#include "core/MachineHost.h"

namespace {

constexpr TWord Top = ShortWordMask; // the top word of any register
constexpr TWord Word = WordMask; // every lower word

// The 71-bit accumulator and the exact 70-bit product need more than 64 bits, and
// GCC's 128-bit integer holds them with plain arithmetic; it is not standard C++,
// so it is named once here, marked as the extension it is.
__extension__ typedef __int128 TInt128;
__extension__ typedef unsigned __int128 TUInt128;

// The accumulator as one 71-bit two's complement number, and back.
TInt128 AccToInt(const TAccWords& A)
{
    TUInt128 V = static_cast<TUInt128>(A[0] & Top) << (3 * WordBits);
    V |= static_cast<TUInt128>(A[1] & Word) << (2 * WordBits);
    V |= static_cast<TUInt128>(A[2] & Word) << WordBits;
    V |= static_cast<TUInt128>(A[3] & Word);
    return static_cast<TInt128>(V);
}

void IntToAcc(TInt128 Value, TAccWords& A)
{
    const auto V = static_cast<TUInt128>(Value);
    A[0] = static_cast<TWord>((V >> (3 * WordBits)) & Top);
    A[1] = static_cast<TWord>((V >> (2 * WordBits)) & Word);
    A[2] = static_cast<TWord>((V >> WordBits) & Word);
    A[3] = static_cast<TWord>(V & Word);
}

// A long number (high 17 bits with the sign, low 18 bits) as a signed integer.
std::int64_t LongToInt(TWord High, TWord Low)
{
    std::int64_t V = (std::int64_t{High & Top} << WordBits) | (Low & Word);
    if (V & (std::int64_t{1} << 34))
        V -= std::int64_t{1} << 35;
    return V;
}

} // namespace

TALUnit::TALUnit(IEdsacHost& ASim) : FSim(ASim)
{
    FSim.ALUMessage("ALU is active");
}

TALUnit::~TALUnit()
{
    FSim.ALUMessage("ALU terminated");
}

void TALUnit::PushAcc(bool Force)
{
    if (FDisplayEnabled)
        FSim.UpdateRegisterDisplay(TRegister::rgAccumulator, Force, FAccumulator);
}

void TALUnit::Init()
{
    ClearAccumulator();
    FMultiplier = {0, 0};
    FMultiplicand = {0, 0};
    FSim.UpdateRegisterDisplay(TRegister::rgMultiplier, true, FMultiplier);
    FSim.UpdateRegisterDisplay(TRegister::rgMultiplicand, true, FMultiplicand);
    FSim.ALUMessage("ALU Initialised");
}

TAccWords TALUnit::ReadAccumulator()
{
    FSim.ALUMessage("Reading accumulator");
    return FAccumulator;
}

void TALUnit::WriteAccumulator(TWords Words)
{
    FSim.ALUMessage("Writing Accumulator");
    for (size_t I = 0; I < 4; ++I)
        FAccumulator[I] = Words[I];
    PushAcc(false);
}

TLongWords TALUnit::ReadMultiplier()
{
    FSim.ALUMessage("Reading Multiplier");
    return FMultiplier;
}

void TALUnit::WriteMultiplier(TWords Words)
{
    FSim.ALUMessage("Writing Multiplier");
    FMultiplier = {Words[0], Words[1]};
    if (FDisplayEnabled)
        FSim.UpdateRegisterDisplay(TRegister::rgMultiplier, false, FMultiplier);
}

TLongWords TALUnit::ReadMultiplicand()
{
    FSim.ALUMessage("Reading Multiplicand");
    return FMultiplicand;
}

void TALUnit::WriteMultiplicand(TWords Words)
{
    FSim.ALUMessage("Writing Multiplicand");
    FMultiplicand = {Words[0], Words[1]};
    if (FDisplayEnabled)
        FSim.UpdateRegisterDisplay(TRegister::rgMultiplicand, false, FMultiplicand);
}

void TALUnit::ClearAccumulator()
{
    FSim.ALUMessage("Clearing ACC");
    FAccumulator = {0, 0, 0, 0};
    PushAcc(true);
}

void TALUnit::AddToAccumulator(TWords W, TWordLength Length)
{
    TAccWords& A = FAccumulator;
    switch (Length) {
    case wlShort: A[0] = (A[0] + W[0]) & Top; break;
    case wlLong: {
        A[1] += W[1];
        const TWord C = (A[1] >> WordBits) & 1;
        A[1] &= Word;
        A[0] = (A[0] + W[0] + C) & Top;
        break;
    }
    case wlAccumulator: {
        TWord C = 0;
        for (int I = 3; I >= 1; --I) {
            A[I] = A[I] + W[I] + C;
            C = (A[I] >> WordBits) & 1;
            A[I] &= Word;
        }
        A[0] = (A[0] + W[0] + C) & Top;
        break;
    }
    }
    PushAcc(false);
}

void TALUnit::SubtractFromAccumulator(TWords W, TWordLength Length)
{
    TAccWords& A = FAccumulator;
    switch (Length) {
    case wlShort: A[0] = (A[0] - W[0]) & Top; break;
    case wlLong: {
        A[1] -= W[1];
        const TWord B = (A[1] >> WordBits) & 1;
        A[1] &= Word;
        A[0] = (A[0] - W[0] - B) & Top;
        break;
    }
    case wlAccumulator: {
        TWord B = 0;
        for (int I = 3; I >= 1; --I) {
            A[I] = A[I] - W[I] - B;
            B = (A[I] >> WordBits) & 1;
            A[I] &= Word;
        }
        A[0] = (A[0] - W[0] - B) & Top;
        break;
    }
    }
    PushAcc(false);
}

void TALUnit::ShiftRight(std::span<TWord> W, TWordLength Length)
{
    const int Last = Length == wlShort ? 0 : Length == wlLong ? 1 : 3;
    for (int I = Last; I >= 1; --I)
        W[I] = ((W[I] >> 1) & (Word >> 1)) | ((W[I - 1] & 1) << (WordBits - 1));
    W[0] = (W[0] >> 1) | (W[0] & SignBit);
}

void TALUnit::ShiftLeft(std::span<TWord> W, TWordLength Length)
{
    const int Last = Length == wlShort ? 0 : Length == wlLong ? 1 : 3;
    W[0] = (W[0] * 2) & Top;
    if (Last >= 1)
        W[0] |= (W[1] >> (WordBits - 1)) & 1;
    for (int I = 1; I <= Last; ++I) {
        W[I] = (W[I] * 2) & Word;
        if (I < Last)
            W[I] |= (W[I + 1] >> (WordBits - 1)) & 1;
    }
}

void TALUnit::Multiply(TWords Operand, bool Add)
{
    WriteMultiplicand(Operand);
    SuspendDisplay();
    // The shift-and-add of the hardware yields exactly the product of the two
    // 35-bit fractions, 68 fraction bits, at the accumulator's bit 2 upwards,
    // wrapped to 71 bits; form it in one step.
    const TInt128 Product = static_cast<TInt128>(LongToInt(FMultiplier[0], FMultiplier[1])) *
                            LongToInt(Operand[0], Operand[1]) * 4;
    const TInt128 Acc = AccToInt(FAccumulator);
    IntToAcc(Add ? Acc + Product : Acc - Product, FAccumulator);
    ResumeDisplay();
}

TLongWords TALUnit::Collate(TWords Operand)
{
    WriteMultiplicand(Operand);
    return {Operand[0] & FMultiplier[0], Operand[1] & FMultiplier[1]};
}

void TALUnit::RoundAccumulator()
{
    AddToAccumulator(FRoundingConstant, wlAccumulator);
}

void TALUnit::ResumeDisplay()
{
    FDisplayEnabled = true;
    FSim.UpdateRegisterDisplay(TRegister::rgMultiplier, false, FMultiplier);
    FSim.UpdateRegisterDisplay(TRegister::rgMultiplicand, false, FMultiplicand);
    FSim.UpdateRegisterDisplay(TRegister::rgAccumulator, false, FAccumulator);
}

#include "core/History.h"

#include <bit>
#include <cstring>
#include <stdexcept>

#include "core/EdsacCore.h"
#include "core/MachineHost.h"
#include "core/OrderTable.h"

// A record, in the order of its bytes:
//   flags:  bits 0-1 the kind; bit 2 the sequence control, bit 3 the order tank,
//           bit 4 the clock's second count, bit 5 the clock follow (each only when
//           it cannot be worked out from the state after the step); bit 6 the
//           stop flag as it was; bit 7 a second flags byte follows;
//   masks:  which words of the accumulator (bits 0-3), multiplier (4-5) and
//           multiplicand (6-7) changed;
//   flags2: which of the order's store targets changed (bits 0-1), the
//           teleprinter's shift and last code (bit 2), the tape's mark (bit 3);
// then the old values flagged, in that order: sequence control 2 bytes, order
// tank 3, second count 4, clock 4, register and store words 3 each, shift and
// code 1, tape mark 1 to 10; and last the record's length, one byte, so that the
// ring can be read backwards.
namespace {

enum : std::uint8_t {
    fScr = 1 << 2,
    fTank = 1 << 3,
    fSecond = 1 << 4,
    fClock = 1 << 5,
    fStopped = 1 << 6,
    fMore = 1 << 7,
    f2Io = 1 << 2,
    f2Tape = 1 << 3,
};

std::uint32_t TimeOf(TWord Order)
{
    return OrderInfo(WordToOrder(Order).Code).Time;
}

// The locations an order writes, the odd one of a long pair first.
int TargetsOf(TWord Order, int (&Targets)[2])
{
    const TOrder O = WordToOrder(Order);
    switch (static_cast<TOrderCode>(O.Code)) {
    case TOrderCode::ocT:
    case TOrderCode::ocU:
    case TOrderCode::ocI:
    case TOrderCode::ocF:
        if (!O.Long) {
            Targets[0] = O.Address;
            return 1;
        }
        Targets[0] = O.Address | 1;
        Targets[1] = O.Address & ~1;
        return 2;
    default: return 0;
    }
}

bool IsOrder(TEntryKind Kind)
{
    return Kind == TEntryKind::ekOrder || Kind == TEntryKind::ekFailed;
}

// The registers before a step as far as they follow from the state after it:
// an order moved the sequence control on by one and fetched the word before
// it, and took its time; the rest are as they are.
// Only an order carried out to the end is counted.
struct TPrediction {
    std::int32_t SCR;
    std::uint32_t Elapsed;
    std::uint32_t Second;
    std::uint64_t Orders;
};

TPrediction Predict(const TRegisters& After, TEntryKind Kind)
{
    const bool Done = Kind == TEntryKind::ekOrder;
    const std::uint32_t T = Done ? TimeOf(After.OrderTank) : 0;
    return {IsOrder(Kind) ? After.SCR - 1 : After.SCR, After.Elapsed - T, After.ClockAccumulator - T,
            After.Orders - (Done ? 1 : 0)};
}

class TWriter {
public:
    void Byte(std::uint8_t B) { FBytes[FLength++] = B; }
    void Word(TWord W)
    {
        const auto U = static_cast<std::uint32_t>(W);
        Byte(static_cast<std::uint8_t>(U));
        Byte(static_cast<std::uint8_t>(U >> 8));
        Byte(static_cast<std::uint8_t>(U >> 16));
    }
    void Long(std::uint32_t U)
    {
        for (int I = 0; I < 4; ++I)
            Byte(static_cast<std::uint8_t>(U >> (8 * I)));
    }
    void Varint(std::uint64_t U)
    {
        for (; U >= 0x80; U >>= 7)
            Byte(static_cast<std::uint8_t>(U | 0x80));
        Byte(static_cast<std::uint8_t>(U));
    }
    std::uint8_t* Bytes() { return FBytes; }
    std::size_t Length() const { return FLength; }

private:
    std::uint8_t FBytes[THistory::MaxRecord];
    std::size_t FLength = 0;
};

class TReader {
public:
    explicit TReader(const std::uint8_t* Bytes) : FBytes(Bytes) {}
    std::uint8_t Byte() { return FBytes[FAt++]; }
    TWord Word()
    {
        std::uint32_t U = Byte();
        U |= std::uint32_t{Byte()} << 8;
        U |= std::uint32_t{Byte()} << 16;
        // Words are 18 bits; the top byte's sign is kept all the same.
        return static_cast<TWord>(U << 8) >> 8;
    }
    std::uint32_t Long()
    {
        std::uint32_t U = 0;
        for (int I = 0; I < 4; ++I)
            U |= std::uint32_t{Byte()} << (8 * I);
        return U;
    }
    std::uint64_t Varint()
    {
        std::uint64_t U = 0;
        for (int Shift = 0;; Shift += 7) {
            const std::uint8_t B = Byte();
            U |= std::uint64_t{B & 0x7Fu} << Shift;
            if (!(B & 0x80))
                return U;
        }
    }

private:
    const std::uint8_t* FBytes;
    std::size_t FAt = 0;
};

template <std::size_t N>
std::uint8_t ChangedMask(const std::array<TWord, N>& Before, const std::array<TWord, N>& After)
{
    std::uint8_t Mask = 0;
    for (std::size_t I = 0; I < N; ++I)
        if (Before[I] != After[I])
            Mask |= static_cast<std::uint8_t>(1u << I);
    return Mask;
}

template <std::size_t N>
void WriteChanged(TWriter& Out, std::uint8_t Mask, const std::array<TWord, N>& Before)
{
    for (std::size_t I = 0; I < N; ++I)
        if (Mask & (1u << I))
            Out.Word(Before[I]);
}

template <std::size_t N>
void ReadChanged(TReader& In, std::uint8_t Mask, std::array<TWord, N>& Words)
{
    for (std::size_t I = 0; I < N; ++I)
        if (Mask & (1u << I))
            Words[I] = In.Word();
}

// What the order tank held before an order: the word before the order's own
// place, in the store as it was before the order wrote anything.
TWord TankBefore(std::int32_t SCR, const TWordArray& Store)
{
    return SCR >= 1 && SCR <= StoreSize ? Store[static_cast<std::size_t>(SCR - 1)] : 0;
}

} // namespace

THistory::THistory(std::size_t Capacity) : FCapacity(Capacity)
{
    if (Capacity < 256 || !std::has_single_bit(Capacity))
        throw std::invalid_argument("The history's capacity must be a power of two of at least 256 bytes");
    // Left unwritten, the pages cost nothing until records reach them.
    FRing = std::make_unique_for_overwrite<std::uint8_t[]>(Capacity);
}

THistory::~THistory() = default;

void THistory::Clear()
{
    FHead = 0;
    FUsed = 0;
    FOrders = 0;
}

TStepStart THistory::Begin(const TEdsacCore& Core, IEdsacHost& Host, TEntryKind Kind)
{
    TStepStart Start;
    Start.Registers = Core.Registers();
    if (Kind != TEntryKind::ekOrder)
        return Start;
    const TWordArray& Store = Core.GetStoreContents();
    const std::int32_t SCR = Start.Registers.SCR;
    if (SCR < 0 || SCR >= StoreSize)
        return Start;
    Start.OrderWord = Store[static_cast<std::size_t>(SCR)];
    Start.TargetCount = TargetsOf(Start.OrderWord, Start.Targets);
    for (int I = 0; I < Start.TargetCount; ++I)
        Start.Old[I] = Store[static_cast<std::size_t>(Start.Targets[I])];
    Start.Input = WordToOrder(Start.OrderWord).Code == 8;
    if (Start.Input)
        Start.TapeMark = Host.TapeMark();
    return Start;
}

void THistory::Commit(const TStepStart& Start, const TEdsacCore& Core, IEdsacHost& Host, TEntryKind Kind)
{
    const TRegisters& Before = Start.Registers;
    const TRegisters After = Core.Registers();
    const TWordArray& Store = Core.GetStoreContents();
    const TPrediction Guess = Predict(After, Kind);

    std::uint8_t Flags = static_cast<std::uint8_t>(Kind);
    if (Before.SCR != Guess.SCR)
        Flags |= fScr;
    // The word before the order's place, as the store held it before the order.
    TWord TankGuess = After.OrderTank;
    if (IsOrder(Kind)) {
        TankGuess = TankBefore(Before.SCR, Store);
        for (int I = 0; I < Start.TargetCount; ++I)
            if (Start.Targets[I] == Before.SCR - 1)
                TankGuess = Start.Old[I];
    }
    if (Before.OrderTank != TankGuess)
        Flags |= fTank;
    if (Before.ClockAccumulator != Guess.Second)
        Flags |= fSecond;
    if (Before.Elapsed != Guess.Elapsed)
        Flags |= fClock;
    if (Before.Stopped)
        Flags |= fStopped;

    std::uint8_t Flags2 = 0;
    for (int I = 0; I < Start.TargetCount; ++I)
        if (Start.Old[I] != Store[static_cast<std::size_t>(Start.Targets[I])])
            Flags2 |= static_cast<std::uint8_t>(1u << I);
    if (Before.Shift != After.Shift || Before.LastCode != After.LastCode)
        Flags2 |= f2Io;
    const bool TapeMoved = Start.Input && Host.TapeMark() != Start.TapeMark;
    if (TapeMoved)
        Flags2 |= f2Tape;
    if (Flags2)
        Flags |= fMore;

    TWriter Out;
    Out.Byte(Flags);
    const std::uint8_t AccMask = ChangedMask(Before.Acc, After.Acc);
    const std::uint8_t MultrMask = ChangedMask(Before.Multiplier, After.Multiplier);
    const std::uint8_t MultdMask = ChangedMask(Before.Multiplicand, After.Multiplicand);
    Out.Byte(static_cast<std::uint8_t>(AccMask | MultrMask << 4 | MultdMask << 6));
    if (Flags2)
        Out.Byte(Flags2);
    if (Flags & fScr) {
        Out.Byte(static_cast<std::uint8_t>(Before.SCR));
        Out.Byte(static_cast<std::uint8_t>(Before.SCR >> 8));
    }
    if (Flags & fTank)
        Out.Word(Before.OrderTank);
    if (Flags & fSecond)
        Out.Long(Before.ClockAccumulator);
    if (Flags & fClock)
        Out.Long(Before.Elapsed);
    WriteChanged(Out, AccMask, Before.Acc);
    WriteChanged(Out, MultrMask, Before.Multiplier);
    WriteChanged(Out, MultdMask, Before.Multiplicand);
    for (int I = 0; I < Start.TargetCount; ++I)
        if (Flags2 & (1u << I))
            Out.Word(Start.Old[I]);
    if (Flags2 & f2Io)
        Out.Byte(static_cast<std::uint8_t>((Before.LastCode & 31) | (Before.Shift == tsFigures ? 0x20 : 0)));
    if (TapeMoved)
        Out.Varint(Start.TapeMark);
    Out.Byte(static_cast<std::uint8_t>(Out.Length() + 1));

    const std::size_t Length = Out.Length();
    while (FUsed + Length > FCapacity)
        DropOldest();
    const std::size_t At = FHead & (FCapacity - 1);
    const std::size_t First = std::min(Length, FCapacity - At);
    std::memcpy(FRing.get() + At, Out.Bytes(), First);
    std::memcpy(FRing.get(), Out.Bytes() + First, Length - First);
    FHead += Length;
    FUsed += Length;
    if (IsOrder(Kind))
        ++FOrders;
}

// The length of the record that starts at Start, read from its flags.
std::size_t THistory::LengthAt(std::size_t Start) const
{
    const std::uint8_t Flags = At(Start);
    const std::uint8_t Masks = At(Start + 1);
    const std::uint8_t Flags2 = (Flags & fMore) ? At(Start + 2) : 0;
    std::size_t Length = (Flags & fMore) ? 3 : 2;
    Length += (Flags & fScr) ? 2 : 0;
    Length += (Flags & fTank) ? 3 : 0;
    Length += (Flags & fSecond) ? 4 : 0;
    Length += (Flags & fClock) ? 4 : 0;
    Length += 3 * static_cast<std::size_t>(std::popcount(Masks) + std::popcount(Flags2 & 3u));
    Length += (Flags2 & f2Io) ? 1 : 0;
    if (Flags2 & f2Tape)
        while (At(Start + Length++) & 0x80) {}
    return Length + 1;
}

void THistory::DropOldest()
{
    const std::size_t Tail = FHead - FUsed;
    if (IsOrder(static_cast<TEntryKind>(At(Tail) & 3)))
        --FOrders;
    FUsed -= LengthAt(Tail);
}

TEntryKind THistory::LastKind() const
{
    const std::size_t Length = At(FHead - 1);
    return static_cast<TEntryKind>(At(FHead - Length) & 3);
}

TUndone THistory::UndoLast(TEdsacCore& Core)
{
    const std::size_t Length = At(FHead - 1);
    std::uint8_t Bytes[MaxRecord];
    for (std::size_t I = 0; I < Length; ++I)
        Bytes[I] = At(FHead - Length + I);
    TReader In(Bytes);
    const std::uint8_t Flags = In.Byte();
    const std::uint8_t Masks = In.Byte();
    const std::uint8_t Flags2 = (Flags & fMore) ? In.Byte() : 0;
    const auto Kind = static_cast<TEntryKind>(Flags & 3);

    const TRegisters After = Core.Registers();
    const TPrediction Guess = Predict(After, Kind);
    TRegisters Before = After;
    Before.SCR = Guess.SCR;
    if (Flags & fScr) {
        Before.SCR = In.Byte();
        Before.SCR |= In.Byte() << 8;
    }
    const bool TankGiven = Flags & fTank;
    if (TankGiven)
        Before.OrderTank = In.Word();
    Before.ClockAccumulator = (Flags & fSecond) ? In.Long() : Guess.Second;
    Before.Elapsed = (Flags & fClock) ? In.Long() : Guess.Elapsed;
    Before.Stopped = Flags & fStopped;
    Before.Orders = Guess.Orders;
    ReadChanged(In, Masks & 15u, Before.Acc);
    ReadChanged(In, (Masks >> 4) & 3u, Before.Multiplier);
    ReadChanged(In, Masks >> 6, Before.Multiplicand);

    TUndone Undone;
    Undone.Kind = Kind;
    if (IsOrder(Kind)) {
        Undone.Location = Before.SCR;
        Undone.Order = After.OrderTank;
        Undone.Time = Kind == TEntryKind::ekOrder ? TimeOf(After.OrderTank) : 0;
        int Targets[2];
        TargetsOf(After.OrderTank, Targets);
        for (int I = 0; I < 2; ++I)
            if (Flags2 & (1u << I))
                Core.RestoreWord(Targets[I], In.Word());
        if (!TankGiven)
            Before.OrderTank = TankBefore(Before.SCR, Core.GetStoreContents());
        if (Kind == TEntryKind::ekOrder && WordToOrder(After.OrderTank).Code == 9) {
            Undone.Printed = true;
            Undone.Output = OutputOf(After.LastCode, After.Shift);
        }
    }
    if (Flags2 & f2Io) {
        const std::uint8_t Io = In.Byte();
        Before.LastCode = Io & 31;
        Before.Shift = (Io & 0x20) ? tsFigures : tsLetters;
    }
    if (Flags2 & f2Tape) {
        Undone.TapeMoved = true;
        Undone.TapeMark = In.Varint();
    }
    Core.Restore(Before);
    FHead -= Length;
    FUsed -= Length;
    if (IsOrder(Kind))
        --FOrders;
    return Undone;
}

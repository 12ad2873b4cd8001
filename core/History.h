// The machine's history: what each step changed, kept so that it can be undone
// exactly. A step leaves a small record of the old values of only what it
// changed (never a copy of the store) in a ring of bytes; when the ring is full
// the oldest records make room for the new.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/IOUnit.h"
#include "core/misc.h"

class TEdsacCore;
class IEdsacHost;

// Everything the machine holds outside its store, as one value.
struct TRegisters {
    std::array<TWord, 4> Acc{};
    std::array<TWord, 2> Multiplier{};
    std::array<TWord, 2> Multiplicand{};
    std::int32_t SCR = 0;
    std::int32_t OrderTank = 0;
    std::uint32_t Elapsed = 0;
    std::uint32_t ClockAccumulator = 0;
    bool Stopped = false;
    TTeleprinterShift Shift = tsLetters;
    std::int32_t LastCode = 0;
    std::uint64_t Orders = 0;
    bool operator==(const TRegisters&) const = default;
};

// A step of history: an order that ran, one that failed part-way (its partial
// changes are undone too), a digit dialled, the clock set to zero.
enum class TEntryKind : std::uint8_t { ekOrder, ekFailed, ekDial, ekClock };

// What undoing one step did, for whoever keeps figures and tells the host.
struct TUndone {
    TEntryKind Kind = TEntryKind::ekOrder;
    int Location = 0; // where the order stood (orders, failed or not)
    TWord Order = 0; // the order word it ran
    std::uint32_t Time = 0; // its machine time, in 100 microseconds
    bool Printed = false; // an output order: Output is what it gave the host
    TOutputChar Output;
    bool TapeMoved = false; // an input order moved the tape: TapeMark is where it was
    std::uint64_t TapeMark = 0;
};

// What a step may change, taken before it runs.
struct TStepStart {
    TRegisters Registers;
    TWord OrderWord = 0;
    int TargetCount = 0; // locations the order may write, odd one first
    int Targets[2] = {0, 0};
    TWord Old[2] = {0, 0};
    bool Input = false;
    std::uint64_t TapeMark = 0;
};

class THistory {
public:
    static constexpr std::size_t DefaultCapacity = std::size_t{64} << 20;
    // The largest record: no order changes more than this.
    static constexpr std::size_t MaxRecord = 64;

    // Capacity in bytes, a power of two of at least 256; the memory is claimed
    // only as records fill it.
    explicit THistory(std::size_t Capacity = DefaultCapacity);
    ~THistory();
    THistory(const THistory&) = delete;
    THistory& operator=(const THistory&) = delete;

    void Clear();
    bool Empty() const { return FUsed == 0; }
    // Orders held (failed ones included), and the bytes their records take.
    std::uint64_t Orders() const { return FOrders; }
    std::size_t Bytes() const { return FUsed; }
    std::size_t Capacity() const { return FCapacity; }

    // Before the order at the sequence control runs (or a dial, or the clock set):
    // what it may change.
    static TStepStart Begin(const TEdsacCore& Core, IEdsacHost& Host, TEntryKind Kind);
    // After it: the record of what it did change.
    void Commit(const TStepStart& Start, const TEdsacCore& Core, IEdsacHost& Host, TEntryKind Kind);
    // Undoes the latest step on the core, silently; the host's tape and output
    // are the caller's to put back, from what it returns. The history must not
    // be empty.
    TUndone UndoLast(TEdsacCore& Core);
    // The kind of the latest step; the history must not be empty.
    TEntryKind LastKind() const;

private:
    std::uint8_t At(std::size_t Offset) const { return FRing[Offset & (FCapacity - 1)]; }
    std::size_t LengthAt(std::size_t Start) const;
    void DropOldest();

    std::size_t FCapacity;
    std::unique_ptr<std::uint8_t[]> FRing;
    std::size_t FHead = 0; // where the next record goes, counted without wrapping
    std::size_t FUsed = 0;
    std::uint64_t FOrders = 0;
};

// The arithmetic unit: the 71-bit accumulator, the 35-bit multiplier and
// multiplicand, and every arithmetic step of the order set.
#pragma once

#include <array>
#include <span>

#include "core/misc.h"

class IEdsacHost;

using TAccWords = std::array<TWord, 4>;
using TLongWords = std::array<TWord, 2>;

class TALUnit {
public:
    explicit TALUnit(IEdsacHost& ASim);
    ~TALUnit();
    TALUnit(const TALUnit&) = delete;
    TALUnit& operator=(const TALUnit&) = delete;

    void Init();
    TAccWords ReadAccumulator();
    void WriteAccumulator(TWords Words);
    TLongWords ReadMultiplier();
    void WriteMultiplier(TWords Words);
    TLongWords ReadMultiplicand();
    void WriteMultiplicand(TWords Words);
    void ClearAccumulator();
    void AddToAccumulator(TWords W, TWordLength Length);
    void SubtractFromAccumulator(TWords W, TWordLength Length);
    static void ShiftRight(std::span<TWord> W, TWordLength Length);
    static void ShiftLeft(std::span<TWord> W, TWordLength Length);
    void Multiply(TWords Operand, bool Add);
    TLongWords Collate(TWords Operand);
    void RoundAccumulator();
    void SuspendDisplay() { FDisplayEnabled = false; }
    void ResumeDisplay();
    bool IsNegative() const { return (FAccumulator[0] & SignBit) != 0; }

    // The registers as they stand, without a trace line: for hosts' state dumps.
    const TAccWords& Acc() const { return FAccumulator; }
    const TLongWords& Multr() const { return FMultiplier; }
    const TLongWords& Multd() const { return FMultiplicand; }
    // Puts the registers back as they were, silently: stepping back shows the
    // machine once it has arrived, not at every order on the way.
    void Restore(const TAccWords& Acc, const TLongWords& Multiplier, const TLongWords& Multiplicand)
    {
        FAccumulator = Acc;
        FMultiplier = Multiplier;
        FMultiplicand = Multiplicand;
    }

private:
    void PushAcc(bool Force);

    IEdsacHost& FSim;
    bool FDisplayEnabled = true;
    const TAccWords FRoundingConstant{0, 0, WordTopBit, 0};
    TAccWords FAccumulator{};
    TLongWords FMultiplier{};
    TLongWords FMultiplicand{};
};

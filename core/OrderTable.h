// What each order does, in words, and how long it takes: the one table that the
// tape window's status bar, the history and the check of the Referary all read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/misc.h"

struct TOrderInfo {
    char Letter;
    // Machine time in units of 100 microseconds; 0 for a code that is no order.
    std::uint32_t Time;
    // In words, with {n} for the address, {w} for "the word at n" (or "the long
    // number at n") and {k} for the places of a shift.
    const char* Does;
};

const TOrderInfo& OrderInfo(int Code);

// The places an L or R order shifts: one more than the 0 bits below the lowest
// 1 bit of its whole word.
int ShiftPlaces(const TOrder& Order);

// What the order does, in words, its address written as Where ("64", or
// "θ + 64" for a tape's relative address): "add the word at 64 to the
// accumulator".
std::string OrderDoes(const TOrder& Order, const std::string& Where);
// Its time as the Referary writes it: "1.5 ms", "151.5 ms", or "none".
std::string OrderTimeText(int Code);

// The word of a tape line that stands at Column (from 0), explained: its
// spelling, what it does and its time, "A 64 F — add the word at 64 to the
// accumulator, 1.5 ms". Empty when no order stands there. Letters, an address,
// and a terminator: F or S short, D or L long, @ relative to theta; "T n K"
// and "G K" are the loader's own.
std::string ExplainTapeWord(std::u32string_view Line, std::size_t Column);

// Machine words, orders and the two character tables, plus the text renderings of words.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/MachineConstants.h"

// Every machine word is held right-aligned in a signed 32-bit integer; groups of
// words run from the most significant (element 0) down.
using TWord = std::int32_t;
using TWordArray = std::vector<TWord>;
using TWords = std::span<const TWord>;

enum TWordLength : std::uint8_t { wlShort, wlLong, wlAccumulator };

struct TOrder {
    std::uint8_t Code = 0; // function code 0..31
    std::int32_t Address = 0; // 0..1023
    bool Long = false; // the length bit
    bool Is(TOrderCode C) const { return Code == static_cast<std::uint8_t>(C); }
};

inline TWordLength LengthOf(bool Long)
{
    return Long ? wlLong : wlShort;
}

// What the teleprinter prints for each code: letter shift, then figure shift.
// One Latin-1 byte each; 0xA3 is the pound sign.
inline constexpr char TeleprinterChars[] = "PQWERTYUIOJ_SZK__F_D HNM_LXGABCV"
                                           "0123456789__\"+(__$_; \xA3,._)/#-?:=";

static_assert(sizeof(TeleprinterChars) == sizeof(OrderLetters));

inline TWord MakeOrder(int Code, int Address, bool Long)
{
    return (Code << OrderCodeShift) + (Address << 1) + (Long ? OrderLongBit : 0);
}

// Bit 11 and the bits above 16 take no part in an order.
inline TOrder WordToOrder(TWord Word)
{
    TOrder Order;
    Order.Code = static_cast<std::uint8_t>((Word & OrderCodeMask) >> OrderCodeShift);
    Order.Address = (Word & OrderAddressMask) >> 1;
    Order.Long = (Word & OrderLongBit) != 0;
    return Order;
}
std::string OrderToStr(const TOrder& Order, char ShortMark, char LongMark);
std::string WordToOrderStr(TWord Word, char ShortMark, char LongMark);
std::string WordToIntStr(TWord Word);
// A register's words (the first 17 bits with the sign, each other 18 bits) as one
// signed whole number: a long number from two words, the accumulator from four.
std::string WordsToIntStr(TWords Words);
std::string FracToStr(TWord W0, TWord W1, TWord W2, TWord W3, int Digits);

// Appends a code point to a UTF-8 string.
void AppendUtf8(std::string& Out, char32_t Ch);

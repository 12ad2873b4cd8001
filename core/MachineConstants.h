// The machine's fixed sizes, each written once: the widths of its words and
// their masks, the sign bit, the store and its long tanks, the fields of an
// order word, and the order codes named by their letters.
#pragma once

#include <cstdint>

// A short word, and the top word of every register: 17 bits, bit 16 the sign.
inline constexpr int ShortWordBits = 17;
inline constexpr std::int32_t ShortWordMask = (1 << ShortWordBits) - 1;
inline constexpr std::int32_t SignBit = 1 << (ShortWordBits - 1);
// Every lower word of a long number or of the accumulator: 18 bits. Its top bit,
// bit 17, is the one a short store order leaves alone in its location.
inline constexpr int WordBits = 18;
inline constexpr std::int32_t WordMask = (1 << WordBits) - 1;
inline constexpr std::int32_t WordTopBit = 1 << (WordBits - 1);

// The store: 1024 locations, a ten-bit address, in 32 long tanks of 32, each
// shown as 16 rows of two (a long number a row).
inline constexpr int AddressBits = 10;
inline constexpr int StoreSize = 1 << AddressBits;
inline constexpr int LongTankSize = 32;
inline constexpr int LongTanks = StoreSize / LongTankSize;
inline constexpr int LongTankRows = LongTankSize / 2;

// An order word: the code in bits 12 to 16, the address in bits 1 to 10, and
// bit 0 for a long operand.
inline constexpr int OrderCodes = 32;
inline constexpr int OrderCodeShift = 12;
inline constexpr std::int32_t OrderCodeMask = (OrderCodes - 1) << OrderCodeShift;
inline constexpr std::int32_t AddressMask = StoreSize - 1;
inline constexpr std::int32_t OrderAddressMask = AddressMask << 1;
inline constexpr std::int32_t OrderLongBit = 1;

// Order letters by code (0..31), then the figure spellings used on tape (32 + code).
inline constexpr char OrderLetters[] = "PQWERTYUIOJ#SZK*.F@D!HNM&LXGABCV0123456789___________+-_________";
static_assert(sizeof(OrderLetters) == 2 * OrderCodes + 1);

// The code of an order letter, or -1 for a character that is none.
constexpr int OrderCodeOf(char Letter)
{
    for (int Code = 0; Code < OrderCodes; ++Code)
        if (OrderLetters[Code] == Letter)
            return Code;
    return -1;
}

// The order codes, each the place of its letter in OrderLetters.
enum class TOrderCode : std::uint8_t {
    ocP = OrderCodeOf('P'),
    ocQ = OrderCodeOf('Q'),
    ocW = OrderCodeOf('W'),
    ocE = OrderCodeOf('E'),
    ocR = OrderCodeOf('R'),
    ocT = OrderCodeOf('T'),
    ocY = OrderCodeOf('Y'),
    ocU = OrderCodeOf('U'),
    ocI = OrderCodeOf('I'),
    ocO = OrderCodeOf('O'),
    ocJ = OrderCodeOf('J'),
    ocS = OrderCodeOf('S'),
    ocZ = OrderCodeOf('Z'),
    ocK = OrderCodeOf('K'),
    ocF = OrderCodeOf('F'),
    ocD = OrderCodeOf('D'),
    ocH = OrderCodeOf('H'),
    ocN = OrderCodeOf('N'),
    ocM = OrderCodeOf('M'),
    ocL = OrderCodeOf('L'),
    ocX = OrderCodeOf('X'),
    ocG = OrderCodeOf('G'),
    ocA = OrderCodeOf('A'),
    ocB = OrderCodeOf('B'),
    ocC = OrderCodeOf('C'),
    ocV = OrderCodeOf('V'),
};

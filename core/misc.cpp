#include "core/misc.h"

std::string OrderToStr(const TOrder& Order, char ShortMark, char LongMark)
{
    std::string Text(1, OrderLetters[Order.Code & (OrderCodes - 1)]);
    Text += ' ';
    Text += std::to_string(Order.Address);
    Text += ' ';
    Text += Order.Long ? LongMark : ShortMark;
    return Text;
}

std::string WordToOrderStr(TWord Word, char ShortMark, char LongMark)
{
    return OrderToStr(WordToOrder(Word), ShortMark, LongMark);
}

std::string WordToIntStr(TWord Word)
{
    return std::to_string((Word & (SignBit - 1)) - (Word & SignBit));
}

std::string WordsToIntStr(TWords Words)
{
    // Little 18-bit limbs, the most significant first, worked as a number in base
    // 2^18 so that no width of integer limits the register.
    std::vector<std::uint32_t> Limbs(Words.size());
    for (size_t I = 0; I < Words.size(); ++I)
        Limbs[I] = static_cast<std::uint32_t>(Words[I] & (I == 0 ? ShortWordMask : WordMask));
    const bool Negative = !Limbs.empty() && (Limbs[0] & SignBit);
    if (Negative) {
        // Two's complement across the limbs: every bit inverted, then one added.
        std::uint32_t Carry = 1;
        for (size_t I = Limbs.size(); I-- > 0;) {
            const std::uint32_t Mask = I == 0 ? ShortWordMask : WordMask;
            const std::uint32_t Sum = (~Limbs[I] & Mask) + Carry;
            Limbs[I] = Sum & Mask;
            Carry = Sum > Mask ? 1 : 0;
        }
    }
    std::string Digits;
    bool Zero = false;
    while (!Zero) {
        std::uint32_t Rest = 0;
        Zero = true;
        for (std::uint32_t& Limb : Limbs) {
            const std::uint32_t Value = (Rest << WordBits) | Limb;
            Limb = Value / 10;
            Rest = Value % 10;
            Zero = Zero && Limb == 0;
        }
        Digits.insert(Digits.begin(), static_cast<char>('0' + Rest));
    }
    return Negative ? "-" + Digits : Digits;
}

std::string FracToStr(TWord W0, TWord W1, TWord W2, TWord W3, int Digits)
{
    std::string Prefix;
    if (W0 & SignBit) {
        // One's complement: the magnitude less one unit of the lowest place,
        // which the rounding below absorbs except at an exact decimal tie.
        W0 = ~W0 & ShortWordMask;
        W1 = ~W1 & WordMask;
        W2 = ~W2 & WordMask;
        W3 = ~W3 & WordMask;
        Prefix = "-";
    } else {
        W0 &= ShortWordMask;
        W1 &= WordMask;
        W2 &= WordMask;
        W3 &= WordMask;
    }
    if (Digits <= 0)
        return Prefix + "0.";

    // The magnitude is N / 2^70 with N = W0 * 2^54 + W1 * 2^36 + W2 * 2^18 + W3,
    // below 2^70 since W0 has no sign bit left. It is worked in whole numbers, as
    // High * 2^35 + Low, so every platform prints the same digits: floating point
    // would round ties by the width of its significand.
    constexpr std::uint64_t Half = std::uint64_t(1) << 35;
    constexpr std::uint64_t Mask = Half - 1;
    const auto U = [](TWord W) { return static_cast<std::uint64_t>(W); };
    std::uint64_t Low = U(W3) | (U(W2) & 0x1FFFF) << 18;
    std::uint64_t High = U(W2) >> 17 | U(W1) << 1 | U(W0) << 19;

    // Each digit is the whole part of ten times what is left; neither product
    // goes past 2^39.
    std::string Text(static_cast<std::size_t>(Digits), '0');
    for (char& Digit : Text) {
        Low *= 10;
        High = High * 10 + (Low >> 35);
        Low &= Mask;
        Digit = static_cast<char>('0' + (High >> 35));
        High &= Mask;
    }
    // What is left is a fraction of the last place: from one half up, round up.
    if (High >= Half / 2) {
        auto Digit = Text.rbegin();
        for (; Digit != Text.rend() && *Digit == '9'; ++Digit)
            *Digit = '0';
        if (Digit == Text.rend())
            // A magnitude that rounds up to one has no "0." form: show it as 1.000...
            return Prefix + "1." + Text;
        ++*Digit;
    }
    return Prefix + "0." + Text;
}

void AppendUtf8(std::string& Out, char32_t Ch)
{
    if (Ch < 0x80) {
        Out += static_cast<char>(Ch);
    } else if (Ch < 0x800) {
        Out += static_cast<char>(0xC0 | (Ch >> 6));
        Out += static_cast<char>(0x80 | (Ch & 0x3F));
    } else if (Ch < 0x10000) {
        Out += static_cast<char>(0xE0 | (Ch >> 12));
        Out += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Ch & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Ch >> 18));
        Out += static_cast<char>(0x80 | ((Ch >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Ch & 0x3F));
    }
}

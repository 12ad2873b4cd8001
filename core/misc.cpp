#include "core/misc.h"

std::string OrderToStr(const TOrder& Order, char ShortMark, char LongMark)
{
    std::string Text(1, OrderLetters[Order.Code & 31]);
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
    return std::to_string((Word & 0xFFFF) - (Word & 0x10000));
}

std::string FracToStr(TWord W0, TWord W1, TWord W2, TWord W3, int Digits)
{
    std::string Prefix;
    if (W0 & 0x10000) {
        // One's complement: the magnitude less one unit of the lowest place,
        // which the rounding below absorbs.
        W0 = ~W0 & 0x1FFFF;
        W1 = ~W1 & 0x3FFFF;
        W2 = ~W2 & 0x3FFFF;
        W3 = ~W3 & 0x3FFFF;
        Prefix = "-";
    } else {
        W0 &= 0x1FFFF;
        W1 &= 0x3FFFF;
        W2 &= 0x3FFFF;
        W3 &= 0x3FFFF;
    }
    if (Digits <= 0)
        return Prefix + "0.";

    // Extended precision, summed from the lowest word up, as the panel always has.
    long double F = W3 / 262144.0L;
    F = (F + W2) / 262144.0L;
    F = (F + W1) / 262144.0L;
    F = (F + W0) / 65536.0L;

    long double R = 0.5L;
    for (int I = 0; I < Digits; ++I)
        R /= 10;
    F += R;

    // A magnitude that rounds up to one has no "0." form: show it as 1.000...
    if (F >= 1.0L)
        return Prefix + "1." + std::string(static_cast<size_t>(Digits), '0');

    std::string Text = Prefix + "0.";
    for (int I = 0; I < Digits; ++I) {
        F *= 10;
        int D = static_cast<int>(F);
        Text += static_cast<char>('0' + D);
        F -= D;
    }
    return Text;
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

#include "core/TraceLine.h"

std::string TTraceLine::str() const
{
    std::string Line;
    for (int I = 0; I < FCount; ++I) {
        const TPart& P = FParts[I];
        switch (P.Kind) {
        case TKind::Text: Line += P.Text; break;
        case TKind::Number: Line += std::to_string(P.Number); break;
        case TKind::Char: AppendUtf8(Line, static_cast<char32_t>(P.Number)); break;
        case TKind::Order: {
            TOrder Order;
            Order.Code = static_cast<std::uint8_t>(P.Number >> 32);
            Order.Address = static_cast<std::int32_t>((P.Number & 0xFFFFFFFF) >> 1);
            Order.Long = (P.Number & 1) != 0;
            Line += OrderToStr(Order, 'S', 'L');
            break;
        }
        }
    }
    return Line;
}

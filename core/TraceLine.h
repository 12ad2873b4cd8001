// A trace line kept as its parts and spelt out only when a host asks for it, so a
// host that drops trace lines pays for a few stores, not for string building.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>

#include "core/misc.h"

class TTraceLine {
public:
    static constexpr int MaxParts = 5;

    template <typename... TArgs>
    requires(sizeof...(TArgs) >= 1 && sizeof...(TArgs) <= MaxParts)
        TTraceLine(TArgs... parts) // NOLINT: implicit, so a literal is a trace line
    {
        (Add(parts), ...);
    }

    // The line as text (UTF-8).
    std::string str() const;

private:
    enum class TKind : std::uint8_t { Text, Number, Char, Order };
    // Only the first FCount parts are ever set or read: a line is built on every
    // step of the machine, so unused parts are not cleared.
    struct TPart {
        TKind Kind;
        const char* Text; // a literal, never owned
        std::int64_t Number; // a number, a code point or a packed order
    };

    void Add(const char* Text) { FParts[FCount++] = TPart{TKind::Text, Text, 0}; }
    void Add(char32_t Ch) { FParts[FCount++] = TPart{TKind::Char, nullptr, Ch}; }
    // An order is spelt with the marks S and L.
    void Add(const TOrder& Order)
    {
        FParts[FCount++] = TPart{TKind::Order, nullptr,
                                 (std::int64_t{Order.Code} << 32) | (Order.Address << 1) | (Order.Long ? 1 : 0)};
    }
    void Add(std::integral auto N) { FParts[FCount++] = TPart{TKind::Number, nullptr, static_cast<std::int64_t>(N)}; }

    TPart FParts[MaxParts];
    int FCount = 0;
};

// The two bootstrap loaders, laid down word by word in the lowest locations.
#pragma once

#include <cstdint>
#include <optional>

class TStore;

// The machine's choice of loader. The settings file and the menus number the
// loaders 1 and 2, and a list of the two puts the first at index 0: every one of
// them converts here rather than doing its own arithmetic.
enum TInitialOrders : std::uint8_t { ioOrders1 = 0, ioOrders2 = 1 };

constexpr TInitialOrders InitialOrdersChoice(bool Second)
{
    return Second ? ioOrders2 : ioOrders1;
}

// The position in a list that holds "Initial Orders 1" and "Initial Orders 2".
constexpr int InitialOrdersIndex(TInitialOrders Orders)
{
    return Orders;
}
constexpr std::optional<TInitialOrders> InitialOrdersAtIndex(int Index)
{
    if (Index == ioOrders1 || Index == ioOrders2)
        return static_cast<TInitialOrders>(Index);
    return std::nullopt;
}

// The number a user reads, 1 or 2, as the settings file keeps it.
constexpr int InitialOrdersNumber(TInitialOrders Orders)
{
    return InitialOrdersIndex(Orders) + 1;
}
constexpr std::optional<TInitialOrders> InitialOrdersNumbered(int Number)
{
    return InitialOrdersAtIndex(Number - 1);
}

void LoadInitialOrders1(TStore& Store);
void LoadInitialOrders2(TStore& Store);

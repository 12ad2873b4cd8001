// One long tank of the store as a window shows it: 32 locations in 16 rows of
// two, row 0 the lowest. In each row the odd location, the more significant
// word of a long number, stands first (column 0), the even one second.
#pragma once

#include <optional>

#include "core/MachineConstants.h"

struct TTankPlace {
    int Row;
    int Column;
};

constexpr int LongTankAddress(int Tank, int Row, int Column)
{
    return LongTankSize * Tank + 2 * Row + 1 - Column;
}

// Where Address shows when Tank is on view; none when it lies in another tank.
constexpr std::optional<TTankPlace> LongTankPlace(int Tank, int Address)
{
    const int Offset = Address - LongTankSize * Tank;
    if (Offset < 0 || Offset >= LongTankSize)
        return std::nullopt;
    return TTankPlace{Offset / 2, 1 - Offset % 2};
}

#include "core/initial_orders.h"

#include "core/Store.h"
#include "core/misc.h"

namespace {

struct TInitialOrder {
    char Letter;
    int Address;
    bool Long;
};

template <size_t N>
void Lay(TStore& Store, const TInitialOrder (&Orders)[N])
{
    for (size_t Loc = 0; Loc < N; ++Loc)
        Store.WriteWord(static_cast<int>(Loc),
                        MakeOrder(OrderCodeOf(Orders[Loc].Letter), Orders[Loc].Address, Orders[Loc].Long));
}

constexpr TInitialOrder InitialOrders1[] = {
    {'T', 0, false}, {'H', 2, false},  {'T', 0, false},  {'E', 6, false},  {'P', 1, false},  {'P', 5, false},
    {'T', 0, false}, {'I', 0, false},  {'A', 0, false},  {'R', 16, false}, {'T', 0, true},   {'I', 2, false},
    {'A', 2, false}, {'S', 5, false},  {'E', 21, false}, {'T', 3, false},  {'V', 1, false},  {'L', 8, false},
    {'A', 2, false}, {'T', 1, false},  {'E', 11, false}, {'R', 4, false},  {'A', 1, false},  {'L', 0, true},
    {'A', 0, false}, {'T', 31, false}, {'A', 25, false}, {'A', 4, false},  {'U', 25, false}, {'S', 31, false},
    {'G', 6, false},
};

constexpr TInitialOrder InitialOrders2[] = {
    {'T', 0, false},  {'E', 20, false}, {'P', 1, false},  {'U', 2, false},  {'A', 39, false}, {'R', 4, false},
    {'V', 0, false},  {'L', 8, false},  {'T', 0, false},  {'I', 1, false},  {'A', 1, false},  {'S', 39, false},
    {'G', 4, false},  {'L', 0, true},   {'S', 39, false}, {'E', 17, false}, {'S', 7, false},  {'A', 35, false},
    {'T', 20, false}, {'A', 0, false},  {'H', 8, false},  {'A', 40, false}, {'T', 43, false}, {'A', 22, false},
    {'A', 2, false},  {'T', 22, false}, {'E', 34, false}, {'A', 43, false}, {'E', 8, false},  {'A', 42, false},
    {'A', 40, false}, {'E', 25, false}, {'A', 22, false}, {'T', 42, false}, {'I', 40, true},  {'A', 40, true},
    {'R', 16, false}, {'T', 40, true},  {'E', 8, false},  {'P', 5, true},   {'P', 0, true},
};

static_assert(std::size(InitialOrders1) == 31 && std::size(InitialOrders2) == 41);

} // namespace

void LoadInitialOrders1(TStore& Store)
{
    Lay(Store, InitialOrders1);
}

void LoadInitialOrders2(TStore& Store)
{
    Lay(Store, InitialOrders2);
}

#include "components/PanelPresenter.h"

#include <array>
#include <cstddef>

#include "core/LongTank.h"

void TPanelPresenter::ShowStore(TWords Store)
{
    const int Tank = FView.LongTank();
    for (int Row = 0; Row < LongTankRows; ++Row) {
        const auto First = static_cast<std::size_t>(LongTankAddress(Tank, Row, 0));
        const auto Second = static_cast<std::size_t>(LongTankAddress(Tank, Row, 1));
        if (First >= Store.size())
            break;
        const std::array<TWord, 2> Pair{Store[First], Store[Second]};
        FView.ShowStoreRow(Row, Pair);
    }
}

void TPanelPresenter::ShowStoreWord(int Address, TWord Value)
{
    if (const auto Place = LongTankPlace(FView.LongTank(), Address))
        FView.ShowStoreWord(Place->Row, Place->Column, Value);
}

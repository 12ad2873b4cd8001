// The machine's display calls, routed to a panel: register changes through the
// Short Tanks switch, the store through the long tank on view. Both user
// interfaces show the machine this one way.
#pragma once

#include "components/PanelView.h"

class TPanelPresenter {
public:
    explicit TPanelPresenter(IPanelView& AView) : FView(AView) {}

    // With Short Tanks off a running machine leaves the register tubes as they are;
    // a register that is cleared (Force) is shown all the same.
    void SetShortTanks(bool On) { FShortTanks = On; }
    bool ShortTanks() const { return FShortTanks; }
    void ShowRegister(TRegister Register, bool Force, TWords Words)
    {
        if (Force || FShortTanks)
            FView.ShowRegister(Register, Words);
    }

    // The long tank on view, drawn from the whole store.
    void ShowStore(TWords Store);
    // A location written: drawn only if it lies in the long tank on view.
    void ShowStoreWord(int Address, TWord Value);

private:
    IPanelView& FView;
    bool FShortTanks = true;
};

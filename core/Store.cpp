#include "core/Store.h"

#include "core/MachineHost.h"

TStore::TStore(int Size, IEdsacHost& ASim) : FWords(static_cast<size_t>(Size), 0), FSim(ASim)
{
    FSim.StoreMessage("Store is active");
}

TStore::~TStore()
{
    FSim.StoreMessage("Store is terminating");
    FWords.clear();
    FSim.StoreMessage("Store is terminated");
}

void TStore::Init()
{
    std::fill(FWords.begin(), FWords.end(), 0);
    FSim.UpdateStoreDisplay(FWords);
    FSim.StoreMessage("Store initialised");
}

TWord TStore::ReadWord(int Address)
{
    FSim.StoreMessage({"Read loc ", Address});
    return FWords[static_cast<size_t>(Address)];
}

void TStore::WriteWord(int Address, TWord Value)
{
    FSim.StoreMessage({"Write: ", Value, " @ loc ", Address});
    FWords[static_cast<size_t>(Address)] = Value;
    FSim.UpdateStoreWord(Address, Value);
}

std::array<TWord, 2> TStore::Read(int Address, TWordLength Length)
{
    switch (Length) {
    case wlShort:
        FSim.StoreMessage({"Read loc ", Address});
        return {FWords[static_cast<size_t>(Address)] & ShortWordMask, 0};
    case wlLong: {
        const int Base = Address & (WordMask & ~1);
        std::array<TWord, 2> Result{FWords[static_cast<size_t>(Base + 1)], FWords[static_cast<size_t>(Base)]};
        FSim.StoreMessage({"Read long @ ", Base + 1, " and ", Base});
        return Result;
    }
    case wlAccumulator: break;
    }
    return {0, 0};
}

void TStore::Write(int Address, TWordLength Length, TWords Value)
{
    switch (Length) {
    case wlShort: {
        TWord& Location = FWords[static_cast<size_t>(Address)];
        Location = Value[0] | (Location & WordTopBit);
        FSim.StoreMessage({"Write: ", Value[0], " @ loc ", Address});
        FSim.UpdateStoreWord(Address, Location);
        break;
    }
    case wlLong: {
        const int Base = Address & (WordMask & ~1);
        FWords[static_cast<size_t>(Base + 1)] = Value[0];
        FWords[static_cast<size_t>(Base)] = Value[1];
        FSim.StoreMessage({"Write: ", Value[0], " @ loc ", Base + 1});
        FSim.StoreMessage({"       ", Value[1], " @ loc ", Base});
        FSim.UpdateStoreWord(Base + 1, Value[0]);
        FSim.UpdateStoreWord(Base, Value[1]);
        break;
    }
    case wlAccumulator: break;
    }
}

#include "core/Store.h"

#include "bridge/gui_core_int.h"

TStore::TStore(int Size, IEdsacSim& Sim) : Words(static_cast<size_t>(Size), 0), Sim(Sim)
{
    Sim.StoreMessage("Store is active");
}

TStore::~TStore()
{
    Sim.StoreMessage("Store is terminating");
    Words.clear();
    Sim.StoreMessage("Store is terminated");
}

void TStore::Init()
{
    std::fill(Words.begin(), Words.end(), 0);
    Sim.UpdateStoreDisplay(Words);
    Sim.StoreMessage("Store initialised");
}

TWord TStore::ReadWord(int Address)
{
    Sim.StoreMessage({"Read loc ", Address});
    return Words[static_cast<size_t>(Address)];
}

void TStore::WriteWord(int Address, TWord Value)
{
    Sim.StoreMessage({"Write: ", Value, " @ loc ", Address});
    Words[static_cast<size_t>(Address)] = Value;
    Sim.UpdateStoreWord(Address, Value);
}

std::array<TWord, 2> TStore::Read(int Address, TWordLength Length)
{
    switch (Length) {
    case wlShort:
        Sim.StoreMessage({"Read loc ", Address});
        return {Words[static_cast<size_t>(Address)] & 0x1FFFF, 0};
    case wlLong: {
        const int Base = Address & 0x3FFFE;
        std::array<TWord, 2> Result{Words[static_cast<size_t>(Base + 1)], Words[static_cast<size_t>(Base)]};
        Sim.StoreMessage({"Read long @ ", Base + 1, " and ", Base});
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
        TWord& Location = Words[static_cast<size_t>(Address)];
        Location = Value[0] | (Location & 0x20000);
        Sim.StoreMessage({"Write: ", Value[0], " @ loc ", Address});
        Sim.UpdateStoreWord(Address, Location);
        break;
    }
    case wlLong: {
        const int Base = Address & 0x3FFFE;
        Words[static_cast<size_t>(Base + 1)] = Value[0];
        Words[static_cast<size_t>(Base)] = Value[1];
        Sim.StoreMessage({"Write: ", Value[0], " @ loc ", Base + 1});
        Sim.StoreMessage({"       ", Value[1], " @ loc ", Base});
        Sim.UpdateStoreWord(Base + 1, Value[0]);
        Sim.UpdateStoreWord(Base, Value[1]);
        break;
    }
    case wlAccumulator: break;
    }
}

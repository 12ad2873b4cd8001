#include "core/EdsacCore.h"

#include "bridge/gui_core_int.h"
#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/IOUnit.h"
#include "core/Store.h"

TEdsacCore::TEdsacCore(IEdsacSim& Sim) : Sim(Sim)
{
    Sim.CoreMessage("Creating simulator core");
    Sim.CoreMessage("=======================");
    Sim.CoreMessage("Creating store");
    Store = std::make_unique<TStore>(1024, Sim);
    Sim.CoreMessage("Creating ALU");
    ALU = std::make_unique<TALUnit>(Sim);
    Sim.CoreMessage("Creating I/O unit");
    IOUnit = std::make_unique<TIOUnit>(Sim);
    Sim.CoreMessage("Creating control unit");
    ControlUnit = std::make_unique<TControlUnit>(*ALU, *Store, *IOUnit, Sim);
    Sim.CoreMessage("Edsac core is active");
}

// The units normally go in Shutdown, with their trace lines; a core destroyed
// without it still frees them, in the same order.
TEdsacCore::~TEdsacCore()
{
    ControlUnit.reset();
    ALU.reset();
    IOUnit.reset();
    Store.reset();
}

void TEdsacCore::Init()
{
    Sim.CoreMessage("Edsac initialising...");
    ALU->Init();
    ControlUnit->Init();
    Store->Init();
    Sim.CoreMessage("Edsac initialised");
}

void TEdsacCore::LoadInitialOrders()
{
    switch (InitialOrders) {
    case ioOrders1:
        Sim.CoreMessage("Loading initial orders 1");
        LoadInitialOrders1(*Store);
        break;
    case ioOrders2:
        Sim.CoreMessage("Loading initial orders 2");
        LoadInitialOrders2(*Store);
        break;
    default:
        Sim.CoreMessage("Unknown initial orders?!!");
        break;
    }
}

int TEdsacCore::ExecuteOrder()
{
    return ControlUnit->ExecuteOrder();
}

bool TEdsacCore::IsStopped() const
{
    return ControlUnit->IsStopped();
}

void TEdsacCore::ClearStop()
{
    ControlUnit->ClearStop();
}

void TEdsacCore::Dial(int Digit)
{
    TAccWords Words = ALU->ReadAccumulator();
    // The top word keeps its 17 bits: a sum past them wraps, as every addition does.
    Words[0] = (Words[0] + 2 * Digit) & 0x1FFFF;
    ALU->WriteAccumulator(Words);
}

const TWordArray& TEdsacCore::GetStoreContents() const
{
    return Store->GetContents();
}

void TEdsacCore::ResetClock()
{
    ControlUnit->ResetClock();
}

void TEdsacCore::UpdateDisplays()
{
    Sim.UpdateAccDisplay(false, ALU->ReadAccumulator());
    Sim.UpdateScrDisplay(false, std::array<TWord, 1>{ControlUnit->GetSCR()});
    Sim.UpdateOrdDisplay(false, std::array<TWord, 1>{ControlUnit->GetOrderTank()});
    Sim.UpdateMultrDisplay(false, ALU->ReadMultiplier());
    Sim.UpdateMultdDisplay(false, ALU->ReadMultiplicand());
}

void TEdsacCore::Shutdown()
{
    Sim.CoreMessage("Core shutting down...");
    Sim.CoreMessage(" Kill control unit");
    ControlUnit.reset();
    Sim.CoreMessage(" Kill ALU");
    ALU.reset();
    Sim.CoreMessage(" Kill IO");
    IOUnit.reset();
    Sim.CoreMessage(" Kill Store");
    Store.reset();
    Sim.CoreMessage("Edsac is dead!");
}

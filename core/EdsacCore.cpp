#include "core/EdsacCore.h"

#include "core/MachineHost.h"
#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/IOUnit.h"
#include "core/Store.h"

TEdsacCore::TEdsacCore(IEdsacHost& ASim) : FSim(ASim)
{
    FSim.CoreMessage("Creating simulator core");
    FSim.CoreMessage("=======================");
    FSim.CoreMessage("Creating store");
    FStore = std::make_unique<TStore>(StoreSize, FSim);
    FSim.CoreMessage("Creating ALU");
    FALU = std::make_unique<TALUnit>(FSim);
    FSim.CoreMessage("Creating I/O unit");
    FIOUnit = std::make_unique<TIOUnit>(FSim);
    FSim.CoreMessage("Creating control unit");
    FControlUnit = std::make_unique<TControlUnit>(*FALU, *FStore, *FIOUnit, FSim);
    FSim.CoreMessage("Edsac core is active");
}

// The units normally go in Shutdown, with their trace lines; a core destroyed
// without it still frees them, in the same order.
TEdsacCore::~TEdsacCore()
{
    FControlUnit.reset();
    FALU.reset();
    FIOUnit.reset();
    FStore.reset();
}

void TEdsacCore::Init()
{
    FSim.CoreMessage("Edsac initialising...");
    FALU->Init();
    FControlUnit->Init();
    FStore->Init();
    FSim.CoreMessage("Edsac initialised");
}

void TEdsacCore::LoadInitialOrders()
{
    switch (FInitialOrders) {
    case ioOrders1:
        FSim.CoreMessage("Loading initial orders 1");
        LoadInitialOrders1(*FStore);
        break;
    case ioOrders2:
        FSim.CoreMessage("Loading initial orders 2");
        LoadInitialOrders2(*FStore);
        break;
    default: FSim.CoreMessage("Unknown initial orders?!!"); break;
    }
}

int TEdsacCore::ExecuteOrder()
{
    return FControlUnit->ExecuteOrder();
}

bool TEdsacCore::IsStopped() const
{
    return FControlUnit->IsStopped();
}

void TEdsacCore::ClearStop()
{
    FControlUnit->ClearStop();
}

void TEdsacCore::Dial(int Digit)
{
    TAccWords Words = FALU->ReadAccumulator();
    // The top word keeps its 17 bits: a sum past them wraps, as every addition does.
    Words[0] = (Words[0] + 2 * Digit) & ShortWordMask;
    FALU->WriteAccumulator(Words);
}

const TWordArray& TEdsacCore::GetStoreContents() const
{
    return FStore->GetContents();
}

void TEdsacCore::ResetClock()
{
    FControlUnit->ResetClock();
}

void TEdsacCore::UpdateDisplays()
{
    FSim.UpdateRegisterDisplay(TRegister::rgAccumulator, false, FALU->ReadAccumulator());
    FSim.UpdateRegisterDisplay(TRegister::rgSequenceControl, false, std::array<TWord, 1>{FControlUnit->GetSCR()});
    FSim.UpdateRegisterDisplay(TRegister::rgOrderTank, false, std::array<TWord, 1>{FControlUnit->GetOrderTank()});
    FSim.UpdateRegisterDisplay(TRegister::rgMultiplier, false, FALU->ReadMultiplier());
    FSim.UpdateRegisterDisplay(TRegister::rgMultiplicand, false, FALU->ReadMultiplicand());
}

TRegisters TEdsacCore::Registers() const
{
    TRegisters R;
    R.Acc = FALU->Acc();
    R.Multiplier = FALU->Multr();
    R.Multiplicand = FALU->Multd();
    R.SCR = FControlUnit->GetSCR();
    R.OrderTank = FControlUnit->GetOrderTank();
    R.Elapsed = FControlUnit->GetElapsedTime();
    R.ClockAccumulator = FControlUnit->GetClockAccumulator();
    R.Stopped = FControlUnit->IsStopped();
    R.Shift = FIOUnit->GetShift();
    R.LastCode = FIOUnit->LastChar();
    R.Orders = FControlUnit->GetOrderCount();
    return R;
}

void TEdsacCore::Restore(const TRegisters& R)
{
    FALU->Restore(R.Acc, R.Multiplier, R.Multiplicand);
    FControlUnit->Restore(R.SCR, R.OrderTank, R.Elapsed, R.ClockAccumulator, R.Stopped, R.Orders);
    FIOUnit->Restore(R.Shift, R.LastCode);
}

void TEdsacCore::RestoreWord(int Address, TWord Value)
{
    FStore->Restore(Address, Value);
}

void TEdsacCore::ShowState()
{
    FSim.UpdateStoreDisplay(FStore->GetContents());
    UpdateDisplays();
    FSim.UpdateClock(FControlUnit->GetElapsedTime());
}

void TEdsacCore::Shutdown()
{
    FSim.CoreMessage("Core shutting down...");
    FSim.CoreMessage(" Kill control unit");
    FControlUnit.reset();
    FSim.CoreMessage(" Kill ALU");
    FALU.reset();
    FSim.CoreMessage(" Kill IO");
    FIOUnit.reset();
    FSim.CoreMessage(" Kill Store");
    FStore.reset();
    FSim.CoreMessage("Edsac is dead!");
}

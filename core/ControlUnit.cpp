#include "core/ControlUnit.h"

#include <string>

#include "core/MachineHost.h"
#include "core/ALUnit.h"
#include "core/IOUnit.h"
#include "core/Store.h"
#include "core/errors.h"
#include "core/messages.h"

namespace {

// Order durations in units of 100 microseconds.
constexpr std::uint32_t OrdinaryTime = 15;
constexpr std::uint32_t MultiplyTime = 60;
constexpr std::uint32_t InputTime = 215;
constexpr std::uint32_t OutputTime = 1515;
constexpr std::uint32_t OneSecond = 10000;

} // namespace

TControlUnit::TControlUnit(TALUnit& AALU, TStore& AStore, TIOUnit& AIOUnit, IEdsacHost& ASim)
    : FSim(ASim), FALU(AALU), FStore(AStore), FIOUnit(AIOUnit)
{
    FSim.ControlMessage("Control unit active");
}

TControlUnit::~TControlUnit()
{
    FSim.ControlMessage("Control unit terminated");
}

void TControlUnit::Init()
{
    FSCR = 0;
    FSim.UpdateRegisterDisplay(TRegister::rgSequenceControl, true, std::array<TWord, 1>{FSCR});
    FOrderTank = 0;
    FSim.UpdateRegisterDisplay(TRegister::rgOrderTank, true, std::array<TWord, 1>{FOrderTank});
    FStopped = false;
    FElapsedTime = 0;
    FClockAccumulator = OneSecond;
    FOrderCount = 0;
    FSim.ControlMessage("Control unit initialised");
}

void TControlUnit::ResetClock()
{
    FElapsedTime = 0;
    FClockAccumulator = OneSecond;
    FSim.UpdateClock(0);
}

void TControlUnit::AdvanceClock(std::uint32_t T)
{
    FElapsedTime += T;
    FClockAccumulator += T;
    if (FClockAccumulator >= OneSecond) {
        FSim.UpdateClock(FElapsedTime);
        FClockAccumulator = 0;
    }
}

void TControlUnit::UnknownOrder()
{
    FSim.ControlMessage({"Unknown order! Opcode=", FCurrentOrder.Code});
    throw EUnknownOrder(Messages::Fill(Messages::UnknownOrder, {std::to_string(FCurrentOrder.Code)}));
}

void TControlUnit::ShiftAccumulator(bool Left)
{
    FALU.SuspendDisplay();
    TAccWords Words = FALU.ReadAccumulator();
    auto ShiftOnce = [&] {
        if (Left)
            TALUnit::ShiftLeft(Words, wlAccumulator);
        else
            TALUnit::ShiftRight(Words, wlAccumulator);
    };
    ShiftOnce();
    // One more place for every 0 bit below the lowest 1 bit of the order word.
    std::array<TWord, 1> Count{FOrderTank};
    while ((Count[0] & 1) == 0) {
        ShiftOnce();
        TALUnit::ShiftRight(Count, wlShort);
    }
    FALU.WriteAccumulator(Words);
    FALU.ResumeDisplay();
}

int TControlUnit::ExecuteOrder()
{
    FSim.ControlMessage({"Fetching order @ loc ", FSCR});
    if (FSCR < 0 || FSCR >= FStore.Size())
        throw EOutOfStore(Messages::Fill(Messages::OutsideTheStore, {std::to_string(FSCR)}));
    FOrderTank = FStore.ReadWord(FSCR);
    FSim.UpdateRegisterDisplay(TRegister::rgOrderTank, false, std::array<TWord, 1>{FOrderTank});
    FSim.UpdateRegisterDisplay(TRegister::rgSequenceControl, false, std::array<TWord, 1>{FSCR});
    ++FSCR;
    FCurrentOrder = WordToOrder(FOrderTank);
    FSim.ControlMessage({"Received order ", FCurrentOrder});

    const int N = FCurrentOrder.Address;
    const TWordLength Length = LengthOf(FCurrentOrder.Long);
    std::uint32_t T = OrdinaryTime;

    switch (static_cast<TOrderCode>(FCurrentOrder.Code)) {
    case TOrderCode::ocE:
        FSim.ControlMessage("Executing E order");
        if (!FALU.IsNegative())
            FSCR = N;
        break;
    case TOrderCode::ocR:
        FSim.ControlMessage("Executing R Order");
        ShiftAccumulator(false);
        break;
    case TOrderCode::ocT: {
        FSim.ControlMessage("Executing T order");
        const TAccWords Words = FALU.ReadAccumulator();
        FStore.Write(N, Length, Words);
        FALU.ClearAccumulator();
        break;
    }
    case TOrderCode::ocY:
        FSim.ControlMessage("Executing Y order");
        FALU.RoundAccumulator();
        break;
    case TOrderCode::ocU: {
        FSim.ControlMessage("Executing U order");
        const TAccWords Words = FALU.ReadAccumulator();
        FStore.Write(N, Length, Words);
        break;
    }
    case TOrderCode::ocI: {
        FSim.ControlMessage("Executing I order");
        const int C = FIOUnit.ReadChar();
        FStore.Write(N, Length, std::array<TWord, 2>{C, 0});
        T = InputTime;
        break;
    }
    case TOrderCode::ocO: {
        FSim.ControlMessage("Executing O order");
        const auto Operand = FStore.Read(N, Length);
        FALU.WriteMultiplicand(Operand);
        FIOUnit.PrintChar((Operand[0] & OrderCodeMask) >> OrderCodeShift);
        T = OutputTime;
        break;
    }
    case TOrderCode::ocS: {
        FSim.ControlMessage("Executing S order");
        const auto Operand = FStore.Read(N, Length);
        FALU.WriteMultiplicand(Operand);
        FALU.SubtractFromAccumulator(Operand, Length);
        break;
    }
    case TOrderCode::ocZ:
        FSim.ControlMessage("Executing Z order");
        FIOUnit.SignalStop();
        FStopped = true;
        break;
    case TOrderCode::ocF:
        FSim.ControlMessage("Executing F order");
        FStore.Write(N, Length, std::array<TWord, 2>{FIOUnit.LastChar() << OrderCodeShift, 0});
        break;
    case TOrderCode::ocH:
        FSim.ControlMessage("Executing H order");
        FALU.WriteMultiplier(FStore.Read(N, Length));
        break;
    case TOrderCode::ocN:
        FSim.ControlMessage("Executing N order");
        FALU.Multiply(FStore.Read(N, Length), false);
        T = MultiplyTime;
        break;
    case TOrderCode::ocL:
        FSim.ControlMessage("Executing L Order");
        ShiftAccumulator(true);
        break;
    case TOrderCode::ocX: FSim.ControlMessage("Executing null order"); break;
    case TOrderCode::ocG:
        FSim.ControlMessage("Executing G order");
        if (FALU.IsNegative())
            FSCR = N;
        break;
    case TOrderCode::ocA: {
        FSim.ControlMessage("Executing A order");
        const auto Operand = FStore.Read(N, Length);
        FALU.WriteMultiplicand(Operand);
        FALU.AddToAccumulator(Operand, Length);
        break;
    }
    case TOrderCode::ocC: {
        FSim.ControlMessage("Executing C order");
        const auto Collated = FALU.Collate(FStore.Read(N, Length));
        FALU.AddToAccumulator(Collated, Length);
        break;
    }
    case TOrderCode::ocV:
        FSim.ControlMessage("Executing V order");
        FALU.Multiply(FStore.Read(N, Length), true);
        T = MultiplyTime;
        break;
    default: UnknownOrder();
    }

    AdvanceClock(T);
    ++FOrderCount;
    return static_cast<int>(T / 10);
}

#include "core/ControlUnit.h"

#include <string>

#include "bridge/gui_core_int.h"
#include "core/ALUnit.h"
#include "core/IOUnit.h"
#include "core/Store.h"
#include "core/errors.h"

namespace {

// Order durations in units of 100 microseconds.
constexpr std::uint32_t OrdinaryTime = 15;
constexpr std::uint32_t MultiplyTime = 60;
constexpr std::uint32_t InputTime = 215;
constexpr std::uint32_t OutputTime = 1515;
constexpr std::uint32_t OneSecond = 10000;

} // namespace

TControlUnit::TControlUnit(TALUnit& ALU, TStore& Store, TIOUnit& IOUnit, IEdsacSim& Sim)
    : Sim(Sim), ALU(ALU), Store(Store), IOUnit(IOUnit)
{
    Sim.ControlMessage("Control unit active");
}

TControlUnit::~TControlUnit()
{
    Sim.ControlMessage("Control unit terminated");
}

void TControlUnit::Init()
{
    SCR = 0;
    Sim.UpdateScrDisplay(true, std::array<TWord, 1>{SCR});
    OrderTank = 0;
    Sim.UpdateOrdDisplay(true, std::array<TWord, 1>{OrderTank});
    Stopped = false;
    ElapsedTime = 0;
    ClockAccumulator = OneSecond;
    Sim.ControlMessage("Control unit initialised");
}

void TControlUnit::ResetClock()
{
    ElapsedTime = 0;
    ClockAccumulator = OneSecond;
    Sim.UpdateClock(0);
}

void TControlUnit::AdvanceClock(std::uint32_t T)
{
    ElapsedTime += T;
    ClockAccumulator += T;
    if (ClockAccumulator >= OneSecond) {
        Sim.UpdateClock(ElapsedTime);
        ClockAccumulator = 0;
    }
}

void TControlUnit::UnknownOrder()
{
    Sim.ControlMessage({"Unknown order! Opcode=", CurrentOrder.Code});
    throw EUnknownOrder("Unknown order " + std::to_string(CurrentOrder.Code));
}

void TControlUnit::ShiftAccumulator(bool Left)
{
    ALU.SuspendDisplay();
    TAccWords Words = ALU.ReadAccumulator();
    auto ShiftOnce = [&] {
        if (Left)
            TALUnit::ShiftLeft(Words, wlAccumulator);
        else
            TALUnit::ShiftRight(Words, wlAccumulator);
    };
    ShiftOnce();
    // One more place for every 0 bit below the lowest 1 bit of the order word.
    std::array<TWord, 1> Count{OrderTank};
    while ((Count[0] & 1) == 0) {
        ShiftOnce();
        TALUnit::ShiftRight(Count, wlShort);
    }
    ALU.WriteAccumulator(Words);
    ALU.ResumeDisplay();
}

int TControlUnit::ExecuteOrder()
{
    Sim.ControlMessage({"Fetching order @ loc ", SCR});
    if (SCR < 0 || SCR >= Store.Size())
        throw EOutOfStore("Order fetch outside the store at location " + std::to_string(SCR));
    OrderTank = Store.ReadWord(SCR);
    Sim.UpdateOrdDisplay(false, std::array<TWord, 1>{OrderTank});
    Sim.UpdateScrDisplay(false, std::array<TWord, 1>{SCR});
    ++SCR;
    CurrentOrder = WordToOrder(OrderTank);
    Sim.ControlMessage({"Received order ", CurrentOrder});

    const int N = CurrentOrder.Address;
    const TWordLength Length = LengthOf(CurrentOrder.Long);
    std::uint32_t T = OrdinaryTime;

    switch (CurrentOrder.Code) {
    case 3: // E
        Sim.ControlMessage("Executing E order");
        if (!ALU.IsNegative())
            SCR = N;
        break;
    case 4: // R
        Sim.ControlMessage("Executing R Order");
        ShiftAccumulator(false);
        break;
    case 5: { // T
        Sim.ControlMessage("Executing T order");
        const TAccWords Words = ALU.ReadAccumulator();
        Store.Write(N, Length, Words);
        ALU.ClearAccumulator();
        break;
    }
    case 6: // Y
        Sim.ControlMessage("Executing Y order");
        ALU.RoundAccumulator();
        break;
    case 7: { // U
        Sim.ControlMessage("Executing U order");
        const TAccWords Words = ALU.ReadAccumulator();
        Store.Write(N, Length, Words);
        break;
    }
    case 8: { // I
        Sim.ControlMessage("Executing I order");
        const int C = IOUnit.ReadChar();
        Store.Write(N, Length, std::array<TWord, 2>{C, 0});
        T = InputTime;
        break;
    }
    case 9: { // O
        Sim.ControlMessage("Executing O order");
        const auto Operand = Store.Read(N, Length);
        ALU.WriteMultiplicand(Operand);
        IOUnit.PrintChar((Operand[0] >> 12) & 0x1F);
        T = OutputTime;
        break;
    }
    case 12: { // S
        Sim.ControlMessage("Executing S order");
        const auto Operand = Store.Read(N, Length);
        ALU.WriteMultiplicand(Operand);
        ALU.SubtractFromAccumulator(Operand, Length);
        break;
    }
    case 13: // Z
        Sim.ControlMessage("Executing Z order");
        IOUnit.SignalStop();
        Stopped = true;
        break;
    case 17: // F
        Sim.ControlMessage("Executing F order");
        Store.Write(N, Length, std::array<TWord, 2>{IOUnit.LastChar() << 12, 0});
        break;
    case 21: // H
        Sim.ControlMessage("Executing H order");
        ALU.WriteMultiplier(Store.Read(N, Length));
        break;
    case 22: // N
        Sim.ControlMessage("Executing N order");
        ALU.Multiply(Store.Read(N, Length), false);
        T = MultiplyTime;
        break;
    case 25: // L
        Sim.ControlMessage("Executing L Order");
        ShiftAccumulator(true);
        break;
    case 26: // X
        Sim.ControlMessage("Executing null order");
        break;
    case 27: // G
        Sim.ControlMessage("Executing G order");
        if (ALU.IsNegative())
            SCR = N;
        break;
    case 28: { // A
        Sim.ControlMessage("Executing A order");
        const auto Operand = Store.Read(N, Length);
        ALU.WriteMultiplicand(Operand);
        ALU.AddToAccumulator(Operand, Length);
        break;
    }
    case 30: { // C
        Sim.ControlMessage("Executing C order");
        const auto Collated = ALU.Collate(Store.Read(N, Length));
        ALU.AddToAccumulator(Collated, Length);
        break;
    }
    case 31: // V
        Sim.ControlMessage("Executing V order");
        ALU.Multiply(Store.Read(N, Length), true);
        T = MultiplyTime;
        break;
    default:
        UnknownOrder();
    }

    AdvanceClock(T);
    return static_cast<int>(T / 10);
}

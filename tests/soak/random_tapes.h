// Random tapes for the machine, from a seed: programs for both Initial Orders
// (so the store fills with every order code), noise, mutations of example
// tapes, and digits to dial. The soak runs them through valvane-run; the
// history's test runs them on the core and steps back through them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

namespace RandomTapes {

inline constexpr char OrderCodes[] = "PQWERTYUIOJ#SZK*.F@D!HNM&LXGABCV";

// splitmix64: the same numbers for the same seed on every platform and library.
class TRandom {
public:
    explicit TRandom(std::uint64_t Seed) : State(Seed) {}
    std::uint64_t Next()
    {
        std::uint64_t Z = (State += 0x9E3779B97F4A7C15ull);
        Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
        Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
        return Z ^ (Z >> 31);
    }
    // A number from 0 to Limit - 1.
    int Below(int Limit) { return static_cast<int>(Next() % static_cast<std::uint64_t>(Limit)); }
    bool Chance(int Percent) { return Below(100) < Percent; }
    char OrderLetter() { return OrderCodes[Below(32)]; }

private:
    std::uint64_t State;
};

struct TCase {
    QByteArray Tape;
    int InitialOrders = 2;
    bool CaseSensitive = false;
    QString Dial;
    int MaxOrders = 0;
    QString Kind;
};

inline void AddLayout(TRandom& Rng, QByteArray& Tape)
{
    switch (Rng.Below(8)) {
    case 0: Tape += '\n'; break;
    case 1: Tape += "  "; break;
    case 2: Tape += " [ a note ] "; break;
    case 3: Tape += "\r\n"; break;
    default: Tape += ' '; break;
    }
}

// Random words loaded by Initial Orders 2 and then run: the store holds every code.
inline QByteArray RandomProgramIO2(TRandom& Rng)
{
    QByteArray Tape = "T " + QByteArray::number(40 + Rng.Below(900)) + " K G K\n";
    const int Count = 5 + Rng.Below(120);
    for (int I = 0; I < Count; ++I) {
        Tape += Rng.OrderLetter();
        if (Rng.Chance(85))
            Tape += ' ' + QByteArray::number(Rng.Below(Rng.Chance(90) ? 1024 : 70000));
        const char* Terminators[] = {"F", "D", "@", "K", "F", "F"};
        Tape += ' ';
        Tape += Terminators[Rng.Below(6)];
        AddLayout(Rng, Tape);
    }
    if (Rng.Chance(90))
        Tape += "E Z P F\n";
    return Tape;
}

// Initial Orders 1: "T n S" first, then the orders for 32 .. n - 1.
inline QByteArray RandomProgramIO1(TRandom& Rng)
{
    const int Count = 3 + Rng.Below(80);
    QByteArray Tape = "T " + QByteArray::number(32 + Count + (Rng.Chance(10) ? Rng.Below(5) : 0)) + " S\n";
    for (int I = 0; I < Count; ++I) {
        Tape += Rng.OrderLetter();
        Tape += ' ' + QByteArray::number(Rng.Below(1024));
        Tape += Rng.Chance(70) ? " S" : " L";
        AddLayout(Rng, Tape);
    }
    return Tape;
}

// Anything at all: tape characters, blanks, comments, control bytes, UTF-8, bytes
// that are not UTF-8.
inline QByteArray Noise(TRandom& Rng)
{
    QByteArray Tape;
    const int Length = Rng.Below(400);
    for (int I = 0; I < Length; ++I) {
        switch (Rng.Below(10)) {
        case 0: Tape += static_cast<char>(Rng.Below(256)); break;
        case 1: Tape += "\xC2\xA3"; break;
        case 2: Tape += Rng.Chance(50) ? '[' : ']'; break;
        case 3: Tape += static_cast<char>('0' + Rng.Below(10)); break;
        case 4: Tape += '\n'; break;
        default: Tape += Rng.OrderLetter(); break;
        }
    }
    return Tape;
}

inline QByteArray Mutate(TRandom& Rng, QByteArray Tape)
{
    const int Count = 1 + Rng.Below(6);
    for (int I = 0; I < Count && !Tape.isEmpty(); ++I) {
        const int At = Rng.Below(static_cast<int>(Tape.size()));
        switch (Rng.Below(4)) {
        case 0: Tape[At] = Rng.OrderLetter(); break;
        case 1: Tape.remove(At, 1 + Rng.Below(8)); break;
        case 2: Tape.insert(At, Rng.OrderLetter()); break;
        default: Tape.insert(At, QByteArray::number(Rng.Below(1024)) + ' '); break;
        }
    }
    return Tape;
}

inline TCase MakeCase(TRandom& Rng, const QList<QByteArray>& Examples)
{
    TCase Case;
    switch (Rng.Below(8)) {
    case 0:
    case 1:
    case 2:
        Case.Tape = RandomProgramIO2(Rng);
        Case.Kind = QStringLiteral("random IO2 program");
        break;
    case 3:
    case 4:
        Case.Tape = RandomProgramIO1(Rng);
        Case.InitialOrders = 1;
        Case.Kind = QStringLiteral("random IO1 program");
        break;
    case 5:
        Case.Tape = Noise(Rng);
        Case.InitialOrders = 1 + Rng.Below(2);
        Case.Kind = QStringLiteral("noise");
        break;
    default:
        Case.Tape = Examples.isEmpty() ? Noise(Rng)
                                       : Mutate(Rng, Examples[Rng.Below(static_cast<int>(Examples.size()))]);
        Case.InitialOrders = Rng.Chance(85) ? 2 : 1;
        Case.Kind = QStringLiteral("mutated example");
        break;
    }
    Case.CaseSensitive = Rng.Chance(10);
    const int Digits = Rng.Below(12);
    for (int I = 0; I < Digits; ++I)
        Case.Dial += QChar(u'0' + Rng.Below(10));
    Case.MaxOrders = Rng.Chance(20) ? 1 + Rng.Below(2000) : 1000 + Rng.Below(60000);
    return Case;
}

} // namespace RandomTapes

#include "bridge/hint_texts.h"

#include <QStringList>
#include <cstddef>

#include "core/LongTank.h"

namespace {

QString Text(const std::string& S)
{
    return QString::fromStdString(S);
}

// The word the mouse is on, if the tube has a word there.
bool OnAWord(const TTubeHint& Hint)
{
    return Hint.Index >= 0 && static_cast<std::size_t>(Hint.Index) < Hint.Words.size();
}

// A register of one, two or four words: its first word as an integer, all of it
// as a fraction.
QString RegisterText(const TTubeHint& Hint)
{
    const TWords W = Hint.Words;
    if (W.empty())
        return {};
    const std::string Fraction = W.size() == 4 ? FracToStr(W[0], W[1], W[2], W[3], 21)
                                               : FracToStr(W[0], W.size() > 1 ? W[1] : 0, 0, 0, 11);
    return Hint.FullName + QStringLiteral("   Integer = ") + Text(WordToIntStr(W[0])) +
           QStringLiteral("   Fraction = ") + Text(Fraction);
}

QString StoreText(const TTubeHint& Hint, int Tank, TOrderMarks Marks)
{
    const TWords W = Hint.Words;
    const int I = Hint.Index;
    if (!OnAWord(Hint) || I > 1)
        return {};
    const int Address = LongTankAddress(Tank, Hint.Row, I);
    const TWord Word = W[static_cast<std::size_t>(I)];
    // The even location alone is the lower half of a long number: a small fraction.
    const std::string Fraction = I == 1 ? FracToStr(W[1], 0, 0, 0, 6)
                                        : FracToStr(W[0], W.size() > 1 ? W[1] : 0, 0, 0, 11);
    return QStringLiteral("WORD ") + QString::number(Address) + QStringLiteral("   Order = ") +
           Text(WordToOrderStr(Word, Marks.Short, Marks.Long)) + QStringLiteral("   Integer ") +
           QString::number(Address) + QLatin1Char(Marks.Short) + QStringLiteral(" = ") + Text(WordToIntStr(Word)) +
           QStringLiteral("   Fraction ") + Text(Fraction);
}

} // namespace

TOrderMarks OrderMarks(std::optional<TInitialOrders> Orders)
{
    if (Orders) {
        switch (*Orders) {
        case ioOrders1: return {'S', 'L'};
        case ioOrders2: return {'F', 'D'};
        }
    }
    return {'-', '-'};
}

QString TubeHintText(const TTubeHint& Hint, int Tank, TOrderMarks Marks)
{
    if (!Hint.Register)
        return StoreText(Hint, Tank, Marks);
    switch (*Hint.Register) {
    case TRegister::rgAccumulator:
    case TRegister::rgMultiplier:
    case TRegister::rgMultiplicand: return RegisterText(Hint);
    case TRegister::rgSequenceControl:
        return OnAWord(Hint) ? Hint.FullName + QStringLiteral(" = ") +
                                   Text(WordToIntStr(Hint.Words[static_cast<std::size_t>(Hint.Index)]))
                             : QString();
    case TRegister::rgOrderTank:
        return OnAWord(Hint)
                   ? Hint.FullName + QStringLiteral(" = ") +
                         Text(WordToOrderStr(Hint.Words[static_cast<std::size_t>(Hint.Index)], Marks.Short, Marks.Long))
                   : QString();
    }
    return {};
}

QString TubeValueText(std::optional<TRegister> Register, int Row, TWords Words, int Tank, TOrderMarks Marks)
{
    if (Words.empty())
        return {};
    if (!Register) {
        // The even location first, as addresses are read.
        QStringList Parts;
        for (const std::size_t Column : {std::size_t{1}, std::size_t{0}})
            if (Column < Words.size())
                Parts << QStringLiteral("word %1: order %2, integer %3")
                             .arg(LongTankAddress(Tank, Row, static_cast<int>(Column)))
                             .arg(Text(WordToOrderStr(Words[Column], Marks.Short, Marks.Long)),
                                  Text(WordToIntStr(Words[Column])));
        return Parts.join(QStringLiteral("; "));
    }
    const TWord First = Words[0];
    switch (*Register) {
    case TRegister::rgAccumulator:
    case TRegister::rgMultiplier:
    case TRegister::rgMultiplicand: {
        const std::string Fraction = Words.size() == 4 ? FracToStr(Words[0], Words[1], Words[2], Words[3], 21)
                                                       : FracToStr(First, Words.size() > 1 ? Words[1] : 0, 0, 0, 11);
        return QStringLiteral("integer %1, fraction %2").arg(Text(WordsToIntStr(Words)), Text(Fraction));
    }
    case TRegister::rgSequenceControl: return QStringLiteral("location %1").arg(Text(WordToIntStr(First)));
    case TRegister::rgOrderTank:
        return QStringLiteral("order %1").arg(Text(WordToOrderStr(First, Marks.Short, Marks.Long)));
    }
    return {};
}

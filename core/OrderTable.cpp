#include "core/OrderTable.h"

namespace {

constexpr const char* NoOrder = "no order: it stops the machine with \"Unknown order {c}\"";

constexpr TOrderInfo Orders[OrderCodes] = {
    {'P', 0, NoOrder},
    {'Q', 0, NoOrder},
    {'W', 0, NoOrder},
    {'E', 15, "jump to {n} if the accumulator is not negative"},
    {'R', 15, "shift the accumulator right {k}"},
    {'T', 15, "store the accumulator in {w}, then clear it"},
    {'Y', 15, "round the accumulator (add 2^-35)"},
    {'U', 15, "store the accumulator in {w}"},
    {'I', 215, "read the next tape character into {w}"},
    {'O', 1515, "print the character in {w}"},
    {'J', 0, NoOrder},
    {'#', 0, NoOrder},
    {'S', 15, "subtract {w} from the accumulator"},
    {'Z', 15, "stop the machine"},
    {'K', 0, NoOrder},
    {'*', 0, NoOrder},
    {'.', 0, NoOrder},
    {'F', 15, "store the code of the last character output in {w}"},
    {'@', 0, NoOrder},
    {'D', 0, NoOrder},
    {'!', 0, NoOrder},
    {'H', 15, "copy {w} into the multiplier"},
    {'N', 60, "subtract the multiplier times {w} from the accumulator"},
    {'M', 0, NoOrder},
    {'&', 0, NoOrder},
    {'L', 15, "shift the accumulator left {k}"},
    {'X', 15, "do nothing"},
    {'G', 15, "jump to {n} if the accumulator is negative"},
    {'A', 15, "add {w} to the accumulator"},
    {'B', 0, NoOrder},
    {'C', 15, "add {w}, collated with the multiplier, to the accumulator"},
    {'V', 60, "add the multiplier times {w} to the accumulator"},
};

// The table's letters are those the order codes are named by.
constexpr bool LettersAgree()
{
    for (int Code = 0; Code < OrderCodes; ++Code)
        if (Orders[Code].Letter != OrderLetters[Code])
            return false;
    return true;
}
static_assert(LettersAgree());

} // namespace

const TOrderInfo& OrderInfo(int Code)
{
    return Orders[Code & (OrderCodes - 1)];
}

int ShiftPlaces(const TOrder& Order)
{
    TWord Word = MakeOrder(Order.Code, Order.Address, Order.Long);
    int Places = 1;
    for (; (Word & 1) == 0; Word >>= 1)
        ++Places;
    return Places;
}

std::string OrderDoes(const TOrder& Order, const std::string& Where)
{
    const std::string Template = OrderInfo(Order.Code).Does;
    std::string Text;
    for (size_t I = 0; I < Template.size(); ++I) {
        if (Template[I] != '{' || I + 2 >= Template.size() || Template[I + 2] != '}') {
            Text += Template[I];
            continue;
        }
        switch (Template[I + 1]) {
        case 'n': Text += Where; break;
        case 'w': Text += (Order.Long ? "the long number at " : "the word at ") + Where; break;
        case 'c': Text += std::to_string(Order.Code & (OrderCodes - 1)); break;
        case 'k': {
            const int Places = ShiftPlaces(Order);
            Text += std::to_string(Places) + (Places == 1 ? " place" : " places");
            break;
        }
        default: break;
        }
        I += 2;
    }
    return Text;
}

std::string OrderTimeText(int Code)
{
    const std::uint32_t Time = OrderInfo(Code).Time;
    if (Time == 0)
        return "none";
    std::string Text = std::to_string(Time / 10);
    // A character and then a string: "." + a temporary string trips the
    // optimiser's false alarm about overlapping copies (-Wrestrict).
    if (Time % 10) {
        Text += '.';
        Text += std::to_string(Time % 10);
    }
    return Text + " ms";
}

namespace {

bool IsBlank(char32_t Ch)
{
    return Ch == U' ' || Ch == U'\t';
}

char32_t Upper(char32_t Ch)
{
    return Ch >= U'a' && Ch <= U'z' ? Ch - U'a' + U'A' : Ch;
}

// The code of an order letter, or -1.
int CodeOfLetter(char32_t Ch)
{
    Ch = Upper(Ch);
    return Ch < 0x80 ? OrderCodeOf(static_cast<char>(Ch)) : -1;
}

struct TTapeWord {
    std::size_t Start;
    std::size_t End; // one past its terminator
    int Code;
    std::string Number; // its digits, perhaps none
    char Terminator;
};

// The words of a line, comments and blanks skipped, as far as they make words.
template <class TVisit>
void ForEachWord(std::u32string_view Line, TVisit&& Visit)
{
    std::size_t I = 0;
    const auto SkipBlanks = [&] {
        while (I < Line.size() && (IsBlank(Line[I]) || Line[I] == U'[')) {
            if (Line[I] == U'[')
                while (I < Line.size() && Line[I] != U']')
                    ++I;
            ++I;
        }
    };
    for (SkipBlanks(); I < Line.size(); SkipBlanks()) {
        TTapeWord Word{I, I, CodeOfLetter(Line[I]), {}, 0};
        ++I;
        if (Word.Code < 0)
            continue;
        SkipBlanks();
        while (I < Line.size() && Line[I] >= U'0' && Line[I] <= U'9' && Word.Number.size() < 5)
            Word.Number += static_cast<char>(Line[I++]);
        SkipBlanks();
        if (I >= Line.size())
            return;
        const char32_t T = Upper(Line[I]);
        if (T >= 0x80)
            return;
        Word.Terminator = static_cast<char>(T);
        Word.End = ++I;
        Visit(Word);
    }
}

} // namespace

std::string ExplainTapeWord(std::u32string_view Line, std::size_t Column)
{
    std::string Text;
    ForEachWord(Line, [&](const TTapeWord& Word) {
        if (Column < Word.Start || Column >= Word.End || !Text.empty())
            return;
        const char Letter = OrderLetters[Word.Code];
        std::string Spelling(1, Letter);
        if (!Word.Number.empty())
            Spelling += " " + Word.Number;
        Spelling += std::string(" ") + Word.Terminator;
        const int Address = Word.Number.empty() ? 0 : std::stoi(Word.Number);
        if (Word.Terminator == 'K') {
            if (Letter == 'T')
                Text = Spelling + " — the words that follow go to " + std::to_string(Address) + " onwards";
            else if (Letter == 'G' && Word.Number.empty())
                Text = Spelling + " — θ is the place of the next word";
            return;
        }
        const bool Long = Word.Terminator == 'D' || Word.Terminator == 'L';
        const bool Relative = Word.Terminator == '@';
        if (!Long && !Relative && Word.Terminator != 'F' && Word.Terminator != 'S')
            return;
        const TOrder Order{static_cast<std::uint8_t>(Word.Code), Address & AddressMask, Long};
        const std::string Where = Relative ? "θ + " + std::to_string(Address) : std::to_string(Address);
        if (Letter == 'P') {
            Text = Spelling + " — the number " + std::to_string(2 * Address + (Long ? 1 : 0)) +
                   (Relative ? " plus twice θ" : "");
            return;
        }
        Text = Spelling + " — " + OrderDoes(Order, Where);
        const std::uint32_t Time = OrderInfo(Word.Code).Time;
        if (Time != 0)
            Text += ", " + OrderTimeText(Word.Code);
    });
    return Text;
}

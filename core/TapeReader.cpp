#include "core/TapeReader.h"

#include "bridge/gui_core_int.h"
#include "core/errors.h"
#include "core/misc.h"

void TTapeText::SetText(std::u32string_view Text)
{
    Lines.clear();
    std::u32string Line;
    for (size_t I = 0; I < Text.size(); ++I) {
        const char32_t Ch = Text[I];
        if (Ch == U'\n' || Ch == U'\r') {
            if (Ch == U'\r' && I + 1 < Text.size() && Text[I + 1] == U'\n')
                ++I;
            Lines.push_back(std::move(Line));
            Line.clear();
        } else {
            Line += Ch;
        }
    }
    if (!Line.empty())
        Lines.push_back(std::move(Line));
    RewindTape();
}

void TTapeText::RewindTape()
{
    CurLine = 0;
    CurCol = 1;
}

char32_t TTapeText::NextTapeChar()
{
    const auto LineLength = [this](int L) {
        return L < LineCount() ? static_cast<int>(Lines[static_cast<size_t>(L)].size()) : 0;
    };
    if (LineLength(CurLine) < CurCol) {
        ++CurLine;
        CurCol = 1;
    }
    if (CurLine >= LineCount())
        throw EEndOfTape();
    while (LineLength(CurLine) == 0) {
        ++CurLine;
        if (CurLine >= LineCount())
            throw EEndOfTape();
    }
    return Lines[static_cast<size_t>(CurLine)][static_cast<size_t>(CurCol++ - 1)];
}

std::u32string DecodeTapeBytes(std::string_view Bytes)
{
    std::u32string Text;
    Text.reserve(Bytes.size());
    size_t I = 0;
    while (I < Bytes.size()) {
        const auto B = static_cast<unsigned char>(Bytes[I]);
        int Extra;
        char32_t Ch;
        if (B < 0x80) {
            Text += B;
            ++I;
            continue;
        } else if (B >= 0xC2 && B <= 0xDF) {
            Extra = 1;
            Ch = B & 0x1F;
        } else if (B >= 0xE0 && B <= 0xEF) {
            Extra = 2;
            Ch = B & 0x0F;
        } else if (B >= 0xF0 && B <= 0xF4) {
            Extra = 3;
            Ch = B & 0x07;
        } else {
            break;
        }
        if (I + static_cast<size_t>(Extra) >= Bytes.size())
            break;
        bool Valid = true;
        for (int K = 1; K <= Extra; ++K) {
            const auto C = static_cast<unsigned char>(Bytes[I + static_cast<size_t>(K)]);
            if ((C & 0xC0) != 0x80) {
                Valid = false;
                break;
            }
            Ch = (Ch << 6) | (C & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        const char32_t Least = Extra == 1 ? 0x80 : Extra == 2 ? 0x800 : 0x10000;
        if (!Valid || Ch < Least || (Ch >= 0xD800 && Ch <= 0xDFFF) || Ch > 0x10FFFF)
            break;
        Text += Ch;
        I += static_cast<size_t>(Extra) + 1;
    }
    if (I == Bytes.size())
        return Text;

    // Not UTF-8: every byte is its own Latin-1 character.
    Text.clear();
    for (const char B : Bytes)
        Text += static_cast<char32_t>(static_cast<unsigned char>(B));
    return Text;
}

std::string IllegalCharMessage(int LineNumber, char32_t Ch)
{
    std::string Message = "Illegal character on line number " + std::to_string(LineNumber) + "\r\r[\"";
    AppendUtf8(Message, Ch);
    Message += "\" ASCII value " + std::to_string(static_cast<std::uint32_t>(Ch)) + "]";
    return Message;
}

int ReadTapeCode(TTapeText& Tape, bool IgnoreCase, IEdsacSim& Sim)
{
    char32_t Previous = U' ';
    bool InComment = false;
    char32_t Ch;
    for (;;) {
        if (Previous == U']' && InComment)
            InComment = false;
        Ch = Tape.NextTapeChar();
        Previous = Ch;
        if (Ch == U'[')
            InComment = true;
        if (Ch == U'\t' || Ch == U'\n' || Ch == U'\r' || Ch == U' ' || Ch == 255)
            continue;
        if (InComment)
            continue;
        break;
    }
    if (IgnoreCase && Ch >= U'a' && Ch <= U'z')
        Ch = Ch - U'a' + U'A';

    // The last matching position wins, so figures read as the codes they share
    // with letters and "_" reads as 31.
    int Code = -1;
    for (int Pos = 0; Pos < 64; ++Pos)
        if (static_cast<unsigned char>(OrderLetters[Pos]) == Ch)
            Code = Pos & 31;

    Sim.IOMessage({"IO: Read char ", Ch, " (", Code, ")"});
    if (Code < 0)
        throw EIllegalChar(IllegalCharMessage(Tape.TapeLine() + 1, Ch));
    return Code;
}

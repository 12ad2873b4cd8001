#include "core/TapeReader.h"

#include "core/MachineHost.h"
#include "core/errors.h"
#include "core/misc.h"
#include "core/messages.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

void TTapeText::SetText(std::u32string Text)
{
    // Lines are counted in 32 bits; the largest tape read is far smaller.
    if (Text.size() >= INT32_MAX)
        throw std::length_error("The tape is too long");
    const auto IsBreak = [](char32_t Ch) { return Ch == U'\n' || Ch == U'\r'; };
    // Counted first, so the list takes its room once.
    size_t FilledCount = 0;
    for (size_t I = 0; I < Text.size(); ++I)
        FilledCount += !IsBreak(Text[I]) && (I + 1 == Text.size() || IsBreak(Text[I + 1]));
    FFilled.clear();
    FFilled.shrink_to_fit();
    FFilled.reserve(FilledCount);

    // The line breaks are squeezed out in place: the text becomes the buffer.
    std::uint32_t Line = 0;
    size_t Out = 0, LineStart = 0;
    for (size_t I = 0; I < Text.size(); ++I) {
        const char32_t Ch = Text[I];
        if (IsBreak(Ch)) {
            if (Ch == U'\r' && I + 1 < Text.size() && Text[I + 1] == U'\n')
                ++I;
            if (Out > LineStart)
                FFilled.push_back({Line, static_cast<std::uint32_t>(Out)});
            ++Line;
            LineStart = Out;
        } else {
            Text[Out++] = Ch;
        }
    }
    if (Out > LineStart) {
        FFilled.push_back({Line, static_cast<std::uint32_t>(Out)});
        ++Line;
    }
    FLines = static_cast<int>(Line);
    Text.resize(Out);
    FChars = std::move(Text);
    // Giving back the room of the breaks would copy the whole text: only worth
    // it when they were a large part of it.
    if (FChars.capacity() / 2 > FChars.size())
        FChars.shrink_to_fit();
    RewindTape();
}

void TTapeText::RewindTape()
{
    FCurLine = 0;
    FCurCol = 1;
    FNext = 0;
}

void TTapeText::GoToMark(std::uint64_t Mark)
{
    FCurLine = static_cast<int>(Mark >> 32);
    FCurCol = static_cast<int>(Mark & 0xFFFFFFFF);
    FNext = static_cast<size_t>(
        std::lower_bound(FFilled.begin(), FFilled.end(), std::uint32_t(FCurLine),
                         [](const TFilledLine& Filled, std::uint32_t Line) { return Filled.Line < Line; }) -
        FFilled.begin());
}

// Reads as if it went through every line: past the end of a line to the next,
// over empty lines one by one, and one line further at each call past the end.
char32_t TTapeText::NextTapeChar()
{
    const int Length = AtFilledLine() ? static_cast<int>(FFilled[FNext].End - StartOf(FNext)) : 0;
    if (Length < FCurCol) {
        if (AtFilledLine())
            ++FNext;
        ++FCurLine;
        FCurCol = 1;
    }
    if (FCurLine >= FLines)
        throw EEndOfTape();
    if (!AtFilledLine()) {
        if (FNext >= FFilled.size()) {
            FCurLine = FLines;
            throw EEndOfTape();
        }
        FCurLine = static_cast<int>(FFilled[FNext].Line);
    }
    return FChars[StartOf(FNext) + static_cast<size_t>(FCurCol++ - 1)];
}

namespace {

// The character whose UTF-8 form starts at byte I (not ASCII) and the number of
// its bytes; 0 bytes when what stands there is not UTF-8.
std::pair<char32_t, size_t> Utf8At(std::string_view Bytes, size_t I)
{
    const auto B = static_cast<unsigned char>(Bytes[I]);
    size_t Extra;
    char32_t Ch;
    if (B >= 0xC2 && B <= 0xDF) {
        Extra = 1;
        Ch = B & 0x1F;
    } else if (B >= 0xE0 && B <= 0xEF) {
        Extra = 2;
        Ch = B & 0x0F;
    } else if (B >= 0xF0 && B <= 0xF4) {
        Extra = 3;
        Ch = B & 0x07;
    } else {
        return {0, 0};
    }
    if (I + Extra >= Bytes.size())
        return {0, 0};
    for (size_t K = 1; K <= Extra; ++K) {
        const auto C = static_cast<unsigned char>(Bytes[I + K]);
        if ((C & 0xC0) != 0x80)
            return {0, 0};
        Ch = (Ch << 6) | (C & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    const char32_t Least = Extra == 1 ? 0x80 : Extra == 2 ? 0x800 : 0x10000;
    if (Ch < Least || (Ch >= 0xD800 && Ch <= 0xDFFF) || Ch > 0x10FFFF)
        return {0, 0};
    return {Ch, Extra + 1};
}

} // namespace

bool IsTapeUtf8(std::string_view Bytes)
{
    for (size_t I = 0; I < Bytes.size();) {
        if (static_cast<unsigned char>(Bytes[I]) < 0x80) {
            ++I;
            continue;
        }
        const size_t Length = Utf8At(Bytes, I).second;
        if (Length == 0)
            return false;
        I += Length;
    }
    return true;
}

std::u32string DecodeTapeBytes(std::string_view Bytes)
{
    std::u32string Text;
    Text.reserve(Bytes.size());
    if (!IsTapeUtf8(Bytes)) {
        // Not UTF-8: every byte is its own Latin-1 character.
        for (const char B : Bytes)
            Text += static_cast<char32_t>(static_cast<unsigned char>(B));
        return Text;
    }
    for (size_t I = 0; I < Bytes.size();) {
        const auto B = static_cast<unsigned char>(Bytes[I]);
        if (B < 0x80) {
            Text += B;
            ++I;
        } else {
            const auto [Ch, Length] = Utf8At(Bytes, I);
            Text += Ch;
            I += Length;
        }
    }
    return Text;
}

std::string IllegalCharMessage(int LineNumber, char32_t Ch)
{
    // Control Pictures: U+2400 onwards for codes 0 to 31, U+2421 for DEL.
    std::string Shown;
    AppendUtf8(Shown, Ch < 0x20 ? 0x2400 + Ch : Ch == 0x7F ? 0x2421 : Ch);
    return Messages::Fill(Messages::IllegalCharacter,
                          {std::to_string(LineNumber), Shown, std::to_string(static_cast<std::uint32_t>(Ch))});
}

int ReadTapeCode(TTapeText& Tape, bool IgnoreCase, IEdsacHost& Sim)
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
        // Character 255 is what a tape file holds for a tape's blank run-out and for
        // the delete character punched over a mistake: neither is a character, so
        // it reads as nothing.
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

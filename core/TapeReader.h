// The paper tape as every host reads it: the tape text split into lines, a read
// position through it, and the rules that turn its characters into 5-bit codes
// (blanks and comments skipped, case folding, the code table, illegal characters).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IEdsacHost;

// The characters are kept in one buffer, and only the lines that hold any are
// listed beside it, so a tape costs a few bytes a character however its lines
// fall (a tape of nothing but line feeds costs next to nothing).
class TTapeText {
public:
    // Lines end at LF, CR LF or CR; a last empty line is no line of the tape.
    // The text is taken over (moved in, it costs no copy).
    void SetText(std::u32string Text);
    void RewindTape();
    // The next raw character; throws EEndOfTape past the last line.
    char32_t NextTapeChar();
    // The index of the line being read, from 0.
    int TapeLine() const { return FCurLine; }
    int LineCount() const { return FLines; }
    // The read position as one number, and the way back to it: stepping back
    // over an input order puts the tape back where it was.
    std::uint64_t Mark() const { return std::uint64_t(std::uint32_t(FCurLine)) << 32 | std::uint32_t(FCurCol); }
    void GoToMark(std::uint64_t Mark);

private:
    struct TFilledLine {
        std::uint32_t Line; // its index among all lines
        std::uint32_t End; // where it ends in FChars; it starts where the one before ends
    };
    bool AtFilledLine() const { return FNext < FFilled.size() && FFilled[FNext].Line == std::uint32_t(FCurLine); }
    std::uint32_t StartOf(size_t Index) const { return Index == 0 ? 0 : FFilled[Index - 1].End; }

    std::u32string FChars; // every character but the line breaks
    std::vector<TFilledLine> FFilled; // the lines that are not empty, in order
    int FLines = 0;
    int FCurLine = 0;
    int FCurCol = 1;
    size_t FNext = 0; // the first filled line at or after FCurLine
};

// Tape file bytes as text: UTF-8 when the bytes are valid UTF-8, otherwise Latin-1.
std::u32string DecodeTapeBytes(std::string_view Bytes);
// Whether DecodeTapeBytes reads the bytes as UTF-8.
bool IsTapeUtf8(std::string_view Bytes);

// Reads one tape code 0..31, tracing "IO: Read char ..." through the host's IOMessage.
// Throws EIllegalChar (with its line number) or EEndOfTape.
int ReadTapeCode(TTapeText& Tape, bool IgnoreCase, IEdsacHost& Sim);

// The message of an illegal character, as the user sees it. A control character
// appears as its visible picture (NUL as U+2400), so the message neither ends at
// a NUL nor sends control codes to a terminal.
std::string IllegalCharMessage(int LineNumber, char32_t Ch);

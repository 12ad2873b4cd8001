// The paper tape as every host reads it: the tape text split into lines, a read
// position through it, and the rules that turn its characters into 5-bit codes
// (blanks and comments skipped, case folding, the code table, illegal characters).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IEdsacSim;

// The characters are kept in one buffer with the end of each line beside them,
// so a tape costs a few bytes a character however its lines fall.
class TTapeText {
public:
    // Lines end at LF, CR LF or CR; a last empty line is no line of the tape.
    // The text is taken over (moved in, it costs no copy).
    void SetText(std::u32string Text);
    void RewindTape();
    // The next raw character; throws EEndOfTape past the last line.
    char32_t NextTapeChar();
    // The index of the line being read, from 0.
    int TapeLine() const { return CurLine; }
    int LineCount() const { return static_cast<int>(LineEnds.size()); }

private:
    int LineLength(int Line) const;

    std::u32string Chars;                // every character but the line breaks
    std::vector<std::uint32_t> LineEnds; // where each line ends in Chars
    int CurLine = 0;
    int CurCol = 1;
};

// Tape file bytes as text: UTF-8 when the bytes are valid UTF-8, otherwise Latin-1.
std::u32string DecodeTapeBytes(std::string_view Bytes);

// Reads one tape code 0..31, tracing "IO: Read char ..." through the host's IOMessage.
// Throws EIllegalChar (with its line number) or EEndOfTape.
int ReadTapeCode(TTapeText& Tape, bool IgnoreCase, IEdsacSim& Sim);

// The message of an illegal character, as the user sees it. A control character
// appears as its visible picture (NUL as U+2400), so the message neither ends at
// a NUL nor sends control codes to a terminal.
std::string IllegalCharMessage(int LineNumber, char32_t Ch);

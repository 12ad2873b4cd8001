// The paper tape as every host reads it: the tape text split into lines, a read
// position through it, and the rules that turn its characters into 5-bit codes
// (blanks and comments skipped, case folding, the code table, illegal characters).
#pragma once

#include <string>
#include <string_view>
#include <vector>

class IEdsacSim;

class TTapeText {
public:
    // Lines end at LF, CR LF or CR; a last empty line is no line of the tape.
    void SetText(std::u32string_view Text);
    void RewindTape();
    // The next raw character; throws EEndOfTape past the last line.
    char32_t NextTapeChar();
    // The index of the line being read, from 0.
    int TapeLine() const { return CurLine; }
    int LineCount() const { return static_cast<int>(Lines.size()); }

private:
    std::vector<std::u32string> Lines;
    int CurLine = 0;
    int CurCol = 1;
};

// Tape file bytes as text: UTF-8 when the bytes are valid UTF-8, otherwise Latin-1.
std::u32string DecodeTapeBytes(std::string_view Bytes);

// Reads one tape code 0..31, tracing "IO: Read char ..." through the host's IOMessage.
// Throws EIllegalChar (with its line number) or EEndOfTape.
int ReadTapeCode(TTapeText& Tape, bool IgnoreCase, IEdsacSim& Sim);

// The message of an illegal character, as the user sees it.
std::string IllegalCharMessage(int LineNumber, char32_t Ch);

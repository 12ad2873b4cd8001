// The tape reader's rules (blanks, comments, case, the code table, illegal
// characters, line ends, the end of the tape) and the teleprinter's shifts.
#include <QtTest>
#include <utility>

#include "core/IOUnit.h"
#include "core/TapeReader.h"
#include "core/errors.h"
#include "recording_sim.h"

namespace {

std::vector<int> Codes(const std::u32string& Text, int Count, bool IgnoreCase = true)
{
    TRecordingSim Sim;
    Sim.Tape.SetText(Text);
    Sim.IgnoreCase = IgnoreCase;
    std::vector<int> Result;
    for (int I = 0; I < Count; ++I)
        Result.push_back(Sim.ReadTapeChar());
    return Result;
}

std::string IllegalMessage(const std::u32string& Text, int Reads, bool IgnoreCase = true)
{
    TRecordingSim Sim;
    Sim.Tape.SetText(Text);
    Sim.IgnoreCase = IgnoreCase;
    try {
        for (int I = 0; I < Reads; ++I)
            Sim.ReadTapeChar();
    } catch (const EIllegalChar& E) {
        return E.what();
    }
    return "(none)";
}

std::u32string Raw(TTapeText& Tape)
{
    std::u32string Out;
    try {
        for (;;)
            Out += Tape.NextTapeChar();
    } catch (const EEndOfTape&) {
    }
    return Out;
}

// The tape as plain lines, read as the rules put it: the yardstick for the
// compact tape text.
struct TLineTape {
    std::vector<std::u32string> Lines;
    int CurLine = 0, CurCol = 1;

    explicit TLineTape(const std::u32string& Text)
    {
        std::u32string Line;
        for (size_t I = 0; I < Text.size(); ++I) {
            if (Text[I] == U'\n' || Text[I] == U'\r') {
                if (Text[I] == U'\r' && I + 1 < Text.size() && Text[I + 1] == U'\n')
                    ++I;
                Lines.push_back(std::exchange(Line, {}));
            } else {
                Line += Text[I];
            }
        }
        if (!Line.empty())
            Lines.push_back(Line);
    }
    int Length(int L) const { return L < int(Lines.size()) ? int(Lines[size_t(L)].size()) : 0; }
    // The character, or 0 for the end of the tape.
    char32_t Next()
    {
        if (Length(CurLine) < CurCol) {
            ++CurLine;
            CurCol = 1;
        }
        if (CurLine >= int(Lines.size()))
            return 0;
        while (Length(CurLine) == 0)
            if (++CurLine >= int(Lines.size()))
                return 0;
        return Lines[size_t(CurLine)][size_t(CurCol++ - 1)];
    }
};

} // namespace

class TestTape : public QObject {
    Q_OBJECT
private slots:
    void codesAndCase()
    {
        QCOMPARE(Codes(U"T 0 F", 3), (std::vector<int>{5, 0, 17}));
        QCOMPARE(Codes(U"t0f", 3), (std::vector<int>{5, 0, 17}));
        QVERIFY(IllegalMessage(U"t0f", 1, false).find("[\"t\" ASCII value 116]") != std::string::npos);
        QCOMPARE(Codes(U"+-_0P9", 6), (std::vector<int>{21, 22, 31, 0, 0, 9}));
        QCOMPARE(Codes(U"#*.@!&", 6), (std::vector<int>{11, 15, 16, 18, 20, 24}));
    }

    void blanksAndComments()
    {
        QCOMPARE(Codes(U"[comment] P", 1), std::vector<int>{0});
        QCOMPARE(Codes(U"[a [b] P", 1), std::vector<int>{0});
        QCOMPARE(Codes(U"\t \xFF\r\nQ", 1), std::vector<int>{1});
        QCOMPARE(Codes(U"[one\nline\nafter another]\n\n   \n[only a comment]\nW", 1), std::vector<int>{2});
        QVERIFY(IllegalMessage(U"[x]]Q", 1).find("[\"]\" ASCII value 93]") != std::string::npos);
        QCOMPARE(IllegalMessage(U"P]", 1), std::string("(none)"));
        QVERIFY(IllegalMessage(U"P]", 2).find("\"]\"") != std::string::npos);
    }

    void illegalCharacterMessage()
    {
        QCOMPARE(IllegalMessage(U"P\n\nQx", 3, false),
                 std::string("Illegal character on line number 3\r\r[\"x\" ASCII value 120]"));
        // Characters beyond Latin-1 are named by their code point, spelt in UTF-8.
        QCOMPARE(IllegalMessage(U"\u00a3", 1),
                 std::string("Illegal character on line number 1\r\r[\"\u00a3\" ASCII value 163]"));
        QCOMPARE(IllegalMessage(U"\u20ac", 1),
                 std::string("Illegal character on line number 1\r\r[\"\u20ac\" ASCII value 8364]"));
        // Control characters by their pictures: the message neither ends at a NUL
        // nor sends escape codes to a terminal.
        QCOMPARE(IllegalMessage(std::u32string(U"P\nQ\0", 5), 3),
                 std::string("Illegal character on line number 2\r\r[\"\u2400\" ASCII value 0]"));
        QVERIFY(IllegalMessage(U"\x1b", 1).ends_with("[\"\u241b\" ASCII value 27]"));
        QVERIFY(IllegalMessage(U"\x7f", 1).ends_with("[\"\u2421\" ASCII value 127]"));
    }

    void readCharTrace()
    {
        TRecordingSim Sim;
        Sim.Tape.SetText(U" [c] A\n?");
        Sim.ReadTapeChar();
        QVERIFY_THROWS_EXCEPTION(EIllegalChar, Sim.ReadTapeChar());
        QCOMPARE(Sim.Trace, (std::vector<std::string>{"io: IO: Read char A (28)", "io: IO: Read char ? (-1)"}));
    }

    void linesAndTheEndOfTheTape()
    {
        TTapeText Tape;
        for (const std::u32string Empty : {U"", U"\n", U"\n\n\r\n"}) {
            Tape.SetText(Empty);
            QVERIFY_THROWS_EXCEPTION(EEndOfTape, Tape.NextTapeChar());
        }
        Tape.SetText(U"AB\n\nC");
        QCOMPARE(Raw(Tape), std::u32string(U"ABC"));
        QVERIFY_THROWS_EXCEPTION(EEndOfTape, Tape.NextTapeChar()); // and again, until rewound
        Tape.RewindTape();
        QCOMPARE(Tape.NextTapeChar(), U'A');

        Tape.SetText(U"X\r\nY\rZ\n");
        QCOMPARE(Tape.LineCount(), 3);
        QCOMPARE(Raw(Tape), std::u32string(U"XYZ"));
        QCOMPARE(Tape.TapeLine(), 3);

        // Blanks and tabs are characters of the tape; the reader skips them, not the text.
        Tape.SetText(U" \tQ");
        QCOMPARE(Raw(Tape), std::u32string(U" \tQ"));
    }

    void readsAsLineByLine()
    {
        // Random texts of a few characters and every kind of line break, read
        // past their end and rewound in the middle.
        std::uint32_t Seed = 12345;
        const auto Random = [&Seed](std::uint32_t N) {
            Seed = Seed * 1103515245u + 12345u;
            return (Seed >> 16) % N;
        };
        const char32_t Pieces[] = {U'A', U'B', U' ', U'\n', U'\r', U'\n'};
        for (int Trial = 0; Trial < 2000; ++Trial) {
            std::u32string Text;
            for (std::uint32_t I = Random(12); I > 0; --I)
                Text += Pieces[Random(6)];
            TTapeText Tape;
            Tape.SetText(Text);
            TLineTape Model(Text);
            QCOMPARE(Tape.LineCount(), int(Model.Lines.size()));
            for (int Read = 0; Read < 16; ++Read) {
                if (Read == 8 && Random(2)) {
                    Tape.RewindTape();
                    Model.CurLine = 0;
                    Model.CurCol = 1;
                }
                const char32_t Wanted = Model.Next();
                char32_t Got = 0;
                try {
                    Got = Tape.NextTapeChar();
                } catch (const EEndOfTape&) {
                }
                QCOMPARE(Got, Wanted);
                QCOMPARE(Tape.TapeLine(), Model.CurLine);
            }
        }
    }

    void tapeFileDecoding()
    {
        QCOMPARE(DecodeTapeBytes("T 1 F"), std::u32string(U"T 1 F"));
        QCOMPARE(DecodeTapeBytes("\xC2\xA3\xE2\x82\xAC"), std::u32string(U"\u00a3\u20ac"));
        // Not UTF-8, so every byte is Latin-1.
        QCOMPARE(DecodeTapeBytes("A\xA3\xFF"), std::u32string(U"A\u00a3\u00ff"));
        QCOMPARE(DecodeTapeBytes("\xC0\x80"), std::u32string(U"\u00c0\u0080")); // overlong
        QCOMPARE(DecodeTapeBytes("\xE2\x82"), std::u32string(U"\u00e2\u0082")); // cut short
    }

    void teleprinterShifts()
    {
        TRecordingSim Sim;
        TIOUnit IO(Sim);
        QCOMPARE(IO.LastChar(), 0);
        for (int Code : {11, 0, 15, 0})
            IO.PrintChar(Code);
        QCOMPARE(Sim.Teleprinter, std::vector<std::string>{"0P"});
        QCOMPARE(Sim.Punched, std::string("#P*P"));
        QCOMPARE(IO.LastChar(), 0);
        QCOMPARE(Sim.Sounds, (std::vector<TSound>{TSound::sndPrint, TSound::sndPrint}));

        Sim.Sounds.clear();
        IO.PrintChar(18);
        IO.PrintChar(24);
        IO.PrintChar(20);
        IO.PrintChar(16);
        QCOMPARE(Sim.Teleprinter, (std::vector<std::string>{"0P", " "}));
        QCOMPARE(Sim.Punched, std::string("#P*P@&!."));
        QCOMPARE(Sim.Sounds, (std::vector<TSound>{TSound::sndCarriageReturn, TSound::sndLineFeed, TSound::sndSpace}));

        IO.PrintChar(11);
        IO.PrintChar(21);
        IO.PrintChar(10);
        IO.PrintChar(13);
        IO.PrintChar(28);
        QCOMPARE(Sim.Teleprinter.back(), std::string(" \xA3_+-"));
        QCOMPARE(IO.LastChar(), 28);
        QCOMPARE(IO.GetShift(), tsFigures);
    }
};

QTEST_APPLESS_MAIN(TestTape)
#include "test_tape.moc"

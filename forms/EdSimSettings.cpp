#include "forms/EdSimSettings.h"

#include "files/SafeFile.h"

#include <QDir>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// A settings file is a few hundred bytes; anything far larger is not ours, and
// reading it whole (or a device that never ends) must not hang the start-up.
constexpr qint64 MaxIniFileSize = 1024 * 1024;

const char* const SecPlacement = "EdsacFormPlacement";
const char* const SecEdsac = "Edsac";
const char* const SecSounds = "Sounds";
const char* const SecRecent = "RecentFiles";

char AsciiLower(char C)
{
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

// Ini names are matched the way the Windows profile functions do: ASCII letters
// without regard to case, everything else exactly.
bool SameName(const QByteArray& A, const QByteArray& B)
{
    if (A.size() != B.size())
        return false;
    for (qsizetype I = 0; I < A.size(); ++I)
        if (AsciiLower(A[I]) != AsciiLower(B[I]))
            return false;
    return true;
}

bool HasLineBreak(const QString& S)
{
    return S.contains(u'\n') || S.contains(u'\r');
}

// Decimal, or hexadecimal after "0x"/"0X", with an optional sign; the whole
// (trimmed) text must be the number and it must fit 32 bits.
std::optional<std::int32_t> ParseInt(const QByteArray& Raw)
{
    const QByteArray Text = Raw.trimmed();
    qsizetype Pos = 0;
    bool Negative = false;
    if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) {
        Negative = Text[Pos] == '-';
        ++Pos;
    }
    int Base = 10;
    if (Pos + 1 < Text.size() && Text[Pos] == '0' && (Text[Pos + 1] == 'x' || Text[Pos + 1] == 'X')) {
        Base = 16;
        Pos += 2;
    }
    if (Pos >= Text.size())
        return std::nullopt;
    const std::int64_t Limit = Negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t Value = 0;
    for (; Pos < Text.size(); ++Pos) {
        const char C = Text[Pos];
        int Digit;
        if (C >= '0' && C <= '9')
            Digit = C - '0';
        else if (Base == 16 && C >= 'a' && C <= 'f')
            Digit = C - 'a' + 10;
        else if (Base == 16 && C >= 'A' && C <= 'F')
            Digit = C - 'A' + 10;
        else
            return std::nullopt;
        Value = Value * Base + Digit;
        if (Value > Limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(Negative ? -Value : Value);
}

// The file as lines, so that everything we do not know (other sections and keys,
// comments, even lines we cannot parse) is written back byte for byte.
class TIniDocument {
public:
    void Parse(const QByteArray& Data)
    {
        QByteArray Body = Data;
        if (Body.startsWith("\xEF\xBB\xBF")) {
            FBom = true;
            Body.remove(0, 3);
        }
        const qsizetype FirstBreak = Body.indexOf('\n');
        FCrLf = FirstBreak > 0 && Body[FirstBreak - 1] == '\r';
        QList<QByteArray> Parts = Body.split('\n');
        if (!Parts.isEmpty() && Parts.last().isEmpty())
            Parts.removeLast(); // the final line break does not start another line
        for (QByteArray& Part : Parts) {
            if (Part.endsWith('\r'))
                Part.chop(1);
            FLines.push_back(Classify(Part));
        }
    }

    QByteArray Serialise() const
    {
        const QByteArray Eol = FCrLf ? "\r\n" : "\n";
        QByteArray Out = FBom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        for (const TLine& Line : FLines)
            Out += Line.Text + Eol;
        return Out;
    }

    // The first occurrence wins, as with the Windows profile functions; a section
    // that appears twice is searched in file order.
    std::optional<QByteArray> Read(const char* Section, const char* Key) const
    {
        const qsizetype Index = Find(Section, Key, 0);
        if (Index < 0)
            return std::nullopt;
        return FLines[Index].Value;
    }

    void Write(const char* Section, const char* Key, const QByteArray& Value)
    {
        const TLine NewLine = Classify(QByteArray(Key) + '=' + Value);
        const qsizetype First = Find(Section, Key, 0);
        if (First >= 0) {
            FLines[First] = NewLine;
            // Later copies of the key would be dead text that a hand edit could
            // mistake for the live value; drop them.
            for (qsizetype Next = Find(Section, Key, First + 1); Next >= 0; Next = Find(Section, Key, Next))
                FLines.erase(FLines.begin() + Next);
            return;
        }
        const qsizetype Header = FindSection(Section);
        if (Header < 0) {
            FLines.push_back(Classify('[' + QByteArray(Section) + ']'));
            FLines.push_back(NewLine);
            return;
        }
        // After the section's last entry, so blank lines and comments that lead
        // into the next section stay where they are.
        qsizetype At = Header + 1;
        for (qsizetype I = Header + 1; I < qsizetype(FLines.size()) && FLines[I].Kind != TKind::Section; ++I)
            if (FLines[I].Kind == TKind::Entry)
                At = I + 1;
        FLines.insert(FLines.begin() + At, NewLine);
    }

private:
    enum class TKind { Other, Section, Entry };
    struct TLine {
        QByteArray Text;
        TKind Kind = TKind::Other;
        QByteArray Name; // section name or key
        QByteArray Value;
    };

    static TLine Classify(const QByteArray& Text)
    {
        TLine Line{Text, TKind::Other, {}, {}};
        const QByteArray Trimmed = Text.trimmed();
        if (Trimmed.startsWith('[')) {
            const qsizetype Close = Trimmed.indexOf(']');
            if (Close > 0) {
                Line.Kind = TKind::Section;
                Line.Name = Trimmed.mid(1, Close - 1).trimmed();
            }
            return Line;
        }
        if (Trimmed.startsWith(';') || Trimmed.startsWith('#'))
            return Line;
        const qsizetype Equals = Trimmed.indexOf('=');
        if (Equals > 0) {
            const QByteArray Key = Trimmed.left(Equals).trimmed();
            if (!Key.isEmpty()) {
                Line.Kind = TKind::Entry;
                Line.Name = Key;
                Line.Value = Trimmed.mid(Equals + 1).trimmed();
            }
        }
        return Line;
    }

    qsizetype Find(const char* Section, const char* Key, qsizetype From) const
    {
        const QByteArray Sec(Section), K(Key);
        bool Inside = false;
        for (qsizetype I = 0; I < qsizetype(FLines.size()); ++I) {
            const TLine& Line = FLines[I];
            if (Line.Kind == TKind::Section)
                Inside = SameName(Line.Name, Sec);
            else if (I >= From && Inside && Line.Kind == TKind::Entry && SameName(Line.Name, K))
                return I;
        }
        return -1;
    }

    qsizetype FindSection(const char* Section) const
    {
        const QByteArray Sec(Section);
        for (qsizetype I = 0; I < qsizetype(FLines.size()); ++I)
            if (FLines[I].Kind == TKind::Section && SameName(FLines[I].Name, Sec))
                return I;
        return -1;
    }

    std::vector<TLine> FLines;
    bool FBom = false;
    bool FCrLf = false;
};

enum class TReadResult { Missing, Read, Failed };

TReadResult ReadIniFile(const QString& FileName, TIniDocument& Doc, QString& Error)
{
    QByteArray Data;
    QString Reason;
    switch (Files::ReadRegularFile(FileName, MaxIniFileSize, Data, Reason)) {
    case Files::TReadStatus::Missing:
        return TReadResult::Missing;
    case Files::TReadStatus::Failed:
        Error = QStringLiteral("Cannot read %1: %2").arg(FileName, Reason);
        return TReadResult::Failed;
    case Files::TReadStatus::Read:
        break;
    }
    Doc.Parse(Data);
    return TReadResult::Read;
}

std::int32_t ReadInt(const TIniDocument& Doc, const char* Section, const char* Key, std::int32_t Default)
{
    const std::optional<QByteArray> Raw = Doc.Read(Section, Key);
    if (!Raw)
        return Default;
    return ParseInt(*Raw).value_or(Default);
}

bool ReadBool(const TIniDocument& Doc, const char* Section, const char* Key, bool Default)
{
    return ReadInt(Doc, Section, Key, Default ? 1 : 0) != 0;
}

void WriteInt(TIniDocument& Doc, const char* Section, const char* Key, std::int32_t Value)
{
    Doc.Write(Section, Key, QByteArray::number(Value));
}

void WriteBool(TIniDocument& Doc, const char* Section, const char* Key, bool Value)
{
    Doc.Write(Section, Key, Value ? "1" : "0");
}

QByteArray FileKey(int Place)
{
    return "File" + QByteArray::number(Place);
}

} // namespace

QString TEdSimSettings::DefaultFileName()
{
    return QDir::currentPath() + QStringLiteral("/Valvane.ini");
}

TEdSimSettings::TEdSimSettings(QString AFileName)
    : FileName(std::move(AFileName))
{
    SetDefaults();
}

void TEdSimSettings::SetDefaults()
{
    EdsacFormLeft = -1;
    EdsacFormTop = -1;
    InitialOrders = 2;
    LineNumbers = false;
    IgnoreCase = true;
    ShowSplash = true;
    RealTime = false;
    Beep = false;
    Bell = false;
    Dial = false;
    Teleprinter = false;
    RecentFiles.fill(QString());
    RecentCount = 0;
}

bool TEdSimSettings::Load()
{
    SetDefaults();
    FLastError.clear();
    TIniDocument Doc;
    if (ReadIniFile(FileName, Doc, FLastError) == TReadResult::Failed)
        return false;

    EdsacFormTop = ReadInt(Doc, SecPlacement, "Top", -1);
    EdsacFormLeft = ReadInt(Doc, SecPlacement, "Left", -1);
    InitialOrders = ReadInt(Doc, SecEdsac, "InitialOrders", 2);
    // Only two sets exist; anything else would leave the main window and the
    // Options dialog without a choice, so fall back to the default set.
    if (InitialOrders != 1 && InitialOrders != 2)
        InitialOrders = 2;
    LineNumbers = ReadBool(Doc, SecEdsac, "LineNumbers", false);
    ShowSplash = ReadBool(Doc, SecEdsac, "ShowSplash", true);
    RealTime = ReadBool(Doc, SecEdsac, "RealTime", false);
    IgnoreCase = ReadBool(Doc, SecEdsac, "IgnoreCase", true);
    Beep = ReadBool(Doc, SecSounds, "Beep", false);
    Bell = ReadBool(Doc, SecSounds, "Bell", false);
    Dial = ReadBool(Doc, SecSounds, "Dial", false);
    Teleprinter = ReadBool(Doc, SecSounds, "Teleprinter", false);

    // Only four places exist, and a hand-edited list may have gaps: keep the
    // non-empty entries among the first Num, in order, so the recent-file menu
    // never shows a blank item and Num always counts real entries.
    const int Num = std::clamp(ReadInt(Doc, SecRecent, "Num", 0), 0, MaxRecentFiles);
    RecentCount = 0;
    for (int Place = 1; Place <= Num; ++Place) {
        const QString Path = QString::fromUtf8(Doc.Read(SecRecent, FileKey(Place).constData()).value_or(QByteArray()));
        if (!Path.isEmpty())
            RecentFiles[RecentCount++] = Path;
    }
    return true;
}

bool TEdSimSettings::Save()
{
    FLastError.clear();
    TIniDocument Doc;
    // Writing over a file we could not read would lose whatever else it holds.
    if (ReadIniFile(FileName, Doc, FLastError) == TReadResult::Failed)
        return false;

    WriteInt(Doc, SecPlacement, "Top", EdsacFormTop);
    WriteInt(Doc, SecPlacement, "Left", EdsacFormLeft);
    WriteInt(Doc, SecEdsac, "InitialOrders", InitialOrders);
    WriteBool(Doc, SecEdsac, "LineNumbers", LineNumbers);
    WriteBool(Doc, SecEdsac, "ShowSplash", ShowSplash);
    WriteBool(Doc, SecEdsac, "RealTime", RealTime);
    WriteBool(Doc, SecEdsac, "IgnoreCase", IgnoreCase);
    WriteBool(Doc, SecSounds, "Beep", Beep);
    WriteBool(Doc, SecSounds, "Bell", Bell);
    WriteBool(Doc, SecSounds, "Dial", Dial);
    WriteBool(Doc, SecSounds, "Teleprinter", Teleprinter);
    const int Count = std::clamp(RecentCount, 0, MaxRecentFiles);
    WriteInt(Doc, SecRecent, "Num", Count);
    for (int Place = 1; Place <= MaxRecentFiles; ++Place) {
        const QString& Path = RecentFiles[Place - 1];
        // A line break in a value would turn the rest of it into keys of its own.
        const bool Usable = Place <= Count && !HasLineBreak(Path);
        Doc.Write(SecRecent, FileKey(Place).constData(), Usable ? Path.toUtf8() : QByteArray());
    }

    // Written beside the old file and renamed over it (or, in a folder that may
    // not be written, over the old file in place), so a failure half-way leaves
    // the previous settings intact.
    QString Reason;
    if (!Files::WriteWholeFile(FileName, Doc.Serialise(), Reason)) {
        FLastError = QStringLiteral("Cannot write %1: %2").arg(FileName, Reason);
        return false;
    }
    return true;
}

void TEdSimSettings::AddRecentFile(const QString& Path)
{
    // Neither could be written back as a recent file, and an empty place ends the list.
    if (Path.isEmpty() || HasLineBreak(Path))
        return;
    // Exactly: on a file system that tells letter cases apart, Primes.TXT and
    // primes.txt are two files.
    for (const QString& Known : RecentFiles)
        if (Known == Path)
            return;
    for (int Place = MaxRecentFiles - 1; Place > 0; --Place)
        RecentFiles[Place] = RecentFiles[Place - 1];
    RecentFiles[0] = Path;
    RecentCount = 0;
    while (RecentCount < MaxRecentFiles && !RecentFiles[RecentCount].isEmpty())
        ++RecentCount;
}

#include "settings/EdSimSettings.h"

#include "files/SafeFile.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <limits>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace {

// A settings file is a few hundred bytes; anything far larger is not ours, and
// reading it whole (or a device that never ends) must not hang the start-up.
constexpr qint64 MaxIniFileSize = 1024 * 1024;

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
    case Files::TReadStatus::Missing: return TReadResult::Missing;
    case Files::TReadStatus::Failed:
        Error = QStringLiteral("Cannot read %1: %2").arg(FileName, Reason);
        return TReadResult::Failed;
    case Files::TReadStatus::Read: break;
    }
    Doc.Parse(Data);
    return TReadResult::Read;
}

// One key of the file: where it lives, the field it fills and the value a missing
// or unusable entry gives. Values outside Lowest..Highest are unusable too. The
// order is the order a fresh file lists them in.
struct TSettingKey {
    const char* Section;
    const char* Key;
    std::variant<std::int32_t TEdSimSettings::*, bool TEdSimSettings::*> Field;
    std::int32_t Default;
    std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
    std::int32_t Highest = std::numeric_limits<std::int32_t>::max();
};

const char* const SecPlacement = "EdsacFormPlacement";
const char* const SecEdsac = "Edsac";
const char* const SecSounds = "Sounds";
const char* const SecRecent = "RecentFiles";
const char* const KeyRecentCount = "Num";

using S = TEdSimSettings;
const TSettingKey SettingKeys[] = {
    {SecPlacement, "Top", &S::EdsacFormTop, -1},
    {SecPlacement, "Left", &S::EdsacFormLeft, -1},
    // Only two sets exist; anything else would leave the main window and the
    // Options dialog without a choice.
    {SecEdsac, "InitialOrders", &S::InitialOrders, 2, 1, 2},
    {SecEdsac, "LineNumbers", &S::LineNumbers, 0},
    {SecEdsac, "ShowSplash", &S::ShowSplash, 1},
    {SecEdsac, "RealTime", &S::RealTime, 0},
    {SecEdsac, "IgnoreCase", &S::IgnoreCase, 1},
    {SecSounds, "Beep", &S::Beep, 0},
    {SecSounds, "Bell", &S::Bell, 0},
    {SecSounds, "Dial", &S::Dial, 0},
    {SecSounds, "Teleprinter", &S::Teleprinter, 0},
};

std::int32_t Get(const TEdSimSettings& Settings, const TSettingKey& Key)
{
    return std::visit([&](auto Field) { return static_cast<std::int32_t>(Settings.*Field); }, Key.Field);
}

void Set(TEdSimSettings& Settings, const TSettingKey& Key, std::int32_t Value)
{
    std::visit(
        [&](auto Field) {
            using TValue = std::remove_reference_t<decltype(Settings.*Field)>;
            if constexpr (std::is_same_v<TValue, bool>)
                Settings.*Field = Value != 0;
            else
                Settings.*Field = Value;
        },
        Key.Field);
}

// A flag is written 0 or 1, and any other integer reads as set.
std::int32_t Read(const TIniDocument& Doc, const TSettingKey& Key)
{
    const std::optional<QByteArray> Raw = Doc.Read(Key.Section, Key.Key);
    const std::optional<std::int32_t> Value = Raw ? ParseInt(*Raw) : std::nullopt;
    if (!Value || *Value < Key.Lowest || *Value > Key.Highest)
        return Key.Default;
    if (std::holds_alternative<bool TEdSimSettings::*>(Key.Field))
        return *Value != 0;
    return *Value;
}

QByteArray FileKey(int Place)
{
    return "File" + QByteArray::number(Place);
}

// Only four places exist, and a hand-edited list may have gaps: the non-empty
// entries among the first Num, in order, so the recent-file menu never shows a
// blank item.
QStringList ReadRecent(const TIniDocument& Doc)
{
    const int Num = std::clamp(ParseInt(Doc.Read(SecRecent, KeyRecentCount).value_or("0")).value_or(0), 0,
                               TEdSimSettings::MaxRecentFiles);
    QStringList Paths;
    for (int Place = 1; Place <= Num; ++Place) {
        const QString Path = QString::fromUtf8(Doc.Read(SecRecent, FileKey(Place).constData()).value_or(QByteArray()));
        if (!Path.isEmpty())
            Paths << Path;
    }
    return Paths;
}

// The places in use, most recent first.
QStringList Recent(const TEdSimSettings& Settings)
{
    const int Count = std::clamp(Settings.RecentCount, 0, TEdSimSettings::MaxRecentFiles);
    return QStringList(Settings.RecentFiles.begin(), Settings.RecentFiles.begin() + Count);
}

void WriteRecent(TIniDocument& Doc, const std::array<QString, TEdSimSettings::MaxRecentFiles>& Paths, int Count)
{
    Doc.Write(SecRecent, KeyRecentCount, QByteArray::number(Count));
    for (int Place = 1; Place <= TEdSimSettings::MaxRecentFiles; ++Place) {
        const QString& Path = Paths[Place - 1];
        // A line break in a value would turn the rest of it into keys of its own.
        const bool Usable = Place <= Count && !HasLineBreak(Path);
        Doc.Write(SecRecent, FileKey(Place).constData(), Usable ? Path.toUtf8() : QByteArray());
    }
}

} // namespace

QString TEdSimSettings::DefaultFileName()
{
    return QDir::currentPath() + QStringLiteral("/Valvane.ini");
}

TEdSimSettings::TEdSimSettings(QString AFileName) : FileName(std::move(AFileName))
{
    SetDefaults();
    MarkSaved();
}

void TEdSimSettings::SetDefaults()
{
    for (const TSettingKey& Key : SettingKeys)
        Set(*this, Key, Key.Default);
    RecentFiles.fill(QString());
    RecentCount = 0;
}

void TEdSimSettings::MarkSaved()
{
    FSavedValues.clear();
    for (const TSettingKey& Key : SettingKeys)
        FSavedValues.push_back(Get(*this, Key));
    FSavedRecent = Recent(*this);
}

bool TEdSimSettings::Load()
{
    SetDefaults();
    MarkSaved();
    FLastError.clear();
    TIniDocument Doc;
    if (ReadIniFile(FileName, Doc, FLastError) == TReadResult::Failed)
        return false;

    for (const TSettingKey& Key : SettingKeys)
        Set(*this, Key, Read(Doc, Key));
    const QStringList Paths = ReadRecent(Doc);
    RecentCount = 0;
    for (const QString& Path : Paths)
        RecentFiles[RecentCount++] = Path;
    MarkSaved();
    return true;
}

bool TEdSimSettings::Save()
{
    FLastError.clear();
    TIniDocument Doc;
    // Writing over a file we could not read would lose whatever else it holds.
    if (ReadIniFile(FileName, Doc, FLastError) == TReadResult::Failed)
        return false;

    // Another Valvane started in the same folder may have saved since this one
    // read the file: what it changed stays, unless this one changed the same key.
    int Index = 0;
    for (const TSettingKey& Key : SettingKeys) {
        const std::int32_t Mine = Get(*this, Key);
        const std::int32_t Value = Mine != FSavedValues[Index++] ? Mine : Read(Doc, Key);
        Doc.Write(Key.Section, Key.Key, QByteArray::number(Value));
    }
    // The tapes opened here since the last save go first, then the file's own list.
    QStringList Merged;
    for (const QString& Path : Recent(*this))
        if (!FSavedRecent.contains(Path))
            Merged << Path;
    for (const QString& Path : ReadRecent(Doc))
        if (!Merged.contains(Path))
            Merged << Path;
    std::array<QString, MaxRecentFiles> Paths;
    const int Count = std::min(int(Merged.size()), MaxRecentFiles);
    std::copy_n(Merged.begin(), Count, Paths.begin());
    WriteRecent(Doc, Paths, Count);

    // Written beside the old file and renamed over it (or, in a folder that may
    // not be written, over the old file in place), so a failure half-way leaves
    // the previous settings intact.
    QString Reason;
    if (!Files::WriteWholeFile(FileName, Doc.Serialise(), Reason)) {
        FLastError = QStringLiteral("Cannot write %1: %2").arg(FileName, Reason);
        return false;
    }
    MarkSaved();
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

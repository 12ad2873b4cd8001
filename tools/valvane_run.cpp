// valvane-run: runs a tape on the machine without windows and prints what the
// teleprinter printed, exactly as the program's "Save Edsac Output As..." saves it.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/Debugger.h"
#include "core/EdsacCore.h"
#include "core/RunControl.h"
#include "files/SafeFile.h"
#include "files/TextEncoding.h"
#include "tools/run_host.h"
#include "valvane_version.h"
#include "core/messages.h"

namespace {

enum TExit { exStop = 0, exUsage = 1, exError = 2, exLimit = 3 };

// File names in the text come out as the bytes they were given as.
void Complain(const QString& Text)
{
    std::fprintf(stderr, "valvane-run: %s\n", Files::EncodeName(Text).constData());
}

bool ReadTape(const QString& Path, QByteArray& Data)
{
    QString Reason;
    switch (Files::ReadRegularFile(Path, Files::MaxTapeSize, Data, Reason)) {
    case Files::TReadStatus::Missing: Complain(QString::fromLatin1(Messages::RunCannotFind).arg(Path)); return false;
    case Files::TReadStatus::Failed:
        Complain(QString::fromLatin1(Messages::RunCannotRead).arg(Path, Reason));
        return false;
    case Files::TReadStatus::Read: break;
    }
    return true;
}

bool WriteFile(const QString& Path, const QByteArray& Data, const char* What)
{
    QString Reason;
    if (!Files::WriteWholeFile(Path, Data, Reason)) {
        Complain(QString::fromLatin1(Messages::RunCannotWrite).arg(QLatin1String(What), Path, Reason));
        return false;
    }
    return true;
}

// Standard output may be a full disk or a closed pipe: every byte is checked.
bool WriteStdout(const std::string& Text)
{
    if (std::fwrite(Text.data(), 1, Text.size(), stdout) == Text.size() && std::fflush(stdout) == 0)
        return true;
    Complain(QString::fromLatin1(Messages::RunCannotWriteOutput).arg(QString::fromLocal8Bit(std::strerror(errno))));
    return false;
}

// A terminal would return to the start of the line at each carriage return, and
// the rest of the message would overwrite its beginning.
std::string ForTerminal(const std::string& Message)
{
    std::string Out;
    for (size_t At = 0; At < Message.size(); ++At) {
        const bool Pair = Message[At] == '\r' && At + 1 < Message.size() && Message[At + 1] == '\r';
        Out += Pair ? '\n' : Message[At];
        At += Pair;
    }
    return Out;
}

QJsonArray ToJson(TWords Words)
{
    QJsonArray Array;
    for (const TWord W : Words)
        Array.append(W);
    return Array;
}

// How the run ended.
enum class TRunStatus { Stop, Error, Limit };

// The name the dump gives the status.
QString StatusName(TRunStatus Status)
{
    switch (Status) {
    case TRunStatus::Stop: return QStringLiteral("stop");
    case TRunStatus::Error: return QStringLiteral("error");
    case TRunStatus::Limit: break;
    }
    return QStringLiteral("limit");
}

TExit ExitFor(TRunStatus Status)
{
    switch (Status) {
    case TRunStatus::Stop: return exStop;
    case TRunStatus::Error: return exError;
    case TRunStatus::Limit: break;
    }
    return exLimit;
}

struct TOptions {
    QString TapePath;
    bool SecondOrders = true;
    bool CaseSensitive = false;
    qulonglong MaxOrders = 0;
    // Digits to dial, one at each stop.
    QString Digits;
    std::optional<QString> PunchPath;
    std::optional<QString> DumpPath;
    std::optional<QString> ProfilePath;
    bool Trace = false;
    bool Stats = false;
};

struct TRunResult {
    TRunStatus Status = TRunStatus::Limit;
    std::string Message;
    qulonglong Executed = 0;
    double Seconds = 0;
};

// The command line; nothing when it is wrong (already said on stderr). Help and
// version end the program here.
std::optional<TOptions> ParseOptions(const QStringList& Arguments)
{
    QCommandLineParser Parser;
    Parser.setApplicationDescription(QStringLiteral("Runs an EDSAC program tape and prints the teleprinter output."));
    Parser.addHelpOption();
    Parser.addVersionOption();
    const QCommandLineOption InitialOrdersOption({QStringLiteral("i"), QStringLiteral("initial-orders")},
                                                 QStringLiteral("Initial Orders to load, 1 or 2 (default 2)."),
                                                 QStringLiteral("1|2"), QStringLiteral("2"));
    const QCommandLineOption CaseOption(
        QStringLiteral("case-sensitive"),
        QStringLiteral("Lower-case letters on the tape are illegal (default: read as capitals)."));
    const QCommandLineOption MaxOption(QStringLiteral("max-orders"),
                                       QStringLiteral("Give up after N orders (default 100000000)."),
                                       QStringLiteral("N"), QStringLiteral("100000000"));
    const QCommandLineOption DialOption(
        QStringLiteral("dial"),
        QStringLiteral("At each stop, dial the next digit (0 dials 10), clear the stop, go on."),
        QStringLiteral("DIGITS"));
    const QCommandLineOption PunchOption(QStringLiteral("punch"), QStringLiteral("Write the punched output to FILE."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption DumpOption(QStringLiteral("dump"),
                                        QStringLiteral("Write the final machine state to FILE as JSON."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption ProfileOption(
        QStringLiteral("profile"),
        QStringLiteral("Write to FILE, as CSV, how often each location ran and its machine time."),
        QStringLiteral("FILE"));
    const QCommandLineOption TraceOption(QStringLiteral("trace"), QStringLiteral("Write every trace line to stderr."));
    const QCommandLineOption StatsOption(QStringLiteral("stats"),
                                         QStringLiteral("After the run, write figures to stderr."));
    Parser.addOptions({InitialOrdersOption, CaseOption, MaxOption, DialOption, PunchOption, DumpOption, ProfileOption,
                       TraceOption, StatsOption});
    Parser.addPositionalArgument(QStringLiteral("TAPE"), QStringLiteral("The program tape, a text file."));

    if (!Parser.parse(Arguments)) {
        Complain(Parser.errorText());
        return std::nullopt;
    }
    if (Parser.isSet(QStringLiteral("help")))
        Parser.showHelp(exStop);
    if (Parser.isSet(QStringLiteral("version")))
        Parser.showVersion();

    TOptions Options;
    const QString Orders = Parser.value(InitialOrdersOption);
    if (Orders != QLatin1String("1") && Orders != QLatin1String("2")) {
        Complain(QString::fromLatin1(Messages::RunInitialOrders).arg(Orders));
        return std::nullopt;
    }
    Options.SecondOrders = Orders == QLatin1String("2");
    bool Ok = false;
    Options.MaxOrders = Parser.value(MaxOption).toULongLong(&Ok);
    if (!Ok) {
        Complain(QString::fromLatin1(Messages::RunMaxOrders).arg(Parser.value(MaxOption)));
        return std::nullopt;
    }
    Options.Digits = Parser.value(DialOption);
    for (const QChar Ch : Options.Digits)
        if (Ch < QLatin1Char('0') || Ch > QLatin1Char('9')) {
            Complain(QString::fromLatin1(Messages::RunDial).arg(Options.Digits));
            return std::nullopt;
        }
    const QStringList Positional = Parser.positionalArguments();
    if (Positional.size() != 1) {
        Complain(Positional.isEmpty() ? QString::fromLatin1(Messages::RunNoTape)
                                      : QString::fromLatin1(Messages::RunOneTape));
        return std::nullopt;
    }
    Options.TapePath = Positional[0];
    Options.CaseSensitive = Parser.isSet(CaseOption);
    if (Parser.isSet(PunchOption))
        Options.PunchPath = Parser.value(PunchOption);
    if (Parser.isSet(DumpOption))
        Options.DumpPath = Parser.value(DumpOption);
    if (Parser.isSet(ProfileOption))
        Options.ProfilePath = Parser.value(ProfileOption);
    Options.Trace = Parser.isSet(TraceOption);
    Options.Stats = Parser.isSet(StatsOption);
    return Options;
}

// Whether Path names the regular file that standard output goes to.
bool IsStandardOutput(const QString& Path)
{
    struct stat Out, Info;
    return ::fstat(STDOUT_FILENO, &Out) == 0 && S_ISREG(Out.st_mode) &&
           ::stat(Files::EncodeName(Path).constData(), &Info) == 0 && Info.st_dev == Out.st_dev &&
           Info.st_ino == Out.st_ino;
}

// An output that is the tape, the other output or the file standard output goes
// to, however named, would replace what the run read or wrote: refused before
// the run, with the clash named. A device or a pipe is written, not replaced, so
// both outputs may share one (/dev/null).
bool OutputsClash(const TOptions& Options)
{
    using TEarlier = std::initializer_list<std::pair<const char*, std::optional<QString>>>;
    const auto Clash = [&Options](const char* What, const QString& Path, TEarlier Earlier) {
        struct stat Info;
        if (::stat(Files::EncodeName(Path).constData(), &Info) == 0 && !S_ISREG(Info.st_mode))
            return false;
        const QString Name = QStringLiteral("the %1 file %2").arg(QLatin1String(What), Path);
        if (Files::SameFile(Path, Options.TapePath)) {
            Complain(QStringLiteral("%1 would overwrite the tape file %2").arg(Name, Options.TapePath));
            return true;
        }
        for (const auto& [Other, OtherPath] : Earlier)
            if (OtherPath && Files::SameFile(Path, *OtherPath)) {
                Complain(
                    QStringLiteral("%1 would overwrite the %2 file %3").arg(Name, QLatin1String(Other), *OtherPath));
                return true;
            }
        if (!IsStandardOutput(Path))
            return false;
        Complain(QStringLiteral("%1 would overwrite the standard output").arg(Name));
        return true;
    };
    return (Options.PunchPath && Clash("punch", *Options.PunchPath, {})) ||
           (Options.DumpPath && Clash("dump", *Options.DumpPath, {{"punch", Options.PunchPath}})) ||
           (Options.ProfilePath &&
            Clash("profile", *Options.ProfilePath, {{"punch", Options.PunchPath}, {"dump", Options.DumpPath}}));
}

// Start pressed: one step at a time, as the run timer would, dialling at the stops.
TRunResult Run(TRunControl& Machine, const TOptions& Options)
{
    Machine.SelectInitialOrders(InitialOrdersChoice(Options.SecondOrders));
    Machine.Clear();
    Machine.LoadInitialOrders();

    TRunResult Result;
    const auto Started = std::chrono::steady_clock::now();
    int DialNext = 0;
    while (Result.Executed < Options.MaxOrders) {
        const TStepResult Step = Machine.Step();
        if (Step == TStepResult::srError) {
            Result.Status = TRunStatus::Error;
            Result.Message = Machine.LastStop().Text;
            break;
        }
        ++Result.Executed;
        if (Step == TStepResult::srStopped) {
            if (DialNext < Options.Digits.size()) {
                const int Digit = Options.Digits[DialNext++].digitValue();
                Machine.Dial(Digit == 0 ? 10 : Digit);
                continue;
            }
            Result.Status = TRunStatus::Stop;
            break;
        }
    }
    Result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();
    if (Result.Status == TRunStatus::Limit)
        Result.Message = Messages::Fill(Messages::RunGaveUp, {std::to_string(Result.Executed)});
    return Result;
}

QByteArray Dump(const TEdsacCore& Core, const TRunResult& Result)
{
    QJsonObject Dump;
    Dump[QStringLiteral("status")] = StatusName(Result.Status);
    Dump[QStringLiteral("message")] = QString::fromStdString(Result.Message);
    Dump[QStringLiteral("orders")] = static_cast<qint64>(Result.Executed);
    Dump[QStringLiteral("time")] = static_cast<qint64>(Core.Control().GetElapsedTime());
    Dump[QStringLiteral("scr")] = Core.Control().GetSCR();
    Dump[QStringLiteral("order_tank")] = Core.Control().GetOrderTank();
    Dump[QStringLiteral("acc")] = ToJson(Core.Arithmetic().Acc());
    Dump[QStringLiteral("multiplier")] = ToJson(Core.Arithmetic().Multr());
    Dump[QStringLiteral("multiplicand")] = ToJson(Core.Arithmetic().Multd());
    Dump[QStringLiteral("store")] = ToJson(Core.GetStoreContents());
    return QJsonDocument(Dump).toJson(QJsonDocument::Indented);
}

// One line a location that ran: where, the order there now, how often it ran
// and its machine time in milliseconds.
QByteArray ProfileCsv(const TProfile& Profile, const TEdsacCore& Core)
{
    QByteArray Csv = "location,order,count,milliseconds\n";
    for (size_t Location = 0; Location < Profile.Count.size(); ++Location) {
        if (Profile.Count[Location] == 0)
            continue;
        const std::uint64_t Time = Profile.Time[Location];
        Csv += QByteArray::number(static_cast<qulonglong>(Location)) + ',' +
               QByteArray::fromStdString(WordToOrderStr(Core.GetStoreContents()[Location], 'F', 'D')) + ',' +
               QByteArray::number(static_cast<qulonglong>(Profile.Count[Location])) + ',' +
               QByteArray::number(static_cast<qulonglong>(Time / 10)) + '.' +
               QByteArray::number(static_cast<qulonglong>(Time % 10)) + '\n';
    }
    return Csv;
}

// The teleprinter's output on stdout, the message on stderr, then the figures,
// the punch and the dump as asked; the exit status.
int Report(const TRunHost& Host, const TEdsacCore& Core, const TDebugger& Debugger, const TOptions& Options,
           const TRunResult& Result)
{
    std::string Output;
    for (const std::string& Line : Host.TeleprinterLines)
        Output += Line + "\n";
    int Exit = ExitFor(Result.Status);
    if (!WriteStdout(Output))
        Exit = exError;
    if (!Result.Message.empty()) {
        const std::string Shown = ForTerminal(Result.Message) + "\n";
        std::fwrite(Shown.data(), 1, Shown.size(), stderr);
    }

    if (Options.Stats) {
        const std::uint32_t Time = Core.Control().GetElapsedTime();
        std::fprintf(stderr, "orders: %llu\nmachine time: %.4f\nseconds: %.3f\norders/s: %.0f\n", Result.Executed,
                     Time / 10000.0, Result.Seconds, Result.Seconds > 0 ? Result.Executed / Result.Seconds : 0.0);
    }
    std::fflush(stderr);

    if (Options.PunchPath) {
        QByteArray Punched;
        for (const std::string& Line : Host.PunchedTape)
            Punched += QByteArray::fromStdString(Line) + '\n';
        if (!WriteFile(*Options.PunchPath, Punched, "punch"))
            Exit = exUsage;
    }
    if (Options.DumpPath && !WriteFile(*Options.DumpPath, Dump(Core, Result), "dump"))
        Exit = exUsage;
    if (Options.ProfilePath && !WriteFile(*Options.ProfilePath, ProfileCsv(Debugger.Profile(), Core), "profile"))
        Exit = exUsage;
    return Exit;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("valvane-run"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VALVANE_VERSION));

    // From the bytes given, not the toolkit's decoding, so that a file name that
    // is not UTF-8 still names its file.
    QStringList Arguments;
    for (int I = 0; I < argc; ++I)
        Arguments << Files::DecodeName(QByteArray(argv[I]));
    const std::optional<TOptions> Options = ParseOptions(Arguments);
    if (!Options)
        return exUsage;
    QByteArray Bytes;
    if (!ReadTape(Options->TapePath, Bytes) || OutputsClash(*Options))
        return exUsage;

    TRunHost Host;
    {
        // As a tape window reads it: UTF-8, UTF-16 with its mark, or else Latin-1.
        QString Text;
        Files::DecodeText(Bytes, Text);
        Bytes = QByteArray(); // the file's bytes are not needed once decoded
        Host.Tape.SetText(Text.toStdU32String());
    }
    Host.IgnoreCase = !Options->CaseSensitive;
    Host.Trace = Options->Trace;
    static char TraceBuffer[1 << 16];
    if (Host.Trace)
        std::setvbuf(stderr, TraceBuffer, _IOFBF, sizeof TraceBuffer);

    TEdsacCore Core(Host);
    TRunControl Machine(Core, Host);
    // Counting every order costs a little: only when a profile is asked for.
    Machine.Debugger().SetProfiling(Options->ProfilePath.has_value());
    const TRunResult Result = Run(Machine, *Options);
    const int Exit = Report(Host, Core, Machine.Debugger(), *Options, Result);

    Core.Shutdown();
    std::fflush(stderr);
    return Exit;
}

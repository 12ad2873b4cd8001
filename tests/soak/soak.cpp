// valvane-soak: a seeded random soak of the machine through its headless host.
// It feeds valvane-run random programs for both Initial Orders (so the store fills
// with every order code), random noise, mutations of the example tapes and random
// dial digits, and checks that every run ends with a defined exit status and a
// dump that is valid and agrees with it. Built with the sanitizers, any report
// of theirs fails the soak too. A failing tape is kept for replay.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <map>

#include "random_tapes.h"

namespace {

using namespace RandomTapes;

bool WordsIn(const QJsonValue& Value, int Count, qint64 Low, qint64 High)
{
    const QJsonArray Words = Value.toArray();
    if (!Value.isArray() || Words.size() != Count)
        return false;
    for (const QJsonValue& Word : Words) {
        if (!Word.isDouble())
            return false;
        const qint64 W = Word.toInteger();
        if (W < Low || W > High)
            return false;
    }
    return true;
}

// What is wrong with a run, or an empty string when nothing is.
QString CheckRun(int Exit, const QByteArray& Errors, const QByteArray& DumpText, int MaxOrders, qint64& Orders)
{
    if (Errors.contains("Sanitizer") || Errors.contains("runtime error:"))
        return QStringLiteral("sanitizer report:\n") + QString::fromLocal8Bit(Errors);
    const std::map<int, QString> Statuses{
        {0, QStringLiteral("stop")}, {2, QStringLiteral("error")}, {3, QStringLiteral("limit")}};
    const auto Expected = Statuses.find(Exit);
    if (Expected == Statuses.end())
        return QStringLiteral("exit status %1\n%2").arg(Exit).arg(QString::fromLocal8Bit(Errors));
    QJsonParseError ParseError;
    const QJsonDocument Doc = QJsonDocument::fromJson(DumpText, &ParseError);
    if (!Doc.isObject())
        return QStringLiteral("dump is not a JSON object: ") + ParseError.errorString();
    const QJsonObject Dump = Doc.object();
    if (Dump.value(QStringLiteral("status")).toString() != Expected->second)
        return QStringLiteral("exit %1 but status \"%2\"")
            .arg(Exit)
            .arg(Dump.value(QStringLiteral("status")).toString());
    if (!Dump.value(QStringLiteral("message")).isString() ||
        (Exit == 2 && Dump.value(QStringLiteral("message")).toString().isEmpty()))
        return QStringLiteral("no message");
    Orders = Dump.value(QStringLiteral("orders")).toInteger(-1);
    if (Orders < 0 || Orders > MaxOrders || (Exit == 3 && Orders != MaxOrders))
        return QStringLiteral("orders %1 with a limit of %2").arg(Orders).arg(MaxOrders);
    if (Dump.value(QStringLiteral("time")).toInteger(-1) < 0)
        return QStringLiteral("bad time");
    const qint64 Short = 1 << 17, Location = 1 << 18;
    if (!WordsIn(QJsonArray{Dump.value(QStringLiteral("scr"))}, 1, 0, 2047) ||
        !WordsIn(QJsonArray{Dump.value(QStringLiteral("order_tank"))}, 1, -Location, Location) ||
        !WordsIn(Dump.value(QStringLiteral("acc")), 4, -Location, Location) ||
        !WordsIn(Dump.value(QStringLiteral("multiplier")), 2, -Location, Location) ||
        !WordsIn(Dump.value(QStringLiteral("multiplicand")), 2, -Location, Location) ||
        !WordsIn(Dump.value(QStringLiteral("store")), 1024, -Short, Location - 1))
        return QStringLiteral("a register or the store is out of range");
    return {};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    QCommandLineParser Parser;
    Parser.setApplicationDescription(QStringLiteral("Random programs and tapes through valvane-run."));
    Parser.addHelpOption();
    const QCommandLineOption SeedOption(QStringLiteral("seed"), QStringLiteral("Random seed."), QStringLiteral("N"),
                                        QStringLiteral("1949"));
    const QCommandLineOption OrdersOption(QStringLiteral("orders"), QStringLiteral("Orders to execute in all."),
                                          QStringLiteral("N"), QStringLiteral("2000000"));
    const QCommandLineOption RunnerOption(QStringLiteral("runner"), QStringLiteral("The valvane-run program."),
                                          QStringLiteral("PATH"));
    const QCommandLineOption TapesOption(QStringLiteral("tapes"), QStringLiteral("Folder of example tapes to mutate."),
                                         QStringLiteral("DIR"));
    const QCommandLineOption KeepOption(QStringLiteral("keep"), QStringLiteral("Folder for the tape of a failing run."),
                                        QStringLiteral("DIR"), QDir::tempPath());
    Parser.addOptions({SeedOption, OrdersOption, RunnerOption, TapesOption, KeepOption});
    Parser.process(App);

    const std::uint64_t Seed = Parser.value(SeedOption).toULongLong();
    const qint64 Target = Parser.value(OrdersOption).toLongLong();
    const QString Runner = Parser.value(RunnerOption);
    if (Runner.isEmpty()) {
        std::fprintf(stderr, "valvane-soak: --runner is needed\n");
        return 1;
    }
    QList<QByteArray> Examples;
    if (Parser.isSet(TapesOption)) {
        const QDir Tapes(Parser.value(TapesOption));
        for (const QString& Name : Tapes.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            QFile File(Tapes.filePath(Name));
            if (File.open(QIODevice::ReadOnly))
                Examples.append(File.readAll());
        }
    }

    QTemporaryDir Scratch;
    const QString TapePath = Scratch.filePath(QStringLiteral("tape.txt"));
    const QString DumpPath = Scratch.filePath(QStringLiteral("dump.json"));
    TRandom Rng(Seed);
    QElapsedTimer Clock;
    Clock.start();
    qint64 Total = 0;
    int Runs = 0;
    std::map<int, int> Exits;
    // A line every ten seconds, so a long soak (or a ctest -V) shows it is alive.
    qint64 NextReport = 10000;
    while (Total < Target) {
        if (Clock.elapsed() >= NextReport) {
            std::printf("progress: %lld of %lld orders, %d runs, %.0f s\n", static_cast<long long>(Total),
                        static_cast<long long>(Target), Runs, Clock.elapsed() / 1000.0);
            std::fflush(stdout);
            NextReport = Clock.elapsed() + 10000;
        }
        const TCase Case = MakeCase(Rng, Examples);
        QFile Tape(TapePath);
        if (!Tape.open(QIODevice::WriteOnly) || Tape.write(Case.Tape) != Case.Tape.size() || !Tape.flush()) {
            std::fprintf(stderr, "valvane-soak: cannot write %s\n", qPrintable(TapePath));
            return 1;
        }
        Tape.close();
        QFile::remove(DumpPath);

        QStringList Arguments{QStringLiteral("-i"),           QString::number(Case.InitialOrders),
                              QStringLiteral("--max-orders"), QString::number(Case.MaxOrders),
                              QStringLiteral("--dump"),       DumpPath};
        if (Case.CaseSensitive)
            Arguments << QStringLiteral("--case-sensitive");
        if (!Case.Dial.isEmpty())
            Arguments << QStringLiteral("--dial") << Case.Dial;
        Arguments << TapePath;
        QProcess Run;
        Run.setStandardOutputFile(QProcess::nullDevice());
        Run.start(Runner, Arguments);
        const bool Finished = Run.waitForFinished(120000);
        const int Exit = Finished && Run.exitStatus() == QProcess::NormalExit ? Run.exitCode() : -1;
        QFile Dump(DumpPath);
        const QByteArray DumpText = Dump.open(QIODevice::ReadOnly) ? Dump.readAll() : QByteArray();
        qint64 Orders = 0;
        const QString Fault = Finished ? CheckRun(Exit, Run.readAllStandardError(), DumpText, Case.MaxOrders, Orders)
                                       : QStringLiteral("no end after two minutes");
        ++Runs;
        ++Exits[Exit];
        if (!Fault.isEmpty()) {
            const QString Kept =
                QDir(Parser.value(KeepOption)).filePath(QStringLiteral("soak-failure-%1-%2.txt").arg(Seed).arg(Runs));
            QFile Keep(Kept);
            if (Keep.open(QIODevice::WriteOnly))
                Keep.write(Case.Tape);
            std::fprintf(stderr, "valvane-soak: run %d (%s) failed: %s\n  replay: %s %s\n", Runs, qPrintable(Case.Kind),
                         qPrintable(Fault), qPrintable(Runner),
                         qPrintable(Arguments.mid(0, Arguments.size() - 1).join(u' ') + u' ' + Kept));
            return 1;
        }
        Total += Orders;
    }
    std::printf("seed: %llu\nruns: %d\norders: %lld\nstopped: %d\nerrors: %d\nlimits: %d\nseconds: %.1f\n",
                static_cast<unsigned long long>(Seed), Runs, static_cast<long long>(Total), Exits[0], Exits[2],
                Exits[3], Clock.elapsed() / 1000.0);
    return 0;
}

// valvane-run's contract: what it prints, where, with which exit status, and the
// files it writes.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "tests/files/full_disk.h"
#include "valvane_version.h"

namespace {

struct TRun {
    int Status = -1;
    QByteArray Out, Err;
};

TRun Run(const QStringList& Args, const QString& OutputFile = QString())
{
    QProcess P;
    if (!OutputFile.isEmpty())
        P.setStandardOutputFile(OutputFile);
    P.start(QStringLiteral(VALVANE_RUN), Args);
    P.waitForFinished(120000);
    return {P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1, P.readAllStandardOutput(),
            P.readAllStandardError()};
}

QString Tape(const char* Name)
{
    return QStringLiteral(VALVANE_TAPES "/") + QLatin1String(Name);
}

QByteArray ReadAll(const QString& Path)
{
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray("<unreadable>");
}

bool IsFifo(const QString& Path)
{
    struct stat Info;
    return ::lstat(QFile::encodeName(Path).constData(), &Info) == 0 && S_ISFIFO(Info.st_mode);
}

} // namespace

class TestRunner : public QObject {
    Q_OBJECT
    QTemporaryDir Dir;

    QString Write(const QString& Name, const QByteArray& Text)
    {
        QFile F(Dir.filePath(Name));
        F.open(QIODevice::WriteOnly);
        F.write(Text);
        return F.fileName();
    }

private slots:
    void stopEndsCleanly()
    {
        const TRun R = Run({Tape("greeting.txt")});
        QCOMPARE(R.Status, 0);
        QCOMPARE(R.Out, QByteArray("HELLO EDSAC 1949\n\n"));
        QCOMPARE(R.Err, QByteArray());
    }

    void errorsStopWithTheMessageAUserWouldSee()
    {
        TRun R = Run({Write("short.txt", "T 64 K\nG K\n")});
        QCOMPARE(R.Status, 2);
        QCOMPARE(R.Err, QByteArray("End of tape encountered\n"));

        R = Run({QStringLiteral("--case-sensitive"), Write("lower.txt", "T 64 K\n\nG k\n")});
        QCOMPARE(R.Status, 2);
        // One line break on a terminal where the message has its two carriage returns.
        QCOMPARE(R.Err, QByteArray("Illegal character on line number 3\n[\"k\" ASCII value 107]\n"));
        // Read as capitals by default, the same tape only runs out.
        QCOMPARE(Run({Dir.filePath("lower.txt")}).Err, QByteArray("End of tape encountered\n"));

        // A program that jumps to a word of zeros meets the unknown order P.
        R = Run({Write("unknown.txt", "T 64 K G K E 5 @ E Z P F")});
        QCOMPARE(R.Status, 2);
        QCOMPARE(R.Err, QByteArray("Unknown order 0\n"));

        // Figure shift, then H: a pound sign, printed as UTF-8.
        R = Run({Write("pound.txt", "T 64 K G K O 4 @ O 5 @ Z F P F # F H F E Z P F")});
        QCOMPARE(R.Status, 0);
        QCOMPARE(R.Out, QByteArray("\xC2\xA3\n"));
    }

    void runawayControlIsStoppedAtTheStoreEnd()
    {
        // X orders all the way to 1023, then nothing left to fetch.
        QByteArray Text = "T 1000 K G K ";
        for (int I = 0; I < 24; ++I)
            Text += "X F ";
        Text += "E Z P F";
        const TRun R = Run({Write("runaway.txt", Text)});
        QCOMPARE(R.Status, 2);
        QCOMPARE(R.Err, QByteArray("Order fetch outside the store at location 1024\n"));
    }

    void orderLimitAndStats()
    {
        const TRun R = Run(
            {QStringLiteral("--max-orders"), QStringLiteral("1000"), QStringLiteral("--stats"), Tape("countdown.txt")});
        QCOMPARE(R.Status, 3);
        const QList<QByteArray> Lines = R.Err.trimmed().split('\n');
        QCOMPARE(Lines.size(), 5);
        QCOMPARE(Lines[0], QByteArray("Gave up after 1000 orders"));
        QCOMPARE(Lines[1], QByteArray("orders: 1000"));
        QVERIFY(Lines[2].startsWith("machine time: "));
        QVERIFY(Lines[3].startsWith("seconds: "));
        QVERIFY(Lines[4].startsWith("orders/s: "));
    }

    void dialDigitsThenStop()
    {
        TRun R = Run({QStringLiteral("--dial"), QStringLiteral("905"), Tape("dial_echo.txt")});
        QCOMPARE(R.Status, 0);
        QCOMPARE(R.Out, QByteArray("905\n"));
        QCOMPARE(Run({QStringLiteral("--dial"), QStringLiteral("9x"), Tape("dial_echo.txt")}).Status, 1);
    }

    // The dump names the way the run ended, as the exit status does.
    void dumpNamesHowTheRunEnded()
    {
        const QString Dump = Dir.filePath("ended.json");
        const auto Ended = [&](const QStringList& Arguments) {
            QFile::remove(Dump);
            const TRun R = Run(QStringList{QStringLiteral("--dump"), Dump} + Arguments);
            const QJsonObject J = QJsonDocument::fromJson(ReadAll(Dump)).object();
            return QStringLiteral("%1 %2 %3").arg(R.Status).arg(J["status"].toString(), J["message"].toString());
        };
        QCOMPARE(Ended({Tape("greeting.txt")}), QStringLiteral("0 stop "));
        QCOMPARE(Ended({QStringLiteral("--max-orders"), QStringLiteral("10"), Tape("countdown.txt")}),
                 QStringLiteral("3 limit Gave up after 10 orders"));
        QCOMPARE(Ended({Write("runaway.txt", "T 1000 K G K " + QByteArray("X F ").repeated(24) + "E Z P F")}),
                 QStringLiteral("2 error Order fetch outside the store at location 1024"));
    }

    // Registers loaded from known words: the multiplier from 70-71, the multiplicand from 72-73.
    void dumpHoldsEachRegisterAndEightCodesPunchTwoGroups()
    {
        const QString Dump = Dir.filePath("registers.json"), Punch = Dir.filePath("eight.txt");
        const QString Registers = Write("registers.txt", "T 64 K G K H 70 D A 72 D Z F P F P F P F "
                                                         "P 1 F P 2 F P 3 F P 4 F E Z P F");
        QCOMPARE(Run({QStringLiteral("--dump"), Dump, Registers}).Status, 0);
        const QJsonObject J = QJsonDocument::fromJson(ReadAll(Dump)).object();
        QCOMPARE(J["multiplier"].toArray(), (QJsonArray{4, 2})); // long word: odd location first
        QCOMPARE(J["multiplicand"].toArray(), (QJsonArray{8, 6}));

        const QString Eight = Write("eight.tape", "T 64 K G K O 9 @ O 9 @ O 9 @ O 9 @ O 9 @ O 9 @ O 9 @ O 9 @ "
                                                  "Z F A F E Z P F");
        QCOMPARE(Run({QStringLiteral("--punch"), Punch, Eight}).Status, 0);
        QCOMPARE(ReadAll(Punch), QByteArray("AAAA\nAAAA\n"));
    }

    // An output that is the tape or the other output, however named, is refused
    // before anything runs, and every file stays as it was.
    void outputsThatClashAreRefused()
    {
        const QString Source = Write("clash.txt", "T 64 K G K O 4 @ O 5 @ Z F P F * F H F E Z P F");
        const QString Link = Dir.filePath("clash-link.txt"), Out = Dir.filePath("clash-out.txt");
        QVERIFY(QFile::link(Source, Link));
        const QByteArray Before = ReadAll(Source);
        const auto Refused = [&](const QStringList& Args, const QByteArray& Said, const QString& Stdout = QString()) {
            const TRun R = Run(Args, Stdout);
            QCOMPARE(R.Status, 1);
            QCOMPARE(R.Out, QByteArray());
            QCOMPARE(R.Err, "valvane-run: " + Said + "\n");
            QCOMPARE(ReadAll(Source), Before);
        };
        const QString Dump = QStringLiteral("--dump"), Punch = QStringLiteral("--punch");
        const QByteArray OverTape = " would overwrite the tape file " + Source.toUtf8();
        Refused({Dump, Source, Source}, "the dump file " + Source.toUtf8() + OverTape);
        Refused({Punch, Link, Source}, "the punch file " + Link.toUtf8() + OverTape);
        const QString Same = Dir.path() + "/./clash-out.txt";
        Refused({Punch, Out, Dump, Same, Source},
                "the dump file " + Same.toUtf8() + " would overwrite the punch file " + Out.toUtf8());
        QVERIFY(!QFile::exists(Out));
        Refused({QStringLiteral("--profile"), Link, Source}, "the profile file " + Link.toUtf8() + OverTape);
        Refused({Dump, Out, QStringLiteral("--profile"), Same, Source},
                "the profile file " + Same.toUtf8() + " would overwrite the dump file " + Out.toUtf8());
        // Standard output sent to a file that an output would then replace.
        Refused({Dump, Out, Source}, "the dump file " + Out.toUtf8() + " would overwrite the standard output", Out);
        // Devices are written, not replaced, so both outputs may share one.
        QCOMPARE(Run({Punch, "/dev/null", Dump, "/dev/null", Source}).Status, 0);
    }

    // Names that are not UTF-8 reach their files, and messages give their bytes back.
    void namesThatAreNotUtf8()
    {
        QVERIFY(QFile::copy(Tape("greeting.txt"), Dir.filePath("greeting-copy.txt")));
        QCOMPARE(::rename(QFile::encodeName(Dir.filePath("greeting-copy.txt")).constData(),
                          (QFile::encodeName(Dir.path()) + "/caf\xE9.txt").constData()),
                 0);
        QProcess P;
        P.setWorkingDirectory(Dir.path());
        // The shell makes the bytes: an argument list would take them as UTF-8.
        const QString Script = QStringLiteral("\"$0\" --dump \"$(printf 'd\\351.json')\" \"$(printf 'caf\\351.txt')\" "
                                              "&& \"$0\" \"$(printf 'no\\351')\"");
        P.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), Script, QStringLiteral(VALVANE_RUN)});
        QVERIFY(P.waitForFinished(120000));
        QCOMPARE(P.readAllStandardOutput(), QByteArray("HELLO EDSAC 1949\n\n"));
        QCOMPARE(P.readAllStandardError(), QByteArray("valvane-run: cannot find the tape file no\xE9\n"));
        // Removed here because the toolkit cannot name them to clean up.
        for (const char* Name : {"/d\xE9.json", "/caf\xE9.txt"})
            QCOMPARE(::unlink((QFile::encodeName(Dir.path()) + Name).constData()), 0);
    }

    void punchAndDump()
    {
        const QString Punch = Dir.filePath("punch.txt"), Dump = Dir.filePath("dump.json");
        const TRun R = Run({QStringLiteral("--punch"), Punch, QStringLiteral("--dump"), Dump, Tape("greeting.txt")});
        QCOMPARE(R.Status, 0);
        QFile P(Punch);
        QVERIFY(P.open(QIODevice::ReadOnly));
        QCOMPARE(P.readAll(), QByteArray("*HEL\nLO!E\nDSAC\n!#QO\nRO@&\n"));

        QFile D(Dump);
        QVERIFY(D.open(QIODevice::ReadOnly));
        const QJsonObject J = QJsonDocument::fromJson(D.readAll()).object();
        QCOMPARE(J["status"].toString(), QStringLiteral("stop"));
        QCOMPARE(J["message"].toString(), QString());
        QCOMPARE(J["acc"].toArray().size(), 4);
        QCOMPARE(J["multiplier"].toArray().size(), 2);
        QCOMPARE(J["multiplicand"].toArray().size(), 2);
        const QJsonArray Store = J["store"].toArray();
        QCOMPARE(Store.size(), 1024);
        QCOMPARE(Store[64].toInt(), (9 << 12) | (85 << 1)); // O 21 @ at theta 64
        QCOMPARE(J["scr"].toInt(), 64 + 21); // past the stop order
        QCOMPARE(J["order_tank"].toInt(), 13 << 12);
        QVERIFY(J["orders"].toInteger() > 20);
        QVERIFY(J["time"].toInteger() > 20 * 15);

        // Nothing punched yet still makes a file of one empty line.
        Run({QStringLiteral("--punch"), Punch, Write("quiet.txt", "T 64 K G K Z F E Z P F")});
        QFile Again(Punch);
        QVERIFY(Again.open(QIODevice::ReadOnly));
        QCOMPARE(Again.readAll(), QByteArray("\n"));
    }

    // The profile's counts are the run's orders, one line a location that ran.
    void profileAddsUpToTheOrders()
    {
        const QString Profile = Dir.filePath("profile.csv"), Dump = Dir.filePath("dump.json");
        const TRun R = Run({QStringLiteral("--profile"), Profile, QStringLiteral("--dump"), Dump,
                            QStringLiteral("--dial"), QStringLiteral("42"), Tape("dial_echo.txt")});
        QCOMPARE(R.Status, 0);
        const QList<QByteArray> Lines = ReadAll(Profile).trimmed().split('\n');
        QCOMPARE(Lines[0], QByteArray("location,order,count,milliseconds"));
        qint64 Orders = 0;
        int Previous = -1;
        for (qsizetype I = 1; I < Lines.size(); ++I) {
            const QList<QByteArray> Cells = Lines[I].split(',');
            QCOMPARE(Cells.size(), 4);
            QVERIFY(Cells[0].toInt() > Previous);
            Previous = Cells[0].toInt();
            QVERIFY(Cells[2].toLongLong() > 0);
            Orders += Cells[2].toLongLong();
        }
        QCOMPARE(Orders, QJsonDocument::fromJson(ReadAll(Dump)).object()["orders"].toInteger());
        // The Initial Orders' first order ran once, for 1.5 ms; the order shown
        // is what the location holds at the end (the loader has overwritten it).
        QCOMPARE(Lines[1], QByteArray("0,P 0 F,1,1.5"));
    }

    void traceLinesArePrefixedByUnit()
    {
        const TRun R = Run({QStringLiteral("--trace"), Write("t.txt", "T 64 K G K Z F E Z P F")});
        QCOMPARE(R.Status, 0);
        const QList<QByteArray> Lines = R.Err.split('\n');
        QCOMPARE(Lines[0], QByteArray("core: Creating simulator core"));
        QVERIFY(Lines.contains("store: Store is active"));
        QVERIFY(Lines.contains("io: IO: Read char T (5)"));
        QVERIFY(Lines.contains("control: Executing Z order"));
        QVERIFY(Lines.contains("alu: ALU Initialised"));
        QVERIFY(Lines.contains("core: Edsac is dead!"));
    }

    void aNulOnTheTapeKeepsTheWholeMessage()
    {
        const QString Dump = Dir.filePath("nul.json");
        const TRun R = Run({QStringLiteral("--dump"), Dump, Write("nul.txt", QByteArray("T 64 K\n\nG \0 K\n", 14))});
        QCOMPARE(R.Status, 2);
        QCOMPARE(R.Err, QByteArray("Illegal character on line number 3\n[\"\u2400\" ASCII value 0]\n"));
        QCOMPARE(QJsonDocument::fromJson(ReadAll(Dump)).object()["message"].toString(),
                 QStringLiteral("Illegal character on line number 3\r\r[\"\u2400\" ASCII value 0]"));
    }

    // A tape kept as UTF-16 with its mark, in either byte order, is read as its text.
    void utf16TapesAreReadAsText()
    {
        const QString Text = QString::fromUtf8(ReadAll(Tape("greeting.txt"))).replace("\n", "\r\n");
        for (const auto Order : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE}) {
            QStringEncoder Encoder(Order, QStringEncoder::Flag::WriteBom);
            const TRun R = Run({Write("utf16.txt", Encoder(Text))});
            QCOMPARE(R.Err, QByteArray());
            QCOMPARE(R.Out, QByteArray("HELLO EDSAC 1949\n\n"));
        }
    }

    void dialZeroDialsTen()
    {
        // Clear, stop for the dial, bring the figure up to bits 16..12 and print it:
        // ten is J in letter shift, where nought would be P.
        const QString Echo = Write("dial0.txt", "T 64 K G K T 6 @ Z F L 512 F T 6 @ O 6 @ Z F P F E Z P F");
        const TRun R = Run({QStringLiteral("--dial"), QStringLiteral("0"), Echo});
        QCOMPARE(R.Status, 0);
        QCOMPARE(R.Out, QByteArray("J\n"));
        QCOMPARE(Run({QStringLiteral("--dial"), QStringLiteral("9"), Echo}).Out, QByteArray("O\n"));
    }

    void tapesThatAreNoFilesOrTooLargeAreRefused()
    {
        const QString Fifo = Dir.filePath("tape.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
        const QString Large = Dir.filePath("large.txt");
        {
            QFile F(Large);
            QVERIFY(F.open(QIODevice::WriteOnly) && F.resize(16 * 1024 * 1024 + 1));
        }
        for (const QString& Path : {QStringLiteral("/dev/zero"), QStringLiteral("/dev/urandom"), Fifo, Large}) {
            const TRun R = Run({Path});
            QVERIFY2(R.Status == 1 && R.Err.startsWith("valvane-run: cannot read the tape file " + Path.toUtf8()),
                     R.Err.constData());
        }
        QVERIFY(Run({Large}).Err.contains("larger than 16 MiB"));
    }

    void outputThatCannotBeWrittenIsAFailure()
    {
        TRun R = Run({Tape("greeting.txt")}, QStringLiteral("/dev/full"));
        QCOMPARE(R.Status, 2);
        QCOMPARE(R.Err, QByteArray("valvane-run: cannot write the output: No space left on device\n"));

        // A pipe stays a pipe and gets the punched tape; one that nobody reads is refused, not waited for.
        const QString Fifo = Dir.filePath("punch.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
        R = Run({QStringLiteral("--punch"), Fifo, Tape("greeting.txt")});
        QCOMPARE(R.Status, 1);
        QVERIFY(R.Err.contains("nothing is reading"));
        const int Reader = ::open(QFile::encodeName(Fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(Reader >= 0);
        R = Run({QStringLiteral("--punch"), Fifo, Tape("greeting.txt")});
        char Buffer[256] = {};
        const ssize_t Got = ::read(Reader, Buffer, sizeof Buffer);
        ::close(Reader);
        QCOMPARE(R.Status, 0);
        QCOMPARE(QByteArray(Buffer, int(std::max<ssize_t>(Got, 0))), QByteArray("*HEL\nLO!E\nDSAC\n!#QO\nRO@&\n"));
        QVERIFY(IsFifo(Fifo));

        // A device is written, not replaced: a null device of our own stands for /dev/null.
        const QString Null = Dir.filePath("null");
        if (::mknod(QFile::encodeName(Null).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
            QCOMPARE(Run({QStringLiteral("--dump"), Null, Tape("greeting.txt")}).Status, 0);
            struct stat Info;
            QVERIFY(::stat(QFile::encodeName(Null).constData(), &Info) == 0 && S_ISCHR(Info.st_mode));
        }

        // A full disk: the old files stay as they were and the run says so.
        TFullDisk Disk;
        if (!Disk.Unavailable.isEmpty())
            QSKIP(qPrintable(Disk.Unavailable));
        const QString Punch = Disk.FilePath("punch.txt"), Dump = Disk.FilePath("dump.json");
        for (const QString& Old : {Punch, Dump}) {
            QFile F(Old);
            QVERIFY(F.open(QIODevice::WriteOnly) && F.write("OLD") == 3);
        }
        QVERIFY(Disk.Fill());
        R = Run({QStringLiteral("--punch"), Punch, QStringLiteral("--dump"), Dump, Tape("greeting.txt")});
        QCOMPARE(R.Status, 1);
        QCOMPARE(R.Err.count("No space left on device"), 2);
        QCOMPARE(ReadAll(Punch), QByteArray("OLD"));
        QCOMPARE(ReadAll(Dump), QByteArray("OLD"));
    }

    void usageAndFileErrors()
    {
        TRun R = Run({Dir.filePath("missing.txt")});
        QCOMPARE(R.Status, 1);
        QVERIFY(R.Err.contains("missing.txt"));
        QCOMPARE(R.Err.count('\n'), 1);
        R = Run({Dir.path()});
        QCOMPARE(R.Status, 1);
        QVERIFY(R.Err.contains("folder"));
        QCOMPARE(Run({}).Status, 1);
        QCOMPARE(Run({QStringLiteral("-i"), QStringLiteral("3"), Tape("greeting.txt")}).Status, 1);
        QCOMPARE(Run({QStringLiteral("--max-orders"), QStringLiteral("lots"), Tape("greeting.txt")}).Status, 1);
        QCOMPARE(Run({QStringLiteral("--bogus"), Tape("greeting.txt")}).Status, 1);
        R = Run({QStringLiteral("--punch"), Dir.path(), Tape("greeting.txt")});
        QCOMPARE(R.Status, 1);
        QCOMPARE(R.Out, QByteArray("HELLO EDSAC 1949\n\n"));
        // A device that fails, and a folder that is not there, are named as such.
        const QString Missing = Dir.filePath("nofolder/x.json");
        R = Run({QStringLiteral("--punch"), QStringLiteral("/dev/full"), QStringLiteral("--dump"), Missing,
                 Tape("greeting.txt")});
        QCOMPARE(R.Status, 1);
        QCOMPARE(R.Err, "valvane-run: cannot write the punch file /dev/full: No space left on device\n"
                        "valvane-run: cannot write the dump file " +
                            Missing.toUtf8() + ": The folder " + Dir.filePath("nofolder").toUtf8() +
                            " does not exist\n");
        QCOMPARE(Run({QStringLiteral("--version")}).Out, QByteArray("valvane-run " VALVANE_VERSION "\n"));
        QCOMPARE(Run({QStringLiteral("--help")}).Status, 0);
    }
};

QTEST_GUILESS_MAIN(TestRunner)
#include "test_runner.moc"

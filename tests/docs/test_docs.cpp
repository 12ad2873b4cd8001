// The Lessonary and the Referary against the program: every listed tape is the tape
// file, the tapes built from library parts are those parts, the code tables, the
// order durations and the Initial Orders are the machine's own, and every menu item
// and machine message is described. Every output a guide shows is what the machine
// window prints for that run; every figure in its tables (times, counts, places in
// the store, how a run ends) is measured on a real run, and a time or stop message in
// a lesson's prose must be one of that lesson's figures.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <string_view>

#include "../core/recording_sim.h"
#include "bridge/std_gui.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/OrderTable.h"
#include "core/errors.h"
#include "core/messages.h"
#include "devconsole/main_form_dev.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "kit/RunTimer.h"
#include "kit/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "tests/bridge/std_world.h"
#include "tests/docs/doc_runs.h"
#include "tests/named.h"

namespace {

const QString Root = QStringLiteral(VALVANE_TAPES "/..");

QString ReadText(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(File.readAll());
}

QString Doc(const char* Name)
{
    return ReadText(Root + QStringLiteral("/docs/") + QLatin1String(Name));
}

// The rows of the first table after Heading, as cells without their bars.
QList<QStringList> TableAfter(const QString& Text, const QString& Heading)
{
    QList<QStringList> Rows;
    const QStringList Lines = Text.mid(Text.indexOf(Heading)).split(QLatin1Char('\n'));
    bool InTable = false;
    for (const QString& Line : Lines) {
        if (!Line.startsWith(QLatin1Char('|'))) {
            if (InTable)
                break;
            continue;
        }
        InTable = true;
        if (Line.startsWith(QLatin1String("|---")))
            continue;
        QStringList Cells = Line.split(QLatin1Char('|'));
        Cells = Cells.mid(1, Cells.size() - 2);
        for (QString& Cell : Cells)
            Cell = Cell.trimmed();
        Rows << Cells;
    }
    if (!Rows.isEmpty())
        Rows.removeFirst(); // the heading row
    return Rows;
}

// "`x`" gives "x"; anything else is returned as it is.
QString Unquote(const QString& Cell)
{
    return Cell.size() >= 2 && Cell.startsWith(QLatin1Char('`')) && Cell.endsWith(QLatin1Char('`'))
               ? Cell.mid(1, Cell.size() - 2)
               : Cell;
}

// Every run of line breaks as one line feed: the machine breaks its lines with
// carriage returns, the expected files with line feeds.
QString OneBreak(QString Text)
{
    static const QRegularExpression Breaks(QStringLiteral("[\r\n]+"));
    return Text.replace(Breaks, QStringLiteral("\n"));
}

using namespace DocRuns;

// "38.7 s", "43 minutes": the number of a figure and how many decimals it is given to.
int DecimalsOf(const QString& Number)
{
    const qsizetype Point = Number.indexOf(QLatin1Char('.'));
    return Point < 0 ? 0 : static_cast<int>(Number.size() - Point - 1);
}

QString Seconds(qint64 Units, const QString& Written)
{
    static const QRegularExpression Number(QStringLiteral("[0-9]+(\\.[0-9]+)?"));
    return QString::number(Units / 10000.0, 'f', DecimalsOf(Number.match(Written).captured())) + QStringLiteral(" s");
}

// Runs of locations: "64 to 99, 199 to 252", a lone location as "200".
QString Ranges(const std::vector<bool>& In)
{
    QStringList Parts;
    for (int A = 0; A < static_cast<int>(In.size()); ++A) {
        if (!In[static_cast<size_t>(A)])
            continue;
        int B = A;
        while (B + 1 < static_cast<int>(In.size()) && In[static_cast<size_t>(B + 1)])
            ++B;
        Parts << (A == B ? QString::number(A) : QStringLiteral("%1 to %2").arg(A).arg(B));
        A = B;
    }
    return Parts.join(QStringLiteral(", "));
}

// What a run gives for a figure the guides name, written as Written is written;
// a null string when the figure is not one the test knows.
QString Actual(const TCoreRun& R, const QString& What, const QString& Written)
{
    static const QRegularExpression Word(QStringLiteral("^word ([0-9]+)$"));
    static const QRegularExpression Sandwich(QStringLiteral("^sandwich bit of word ([0-9]+)$"));
    static const QRegularExpression Window(QStringLiteral("^from (\\S+) s"));
    if (What == QLatin1String("orders"))
        return QString::number(R.Orders);
    if (What == QLatin1String("machine time"))
        return Seconds(R.Time, Written);
    if (What == QLatin1String("characters read"))
        return QString::number(R.Read);
    if (What == QLatin1String("reading time"))
        return Seconds(R.ReadTime, Written);
    if (What == QLatin1String("characters printed"))
        return QString::number(R.Printed);
    if (What == QLatin1String("printing time"))
        return Seconds(R.PrintTime, Written);
    if (What == QLatin1String("other orders"))
        return QString::number(R.Orders - R.Read - R.Printed);
    if (What == QLatin1String("time of the other orders"))
        return Seconds(R.Time - R.ReadTime - R.PrintTime, Written);
    if (What == QLatin1String("orders to load"))
        return QString::number(R.LoadOrders);
    if (What == QLatin1String("loading time"))
        return Seconds(R.LoadTime, Written);
    if (What == QLatin1String("loading at the console's starting speed")) {
        const double Minutes = R.LoadOrders * double(TMainFormDev::SlowestInterval - TMainFormDev::InitialSpeed) /
                               60000;
        return QString::number(Minutes, 'f', DecimalsOf(Written.section(QLatin1Char(' '), 0, 0))) +
               QStringLiteral(" minutes");
    }
    if (What == QLatin1String("stops"))
        return QString::number(R.Stops);
    if (What == QLatin1String("accumulator at the stops"))
        return R.StopsWithClearAcc == R.Stops
                   ? QStringLiteral("clear at every stop")
                   : QStringLiteral("not clear at %1 of them").arg(R.Stops - R.StopsWithClearAcc);
    if (What == QLatin1String("ends with"))
        return R.Ending == QLatin1String("stop order") ? QStringLiteral("a stop order")
                                                       : QLatin1Char('"') + R.Ending + QLatin1Char('"');
    if (What == QLatin1String("loads"))
        return Ranges(R.Loaded);
    if (What == QLatin1String("places filled")) {
        std::vector<bool> Filled(R.Store.size());
        for (size_t A = 0; A < R.Store.size(); ++A)
            Filled[A] = R.Store[A] != 0;
        return Ranges(Filled);
    }
    if (const auto M = Word.match(What); M.hasMatch())
        return QString::number(R.Store.at(M.captured(1).toUInt()));
    if (const auto M = Sandwich.match(What); M.hasMatch()) {
        // "from 16.1 s to 18.2 s, from 20.3 s to the end", to the decimals of the first time written.
        const QString Written1 = Window.match(Written).captured(1);
        QStringList Spans;
        for (const auto& [Set, Cleared] : R.Sandwich.value(M.captured(1).toInt()))
            Spans << QStringLiteral("from %1 to %2")
                         .arg(Seconds(Set, Written1),
                              Cleared < 0 ? QStringLiteral("the end") : Seconds(Cleared, Written1));
        return Spans.isEmpty() ? QStringLiteral("never set") : Spans.join(QStringLiteral(", "));
    }
    return {};
}

// A guide cut at its "## " headings: each part's heading and text.
QList<QPair<QString, QString>> Sections(const QString& Text)
{
    QList<QPair<QString, QString>> Parts;
    for (const QString& Line : Text.split(QLatin1Char('\n'))) {
        if (Line.startsWith(QLatin1String("## ")) || Parts.isEmpty())
            Parts.append({Line, QString()});
        Parts.last().second += Line + QLatin1Char('\n');
    }
    return Parts;
}

// The rows of every table of figures: | Run | What | Figure |.
QList<QStringList> FigureRows(const QString& Text)
{
    QList<QStringList> Rows;
    const QString Heading = QStringLiteral("| Run | What | Figure |");
    for (qsizetype At = Text.indexOf(Heading); At >= 0; At = Text.indexOf(Heading, At + 1))
        Rows << TableAfter(Text.mid(At), Heading);
    return Rows;
}

struct TOutputBlock {
    QString Run;
    QStringList Lines;
};

// Each "<!-- output: RUN -->" and the fenced block right under it.
QList<TOutputBlock> OutputBlocks(const QString& Text, QStringList& Faults)
{
    QList<TOutputBlock> Blocks;
    static const QRegularExpression Marker(QStringLiteral("^<!-- output: (.+) -->$"));
    const QStringList Lines = Text.split(QLatin1Char('\n'));
    for (qsizetype I = 0; I < Lines.size(); ++I) {
        const auto M = Marker.match(Lines[I]);
        if (!M.hasMatch())
            continue;
        TOutputBlock Block{M.captured(1), {}};
        qsizetype J = I + 2;
        if (I + 1 >= Lines.size() || Lines[I + 1] != QLatin1String("```")) {
            Faults << Block.Run + QStringLiteral(": no block under the marker");
            continue;
        }
        for (; J < Lines.size() && Lines[J] != QLatin1String("```"); ++J)
            Block.Lines << Lines[J];
        if (J >= Lines.size())
            Faults << Block.Run + QStringLiteral(": the block is not closed");
        Blocks << Block;
    }
    return Blocks;
}

// The prose of a guide: no code, no tables, no comments.
QString Prose(QString Text)
{
    static const QRegularExpression Fences(QStringLiteral("```.*?```"), QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression Comments(QStringLiteral("<!--.*?-->"),
                                             QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression Tables(QStringLiteral("^\\|.*$"), QRegularExpression::MultilineOption);
    static const QRegularExpression Indented(QStringLiteral("^    .*$"), QRegularExpression::MultilineOption);
    static const QRegularExpression Code(QStringLiteral("`[^`]*`"));
    for (const QRegularExpression* Cut : {&Fences, &Comments, &Tables, &Indented, &Code})
        Text.remove(*Cut);
    return Text;
}

// An order's time as the tables write it, "1.5 ms", or "none" for an unknown order:
// the order alone at 64 is loaded, and the Initial Orders run until they jump to it.
QString OrderTime(int Code)
{
    TRecordingSim Sim;
    TEdsacCore Core(Sim);
    const std::string Tape = std::string("T64K GK ") + OrderLetters[Code] + "10F ZF EZPF PPPP";
    Sim.Tape.SetText(U32(Tape));
    Core.Init();
    Core.SetInitialOrders(ioOrders2);
    Core.LoadInitialOrders();
    for (int I = 0; I < 100000 && Core.Control().GetSCR() != 64; ++I)
        Core.ExecuteOrder();
    if (Core.Control().GetSCR() != 64)
        return QStringLiteral("(the order was never reached)");
    const std::uint32_t Before = Core.Control().GetElapsedTime();
    QString Time;
    try {
        Core.ExecuteOrder();
        Time = QString::number((Core.Control().GetElapsedTime() - Before) / 10.0) + QStringLiteral(" ms");
    } catch (const EUnknownOrder&) {
        Time = QStringLiteral("none");
    }
    Core.Shutdown();
    return Time;
}

} // namespace

class TestDocs : public QObject {
    Q_OBJECT
private slots:
    // A listing is a fenced block right after a line "<!-- tape: tapes/NAME.txt -->".
    void listingsAreTheTapes()
    {
        int Listings = 0;
        for (const char* Name : {"Lessonary.md", "Referary.md"}) {
            const QStringList Lines = Doc(Name).split(QLatin1Char('\n'));
            QVERIFY2(Lines.size() > 10, Name);
            static const QRegularExpression Marker(QStringLiteral("^<!-- tape: (\\S+) -->$"));
            for (qsizetype I = 0; I < Lines.size(); ++I) {
                const auto Match = Marker.match(Lines[I]);
                if (!Match.hasMatch())
                    continue;
                const QString Path = Match.captured(1);
                QVERIFY2(I + 1 < Lines.size() && Lines[I + 1] == QLatin1String("```"), qPrintable(Path));
                QString Listing;
                qsizetype J = I + 2;
                for (; J < Lines.size() && Lines[J] != QLatin1String("```"); ++J)
                    Listing += Lines[J] + QLatin1Char('\n');
                QVERIFY2(J < Lines.size(), qPrintable(Path + QStringLiteral(": unclosed listing")));
                QVERIFY2(QFile::exists(Root + QLatin1Char('/') + Path),
                         qPrintable(Path + QStringLiteral(" is missing")));
                QVERIFY2(Listing == ReadText(Root + QLatin1Char('/') + Path),
                         qPrintable(Path + QStringLiteral(" differs from its listing in ") + QLatin1String(Name)));
                ++Listings;
            }
        }
        QVERIFY(Listings >= 15);
        // Every example tape is at least named in one of the documents.
        const QString Both = Doc("Lessonary.md") + Doc("Referary.md");
        for (const QString& Tape : QDir(QStringLiteral(VALVANE_TAPES)).entryList({QStringLiteral("*.txt")}))
            if (Tape != QLatin1String("noughts.txt") && Tape != QLatin1String("countdown.txt") &&
                Tape != QLatin1String("primes.txt"))
                QVERIFY2(Both.contains(QStringLiteral("tapes/") + Tape), qPrintable(Tape));
    }

    // The whole tapes are their library subroutines followed by their main part,
    // as File > Insert makes them.
    void wholeTapesAreTheirParts()
    {
        const QString Print = ReadText(QStringLiteral(VALVANE_TAPES "/library/print.txt"));
        const QString NewLine = ReadText(QStringLiteral(VALVANE_TAPES "/library/newline.txt"));
        const QString Text = ReadText(QStringLiteral(VALVANE_TAPES "/library/text.txt"));
        QVERIFY(!Print.isEmpty() && !NewLine.isEmpty() && !Text.isEmpty());
        const auto Part = [](const char* Name) {
            return ReadText(QStringLiteral(VALVANE_TAPES "/parts/") + QLatin1String(Name));
        };
        QCOMPARE(ReadText(QStringLiteral(VALVANE_TAPES "/library.txt")), Print + NewLine + Text + Part("library.txt"));
        for (const char* Name : {"table.txt", "readnum.txt", "times.txt"})
            QCOMPARE(ReadText(QStringLiteral(VALVANE_TAPES "/") + QLatin1String(Name)), Print + NewLine + Part(Name));
    }

    // The Lessonary's recipe, done through the windows: open the main part, insert
    // the three subroutines at the start, and the tape is library.txt and runs.
    void insertMakesTheLibraryTape()
    {
        TWorld W;
        TEditorForm* Tape = W.Bridge->OpenTape(QStringLiteral(VALVANE_TAPES "/parts/library.txt"));
        QVERIFY(Tape);
        TapePane(Tape)->moveCursor(QTextCursor::Start);
        for (const char* Name : {"print.txt", "newline.txt", "text.txt"})
            W.Bridge->InsertTape(QStringLiteral(VALVANE_TAPES "/library/") + QLatin1String(Name));
        QCOMPARE(TapePane(Tape)->toPlainText() + QLatin1Char('\n'),
                 ReadText(QStringLiteral(VALVANE_TAPES "/library.txt")));
        QCOMPARE(W.RunToStop(), 0);
        QCOMPARE(W.Messages, QStringList());
        QCOMPARE(W.Bridge->TeleprinterLines().join(QLatin1Char('\n')) + QLatin1Char('\n'),
                 ReadText(Root + QStringLiteral("/tests/tapes/library.out")));
    }

    // Each faulty tape stops the machine window's run with its message.
    void faultyTapesStopWithTheirMessage_data()
    {
        QTest::addColumn<QString>("tape");
        for (const QString& Err : QDir(Root + QStringLiteral("/tests/tapes")).entryList({QStringLiteral("*.err")}))
            QTest::newRow(qPrintable(Err)) << QFileInfo(Err).completeBaseName();
    }
    void faultyTapesStopWithTheirMessage()
    {
        QFETCH(QString, tape);
        TWorld W;
        W.Bridge->GetMainForm()->SetInitialOrders(ioOrders2);
        QVERIFY(W.Bridge->OpenTape(QStringLiteral(VALVANE_TAPES "/") + tape + QStringLiteral(".txt")));
        QCOMPARE(W.RunToStop(), 0);
        QCOMPARE(W.Messages.size(), 1);
        const QString Wanted = ReadText(Root + QStringLiteral("/tests/tapes/") + tape + QStringLiteral(".err"));
        QCOMPARE(OneBreak(W.Messages[0].section(QLatin1Char('|'), 1) + QLatin1Char('\n')), Wanted);
        // And the Referary explains it.
        const QString FirstLine =
            Wanted.section(QLatin1Char('\n'), 0, 0).remove(QRegularExpression(QStringLiteral("[0-9]+$")));
        QVERIFY2(Doc("Referary.md").contains(FirstLine.trimmed()), qPrintable(FirstLine));
    }

    // The character table: tape letters and spellings, both teleprinter shifts and
    // the punch spelling, code by code, as the core's own tables have them.
    void characterTableIsTheMachines()
    {
        const QList<QStringList> Rows = TableAfter(Doc("Referary.md"), QStringLiteral("## 11. Character codes"));
        QCOMPARE(Rows.size(), 32);
        for (int Code = 0; Code < 32; ++Code) {
            const QStringList& R = Rows[Code];
            QCOMPARE(R.size(), 6);
            QCOMPARE(R[0].toInt(), Code);
            QCOMPARE(Unquote(R[1]), QString(QLatin1Char(OrderLetters[Code])));
            QCOMPARE(Unquote(R[5]), QString(QLatin1Char(OrderLetters[Code])));
            // The other characters that read as this code: the last match in the table wins.
            QString Also;
            for (int Ch = 33; Ch < 127; ++Ch) {
                int Found = -1;
                for (int P = 0; P < 64; ++P)
                    if (OrderLetters[P] == Ch)
                        Found = P & 31;
                if (Found == Code && Ch != OrderLetters[Code])
                    Also += QLatin1Char(static_cast<char>(Ch));
            }
            QCOMPARE(Unquote(R[2]), Also);
            for (int Shift = 0; Shift < 2; ++Shift) {
                const QString Cell = R[3 + Shift];
                const bool Silent = Code == 11 || Code == 15 || Code == 16 || Code == 18 || Code == 24;
                if (Silent)
                    QVERIFY2(Cell.startsWith(QLatin1Char('(')), qPrintable(Cell));
                else if (Code == 20)
                    QCOMPARE(Cell, QStringLiteral("space"));
                else
                    QCOMPARE(Unquote(Cell), QString::fromLatin1(&TeleprinterChars[32 * Shift + Code], 1));
            }
        }
    }

    // The order tables: letter and code as the machine decodes them, and the time of
    // each order as the machine counts it and the order table gives it (or an
    // unknown order, which counts none).
    void orderTablesAreTheMachines()
    {
        const QList<QStringList> Rows = TableAfter(Doc("Referary.md"), QStringLiteral("## 10. The order set"));
        QCOMPARE(Rows.size(), 32);
        for (int Code = 0; Code < 32; ++Code) {
            const QStringList& R = Rows[Code];
            QCOMPARE(Unquote(R[0]), QString(QLatin1Char(OrderLetters[Code])));
            QCOMPARE(OrderInfo(Code).Letter, OrderLetters[Code]);
            QCOMPARE(R[1].toInt(), Code);
            const QString Time = OrderTime(Code);
            QCOMPARE(R[3], Time);
            QCOMPARE(R[2].startsWith(QLatin1String("unknown order")), Time == QLatin1String("none"));
            QCOMPARE(QString::fromStdString(OrderTimeText(Code)), Time);
        }
        // The Lessonary's table of the orders there are: "A n", what it does, its time.
        const QList<QStringList> Lesson = TableAfter(Doc("Lessonary.md"),
                                                     QStringLiteral("| Order | What it does | Time |"));
        QVERIFY(Lesson.size() >= 18);
        for (const QStringList& R : Lesson) {
            const int Code = static_cast<int>(std::string_view(OrderLetters, 32).find(R[0].at(0).toLatin1()));
            QVERIFY2(Code >= 0 && Code < 32, qPrintable(R[0]));
            QCOMPARE(R[2], OrderTime(Code));
        }
    }

    // The Lessonary's library table: where each subroutine loads itself, and that
    // the place to enter it holds the A 3 F that every entry starts with.
    void libraryTableIsWhereTheyLoad()
    {
        const QList<QStringList> Rows = TableAfter(Doc("Lessonary.md"),
                                                   QStringLiteral("| Tape | Loads at | Enter at | Does |"));
        QCOMPARE(Rows.size(), 3);
        for (const QStringList& Row : Rows) {
            QString Error;
            const TCoreRun R = RunOnCore(Root, ParseRun(Row[0], Error), Error);
            QVERIFY2(Error.isEmpty(), qPrintable(Error));
            QCOMPARE(Ranges(R.Loaded), Row[1]);
            QCOMPARE(R.Store.at(Row[2].toUInt()), MakeOrder(28, 3, false));
        }
    }

    // The Referary's tables of both sets of Initial Orders are what is in the store
    // once they are loaded, and nothing else is; the line above each table counts them.
    void initialOrdersTablesAreTheStore_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("orders");
        QTest::newRow("2") << QStringLiteral("## 13. Initial Orders 2") << int(ioOrders2);
        QTest::newRow("1") << QStringLiteral("## 14. Initial Orders 1") << int(ioOrders1);
    }
    void initialOrdersTablesAreTheStore()
    {
        QFETCH(QString, heading);
        QFETCH(int, orders);
        const TInitialOrders Orders = static_cast<TInitialOrders>(orders);
        const QString Referary = Doc("Referary.md");
        QString Error;
        const TCoreRun R = RunOnCore(
            Root, ParseRun(QStringLiteral("Initial Orders %1").arg(Orders == ioOrders1 ? 1 : 2), Error), Error);
        QVERIFY2(Error.isEmpty(), qPrintable(Error));
        const QChar Short = Orders == ioOrders1 ? QLatin1Char('S') : QLatin1Char('F');
        const QChar Long = Orders == ioOrders1 ? QLatin1Char('L') : QLatin1Char('D');
        std::vector<TWord> Listed(R.Store.size());
        int Count = 0;
        // Rows of three place-and-order pairs; the pairs under the last row may be empty.
        const QString Section = Referary.mid(Referary.indexOf(heading));
        for (const QStringList& Row : TableAfter(Section, QStringLiteral("| Place | Order |"))) {
            for (qsizetype C = 0; C + 1 < Row.size(); C += 2) {
                if (Row[C].isEmpty())
                    continue;
                static const QRegularExpression Order(QStringLiteral("^(\\S) ([0-9]+) (\\S)$"));
                const auto M = Order.match(Row[C + 1]);
                QVERIFY2(M.hasMatch(), qPrintable(Row[C + 1]));
                const int Code = static_cast<int>(
                    std::string_view(OrderLetters, 32).find(M.captured(1).at(0).toLatin1()));
                QVERIFY2(M.captured(3) == Short || M.captured(3) == Long, qPrintable(Row[C + 1]));
                Listed.at(Row[C].toUInt()) = MakeOrder(Code, M.captured(2).toInt(), M.captured(3) == Long);
                ++Count;
            }
        }
        QCOMPARE(Listed, R.Store);
        QVERIFY2(Section.contains(QStringLiteral("%1 orders in locations 0 to %2.").arg(Count).arg(Count - 1)),
                 qPrintable(heading));
    }

    // Every block under "<!-- trace: RUN -->" is a stretch of that run's trace lines,
    // as valvane-run --trace writes them.
    void traceBlocksAreTheRunsOwn()
    {
        static const QRegularExpression Marker(QStringLiteral("^<!-- trace: ([^\\n]+) -->\\n```\\n(.*?)```$"),
                                               QRegularExpression::MultilineOption |
                                                   QRegularExpression::DotMatchesEverythingOption);
        int Blocks = 0;
        for (const auto& M : Marker.globalMatch(Doc("Lessonary.md") + Doc("Referary.md"))) {
            ++Blocks;
            QString Error;
            const TCoreRun R = RunOnCore(Root, ParseRun(M.captured(1), Error), Error, true);
            QVERIFY2(Error.isEmpty(), qPrintable(Error));
            const QStringList Block = M.captured(2).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            bool Found = false;
            for (qsizetype At = R.Trace.indexOf(Block.first()); At >= 0 && !Found;
                 At = R.Trace.indexOf(Block.first(), At + 1))
                Found = R.Trace.mid(At, Block.size()) == Block;
            QVERIFY2(Found, qPrintable(M.captured(1) + QStringLiteral(" has no stretch of trace\n") +
                                       Block.join(QLatin1Char('\n'))));
        }
        QVERIFY(Blocks >= 2);
    }

    // Every block under "<!-- output: RUN -->" is what the machine window's
    // teleprinter shows after that run, but for the empty line it ends on. A run
    // that ends with a message box is one whose ending a table of figures states.
    void outputBlocksAreWhatThePanelPrints()
    {
        QStringList Faults;
        int Blocks = 0;
        for (const char* Name : {"Lessonary.md", "Referary.md"}) {
            QStringList Told;
            for (const QStringList& Row : FigureRows(Doc(Name)))
                if (Row.value(1) == QLatin1String("ends with"))
                    Told << Row.value(0);
            for (const TOutputBlock& Block : OutputBlocks(Doc(Name), Faults)) {
                ++Blocks;
                QString Error;
                const TDocRun Request = ParseRun(Block.Run, Error);
                TPanelRun R;
                if (Error.isEmpty())
                    R = RunOnPanel(Root, Request, Error);
                if (!Error.isEmpty()) {
                    Faults << Block.Run + QStringLiteral(": ") + Error;
                    continue;
                }
                if (!R.Lines.isEmpty() && R.Lines.last().isEmpty())
                    R.Lines.removeLast();
                if (R.Lines != Block.Lines)
                    Faults << QStringLiteral("%1 prints\n%2\nnot, as %3 says,\n%4")
                                  .arg(Block.Run, R.Lines.join(QLatin1Char('\n')), QLatin1String(Name),
                                       Block.Lines.join(QLatin1Char('\n')));
                if (!R.Messages.isEmpty() && !Told.contains(Block.Run))
                    Faults << QStringLiteral("%1 ends with \"%2\", and no table of figures says so")
                                  .arg(Block.Run, R.Messages.join(QStringLiteral(" / ")));
            }
        }
        QVERIFY2(Faults.isEmpty(), qPrintable(Faults.join(QLatin1Char('\n'))));
        QVERIFY(Blocks >= 20);
    }

    // Every row of a table of figures (| Run | What | Figure |) is what that run gives.
    void figuresAreTheRunsOwn()
    {
        QStringList Faults;
        QMap<QString, TCoreRun> Runs;
        int Rows = 0;
        for (const char* Name : {"Lessonary.md", "Referary.md"}) {
            for (const QStringList& Row : FigureRows(Doc(Name))) {
                ++Rows;
                if (Row.size() != 3) {
                    Faults << Row.join(QLatin1Char('|')) + QStringLiteral(": not three cells");
                    continue;
                }
                const QString& Run = Row[0];
                QString Error;
                const TDocRun Request = ParseRun(Run, Error);
                if (Request.EveryGame) {
                    // Playing them all is the noughts suite's work; it checks these rows.
                    if (!QStringList{QStringLiteral("games"), QStringLiteral("games the machine wins"),
                                     QStringLiteral("games drawn")}
                             .contains(Row[1]))
                        Faults << QStringLiteral("%1: no figure is called \"%2\"").arg(Run, Row[1]);
                    continue;
                }
                if (Error.isEmpty() && !Runs.contains(Run))
                    Runs.insert(Run, RunOnCore(Root, Request, Error));
                if (!Error.isEmpty()) {
                    Faults << Run + QStringLiteral(": ") + Error;
                    continue;
                }
                const QString Got = Actual(Runs[Run], Row[1], Row[2]);
                if (Got.isNull())
                    Faults << QStringLiteral("%1: no figure is called \"%2\"").arg(Run, Row[1]);
                else if (Got != Row[2])
                    Faults << QStringLiteral("%1: %2 is %3, not %4 as %5 says")
                                  .arg(Run, Row[1], Got, Row[2], QLatin1String(Name));
            }
        }
        QVERIFY2(Faults.isEmpty(), qPrintable(Faults.join(QLatin1Char('\n'))));
        QVERIFY(Rows >= 20);
    }

    // A time in a lesson's prose is one of that lesson's figures or an order's
    // duration, and a stop message it quotes ends one of that lesson's runs.
    void proseFiguresAreTheTables()
    {
        static const QRegularExpression Time(
            QStringLiteral("\\b([0-9]+(?:\\.[0-9]+)?) (ms|milliseconds?|s|seconds?|minutes?)\\b"));
        static const QRegularExpression Message(QStringLiteral(
            "\"((?:Unknown order|Illegal character on line number|Order fetch outside the store at location) [0-9]+"
            "|End of tape encountered)\""));
        const auto Times = [](const QString& Text) {
            QStringList Found;
            for (const auto& M : Time.globalMatch(Text)) {
                const QString Unit = M.captured(2);
                Found << M.captured(1) + QLatin1Char(' ') +
                             (Unit == QLatin1String("ms") || Unit.startsWith(QLatin1String("milli"))
                                  ? QStringLiteral("ms")
                              : Unit.startsWith(QLatin1String("min")) ? QStringLiteral("minutes")
                                                                      : QStringLiteral("s"));
            }
            return Found;
        };
        const QString Lessonary = Doc("Lessonary.md");
        QStringList Durations;
        for (const QStringList& Row : TableAfter(Lessonary, QStringLiteral("| Order | What it does | Time |")))
            Durations << Times(Row.value(2));
        QVERIFY(Durations.size() >= 18);
        QStringList Faults;
        for (const auto& [Heading, Text] : Sections(Lessonary)) {
            QStringList Figures = Durations;
            QStringList Runs;
            for (const QStringList& Row : FigureRows(Text)) {
                Figures << Times(Row.value(2));
                Runs << Row.value(0);
            }
            QStringList Ignored;
            for (const TOutputBlock& Block : OutputBlocks(Text, Ignored))
                Runs << Block.Run;
            Runs.removeDuplicates();
            QStringList Endings;
            for (const QString& Run : Runs) {
                QString Error;
                const TDocRun Request = ParseRun(Run, Error);
                if (!Request.EveryGame)
                    Endings << RunOnCore(Root, Request, Error).Ending;
            }
            const QString Words = Prose(Text).simplified();
            for (const QString& T : Times(Words))
                if (!Figures.contains(T))
                    Faults << Heading + QStringLiteral(": ") + T + QStringLiteral(" is in no table of figures");
            for (const auto& M : Message.globalMatch(Words))
                if (!Endings.contains(M.captured(1)))
                    Faults << Heading + QStringLiteral(": no run ends with \"") + M.captured(1) + QLatin1Char('"');
        }
        QVERIFY2(Faults.isEmpty(), qPrintable(Faults.join(QLatin1Char('\n'))));
    }

    // Every item of the main window's menus and tool bar, and every message the
    // machine and its windows can show, is named in the Referary.
    void referaryNamesEveryCommandAndMessage()
    {
        const QString Referary = Doc("Referary.md");
        TWorld W;
        QStringList Missing;
        for (const QAction* Action : W.Bridge->GetMainForm()->findChildren<QAction*>()) {
            QString Text = Action->text();
            Text.remove(QLatin1Char('&'));
            if (Text.isEmpty() || Action->isSeparator() || Text.contains(QLatin1Char('/')))
                continue; // separators; recent-file entries show paths
            if (!Referary.contains(Text))
                Missing << Text;
        }
        // Every message, each fixed part of it between what is filled in.
        for (const char* Message : Messages::All)
            for (const QString& Part : QString::fromLatin1(Message).split(QRegularExpression(QStringLiteral("%\\d")))) {
                const QString Quoted = QString(Part).remove(
                    QRegularExpression(QStringLiteral("^[\\s\"\\[:]+|[\\s\"\\]]+$")));
                if (Quoted.size() > 3 && !Referary.contains(Quoted))
                    Missing << Quoted;
            }
        QVERIFY2(Missing.isEmpty(), qPrintable(Missing.join(QStringLiteral(" / "))));
    }

    // The guides and the README name the version that project() sets.
    void theDocumentsNameTheProjectsVersion()
    {
        const QRegularExpressionMatch Project = QRegularExpression(QStringLiteral("project\\(Valvane VERSION (\\S+)"))
                                                    .match(ReadText(Root + QStringLiteral("/CMakeLists.txt")));
        QVERIFY(Project.hasMatch());
        const QRegularExpression Named(QStringLiteral("(?:Valvane |Version |valvane_)(\\d+\\.\\d+\\.\\d+)"));
        int Found = 0;
        for (const QString& Path : {Root + QStringLiteral("/README.md"), Root + QStringLiteral("/docs/Referary.md"),
                                    Root + QStringLiteral("/docs/Lessonary.md")})
            for (const QRegularExpressionMatch& M : Named.globalMatch(ReadText(Path))) {
                QVERIFY2(M.captured(1) == Project.captured(1), qPrintable(Path + QStringLiteral(": ") + M.captured(0)));
                ++Found;
            }
        QVERIFY(Found >= 3);
    }
};

QTEST_MAIN(TestDocs)
#include "test_docs.moc"

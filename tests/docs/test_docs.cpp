// The Lessonary and the Referary against the program: every listed tape is the tape
// file, the tapes built from library parts are those parts, the code tables and the
// order durations are the machine's own, and every menu item and machine message is
// described. The faulty and library tapes also run through the standard bridge.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "../core/recording_sim.h"
#include "bridge/std_gui.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/errors.h"
#include "forms/Dialogs.h"
#include "forms/EdSimSettings.h"
#include "forms/RunTimer.h"
#include "forms/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "tests/bridge/std_world.h"

namespace {

const QString Root = QStringLiteral(VALVANE_TAPES "/..");

QString ReadText(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(File.readAll());
}

QString Doc(const char* Name) { return ReadText(Root + QStringLiteral("/docs/") + QLatin1String(Name)); }

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
                QVERIFY2(QFile::exists(Root + QLatin1Char('/') + Path), qPrintable(Path + QStringLiteral(" is missing")));
                QVERIFY2(Listing == ReadText(Root + QLatin1Char('/') + Path),
                         qPrintable(Path + QStringLiteral(" differs from its listing in ") + QLatin1String(Name)));
                ++Listings;
            }
        }
        QVERIFY(Listings >= 15);
        // Every example tape is at least named in one of the documents.
        const QString Both = Doc("Lessonary.md") + Doc("Referary.md");
        for (const QString& Tape : QDir(QStringLiteral(VALVANE_TAPES)).entryList({QStringLiteral("*.txt")}))
            if (Tape != QLatin1String("noughts.txt") && Tape != QLatin1String("countdown.txt")
                && Tape != QLatin1String("primes.txt"))
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
        Tape->Editor()->moveCursor(QTextCursor::Start);
        for (const char* Name : {"print.txt", "newline.txt", "text.txt"})
            W.Bridge->InsertTape(QStringLiteral(VALVANE_TAPES "/library/") + QLatin1String(Name));
        QCOMPARE(Tape->Editor()->toPlainText() + QLatin1Char('\n'), ReadText(QStringLiteral(VALVANE_TAPES "/library.txt")));
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
        const QString FirstLine = Wanted.section(QLatin1Char('\n'), 0, 0).remove(QRegularExpression(QStringLiteral("[0-9]+$")));
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

    // The order table: letter and code as the machine decodes them, and the time of
    // each order as the machine counts it (or an unknown order, which counts none).
    void orderTableIsTheMachines()
    {
        const QList<QStringList> Rows = TableAfter(Doc("Referary.md"), QStringLiteral("## 10. The order set"));
        QCOMPARE(Rows.size(), 32);
        for (int Code = 0; Code < 32; ++Code) {
            const QStringList& R = Rows[Code];
            QCOMPARE(Unquote(R[0]), QString(QLatin1Char(OrderLetters[Code])));
            QCOMPARE(R[1].toInt(), Code);
            // Load the order alone at 64 and run the Initial Orders until they jump to it.
            TRecordingSim Sim;
            TEdsacCore Core(Sim);
            const std::string Tape = std::string("T64K GK ") + OrderLetters[Code] + "10F ZF EZPF PPPP";
            Sim.Tape.SetText(U32(Tape));
            Core.Init();
            Core.SetInitialOrders(ioOrders2);
            Core.LoadInitialOrders();
            for (int I = 0; I < 100000 && Core.Control().GetSCR() != 64; ++I)
                Core.ExecuteOrder();
            QCOMPARE(Core.Control().GetSCR(), 64);
            const std::uint32_t Before = Core.Control().GetElapsedTime();
            bool Unknown = false;
            try {
                Core.ExecuteOrder();
            } catch (const EUnknownOrder&) {
                Unknown = true;
            }
            if (Unknown) {
                QCOMPARE(R[3], QStringLiteral("none"));
                QVERIFY(R[2].startsWith(QLatin1String("unknown order")));
            } else {
                const double Ms = (Core.Control().GetElapsedTime() - Before) / 10.0;
                QCOMPARE(R[3], QString::number(Ms) + QStringLiteral(" ms"));
            }
            Core.Shutdown();
        }
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
        // The machine's own messages and those of its windows, as the code spells them.
        const QStringList Messages = {
            QStringLiteral("Please select a program tape"), QStringLiteral("End of tape encountered"),
            QStringLiteral("Illegal character on line number"), QStringLiteral("ASCII value"),
            QStringLiteral("Unknown order"), QStringLiteral("Order fetch outside the store at location 1024"),
            QStringLiteral("Cannot input whilst EDSAC is running"), QStringLiteral("Cannot find the file: "),
            QStringLiteral("Cannot read the file: "), QStringLiteral("Cannot save the file: "),
            QStringLiteral("It is larger than 16 MiB"), QStringLiteral("It is not a regular file but a device, a pipe or a socket"),
            QStringLiteral("Save changes to "), QStringLiteral("Already exists. Would you like to replace it?"),
            QStringLiteral("No printer is available"), QStringLiteral("cannot be used"),
            QStringLiteral("Sound is not currently supported in this version of Valvane"),
            QStringLiteral("The tutorial guide can be found by opening the \"Lessonary\" file that was supplied with Valvane"),
            QStringLiteral("Program documentation can be found by opening the \"Referary\" file that was supplied with Valvane"),
            QStringLiteral("The settings could not be saved."), QStringLiteral("No tape selected"), QStringLiteral("Stopped: "),
            QStringLiteral("cannot find the tape file"), QStringLiteral("cannot read the tape file"),
            QStringLiteral("cannot write the punch file"), QStringLiteral("cannot write the dump file"),
            QStringLiteral("cannot write the output: "), QStringLiteral("--initial-orders must be 1 or 2, not"),
            QStringLiteral("--max-orders needs a whole number, not"), QStringLiteral("--dial takes digits 0-9 only, not"),
            QStringLiteral("no tape given (see --help)"), QStringLiteral("one tape only, please (see --help)"),
            QStringLiteral("Gave up after"),
        };
        for (const QString& Message : Messages)
            if (!Referary.contains(Message))
                Missing << Message;
        QVERIFY2(Missing.isEmpty(), qPrintable(Missing.join(QStringLiteral(" / "))));
    }
};

QTEST_MAIN(TestDocs)
#include "test_docs.moc"

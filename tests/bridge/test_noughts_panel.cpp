// One game of noughts and crosses played on the real machine window (offscreen):
// the dial's holes are pressed, the long tank selector shows the board, and what
// the panel shows is what valvane-run computes for the same digits.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "components/CRTDisplay.h"
#include "tests/bridge/std_world.h"

namespace {

// The shared world, with the game's own ways of looking at the panel.
struct TGameWorld : TWorld {
    // Timer ticks until the machine stops; false if it is still going after Limit.
    bool RunToStop(int Limit = 1000000) { return TWorld::RunToStop(Limit, false) == 0; }
    void Dial(QChar Digit)
    {
        OnPanel<QAbstractButton>(qPrintable(QStringLiteral("sbDial%1").arg(Digit)))->click();
        QVERIFY(RunToStop());
    }
    // The 32 words the long tank tube shows, as locations 32T .. 32T + 31.
    std::vector<int> Tube() const
    {
        std::vector<int> Words(32);
        for (size_t Row = 0; Row < 16; ++Row) {
            const TWords Shown = OnPanel<TCRTDisplay>(qPrintable(QStringLiteral("crtStore%1").arg(Row)))->Words();
            Words[2 * Row + 1] = Shown[0];
            Words[2 * Row] = Shown[1];
        }
        return Words;
    }
    std::vector<int> Store(int From) const
    {
        const TWordArray& S = Core->GetStoreContents();
        return std::vector<int>(S.begin() + From, S.begin() + From + 32);
    }
};

const QString Tape = QStringLiteral(VALVANE_TAPES "/noughts.txt");

} // namespace

class TestNoughtsPanel : public QObject {
    Q_OBJECT
private slots:
    void aWholeGameOnThePanel()
    {
        // A drawn game; the first 1 and the 0 hole are ignored, the 4 after the end too.
        const QString Digits = QStringLiteral("5191028374 6 4").remove(QLatin1Char(' '));
        QTemporaryDir Dir;
        QProcess Runner;
        const QString DumpFile = Dir.filePath(QStringLiteral("d.json"));
        const QStringList Args{QStringLiteral("--dial"), Digits, QStringLiteral("--dump"), DumpFile, Tape};
        Runner.start(QStringLiteral(VALVANE_RUN), Args);
        QVERIFY(Runner.waitForFinished(60000) && Runner.exitCode() == 0);
        const QString RunnerOutput = QString::fromLatin1(Runner.readAllStandardOutput());
        QFile Dump(DumpFile);
        QVERIFY(Dump.open(QIODevice::ReadOnly));
        const QJsonArray RunnerStore =
            QJsonDocument::fromJson(Dump.readAll()).object()[QStringLiteral("store")].toArray();
        std::vector<int> RunnerTank;
        for (int A = 64; A < 96; ++A)
            RunnerTank.push_back(RunnerStore.at(A).toInt());

        TGameWorld W;
        QVERIFY(W.Bridge->OpenTape(Tape));
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(2);
        W.OnPanel("btnStart")->click();
        QVERIFY(W.RunToStop());
        // The instructions, and the empty grid on the tube.
        const QString Intro = W.Bridge->TeleprinterLines().join(QLatin1Char('\n'));
        QVERIFY(Intro.startsWith(QStringLiteral("NOUGHTS AND CROSSES\nLONG TANK 2")));
        const std::vector<int> Grid = W.Tube();
        QCOMPARE(Grid, W.Store(64));
        QVERIFY(Grid[21] != 0 && Grid[20] != 0); // a level line of the grid, row 10

        for (const QChar Digit : Digits)
            W.Dial(Digit);
        QCOMPARE(W.Messages, QStringList());
        const QStringList Lines = W.Bridge->TeleprinterLines();
        QCOMPARE(Lines.last(), QStringLiteral("DRAW"));
        const QStringList Board{QStringLiteral("O X O"), QStringLiteral("O X X"), QStringLiteral("X O X")};
        QCOMPARE(Lines.mid(Lines.size() - 4, 3), Board);
        QCOMPARE(Lines.join(QLatin1Char('\n')) + QLatin1Char('\n'), RunnerOutput);
        QCOMPARE(W.Tube(), W.Store(64));
        QCOMPARE(W.Tube(), RunnerTank);

        // The pane shows every line whole, with the scroll bar the game brings up.
        auto* Paper = W.Panel()->findChild<QPlainTextEdit*>(QStringLiteral("TeletypeMemo"));
        QVERIFY(Paper);
        const int Columns = (Paper->viewport()->width() - 2 * int(Paper->document()->documentMargin())) /
                            Paper->fontMetrics().horizontalAdvance(QLatin1Char('M'));
        qInfo("The teleprinter pane shows %d characters a line", Columns);
        QCOMPARE(Paper->horizontalScrollBar()->maximum(), 0);
        for (const QString& Line : Lines)
            QVERIFY2(Line.size() <= Columns, qPrintable(Line));

        // Another tank and back: the selector redraws the board from the store.
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(3);
        QCOMPARE(W.Tube(), W.Store(96));
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(2);
        QCOMPARE(W.Tube(), RunnerTank);

        // Start plays a fresh game: the grid is empty again.
        W.OnPanel("btnStart")->click();
        QVERIFY(W.RunToStop());
        QCOMPARE(W.Tube(), Grid);
    }
};

QTEST_MAIN(TestNoughtsPanel)
#include "test_noughts_panel.moc"

// Every game a visitor can play against tapes/noughts.txt, each run once through
// valvane-run with all its digits: the machine never loses, every move it makes
// is legal, what it prints follows the game, and the picture on long tank 2
// shows exactly the marks played. The counts of games are the ones the Lessonary
// gives in its table of figures.
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <vector>

namespace {

enum TMark { mEmpty, mX, mO };
using TBoard = std::array<TMark, 10>; // squares 1..9, numbered like a keypad

constexpr int Lines[8][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 4, 7}, {2, 5, 8}, {3, 6, 9}, {1, 5, 9}, {3, 5, 7}};

bool HasLine(const TBoard& B, TMark M)
{
    for (const auto& L : Lines)
        if (B[L[0]] == M && B[L[1]] == M && B[L[2]] == M)
            return true;
    return false;
}

bool Full(const TBoard& B)
{
    for (int S = 1; S <= 9; ++S)
        if (B[S] == mEmpty)
            return false;
    return true;
}

// The board as the teleprinter prints it: a mark, or the figure to dial.
QStringList Printed(const TBoard& B)
{
    QStringList Rows;
    for (int R = 0; R < 3; ++R) {
        QStringList Cells;
        for (int S = 3 * R + 1; S <= 3 * R + 3; ++S)
            Cells << (B[S] == mX ? QStringLiteral("X") : B[S] == mO ? QStringLiteral("O") : QString::number(S));
        Rows << Cells.join(QLatin1Char(' '));
    }
    return Rows;
}

// The picture the board should leave in locations 64..95: 16 rows of 35 dots,
// the top row in locations 95 (left 17 dots) and 94 (right 18); each square is
// 4 rows by 9 dots, between two upright and two level lines.
constexpr const char* XDots[4] = {".##...##.", "...###...", "...###...", ".##...##."};
constexpr const char* ODots[4] = {"..#####..", ".#.....#.", ".#.....#.", "..#####.."};

std::vector<int> Picture(const TBoard& B)
{
    std::vector<int> Store(32, 0);
    for (int Row = 0; Row < 16; ++Row) {
        QByteArray Dots(35, '.');
        const int Band = (Row - 1) / 5, Within = (Row - 1) % 5;
        if (Row == 5 || Row == 10)
            Dots.replace(3, 29, QByteArray(29, '#'));
        else if (Row > 0 && Row < 15) {
            Dots[12] = Dots[22] = '#';
            for (int Col = 0; Col < 3; ++Col) {
                const TMark M = B[3 * Band + Col + 1];
                if (M != mEmpty)
                    Dots.replace(3 + 10 * Col, 9, (M == mX ? XDots : ODots)[Within]);
            }
        }
        qint64 Bits = 0;
        for (const char D : Dots)
            Bits = Bits * 2 + (D == '#');
        Store[31 - 2 * Row] = int(Bits >> 18);
        Store[30 - 2 * Row] = int(Bits & 0x3FFFF);
    }
    return Store;
}

struct TRun {
    QStringList Lines;
    std::vector<int> Tank; // locations 64..95
    qint64 Orders = 0;
    QString Problem;
};

const QString Tape = QStringLiteral(VALVANE_TAPES "/noughts.txt");

// The Lessonary's figures for "`tapes/noughts.txt`, every game", by what they count.
QMap<QString, int> LessonaryFigures()
{
    QMap<QString, int> Figures;
    QFile File(QStringLiteral(VALVANE_TAPES "/../docs/Lessonary.md"));
    if (!File.open(QIODevice::ReadOnly))
        return Figures;
    const QString Run = QStringLiteral("`tapes/noughts.txt`, every game");
    for (const QString& Line : QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'))) {
        const QStringList Cells = Line.split(QLatin1Char('|'));
        if (Cells.size() == 5 && Cells[1].trimmed() == Run)
            Figures.insert(Cells[2].trimmed(), Cells[3].trimmed().toInt());
    }
    return Figures;
}

} // namespace

class TestNoughts : public QObject {
    Q_OBJECT
    QTemporaryDir Dir;

    TRun Run(const QString& Digits)
    {
        TRun R;
        const QString Dump = Dir.filePath(QStringLiteral("dump.json"));
        QProcess P;
        QStringList Args{QStringLiteral("--dump"), Dump, Tape};
        if (!Digits.isEmpty())
            Args = QStringList{QStringLiteral("--dial"), Digits} + Args;
        P.start(QStringLiteral(VALVANE_RUN), Args);
        if (!P.waitForFinished(60000) || P.exitStatus() != QProcess::NormalExit || P.exitCode() != 0) {
            R.Problem = QStringLiteral("valvane-run failed: ") + QString::fromUtf8(P.readAllStandardError());
            return R;
        }
        R.Lines = QString::fromLatin1(P.readAllStandardOutput()).split(QLatin1Char('\n'));
        if (R.Lines.last().isEmpty())
            R.Lines.removeLast();
        QFile F(Dump);
        if (!F.open(QIODevice::ReadOnly)) {
            R.Problem = QStringLiteral("no dump");
            return R;
        }
        const QJsonObject State = QJsonDocument::fromJson(F.readAll()).object();
        if (State.value(QStringLiteral("status")).toString() != QLatin1String("stop"))
            R.Problem = QStringLiteral("the run ended with ") + State.value(QStringLiteral("status")).toString();
        const QJsonArray Store = State.value(QStringLiteral("store")).toArray();
        for (int A = 64; A < 96; ++A)
            R.Tank.push_back(Store.at(A).toInt());
        R.Orders = State.value(QStringLiteral("orders")).toInteger();
        return R;
    }

    TRun Fresh; // the run before any digit
    int Intro = 0; // the lines printed before the first move

    // Where the games of one opening leave their counts for the Lessonary's figures.
    static QString CountsFile(int Opening)
    {
        return QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral("noughts-games-%1.txt").arg(Opening));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        Fresh = Run(QString());
        QVERIFY2(Fresh.Problem.isEmpty(), qPrintable(Fresh.Problem));
        QVERIFY(Fresh.Lines.size() > 4);
        Intro = int(Fresh.Lines.size()) - 1;
    }

    // Before any digit: the instructions, the numbered board, and the bare grid.
    void theBoardBeforeAnyDigit()
    {
        const TBoard Empty{};
        QCOMPARE(Fresh.Lines.last(), QString()); // the line the game goes on in
        QCOMPARE(Fresh.Lines.mid(Intro - 3, 3), Printed(Empty));
        QCOMPARE(Fresh.Tank, Picture(Empty));
    }

    // One row for each square the visitor may open with, so that the games can
    // be run as separate tests that show their progress and share the cores.
    void theMachineNeverLoses_data()
    {
        QTest::addColumn<int>("Opening");
        for (int Square = 1; Square <= 9; ++Square)
            QTest::newRow(qPrintable(QString::number(Square))) << Square;
    }

    void theMachineNeverLoses()
    {
        QFETCH(int, Opening);
        QFile::remove(CountsFile(Opening));
        // Each run plays a prefix of the visitor's moves, then dials 0 and 1..9
        // (each taken square ignored) and two spare digits after the end; every
        // other square the visitor might have played instead is a new prefix.
        std::vector<QString> Todo{QString::number(Opening)};
        int Games = 0, Wins = 0, Draws = 0;
        qint64 MostOrdersPerMove = 0;
        QElapsedTimer Clock;
        Clock.start();
        qint64 NextReport = 10000;
        while (!Todo.empty()) {
            if (Clock.elapsed() >= NextReport) {
                qInfo("%d games played, %zu openings to follow", Games, Todo.size());
                NextReport = Clock.elapsed() + 10000;
            }
            const QString Prefix = Todo.back();
            Todo.pop_back();
            const QString Digits = Prefix + QStringLiteral("012345678955");
            const TRun R = Run(Digits);
            QVERIFY2(R.Problem.isEmpty(), qPrintable(Digits + QStringLiteral(": ") + R.Problem));
            ++Games;

            TBoard B{};
            QString Verdict;
            std::vector<int> Visitor;
            std::vector<TBoard> Before; // the board before each of the visitor's moves
            int Line = Intro;
            auto Expect = [&](const QString& Want) {
                const QString Got = Line < R.Lines.size() ? R.Lines[Line] : QStringLiteral("(nothing)");
                ++Line;
                if (Got == Want)
                    return QString();
                return QStringLiteral("line %1 is \"%2\", not \"%3\"").arg(Line).arg(Got, Want);
            };
            QString Fault;
            for (const QChar Ch : Digits) {
                const int Square = Ch.digitValue();
                if (!Verdict.isEmpty() || Square == 0 || B[Square] != mEmpty)
                    continue; // the end of the game, the 0 hole or a taken square: ignored
                Before.push_back(B);
                Visitor.push_back(Square);
                B[Square] = mX;
                const QString You = QStringLiteral("YOU ") + QString::number(Square);
                if (HasLine(B, mX) || Full(B)) {
                    Verdict = HasLine(B, mX) ? QStringLiteral("YOU WIN") : QStringLiteral("DRAW");
                    Fault = Expect(You);
                } else {
                    const QString Got = Line < R.Lines.size() ? R.Lines[Line] : QString();
                    const int Reply = Got.startsWith(You + QStringLiteral(" ME ")) && Got.size() == You.size() + 5
                                          ? Got.right(1).toInt()
                                          : 0;
                    if (Reply < 1 || Reply > 9 || B[Reply] != mEmpty) {
                        Fault = QStringLiteral("after %1 the machine says \"%2\"").arg(You, Got);
                        break;
                    }
                    ++Line;
                    B[Reply] = mO;
                    if (HasLine(B, mO))
                        Verdict = QStringLiteral("I WIN");
                }
                for (const QString& Row : Printed(B))
                    if (Fault.isEmpty())
                        Fault = Expect(Row);
                if (Fault.isEmpty() && !Verdict.isEmpty())
                    Fault = Expect(Verdict);
                if (!Fault.isEmpty())
                    break;
            }
            if (Fault.isEmpty() && Verdict.isEmpty())
                Fault = QStringLiteral("the game did not end");
            if (Fault.isEmpty() && Line != R.Lines.size())
                Fault = QStringLiteral("more was printed after the verdict");
            QVERIFY2(Fault.isEmpty(), qPrintable(Digits + QStringLiteral(": ") + Fault));
            QVERIFY2(Verdict != QLatin1String("YOU WIN"), qPrintable(Digits));
            (Verdict == QLatin1String("I WIN") ? Wins : Draws) += 1;
            QVERIFY2(R.Tank == Picture(B), qPrintable(Digits + QStringLiteral(": the tube does not show the board")));
            MostOrdersPerMove = std::max(MostOrdersPerMove, (R.Orders - Fresh.Orders) / qint64(Visitor.size()));

            for (size_t K = size_t(Prefix.size()); K < Visitor.size(); ++K) {
                QString Other;
                for (size_t I = 0; I < K; ++I)
                    Other += QString::number(Visitor[I]);
                for (int S = 1; S <= 9; ++S)
                    if (S != Visitor[K] && Before[K][S] == mEmpty)
                        Todo.push_back(Other + QString::number(S));
            }
        }
        qInfo("%d games: the machine wins %d, %d drawn; at most %lld orders a move", Games, Wins, Draws,
              MostOrdersPerMove);
        // Every move is answered at once: a few thousand orders at most.
        QVERIFY(MostOrdersPerMove < 3000);
        QFile Counts(CountsFile(Opening));
        QVERIFY(Counts.open(QIODevice::WriteOnly));
        Counts.write(QByteArray::number(Games) + ' ' + QByteArray::number(Wins) + ' ' + QByteArray::number(Draws));
    }

    // The games of every opening, counted together; they are run first.
    void theLessonaryCountsEveryGame()
    {
        int Games = 0, Wins = 0, Draws = 0;
        for (int Opening = 1; Opening <= 9; ++Opening) {
            QFile File(CountsFile(Opening));
            QVERIFY2(File.open(QIODevice::ReadOnly),
                     qPrintable(File.fileName() + QStringLiteral(" is missing: the games of each opening run first")));
            const QList<QByteArray> Counts = File.readAll().split(' ');
            QCOMPARE(Counts.size(), 3);
            Games += Counts[0].toInt();
            Wins += Counts[1].toInt();
            Draws += Counts[2].toInt();
            File.remove(); // so that a later count cannot take stale games
        }
        const QMap<QString, int> Told = LessonaryFigures();
        QCOMPARE(Told.value(QStringLiteral("games"), -1), Games);
        QCOMPARE(Told.value(QStringLiteral("games the machine wins"), -1), Wins);
        QCOMPARE(Told.value(QStringLiteral("games drawn"), -1), Draws);
    }
};

QTEST_MAIN(TestNoughts)
#include "test_noughts.moc"

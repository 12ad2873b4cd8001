#include <QCheckBox>
#include <QLabel>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <string_view>
#include <vector>

#include "components/CRTDisplay.h"
#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "devconsole/dev_gui.h"
#include "devconsole/edsac_form_dev.h"
#include "devconsole/main_form_dev.h"
#include "devconsole/msg_form.h"
#include "kit/Dialogs.h"
#include "kit/editor_form.h"
#include "tests/named.h"

namespace {

// Under Initial Orders 2: prints "HI" (letter shift, H, I) from the words after
// the program, then stops.
const QString HiTape = QStringLiteral("T64K GK O4@ O5@ O6@ ZF *F HF IF EZPF");

// The bridge, its windows and a real core, joined and taken down as the start-up does.
struct TConsole {
    TDevGuiCoreInt Gui;
    std::unique_ptr<TEdsacCore> Core;

    TConsole() : Core(std::make_unique<TEdsacCore>(Gui))
    {
        Gui.SetCore(Core.get());
        Gui.InitGui();
    }
    ~TConsole()
    {
        Gui.SetCore(nullptr);
        Core->Shutdown();
        Gui.DoneGui();
    }
    TMainFormDev& Main() { return *Gui.MainWindow(); }
    TEdsacFormDev& Monitor() { return *Gui.Monitor(); }
    // A control of the main window or the monitor, by its name.
    template <class T = QPushButton>
    T* OnMain(const char* Name)
    {
        return Named<T>(&Main(), QString::fromLatin1(Name));
    }
    template <class T>
    T* OnMonitor(const char* Name)
    {
        return Named<T>(&Monitor(), QString::fromLatin1(Name));
    }
    QString Printed() { return OnMonitor<QPlainTextEdit>("TeletypeMemo")->toPlainText(); }
    TEditorForm* Tape(const QString& Text)
    {
        TEditorForm* Tape = Gui.NewTape();
        TapePane(Tape)->setPlainText(Text);
        return Tape;
    }
    // "EDSAC Init", then "Load Init Ords" with the combo box's choice.
    void Load()
    {
        OnMain("Button3")->click();
        OnMain("Button5")->click();
    }
    std::vector<TWord> Store() const { return Core->GetStoreContents(); }
    // Single steps until the machine stops, keeping the store as the last step found it.
    int Steps = 0;
    std::vector<TWord> Before;
    TStepResult StepToStop()
    {
        TStepResult Result = TStepResult::srRunning;
        for (Steps = 0; Result == TStepResult::srRunning && Steps < 100000; ++Steps) {
            Before = Store();
            Result = Gui.ExecuteStep();
        }
        return Result;
    }
    // The run timer at full speed.
    void Run()
    {
        OnMain<QSlider>("tbClockSpeed")->setValue(TMainFormDev::SlowestInterval);
        OnMain("Button2")->click();
    }
};

QStringList Lines(QPlainTextEdit* Memo)
{
    return Memo->document()->isEmpty() ? QStringList() : Memo->toPlainText().split(QLatin1Char('\n'));
}
QStringList Lines(const TMsgForm* Window)
{
    return Window->Text().isEmpty() ? QStringList() : Window->Text().split(QLatin1Char('\n'));
}

// What the I/O window shows for each character the tape reader takes.
QStringList ExpectedReads(const QString& Tape)
{
    QStringList Result;
    const QString Read = Tape.toUpper().remove(QLatin1Char(' '));
    for (QChar Ch : Read)
        Result << QStringLiteral("IO: Read char %1 (%2)")
                      .arg(Ch)
                      .arg(std::string_view(OrderLetters).find(Ch.toLatin1()) % 32);
    return Result;
}

// Counts the events of one type that reach the objects it watches.
class TEventCounter : public QObject {
public:
    TEventCounter(QEvent::Type AType, int& ACount) : FType(AType), FCount(ACount) {}
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == FType)
            ++FCount;
        return false;
    }

private:
    QEvent::Type FType;
    int& FCount;
};

} // namespace

class TestDevConsole : public QObject {
    Q_OBJECT

    std::vector<Dialogs::TMessageRequest> Boxes;

private slots:
    void init()
    {
        Boxes.clear();
        Dialogs::SetMessageResponder([this](const auto& R) {
            Boxes.push_back(R);
            return QMessageBox::Ok;
        });
    }
    void cleanup()
    {
        Dialogs::SetMessageResponder({});
        Dialogs::SetFileResponder({});
    }

    void MissingTapeIsReported()
    {
        TConsole C;
        C.Load();
        const int Scr = C.Core->Control().GetSCR();
        C.OnMain("Button2")->click();
        QVERIFY(!C.Main().IsRunning());
        QCOMPARE(C.OnMain("Button2")->text(), QString("Run"));
        C.OnMain("Button1")->click();
        QCOMPARE(C.Core->Control().GetSCR(), Scr); // nothing was executed
        QCOMPARE(Boxes.size(), size_t(2));
        for (const auto& Box : Boxes)
            QCOMPARE(std::pair(Box.Caption, Box.Text), std::pair(QString("No tape"), QString("No tape selected")));
    }

    void TapeRunsWithItsTraceInOrder()
    {
        TConsole C;
        C.OnMain<QCheckBox>("cbIOWin")->setChecked(true);
        C.OnMain<QCheckBox>("cbControlWin")->setChecked(true);
        // Lower case reads as capitals in this console.
        const QString Tape = HiTape.toLower();
        C.Tape(Tape);
        C.Load();
        QCOMPARE(C.StepToStop(), TStepResult::srStopped);
        QVERIFY(Boxes.empty());
        QCOMPARE(C.Printed(), QString("HI"));

        C.Gui.FlushMessages();
        QCOMPARE(Lines(C.OnMain<TMsgForm>("IOMsgs")), ExpectedReads(Tape));
        const QStringList Control = Lines(C.OnMain<TMsgForm>("ControlMsgs"));
        const QStringList Fetches = Control.filter(QRegularExpression("^Fetching order @ loc \\d+$"));
        QCOMPARE(Fetches.size(), C.Steps);
        QCOMPARE(Fetches.first(), QString("Fetching order @ loc 0"));
        QCOMPARE(Control.last(), QString("Executing Z order"));
    }

    void RunTimerRunsToTheStopOrder()
    {
        TConsole C;
        TMainFormDev& M = C.Main();
        C.OnMain<QCheckBox>("cbIOWin")->setChecked(true);
        C.Tape(HiTape);
        C.Load();
        C.Run();
        QCOMPARE(C.OnMain("Button2")->text(), QString("Stop"));
        QVERIFY(!C.OnMain<QToolButton>("btnNew")->isEnabled() && !C.OnMain<QToolButton>("btnOpen")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!M.IsRunning(), 20000);
        QCOMPARE(C.Printed(), QString("HI"));
        QCOMPARE(C.OnMain("Button2")->text(), QString("Run"));
        QVERIFY(C.OnMain<QToolButton>("btnNew")->isEnabled() && C.OnMain<QToolButton>("btnOpen")->isEnabled());
        // The batch timer delivers the trace without being asked.
        QTRY_COMPARE(Lines(C.OnMain<TMsgForm>("IOMsgs")), ExpectedReads(HiTape));

        // A dial key during a run is refused and leaves the accumulator alone;
        // stopped, the digit reaches the accumulator and the machine runs on.
        C.OnMain("Button2")->click();
        const auto Acc = C.Core->Arithmetic().Acc();
        C.OnMain<QToolButton>("SpeedButton2")->click();
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(Boxes[0].Text, QString("Cannot input whilst EDSAC is running"));
        QVERIFY(C.Core->Arithmetic().Acc() == Acc);
        C.OnMain("Button2")->click();
        QVERIFY(!M.IsRunning());
        C.OnMain<QToolButton>("SpeedButton2")->click();
        QCOMPARE(C.Core->Arithmetic().Acc()[0], (Acc[0] + 18) & 0x1FFFF);
        QVERIFY(M.IsRunning());
        C.OnMain("Button2")->click();
    }

    void ReadFailureStopsWithoutStoring_data()
    {
        QTest::addColumn<QString>("Tape");
        QTest::addColumn<QString>("Caption");
        QTest::addColumn<QString>("Text");
        QTest::newRow("illegal character") << QString("T64K\nGK O?@") << QString("Illegal character")
                                           << QString("Illegal character on line number 2\n\n[\"?\" ASCII value 63]");
        QTest::newRow("end of tape") << QString("T64K GK O4@") << QGuiApplication::applicationDisplayName()
                                     << QString("End of tape encountered");
        // Stepped straight on from the initial orders, the first input order has no tape to read.
        QTest::newRow("no tape") << QString() << QString("No tape") << QString("No tape selected");
    }
    void ReadFailureStopsWithoutStoring()
    {
        QFETCH(QString, Tape);
        QFETCH(QString, Caption);
        QFETCH(QString, Text);
        // Single steps, then the run timer; without a tape Run does not start at all.
        for (int Pass = 0; Pass < (Tape.isNull() ? 1 : 2); ++Pass) {
            const bool ByTimer = Pass == 1;
            Boxes.clear();
            TConsole C;
            if (!Tape.isNull())
                C.Tape(Tape);
            C.Load();
            if (ByTimer) {
                C.Run();
                QTRY_VERIFY_WITH_TIMEOUT(!C.Main().IsRunning(), 20000);
            } else {
                QCOMPARE(C.StepToStop(), TStepResult::srError);
                // The abandoned input order stored nothing (not a 32-bit -1 either).
                QVERIFY(C.Store() == C.Before);
            }
            QCOMPARE(Boxes.size(), size_t(1));
            QCOMPARE(std::pair(Boxes[0].Caption, Boxes[0].Text), std::pair(Caption, Text));
            QCOMPARE(C.OnMain("Button2")->text(), QString("Run!"));
        }
    }

    void EachBoxGatesItsOwnUnitsLines_data()
    {
        QTest::addColumn<int>("Ticked"); // 0 ALU, 1 Store, 2 Control, 3 I/O
        QTest::addColumn<QString>("Sample"); // a line only that unit writes
        QTest::newRow("ALU") << 0 << QString("ALU Initialised");
        QTest::newRow("Store") << 1 << QString("Read loc 0");
        QTest::newRow("Control") << 2 << QString("Fetching order @ loc 0");
        QTest::newRow("I/O") << 3 << QString("IO: Read char T (5)");
    }
    void EachBoxGatesItsOwnUnitsLines()
    {
        QFETCH(int, Ticked);
        QFETCH(QString, Sample);
        TConsole C;
        QCheckBox* const TraceBoxes[] = {C.OnMain<QCheckBox>("cbALUWin"), C.OnMain<QCheckBox>("cbStoreWin"),
                                         C.OnMain<QCheckBox>("cbControlWin"), C.OnMain<QCheckBox>("cbIOWin")};
        TMsgForm* const Windows[] = {C.OnMain<TMsgForm>("ALUMsgs"), C.OnMain<TMsgForm>("StoreMsgs"),
                                     C.OnMain<TMsgForm>("ControlMsgs"), C.OnMain<TMsgForm>("IOMsgs")};
        TraceBoxes[Ticked]->setChecked(true);
        C.Tape(HiTape);
        C.Load();
        QCOMPARE(C.StepToStop(), TStepResult::srStopped);
        C.Gui.FlushMessages();
        for (int I = 0; I < 4; ++I)
            if (I == Ticked)
                QVERIFY2(Lines(Windows[I]).contains(Sample), qPrintable(Lines(Windows[I]).join('|').left(300)));
            else
                QVERIFY2(Lines(Windows[I]).isEmpty(), qPrintable(Windows[I]->windowTitle()));
    }

    void RunTouchesTheTapeButtonsOnlyAsItStartsAndStops()
    {
        TConsole C;
        TMainFormDev& M = C.Main();
        int Changes = 0;
        TEventCounter Counter(QEvent::EnabledChange, Changes);
        C.OnMain<QToolButton>("btnNew")->installEventFilter(&Counter);
        C.Tape(HiTape);
        C.Load();
        C.Run();
        QTRY_VERIFY_WITH_TIMEOUT(!M.IsRunning(), 20000);
        QCOMPARE(Changes, 2);
        QVERIFY(C.OnMain<QToolButton>("btnNew")->isEnabled());
        // The order text catches up within a frame: the stop order.
        QTRY_COMPARE(C.OnMonitor<QLabel>("lblORD")->text(), QString("Z 0 F"));
    }

    void ClosedTapeAsksAboutChangesAndIsGone()
    {
        QTemporaryDir Dir;
        TConsole C;
        QList<QMessageBox::StandardButton> Answers{QMessageBox::Cancel, QMessageBox::Yes};
        Dialogs::SetMessageResponder([&](const auto& R) {
            Boxes.push_back(R);
            return Answers.isEmpty() ? QMessageBox::Ok : Answers.takeFirst();
        });
        Dialogs::SetFileResponder([&](const Dialogs::TFileRequest&) { return Dir.filePath("kept.txt"); });
        QPointer<TEditorForm> Tape = C.Tape(HiTape);
        TapePane(Tape)->insertPlainText(" "); // typed in, so modified
        // Cancelled, it stays the tape.
        QVERIFY(!Tape->close());
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(std::pair(Boxes[0].Caption, Boxes[0].Text),
                 std::pair(QString("Confirm"), QString("Save changes to DeveloperProg?")));
        QCOMPARE(C.Gui.CurrentTape(), Tape.data());
        // Saved, it goes; Run then has no tape.
        QVERIFY(Tape->close());
        QTRY_VERIFY(Tape.isNull());
        QVERIFY(QFile::exists(Dir.filePath("kept.txt")));
        QVERIFY(!C.Gui.CurrentTape());
        Boxes.clear();
        C.OnMain("Button2")->click();
        QVERIFY(!C.Main().IsRunning());
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(Boxes[0].Text, QString("No tape selected"));
        // An unchanged tape closes without a question.
        Boxes.clear();
        Tape = C.Gui.NewTape();
        QVERIFY(Tape->close());
        QTRY_VERIFY(Tape.isNull());
        QVERIFY(Boxes.empty());
    }

    void AluBoxShowsAndGatesItsWindow()
    {
        TConsole C;
        // "EDSAC Init" makes the ALU report; the lines are written at once.
        const auto Init = [&C] {
            C.Gui.ClearMachine();
            C.Gui.FlushMessages();
        };
        Init();
        QVERIFY(Lines(C.OnMain<TMsgForm>("ALUMsgs")).isEmpty());
        C.OnMain<QCheckBox>("cbALUWin")->setChecked(true);
        QVERIFY(C.OnMain<TMsgForm>("ALUMsgs")->isVisible());
        Init();
        const QStringList Collected = Lines(C.OnMain<TMsgForm>("ALUMsgs"));
        QVERIFY(Collected.contains("ALU Initialised"));
        QVERIFY(!Collected.contains("ALU is active")); // sent before the box was ticked
        C.OnMain<QCheckBox>("cbALUWin")->setChecked(false);
        QVERIFY(!C.OnMain<TMsgForm>("ALUMsgs")->isVisible());
        Init();
        QCOMPARE(Lines(C.OnMain<TMsgForm>("ALUMsgs")), Collected);
        // Closing the window by hand unticks its box.
        C.OnMain<QCheckBox>("cbALUWin")->setChecked(true);
        C.OnMain<TMsgForm>("ALUMsgs")->close();
        QVERIFY(!C.OnMain<QCheckBox>("cbALUWin")->isChecked());
    }

    void LongTankMapsAddressesToRows()
    {
        TConsole C;
        const auto Tube = [&C](std::size_t N) {
            return C.OnMonitor<TCRTDisplay>(qPrintable(QStringLiteral("CRTDisplay%1").arg(N + 1)));
        };
        const auto Row = [&Tube](std::size_t N) { return std::pair(Tube(N)->Words()[0], Tube(N)->Words()[1]); };
        auto* LongTank = C.OnMonitor<QSpinBox>("SpinEdit1");
        // Long tank 1 is locations 32..63; row 0 shows 33 then 32.
        QCOMPARE(LongTank->value(), 1);
        C.Gui.UpdateStoreWord(33, 0x155);
        C.Gui.UpdateStoreWord(32, 0x2AA);
        C.Gui.UpdateStoreWord(63, 7);
        QCOMPARE(Row(0), std::pair(TWord(0x155), TWord(0x2AA)));
        QCOMPARE(Row(15).first, TWord(7));
        // Locations of other tanks draw nothing.
        std::vector<std::uint64_t> Drawn;
        for (std::size_t N = 0; N < 16; ++N)
            Drawn.push_back(Tube(N)->CellsDrawn());
        C.Gui.UpdateStoreWord(64, 0x3FFFF);
        C.Gui.UpdateStoreWord(31, 0x3FFFF);
        for (std::size_t N = 0; N < 16; ++N)
            QCOMPARE(Tube(N)->CellsDrawn(), Drawn[N]);

        // Choosing another tank shows it from the store.
        C.Load();
        LongTank->setValue(0);
        const std::vector<TWord> Store = C.Store();
        for (std::size_t N = 0; N < 16; ++N)
            QCOMPARE(Row(N), std::pair(Store[2 * N + 1], Store[2 * N]));
    }

    void OpeningReplacesTheTape()
    {
        QTemporaryDir Dir;
        const QString Path = Dir.filePath("hello.txt");
        {
            QFile F(Path);
            QVERIFY(F.open(QIODevice::WriteOnly));
            F.write(HiTape.toUtf8() + "\n");
        }
        TConsole C;
        QPointer<TEditorForm> First = C.Tape("T64K");
        TapePane(First)->insertPlainText("modified");
        QString Chosen = Path;
        Dialogs::SetFileResponder([&](const Dialogs::TFileRequest&) { return Chosen; });
        C.OnMain<QAction>("mnuOpen")->trigger();
        // Replaced without asking about the changes.
        QVERIFY(First.isNull());
        QVERIFY(Boxes.empty());
        QPointer<TEditorForm> Second = C.Gui.CurrentTape();
        QVERIFY(Second);
        // The file's last line break ends its last line; it is no line of its own.
        QCOMPARE(Second->Text(), HiTape);

        // A file that cannot be read keeps the tape there is.
        Chosen = Dir.filePath("missing.txt");
        C.OnMain("Button4")->click();
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(C.Gui.CurrentTape(), Second.data());
        // "New Tape" replaces it too.
        C.OnMain("Button6")->click();
        QVERIFY(Second.isNull());
        QVERIFY(C.Gui.CurrentTape());
    }

    void MemoKeepsTheNewestLinesInOrder()
    {
        const auto Numbered = [](int From, int To) {
            QStringList Result;
            for (int I = From; I < To; ++I)
                Result << QString("line %1").arg(I);
            return Result;
        };
        TMsgMemo Memo;
        for (const QString& Line : Numbered(0, 6000))
            Memo.AddMsg(Line);
        QCOMPARE(Memo.PendingCount(), TMsgMemo::MaxLines); // the queue is bounded too
        QTRY_COMPARE(Memo.PendingCount(), 0);
        QCOMPARE(Lines(&Memo), Numbered(1000, 6000));
        // Trace lines queue beside plain ones and are spelt out in their turn.
        Memo.AddMsg("line 6000");
        Memo.AddMsg(TTraceLine("line ", 6001));
        Memo.Flush();
        QCOMPARE(Lines(&Memo), Numbered(1002, 6002));
    }

    // Last: ending the event loop leaves this thread's later loops returning at once.
    void ExitEndsTheEventLoopWithoutAsking()
    {
        TConsole C;
        TapePane(C.Tape("T64K"))->insertPlainText("unsaved");
        C.Gui.RestoreGui(nullptr);
        QVERIFY(C.Main().isVisible() && C.Monitor().isVisible());
        QEventLoop Loop;
        QTimer::singleShot(0, &C.Main(), [&] { C.OnMain<QAction>("mnuExit")->trigger(); });
        QTimer::singleShot(5000, &Loop, [&] { Loop.exit(7); });
        QCOMPARE(Loop.exec(), 0);
        QVERIFY(Boxes.empty());
        QVERIFY(!C.Main().isVisible());
    }
};

QTEST_MAIN(TestDevConsole)
#include "test_dev_console.moc"

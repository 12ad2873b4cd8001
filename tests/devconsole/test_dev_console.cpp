#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <vector>

#include "components/CRTDisplay.h"
#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "devconsole/dev_gui.h"
#include "devconsole/edsac_form_dev.h"
#include "devconsole/main_form_dev.h"
#include "devconsole/msg_form.h"
#include "forms/Dialogs.h"
#include "forms/editor_form.h"

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
    TEditorForm* Tape(const QString& Text)
    {
        TEditorForm* Tape = Gui.NewTape();
        Tape->Editor()->setPlainText(Text);
        return Tape;
    }
    // "EDSAC Init", then "Load Init Ords" with the combo box's choice.
    void Load()
    {
        Main().Button3->click();
        Main().Button5->click();
    }
    std::vector<TWord> Store() const { return Core->GetStoreContents(); }
};

QStringList Lines(QPlainTextEdit* Memo)
{
    QStringList Result;
    if (Memo->document()->isEmpty())
        return Result;
    for (QTextBlock B = Memo->document()->begin(); B.isValid(); B = B.next())
        Result << B.text();
    return Result;
}

QStringList Lines(TMsgForm* Window)
{
    return Lines(Window->msgs);
}

// What the I/O window shows for each character the tape reader takes.
QStringList ExpectedReads(const QString& Tape)
{
    QStringList Result;
    for (QChar Ch : Tape.toUpper()) {
        if (Ch == QLatin1Char(' '))
            continue;
        int Code = -1;
        for (int Pos = 0; Pos < 64; ++Pos)
            if (QLatin1Char(OrderLetters[Pos]) == Ch)
                Code = Pos % 32;
        Result << QStringLiteral("IO: Read char %1 (%2)").arg(Ch).arg(Code);
    }
    return Result;
}

} // namespace

class TestDevConsole : public QObject {
    Q_OBJECT

    std::vector<Dialogs::TMessageRequest> Boxes;

private slots:
    void init()
    {
        Boxes.clear();
        Dialogs::SetMessageResponder([this](const Dialogs::TMessageRequest& R) {
            Boxes.push_back(R);
            return QMessageBox::Ok;
        });
    }
    void cleanup()
    {
        Dialogs::SetMessageResponder({});
        Dialogs::SetFileResponder({});
    }

    void WindowsStartAsDesigned()
    {
        TConsole C;
        TMainFormDev& M = C.Main();
        QCOMPARE(M.windowTitle(), QString("Valvane: Development Interface"));
        QCOMPARE(M.minimumSize(), QSize(762, 192));
        QCOMPARE(M.maximumSize(), QSize(762, 192));
        QCOMPARE(M.cmbInitOrds->currentText(), QString("Initial Orders 2"));
        QCOMPARE(M.Button2->text(), QString("Run"));
        QVERIFY(M.cbCoreMsg->isChecked());
        QVERIFY(!M.CoreExecTimer->isActive());
        for (TMsgForm* W : {M.ALUMsgs, M.StoreMsgs, M.ControlMsgs, M.IOMsgs})
            QVERIFY(!W->isVisible());
        QCOMPARE(M.IOMsgs->windowTitle(), QString("I/O Messages"));

        // Slider and timer agree from the start, and at both ends.
        QCOMPARE(M.tbClockSpeed->value(), 1000);
        QCOMPARE(M.CoreExecTimer->interval(), 2000);
        M.tbClockSpeed->setValue(3000);
        QCOMPARE(M.CoreExecTimer->interval(), 0);
        M.tbClockSpeed->setValue(0);
        QCOMPARE(M.CoreExecTimer->interval(), 3000);

        // The dial keys: "1" is SpeedButton10, "9" SpeedButton2, "0" SpeedButton11.
        QCOMPARE(M.SpeedButton10->text(), QString("1"));
        QCOMPARE(M.SpeedButton2->text(), QString("9"));
        QCOMPARE(M.SpeedButton11->text(), QString("0"));

        TEdsacFormDev& E = C.Monitor();
        QCOMPARE(E.windowTitle(), QString("Edsac Monitor"));
        QCOMPARE(E.minimumSize(), QSize(538, 305));
        QCOMPARE(E.maximumSize(), QSize(538, 305));
        QCOMPARE(E.SpinEdit1->value(), 1);
        QCOMPARE(E.SpinEdit1->maximum(), 31);
        QVERIFY(!E.close()); // the monitor refuses to close
        for (std::size_t Row = 1; Row < 16; ++Row)
            QCOMPARE(E.crtStores[Row]->y(), E.crtStores[Row - 1]->y() - 8);
        for (TCRTDisplay* Tube : {E.crtSCR, E.crtORD, E.crtMULTR, E.crtMULTD, E.crtACC, E.crtStores[0]})
            QCOMPARE(Tube->Spacing(), 2);

        // The core's creation lines arrive in the top-level memo.
        C.Gui.FlushMessages();
        QCOMPARE(Lines(M.TopLevelMsgs).value(0), QString("Creating simulator core"));

        C.Gui.RestoreGui(nullptr);
        QVERIFY(M.isVisible() && E.isVisible());
    }

    void MissingTapeIsReported()
    {
        TConsole C;
        C.Load();
        const int Scr = C.Core->Control().GetSCR();

        C.Main().Button2->click();
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(Boxes[0].Caption, QString("No tape"));
        QCOMPARE(Boxes[0].Text, QString("No tape selected"));
        QCOMPARE(Boxes[0].Style, QMessageBox::Warning);
        QCOMPARE(C.Main().Button2->text(), QString("Run"));
        QVERIFY(!C.Main().IsRunning());

        C.Main().Button1->click();
        QCOMPARE(Boxes.size(), size_t(2));
        QCOMPARE(Boxes[1].Text, QString("No tape selected"));
        QCOMPARE(C.Core->Control().GetSCR(), Scr); // nothing was executed

        // Stepping straight on reaches the first input order with no tape to read.
        std::vector<TWord> Before;
        std::uint8_t Result = 0;
        for (int Steps = 0; Result == 0 && Steps < 1000; ++Steps) {
            Before = C.Store();
            Result = C.Gui.ExecuteStep();
        }
        QCOMPARE(Result, std::uint8_t(2));
        QCOMPARE(Boxes.size(), size_t(3));
        QCOMPARE(Boxes[2].Text, QString("No tape selected"));
        QVERIFY(C.Store() == Before);
        QCOMPARE(C.Main().Button2->text(), QString("Run!"));
    }

    void TapeRunsWithItsTraceInOrder()
    {
        TConsole C;
        TMainFormDev& M = C.Main();
        M.cbIOWin->setChecked(true);
        M.cbControlWin->setChecked(true);
        // Lower case reads as capitals in this console.
        const QString Tape = HiTape.toLower();
        C.Tape(Tape);
        C.Load();

        int Steps = 0;
        std::uint8_t Result = 0;
        while (Result == 0 && Steps < 100000) {
            Result = C.Gui.ExecuteStep();
            ++Steps;
        }
        QCOMPARE(Result, std::uint8_t(1));
        QVERIFY(Boxes.empty());
        QCOMPARE(C.Monitor().TeletypeMemo->toPlainText(), QString("HI"));

        C.Gui.FlushMessages();
        QCOMPARE(Lines(M.IOMsgs), ExpectedReads(Tape));
        const QStringList Control = Lines(M.ControlMsgs);
        const QStringList Fetches = Control.filter(QRegularExpression("^Fetching order @ loc \\d+$"));
        QCOMPARE(Fetches.size(), Steps);
        QCOMPARE(Fetches.first(), QString("Fetching order @ loc 0"));
        QCOMPARE(Control.last(), QString("Executing Z order"));
        QCOMPARE(C.Monitor().lblORD->text().at(0), QChar('Z'));
    }

    void RunTimerRunsToTheStopOrder()
    {
        TConsole C;
        TMainFormDev& M = C.Main();
        M.cbIOWin->setChecked(true);
        M.tbClockSpeed->setValue(3000);
        C.Tape(HiTape);
        C.Load();

        M.Button2->click();
        QCOMPARE(M.Button2->text(), QString("Stop"));
        QVERIFY(M.IsRunning());
        QVERIFY(!M.btnNew->isEnabled() && !M.btnOpen->isEnabled());

        QTRY_VERIFY_WITH_TIMEOUT(!M.IsRunning(), 20000);
        QCOMPARE(C.Monitor().TeletypeMemo->toPlainText(), QString("HI"));
        QCOMPARE(M.Button2->text(), QString("Run"));
        QVERIFY(M.btnNew->isEnabled() && M.btnOpen->isEnabled());
        // The batch timer delivers the trace without being asked.
        QTRY_COMPARE(Lines(M.IOMsgs), ExpectedReads(HiTape));

        // A dial key during a run is refused and leaves the accumulator alone.
        M.Button2->click();
        QVERIFY(M.IsRunning());
        const auto Acc = C.Core->Arithmetic().Acc();
        M.SpeedButton2->click();
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(Boxes[0].Caption, QString());
        QCOMPARE(Boxes[0].Text, QString("Cannot input whilst EDSAC is running"));
        QVERIFY(C.Core->Arithmetic().Acc() == Acc);
        M.Button2->click();
        QVERIFY(!M.IsRunning());
        QCOMPARE(M.Button2->text(), QString("Run"));
        // Stopped, the digit reaches the accumulator and the machine runs on.
        M.SpeedButton2->click();
        QCOMPARE(C.Core->Arithmetic().Acc()[0], (Acc[0] + 18) & 0x1FFFF);
        QVERIFY(M.IsRunning());
        M.Button2->click();
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
    }
    void ReadFailureStopsWithoutStoring()
    {
        QFETCH(QString, Tape);
        QFETCH(QString, Caption);
        QFETCH(QString, Text);
        {
            TConsole C;
            C.Tape(Tape);
            C.Load();
            std::vector<TWord> Before;
            std::uint8_t Result = 0;
            for (int Steps = 0; Result == 0 && Steps < 100000; ++Steps) {
                Before = C.Store();
                Result = C.Gui.ExecuteStep();
            }
            QCOMPARE(Result, std::uint8_t(2));
            // The abandoned input order stored nothing (not a 32-bit -1 either).
            QVERIFY(C.Store() == Before);
            QCOMPARE(Boxes.size(), size_t(1));
            QCOMPARE(Boxes[0].Caption, Caption);
            QCOMPARE(Boxes[0].Text, Text);
            QCOMPARE(C.Main().Button2->text(), QString("Run!"));
        }
        Boxes.clear();
        {
            // The same through the run timer.
            TConsole C;
            C.Main().tbClockSpeed->setValue(3000);
            C.Tape(Tape);
            C.Load();
            C.Main().Button2->click();
            QTRY_VERIFY_WITH_TIMEOUT(!C.Main().IsRunning(), 20000);
            QCOMPARE(C.Main().Button2->text(), QString("Run!"));
            QCOMPARE(Boxes.size(), size_t(1));
            QCOMPARE(Boxes[0].Text, Text);
        }
    }

    void AluBoxShowsAndGatesItsWindow()
    {
        TConsole C;
        TMainFormDev& M = C.Main();
        C.Gui.ClearMachine();
        C.Gui.FlushMessages();
        QVERIFY(Lines(M.ALUMsgs).isEmpty());

        M.cbALUWin->setChecked(true);
        QVERIFY(M.ALUMsgs->isVisible());
        C.Gui.ClearMachine();
        C.Gui.FlushMessages();
        const QStringList Collected = Lines(M.ALUMsgs);
        QVERIFY(Collected.contains("ALU Initialised"));
        QVERIFY(!Collected.contains("ALU is active")); // sent before the box was ticked

        M.cbALUWin->setChecked(false);
        QVERIFY(!M.ALUMsgs->isVisible());
        C.Gui.ClearMachine();
        C.Gui.FlushMessages();
        QCOMPARE(Lines(M.ALUMsgs), Collected);

        // Closing the window by hand unticks its box.
        M.cbALUWin->setChecked(true);
        M.ALUMsgs->close();
        QVERIFY(!M.cbALUWin->isChecked());

        // The core line is gated by "Core" as well.
        M.cbCoreMsg->setChecked(false);
        const int Top = M.TopLevelMsgs->document()->blockCount();
        C.Gui.ClearMachine();
        C.Gui.FlushMessages();
        QCOMPARE(M.TopLevelMsgs->document()->blockCount(), Top);
    }

    void LongTankMapsAddressesToRows()
    {
        TConsole C;
        TEdsacFormDev& E = C.Monitor();
        QCOMPARE(E.SpinEdit1->value(), 1);
        C.Gui.UpdateStoreWord(33, 0x155);
        QCOMPARE(E.crtStores[0]->Words()[0], 0x155);
        QCOMPARE(E.crtStores[0]->Words()[1], 0);
        C.Gui.UpdateStoreWord(32, 0x2AA);
        QCOMPARE(E.crtStores[0]->Words()[1], 0x2AA);
        C.Gui.UpdateStoreWord(63, 7);
        QCOMPARE(E.crtStores[15]->Words()[0], 7);

        std::vector<std::uint64_t> Drawn;
        for (TCRTDisplay* Row : E.crtStores)
            Drawn.push_back(Row->CellsDrawn());
        C.Gui.UpdateStoreWord(64, 0x3FFFF);
        C.Gui.UpdateStoreWord(31, 0x3FFFF);
        for (std::size_t Row = 0; Row < 16; ++Row)
            QCOMPARE(E.crtStores[Row]->CellsDrawn(), Drawn[Row]);

        // Choosing another tank shows it from the store: odd location first.
        C.Load();
        E.SpinEdit1->setValue(0);
        const std::vector<TWord> Store = C.Store();
        for (std::size_t Row = 0; Row < 16; ++Row) {
            QCOMPARE(E.crtStores[Row]->Words()[0], Store[2 * Row + 1]);
            QCOMPARE(E.crtStores[Row]->Words()[1], Store[2 * Row]);
        }
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
        First->Editor()->insertPlainText("modified");
        QVERIFY(First->IsModified());
        QCOMPARE(First->windowTitle(), QString("DeveloperProg"));

        QString Chosen = Path;
        Dialogs::SetFileResponder([&](const Dialogs::TFileRequest& R) {
            return R.Mode == Dialogs::TFileMode::Open ? Chosen : QString();
        });
        C.Main().mnuOpen->trigger();
        QVERIFY(First.isNull());
        QVERIFY(Boxes.empty());
        QPointer<TEditorForm> Second = C.Gui.CurrentTape();
        QVERIFY(Second);
        QCOMPARE(Second->windowTitle(), QString("hello"));
        QCOMPARE(Second->Text(), HiTape + "\n");

        // A file that cannot be read keeps the tape there is.
        Chosen = Dir.filePath("missing.txt");
        C.Main().Button4->click();
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(C.Gui.CurrentTape(), Second.data());

        C.Main().Button6->click();
        QVERIFY(Second.isNull());
        QCOMPARE(C.Gui.CurrentTape()->windowTitle(), QString("DeveloperProg"));
        QCOMPARE(Boxes.size(), size_t(1));
    }

    void MemoKeepsTheNewestLinesInOrder()
    {
        TMsgMemo Memo;
        for (int I = 0; I < 6000; ++I)
            Memo.AddMsg(QString("line %1").arg(I));
        QCOMPARE(Memo.PendingCount(), TMsgMemo::MaxLines);
        QTRY_COMPARE(Memo.PendingCount(), 0);
        const QStringList Got = Lines(&Memo);
        QCOMPARE(Got.size(), TMsgMemo::MaxLines);
        QCOMPARE(Got.first(), QString("line 1000"));
        QCOMPARE(Got.last(), QString("line 5999"));
        Memo.AddMsg("line 6000");
        Memo.Flush();
        QCOMPARE(Memo.document()->blockCount(), TMsgMemo::MaxLines);
        QCOMPARE(Lines(&Memo).last(), QString("line 6000"));
        QCOMPARE(Memo.textCursor().position(), Memo.document()->characterCount() - 1);
    }

    // Last: ending the event loop leaves this thread's later loops returning at once.
    void ExitEndsTheEventLoopWithoutAsking()
    {
        TConsole C;
        C.Tape("T64K")->Editor()->insertPlainText("unsaved");
        C.Gui.RestoreGui(nullptr);
        QEventLoop Loop;
        QTimer::singleShot(0, &C.Main(), [&] { C.Main().mnuExit->trigger(); });
        QTimer::singleShot(5000, &Loop, [&] { Loop.exit(7); });
        QCOMPARE(Loop.exec(), 0);
        QVERIFY(Boxes.empty());
        QVERIFY(!C.Main().isVisible());
    }
};

QTEST_MAIN(TestDevConsole)
#include "test_dev_console.moc"

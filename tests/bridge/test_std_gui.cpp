// The standard bridge behind the real windows (offscreen): run control, displays,
// tape windows and tape input, output, hints and menu states. Message boxes and
// file dialogs are answered through the dialog seam.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "bridge/std_gui.h"
#include "components/CRTDisplay.h"
#include "core/ALUnit.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "kit/RunTimer.h"
#include "kit/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "tests/bridge/std_world.h"
#include "tests/named.h"

namespace {

const QString HiTape = QStringLiteral("T64K GK O4@ O5@ O6@ ZF *F HF IF EZPF");
const QString OkTape = QStringLiteral("T64K GK O4@ O5@ O6@ ZF *F OF KF EZPF");
// About three seconds of machine time and not a character printed (Initial Orders 2).
const QString QuietTape = QStringLiteral("T64K GK T5@ A6@ S7@ E2@ ZF PF P500F PD EZPF");

} // namespace

class TestStdGui : public QObject {
    Q_OBJECT
private slots:
    void startNeedsATape()
    {
        TWorld W;
        W.OnPanel("btnStart")->click();
        QCOMPARE(W.Messages, QStringList{"No tape|Please select a program tape"});
        QVERIFY(!W.Timer()->isActive());
    }

    void runLoopResultsAndTimer()
    {
        TWorld W;
        W.Tape(HiTape);
        W.OnPanel("btnStart")->click();
        QVERIFY(W.Timer()->isActive());
        QCOMPARE(W.Core->Control().GetSCR(), 0);
        QCOMPARE(W.Bridge->ExecuteStep(), TStepResult::srRunning);
        W.Timer()->start();
        W.RunToStop();
        QCOMPARE(W.Printed(), QStringLiteral("HI"));
        QVERIFY(W.Core->IsStopped());
        QVERIFY(!W.Timer()->isActive());

        // The stop order gives 1; Reset runs on into the words after it: P 0 is unknown, 2.
        W.OnPanel("btnReset")->click();
        QVERIFY(W.Timer()->isActive());
        QVERIFY(!W.Core->IsStopped());
        W.Panel()->CoreExecTimerTimer(); // "*F" as an order: unknown, and the box says so
        QVERIFY(!W.Timer()->isActive());
        QCOMPARE(W.Messages, QStringList{"Error|Unknown order 15"});
        W.Messages.clear();

        // The end of the tape: 2, with its message.
        W.Tape(QStringLiteral("T64K"));
        W.RunToStop();
        QCOMPARE(W.Messages, QStringList{"Error|End of tape encountered"});

        // An illegal character: 2, the message names the line.
        W.Messages.clear();
        W.Settings.IgnoreCase = false;
        W.Tape(QStringLiteral("T64K\ng"));
        W.RunToStop();
        QCOMPARE(W.Messages,
                 QStringList{"Illegal character|Illegal character on line number 2\n\n[\"g\" ASCII value 103]"});
    }

    void singleStepDuringARunLeavesItHalted()
    {
        TWorld W;
        W.Tape(HiTape);
        W.OnPanel("btnStart")->click();
        W.OnPanel("btnSingleEP")->click();
        QVERIFY(!W.Timer()->isActive());
        QCOMPARE(W.Core->Control().GetSCR(), 1);
        W.OnPanel("btnReset")->click();
        QVERIFY(W.Timer()->isActive());
    }

    void realTimeInterval()
    {
        TWorld W;
        W.Tape(HiTape);
        W.OnMain<QCheckBox>("cbRealTime")->setChecked(true);
        W.OnPanel("btnStart")->click();
        W.Panel()->CoreExecTimerTimer(); // T 0 F: 1.5 ms, truncated
        QCOMPARE(W.Timer()->interval(), 1);
        W.OnMain<QCheckBox>("cbRealTime")->setChecked(false);
        W.Panel()->CoreExecTimerTimer();
        QCOMPARE(W.Timer()->interval(), 0);
    }

    void dialRefusedWhileRunningAndRestartsAStop()
    {
        TWorld W;
        W.Tape(QStringLiteral("T64K GK ZF ZF EZPF"));
        W.OnPanel("btnStart")->click();
        W.Panel()->DialClicked(3);
        QCOMPARE(W.Messages, QStringList{"|Cannot input whilst EDSAC is running"});
        W.RunToStop();
        const TWord Before = W.Core->Arithmetic().Acc()[0];
        W.Panel()->DialClicked(10);
        QCOMPARE(W.Core->Arithmetic().Acc()[0], (Before + 20) & 0x1FFFF);
        QVERIFY(W.Timer()->isActive());
        QVERIFY(!W.Core->IsStopped());
    }

    void shortTanksFreezeAndRefreshTheRegisters()
    {
        TWorld W;
        W.Tape(HiTape);
        W.OnPanel<QCheckBox>("cbShortTanks")->setChecked(false);
        W.OnPanel("btnStart")->click(); // the clear still shows the zeroed registers
        for (int I = 0; I < 20; ++I)
            W.Panel()->CoreExecTimerTimer();
        QCOMPARE(W.OnPanel<TCRTDisplay>("crtSCR")->Words()[0], 0);
        W.OnPanel<QCheckBox>("cbShortTanks")->click();
        QCOMPARE(W.OnPanel<TCRTDisplay>("crtSCR")->Words()[0], W.Core->Control().GetSCR());
        QCOMPARE(W.OnPanel<TCRTDisplay>("crtORD")->Words()[0], W.Core->Control().GetOrderTank());
    }

    void storeTubesFollowTheLongTank()
    {
        TWorld W;
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(1);
        W.Bridge->UpdateStoreWord(37, 0x1234);
        QCOMPARE(W.OnPanel<TCRTDisplay>("crtStore2")->Words()[0], 0x1234);
        W.Bridge->UpdateStoreWord(36, 0x4321);
        QCOMPARE(W.OnPanel<TCRTDisplay>("crtStore2")->Words()[1], 0x4321);
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(0);
        W.Bridge->UpdateStoreWord(37, 7);
        for (TCRTDisplay* Row : W.Panel()->findChildren<TCRTDisplay*>(QRegularExpression(QStringLiteral("^crtStore"))))
            QCOMPARE(Row->Words()[0] + Row->Words()[1], 0);
        // Choosing tank 31 redraws the rows from the store.
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(31);
        QCOMPARE(W.OnPanel<TCRTDisplay>("crtStore0")->Words().size(), size_t(2));
    }

    void tapeWindowsNamesAndCascade()
    {
        TWorld W;
        // The cascade starts 50 pixels below the main window's frame, title bar and all.
        W.Main()->show();
        QVERIFY(QTest::qWaitForWindowExposed(W.Main()));
        const int BelowMain = W.Main()->frameGeometry().bottom() + 1 + 50;
        QVERIFY(W.Main()->frameGeometry().height() > W.Main()->height());
        TEditorForm* A = W.Bridge->NewTape();
        TEditorForm* B = W.Bridge->NewTape();
        QCOMPARE(A->windowTitle(), QStringLiteral("Untitled 1"));
        QCOMPARE(A->objectName(), QStringLiteral("ed1"));
        QCOMPARE(B->objectName(), QStringLiteral("ed2"));
        QCOMPARE(B->x() - A->x(), 10);
        QCOMPARE(B->y() - A->y(), 20);
        QCOMPARE(A->pos(), QPoint(10, BelowMain));

        QFile F(W.Dir.filePath(QStringLiteral("prog.txt")));
        QVERIFY(F.open(QIODevice::WriteOnly));
        F.write("T64K");
        F.close();
        TEditorForm* C = W.Bridge->OpenTape(F.fileName());
        QCOMPARE(C->objectName(), QStringLiteral("ed3"));
        QCOMPARE(C->windowTitle(), QStringLiteral("prog"));
        QCOMPARE(W.Settings.RecentFiles[0], F.fileName());
        QCOMPARE(W.Bridge->NewTape()->windowTitle(), QStringLiteral("Untitled 3"));

        QVERIFY(!W.Bridge->OpenTape(W.Dir.filePath(QStringLiteral("gone.txt"))));
        QCOMPARE(W.Messages.last(), "Error|Cannot find the file: " + W.Dir.filePath(QStringLiteral("gone.txt")));

        // Windows that would run off the bottom of the screen start the cascade again.
        const int Bottom = QGuiApplication::primaryScreen()->geometry().height() - 100;
        TEditorForm* Last = nullptr;
        for (int I = 0; I < 100 && (!Last || Last->y() + 250 <= Bottom); ++I)
            Last = W.Bridge->NewTape();
        TEditorForm* Again = W.Bridge->NewTape();
        QCOMPARE(Again->pos(), QPoint(10, BelowMain));
    }

    // The Window menu and a restore of the whole program bring windows back from
    // the task bar in their normal state.
    void windowsComeBackFromTheTaskBar()
    {
        TWorld W;
        W.Bridge->RestoreGui(nullptr);
        W.Tape(HiTape);
        TEditorForm* Ok = W.Tape(OkTape);
        const QList<QAction*> Entries = W.Main()->WindowMenuEntries();
        W.Panel()->showMinimized();
        Ok->showMinimized();
        W.Main()->WindowMenuClick(Entries[0]);
        W.Main()->WindowMenuClick(Entries[2]);
        for (QWidget* Window : {static_cast<QWidget*>(W.Panel()), static_cast<QWidget*>(Ok)})
            QVERIFY(Window->isVisible() && !Window->isMinimized());

        W.Panel()->showMinimized();
        W.Bridge->MinimiseGui(nullptr);
        QVERIFY(!W.Panel()->isVisible() && !Ok->isVisible());
        W.Bridge->RestoreGui(nullptr);
        QVERIFY(W.Panel()->isVisible() && !W.Panel()->isMinimized());
    }

    // Activation makes a tape current, and it stays current through a minimise and
    // restore of the whole program: Start runs the tape named on the panel.
    void theCurrentTapeIsTheOneActivated()
    {
        TWorld W;
        W.Bridge->RestoreGui(nullptr);
        TEditorForm* Hi = W.Tape(HiTape);
        TEditorForm* Ok = W.Tape(OkTape);
        Hi->activateWindow();
        QTRY_COMPARE(W.Bridge->CurrentTape(), Hi);
        Ok->activateWindow();
        QTRY_COMPARE(W.Bridge->CurrentTape(), Ok);
        Hi->activateWindow();
        QTRY_COMPARE(W.Bridge->CurrentTape(), Hi);

        W.Bridge->MinimiseGui(nullptr);
        W.Bridge->RestoreGui(nullptr);
        QCoreApplication::processEvents();
        QVERIFY(Hi->isVisible() && Ok->isVisible());
        QCOMPARE(W.Bridge->CurrentTape(), Hi);
        QCOMPARE(W.OnPanel<QLabel>("memoLabel")->text(), QStringLiteral("Output From: Untitled 1"));
        W.RunToStop();
        QCOMPARE(W.Printed(), QStringLiteral("HI"));
    }

    // A saved place off every screen, or with only a sliver of the title bar on
    // one, is not used, nor kept for the next start.
    void panelPlaceOffTheScreen_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<bool>("kept");
        const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("far below") << QPoint(100, 5000) << false;
        QTest::newRow("far above") << QPoint(100, -5000) << false;
        QTest::newRow("far right") << QPoint(5000, 100) << false;
        QTest::newRow("one pixel left") << QPoint(-1, 40) << true;
        QTest::newRow("a sliver at the right") << QPoint(Screen.right() + 1 - 10, 40) << false;
        QTest::newRow("a grip at the right") << QPoint(Screen.right() + 1 - 100, 40) << true;
        QTest::newRow("half the bar at the bottom") << QPoint(40, Screen.bottom() + 1 - 12) << false;
        QTest::newRow("half the bar above") << QPoint(40, Screen.top() - 12) << false;
    }
    void panelPlaceOffTheScreen()
    {
        QFETCH(QPoint, saved);
        QFETCH(bool, kept);
        TWorld W([&](TEdSimSettings& S) {
            S.EdsacFormLeft = saved.x();
            S.EdsacFormTop = saved.y();
        });
        const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
        if (kept) {
            QCOMPARE(W.Panel()->pos(), saved);
        } else {
            QVERIFY(Screen.contains(QRect(W.Panel()->pos(), W.Panel()->size())));
            QVERIFY(qAbs(W.Panel()->x() + W.Panel()->width() / 2 - Screen.center().x()) <= 1);
        }
        QCOMPARE(QPoint(W.Settings.EdsacFormLeft, W.Settings.EdsacFormTop), W.Panel()->pos());
    }

    // Tape windows and store tubes are known by where they came from, not by their
    // names: a renamed window is still asked about, a renamed tube still names its row.
    void identityIsNotTheName()
    {
        TWorld W;
        TEditorForm* Tape = W.Tape(QStringLiteral("P F"));
        Tape->setObjectName(QStringLiteral("renamed"));
        for (QAction* Entry : W.Main()->WindowMenuEntries())
            Entry->setObjectName(QStringLiteral("renamed"));
        W.Answers = {QMessageBox::Cancel};
        QVERIFY(!W.Bridge->CanCloseAll());
        QCOMPARE(W.Messages, QStringList{"Confirm|Save changes to Untitled 1?"});

        W.Bridge->SetHints(true);
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(1);
        TCRTDisplay* Row3 = W.OnPanel<TCRTDisplay>("crtStore3");
        Row3->setObjectName(QStringLiteral("crtStore12"));
        Row3->OnHint()(Row3, Row3->Words(), 0);
        QVERIFY(W.Main()->HintText().startsWith(QStringLiteral("WORD 39 ")));

        // A tape window deleted outright leaves no current tape behind it.
        delete Tape;
        QVERIFY(!W.Bridge->CurrentTape());
        W.Messages.clear();
        W.OnPanel("btnStart")->click();
        QCOMPARE(W.Messages, QStringList{"No tape|Please select a program tape"});
    }

    void editingDuringARunRewindsTheTape()
    {
        TWorld W;
        TEditorForm* T = W.Tape(QStringLiteral("T64K GK O4@ O5@ O6@ ZF *F HF IF EZPF"));
        W.OnPanel("btnStart")->click();
        for (int I = 0; I < 200; ++I)
            W.Panel()->CoreExecTimerTimer();
        QVERIFY(T->TapeLine() >= 0);
        TapePane(T)->setPlainText(QStringLiteral("Q"));
        QCOMPARE(T->NextTapeChar(), U'Q');
        // Without a current tape the reader has nothing left: the end of the tape.
        T->SetModified(false);
        T->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY_THROWS_EXCEPTION(std::exception, W.Bridge->ReadTapeChar());
    }

    void outputAndPunch()
    {
        TWorld W;
        W.Bridge->TeleprinterPrint('A');
        W.Bridge->TeleprinterNewLine("");
        W.Bridge->TeleprinterPrint('\xA3');
        // The pane catches up within a frame, lines and all.
        QTRY_COMPARE(W.OnPanel<QPlainTextEdit>("TeletypeMemo")->toPlainText(), QStringLiteral("A\n\u00a3"));
        QCOMPARE(W.Bridge->TeleprinterLines(), (QStringList{"A", QStringLiteral("\u00a3")}));
        W.Bridge->DiscardOutput();
        QCOMPARE(W.Bridge->TeleprinterLines(), QStringList());
        for (char C = 'A'; C <= 'J'; ++C)
            W.Bridge->PunchChar(C);
        QCOMPARE(W.Bridge->Punched(), (QStringList{"ABCD", "EFGH", "IJ"}));
        const QString Punch = W.Dir.filePath(QStringLiteral("EdPunch.txt"));
        QVERIFY(W.Bridge->PunchOutput(Punch));
        QFile P(Punch);
        QVERIFY(P.open(QIODevice::ReadOnly));
        QCOMPARE(P.readAll(), QByteArray("ABCD\nEFGH\nIJ\n"));
        W.Bridge->DiscardOutput();
        QVERIFY(W.Bridge->PunchOutput(Punch));
        QFile Empty(Punch);
        QVERIFY(Empty.open(QIODevice::ReadOnly));
        QCOMPARE(Empty.readAll(), QByteArray("\n"));
        // A file that cannot be written says so and reports failure.
        QVERIFY(!W.Bridge->SaveOutput(W.Dir.path()));
        QVERIFY(W.Messages.last().startsWith(QStringLiteral("Error|Cannot save the file: ")));
    }

    // Saving a tape onto a file that exists asks once, in the program's own words.
    void saveAsOntoAnExistingFileAsksOnce()
    {
        TWorld W;
        const QString Path = W.Dir.filePath(QStringLiteral("old.txt"));
        QFile F(Path);
        QVERIFY(F.open(QIODevice::WriteOnly));
        F.write("P F\n");
        F.close();
        TEditorForm* T = W.Tape(QStringLiteral("T64K"));
        W.Files = {Path, Path};
        W.Answers = {QMessageBox::No, QMessageBox::Yes};
        W.Bridge->SaveTapeAs();
        QVERIFY(T->IsModified());
        W.Bridge->SaveTapeAs();
        QVERIFY(!T->IsModified());
        const QString Question = "Confirm|" + Path + "\nAlready exists. Would you like to replace it?";
        QCOMPARE(W.Messages, (QStringList{Question, Question}));
        QCOMPARE(W.FileRequests.size(), 2);
        for (const Dialogs::TFileRequest& Request : W.FileRequests)
            QVERIFY(Request.Options.testFlag(QFileDialog::DontConfirmOverwrite));
    }

    void printingWithoutAPrinterSaysSo()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer; nothing is printed from a test");
        TWorld W;
        W.Bridge->PrintTape(); // no tape: nothing at all
        QCOMPARE(W.Messages, QStringList());
        W.Tape(QStringLiteral("P F"));
        W.Bridge->PrintTape();
        QCOMPARE(W.Messages, QStringList{"Print|No printer is available"});
    }

    // Hints name the word under the mouse from the long tank on view and the marks
    // of the chosen Initial Orders, and only while they are on.
    void hintsOnThePanel()
    {
        TWorld W;
        W.Bridge->SetHints(true);
        QCOMPARE(W.OnPanel<TCRTDisplay>("crtACC")->cursor().shape(), Qt::UpArrowCursor);
        W.Main()->SetInitialOrders(ioOrders2);
        W.OnPanel<QSpinBox>("LTSpinEdit")->setValue(1);
        TCRTDisplay* Row3 = W.OnPanel<TCRTDisplay>("crtStore3");
        Row3->SetWord(1, MakeOrder(28, 5, false));
        Row3->OnHint()(Row3, Row3->Words(), 1);
        QCOMPARE(W.Main()->HintText(),
                 QStringLiteral("WORD 38   Order = A 5 F   Integer 38F = -16374   Fraction -0.249847"));

        W.Main()->SetInitialOrders(ioOrders1);
        TCRTDisplay* Ord = W.OnPanel<TCRTDisplay>("crtORD");
        Ord->SetWords(std::array<TWord, 1>{MakeOrder(28, 5, false)}, false);
        Ord->OnHint()(Ord, Ord->Words(), 0);
        QCOMPARE(W.Main()->HintText(), QStringLiteral("ORDER TANK = A 5 S"));

        W.Bridge->SetHints(false);
        W.Main()->SetHintText(QStringLiteral("kept"));
        Ord->OnHint()(Ord, Ord->Words(), 0);
        QCOMPARE(W.Main()->HintText(), QStringLiteral("kept"));
        W.Bridge->ClearHint();
        QCOMPARE(W.Main()->HintText(), QString());
    }

    // A run that prints nothing still leaves the clock showing its time.
    void zeroizeClockFollowsTheClock()
    {
        TWorld W;
        W.Main()->SetInitialOrders(ioOrders2);
        W.Tape(QuietTape);
        QVERIFY(!W.OnMain("miZeroizeClock")->isEnabled());
        QCOMPARE(W.RunToStop(), 0);
        QVERIFY(W.Core->IsStopped());
        QCOMPARE(W.Printed(), QString());
        QVERIFY(W.OnMain("miZeroizeClock")->isEnabled() && W.OnMain<QToolButton>("tbZeroizeClock")->isEnabled());
        W.OnMain<QToolButton>("tbZeroizeClock")->click();
        QVERIFY(!W.OnMain("miZeroizeClock")->isEnabled() && !W.OnMain<QToolButton>("tbZeroizeClock")->isEnabled());
    }

    void menuStates()
    {
        TWorld W;
        QVERIFY(!W.OnMain("miClose")->isEnabled());
        QVERIFY(!W.OnMain("miSave")->isEnabled());
        QVERIFY(!W.OnMain("miDiscardEdsacOutput")->isEnabled());
        TEditorForm* T = W.Bridge->NewTape();
        QVERIFY(W.OnMain("miClose")->isEnabled() && W.OnMain("miPrint")->isEnabled() &&
                W.OnMain("miInsert")->isEnabled());
        QVERIFY(!W.OnMain("miSelectAll")->isEnabled()); // an empty tape
        QVERIFY(!W.OnMain("miFind")->isEnabled() && !W.OnMain("miReplace")->isEnabled());
        // Text set as a whole leaves the tape unmodified: nothing to save yet.
        TapePane(T)->setPlainText(QStringLiteral("P F"));
        QVERIFY(W.OnMain("miSelectAll")->isEnabled());
        QVERIFY(!W.OnMain("miSave")->isEnabled() && !W.OnMain<QToolButton>("tbSave")->isEnabled());
        TapePane(T)->insertPlainText(QStringLiteral(" "));
        QVERIFY(W.OnMain("miSave")->isEnabled() && W.OnMain<QToolButton>("tbSave")->isEnabled());
        QVERIFY(!W.OnMain("miCut")->isEnabled());
        TapePane(T)->selectAll();
        W.Bridge->UpdateMenus();
        QVERIFY(W.OnMain("miCut")->isEnabled() && W.OnMain<QToolButton>("tbCopy")->isEnabled());
        W.Bridge->TeleprinterNewLine("");
        QVERIFY(W.OnMain("miDiscardEdsacOutput")->isEnabled() && W.OnMain<QToolButton>("tbEdsacClear")->isEnabled());
        QVERIFY(!W.OnMain("miPrintPreview")->isEnabled() && !W.OnMain<QToolButton>("tbUndo")->isEnabled());
        // Paste follows the clipboard.
        QGuiApplication::clipboard()->setText(QStringLiteral("Z F"));
        QTRY_VERIFY(W.OnMain("miPaste")->isEnabled() && W.OnMain<QToolButton>("tbPaste")->isEnabled());
        QGuiApplication::clipboard()->clear();
        QTRY_VERIFY(!W.OnMain("miPaste")->isEnabled());

        // Save follows the tape that is current, not the one that was.
        QFile F(W.Dir.filePath(QStringLiteral("kept.txt")));
        QVERIFY(F.open(QIODevice::WriteOnly));
        F.write("T64K");
        F.close();
        TEditorForm* Opened = W.Bridge->OpenTape(F.fileName());
        QVERIFY(!W.OnMain("miSave")->isEnabled() && !W.OnMain<QToolButton>("tbSave")->isEnabled());
        W.Bridge->SetCurrentTape(T);
        QVERIFY(W.OnMain("miSave")->isEnabled());
        W.Bridge->SetCurrentTape(Opened);
        QVERIFY(!W.OnMain("miSave")->isEnabled() && !W.OnMain<QToolButton>("tbSave")->isEnabled());
    }

    // Every example tape, with the options its runner test uses (-i 1, --dial DIGITS),
    // must save the very output valvane-run prints.
    void exampleTapesPrintWhatTheRunnerPrints_data()
    {
        QTest::addColumn<QString>("tape");
        const QDir Expected(QStringLiteral(VALVANE_TAPES "/../tests/tapes"));
        for (const QString& Out : Expected.entryList({QStringLiteral("*.out")}))
            QTest::newRow(qPrintable(Out)) << QFileInfo(Out).completeBaseName();
    }
    void exampleTapesPrintWhatTheRunnerPrints()
    {
        QFETCH(QString, tape);
        const QDir Expected(QStringLiteral(VALVANE_TAPES "/../tests/tapes"));
        QFile Args(Expected.filePath(tape + QStringLiteral(".args")));
        QStringList Options;
        if (Args.open(QIODevice::ReadOnly))
            Options = QString::fromUtf8(Args.readAll()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString Digits;
        TWorld W;
        W.Main()->SetInitialOrders(ioOrders2);
        for (qsizetype I = 0; I + 1 < Options.size(); ++I) {
            if (Options[I] == QLatin1String("-i"))
                W.Main()->SetInitialOrders(InitialOrdersNumbered(Options[I + 1].trimmed().toInt()).value());
            if (Options[I] == QLatin1String("--dial"))
                Digits = Options[I + 1].trimmed();
        }
        QVERIFY(W.Bridge->OpenTape(QStringLiteral(VALVANE_TAPES "/") + tape + QStringLiteral(".txt")));
        QCOMPARE(W.RunToStop(10000000), 0);
        for (const QChar Digit : Digits) {
            W.Panel()->DialClicked(Digit == QLatin1Char('0') ? 10 : Digit.digitValue());
            QCOMPARE(W.RunToStop(10000000, false), 0);
        }
        QCOMPARE(W.Messages, QStringList());
        const QString Saved = W.Dir.filePath(QStringLiteral("EdOutput.txt"));
        QVERIFY(W.Bridge->SaveOutput(Saved));
        QFile Output(Saved), Wanted(Expected.filePath(tape + QStringLiteral(".out")));
        QVERIFY(Output.open(QIODevice::ReadOnly) && Wanted.open(QIODevice::ReadOnly));
        QCOMPARE(Output.readAll(), Wanted.readAll());
    }
};

QTEST_MAIN(TestStdGui)
#include "test_std_gui.moc"

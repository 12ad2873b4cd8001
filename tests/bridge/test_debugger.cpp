// The debugger window on the real panel: opened from the Edsac menu, marks set
// from the keyboard and the mouse, a run stopped by a breakpoint and by a
// watched location, stepping over a call and back, running back to the order
// that spoiled a constant, and nothing left to pay once the window is closed.
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include "bridge/debug_session.h"
#include "core/ControlUnit.h"
#include "core/Debugger.h"
#include "std_world.h"

namespace {

// A call: the link at 64, the jump at 65, the return to 66 where it stops; the
// subroutine at 67 makes its return order from location 3 and plants it at 69.
const QString CallTape = QStringLiteral("T 64 K G K A 0 @ G 3 @ Z F A 3 F T 5 @ Z F E Z P F");

QString ReadTape(const char* Name)
{
    QFile File(QStringLiteral(VALVANE_TAPES "/") + QLatin1String(Name));
    return File.open(QIODevice::ReadOnly) ? QString::fromUtf8(File.readAll()) : QString();
}

struct TDebugWorld : TWorld {
    TDebuggerForm* Window = nullptr;

    TDebugWorld()
    {
        OnMain("miDebugger")->trigger();
        Window = Bridge->Debug()->Window();
    }
    void Command(const char* Name) { Named<QAction>(Window, QString::fromLatin1(Name))->trigger(); }
    QString Reason() const { return Named<QLabel>(Window, QStringLiteral("lblStopReason"))->text(); }
    int SCR() const { return Core->Control().GetSCR(); }
    // Timer ticks until the run stops.
    void Run()
    {
        for (int I = 0; I < 100000 && Timer()->isActive(); ++I)
            Panel()->CoreExecTimerTimer();
    }
};

} // namespace

class TestDebugger : public QObject {
    Q_OBJECT
private slots:
    void theWindowShowsTheStore()
    {
        TDebugWorld W;
        QVERIFY(W.Window->isVisible());
        auto* Store = Named<QTableView>(W.Window, QStringLiteral("tblStore"));
        QCOMPARE(Store->model()->rowCount(), 1024);
        W.Tape(CallTape);
        W.RunToStop();
        QCOMPARE(W.Reason(), QStringLiteral("Stop order at 66"));
        QAbstractItemModel* Model = Store->model();
        QCOMPARE(Model->data(Model->index(64, 3)).toString(), QStringLiteral("A 64 F"));
        QCOMPARE(Model->data(Model->index(69, 3)).toString(), QStringLiteral("E 66 F"));
        QCOMPARE(Model->data(Model->index(69, 6)).toString(), QStringLiteral("*"));
        QCOMPARE(Model->data(Model->index(64, 7)).toString(), QStringLiteral("1"));
        QCOMPARE(Named<QLabel>(W.Window, QStringLiteral("lblOrderTank"))->text(), QStringLiteral("Z 0 F"));
        QCOMPARE(Named<QLabel>(W.Window, QStringLiteral("lblSCR"))->text(), QStringLiteral("67"));
        Named<QTabWidget>(W.Window, QStringLiteral("tabDebugger"))->setCurrentIndex(1);
        auto* Profile = Named<QTableWidget>(W.Window, QStringLiteral("tblProfile"));
        QVERIFY(Profile->rowCount() >= 5);
        Named<QTabWidget>(W.Window, QStringLiteral("tabDebugger"))->setCurrentIndex(0);

        // A breakpoint by the mouse, on its box in the store table.
        Store->scrollTo(Model->index(64, 0));
        QTest::mouseClick(Store->viewport(), Qt::LeftButton, {}, Store->visualRect(Model->index(64, 0)).center());
        QVERIFY(W.Bridge->Debug()->Debugger().IsBreakpoint(64));
    }

    void breakpointStepOverAndStepBack()
    {
        TDebugWorld W;
        W.Tape(CallTape);
        W.Window->SetCursorAddress(64);
        W.Command("actToggleBreakpoint");
        W.OnPanel("btnStart")->click();
        W.Run();
        QCOMPARE(W.Reason(), QStringLiteral("Breakpoint at 64"));
        QCOMPARE(W.SCR(), 64);
        QVERIFY(!W.Core->IsStopped());

        W.Command("actStepOver");
        W.Run();
        QCOMPARE(W.Reason(), QStringLiteral("Reached 66"));
        QCOMPARE(W.SCR(), 66);
        W.Command("actStepBack");
        QCOMPARE(W.SCR(), 69);
        W.Command("actStep");
        QCOMPARE(W.SCR(), 66);
        // An order that is no call steps over as one.
        W.Command("actStepOver");
        QCOMPARE(W.Reason(), QStringLiteral("Stop order at 66"));
        W.Command("actRunBack");
        QCOMPARE(W.Reason(), QStringLiteral("Breakpoint at 64"));
        QCOMPARE(W.SCR(), 64);
        W.Window->SetCursorAddress(68);
        W.Command("actRunToCursor");
        W.Run();
        QCOMPARE(W.Reason(), QStringLiteral("Reached 68"));
    }

    // The Lessonary's search: a breakpoint on the test, the constant at 77 found
    // spoiled; who wrote it?
    void runBackFindsWhoWroteAWatchedLocation()
    {
        TDebugWorld W;
        W.Tape(ReadTape("fault_constant.txt"));
        W.RunToStop();
        QCOMPARE(W.Printed(), QStringLiteral("1"));
        W.Window->SetCursorAddress(72);
        W.Command("actToggleBreakpoint");
        W.RunToStop();
        QCOMPARE(W.Reason(), QStringLiteral("Breakpoint at 72"));
        QVERIFY(Named<QLabel>(W.Window, QStringLiteral("lblAccumulator"))->text().startsWith(QStringLiteral("8192 ")));
        QCOMPARE(W.Core->GetStoreContents()[77], 0);
        QCOMPARE(W.Printed(), QStringLiteral("11"));
        W.Window->SetCursorAddress(77);
        W.Command("actToggleWatch");
        W.Command("actRunBack");
        QCOMPARE(W.Reason(), QStringLiteral("Location 77 written by the order at 65 (T 77 F)"));
        QCOMPARE(W.SCR(), 65);
        QCOMPARE(W.Core->GetStoreContents()[77], 10 << 12);
        // The figure this run printed after it is taken back off the teleprinter.
        QCOMPARE(W.Printed(), QStringLiteral("1"));
        // Running on from there stops where the write happens again.
        W.Command("actContinue");
        W.Run();
        QCOMPARE(W.Reason(), QStringLiteral("Location 77 written by the order at 65 (T 77 F)"));
        QCOMPARE(W.SCR(), 66);
    }

    // The commands answer their keys, as the menu shows them, and the row of the
    // sequence control is marked and brought into view at every step.
    void keysStepAndTheSequenceControlStaysInView()
    {
        TDebugWorld W;
        W.Tape(QString(CallTape).replace(QStringLiteral("T 64 K"), QStringLiteral("T 900 K")));
        W.RunToStop();
        QCOMPARE(W.Reason(), QStringLiteral("Stop order at 902"));
        W.Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(W.Window));
        auto* Store = Named<QTableView>(W.Window, QStringLiteral("tblStore"));
        QAbstractItemModel* Model = Store->model();
        const auto InView = [&](int Row) {
            return Store->viewport()->rect().contains(Store->visualRect(Model->index(Row, 3)));
        };
        const auto Marked = [&](int Row) { return Model->data(Model->index(Row, 3), Qt::BackgroundRole).isValid(); };
        QVERIFY(InView(903) && Marked(903) && !Marked(902));
        QCOMPARE(Named<QAction>(W.Window, QStringLiteral("actStepBack"))->shortcut(),
                 QKeySequence(Qt::SHIFT | Qt::Key_F11));

        // Back over the stop order, back to the return planted at 905, on again.
        Store->scrollToTop();
        QTest::keyClick(Store, Qt::Key_F11, Qt::ShiftModifier);
        QCOMPARE(W.SCR(), 902);
        QVERIFY(InView(902) && Marked(902) && !Marked(903));
        Store->scrollToTop();
        QTest::keyClick(Store, Qt::Key_F11, Qt::ShiftModifier);
        QCOMPARE(W.SCR(), 905);
        QVERIFY(InView(905));
        Store->scrollToTop();
        QTest::keyClick(Store, Qt::Key_F11);
        QCOMPARE(W.SCR(), 902);
        QVERIFY(InView(902));
        W.Window->SetCursorAddress(900);
        QTest::keyClick(Store, Qt::Key_F9);
        QTest::keyClick(Store, Qt::Key_F9, Qt::ShiftModifier);
        QVERIFY(W.Bridge->Debug()->Debugger().IsBreakpoint(900));
        QVERIFY(W.Bridge->Debug()->Debugger().IsWatched(900));
        QCOMPARE(Model->data(Model->index(900, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(Model->data(Model->index(900, 1), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void closedItCostsNothing()
    {
        TDebugWorld W;
        W.Window->SetCursorAddress(70);
        W.Command("actToggleBreakpoint");
        QVERIFY(W.Bridge->Debug()->Debugger().Active());
        W.Window->close();
        QVERIFY(!W.Bridge->Debug()->Debugger().Active());
        W.Tape(CallTape);
        W.RunToStop();
        QCOMPARE(W.SCR(), 67);
        QCOMPARE(W.Bridge->Debug()->Debugger().History().Orders(), 0u);
        // Back again, with its marks.
        W.OnMain("miDebugger")->trigger();
        QVERIFY(W.Bridge->Debug()->Debugger().IsBreakpoint(70));
        QVERIFY(W.Bridge->Debug()->Debugger().Active());
    }
};

QTEST_MAIN(TestDebugger)
#include "test_debugger.moc"

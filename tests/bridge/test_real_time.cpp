// Real Time behind the machine window: over a run, machine time keeps to the wall
// clock (here a clock of the test's own, moved by the waits the run timer is
// given), fractions of a millisecond included.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "bridge/std_gui.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "kit/RunTimer.h"
#include "kit/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "tests/named.h"

namespace {

constexpr std::int64_t Ms = 1'000'000; // ns

// Under Initial Orders 2: clear the accumulator, then jump to itself for ever.
const QString LoopTape = QStringLiteral("T64K GK T2@ E1@ PF EZPF");

} // namespace

class TestRealTime : public QObject {
    Q_OBJECT
private slots:
    void machineTimeKeepsToTheWallClock()
    {
        QTemporaryDir Dir;
        TEdSimSettings Settings(Dir.filePath(QStringLiteral("Valvane.ini")));
        Dialogs::SetMessageResponder([](const Dialogs::TMessageRequest&) { return QMessageBox::Ok; });
        auto Bridge = std::make_unique<TStdGuiCoreInt>(Settings);
        auto Core = std::make_unique<TEdsacCore>(*Bridge);
        Bridge->SetCore(Core.get());
        Bridge->InitGui();
        TEdsacForm& Panel = *Bridge->GetEdsacForm();
        TRunTimer& Timer = *Panel.CoreExecTimer;

        auto Wall = std::make_shared<std::int64_t>(0);
        Timer.Pacer() = TRealTimePacer([Wall] { return *Wall; });
        // Each tick comes as long after the last as the run timer was told to wait,
        // plus a little lateness; the real timer is not kept waiting.
        int Orders = 0;
        auto Step = Panel.ExecuteStep;
        Panel.ExecuteStep = [&] {
            const TStepResult Result = Step();
            ++Orders;
            *Wall += Timer.interval() * Ms + Ms / 5;
            Timer.setInterval(0);
            return Result;
        };
        TEditorForm* Tape = Bridge->NewTape();
        TapePane(Tape)->setPlainText(LoopTape);
        Named<QCheckBox>(Bridge->GetMainForm(), QStringLiteral("cbRealTime"))->setChecked(true);
        Named<QPushButton>(&Panel, QStringLiteral("btnStart"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(*Wall >= 3000 * Ms || !Timer.isActive(), 60000);
        const bool Running = Timer.isActive();
        Named<QPushButton>(&Panel, QStringLiteral("btnStop"))->click();
        QVERIFY(Running);

        const double Machine = Core->Control().GetElapsedTime() * 100'000.0;
        QVERIFY2(
            std::abs(Machine / double(*Wall) - 1) < 0.02,
            qPrintable(QString("machine %1 ms in %2 ms, %3 orders").arg(Machine / Ms).arg(*Wall / Ms).arg(Orders)));

        Tape->SetModified(false);
        Bridge->SetCore(nullptr);
        Core->Shutdown();
        Bridge->DoneGui();
        Dialogs::SetMessageResponder({});
    }
};

QTEST_MAIN(TestRealTime)
#include "test_real_time.moc"

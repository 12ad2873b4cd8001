// The developer console's main window: tape and machine commands, the switches
// that show and gate the trace windows, the top-level messages, the run timer
// and its speed. Commands leave as signals and the run timer calls ExecuteStep;
// the console's bridge connects both.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>

#include "core/RunControl.h"
#include "core/TraceLine.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSlider;
class QToolButton;
class TRunTimer;
class TMsgForm;
class TMsgMemo;

// What the Run button offers: to run, to stop a run, or to run again after an
// error stopped the machine.
enum TRunCaption : std::uint8_t { rcRun, rcStop, rcRunAgain };

// Where trace lines go: the top-level messages (the core's own lines) and the
// trace window of each unit.
enum class TTraceUnit : std::uint8_t { Core, Alu, Store, Control, IO };

class TMainFormDev : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 762;
    static constexpr int DesignHeight = 192;
    // The slider's start; the run timer waits 3000 less the position.
    static constexpr int InitialSpeed = 1000;
    static constexpr int SlowestInterval = 3000;

    explicit TMainFormDev(QWidget* Parent = nullptr);
    ~TMainFormDev() override;

    bool IsRunning() const;
    // Switches the run timer; the tape buttons are disabled while it runs. Within a
    // tick the buttons wait for the tick's end, so a run that goes on touches them
    // not at all.
    void StartTimer();
    void StopTimer();
    // Sets the Run button's caption: "Run", "Stop" or "Run!".
    void ShowRunCaption(TRunCaption Caption);

    // A trace line for Unit's window, kept only while its box is ticked.
    void Trace(TTraceUnit Unit, const TTraceLine& Line);
    // A line among the top-level messages, whatever the boxes say.
    void AddTopLevelMessage(const QString& Line);
    // Empties every trace window.
    void ClearMessages();
    // Flushes every trace memo now.
    void FlushMessages();

    // Executes one order for the run timer and says whether the machine goes on.
    // Set by whoever drives the machine.
    std::function<TStepResult()> ExecuteStep;

signals:
    void NewTape();
    void OpenTape(const QString& Path);
    void SaveTape();
    void SaveTapeAs();
    // "EDSAC Init": the tape rewound and the machine cleared.
    void ClearMachine();
    // "Load Init Ords" with the box's choice: false for the first set, true for the second.
    void LoadInitialOrders(bool Second);
    void SingleStep();
    // Run was pressed while the machine stood.
    void StartRun();
    // 1..9, and 10 for the "0" key.
    void Dial(int Digit);

protected:
    // Closing the main window ends the program, whatever the other windows say.
    void closeEvent(QCloseEvent* Event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildControls();
    void BindMsgWindow(QCheckBox* Box, TMsgForm* Window);
    void UpdateRunControls();
    // One order per tick; the timer runs on only while the machine goes on.
    void CoreExecTimerTimer();
    void ChooseTapeToOpen();
    void LoadInitialOrdersClick();
    void RunClick();

    QToolButton* FNewButton = nullptr;
    QToolButton* FOpenButton = nullptr;
    QComboBox* FInitialOrders = nullptr;
    QPushButton* FRunButton = nullptr;
    QSlider* FSpeed = nullptr;
    TMsgMemo* FTopLevel = nullptr;
    // Indexed by TTraceUnit: the box that gates the unit's lines, and its window
    // (none for the core, whose lines are the top-level messages).
    std::array<QCheckBox*, 5> FTraceBoxes{};
    std::array<TMsgForm*, 5> FTraceWindows{};
    // One order per tick; it keeps its toolkit timer across a tick that goes on.
    TRunTimer* FRunTimer = nullptr;
    bool FInTick = false;
    // What the tape buttons show: the machine running or not.
    bool FShownRunning = false;
};

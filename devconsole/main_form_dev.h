// The developer console's main window: tape and machine commands, the switches
// that show and gate the trace windows, the top-level messages, the run timer
// and its speed.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;
class TRunTimer;
class TDevGuiCoreInt;
class TMsgForm;
class TMsgMemo;

// What the Run button offers: to run, to stop a run, or to run again after an
// error stopped the machine.
enum TRunCaption : std::uint8_t { rcRun, rcStop, rcRunAgain };

class TMainFormDev : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 762;
    static constexpr int DesignHeight = 192;
    // The slider's start; the run timer waits 3000 less the position.
    static constexpr int InitialSpeed = 1000;
    static constexpr int SlowestInterval = 3000;

    // AGui is the bridge the window's commands go to; it outlives the window.
    explicit TMainFormDev(TDevGuiCoreInt& AGui, QWidget* Parent = nullptr);
    ~TMainFormDev() override;

    bool IsRunning() const;
    // Switches the run timer; the tape buttons are disabled while it runs. Within a
    // tick the buttons wait for the tick's end, so a run that goes on touches them
    // not at all.
    void StartTimer();
    void StopTimer();
    // Flushes every trace memo now.
    void FlushMessages();
    // Sets the Run button's caption: "Run", "Stop" or "Run!".
    void ShowRunCaption(TRunCaption Caption);

    // Menu "&File" and "E&dsac".
    QAction* mnuNew;
    QAction* mnuOpen;
    QAction* mnuSave;
    QAction* mnuSaveAs;
    QAction* mnuExit;
    QAction* mnuInit;
    QAction* mnuLoadIO;
    // Tool bar.
    QToolButton* btnNew;
    QToolButton* btnOpen;
    QToolButton* btnSave;
    QComboBox* cmbInitOrds;
    // The dial keys, indexed by the digit on them; "0" dials 10. SpeedButton10 is
    // "1" down to SpeedButton2 for "9"; SpeedButton11 is "0".
    std::array<QToolButton*, 10> DialButtons{};
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton10;
    QToolButton* SpeedButton11;

    QGroupBox* GroupBox1; // "Top-level Messages"
    TMsgMemo* TopLevelMsgs;
    QGroupBox* GroupBox2; // "System messages"
    QCheckBox* cbCoreMsg;
    QCheckBox* cbALUWin;
    QCheckBox* cbStoreWin;
    QCheckBox* cbControlWin;
    QCheckBox* cbIOWin;
    QGroupBox* GroupBox3; // "Simulator control"
    QPushButton* Button1; // "Single E.P."
    QPushButton* Button2; // "Run" / "Stop" / "Run!"
    QSlider* tbClockSpeed;
    QLabel* lblRunSpeed;
    QLabel* lblSlow;
    QLabel* lblFast;
    QPushButton* Button3; // "EDSAC Init"
    QPushButton* Button4; // "Load Tape"
    QPushButton* Button5; // "Load Init Ords"
    QPushButton* Button6; // "New Tape"

    // One order per tick; it keeps its toolkit timer across a tick that goes on.
    TRunTimer* CoreExecTimer;

    // The trace windows, one per unit; hidden until their box is ticked.
    TMsgForm* ALUMsgs;
    TMsgForm* StoreMsgs;
    TMsgForm* ControlMsgs;
    TMsgForm* IOMsgs;

public slots:
    // One order per tick; the timer runs on only while the machine goes on.
    void CoreExecTimerTimer();
    void mnuNewClick();
    void mnuOpenClick();
    void mnuSaveClick();
    void mnuSaveAsClick();
    void mnuInitClick();
    void mnuLoadIOClick();
    void Button1Click();
    void Button2Click();
    void tbClockSpeedChange(int Position);

protected:
    // Closing the main window ends the program, whatever the other windows say.
    void closeEvent(QCloseEvent* Event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildControls();
    void BindMsgWindow(QCheckBox* Box, TMsgForm* Window);
    void UpdateRunControls();

    TDevGuiCoreInt& FGui;
    bool FInTick = false;
    // What the tape buttons show: the machine running or not.
    bool FShownRunning = false;
};

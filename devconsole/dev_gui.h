// The developer console's bridge: it hosts the core in the console's windows,
// shows every unit's trace lines in its own window and drives the machine one
// order per tick of the main window's run timer.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "bridge/gui_core_int.h"
#include "components/PanelPresenter.h"

class TAboutForm;
class TEdsacCore;
class TEdsacFormDev;
class TEditorForm;
class TMainFormDev;

// Thrown by the console's tape reader once it has reported a failed read (an
// illegal character, the end of the tape, no tape at all) and stopped the
// machine: the input order is abandoned before it stores anything, and the step
// ends without a second message.
class EReadAbandoned : public std::runtime_error {
public:
    EReadAbandoned() : std::runtime_error("Tape read abandoned") {}
};

class TDevGuiCoreInt : public QObject, public IEdsacSim {
    Q_OBJECT

public:
    // Creates the main window (the application's main window), the monitor and
    // the About box, all hidden; RestoreGui shows the first two.
    explicit TDevGuiCoreInt(QObject* Parent = nullptr);
    ~TDevGuiCoreInt() override;
    TDevGuiCoreInt(const TDevGuiCoreInt&) = delete;
    TDevGuiCoreInt& operator=(const TDevGuiCoreInt&) = delete;

    // IEdsacSim
    void InitGui() override;
    void DoneGui() override;
    void SetCore(TEdsacCore* NewCore) override;
    void RestoreGui(QObject* Sender) override;
    void MinimiseGui(QObject* Sender) override;
    void CoreMessage(const TTraceLine& Msg) override;
    void StoreMessage(const TTraceLine& Msg) override;
    void IOMessage(const TTraceLine& Msg) override;
    void ControlMessage(const TTraceLine& Msg) override;
    void ALUMessage(const TTraceLine& Msg) override;
    void UpdateAccDisplay(bool Force, TWords Words) override;
    void UpdateScrDisplay(bool Force, TWords Words) override;
    void UpdateOrdDisplay(bool Force, TWords Words) override;
    void UpdateMultrDisplay(bool Force, TWords Words) override;
    void UpdateMultdDisplay(bool Force, TWords Words) override;
    void UpdateStoreDisplay(TWords Words) override;
    void UpdateStoreWord(int Address, TWord Value) override;
    void TeleprinterNewLine(const std::string& Text) override;
    void TeleprinterPrint(char Ch) override;
    void ClearMessages() override;
    // Reads upper case always. A failed read is reported here, stops the machine
    // and throws EReadAbandoned.
    int ReadTapeChar() override;
    void RewindTape() override;
    void ClearMachine() override;
    void LoadInitialOrders() override;
    void SelectInitialOrders(bool Second) override;
    TStepResult ExecuteStep() override;
    void RefreshStoreDisplay() override;
    void RefreshRegisters() override;
    void ZeroiseClock() override;
    void Dial(int Digit) override;

    // A new empty tape window, "DeveloperProg", replacing the previous one without
    // asking about unsaved changes; it becomes the current tape.
    TEditorForm* NewTape();
    // Loads Path into a new tape window that replaces the current one. If the file
    // cannot be read the error is shown and the current tape stays; returns null.
    TEditorForm* OpenTape(const QString& Path);
    TEditorForm* CurrentTape() const;
    // Switches the run timer on; false (with a warning) without a tape window.
    bool StartRun();
    // An error stop: the run timer off and the Run button reading "Run!".
    void StopEdsac();
    // The warning of a command that needs a tape when there is none.
    void ReportNoTape();
    // Single E.P.: one order of the current tape.
    void SingleStep();
    // Writes all queued trace lines to their windows now.
    void FlushMessages();

    // For the start-up: the application's main window; closing it ends the event
    // loop. Null after DoneGui.
    TMainFormDev* MainWindow() const { return FMainForm.get(); }
    TEdsacFormDev* Monitor() const { return FEdsacForm.get(); }
    TAboutForm* About() const { return FAboutForm.get(); }

private:
    void Connect();
    TEditorForm* MakeTapeWindow();
    void ReplaceTape(TEditorForm* Tape);
    // The order tank changes with every order; its text is set once a frame.
    void ShowOrderText();

    TEdsacCore* FCore = nullptr;
    // The machine's moves, while there is a core.
    std::unique_ptr<TRunControl> FRun;
    // The tape reader has reported the failure that ends this step.
    bool FReadAbandoned = false;
    std::unique_ptr<TMainFormDev> FMainForm;
    std::unique_ptr<TEdsacFormDev> FEdsacForm;
    std::unique_ptr<TAboutForm> FAboutForm;
    TPanelPresenter FPanel;
    // Owned by the main window; the guard clears it should the window go first.
    QPointer<TEditorForm> FActiveTape;
    QTimer FOrderTextTimer;
    TWord FPendingOrder = 0;
};

// The standard bridge: the host of the machine behind the machine window, the main
// window and the tape windows. It runs the machine one order per timer event, turns
// the machine's display calls into tube and clock changes, feeds the input orders
// from the current tape, keeps the teleprinter and punched output, and carries out
// the commands of the main window.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "bridge/gui_core_int.h"
#include "bridge/tape_windows.h"
#include "bridge/teleprinter_log.h"
#include "components/PanelPresenter.h"
#include "forms/commands.h"

class TAboutForm;
class TDebugSession;
class TEdSimSettings;
class TEditorForm;
class TEdsacForm;
class TMainForm;
class TOptionsForm;
class TRecoveryStore;

class TStdGuiCoreInt : public QObject, public IEdsacSim {
    Q_OBJECT
public:
    explicit TStdGuiCoreInt(TEdSimSettings& ASettings);
    ~TStdGuiCoreInt() override;

    // IEdsacSim
    void InitGui() override;
    void DoneGui() override;
    void SetCore(TEdsacCore* NewCore) override;
    void RestoreGui(QObject* Sender) override;
    void MinimiseGui(QObject* Sender) override;
    void UpdateAccDisplay(bool Force, TWords Words) override
    {
        FPanel.ShowRegister(TRegister::rgAccumulator, Force, Words);
    }
    void UpdateScrDisplay(bool Force, TWords Words) override
    {
        FPanel.ShowRegister(TRegister::rgSequenceControl, Force, Words);
    }
    void UpdateOrdDisplay(bool Force, TWords Words) override
    {
        FPanel.ShowRegister(TRegister::rgOrderTank, Force, Words);
    }
    void UpdateMultrDisplay(bool Force, TWords Words) override
    {
        FPanel.ShowRegister(TRegister::rgMultiplier, Force, Words);
    }
    void UpdateMultdDisplay(bool Force, TWords Words) override
    {
        FPanel.ShowRegister(TRegister::rgMultiplicand, Force, Words);
    }
    void UpdateStoreDisplay(TWords Words) override { FPanel.ShowStore(Words); }
    void UpdateStoreWord(int Address, TWord Value) override { FPanel.ShowStoreWord(Address, Value); }
    void UpdateClock(std::uint32_t Time) override;
    void TeleprinterNewLine(const std::string& Text) override
    {
        FLog.NewLine(Text);
        UpdateMenus();
    }
    void TeleprinterPrint(char Ch) override { FLog.Print(Ch); }
    void PunchChar(char Ch) override;
    void ClearMessages() override {}
    int ReadTapeChar() override { return FTapes->ReadCode(*this); }
    void RewindTape() override { FTapes->Rewind(); }
    void PlaySound(TSound Sound) override;
    // Stepping back reads the current tape again from where it was.
    std::uint64_t TapeMark() override { return FTapes->Mark(); }
    void RewindTapeTo(std::uint64_t Mark) override { FTapes->GoToMark(Mark); }
    void TakeBackOutput(std::span<const TOutputChar> Output) override
    {
        FLog.TakeBack(Output);
        UpdateMenus();
    }
    void ClearMachine() override;
    void LoadInitialOrders() override;
    void SelectInitialOrders(bool Second) override;
    TStepResult ExecuteStep() override;
    void RefreshStoreDisplay() override;
    void RefreshRegisters() override;
    void ZeroiseClock() override;
    void Dial(int Digit) override;

    // Run control.
    bool StartRun();
    // One order; with Checks (a run's step, not Single E.P) a breakpoint or the
    // debugger's target stops the machine before it.
    TStepResult Execute(bool Checks);
    void StopRun();
    void ResumeRun();
    // The machine window's Start, Stop and Single E.P buttons (Clear is
    // ClearMachine, Reset is ResumeRun), pressed or given by their keys.
    void Start();
    void Stop();
    void SingleEP();
    void HaltTimer();

    // Tape windows: the current tape is the one the machine reads (none after DoneGui).
    TEditorForm* NewTape() { return FTapes->New(); }
    TEditorForm* OpenTape(const QString& FileName) { return FTapes->Open(FileName); }
    void InsertTape(const QString& FileName) { FTapes->Insert(FileName); }
    void CloseTape() { FTapes->Close(); }
    void SaveTape() { FTapes->Save(); }
    void SaveTapeAs() { FTapes->SaveAs(); }
    TEditorForm* CurrentTape() const { return FTapes ? FTapes->Current() : nullptr; }
    void SetCurrentTape(TEditorForm* Window) { FTapes->SetCurrent(Window); }
    void RewindActiveTape() { FTapes->Rewind(); }
    TEditorForm* FindTapeWindow(int N) const { return FTapes->Find(N); }
    // Tape windows made from here on keep recovery copies in Store (none without).
    void SetRecoveryStore(TRecoveryStore* Store) { FTapes->SetRecoveryStore(Store); }
    // A tape window for a recovered copy, its text modified: named after FileName,
    // so that Save writes there, or a new untitled tape when FileName is empty.
    TEditorForm* RecoverTape(const QString& FileName, const QString& Text) { return FTapes->Recover(FileName, Text); }
    // The machine window's place into the settings, as the end of the program does.
    void KeepEdsacPlace();
    void ShowEdsacWindow();
    void CutText() { FTapes->Cut(); }
    void CopyText() { FTapes->Copy(); }
    void PasteText() { FTapes->Paste(); }
    void SelectAll() { FTapes->SelectAll(); }
    // The main window's commands are enabled as the program's state allows.
    void UpdateMenus();
    // Exit: asks about every tape with changes first; closes none on Cancel.
    bool CanCloseAll() { return FTapes->CloseAll(); }

    // Output, printing, hints and dialogs.
    void DiscardOutput()
    {
        FLog.Discard();
        UpdateMenus();
    }
    bool SaveOutput(const QString& FileName) { return FLog.SaveLines(FileName); }
    bool PunchOutput(const QString& FileName) { return FLog.SavePunched(FileName); }
    void LineFeed() { TeleprinterNewLine(""); }
    void PrintTape() { FTapes->Print(); }
    void SetHints(bool On);
    void ClearHint();
    // Real Time: the machine keeps to the wall clock.
    void SetRealTime(bool On);
    void ShowAbout();
    void ShowOptions();
    // Edsac > Debugger...: the debugger window beside the machine window.
    void ShowDebugger();
    TDebugSession* Debug() const { return FDebug.get(); }

    // What the teleprinter has printed, one entry per pane line; the punched output.
    QStringList TeleprinterLines() const { return FLog.Lines(); }
    const QStringList& Punched() const { return FLog.Punched(); }

    TMainForm* GetMainForm() const { return FMainForm.get(); }
    TEdsacForm* GetEdsacForm() const { return FEdsacForm.get(); }

private:
    TCommandState CommandState() const;
    void ShowHint(const TTubeHint& Hint);
    void Connect();

    TEdSimSettings& FSettings;
    std::unique_ptr<TMainForm> FMainForm;
    std::unique_ptr<TEdsacForm> FEdsacForm;
    std::unique_ptr<TAboutForm> FAboutForm;
    std::unique_ptr<TOptionsForm> FOptionsForm;
    TPanelPresenter FPanel;
    TTeleprinterLog FLog;
    TEdsacCore* FCore = nullptr;
    // The machine's moves and its debugger, made with the core; the debugger's
    // session, and its window, when first asked for.
    std::unique_ptr<TRunControl> FRun;
    std::unique_ptr<TDebugSession> FDebug;
    // After the windows it uses, so that it goes first.
    std::unique_ptr<TTapeWindows> FTapes;
    bool FHintsOn = false;
    bool FRealTime = false;
    // What the main window's commands were last enabled by.
    TCommandState FShownState;
};

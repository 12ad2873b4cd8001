// The standard bridge: the host of the machine behind the machine window, the main
// window and the tape windows. It runs the machine one order per timer event, turns
// the machine's display calls into tube and clock changes, feeds the input orders
// from the current tape, keeps the teleprinter and punched output, and carries out
// the commands of the main window.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "bridge/gui_core_int.h"
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
    void UpdateAccDisplay(bool Force, TWords Words) override;
    void UpdateScrDisplay(bool Force, TWords Words) override;
    void UpdateOrdDisplay(bool Force, TWords Words) override;
    void UpdateMultrDisplay(bool Force, TWords Words) override;
    void UpdateMultdDisplay(bool Force, TWords Words) override;
    void UpdateStoreDisplay(TWords Words) override;
    void UpdateStoreWord(int Address, TWord Value) override;
    void UpdateClock(std::uint32_t Time) override;
    void TeleprinterNewLine(const std::string& Text) override;
    void TeleprinterPrint(char Ch) override;
    void PunchChar(char Ch) override;
    void ClearMessages() override {}
    int ReadTapeChar() override;
    void RewindTape() override;
    void PlaySound(TSound Sound) override;
    std::uint64_t TapeMark() override;
    void RewindTapeTo(std::uint64_t Mark) override;
    void TakeBackOutput(std::span<const TOutputChar> Output) override;
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
    void HaltTimer();

    // Tape windows.
    TEditorForm* NewTape();
    TEditorForm* OpenTape(const QString& FileName);
    void InsertTape(const QString& FileName);
    void CloseTape();
    void SaveTape();
    void SaveTapeAs();
    TEditorForm* CurrentTape() const;
    void SetCurrentTape(TEditorForm* Window);
    void RewindActiveTape();
    TEditorForm* FindTapeWindow(int N) const;
    // Tape windows made from here on keep recovery copies in Store (none without).
    void SetRecoveryStore(TRecoveryStore* Store) { FRecovery = Store; }
    // A tape window for a recovered copy, its text modified: named after FileName,
    // so that Save writes there, or a new untitled tape when FileName is empty.
    TEditorForm* RecoverTape(const QString& FileName, const QString& Text);
    // The machine window's place into the settings, as the end of the program does.
    void KeepEdsacPlace();
    void ShowEdsacWindow();
    void CutText();
    void CopyText();
    void PasteText();
    void SelectAll();
    // The main window's commands are enabled as the program's state allows.
    void UpdateMenus();
    bool CanCloseAll();

    // Output, printing, hints and dialogs.
    void DiscardOutput();
    bool SaveOutput(const QString& FileName);
    bool PunchOutput(const QString& FileName);
    void LineFeed();
    void PrintTape();
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
    // Shown at once unless Show is false.
    TEditorForm* CreateTapeWindow(const QString& Caption, bool Show = true);
    void RememberRecentFile(const QString& FileName);
    void ResetCascade();
    TCommandState CommandState() const;
    void ShowTapeName();
    bool TapeWindowCloseQuery(TEditorForm* Window);
    void TapeWindowClose(TEditorForm* Window);
    void TapeChange();
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
    // Owned by the main window; the guard clears it should the window go first.
    QPointer<TEditorForm> FActiveTape;
    // The open tape windows in the order they were made, as the Window menu lists them.
    QList<QPointer<TEditorForm>> FTapeWindows;
    int FUntitledCount = 0;
    int FEditorCount = 0;
    int FNextLeft = 0;
    int FNextTop = 0;
    // FNextTop was set for the first window of a cascade, below the main window.
    bool FCascadeFromMain = true;
    bool FHintsOn = false;
    bool FRealTime = false;
    // The clipboard offers "text/plain".
    bool FClipboardHasText = false;
    // What the main window's commands were last enabled by.
    TCommandState FShownState;
    TRecoveryStore* FRecovery = nullptr;
};

// The debugger as the standard program offers it: its window beside the machine
// window, the history and profile it keeps while that window is open, and what
// its commands do to the run. Whoever runs the machine lends it three things to
// do and tells it when the machine moved or came to rest.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/RunControl.h"
#include "forms/debugger_form.h"

class TEdsacCore;

class TDebugSession : public QObject {
    Q_OBJECT
public:
    struct TRun {
        // One order now, as Single E.P. steps; with Checks, a breakpoint or the
        // target stops it before it runs.
        std::function<TStepResult(bool Checks)> Step;
        // The run timer on, the stop cleared: Reset.
        std::function<void()> Continue;
        // The run timer off.
        std::function<void()> Halt;
        // After stepping back: the panel and the menus show the machine again.
        std::function<void()> Refresh;
    };

    // Machine keeps the debugger and steps back; Run moves it forward as the host does.
    TDebugSession(const TEdsacCore& Core, TRunControl& Machine, TRun Run);
    ~TDebugSession() override;

    // Opens the window beside Beside (history, profile and marks on), or brings it back.
    void Show(QWidget* Beside);
    bool IsOpen() const { return FOpen; }
    TDebuggerForm* Window() const { return FWindow.get(); }
    const TDebugger& Debugger() const { return FMachine.Debugger(); }

    // The machine moved on in a run: the window catches up once a frame.
    void Moved()
    {
        if (FOpen)
            FWindow->MachineMoved();
    }
    // The machine came to rest, for Reason (in words; empty when there is none to give).
    void Stopped(const QString& Reason);

private:
    void Close();
    // One order without checks; false when it stopped the machine.
    bool StepOnce();
    void StepOver();
    void StepBack();
    void RunBack();
    void RunTo(int Address);

    const TEdsacCore& FCore;
    TRunControl& FMachine;
    TRun FRun;
    std::unique_ptr<TDebuggerForm> FWindow;
    bool FOpen = false;
};

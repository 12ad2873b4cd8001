#include "bridge/debug_session.h"

#include <QGuiApplication>
#include <QScreen>

#include "core/Debugger.h"
#include "core/EdsacCore.h"

TDebugSession::TDebugSession(const TEdsacCore& Core, TRunControl& Machine, TRun Run)
    : FCore(Core), FMachine(Machine), FRun(std::move(Run))
{
}

TDebugSession::~TDebugSession() = default;

void TDebugSession::Show(QWidget* Beside)
{
    if (!FWindow) {
        FWindow = std::make_unique<TDebuggerForm>(FCore, FMachine.Debugger());
        TDebuggerForm* W = FWindow.get();
        connect(W, &TDebuggerForm::StepRequested, this, [this] {
            FRun.Halt();
            StepOnce();
        });
        connect(W, &TDebuggerForm::StepOverRequested, this, &TDebugSession::StepOver);
        connect(W, &TDebuggerForm::StepBackRequested, this, &TDebugSession::StepBack);
        connect(W, &TDebuggerForm::RunBackRequested, this, &TDebugSession::RunBack);
        connect(W, &TDebuggerForm::RunToCursorRequested, this, &TDebugSession::RunTo);
        connect(W, &TDebuggerForm::ContinueRequested, this, [this] { FRun.Continue(); });
        connect(W, &TDebuggerForm::Closed, this, &TDebugSession::Close);
        // Beside the machine window, on the right if there is room, else on the left.
        if (Beside) {
            const QRect Frame = Beside->frameGeometry();
            const QScreen* Screen = Beside->screen() ? Beside->screen() : QGuiApplication::primaryScreen();
            const QRect Area = Screen->availableGeometry();
            const int Right = Frame.right() + 8;
            W->move(Right + W->width() <= Area.right() ? Right : std::max(Area.left(), Frame.left() - 8 - W->width()),
                    Frame.top());
        }
    }
    if (!FOpen) {
        // Recording starts here: nothing before can be stepped back over.
        FMachine.Debugger().SetRecording(true);
        FMachine.Debugger().SetProfiling(true);
        FMachine.Debugger().SetArmed(true);
        FOpen = true;
        FWindow->MachineStopped(QString());
    }
    FWindow->show();
    FWindow->raise();
    FWindow->activateWindow();
}

// Closed, the debugger costs the run nothing: no history, no profile, marks kept
// for the window's return but not looked at.
void TDebugSession::Close()
{
    FOpen = false;
    FMachine.Debugger().SetRecording(false);
    FMachine.Debugger().SetProfiling(false);
    FMachine.Debugger().SetArmed(false);
    FMachine.Debugger().SetTarget(-1);
}

void TDebugSession::Stopped(const QString& Reason)
{
    if (FOpen)
        FWindow->MachineStopped(Reason);
}

void TDebugSession::StepOver()
{
    const int Return = FMachine.Debugger().CallReturn();
    FRun.Halt();
    // The call runs as a run does, and stops where it returns (or sooner); its
    // first order runs even if a breakpoint marks it.
    if (!StepOnce() || Return < 0)
        return;
    FMachine.Debugger().SetTarget(Return);
    FRun.Continue();
}

bool TDebugSession::StepOnce()
{
    // A stop says why itself; an order that goes on is shown here.
    if (FRun.Step(false) != TStepResult::srRunning)
        return false;
    Stopped(QString());
    return true;
}

void TDebugSession::StepBack()
{
    FRun.Halt();
    const bool Undone = FMachine.StepBack();
    FRun.Refresh();
    Stopped(Undone ? QString() : QString::fromStdString(FMachine.LastStop().Text));
}

void TDebugSession::RunBack()
{
    FRun.Halt();
    const TStopReport& Stop = FMachine.RunBack();
    FRun.Refresh();
    Stopped(QString::fromStdString(Stop.Text));
}

void TDebugSession::RunTo(int Address)
{
    FRun.Halt();
    FMachine.Debugger().SetTarget(Address);
    FRun.Continue();
}

// The debugger window: the store as a table of orders and numbers with the
// marks of the debugger, the registers in words and numbers, the profile, the
// reason for the last stop, and the commands that move the machine a step at a
// time, backwards as well as forwards. It reads the machine and sets marks on
// the debugger itself; the commands that move the machine leave as signals for
// whoever drives it.
#pragma once

#include <QKeySequence>
#include <QMainWindow>
#include <QTimer>
#include <vector>

#include "core/misc.h"

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QTableWidget;
class TDebugger;
class TEdsacCore;
class TStoreModel;

class TDebuggerForm : public QMainWindow {
    Q_OBJECT
public:
    TDebuggerForm(const TEdsacCore& Core, TDebugger& Debugger, QWidget* Parent = nullptr);
    ~TDebuggerForm() override;

    // The machine moved on while running: the window catches up at the next frame.
    void MachineMoved();
    // The machine came to rest (a stop, a step, a step back): the window shows it
    // now, the sequence control's row in view; Reason says why it stopped, in words.
    void MachineStopped(const QString& Reason);
    QString StopReason() const;

    // The location of the store table's current row.
    int CursorAddress() const;
    void SetCursorAddress(int Address);

signals:
    void StepRequested();
    void StepOverRequested();
    void StepBackRequested();
    void RunBackRequested();
    void RunToCursorRequested(int Address);
    void ContinueRequested();
    void Closed();

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    QAction* AddCommand(QMenu* Menu, const char* Name, const QString& Caption, const QKeySequence& Keys);
    void ToggleBreakpoint();
    void ToggleWatch();
    void Refresh();
    void ShowRegisters();
    void ShowProfile();

    const TEdsacCore& FCore;
    TDebugger& FDebugger;
    TStoreModel* FModel = nullptr;
    QTableView* FStore = nullptr;
    QTableWidget* FProfile = nullptr;
    // One value a register, in the order they are shown.
    std::vector<QLabel*> FRegisters;
    QLabel* FReason = nullptr;
    // Refreshes at most ten times a second while the machine runs.
    QTimer FFrame;
};

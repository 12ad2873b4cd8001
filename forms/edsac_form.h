// The machine's control panel: monitoring tubes, the clock of machine time, the
// teleprinter pane, the push buttons, the dial, the long-tank selector and the run
// timer. It holds no machine logic: user actions leave as signals and the run
// timer calls ExecuteStep; whoever drives the machine connects both.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "core/RunControl.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TRunTimer;
class QToolButton;
class TCRTDisplay;
class TClockDisplay;

// A finger hole of the dial: a round picture for up, disabled and down.
class TDialHole : public QAbstractButton {
    Q_OBJECT
public:
    explicit TDialHole(QWidget* Parent);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    QImage FUp;
    QImage FDisabled;
    QImage FDown;
};

class TEdsacForm : public QWidget {
    Q_OBJECT
public:
    explicit TEdsacForm(QWidget* Parent = nullptr);
    ~TEdsacForm() override;

    // Shows the machine time (units of 100 microseconds) on the clock: seconds,
    // minutes, and whole hours on a twelve-hour face.
    void UpdateClockDisplay(std::uint32_t Time);
    // The teleprinter pane's caption names the tape whose output it shows.
    void SetTapeName(const QString& Name);

    // Executes one order for the run timer and says whether the machine goes on.
    // Set by whoever drives the machine.
    std::function<TStepResult()> ExecuteStep;

    QLabel* Image1 = nullptr;
    QWidget* Shape1 = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnStop = nullptr;
    QPushButton* btnReset = nullptr;
    QPushButton* btnSingleEP = nullptr;
    QToolButton* sbClock = nullptr;
    // Indexed by the digit on the hole; sbDial[0] is the 0 hole, which dials 10.
    std::array<TDialHole*, 10> sbDial{};
    TCRTDisplay* crtSCR = nullptr;
    TCRTDisplay* crtORD = nullptr;
    TCRTDisplay* crtMULTR = nullptr;
    TCRTDisplay* crtMULTD = nullptr;
    TCRTDisplay* crtACC = nullptr;
    // Row N shows long number 32 * tank + 2N; crtStores[0] is the bottom row.
    std::array<TCRTDisplay*, 16> crtStores{};
    TClockDisplay* RealTimeClock = nullptr;
    QLabel* memoLabel = nullptr;
    QPlainTextEdit* TeletypeMemo = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* lblLongTank = nullptr;
    QSpinBox* LTSpinEdit = nullptr;
    QCheckBox* cbShortTanks = nullptr;
    QLabel* lblSCR = nullptr;
    QLabel* lblORD = nullptr;
    QLabel* lblMULTR = nullptr;
    QLabel* lblMULTD = nullptr;
    QLabel* lblACC = nullptr;
    // The machine runs exactly while this is active.
    TRunTimer* CoreExecTimer = nullptr;

signals:
    void ClearClicked();
    void StartClicked();
    void StopClicked();
    void ResetClicked();
    void SingleEPClicked();
    // 1..9, and 10 for the 0 hole.
    void DialClicked(int Digit);
    void LongTankChanged(int Tank);
    void ShortTanksClicked(bool Checked);
    void ClockClicked();
    // The mouse moved over bare panel, off every tube.
    void PanelMouseMoved();

public slots:
    // One order per timer event; the timer runs on only if the machine goes on.
    void CoreExecTimerTimer();

protected:
    // The user cannot close the panel; it lives as long as the program.
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The panel picture and the long-tank tube's face.
    void CreatePanel();
    void CreateButtons();
    void CreateDial();
    // Register tubes with their captions, and the store rows.
    void CreateTubes();
    // The clock of machine time and its zero button.
    void CreateClock();
    void CreateTeleprinter();
    // The long-tank selector and the Short Tanks switch.
    void CreateLongTankSelector();
    void CreateRunTimer();
    TCRTDisplay* MakeTube(const QString& Name, const QRect& Where, int Count, int Size, bool HideFirst,
                          const QString& FullName);
    QPushButton* MakeButton(const QString& Name, const QString& Caption, const QRect& Where,
                            const QString& Family, const QColor& Color);
    QLabel* MakeLabel(const QString& Name, const QString& Caption, const QRect& Where);
};

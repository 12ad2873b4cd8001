// The machine's control panel: monitoring tubes, the clock of machine time, the
// teleprinter pane, the push buttons, the dial, the long-tank selector and the run
// timer. It holds no machine logic: user actions leave as signals and the run
// timer calls ExecuteStep; whoever drives the machine connects both.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "components/PanelView.h"
#include "core/MachineConstants.h"
#include "core/RunControl.h"

class QCheckBox;
class QKeyEvent;
class QKeySequence;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TRunTimer;
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

class TEdsacForm : public QWidget, public IPanelView {
    Q_OBJECT
public:
    explicit TEdsacForm(QWidget* Parent = nullptr);
    ~TEdsacForm() override;

    // IPanelView
    void ShowRegister(TRegister Register, TWords Words) override;
    void ShowStoreRow(int Row, TWords Words) override;
    void ShowStoreWord(int Row, int Column, TWord Value) override;
    int LongTank() const override;
    // The "Short Tanks" switch is on.
    bool ShortTanks() const;

    // Shows the machine time (units of 100 microseconds) on the clock: seconds,
    // minutes, and whole hours on a twelve-hour face.
    void UpdateClockDisplay(std::uint32_t Time);
    // The clock shows a time other than 0.
    bool ClockShowsTime() const;
    // The teleprinter pane's caption names the tape whose output it shows.
    void SetTapeName(const QString& Name);

    // The teleprinter pane: text added at its end ("\n" starts a line), emptied,
    // and read back one entry per line of the pane.
    void AppendTeleprinter(const QString& Text);
    void ClearTeleprinter();
    // Characters in the pane, line breaks included; the last Count of them taken off.
    int TeleprinterLength() const;
    void ChopTeleprinter(int Count);
    QStringList TeleprinterLines() const;

    // Called with the word under the mouse as it moves over a tube.
    void SetHintHandler(std::function<void(const TTubeHint&)> Handler);
    // The tubes show the hint pointer while hints are on.
    void ShowHintPointer(bool On);
    // Says in words what a tube shows (a register's, or else store row Row's counted
    // from the bottom), for assistive technology; asked whenever it reads a tube.
    void SetTubeReader(std::function<QString(std::optional<TRegister> Register, int Row, TWords Words)> Reader);
    // The push button named Button is also worked by Keys: its tool tip and
    // description say so.
    void SetButtonKeys(const char* Button, const QKeySequence& Keys);

    // Executes one order for the run timer and says whether the machine goes on.
    // Set by whoever drives the machine.
    std::function<TStepResult()> ExecuteStep;

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
    // By the user only; ShortTanksChanged follows every change.
    void ShortTanksClicked(bool Checked);
    void ShortTanksChanged(bool On);
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
                          const QString& FullName, std::optional<TRegister> Register, int Row = 0);
    QPushButton* MakeButton(const QString& Name, const QString& Caption, const QRect& Where, const QString& Family,
                            const QColor& Color, const QString& Description);
    // The digit keys work the dial from anywhere on the panel.
    bool DialKey(const QKeyEvent* Key);
    QLabel* MakeLabel(const QString& Name, const QString& Caption, const QRect& Where);

    QLabel* FPicture = nullptr;
    // Indexed by TRegister.
    std::array<TCRTDisplay*, 5> FRegisters{};
    // Row N shows long number 32 * tank + 2N; FStores[0] is the bottom row.
    std::array<TCRTDisplay*, LongTankRows> FStores{};
    TClockDisplay* FClock = nullptr;
    QLabel* FTapeCaption = nullptr;
    QPlainTextEdit* FTeleprinter = nullptr;
    QSpinBox* FLongTank = nullptr;
    QCheckBox* FShortTanks = nullptr;
    std::function<void(const TTubeHint&)> FHintHandler;
    std::function<QString(std::optional<TRegister>, int, TWords)> FTubeReader;
    // Indexed by the digit on the hole.
    std::array<TDialHole*, 10> FDial{};
};

// The developer console's monitor: the register tubes, one long tank of the store
// and the teletype output.
#pragma once

#include <QWidget>
#include <array>

#include "components/PanelView.h"
#include "core/MachineConstants.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;
class TCRTDisplay;

class TEdsacFormDev : public QWidget, public IPanelView {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 538;
    static constexpr int DesignHeight = 305;

    explicit TEdsacFormDev(QWidget* Parent = nullptr);
    ~TEdsacFormDev() override;

    // IPanelView
    void ShowRegister(TRegister Register, TWords Words) override;
    void ShowStoreRow(int Row, TWords Words) override;
    void ShowStoreWord(int Row, int Column, TWord Value) override;
    int LongTank() const override;

    // The order in the order tank, as text beside its tube.
    void ShowOrderText(const QString& Text);
    // The teletype output: a line feed and Text after it, or one more character.
    void PrintLine(const QString& Text);
    void PrintChar(QChar Ch);

signals:
    // The long-tank selector was changed or clicked.
    void LongTankChanged(int Tank);

protected:
    // The monitor lives as long as the console; only DoneGui takes it down.
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Indexed by TRegister.
    std::array<TCRTDisplay*, 5> FRegisters{};
    // Row N shows locations 32T + 2N + 1 and 32T + 2N; row 0 is the lowest.
    std::array<TCRTDisplay*, LongTankRows> FStores{};
    QLabel* FOrderText = nullptr;
    QSpinBox* FLongTank = nullptr;
    QPlainTextEdit* FTeletype = nullptr;
};

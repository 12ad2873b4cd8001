// The developer console's monitor: the register tubes, one long tank of the store
// and the teletype output.
#pragma once

#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class TCRTDisplay;

class TEdsacFormDev : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 538;
    static constexpr int DesignHeight = 305;

    explicit TEdsacFormDev(QWidget* Parent = nullptr);
    ~TEdsacFormDev() override;

    // The long tank on view, 0..31.
    int LongTank() const;

    QGroupBox* GroupBox1; // "Internal registers"
    QGroupBox* GroupBox2; // "Store Contents"
    QGroupBox* GroupBox3; // "Teletype Output"
    TCRTDisplay* crtSCR;
    TCRTDisplay* crtORD;
    TCRTDisplay* crtMULTR;
    TCRTDisplay* crtMULTD;
    TCRTDisplay* crtACC;
    QLabel* lblSCR;
    QLabel* lblORD0; // "ORD:"
    QLabel* lblMULTR;
    QLabel* lblMULTD;
    QLabel* lblACC;
    // The order in the order tank, as text.
    QLabel* lblORD;
    QLabel* lblLongTank;
    QSpinBox* SpinEdit1;
    // Row N shows locations 32T + 2N + 1 and 32T + 2N; row 0 is the lowest.
    std::array<TCRTDisplay*, 16> crtStores{};
    QPlainTextEdit* TeletypeMemo;

signals:
    // The long-tank selector was changed or clicked.
    void LongTankChanged(int Tank);

protected:
    // The monitor lives as long as the console; only DoneGui takes it down.
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

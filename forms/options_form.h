// The Options dialog: edits the preferences of TEdSimSettings. The controls hold
// no state of their own beyond the last run; the settings are copied in before
// each run and back only when the dialog closes with OK.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class TEdSimSettings;

class TOptionsForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 394;
    static constexpr int DesignHeight = 345;

    explicit TOptionsForm(QWidget* Parent = nullptr);

    // Copies the settings into the controls.
    void FillFrom(const TEdSimSettings& Settings);
    // Copies every choice from the controls into the settings.
    void WriteTo(TEdSimSettings& Settings) const;

    // Fills the controls from Settings and remembers it: closing the dialog with
    // OK writes every choice back, any other close leaves Settings untouched.
    // Settings must outlive the run of the dialog.
    void BeginEdit(TEdSimSettings& Settings);
    // BeginEdit, then the dialog runs modally; true when it was closed with OK.
    bool Execute(TEdSimSettings& Settings);

    void done(int Result) override;

private:
    QCheckBox* FBeep;
    QCheckBox* FBell;
    QCheckBox* FDial;
    QCheckBox* FTeleprinterSound;
    QCheckBox* FIgnoreCase;
    QCheckBox* FLineNumbers;
    QComboBox* FInitialOrders;
    QCheckBox* FRealTime;
    QCheckBox* FShowSplash;
    TEdSimSettings* FEditTarget = nullptr;
};

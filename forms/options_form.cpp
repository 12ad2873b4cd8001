#include "forms/options_form.h"

#include "forms/EdSimSettings.h"
#include "core/initial_orders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

TOptionsForm::TOptionsForm(QWidget* Parent)
    : QDialog(Parent)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // Neither the user nor a style may resize it.
    setFixedSize(DesignWidth, DesignHeight);

    PageControl = new QTabWidget(this);

    // General page.
    auto* General = new QWidget;
    auto* GeneralLayout = new QVBoxLayout(General);

    auto* Sounds = new QGroupBox(QStringLiteral("Sounds:"), General);
    auto* SoundsLayout = new QGridLayout(Sounds);
    cbSndBeep = new QCheckBox(QStringLiteral("Beep"), Sounds);
    cbSndBell = new QCheckBox(QStringLiteral("Bell"), Sounds);
    cbSndDial = new QCheckBox(QStringLiteral("Dial"), Sounds);
    cbSndTeleprinter = new QCheckBox(QStringLiteral("Teleprinter"), Sounds);
    cbSndBell->setEnabled(false);
    cbSndDial->setEnabled(false);
    cbSndTeleprinter->setEnabled(false);
    SoundsLayout->addWidget(cbSndBeep, 0, 0);
    SoundsLayout->addWidget(cbSndBell, 0, 1);
    SoundsLayout->addWidget(cbSndDial, 1, 0);
    SoundsLayout->addWidget(cbSndTeleprinter, 1, 1);
    auto* SoundNote = new QLabel(QStringLiteral("Note: Beep is the only sound currently supported"), Sounds);
    SoundNote->setWordWrap(true);
    SoundsLayout->addWidget(SoundNote, 2, 0, 1, 2);
    GeneralLayout->addWidget(Sounds);

    auto* Editor = new QGroupBox(QStringLiteral("Text Editor"), General);
    auto* EditorLayout = new QGridLayout(Editor);
    cbEditorIgnoreCase = new QCheckBox(QStringLiteral("Ignore Case"), Editor);
    cbEditorIgnoreCase->setChecked(true);
    cbEditorLineNumbers = new QCheckBox(QStringLiteral("Line Numbers"), Editor);
    cbEditorLineNumbers->setEnabled(false);
    EditorLayout->addWidget(cbEditorIgnoreCase, 0, 0);
    EditorLayout->addWidget(cbEditorLineNumbers, 0, 1);
    GeneralLayout->addWidget(Editor);
    GeneralLayout->addStretch(1);
    PageControl->addTab(General, QStringLiteral("General"));

    // Start-up page.
    auto* StartUp = new QWidget;
    auto* StartUpLayout = new QVBoxLayout(StartUp);

    auto* Edsac = new QGroupBox(QStringLiteral("Edsac"), StartUp);
    auto* EdsacLayout = new QGridLayout(Edsac);
    auto* Intro = new QLabel(QStringLiteral("Valvane will use the following settings when started."), Edsac);
    Intro->setWordWrap(true);
    EdsacLayout->addWidget(Intro, 0, 0, 1, 2);
    auto* OrdersLabel = new QLabel(QStringLiteral("Initial order set:"), Edsac);
    cbInitialOrders = new QComboBox(Edsac);
    cbInitialOrders->addItems({QStringLiteral("Initial Orders 1"), QStringLiteral("Initial Orders 2")});
    cbInitialOrders->setCurrentIndex(InitialOrdersIndex(ioOrders2));
    OrdersLabel->setBuddy(cbInitialOrders);
    EdsacLayout->addWidget(OrdersLabel, 1, 0);
    EdsacLayout->addWidget(cbInitialOrders, 1, 1, Qt::AlignLeft);
    cbRealTime = new QCheckBox(QStringLiteral("Real Time"), Edsac);
    EdsacLayout->addWidget(cbRealTime, 2, 0, 1, 2);
    EdsacLayout->setColumnStretch(1, 1);
    StartUpLayout->addWidget(Edsac);

    auto* Misc = new QGroupBox(QStringLiteral("Miscellaneous"), StartUp);
    auto* MiscLayout = new QVBoxLayout(Misc);
    cbShowSplash = new QCheckBox(QStringLiteral("Show Splash during start-up"), Misc);
    cbShowSplash->setChecked(true);
    MiscLayout->addWidget(cbShowSplash);
    StartUpLayout->addWidget(Misc);
    StartUpLayout->addStretch(1);
    PageControl->addTab(StartUp, QStringLiteral("Start-up"));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    Button4 = new QPushButton(QStringLiteral("Cancel"), this);
    Button4->setAutoDefault(false);
    // Escape already rejects a QDialog; Cancel does the same.
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);

    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(Button1);
    Buttons->addWidget(Button4);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(PageControl, 1);
    Layout->addLayout(Buttons);

    if (QScreen* Screen = screen())
        move(Screen->availableGeometry().center() - rect().center());
}

void TOptionsForm::FillFrom(const TEdSimSettings& Settings)
{
    cbSndBeep->setChecked(Settings.Beep);
    // Only the beep exists; the other sounds stay off whatever the file says.
    for (QCheckBox* Box : {cbSndBell, cbSndDial, cbSndTeleprinter}) {
        Box->setChecked(false);
        Box->setEnabled(false);
    }
    cbInitialOrders->setCurrentIndex(InitialOrdersIndex(InitialOrdersNumbered(Settings.InitialOrders).value_or(ioOrders2)));
    cbShowSplash->setChecked(Settings.ShowSplash);
    cbRealTime->setChecked(Settings.RealTime);
    cbEditorIgnoreCase->setChecked(Settings.IgnoreCase);
    cbEditorLineNumbers->setChecked(Settings.LineNumbers);
}

void TOptionsForm::WriteTo(TEdSimSettings& Settings) const
{
    Settings.Beep = cbSndBeep->isChecked();
    Settings.Bell = cbSndBell->isChecked();
    Settings.Dial = cbSndDial->isChecked();
    Settings.Teleprinter = cbSndTeleprinter->isChecked();
    Settings.InitialOrders = InitialOrdersNumber(InitialOrdersAtIndex(cbInitialOrders->currentIndex()).value_or(ioOrders2));
    Settings.ShowSplash = cbShowSplash->isChecked();
    Settings.RealTime = cbRealTime->isChecked();
    Settings.IgnoreCase = cbEditorIgnoreCase->isChecked();
    Settings.LineNumbers = cbEditorLineNumbers->isChecked();
}

void TOptionsForm::BeginEdit(TEdSimSettings& Settings)
{
    FEditTarget = &Settings;
    FillFrom(Settings);
}

bool TOptionsForm::Execute(TEdSimSettings& Settings)
{
    BeginEdit(Settings);
    return exec() == QDialog::Accepted;
}

void TOptionsForm::done(int Result)
{
    if (Result == QDialog::Accepted && FEditTarget)
        WriteTo(*FEditTarget);
    FEditTarget = nullptr;
    QDialog::done(Result);
}

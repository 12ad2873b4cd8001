#include "forms/options_form.h"

#include "settings/EdSimSettings.h"
#include "core/initial_orders.h"
#include "core/messages.h"
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

TOptionsForm::TOptionsForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // Neither the user nor a style may resize it.
    setFixedSize(DesignWidth, DesignHeight);

    auto* Pages = new QTabWidget(this);

    // General page.
    auto* General = new QWidget;
    auto* GeneralLayout = new QVBoxLayout(General);

    auto* Sounds = new QGroupBox(QStringLiteral("Sounds:"), General);
    auto* SoundsLayout = new QGridLayout(Sounds);
    FBeep = new QCheckBox(QStringLiteral("Beep"), Sounds);
    FBeep->setObjectName(QStringLiteral("cbSndBeep"));
    FBell = new QCheckBox(QStringLiteral("Bell"), Sounds);
    FBell->setObjectName(QStringLiteral("cbSndBell"));
    FDial = new QCheckBox(QStringLiteral("Dial"), Sounds);
    FDial->setObjectName(QStringLiteral("cbSndDial"));
    FTeleprinterSound = new QCheckBox(QStringLiteral("Teleprinter"), Sounds);
    FTeleprinterSound->setObjectName(QStringLiteral("cbSndTeleprinter"));
    FBell->setEnabled(false);
    FDial->setEnabled(false);
    FTeleprinterSound->setEnabled(false);
    SoundsLayout->addWidget(FBeep, 0, 0);
    SoundsLayout->addWidget(FBell, 0, 1);
    SoundsLayout->addWidget(FDial, 1, 0);
    SoundsLayout->addWidget(FTeleprinterSound, 1, 1);
    auto* SoundNote = new QLabel(QStringLiteral("Note: Beep is the only sound currently supported"), Sounds);
    SoundNote->setWordWrap(true);
    SoundsLayout->addWidget(SoundNote, 2, 0, 1, 2);
    GeneralLayout->addWidget(Sounds);

    auto* Editor = new QGroupBox(QStringLiteral("Text Editor"), General);
    auto* EditorLayout = new QGridLayout(Editor);
    FIgnoreCase = new QCheckBox(QStringLiteral("Ignore Case"), Editor);
    FIgnoreCase->setObjectName(QStringLiteral("cbEditorIgnoreCase"));
    FIgnoreCase->setChecked(true);
    FLineNumbers = new QCheckBox(QStringLiteral("Line Numbers"), Editor);
    FLineNumbers->setObjectName(QStringLiteral("cbEditorLineNumbers"));
    FLineNumbers->setEnabled(false);
    EditorLayout->addWidget(FIgnoreCase, 0, 0);
    EditorLayout->addWidget(FLineNumbers, 0, 1);
    GeneralLayout->addWidget(Editor);
    GeneralLayout->addStretch(1);
    Pages->addTab(General, QStringLiteral("General"));

    // Start-up page.
    auto* StartUp = new QWidget;
    auto* StartUpLayout = new QVBoxLayout(StartUp);

    auto* Edsac = new QGroupBox(QStringLiteral("Edsac"), StartUp);
    auto* EdsacLayout = new QGridLayout(Edsac);
    auto* Intro = new QLabel(QStringLiteral("Valvane will use the following settings when started."), Edsac);
    Intro->setWordWrap(true);
    EdsacLayout->addWidget(Intro, 0, 0, 1, 2);
    auto* OrdersLabel = new QLabel(QStringLiteral("Initial order set:"), Edsac);
    FInitialOrders = new QComboBox(Edsac);
    FInitialOrders->setObjectName(QStringLiteral("cbInitialOrders"));
    for (const TInitialOrders Orders : {ioOrders1, ioOrders2})
        FInitialOrders->addItem(QString::fromLatin1(Messages::InitialOrders).arg(InitialOrdersNumber(Orders)));
    FInitialOrders->setCurrentIndex(InitialOrdersIndex(ioOrders2));
    OrdersLabel->setBuddy(FInitialOrders);
    EdsacLayout->addWidget(OrdersLabel, 1, 0);
    EdsacLayout->addWidget(FInitialOrders, 1, 1, Qt::AlignLeft);
    FRealTime = new QCheckBox(QStringLiteral("Real Time"), Edsac);
    FRealTime->setObjectName(QStringLiteral("cbRealTime"));
    EdsacLayout->addWidget(FRealTime, 2, 0, 1, 2);
    EdsacLayout->setColumnStretch(1, 1);
    StartUpLayout->addWidget(Edsac);

    auto* Misc = new QGroupBox(QStringLiteral("Miscellaneous"), StartUp);
    auto* MiscLayout = new QVBoxLayout(Misc);
    FShowSplash = new QCheckBox(QStringLiteral("Show Splash during start-up"), Misc);
    FShowSplash->setObjectName(QStringLiteral("cbShowSplash"));
    FShowSplash->setChecked(true);
    MiscLayout->addWidget(FShowSplash);
    StartUpLayout->addWidget(Misc);
    StartUpLayout->addStretch(1);
    Pages->addTab(StartUp, QStringLiteral("Start-up"));

    auto* Ok = new QPushButton(QStringLiteral("OK"), this);
    Ok->setObjectName(QStringLiteral("Button1"));
    Ok->setDefault(true);
    Ok->setAutoDefault(true);
    auto* Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Button4"));
    Cancel->setAutoDefault(false);
    // Escape already rejects a QDialog; Cancel does the same.
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(Ok);
    Buttons->addWidget(Cancel);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Pages, 1);
    Layout->addLayout(Buttons);

    if (QScreen* Screen = screen())
        move(Screen->availableGeometry().center() - rect().center());
}

void TOptionsForm::FillFrom(const TEdSimSettings& Settings)
{
    FBeep->setChecked(Settings.Beep);
    // Only the beep exists; the other sounds stay off whatever the file says.
    for (QCheckBox* Box : {FBell, FDial, FTeleprinterSound}) {
        Box->setChecked(false);
        Box->setEnabled(false);
    }
    FInitialOrders->setCurrentIndex(
        InitialOrdersIndex(InitialOrdersNumbered(Settings.InitialOrders).value_or(ioOrders2)));
    FShowSplash->setChecked(Settings.ShowSplash);
    FRealTime->setChecked(Settings.RealTime);
    FIgnoreCase->setChecked(Settings.IgnoreCase);
    FLineNumbers->setChecked(Settings.LineNumbers);
}

void TOptionsForm::WriteTo(TEdSimSettings& Settings) const
{
    Settings.Beep = FBeep->isChecked();
    Settings.Bell = FBell->isChecked();
    Settings.Dial = FDial->isChecked();
    Settings.Teleprinter = FTeleprinterSound->isChecked();
    Settings.InitialOrders = InitialOrdersNumber(
        InitialOrdersAtIndex(FInitialOrders->currentIndex()).value_or(ioOrders2));
    Settings.ShowSplash = FShowSplash->isChecked();
    Settings.RealTime = FRealTime->isChecked();
    Settings.IgnoreCase = FIgnoreCase->isChecked();
    Settings.LineNumbers = FLineNumbers->isChecked();
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

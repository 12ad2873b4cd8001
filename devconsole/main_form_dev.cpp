#include "devconsole/main_form_dev.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/initial_orders.h"
#include "devconsole/dev_gui.h"
#include "devconsole/msg_form.h"
#include "forms/Dialogs.h"
#include "forms/RunTimer.h"
#include "forms/editor_form.h"

namespace {

// Where the trace windows first appear, from the screen's top-left corner: beside
// the monitor, below the main window.
constexpr QPoint MsgWindowPlaces[] = {{545, 225}, {862, 225}, {545, 590}, {862, 590}};

QPoint ScreenOrigin()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return Screen ? Screen->availableGeometry().topLeft() : QPoint();
}

} // namespace

TMainFormDev::TMainFormDev(TDevGuiCoreInt& AGui, QWidget* Parent)
    : QMainWindow(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      FGui(AGui)
{
    setObjectName(QStringLiteral("MainFormDev"));
    setWindowTitle(QStringLiteral("Valvane: Development Interface"));

    CoreExecTimer = new TRunTimer(this);
    CoreExecTimer->setObjectName(QStringLiteral("CoreExecTimer"));
    connect(CoreExecTimer, &TRunTimer::timeout, this, &TMainFormDev::CoreExecTimerTimer);

    BuildMenus();
    BuildToolBar();
    BuildControls();

    ALUMsgs = new TMsgForm(QStringLiteral("ALU Messages"), this);
    StoreMsgs = new TMsgForm(QStringLiteral("Store Messages"), this);
    ControlMsgs = new TMsgForm(QStringLiteral("Control Messages"), this);
    IOMsgs = new TMsgForm(QStringLiteral("I/O Messages"), this);
    BindMsgWindow(cbALUWin, ALUMsgs);
    BindMsgWindow(cbStoreWin, StoreMsgs);
    BindMsgWindow(cbControlWin, ControlMsgs);
    BindMsgWindow(cbIOWin, IOMsgs);
    TMsgForm* const Windows[] = {ALUMsgs, StoreMsgs, ControlMsgs, IOMsgs};
    for (int I = 0; I < 4; ++I)
        Windows[I]->move(ScreenOrigin() + MsgWindowPlaces[I]);

    // The slider and the timer agree from the start: interval = 3000 - position.
    tbClockSpeed->setValue(InitialSpeed);
    tbClockSpeedChange(tbClockSpeed->value());
    connect(tbClockSpeed, &QSlider::valueChanged, this, &TMainFormDev::tbClockSpeedChange);

    setFixedSize(DesignWidth, DesignHeight);
    move(ScreenOrigin());
}

TMainFormDev::~TMainFormDev()
{
    CoreExecTimer->stop();
}

void TMainFormDev::BuildMenus()
{
    QMenu* File = menuBar()->addMenu(QStringLiteral("&File"));
    mnuNew = File->addAction(QStringLiteral("New"), this, &TMainFormDev::mnuNewClick);
    mnuNew->setObjectName(QStringLiteral("mnuNew"));
    mnuNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuOpen = File->addAction(QStringLiteral("&Open..."), this, &TMainFormDev::mnuOpenClick);
    mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSave = File->addAction(QStringLiteral("&Save"), this, &TMainFormDev::mnuSaveClick);
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs = File->addAction(QStringLiteral("Save &As"), this, &TMainFormDev::mnuSaveAsClick);
    mnuSaveAs->setObjectName(QStringLiteral("mnuSaveAs"));
    File->addSeparator();
    mnuExit = File->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    QMenu* Edsac = menuBar()->addMenu(QStringLiteral("E&dsac"));
    mnuInit = Edsac->addAction(QStringLiteral("&Initialise"), this, &TMainFormDev::mnuInitClick);
    mnuInit->setObjectName(QStringLiteral("mnuInit"));
    mnuLoadIO = Edsac->addAction(QStringLiteral("Load Initial Orders"), this, &TMainFormDev::mnuLoadIOClick);
    mnuLoadIO->setObjectName(QStringLiteral("mnuLoadIO"));
}

void TMainFormDev::BuildToolBar()
{
    QToolBar* Bar = addToolBar(QStringLiteral("Tools"));
    Bar->setObjectName(QStringLiteral("ToolBar1"));
    Bar->setMovable(false);
    Bar->setFloatable(false);
    Bar->setIconSize(QSize(16, 16));

    auto AddButton = [&](const QString& Name, QStyle::StandardPixmap Icon, const QString& Tip, auto Slot) {
        auto* Button = new QToolButton(Bar);
        Button->setObjectName(Name);
        Button->setIcon(style()->standardIcon(Icon));
        Button->setToolTip(Tip);
        connect(Button, &QToolButton::clicked, this, Slot);
        Bar->addWidget(Button);
        return Button;
    };
    btnNew = AddButton(QStringLiteral("btnNew"), QStyle::SP_FileIcon, QStringLiteral("New Tape"),
                       &TMainFormDev::mnuNewClick);
    btnOpen = AddButton(QStringLiteral("btnOpen"), QStyle::SP_DialogOpenButton, QStringLiteral("Open Tape"),
                        &TMainFormDev::mnuOpenClick);
    btnSave = AddButton(QStringLiteral("btnSave"), QStyle::SP_DialogSaveButton, QStringLiteral("Save Tape"),
                        &TMainFormDev::mnuSaveClick);
    Bar->addSeparator();

    cmbInitOrds = new QComboBox(Bar);
    cmbInitOrds->setObjectName(QStringLiteral("cmbInitOrds"));
    cmbInitOrds->addItems({QStringLiteral("Initial Orders 1"), QStringLiteral("Initial Orders 2")});
    cmbInitOrds->setCurrentIndex(1);
    Bar->addWidget(cmbInitOrds);
    Bar->addSeparator();

    // "1" to "9", then "0", which dials 10.
    for (int Key = 1; Key <= 10; ++Key) {
        auto* Button = new QToolButton(Bar);
        const int Digit = Key % 10;
        // SpeedButton10 carries "1" down to SpeedButton2 for "9"; "0" is SpeedButton11.
        Button->setObjectName(QStringLiteral("SpeedButton%1").arg(Key == 10 ? 11 : 11 - Key));
        Button->setText(QString::number(Digit));
        Button->setAutoRaise(false);
        Button->setFixedWidth(24);
        connect(Button, &QToolButton::clicked, this, [this, Key] { FGui.Dial(Key); });
        Bar->addWidget(Button);
        DialButtons[static_cast<std::size_t>(Digit)] = Button;
    }
    SpeedButton10 = DialButtons[1];
    SpeedButton2 = DialButtons[9];
    SpeedButton11 = DialButtons[0];
}

void TMainFormDev::BuildControls()
{
    auto* Central = new QWidget(this);
    auto* Row = new QHBoxLayout(Central);
    Row->setContentsMargins(4, 2, 4, 4);
    Row->setSpacing(4);

    GroupBox1 = new QGroupBox(QStringLiteral("Top-level Messages"), Central);
    auto* TopLayout = new QVBoxLayout(GroupBox1);
    TopLayout->setContentsMargins(4, 2, 4, 4);
    TopLevelMsgs = new TMsgMemo(GroupBox1);
    TopLevelMsgs->setObjectName(QStringLiteral("TopLevelMsgs"));
    TopLayout->addWidget(TopLevelMsgs);
    Row->addWidget(GroupBox1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("System messages"), Central);
    auto* Boxes = new QVBoxLayout(GroupBox2);
    Boxes->setContentsMargins(6, 0, 6, 2);
    Boxes->setSpacing(0);
    auto AddBox = [&](const QString& Name, const QString& Caption) {
        auto* Box = new QCheckBox(Caption, GroupBox2);
        Box->setObjectName(Name);
        Boxes->addWidget(Box);
        return Box;
    };
    cbCoreMsg = AddBox(QStringLiteral("cbCoreMsg"), QStringLiteral("Core"));
    cbCoreMsg->setChecked(true);
    cbALUWin = AddBox(QStringLiteral("cbALUWin"), QStringLiteral("ALU"));
    cbStoreWin = AddBox(QStringLiteral("cbStoreWin"), QStringLiteral("Store"));
    cbControlWin = AddBox(QStringLiteral("cbControlWin"), QStringLiteral("Control"));
    cbIOWin = AddBox(QStringLiteral("cbIOWin"), QStringLiteral("Input / Output"));
    Row->addWidget(GroupBox2);

    GroupBox3 = new QGroupBox(QStringLiteral("Simulator control"), Central);
    auto* Control = new QVBoxLayout(GroupBox3);
    Control->setContentsMargins(6, 2, 6, 2);
    Control->setSpacing(2);
    auto* Buttons = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("Single E.P."), GroupBox3);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &TMainFormDev::Button1Click);
    Button2 = new QPushButton(GroupBox3);
    Button2->setObjectName(QStringLiteral("Button2"));
    ShowRunCaption(rcRun);
    connect(Button2, &QPushButton::clicked, this, &TMainFormDev::Button2Click);
    Buttons->addWidget(Button1);
    Buttons->addWidget(Button2);
    Control->addLayout(Buttons);
    lblRunSpeed = new QLabel(QStringLiteral("Run speed"), GroupBox3);
    Control->addWidget(lblRunSpeed);
    tbClockSpeed = new QSlider(Qt::Horizontal, GroupBox3);
    tbClockSpeed->setObjectName(QStringLiteral("tbClockSpeed"));
    tbClockSpeed->setRange(0, SlowestInterval);
    tbClockSpeed->setSingleStep(50);
    tbClockSpeed->setPageStep(250);
    tbClockSpeed->setTickPosition(QSlider::TicksBelow);
    tbClockSpeed->setTickInterval(250);
    Control->addWidget(tbClockSpeed);
    auto* Ends = new QHBoxLayout;
    lblSlow = new QLabel(QStringLiteral("Slow"), GroupBox3);
    lblFast = new QLabel(QStringLiteral("Fast"), GroupBox3);
    Ends->addWidget(lblSlow);
    Ends->addStretch();
    Ends->addWidget(lblFast);
    Control->addLayout(Ends);
    GroupBox3->setFixedWidth(200);
    Row->addWidget(GroupBox3);

    auto* Commands = new QVBoxLayout;
    Commands->setSpacing(2);
    auto AddCommand = [&](const QString& Name, const QString& Caption, auto Slot) {
        auto* Button = new QPushButton(Caption, Central);
        Button->setObjectName(Name);
        connect(Button, &QPushButton::clicked, this, Slot);
        Commands->addWidget(Button);
        return Button;
    };
    Button6 = AddCommand(QStringLiteral("Button6"), QStringLiteral("New Tape"), &TMainFormDev::mnuNewClick);
    Button4 = AddCommand(QStringLiteral("Button4"), QStringLiteral("Load Tape"), &TMainFormDev::mnuOpenClick);
    Button3 = AddCommand(QStringLiteral("Button3"), QStringLiteral("EDSAC Init"), &TMainFormDev::mnuInitClick);
    Button5 = AddCommand(QStringLiteral("Button5"), QStringLiteral("Load Init Ords"), &TMainFormDev::mnuLoadIOClick);
    Commands->addStretch();
    Row->addLayout(Commands);

    setCentralWidget(Central);
}

void TMainFormDev::BindMsgWindow(QCheckBox* Box, TMsgForm* Window)
{
    connect(Box, &QCheckBox::toggled, Window, [Window](bool On) { Window->setVisible(On); });
    // A window closed by the user stops collecting too, so box and window agree.
    connect(Window, &TMsgForm::Closed, Box, [Box] { Box->setChecked(false); });
}

bool TMainFormDev::IsRunning() const
{
    return CoreExecTimer->isActive();
}

void TMainFormDev::StartTimer()
{
    CoreExecTimer->start();
    if (!FInTick)
        UpdateRunControls();
}

void TMainFormDev::StopTimer()
{
    CoreExecTimer->stop();
    if (!FInTick)
        UpdateRunControls();
}

// Each change of a button is a repaint and a round trip to the display: only
// when running really starts or stops.
void TMainFormDev::UpdateRunControls()
{
    const bool Running = IsRunning();
    if (Running == FShownRunning)
        return;
    FShownRunning = Running;
    btnNew->setEnabled(!Running);
    btnOpen->setEnabled(!Running);
}

void TMainFormDev::ShowRunCaption(TRunCaption Caption)
{
    switch (Caption) {
    case rcRun: Button2->setText(QStringLiteral("Run")); break;
    case rcStop: Button2->setText(QStringLiteral("Stop")); break;
    case rcRunAgain: Button2->setText(QStringLiteral("Run!")); break;
    }
}

void TMainFormDev::FlushMessages()
{
    TopLevelMsgs->Flush();
    for (TMsgForm* Window : {ALUMsgs, StoreMsgs, ControlMsgs, IOMsgs})
        Window->msgs->Flush();
}

void TMainFormDev::CoreExecTimerTimer()
{
    FInTick = true;
    CoreExecTimer->stop();
    const TStepResult Result = FGui.ExecuteStep();
    FInTick = false;
    if (Result == TStepResult::srRunning)
        CoreExecTimer->start();
    else if (Result == TStepResult::srStopped)
        // The program's stop order ended the run; the button offers to run on.
        ShowRunCaption(rcRun);
    UpdateRunControls();
}

void TMainFormDev::mnuNewClick()
{
    FGui.NewTape();
}

void TMainFormDev::mnuOpenClick()
{
    Dialogs::TFileRequest Request;
    Request.Mode = Dialogs::TFileMode::Open;
    Request.Title = QStringLiteral("Open");
    Request.Filter = QStringLiteral("*.txt");
    const QString Path = Dialogs::ChooseFile(this, Request);
    if (!Path.isEmpty())
        FGui.OpenTape(Path);
}

void TMainFormDev::mnuSaveClick()
{
    if (TEditorForm* Tape = FGui.CurrentTape())
        Tape->Save();
}

void TMainFormDev::mnuSaveAsClick()
{
    if (TEditorForm* Tape = FGui.CurrentTape())
        Tape->SaveAs();
}

void TMainFormDev::mnuInitClick()
{
    FGui.RewindCurrentTape();
    FGui.ClearMachine();
}

void TMainFormDev::mnuLoadIOClick()
{
    if (const auto Choice = InitialOrdersAtIndex(cmbInitOrds->currentIndex()))
        FGui.SelectInitialOrders(*Choice == ioOrders2);
    FGui.LoadInitialOrders();
}

void TMainFormDev::Button1Click()
{
    if (!FGui.CurrentTape()) {
        FGui.ReportNoTape();
        return;
    }
    const bool WasRunning = IsRunning();
    const TStepResult Result = FGui.ExecuteStep();
    // The step switched the timer off, so a run in progress has ended.
    if (WasRunning && Result != TStepResult::srError)
        ShowRunCaption(rcRun);
    UpdateRunControls();
}

void TMainFormDev::Button2Click()
{
    if (IsRunning()) {
        StopTimer();
        ShowRunCaption(rcRun);
    } else if (FGui.StartRun()) {
        ShowRunCaption(rcStop);
    }
}

void TMainFormDev::tbClockSpeedChange(int Position)
{
    CoreExecTimer->setInterval(SlowestInterval - Position);
}

void TMainFormDev::closeEvent(QCloseEvent* Event)
{
    Event->accept();
    // exit rather than quit: quit would first ask every window to close, and the
    // monitor refuses.
    QCoreApplication::exit(0);
}

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
#include "core/initial_orders.h"
#include "core/messages.h"
#include "devconsole/msg_form.h"
#include "kit/Dialogs.h"
#include "kit/RunTimer.h"

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

TMainFormDev::TMainFormDev(QWidget* Parent)
    : QMainWindow(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("MainFormDev"));
    setWindowTitle(QStringLiteral("Valvane: Development Interface"));

    FRunTimer = new TRunTimer(this);
    FRunTimer->setObjectName(QStringLiteral("CoreExecTimer"));
    connect(FRunTimer, &TRunTimer::timeout, this, &TMainFormDev::CoreExecTimerTimer);

    BuildMenus();
    BuildToolBar();
    BuildControls();

    const struct {
        TTraceUnit Unit;
        const char* Name;
        const char* Caption;
    } Windows[] = {{TTraceUnit::Alu, "ALUMsgs", "ALU Messages"},
                   {TTraceUnit::Store, "StoreMsgs", "Store Messages"},
                   {TTraceUnit::Control, "ControlMsgs", "Control Messages"},
                   {TTraceUnit::IO, "IOMsgs", "I/O Messages"}};
    for (std::size_t I = 0; I < std::size(Windows); ++I) {
        const auto Unit = static_cast<std::size_t>(Windows[I].Unit);
        auto* Window = new TMsgForm(QString::fromLatin1(Windows[I].Caption), this);
        Window->setObjectName(QString::fromLatin1(Windows[I].Name));
        FTraceWindows[Unit] = Window;
        BindMsgWindow(FTraceBoxes[Unit], Window);
        Window->move(ScreenOrigin() + MsgWindowPlaces[I]);
    }

    // The slider and the timer agree from the start: interval = 3000 - position.
    FSpeed->setValue(InitialSpeed);
    FRunTimer->setInterval(SlowestInterval - FSpeed->value());
    connect(FSpeed, &QSlider::valueChanged, this,
            [this](int Position) { FRunTimer->setInterval(SlowestInterval - Position); });

    setFixedSize(DesignWidth, DesignHeight);
    move(ScreenOrigin());
}

TMainFormDev::~TMainFormDev()
{
    FRunTimer->stop();
}

void TMainFormDev::BuildMenus()
{
    const auto Add = [this](QMenu* Menu, const char* Name, const QString& Caption, const QKeySequence& Shortcut,
                            auto Slot) {
        QAction* Item = Menu->addAction(Caption, this, Slot);
        Item->setObjectName(QString::fromLatin1(Name));
        if (!Shortcut.isEmpty())
            Item->setShortcut(Shortcut);
    };
    QMenu* File = menuBar()->addMenu(QStringLiteral("&File"));
    Add(File, "mnuNew", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N), &TMainFormDev::NewTape);
    Add(File, "mnuOpen", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O),
        &TMainFormDev::ChooseTapeToOpen);
    Add(File, "mnuSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), &TMainFormDev::SaveTape);
    Add(File, "mnuSaveAs", QStringLiteral("Save &As"), QKeySequence(), &TMainFormDev::SaveTapeAs);
    File->addSeparator();
    Add(File, "mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4), &QWidget::close);

    QMenu* Edsac = menuBar()->addMenu(QStringLiteral("E&dsac"));
    Add(Edsac, "mnuInit", QStringLiteral("&Initialise"), QKeySequence(), &TMainFormDev::ClearMachine);
    Add(Edsac, "mnuLoadIO", QStringLiteral("Load Initial Orders"), QKeySequence(),
        &TMainFormDev::LoadInitialOrdersClick);
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
    FNewButton = AddButton(QStringLiteral("btnNew"), QStyle::SP_FileIcon, QStringLiteral("New Tape"),
                           &TMainFormDev::NewTape);
    FOpenButton = AddButton(QStringLiteral("btnOpen"), QStyle::SP_DialogOpenButton, QStringLiteral("Open Tape"),
                            &TMainFormDev::ChooseTapeToOpen);
    AddButton(QStringLiteral("btnSave"), QStyle::SP_DialogSaveButton, QStringLiteral("Save Tape"),
              &TMainFormDev::SaveTape);
    Bar->addSeparator();

    FInitialOrders = new QComboBox(Bar);
    FInitialOrders->setObjectName(QStringLiteral("cmbInitOrds"));
    for (const TInitialOrders Orders : {ioOrders1, ioOrders2})
        FInitialOrders->addItem(QString::fromLatin1(Messages::InitialOrders).arg(InitialOrdersNumber(Orders)));
    FInitialOrders->setCurrentIndex(1);
    Bar->addWidget(FInitialOrders);
    Bar->addSeparator();

    // "1" to "9", then "0", which dials 10.
    for (int Key = 1; Key <= 10; ++Key) {
        auto* Button = new QToolButton(Bar);
        // SpeedButton10 carries "1" down to SpeedButton2 for "9"; "0" is SpeedButton11.
        Button->setObjectName(QStringLiteral("SpeedButton%1").arg(Key == 10 ? 11 : 11 - Key));
        Button->setText(QString::number(Key % 10));
        Button->setAutoRaise(false);
        Button->setFixedWidth(24);
        connect(Button, &QToolButton::clicked, this, [this, Key] { emit Dial(Key); });
        Bar->addWidget(Button);
    }
}

void TMainFormDev::BuildControls()
{
    auto* Central = new QWidget(this);
    auto* Row = new QHBoxLayout(Central);
    Row->setContentsMargins(4, 2, 4, 4);
    Row->setSpacing(4);

    auto* TopLevel = new QGroupBox(QStringLiteral("Top-level Messages"), Central);
    auto* TopLayout = new QVBoxLayout(TopLevel);
    TopLayout->setContentsMargins(4, 2, 4, 4);
    FTopLevel = new TMsgMemo(TopLevel);
    FTopLevel->setObjectName(QStringLiteral("TopLevelMsgs"));
    TopLayout->addWidget(FTopLevel);
    Row->addWidget(TopLevel, 1);

    auto* System = new QGroupBox(QStringLiteral("System messages"), Central);
    auto* Boxes = new QVBoxLayout(System);
    Boxes->setContentsMargins(6, 0, 6, 2);
    Boxes->setSpacing(0);
    auto AddBox = [&](TTraceUnit Unit, const QString& Name, const QString& Caption) {
        auto* Box = new QCheckBox(Caption, System);
        Box->setObjectName(Name);
        Boxes->addWidget(Box);
        FTraceBoxes[static_cast<std::size_t>(Unit)] = Box;
    };
    AddBox(TTraceUnit::Core, QStringLiteral("cbCoreMsg"), QStringLiteral("Core"));
    FTraceBoxes[static_cast<std::size_t>(TTraceUnit::Core)]->setChecked(true);
    AddBox(TTraceUnit::Alu, QStringLiteral("cbALUWin"), QStringLiteral("ALU"));
    AddBox(TTraceUnit::Store, QStringLiteral("cbStoreWin"), QStringLiteral("Store"));
    AddBox(TTraceUnit::Control, QStringLiteral("cbControlWin"), QStringLiteral("Control"));
    AddBox(TTraceUnit::IO, QStringLiteral("cbIOWin"), QStringLiteral("Input / Output"));
    Row->addWidget(System);

    auto* Control = new QGroupBox(QStringLiteral("Simulator control"), Central);
    auto* Column = new QVBoxLayout(Control);
    Column->setContentsMargins(6, 2, 6, 2);
    Column->setSpacing(2);
    auto* Buttons = new QHBoxLayout;
    auto* Step = new QPushButton(QStringLiteral("Single E.P."), Control);
    Step->setObjectName(QStringLiteral("Button1"));
    connect(Step, &QPushButton::clicked, this, &TMainFormDev::SingleStep);
    FRunButton = new QPushButton(Control);
    FRunButton->setObjectName(QStringLiteral("Button2"));
    ShowRunCaption(rcRun);
    connect(FRunButton, &QPushButton::clicked, this, &TMainFormDev::RunClick);
    Buttons->addWidget(Step);
    Buttons->addWidget(FRunButton);
    Column->addLayout(Buttons);
    Column->addWidget(new QLabel(QStringLiteral("Run speed"), Control));
    FSpeed = new QSlider(Qt::Horizontal, Control);
    FSpeed->setObjectName(QStringLiteral("tbClockSpeed"));
    FSpeed->setRange(0, SlowestInterval);
    FSpeed->setSingleStep(50);
    FSpeed->setPageStep(250);
    FSpeed->setTickPosition(QSlider::TicksBelow);
    FSpeed->setTickInterval(250);
    Column->addWidget(FSpeed);
    auto* Ends = new QHBoxLayout;
    Ends->addWidget(new QLabel(QStringLiteral("Slow"), Control));
    Ends->addStretch();
    Ends->addWidget(new QLabel(QStringLiteral("Fast"), Control));
    Column->addLayout(Ends);
    Control->setFixedWidth(200);
    Row->addWidget(Control);

    auto* Commands = new QVBoxLayout;
    Commands->setSpacing(2);
    auto AddCommand = [&](const QString& Name, const QString& Caption, auto Slot) {
        auto* Button = new QPushButton(Caption, Central);
        Button->setObjectName(Name);
        connect(Button, &QPushButton::clicked, this, Slot);
        Commands->addWidget(Button);
    };
    AddCommand(QStringLiteral("Button6"), QStringLiteral("New Tape"), &TMainFormDev::NewTape);
    AddCommand(QStringLiteral("Button4"), QStringLiteral("Load Tape"), &TMainFormDev::ChooseTapeToOpen);
    AddCommand(QStringLiteral("Button3"), QStringLiteral("EDSAC Init"), &TMainFormDev::ClearMachine);
    AddCommand(QStringLiteral("Button5"), QStringLiteral("Load Init Ords"), &TMainFormDev::LoadInitialOrdersClick);
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
    return FRunTimer->isActive();
}

void TMainFormDev::StartTimer()
{
    FRunTimer->start();
    if (!FInTick)
        UpdateRunControls();
}

void TMainFormDev::StopTimer()
{
    FRunTimer->stop();
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
    FNewButton->setEnabled(!Running);
    FOpenButton->setEnabled(!Running);
}

void TMainFormDev::ShowRunCaption(TRunCaption Caption)
{
    switch (Caption) {
    case rcRun: FRunButton->setText(QStringLiteral("Run")); break;
    case rcStop: FRunButton->setText(QStringLiteral("Stop")); break;
    case rcRunAgain: FRunButton->setText(QStringLiteral("Run!")); break;
    }
}

void TMainFormDev::Trace(TTraceUnit Unit, const TTraceLine& Line)
{
    const auto Index = static_cast<std::size_t>(Unit);
    if (!FTraceBoxes[Index]->isChecked())
        return;
    if (Unit == TTraceUnit::Core)
        FTopLevel->AddMsg(Line);
    else
        FTraceWindows[Index]->AddMsg(Line);
}

void TMainFormDev::AddTopLevelMessage(const QString& Line)
{
    FTopLevel->AddMsg(Line);
}

void TMainFormDev::ClearMessages()
{
    FTopLevel->Clear();
    for (TMsgForm* Window : FTraceWindows)
        if (Window)
            Window->Clear();
}

void TMainFormDev::FlushMessages()
{
    FTopLevel->Flush();
    for (TMsgForm* Window : FTraceWindows)
        if (Window)
            Window->Flush();
}

void TMainFormDev::CoreExecTimerTimer()
{
    FInTick = true;
    FRunTimer->stop();
    const TStepResult Result = ExecuteStep ? ExecuteStep() : TStepResult::srError;
    FInTick = false;
    if (Result == TStepResult::srRunning)
        FRunTimer->start();
    else if (Result == TStepResult::srStopped)
        // The program's stop order ended the run; the button offers to run on.
        ShowRunCaption(rcRun);
    UpdateRunControls();
}

void TMainFormDev::ChooseTapeToOpen()
{
    Dialogs::TFileRequest Request;
    Request.Mode = Dialogs::TFileMode::Open;
    Request.Title = QStringLiteral("Open");
    Request.Filter = QString::fromLatin1(Dialogs::TextPattern);
    const QString Path = Dialogs::ChooseFile(this, Request);
    if (!Path.isEmpty())
        emit OpenTape(Path);
}

void TMainFormDev::LoadInitialOrdersClick()
{
    const auto Choice = InitialOrdersAtIndex(FInitialOrders->currentIndex());
    emit LoadInitialOrders(Choice.value_or(ioOrders2) == ioOrders2);
}

void TMainFormDev::RunClick()
{
    if (IsRunning()) {
        StopTimer();
        ShowRunCaption(rcRun);
    } else {
        emit StartRun();
    }
}

void TMainFormDev::closeEvent(QCloseEvent* Event)
{
    Event->accept();
    // exit rather than quit: quit would first ask every window to close, and the
    // monitor refuses.
    QCoreApplication::exit(0);
}

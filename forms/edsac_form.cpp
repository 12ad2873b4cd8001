#include "forms/edsac_form.h"

#include "forms/RunTimer.h"
#include "forms/panel_art.h"
#include "forms/panel_layout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "components/CRTDisplay.h"
#include "components/ClockDisplay.h"

namespace {

constexpr int LongTankAir = 5;
// The grey of the long-tank selector's inset.
const QColor Silver(0xc0, 0xc0, 0xc0);

// The face of the long-tank tube behind the store rows.
class TEllipseShape : public QWidget {
public:
    explicit TEllipseShape(QWidget* Parent) : QWidget(Parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter Painter(this);
        Painter.setRenderHint(QPainter::Antialiasing);
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(Qt::black);
        Painter.drawEllipse(QRectF(rect()));
    }
};

QFont PixelFont(const QStringList& Families, int PixelSize, bool Bold,
                QFont::StyleHint Hint = QFont::SansSerif)
{
    QFont Font;
    Font.setFamilies(Families);
    Font.setStyleHint(Hint);
    Font.setPixelSize(PixelSize);
    Font.setBold(Bold);
    return Font;
}

void SetColour(QWidget* Widget, QPalette::ColorRole Role, const QColor& Colour)
{
    QPalette Pal = Widget->palette();
    Pal.setColor(Role, Colour);
    Widget->setPalette(Pal);
}

// The captions' fonts are given by size; a substitute font can run wider than
// the one the layout was made with, so shrink until the caption fits its room.
void FitFont(QWidget* Widget, const QString& Text, int Room)
{
    QFont Font = Widget->font();
    while (Font.pixelSize() > 7 && QFontMetrics(Font).horizontalAdvance(Text) > Room)
        Font.setPixelSize(Font.pixelSize() - 1);
    Widget->setFont(Font);
}

// Ivory push buttons with a bevel, as on an instrument panel of the period.
const char* const ButtonStyle = R"(
QPushButton {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbf7ea, stop:0.5 #e9e1c8, stop:1 #c7bd9f);
  border: 1px solid #24211c; border-radius: 3px; padding: 0px;
}
QPushButton:pressed {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #b3aa8e, stop:1 #e2dbc4);
  padding-top: 1px;
}
)";

} // namespace

TDialHole::TDialHole(QWidget* Parent)
    : QAbstractButton(Parent),
      FUp(PanelArt::DialHolePicture(PanelArt::TDialHoleState::Up)),
      FDisabled(PanelArt::DialHolePicture(PanelArt::TDialHoleState::Disabled)),
      FDown(PanelArt::DialHolePicture(PanelArt::TDialHoleState::Down))
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void TDialHole::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    Painter.drawImage(0, 0, !isEnabled() ? FDisabled : isDown() ? FDown : FUp);
}

TEdsacForm::TEdsacForm(QWidget* Parent) : QWidget(Parent, Qt::Window)
{
    setObjectName("EdsacForm");
    setWindowTitle("EDSAC");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(PanelLayout::Client);

    // The picture first, so that everything else lies on top of it.
    CreatePanel();
    CreateButtons();
    CreateDial();
    CreateTubes();
    CreateClock();
    CreateTeleprinter();
    CreateLongTankSelector();
    CreateRunTimer();

    setTabOrder(LTSpinEdit, TeletypeMemo);
    setTabOrder(TeletypeMemo, cbShortTanks);
    LTSpinEdit->setFocus();

    RealTimeClock->SetHour(0);
    RealTimeClock->SetMinute(0);
    RealTimeClock->SetSecond(0);
    TeletypeMemo->clear();
}

TEdsacForm::~TEdsacForm() = default;

void TEdsacForm::CreatePanel()
{
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(QRect(QPoint(0, 0), PanelLayout::Client));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap::fromImage(PanelArt::PanelPicture()));
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);

    // Lets the mouse through to the panel, so the hint clears between store rows.
    Shape1 = new TEllipseShape(this);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(PanelLayout::TubeFace);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TEdsacForm::CreateButtons()
{
    using namespace PanelLayout;
    btnClear = MakeButton("btnClear", "Clear", ClearButton, "helvetica", Qt::black);
    btnStart = MakeButton("btnStart", "Start", StartButton, "helvetica narrow", Qt::black);
    btnStop = MakeButton("btnStop", "Stop", StopButton, "helvetica narrow", QColor(0x80, 0, 0));
    btnReset = MakeButton("btnReset", "Reset", ResetButton, "helvetica narrow", Qt::black);
    btnSingleEP = MakeButton("btnSingleEP", "Single E.P", SingleEPButton, "helvetica narrow", Qt::black);
    connect(btnClear, &QPushButton::clicked, this, &TEdsacForm::ClearClicked);
    connect(btnStart, &QPushButton::clicked, this, &TEdsacForm::StartClicked);
    connect(btnStop, &QPushButton::clicked, this, &TEdsacForm::StopClicked);
    connect(btnReset, &QPushButton::clicked, this, &TEdsacForm::ResetClicked);
    connect(btnSingleEP, &QPushButton::clicked, this, &TEdsacForm::SingleEPClicked);
}

void TEdsacForm::CreateDial()
{
    for (int Digit = 0; Digit < 10; ++Digit) {
        auto* Hole = new TDialHole(this);
        Hole->setObjectName(QString("sbDial%1").arg(Digit));
        Hole->setGeometry(PanelLayout::DialHole(Digit));
        const int Dialled = Digit == 0 ? 10 : Digit;
        connect(Hole, &QAbstractButton::clicked, this, [this, Dialled] { emit DialClicked(Dialled); });
        sbDial[static_cast<std::size_t>(Digit)] = Hole;
    }
}

void TEdsacForm::CreateTubes()
{
    using namespace PanelLayout;
    crtSCR = MakeTube("crtSCR", SCRTube, 1, 10, false, "SEQUENCE CONTROL REGISTER");
    crtORD = MakeTube("crtORD", ORDTube, 1, 18, true, "ORDER TANK");
    crtMULTR = MakeTube("crtMULTR", MULTRTube, 2, 18, true, "MULTIPLIER");
    crtMULTD = MakeTube("crtMULTD", MULTDTube, 2, 18, true, "MULTIPLICAND");
    crtACC = MakeTube("crtACC", ACCTube, 4, 18, true, "ACCUMULATOR");
    for (int N = 0; N < StoreRows; ++N)
        crtStores[static_cast<std::size_t>(N)] = MakeTube(QString("crtStore%1").arg(N), StoreRow(N), 2, 18, true,
                                                          QString("WORDS_%1-%2").arg(2 * N).arg(2 * N + 1));

    lblSCR = MakeLabel("lblSCR", "SCR", SCRCaption);
    lblORD = MakeLabel("lblORD", "Order Tank", ORDCaption);
    lblMULTR = MakeLabel("lblMULTR", "Multiplier", MULTRCaption);
    lblMULTD = MakeLabel("lblMULTD", "Multiplicand", MULTDCaption);
    lblACC = MakeLabel("lblACC", "Acc", ACCCaption);
}

void TEdsacForm::CreateClock()
{
    RealTimeClock = new TClockDisplay(this);
    RealTimeClock->setObjectName("RealTimeClock");
    RealTimeClock->setGeometry(PanelLayout::ClockFace);
    // The hour hand is a dot on the rim.
    const int Radius = PanelLayout::ClockFace.width() / 2;
    RealTimeClock->SetRadius(Radius);
    TClockHand* Hand = RealTimeClock->HourHand();
    Hand->SetRadius(Radius);
    Hand->SetWidth(1);
    Hand->SetColor(Qt::white);
    Hand->SetDrawAsDot(true);
    Hand = RealTimeClock->MinuteHand();
    Hand->SetRadius(13);
    Hand->SetWidth(2);
    Hand->SetColor(Qt::white);
    Hand = RealTimeClock->SecondHand();
    Hand->SetRadius(18);
    Hand->SetWidth(1);
    Hand->SetColor(Qt::red);
    RealTimeClock->SetHour(0);
    RealTimeClock->SetMinute(0);
    // A second the clock never shows: setting a hand to where it stands does
    // nothing, so the machine's first report of its clock, 0, is a change and
    // places and draws the second hand.
    RealTimeClock->SetSecond(-1);
    RealTimeClock->SetShowQuarters(true);
    RealTimeClock->SetShowHours(true);

    sbClock = new QToolButton(this);
    sbClock->setObjectName("sbClock");
    sbClock->setGeometry(PanelLayout::ClockZeroButton);
    sbClock->setToolTip("Zeroize Clock");
    sbClock->setFocusPolicy(Qt::NoFocus);
    sbClock->setCursor(Qt::PointingHandCursor);
    sbClock->setStyleSheet(
        "QToolButton { border: 1px solid #151515; border-radius: 3px;"
        " background: qradialgradient(cx:0.35, cy:0.3, radius:0.8, fx:0.35, fy:0.3,"
        " stop:0 #f2f2ea, stop:1 #6c6c66); }"
        "QToolButton:pressed { background: #77776f; }");
    connect(sbClock, &QToolButton::clicked, this, &TEdsacForm::ClockClicked);
}

void TEdsacForm::CreateTeleprinter()
{
    memoLabel = new QLabel(" Output From: No Program", this);
    memoLabel->setObjectName("memoLabel");
    memoLabel->setGeometry(PanelLayout::TeleprinterCaption);
    memoLabel->setAlignment(Qt::AlignCenter);
    memoLabel->setFont(PixelFont({"MS Sans Serif", "Helvetica"}, 13, true));
    memoLabel->setAutoFillBackground(true);
    SetColour(memoLabel, QPalette::Window, QColor(0, 0, 0x80));
    SetColour(memoLabel, QPalette::WindowText,
              QApplication::palette().color(QPalette::Disabled, QPalette::HighlightedText));

    TeletypeMemo = new QPlainTextEdit(this);
    TeletypeMemo->setObjectName("TeletypeMemo");
    TeletypeMemo->setGeometry(PanelLayout::TeleprinterPaper);
    TeletypeMemo->setReadOnly(true);
    QFont Courier = PixelFont({"adobe-courier", "Courier", "Nimbus Mono PS"}, 13, false, QFont::TypeWriter);
    Courier.setFixedPitch(true);
    TeletypeMemo->setFont(Courier);
    TeletypeMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    TeletypeMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Teleprinter lines can be wider than the pane; keep them reachable.
    TeletypeMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TeletypeMemo->setTabChangesFocus(false);
    // Teleprinter paper; the 5-pixel left margin keeps the type off the edge.
    TeletypeMemo->setStyleSheet("QPlainTextEdit { background: #fbf8ec; color: black; border: 1px solid #101010;"
                                " padding-left: 5px; }");
}

void TEdsacForm::CreateLongTankSelector()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(PanelLayout::LongTankPanel);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    SetColour(Panel1, QPalette::Window, Silver);
    lblLongTank = new QLabel("Long Tank", Panel1);
    lblLongTank->setObjectName("lblLongTank");
    lblLongTank->setGeometry(PanelLayout::LongTankCaption);
    lblLongTank->setFont(PixelFont({"Arial", "Helvetica"}, 13, true));
    // The spin box starts where the label ends: leave the caption a little air.
    FitFont(lblLongTank, lblLongTank->text(), lblLongTank->width() - LongTankAir);

    LTSpinEdit = new QSpinBox(this);
    LTSpinEdit->setObjectName("LTSpinEdit");
    LTSpinEdit->setGeometry(PanelLayout::LongTankSpin);
    LTSpinEdit->setRange(0, 31);
    LTSpinEdit->setValue(0);
    connect(LTSpinEdit, &QSpinBox::valueChanged, this, &TEdsacForm::LongTankChanged);

    cbShortTanks = new QCheckBox("Short Tanks", this);
    cbShortTanks->setObjectName("cbShortTanks");
    cbShortTanks->setGeometry(PanelLayout::ShortTanksSwitch);
    cbShortTanks->setChecked(true);
    cbShortTanks->setFont(PixelFont({"Arial", "Helvetica"}, 12, true));
    FitFont(cbShortTanks, cbShortTanks->text(), cbShortTanks->width() - 22);
    cbShortTanks->setAutoFillBackground(true);
    SetColour(cbShortTanks, QPalette::Window, Silver);
    SetColour(cbShortTanks, QPalette::WindowText, Qt::black);
    connect(cbShortTanks, &QCheckBox::clicked, this, &TEdsacForm::ShortTanksClicked);
}

void TEdsacForm::CreateRunTimer()
{
    CoreExecTimer = new TRunTimer(this);
    CoreExecTimer->setObjectName("CoreExecTimer");
    CoreExecTimer->setInterval(1);
    connect(CoreExecTimer, &TRunTimer::timeout, this, &TEdsacForm::CoreExecTimerTimer);
}

TCRTDisplay* TEdsacForm::MakeTube(const QString& Name, const QRect& Where, int Count, int Size, bool HideFirst,
                                  const QString& FullName)
{
    auto* Tube = new TCRTDisplay(this);
    Tube->setObjectName(Name);
    Tube->SetWordCount(Count);
    Tube->SetWordSize(Size);
    Tube->SetSpacing(1);
    Tube->SetHideFirstBit(HideFirst);
    Tube->SetFullName(FullName);
    // The tube sizes itself from its words; the layout's rectangle is the slot it fills.
    Tube->move(Where.topLeft());
    return Tube;
}

QPushButton* TEdsacForm::MakeButton(const QString& Name, const QString& Caption, const QRect& Where,
                                    const QString& Family, const QColor& Color)
{
    auto* Button = new QPushButton(Caption, this);
    Button->setObjectName(Name);
    Button->setGeometry(Where);
    // Speed buttons: pressing one leaves the keyboard focus where it was.
    Button->setFocusPolicy(Qt::NoFocus);
    Button->setFont(PixelFont({Family, "Helvetica"}, 10, false));
    FitFont(Button, Caption, Where.width() - 4);
    Button->setStyleSheet(QString(ButtonStyle) + QString("QPushButton { color: %1; }").arg(Color.name()));
    return Button;
}

QLabel* TEdsacForm::MakeLabel(const QString& Name, const QString& Caption, const QRect& Where)
{
    auto* Label = new QLabel(Caption, this);
    Label->setObjectName(Name);
    Label->setGeometry(Where);
    Label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label->setFont(PixelFont({"Arial", "Helvetica"}, 12, true));
    FitFont(Label, Caption, Where.width());
    SetColour(Label, QPalette::WindowText, Qt::black);
    return Label;
}

void TEdsacForm::UpdateClockDisplay(std::uint32_t Time)
{
    const std::uint32_t Seconds = Time / 10000u;
    RealTimeClock->SetSecond(static_cast<int>(Seconds % 60u));
    RealTimeClock->SetMinute(static_cast<int>((Seconds / 60u) % 60u));
    RealTimeClock->SetHour(static_cast<int>((Seconds / 3600u) % 12u));
}

void TEdsacForm::SetTapeName(const QString& Name)
{
    memoLabel->setText("Output From: " + Name);
}

void TEdsacForm::CoreExecTimerTimer()
{
    CoreExecTimer->stop();
    // With nothing to drive it the machine cannot go on.
    if (ExecuteStep && ExecuteStep() == TStepResult::srRunning)
        CoreExecTimer->start();
}

void TEdsacForm::closeEvent(QCloseEvent* Event)
{
    // The close box reaches us from the window system and is refused. A close
    // from the program itself is let through: the toolkit closes every window
    // when the application quits, and a refusal there would cancel the quit.
    if (Event->spontaneous())
        Event->ignore();
    else
        Event->accept();
}

bool TEdsacForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Image1 && Event->type() == QEvent::MouseMove)
        emit PanelMouseMoved();
    return QWidget::eventFilter(Watched, Event);
}

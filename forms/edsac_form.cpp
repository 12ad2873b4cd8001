#include "forms/edsac_form.h"

#include "forms/RunTimer.h"

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

constexpr int FormWidth = 511;
constexpr int FormHeight = 320;
constexpr int LongTankAir = 5;

// Dial holes 0..9: left and top.
constexpr int DialHoles[10][2] = {{457, 299}, {483, 267}, {478, 254}, {467, 246}, {453, 243},
                                  {439, 249}, {430, 260}, {428, 273}, {433, 286}, {443, 295}};

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
    setFixedSize(FormWidth, FormHeight);

    // Created first so that everything else lies on top of it.
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, FormWidth, FormHeight);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap::fromImage(PanelArt::PanelPicture()));
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);

    // Lets the mouse through to the panel, so the hint clears between store rows.
    Shape1 = new TEllipseShape(this);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(4, 4, 229, 225);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    btnClear = MakeButton("btnClear", "Clear", QRect(264, 165, 55, 16), "helvetica", Qt::black);
    btnStart = MakeButton("btnStart", "Start", QRect(264, 185, 55, 16), "helvetica narrow", Qt::black);
    btnStop = MakeButton("btnStop", "Stop", QRect(334, 185, 55, 16), "helvetica narrow", QColor(0x80, 0, 0));
    btnReset = MakeButton("btnReset", "Reset", QRect(334, 165, 55, 16), "helvetica narrow", Qt::black);
    btnSingleEP =
        MakeButton("btnSingleEP", "Single E.P", QRect(294, 205, 73, 16), "helvetica narrow", Qt::black);
    connect(btnClear, &QPushButton::clicked, this, &TEdsacForm::ClearClicked);
    connect(btnStart, &QPushButton::clicked, this, &TEdsacForm::StartClicked);
    connect(btnStop, &QPushButton::clicked, this, &TEdsacForm::StopClicked);
    connect(btnReset, &QPushButton::clicked, this, &TEdsacForm::ResetClicked);
    connect(btnSingleEP, &QPushButton::clicked, this, &TEdsacForm::SingleEPClicked);

    sbClock = new QToolButton(this);
    sbClock->setObjectName("sbClock");
    sbClock->setGeometry(497, 216, 8, 9);
    sbClock->setToolTip("Zeroize Clock");
    sbClock->setFocusPolicy(Qt::NoFocus);
    sbClock->setCursor(Qt::PointingHandCursor);
    sbClock->setStyleSheet(
        "QToolButton { border: 1px solid #151515; border-radius: 3px;"
        " background: qradialgradient(cx:0.35, cy:0.3, radius:0.8, fx:0.35, fy:0.3,"
        " stop:0 #f2f2ea, stop:1 #6c6c66); }"
        "QToolButton:pressed { background: #77776f; }");
    connect(sbClock, &QToolButton::clicked, this, &TEdsacForm::ClockClicked);

    for (int Digit = 0; Digit < 10; ++Digit) {
        auto* Hole = new TDialHole(this);
        Hole->setObjectName(QString("sbDial%1").arg(Digit));
        Hole->setGeometry(DialHoles[Digit][0], DialHoles[Digit][1], 12, 12);
        const int Dialled = Digit == 0 ? 10 : Digit;
        connect(Hole, &QAbstractButton::clicked, this, [this, Dialled] { emit DialClicked(Dialled); });
        sbDial[static_cast<std::size_t>(Digit)] = Hole;
    }

    crtSCR = MakeTube("crtSCR", 13, 244, 1, 10, false, "SEQUENCE CONTROL REGISTER");
    crtORD = MakeTube("crtORD", 103, 244, 1, 18, true, "ORDER TANK");
    crtMULTR = MakeTube("crtMULTR", 13, 264, 2, 18, true, "MULTIPLIER");
    crtMULTD = MakeTube("crtMULTD", 13, 284, 2, 18, true, "MULTIPLICAND");
    crtACC = MakeTube("crtACC", 13, 304, 4, 18, true, "ACCUMULATOR");
    for (int N = 0; N < 16; ++N)
        crtStores[static_cast<std::size_t>(N)] =
            MakeTube(QString("crtStore%1").arg(N), 30, 180 - 9 * N, 2, 18, true,
                     QString("WORDS_%1-%2").arg(2 * N).arg(2 * N + 1));

    RealTimeClock = new TClockDisplay(this);
    RealTimeClock->setObjectName("RealTimeClock");
    RealTimeClock->setGeometry(424, 160, 64, 64);
    RealTimeClock->SetRadius(32);
    TClockHand* Hand = RealTimeClock->HourHand();
    Hand->SetRadius(32);
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
    RealTimeClock->SetSecond(-1);
    RealTimeClock->SetShowQuarters(true);
    RealTimeClock->SetShowHours(true);

    memoLabel = new QLabel(" Output From: No Program", this);
    memoLabel->setObjectName("memoLabel");
    memoLabel->setGeometry(241, 3, 269, 19);
    memoLabel->setAlignment(Qt::AlignCenter);
    memoLabel->setFont(PixelFont({"MS Sans Serif", "Helvetica"}, 13, true));
    memoLabel->setAutoFillBackground(true);
    {
        QPalette Pal = memoLabel->palette();
        Pal.setColor(QPalette::Window, QColor(0, 0, 0x80));
        Pal.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::Disabled,
                                                                            QPalette::HighlightedText));
        memoLabel->setPalette(Pal);
    }

    TeletypeMemo = new QPlainTextEdit(this);
    TeletypeMemo->setObjectName("TeletypeMemo");
    TeletypeMemo->setGeometry(240, 20, 270, 130);
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

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(277, 242, 126, 30);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    {
        QPalette Pal = Panel1->palette();
        Pal.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
        Panel1->setPalette(Pal);
    }
    lblLongTank = new QLabel("Long Tank", Panel1);
    lblLongTank->setObjectName("lblLongTank");
    lblLongTank->setGeometry(8, 5, 68, 20);
    lblLongTank->setFont(PixelFont({"Arial", "Helvetica"}, 13, true));
    // The spin box starts where the label ends: leave the caption a little air.
    FitFont(lblLongTank, lblLongTank->text(), lblLongTank->width() - LongTankAir);

    LTSpinEdit = new QSpinBox(this);
    LTSpinEdit->setObjectName("LTSpinEdit");
    LTSpinEdit->setGeometry(353, 246, 44, 22);
    LTSpinEdit->setRange(0, 31);
    LTSpinEdit->setValue(0);
    connect(LTSpinEdit, &QSpinBox::valueChanged, this, &TEdsacForm::LongTankChanged);

    cbShortTanks = new QCheckBox("Short Tanks", this);
    cbShortTanks->setObjectName("cbShortTanks");
    cbShortTanks->setGeometry(293, 279, 105, 17);
    cbShortTanks->setChecked(true);
    cbShortTanks->setFont(PixelFont({"Arial", "Helvetica"}, 12, true));
    FitFont(cbShortTanks, cbShortTanks->text(), cbShortTanks->width() - 22);
    cbShortTanks->setAutoFillBackground(true);
    {
        QPalette Pal = cbShortTanks->palette();
        Pal.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
        Pal.setColor(QPalette::WindowText, Qt::black);
        cbShortTanks->setPalette(Pal);
    }
    connect(cbShortTanks, &QCheckBox::clicked, this, &TEdsacForm::ShortTanksClicked);

    lblSCR = MakeLabel("lblSCR", "SCR", QRect(68, 237, 26, 20));
    lblORD = MakeLabel("lblORD", "Order Tank", QRect(194, 237, 67, 20));
    lblMULTR = MakeLabel("lblMULTR", "Multiplier", QRect(194, 257, 54, 20));
    lblMULTD = MakeLabel("lblMULTD", "Multiplicand", QRect(194, 277, 70, 20));
    lblACC = MakeLabel("lblACC", "Acc", QRect(376, 297, 22, 20));

    CoreExecTimer = new TRunTimer(this);
    CoreExecTimer->setObjectName("CoreExecTimer");
    CoreExecTimer->setInterval(1);
    connect(CoreExecTimer, &TRunTimer::timeout, this, &TEdsacForm::CoreExecTimerTimer);

    setTabOrder(LTSpinEdit, TeletypeMemo);
    setTabOrder(TeletypeMemo, cbShortTanks);
    LTSpinEdit->setFocus();

    RealTimeClock->SetHour(0);
    RealTimeClock->SetMinute(0);
    RealTimeClock->SetSecond(0);
    TeletypeMemo->clear();
}

TEdsacForm::~TEdsacForm() = default;

TCRTDisplay* TEdsacForm::MakeTube(const QString& Name, int Left, int Top, int Count, int Size, bool HideFirst,
                                  const QString& FullName)
{
    auto* Tube = new TCRTDisplay(this);
    Tube->setObjectName(Name);
    Tube->SetWordCount(Count);
    Tube->SetWordSize(Size);
    Tube->SetSpacing(1);
    Tube->SetHideFirstBit(HideFirst);
    Tube->SetFullName(FullName);
    Tube->move(Left, Top);
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
    QPalette Pal = Label->palette();
    Pal.setColor(QPalette::WindowText, Qt::black);
    Label->setPalette(Pal);
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
    const int Result = ExecuteStep ? ExecuteStep() : 2;
    if (Result == 0)
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

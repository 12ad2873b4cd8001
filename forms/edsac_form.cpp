#include "forms/edsac_form.h"

#include "kit/RunTimer.h"
#include "forms/panel_art.h"
#include "forms/panel_layout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <iterator>

#include "components/AccessibleValue.h"
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

QFont PixelFont(const QStringList& Families, int PixelSize, bool Bold, QFont::StyleHint Hint = QFont::SansSerif)
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
QPushButton:focus { border: 2px solid #1d5fd8; }
)";

// A panel control's name and description as assistive technology reads them.
void Describe(QWidget* Widget, const QString& Name, const QString& Description)
{
    Widget->setAccessibleName(Name);
    Widget->setAccessibleDescription(Description);
}

QString Count(int N, const char* Unit)
{
    return QStringLiteral("%1 %2%3").arg(N).arg(QLatin1String(Unit)).arg(N == 1 ? "" : "s");
}

// The description a button had before its keys were added to it.
const char* const PlainDescription = "PlainDescription";

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

    // The panel's buttons first, then the selectors and the paper.
    QWidget* Chain[] = {findChild<QWidget*>("btnClear"),
                        findChild<QWidget*>("btnStart"),
                        findChild<QWidget*>("btnStop"),
                        findChild<QWidget*>("btnReset"),
                        findChild<QWidget*>("btnSingleEP"),
                        findChild<QWidget*>("sbClock"),
                        FLongTank,
                        FTeleprinter,
                        FShortTanks};
    for (std::size_t I = 1; I < std::size(Chain); ++I)
        setTabOrder(Chain[I - 1], Chain[I]);
    FLongTank->setFocus();
    // Whichever control has the focus, the digit keys dial.
    installEventFilter(this);
    for (QWidget* Child : findChildren<QWidget*>())
        Child->installEventFilter(this);

    FClock->SetHour(0);
    FClock->SetMinute(0);
    FClock->SetSecond(0);
    FTeleprinter->clear();
}

TEdsacForm::~TEdsacForm() = default;

void TEdsacForm::CreatePanel()
{
    FPicture = new QLabel(this);
    FPicture->setObjectName("Image1");
    FPicture->setGeometry(QRect(QPoint(0, 0), PanelLayout::Client));
    FPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FPicture->setPixmap(QPixmap::fromImage(PanelArt::PanelPicture()));
    FPicture->setMouseTracking(true);
    FPicture->installEventFilter(this);

    // Lets the mouse through to the panel, so the hint clears between store rows.
    QWidget* Face = new TEllipseShape(this);
    Face->setObjectName("Shape1");
    Face->setGeometry(PanelLayout::TubeFace);
    Face->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TEdsacForm::CreateButtons()
{
    using namespace PanelLayout;
    const struct {
        const char* Name;
        const char* Caption;
        QRect Where;
        const char* Family;
        QColor Color;
        void (TEdsacForm::*Clicked)();
        const char* Description;
    } Buttons[] = {
        {"btnClear", "Clear", ClearButton, "helvetica", Qt::black, &TEdsacForm::ClearClicked,
         "Clears the store and the registers and rewinds the current tape"},
        {"btnStart", "Start", StartButton, "helvetica narrow", Qt::black, &TEdsacForm::StartClicked,
         "Clears the machine, loads the Initial Orders and runs them on the current tape"},
        {"btnStop", "Stop", StopButton, "helvetica narrow", QColor(0x80, 0, 0), &TEdsacForm::StopClicked,
         "Stops the machine"},
        {"btnReset", "Reset", ResetButton, "helvetica narrow", Qt::black, &TEdsacForm::ResetClicked,
         "Lets the stopped machine go on"},
        {"btnSingleEP", "Single E.P", SingleEPButton, "helvetica narrow", Qt::black, &TEdsacForm::SingleEPClicked,
         "Carries out one order"},
    };
    for (const auto& B : Buttons)
        connect(MakeButton(B.Name, B.Caption, B.Where, B.Family, B.Color, QString::fromLatin1(B.Description)),
                &QPushButton::clicked, this, B.Clicked);
}

void TEdsacForm::CreateDial()
{
    for (int Digit = 0; Digit < 10; ++Digit) {
        auto* Hole = new TDialHole(this);
        Hole->setObjectName(QString("sbDial%1").arg(Digit));
        Hole->setGeometry(PanelLayout::DialHole(Digit));
        Describe(Hole, QStringLiteral("Dial %1").arg(Digit),
                 QStringLiteral("Dials %1 for the program waiting to read a number; so does the key %1").arg(Digit));
        FDial[static_cast<std::size_t>(Digit)] = Hole;
        const int Dialled = Digit == 0 ? 10 : Digit;
        connect(Hole, &QAbstractButton::clicked, this, [this, Dialled] { emit DialClicked(Dialled); });
    }
}

void TEdsacForm::CreateTubes()
{
    using namespace PanelLayout;
    Describe(
        MakeTube("crtSCR", SCRTube, 1, AddressBits, false, "SEQUENCE CONTROL REGISTER", TRegister::rgSequenceControl),
        "Sequence control register", "The location of the next order");
    Describe(MakeTube("crtORD", ORDTube, 1, WordBits, true, "ORDER TANK", TRegister::rgOrderTank), "Order tank",
             "The order being carried out");
    Describe(MakeTube("crtMULTR", MULTRTube, 2, WordBits, true, "MULTIPLIER", TRegister::rgMultiplier), "Multiplier",
             "The multiplier register, a long number");
    Describe(MakeTube("crtMULTD", MULTDTube, 2, WordBits, true, "MULTIPLICAND", TRegister::rgMultiplicand),
             "Multiplicand", "The multiplicand register, a long number");
    Describe(MakeTube("crtACC", ACCTube, 4, WordBits, true, "ACCUMULATOR", TRegister::rgAccumulator), "Accumulator",
             "The accumulator, where sums and products are formed");
    for (int N = 0; N < StoreRows; ++N)
        Describe(MakeTube(QString("crtStore%1").arg(N), StoreRow(N), 2, WordBits, true,
                          QString("WORDS_%1-%2").arg(2 * N).arg(2 * N + 1), std::nullopt, N),
                 QStringLiteral("Store row %1").arg(N + 1),
                 QStringLiteral("Words %1 and %2 of the long tank on view, counted from the bottom row")
                     .arg(2 * N)
                     .arg(2 * N + 1));

    MakeLabel("lblSCR", "SCR", SCRCaption);
    MakeLabel("lblORD", "Order Tank", ORDCaption);
    MakeLabel("lblMULTR", "Multiplier", MULTRCaption);
    MakeLabel("lblMULTD", "Multiplicand", MULTDCaption);
    MakeLabel("lblACC", "Acc", ACCCaption);
}

void TEdsacForm::CreateClock()
{
    FClock = new TClockDisplay(this);
    FClock->setObjectName("RealTimeClock");
    FClock->setGeometry(PanelLayout::ClockFace);
    // The hour hand is a dot on the rim.
    const int Radius = PanelLayout::ClockFace.width() / 2;
    FClock->SetRadius(Radius);
    TClockHand* Hand = FClock->HourHand();
    Hand->SetRadius(Radius);
    Hand->SetWidth(1);
    Hand->SetColor(Qt::white);
    Hand->SetDrawAsDot(true);
    Hand = FClock->MinuteHand();
    Hand->SetRadius(13);
    Hand->SetWidth(2);
    Hand->SetColor(Qt::white);
    Hand = FClock->SecondHand();
    Hand->SetRadius(18);
    Hand->SetWidth(1);
    Hand->SetColor(Qt::red);
    FClock->SetHour(0);
    FClock->SetMinute(0);
    // A second the clock never shows: setting a hand to where it stands does
    // nothing, so the machine's first report of its clock, 0, is a change and
    // places and draws the second hand.
    FClock->SetSecond(-1);
    FClock->SetShowQuarters(true);
    FClock->SetShowHours(true);
    Describe(FClock, "Clock", "Machine time: how long the real machine would have taken, on a twelve-hour face");
    AccessibleValue::SetReader(FClock, [this] {
        return Count(std::max(FClock->Hour(), 0), "hour") + QStringLiteral(", ") +
               Count(std::max(FClock->Minute(), 0), "minute") + QStringLiteral(", ") +
               Count(std::max(FClock->Second(), 0), "second");
    });

    auto* ZeroButton = new QToolButton(this);
    ZeroButton->setObjectName("sbClock");
    ZeroButton->setGeometry(PanelLayout::ClockZeroButton);
    ZeroButton->setToolTip("Zeroize Clock");
    Describe(ZeroButton, "Zeroize Clock", "Sets the clock back to 0");
    ZeroButton->setFocusPolicy(Qt::TabFocus);
    ZeroButton->setCursor(Qt::PointingHandCursor);
    ZeroButton->setStyleSheet("QToolButton { border: 1px solid #151515; border-radius: 3px;"
                              " background: qradialgradient(cx:0.35, cy:0.3, radius:0.8, fx:0.35, fy:0.3,"
                              " stop:0 #f2f2ea, stop:1 #6c6c66); }"
                              "QToolButton:pressed { background: #77776f; }"
                              "QToolButton:focus { border: 2px solid #1d5fd8; }");
    connect(ZeroButton, &QToolButton::clicked, this, &TEdsacForm::ClockClicked);
}

void TEdsacForm::CreateTeleprinter()
{
    FTapeCaption = new QLabel(" Output From: No Program", this);
    FTapeCaption->setObjectName("memoLabel");
    FTapeCaption->setGeometry(PanelLayout::TeleprinterCaption);
    FTapeCaption->setAlignment(Qt::AlignCenter);
    FTapeCaption->setFont(PixelFont({"MS Sans Serif", "Helvetica"}, 13, true));
    FTapeCaption->setAutoFillBackground(true);
    SetColour(FTapeCaption, QPalette::Window, QColor(0, 0, 0x80));
    SetColour(FTapeCaption, QPalette::WindowText,
              QApplication::palette().color(QPalette::Disabled, QPalette::HighlightedText));

    FTeleprinter = new QPlainTextEdit(this);
    FTeleprinter->setObjectName("TeletypeMemo");
    FTeleprinter->setGeometry(PanelLayout::TeleprinterPaper);
    FTeleprinter->setReadOnly(true);
    Describe(FTeleprinter, "Teleprinter", "What the machine has printed, one line of paper a line");
    QFont Courier = PixelFont({"adobe-courier", "Courier", "Nimbus Mono PS"}, 13, false, QFont::TypeWriter);
    Courier.setFixedPitch(true);
    FTeleprinter->setFont(Courier);
    FTeleprinter->setLineWrapMode(QPlainTextEdit::NoWrap);
    FTeleprinter->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Teleprinter lines can be wider than the pane; keep them reachable.
    FTeleprinter->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FTeleprinter->setTabChangesFocus(false);
    // Teleprinter paper; the 5-pixel left margin keeps the type off the edge.
    FTeleprinter->setStyleSheet("QPlainTextEdit { background: #fbf8ec; color: black; border: 1px solid #101010;"
                                " padding-left: 5px; }");
}

void TEdsacForm::CreateLongTankSelector()
{
    auto* Inset = new QFrame(this);
    Inset->setObjectName("Panel1");
    Inset->setGeometry(PanelLayout::LongTankPanel);
    Inset->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Inset->setAutoFillBackground(true);
    SetColour(Inset, QPalette::Window, Silver);
    auto* Caption = new QLabel("Long Tank", Inset);
    Caption->setObjectName("lblLongTank");
    Caption->setGeometry(PanelLayout::LongTankCaption);
    Caption->setFont(PixelFont({"Arial", "Helvetica"}, 13, true));
    // The spin box starts where the label ends: leave the caption a little air.
    FitFont(Caption, Caption->text(), Caption->width() - LongTankAir);

    FLongTank = new QSpinBox(this);
    FLongTank->setObjectName("LTSpinEdit");
    FLongTank->setGeometry(PanelLayout::LongTankSpin);
    FLongTank->setRange(0, LongTanks - 1);
    FLongTank->setValue(0);
    Describe(FLongTank, "Long tank", "Which long tank of the store the store rows show");
    connect(FLongTank, &QSpinBox::valueChanged, this, &TEdsacForm::LongTankChanged);

    FShortTanks = new QCheckBox("Short Tanks", this);
    FShortTanks->setObjectName("cbShortTanks");
    FShortTanks->setGeometry(PanelLayout::ShortTanksSwitch);
    FShortTanks->setChecked(true);
    FShortTanks->setFont(PixelFont({"Arial", "Helvetica"}, 12, true));
    FitFont(FShortTanks, FShortTanks->text(), FShortTanks->width() - 22);
    FShortTanks->setAutoFillBackground(true);
    SetColour(FShortTanks, QPalette::Window, Silver);
    SetColour(FShortTanks, QPalette::WindowText, Qt::black);
    connect(FShortTanks, &QCheckBox::clicked, this, &TEdsacForm::ShortTanksClicked);
    connect(FShortTanks, &QCheckBox::toggled, this, &TEdsacForm::ShortTanksChanged);
}

void TEdsacForm::CreateRunTimer()
{
    CoreExecTimer = new TRunTimer(this);
    CoreExecTimer->setObjectName("CoreExecTimer");
    CoreExecTimer->setInterval(1);
    connect(CoreExecTimer, &TRunTimer::timeout, this, &TEdsacForm::CoreExecTimerTimer);
}

TCRTDisplay* TEdsacForm::MakeTube(const QString& Name, const QRect& Where, int Count, int Size, bool HideFirst,
                                  const QString& FullName, std::optional<TRegister> Register, int Row)
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
    // A store tube is known by its row, fixed here, whatever it is called later.
    Tube->SetOnHint([this, Register, Row](TCRTDisplay* Sender, TWords Words, int Index) {
        if (FHintHandler)
            FHintHandler({Register, Row, Sender->FullName(), Words, Index});
    });
    AccessibleValue::SetReader(Tube, [this, Tube, Register, Row] {
        return FTubeReader ? FTubeReader(Register, Row, Tube->Words()) : QString();
    });
    if (Register)
        FRegisters[static_cast<std::size_t>(*Register)] = Tube;
    else
        FStores[static_cast<std::size_t>(Row)] = Tube;
    return Tube;
}

QPushButton* TEdsacForm::MakeButton(const QString& Name, const QString& Caption, const QRect& Where,
                                    const QString& Family, const QColor& Color, const QString& Description)
{
    auto* Button = new QPushButton(Caption, this);
    Button->setObjectName(Name);
    Button->setGeometry(Where);
    Describe(Button, Caption, Description);
    Button->setProperty(PlainDescription, Description);
    // Reached by Tab; a click with the mouse leaves the keyboard focus where it was.
    Button->setFocusPolicy(Qt::TabFocus);
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

void TEdsacForm::ShowRegister(TRegister Register, TWords Words)
{
    FRegisters[static_cast<std::size_t>(Register)]->SetWords(Words, false);
}

void TEdsacForm::ShowStoreRow(int Row, TWords Words)
{
    FStores[static_cast<std::size_t>(Row)]->SetWords(Words, false);
}

void TEdsacForm::ShowStoreWord(int Row, int Column, TWord Value)
{
    FStores[static_cast<std::size_t>(Row)]->SetWord(Column, Value);
}

int TEdsacForm::LongTank() const
{
    return FLongTank->value();
}

bool TEdsacForm::ShortTanks() const
{
    return FShortTanks->isChecked();
}

void TEdsacForm::UpdateClockDisplay(std::uint32_t Time)
{
    const std::uint32_t Seconds = Time / 10000u;
    FClock->SetSecond(static_cast<int>(Seconds % 60u));
    FClock->SetMinute(static_cast<int>((Seconds / 60u) % 60u));
    FClock->SetHour(static_cast<int>((Seconds / 3600u) % 12u));
}

bool TEdsacForm::ClockShowsTime() const
{
    return FClock->Hour() != 0 || FClock->Minute() != 0 || FClock->Second() != 0;
}

void TEdsacForm::SetTapeName(const QString& Name)
{
    FTapeCaption->setText("Output From: " + Name);
}

void TEdsacForm::AppendTeleprinter(const QString& Text)
{
    QTextCursor Cursor(FTeleprinter->document());
    Cursor.movePosition(QTextCursor::End);
    Cursor.insertText(Text);
    FTeleprinter->moveCursor(QTextCursor::End);
}

void TEdsacForm::ClearTeleprinter()
{
    FTeleprinter->clear();
}

int TEdsacForm::TeleprinterLength() const
{
    return FTeleprinter->document()->characterCount() - 1;
}

void TEdsacForm::ChopTeleprinter(int Count)
{
    QTextCursor Cursor(FTeleprinter->document());
    Cursor.movePosition(QTextCursor::End);
    Cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, std::min(Count, Cursor.position()));
    Cursor.removeSelectedText();
}

QStringList TEdsacForm::TeleprinterLines() const
{
    QStringList Lines;
    for (QTextBlock Block = FTeleprinter->document()->begin(); Block.isValid(); Block = Block.next())
        Lines << Block.text();
    return Lines;
}

void TEdsacForm::SetHintHandler(std::function<void(const TTubeHint&)> Handler)
{
    FHintHandler = std::move(Handler);
}

void TEdsacForm::ShowHintPointer(bool On)
{
    const Qt::CursorShape Shape = On ? Qt::UpArrowCursor : Qt::ArrowCursor;
    for (TCRTDisplay* Tube : FRegisters)
        Tube->setCursor(Shape);
    for (TCRTDisplay* Tube : FStores)
        Tube->setCursor(Shape);
}

void TEdsacForm::SetTubeReader(std::function<QString(std::optional<TRegister>, int, TWords)> Reader)
{
    FTubeReader = std::move(Reader);
}

void TEdsacForm::SetButtonKeys(const char* Button, const QKeySequence& Keys)
{
    auto* Found = findChild<QPushButton*>(QString::fromLatin1(Button));
    if (!Found)
        return;
    const QString Shown = Keys.toString(QKeySequence::NativeText);
    Found->setToolTip(QStringLiteral("%1 (%2)").arg(Found->text(), Shown));
    Found->setAccessibleDescription(
        QStringLiteral("%1. Key: %2").arg(Found->property(PlainDescription).toString(), Shown));
}

bool TEdsacForm::DialKey(const QKeyEvent* Key)
{
    if ((Key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const int Digit = Key->key() - Qt::Key_0;
    if (Digit < 0 || Digit > 9)
        return false;
    // A held key dials once, as a finger would.
    if (Key->isAutoRepeat())
        return true;
    TDialHole* Hole = FDial[static_cast<std::size_t>(Digit)];
    Hole->click();
    // The hole shows itself pressed for a moment, so the eye sees what was dialled.
    Hole->setDown(true);
    QTimer::singleShot(150, Hole, [Hole] { Hole->setDown(false); });
    return true;
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
    if (Watched == FPicture && Event->type() == QEvent::MouseMove)
        emit PanelMouseMoved();
    if (Event->type() == QEvent::KeyPress && DialKey(static_cast<QKeyEvent*>(Event)))
        return true;
    return QWidget::eventFilter(Watched, Event);
}

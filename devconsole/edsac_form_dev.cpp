#include "devconsole/edsac_form_dev.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "components/CRTDisplay.h"

namespace {

TCRTDisplay* MakeTube(QWidget* Parent, const QString& Name, QPoint Where, int Count, int Size, bool HideFirst,
                      const QString& FullName)
{
    auto* Tube = new TCRTDisplay(Parent);
    Tube->setObjectName(Name);
    Tube->SetSpacing(2);
    Tube->SetWordSize(Size);
    Tube->SetHideFirstBit(HideFirst);
    Tube->SetWordCount(Count);
    Tube->SetFullName(FullName);
    Tube->move(Where);
    return Tube;
}

QLabel* MakeLabel(QWidget* Parent, const QString& Name, const QString& Caption, QPoint Where)
{
    auto* Label = new QLabel(Caption, Parent);
    Label->setObjectName(Name);
    Label->adjustSize();
    Label->move(Where);
    return Label;
}

} // namespace

TEdsacFormDev::TEdsacFormDev(QWidget* Parent) : QWidget(Parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Edsac Monitor"));
    setObjectName(QStringLiteral("EdsacFormDev"));

    auto* Registers = new QGroupBox(QStringLiteral("Internal registers"), this);
    Registers->setGeometry(4, 2, 530, 118);
    // Each tube sits to the right of its label, 20 pixels per register line.
    constexpr int TubeX = 70;
    const auto Register = [&](TRegister Shown, TCRTDisplay* Display) {
        FRegisters[static_cast<std::size_t>(Shown)] = Display;
        return Display;
    };
    MakeLabel(Registers, QStringLiteral("lblSCR"), QStringLiteral("SCR:"), {10, 22});
    // The sequence control register counts to 1023: ten bits, all shown.
    Register(TRegister::rgSequenceControl, MakeTube(Registers, QStringLiteral("crtSCR"), {TubeX, 26}, 1, AddressBits,
                                                    false, QStringLiteral("SEQUENCE CONTROL REGISTER")));
    MakeLabel(Registers, QStringLiteral("lblORD0"), QStringLiteral("ORD:"), {10, 42});
    TCRTDisplay* Order = Register(TRegister::rgOrderTank, MakeTube(Registers, QStringLiteral("crtORD"), {TubeX, 46}, 1,
                                                                   WordBits, true, QStringLiteral("ORDER TANK")));
    FOrderText = MakeLabel(Registers, QStringLiteral("lblORD"), QString(), {TubeX + Order->width() + 16, 42});
    FOrderText->setMinimumWidth(120);
    FOrderText->resize(160, FOrderText->height());
    MakeLabel(Registers, QStringLiteral("lblMULTR"), QStringLiteral("MULTR:"), {10, 62});
    Register(TRegister::rgMultiplier, MakeTube(Registers, QStringLiteral("crtMULTR"), {TubeX, 66}, 2, WordBits, true,
                                               QStringLiteral("MULTIPLIER")));
    MakeLabel(Registers, QStringLiteral("lblMULTD"), QStringLiteral("MULTD:"), {10, 82});
    Register(TRegister::rgMultiplicand, MakeTube(Registers, QStringLiteral("crtMULTD"), {TubeX, 86}, 2, WordBits, true,
                                                 QStringLiteral("MULTIPLICAND")));
    MakeLabel(Registers, QStringLiteral("lblACC"), QStringLiteral("ACC:"), {10, 102});
    Register(TRegister::rgAccumulator, MakeTube(Registers, QStringLiteral("crtACC"), {TubeX, 106}, 4, WordBits, true,
                                                QStringLiteral("ACCUMULATOR")));

    auto* Store = new QGroupBox(QStringLiteral("Store Contents"), this);
    Store->setGeometry(4, 122, 250, 181);
    MakeLabel(Store, QStringLiteral("lblLongTank"), QStringLiteral("Long Tank"), {12, 24});
    FLongTank = new QSpinBox(Store);
    FLongTank->setObjectName(QStringLiteral("SpinEdit1"));
    FLongTank->setRange(0, LongTanks - 1);
    FLongTank->setValue(1);
    FLongTank->setGeometry(90, 18, 60, 22);
    FLongTank->installEventFilter(this);
    connect(FLongTank, &QSpinBox::valueChanged, this, &TEdsacFormDev::LongTankChanged);
    // Row 0 is the lowest; each further row lies one tube height (8 pixels) higher.
    constexpr int Row0Top = 166;
    for (int Row = 0; Row < LongTankRows; ++Row)
        FStores[static_cast<std::size_t>(Row)] = MakeTube(Store, QStringLiteral("CRTDisplay%1").arg(Row + 1),
                                                          {18, Row0Top - 8 * Row}, 2, WordBits, true,
                                                          QStringLiteral("WORDS_%1-%2").arg(2 * Row).arg(2 * Row + 1));

    auto* Teletype = new QGroupBox(QStringLiteral("Teletype Output"), this);
    Teletype->setGeometry(258, 122, 276, 181);
    FTeletype = new QPlainTextEdit(Teletype);
    FTeletype->setObjectName(QStringLiteral("TeletypeMemo"));
    FTeletype->setReadOnly(true);
    FTeletype->setUndoRedoEnabled(false);
    auto* MemoLayout = new QVBoxLayout(Teletype);
    MemoLayout->setContentsMargins(6, 4, 6, 6);
    MemoLayout->addWidget(FTeletype);

    setFixedSize(DesignWidth, DesignHeight);
}

TEdsacFormDev::~TEdsacFormDev()
{
    FLongTank->removeEventFilter(this);
}

void TEdsacFormDev::ShowRegister(TRegister Register, TWords Words)
{
    FRegisters[static_cast<std::size_t>(Register)]->SetWords(Words, false);
}

void TEdsacFormDev::ShowStoreRow(int Row, TWords Words)
{
    FStores[static_cast<std::size_t>(Row)]->SetWords(Words, false);
}

void TEdsacFormDev::ShowStoreWord(int Row, int Column, TWord Value)
{
    FStores[static_cast<std::size_t>(Row)]->SetWord(Column, Value);
}

int TEdsacFormDev::LongTank() const
{
    return FLongTank->value();
}

void TEdsacFormDev::ShowOrderText(const QString& Text)
{
    FOrderText->setText(Text);
}

void TEdsacFormDev::PrintLine(const QString& Text)
{
    FTeletype->moveCursor(QTextCursor::End);
    FTeletype->insertPlainText(QLatin1Char('\n') + Text);
}

void TEdsacFormDev::PrintChar(QChar Ch)
{
    FTeletype->moveCursor(QTextCursor::End);
    FTeletype->insertPlainText(QString(Ch));
}

void TEdsacFormDev::closeEvent(QCloseEvent* Event)
{
    Event->ignore();
}

bool TEdsacFormDev::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FLongTank && Event->type() == QEvent::MouseButtonRelease)
        emit LongTankChanged(FLongTank->value());
    return QWidget::eventFilter(Watched, Event);
}

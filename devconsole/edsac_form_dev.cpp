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

    GroupBox1 = new QGroupBox(QStringLiteral("Internal registers"), this);
    GroupBox1->setGeometry(4, 2, 530, 118);
    // Each tube sits to the right of its label, 20 pixels per register line.
    constexpr int TubeX = 70;
    lblSCR = MakeLabel(GroupBox1, QStringLiteral("lblSCR"), QStringLiteral("SCR:"), {10, 22});
    // The sequence control register counts to 1023: ten bits, all shown.
    crtSCR = MakeTube(GroupBox1, QStringLiteral("crtSCR"), {TubeX, 26}, 1, 10, false,
                      QStringLiteral("SEQUENCE CONTROL REGISTER"));
    lblORD0 = MakeLabel(GroupBox1, QStringLiteral("lblORD0"), QStringLiteral("ORD:"), {10, 42});
    crtORD = MakeTube(GroupBox1, QStringLiteral("crtORD"), {TubeX, 46}, 1, 18, true, QStringLiteral("ORDER TANK"));
    lblORD = MakeLabel(GroupBox1, QStringLiteral("lblORD"), QString(), {TubeX + crtORD->width() + 16, 42});
    lblORD->setMinimumWidth(120);
    lblORD->resize(160, lblORD->height());
    lblMULTR = MakeLabel(GroupBox1, QStringLiteral("lblMULTR"), QStringLiteral("MULTR:"), {10, 62});
    crtMULTR = MakeTube(GroupBox1, QStringLiteral("crtMULTR"), {TubeX, 66}, 2, 18, true, QStringLiteral("MULTIPLIER"));
    lblMULTD = MakeLabel(GroupBox1, QStringLiteral("lblMULTD"), QStringLiteral("MULTD:"), {10, 82});
    crtMULTD = MakeTube(GroupBox1, QStringLiteral("crtMULTD"), {TubeX, 86}, 2, 18, true,
                        QStringLiteral("MULTIPLICAND"));
    lblACC = MakeLabel(GroupBox1, QStringLiteral("lblACC"), QStringLiteral("ACC:"), {10, 102});
    crtACC = MakeTube(GroupBox1, QStringLiteral("crtACC"), {TubeX, 106}, 4, 18, true, QStringLiteral("ACCUMULATOR"));

    GroupBox2 = new QGroupBox(QStringLiteral("Store Contents"), this);
    GroupBox2->setGeometry(4, 122, 250, 181);
    lblLongTank = MakeLabel(GroupBox2, QStringLiteral("lblLongTank"), QStringLiteral("Long Tank"), {12, 24});
    SpinEdit1 = new QSpinBox(GroupBox2);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(0, 31);
    SpinEdit1->setValue(1);
    SpinEdit1->setGeometry(90, 18, 60, 22);
    SpinEdit1->installEventFilter(this);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TEdsacFormDev::LongTankChanged);
    // Row 0 is the lowest; each further row lies one tube height (8 pixels) higher.
    constexpr int Row0Top = 166;
    for (int Row = 0; Row < 16; ++Row)
        crtStores[static_cast<std::size_t>(Row)] =
            MakeTube(GroupBox2, QStringLiteral("CRTDisplay%1").arg(Row + 1), {18, Row0Top - 8 * Row}, 2, 18, true,
                     QStringLiteral("WORDS_%1-%2").arg(2 * Row).arg(2 * Row + 1));

    GroupBox3 = new QGroupBox(QStringLiteral("Teletype Output"), this);
    GroupBox3->setGeometry(258, 122, 276, 181);
    TeletypeMemo = new QPlainTextEdit(GroupBox3);
    TeletypeMemo->setObjectName(QStringLiteral("TeletypeMemo"));
    TeletypeMemo->setReadOnly(true);
    TeletypeMemo->setUndoRedoEnabled(false);
    auto* MemoLayout = new QVBoxLayout(GroupBox3);
    MemoLayout->setContentsMargins(6, 4, 6, 6);
    MemoLayout->addWidget(TeletypeMemo);

    setFixedSize(DesignWidth, DesignHeight);
}

TEdsacFormDev::~TEdsacFormDev()
{
    SpinEdit1->removeEventFilter(this);
}

int TEdsacFormDev::LongTank() const
{
    return SpinEdit1->value();
}

void TEdsacFormDev::closeEvent(QCloseEvent* Event)
{
    Event->ignore();
}

bool TEdsacFormDev::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == SpinEdit1 && Event->type() == QEvent::MouseButtonRelease)
        emit LongTankChanged(SpinEdit1->value());
    return QWidget::eventFilter(Watched, Event);
}

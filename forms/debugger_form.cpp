#include "forms/debugger_form.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "components/FrameClock.h"
#include "core/ControlUnit.h"
#include "core/Debugger.h"
#include "core/EdsacCore.h"

namespace {

// While the machine runs the window catches up ten times a second, which is as
// often as anyone reads a table of numbers: painting it at every frame cost the
// run a quarter of its speed.
constexpr int RefreshWhileRunning = 100;
static_assert(RefreshWhileRunning >= FrameClock::FrameInterval);

enum TColumn : int { colBreak, colWatch, colAddress, colOrder, colInteger, colFraction, colChanged, colRuns, colCount };

QString Text(const std::string& S)
{
    return QString::fromStdString(S);
}

// Machine time, in 100 microseconds, as milliseconds with their tenths.
QString Milliseconds(std::uint64_t Time)
{
    return QStringLiteral("%1.%2").arg(Time / 10).arg(Time % 10);
}

QString Number(TWords Words)
{
    return Text(WordsToIntStr(Words));
}

QString Fraction(TWords Words)
{
    const auto At = [&](size_t I) { return I < Words.size() ? Words[I] : 0; };
    return Text(FracToStr(At(0), At(1), At(2), At(3), 10));
}

} // namespace

// The store, one row a location. The word at the last stop before this one is
// kept, so that a row can say it changed since.
class TStoreModel : public QAbstractTableModel {
public:
    TStoreModel(const TEdsacCore& Core, TDebugger& Debugger, QObject* Parent)
        : QAbstractTableModel(Parent),
          FCore(Core),
          FDebugger(Debugger),
          FLastStop(Core.GetStoreContents()),
          FBaseline(FLastStop)
    {
        Remember();
    }

    int rowCount(const QModelIndex& Parent) const override
    {
        return Parent.isValid() ? 0 : static_cast<int>(FCore.GetStoreContents().size());
    }
    int columnCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : colCount; }

    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override
    {
        static const char* const Names[colCount] = {"Break",   "Watch",    "Address", "Order",
                                                    "Integer", "Fraction", "Changed", "Runs"};
        if (Orientation == Qt::Horizontal && Role == Qt::DisplayRole && Section >= 0 && Section < colCount)
            return QString::fromLatin1(Names[Section]);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex&) const override { return Qt::ItemIsEnabled | Qt::ItemIsSelectable; }

    QVariant data(const QModelIndex& Index, int Role) const override
    {
        const int Address = Index.row();
        const TWord Word = FCore.GetStoreContents()[static_cast<size_t>(Address)];
        const bool Changed = Word != FBaseline[static_cast<size_t>(Address)];
        switch (Role) {
        case Qt::CheckStateRole:
            if (Index.column() == colBreak)
                return FDebugger.IsBreakpoint(Address) ? Qt::Checked : Qt::Unchecked;
            if (Index.column() == colWatch)
                return FDebugger.IsWatched(Address) ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::DisplayRole: return Display(Index.column(), Address, Word, Changed);
        case Qt::BackgroundRole:
            if (Address == FCore.Control().GetSCR())
                return QColor(255, 236, 150);
            return {};
        case Qt::ForegroundRole:
            if (Changed)
                return QColor(170, 0, 0);
            return {};
        case Qt::TextAlignmentRole:
            return Index.column() == colOrder || Index.column() == colChanged
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default: return {};
        }
    }

    // Every row may have changed.
    void Changed()
    {
        Remember();
        emit dataChanged(index(0, 0), index(rowCount({}) - 1, colCount - 1));
    }
    // Only the rows whose word, count or highlight changed since they were last
    // shown are drawn again: a running machine changes few.
    void Moved()
    {
        const TWordArray& Store = FCore.GetStoreContents();
        const TProfile& Profile = FDebugger.Profile();
        const int SCR = FCore.Control().GetSCR();
        for (size_t Row = 0; Row < Store.size(); ++Row) {
            const int Address = static_cast<int>(Row);
            if (Store[Row] != FShownWords[Row] || Profile.Count[Row] != FShownRuns[Row] ||
                (Address == SCR) != (Address == FShownSCR)) {
                FShownWords[Row] = Store[Row];
                FShownRuns[Row] = Profile.Count[Row];
                emit dataChanged(index(Address, 0), index(Address, colCount - 1));
            }
        }
        if (FShownSCR != SCR && FShownSCR >= 0 && FShownSCR < rowCount({}))
            emit dataChanged(index(FShownSCR, 0), index(FShownSCR, colCount - 1));
        FShownSCR = SCR;
    }
    // The machine stopped: what changed is now measured from the stop before.
    void Stopped()
    {
        FBaseline = FLastStop;
        FLastStop = FCore.GetStoreContents();
        Changed();
    }
    // The machine runs: what changes is measured from the last stop.
    void Running() { FBaseline = FLastStop; }

private:
    void Remember()
    {
        FShownWords = FCore.GetStoreContents();
        const auto& Runs = FDebugger.Profile().Count;
        FShownRuns.assign(Runs.begin(), Runs.end());
        FShownSCR = FCore.Control().GetSCR();
    }

    QVariant Display(int Column, int Address, TWord Word, bool Changed) const
    {
        switch (Column) {
        case colAddress: return Address;
        case colOrder: return Text(WordToOrderStr(Word, 'F', 'D'));
        case colInteger: return Text(WordToIntStr(Word));
        case colFraction: return Fraction(std::array<TWord, 1>{Word & ShortWordMask});
        case colChanged: return Changed ? QStringLiteral("*") : QString();
        case colRuns: {
            const std::uint64_t Runs = FDebugger.Profile().Count[static_cast<size_t>(Address)];
            return Runs ? QVariant(QString::number(Runs)) : QVariant();
        }
        default: return {};
        }
    }

    const TEdsacCore& FCore;
    TDebugger& FDebugger;
    TWordArray FLastStop;
    TWordArray FBaseline;
    // What the table last showed.
    TWordArray FShownWords;
    std::vector<std::uint64_t> FShownRuns;
    int FShownSCR = -1;
};

TDebuggerForm::TDebuggerForm(const TEdsacCore& Core, TDebugger& Debugger, QWidget* Parent)
    : QMainWindow(Parent), FCore(Core), FDebugger(Debugger)
{
    setObjectName(QStringLiteral("DebuggerForm"));
    setWindowTitle(tr("Debugger"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 620);

    FModel = new TStoreModel(Core, Debugger, this);
    FStore = new QTableView(this);
    FStore->setObjectName(QStringLiteral("tblStore"));
    FStore->setModel(FModel);
    FStore->setSelectionBehavior(QAbstractItemView::SelectRows);
    FStore->setSelectionMode(QAbstractItemView::SingleSelection);
    FStore->verticalHeader()->hide();
    FStore->verticalHeader()->setDefaultSectionSize(FStore->fontMetrics().height() + 4);
    // Widths from the widest text a column can hold, once: measuring every row at
    // every refresh would cost a running machine most of its speed.
    const QFontMetrics Metrics = FStore->fontMetrics();
    const char* const Widest[colCount] = {"Break",  "Watch",         "Address", "A 1023 D",
                                          "-65536", "-0.0000000000", "Changed", "1000000000"};
    for (int Column = 0; Column < colCount; ++Column)
        FStore->setColumnWidth(Column, Metrics.horizontalAdvance(QString::fromLatin1(Widest[Column])) + 24);
    FStore->horizontalHeader()->setStretchLastSection(true);
    FStore->setCurrentIndex(FModel->index(0, colOrder));
    // A click anywhere in a mark's column sets or clears it.
    connect(FStore, &QTableView::clicked, this, [this](const QModelIndex& Index) {
        if (Index.column() == colBreak)
            ToggleBreakpoint();
        else if (Index.column() == colWatch)
            ToggleWatch();
    });

    FProfile = new QTableWidget(0, 3, this);
    FProfile->setObjectName(QStringLiteral("tblProfile"));
    FProfile->setHorizontalHeaderLabels({tr("Order"), tr("Count"), tr("Time (ms)")});
    FProfile->verticalHeader()->hide();
    FProfile->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* Tabs = new QTabWidget(this);
    Tabs->addTab(FStore, tr("Store"));
    Tabs->addTab(FProfile, tr("Profile"));
    Tabs->setObjectName(QStringLiteral("tabDebugger"));
    // The profile is kept up to date only while it is on view.
    connect(Tabs, &QTabWidget::currentChanged, this, &TDebuggerForm::ShowProfile);

    auto* Registers = new QFormLayout;
    const std::pair<const char*, QString> Names[] = {
        {"lblSCR", tr("Sequence control")},
        {"lblOrderTank", tr("Order tank")},
        {"lblAccumulator", tr("Accumulator")},
        {"lblMultiplier", tr("Multiplier")},
        {"lblMultiplicand", tr("Multiplicand")},
        {"lblClock", tr("Clock")},
        {"lblOrders", tr("Orders")},
        {"lblHistory", tr("History")},
    };
    for (const auto& [Name, Caption] : Names) {
        auto* Value = new QLabel(this);
        Value->setObjectName(QString::fromLatin1(Name));
        Value->setTextFormat(Qt::PlainText);
        Value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        Registers->addRow(Caption, Value);
        FRegisters.push_back(Value);
    }
    FReason = new QLabel(this);
    FReason->setObjectName(QStringLiteral("lblStopReason"));
    FReason->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* Central = new QWidget(this);
    auto* Layout = new QVBoxLayout(Central);
    Layout->addWidget(FReason);
    Layout->addLayout(Registers);
    Layout->addWidget(Tabs, 1);
    setCentralWidget(Central);

    QMenu* Run = menuBar()->addMenu(tr("&Run"));
    auto* Tools = addToolBar(tr("Commands"));
    Tools->setObjectName(QStringLiteral("tbDebugger"));
    const auto Command = [&](const char* Name, const QString& Caption, const QKeySequence& Keys) {
        QAction* Item = AddCommand(Run, Name, Caption, Keys);
        Tools->addAction(Item);
        return Item;
    };
    connect(Command("actStep", tr("&Step"), QKeySequence(Qt::Key_F11)), &QAction::triggered, this,
            &TDebuggerForm::StepRequested);
    connect(Command("actStepOver", tr("Step &Over"), QKeySequence(Qt::Key_F10)), &QAction::triggered, this,
            &TDebuggerForm::StepOverRequested);
    connect(Command("actStepBack", tr("Step &Back"), QKeySequence(Qt::SHIFT | Qt::Key_F11)), &QAction::triggered, this,
            &TDebuggerForm::StepBackRequested);
    connect(Command("actRunBack", tr("Run B&ack"), QKeySequence(Qt::SHIFT | Qt::Key_F5)), &QAction::triggered, this,
            &TDebuggerForm::RunBackRequested);
    connect(Command("actRunToCursor", tr("Run to &Cursor"), QKeySequence(Qt::CTRL | Qt::Key_F10)), &QAction::triggered,
            this, [this] { emit RunToCursorRequested(CursorAddress()); });
    connect(Command("actContinue", tr("C&ontinue"), QKeySequence(Qt::Key_F5)), &QAction::triggered, this,
            &TDebuggerForm::ContinueRequested);
    QMenu* Marks = menuBar()->addMenu(tr("&Marks"));
    connect(AddCommand(Marks, "actToggleBreakpoint", tr("Toggle &Breakpoint"), QKeySequence(Qt::Key_F9)),
            &QAction::triggered, this, &TDebuggerForm::ToggleBreakpoint);
    connect(AddCommand(Marks, "actToggleWatch", tr("Toggle &Watch"), QKeySequence(Qt::SHIFT | Qt::Key_F9)),
            &QAction::triggered, this, &TDebuggerForm::ToggleWatch);

    FFrame.setSingleShot(true);
    FFrame.setInterval(RefreshWhileRunning);
    connect(&FFrame, &QTimer::timeout, this, [this] {
        FModel->Moved();
        ShowRegisters();
        ShowProfile();
    });
    Refresh();
}

TDebuggerForm::~TDebuggerForm() = default;

QAction* TDebuggerForm::AddCommand(QMenu* Menu, const char* Name, const QString& Caption, const QKeySequence& Keys)
{
    auto* Item = new QAction(Caption, this);
    Item->setObjectName(QString::fromLatin1(Name));
    Item->setShortcut(Keys);
    Menu->addAction(Item);
    return Item;
}

void TDebuggerForm::MachineMoved()
{
    if (FFrame.isActive())
        return;
    FModel->Running();
    FFrame.start();
}

void TDebuggerForm::MachineStopped(const QString& Reason)
{
    FFrame.stop();
    FReason->setText(Reason);
    FModel->Stopped();
    Refresh();
    const int SCR = FCore.Control().GetSCR();
    if (SCR >= 0 && SCR < FModel->rowCount({}))
        FStore->scrollTo(FModel->index(SCR, colOrder));
}

QString TDebuggerForm::StopReason() const
{
    return FReason->text();
}

int TDebuggerForm::CursorAddress() const
{
    const QModelIndex Current = FStore->currentIndex();
    return Current.isValid() ? Current.row() : 0;
}

void TDebuggerForm::SetCursorAddress(int Address)
{
    FStore->setCurrentIndex(FModel->index(Address, colOrder));
}

void TDebuggerForm::ToggleBreakpoint()
{
    const int Address = CursorAddress();
    FDebugger.SetBreakpoint(Address, !FDebugger.IsBreakpoint(Address));
    FModel->Changed();
}

void TDebuggerForm::ToggleWatch()
{
    const int Address = CursorAddress();
    FDebugger.SetWatch(Address, !FDebugger.IsWatched(Address));
    FModel->Changed();
}

void TDebuggerForm::closeEvent(QCloseEvent* Event)
{
    Event->accept();
    emit Closed();
}

void TDebuggerForm::Refresh()
{
    FModel->Changed();
    ShowRegisters();
    ShowProfile();
}

void TDebuggerForm::ShowRegisters()
{
    const TRegisters R = FCore.Registers();
    const THistory& History = FDebugger.History();
    const QString Values[] = {
        QString::number(R.SCR),
        Text(WordToOrderStr(R.OrderTank, 'F', 'D')),
        // The short number at its top, the long number of its top two words, the fraction.
        QStringLiteral("%1   long %2   %3")
            .arg(Text(WordToIntStr(R.Acc[0])), Number(std::array<TWord, 2>{R.Acc[0], R.Acc[1]}), Fraction(R.Acc)),
        Number(R.Multiplier) + QStringLiteral("   ") + Fraction(R.Multiplier),
        Number(R.Multiplicand) + QStringLiteral("   ") + Fraction(R.Multiplicand),
        QStringLiteral("%1 s").arg(R.Elapsed / 10000.0, 0, 'f', 4),
        QString::number(R.Orders),
        FDebugger.Recording() ? tr("%1 orders, %2 KiB").arg(History.Orders()).arg((History.Bytes() + 1023) / 1024)
                              : QString(),
    };
    // Laid out again only when it changed.
    for (size_t I = 0; I < FRegisters.size(); ++I)
        if (FRegisters[I]->text() != Values[I])
            FRegisters[I]->setText(Values[I]);
}

void TDebuggerForm::ShowProfile()
{
    if (!FProfile->isVisible())
        return;
    const TProfile& Profile = FDebugger.Profile();
    int Row = 0;
    for (int Code = 0; Code < OrderCodes; ++Code) {
        if (Profile.CodeCount[static_cast<size_t>(Code)] == 0)
            continue;
        if (Row >= FProfile->rowCount())
            FProfile->insertRow(Row);
        const QString Cells[] = {QString(QLatin1Char(OrderLetters[Code])),
                                 QString::number(Profile.CodeCount[static_cast<size_t>(Code)]),
                                 Milliseconds(Profile.CodeTime[static_cast<size_t>(Code)])};
        for (int Column = 0; Column < 3; ++Column) {
            QTableWidgetItem* Item = FProfile->item(Row, Column);
            if (!Item) {
                Item = new QTableWidgetItem;
                FProfile->setItem(Row, Column, Item);
            }
            Item->setText(Cells[Column]);
        }
        ++Row;
    }
    FProfile->setRowCount(Row);
}

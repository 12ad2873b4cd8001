#include "forms/main_form.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "kit/Dialogs.h"
#include "kit/InstallPaths.h"
#include "core/messages.h"
#include "valvane_version.h"

namespace {

const char* const MainCaption = "The Valvane: " VALVANE_VERSION_TEXT;
const char* const DefaultExtension = "txt";
const char* const WindowEntryPrefix = "mnuWin";
// A tape window's entry: the prefix, "ed" and the window's number.
const char* const TapeEntryPrefix = "mnuWined";
const char* const ToolBarSeparator = "|";
const char* const InitialOrdersBoxName = "cbInitialOrders";

constexpr int FormHeight = 87;
constexpr int ButtonSize = 23;
constexpr int RowHeight = 28;
constexpr int ComboWidth = 119;

// Menu captions are shown as they are, with no mnemonic taken from a file name
// or a window title.
QString Literal(const QString& Text)
{
    QString Result = Text;
    Result.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return Result;
}

void SetHint(QWidget* Control, const QString& Hint)
{
    Control->setToolTip(Hint);
    Control->setStatusTip(Hint);
}

bool Named(const char* Name)
{
    return Name && *Name;
}

} // namespace

QString InitialOrdersCaption(TInitialOrders Orders)
{
    return QCoreApplication::translate("TMainForm", Messages::InitialOrders).arg(InitialOrdersNumber(Orders));
}

TMainForm::TMainForm(const TCommandTable& Commands, QWidget* Parent) : QMainWindow(Parent)
{
    setObjectName(QStringLiteral("MainForm"));
    BuildMenus(Commands.Commands);
    BuildToolBar(Commands);
    CreateStatusBar();
    ApplyCommandStates(TCommandState());

    // A strip across the top of the screen that can be widened but not heightened.
    int ScreenWidth = 800;
    if (const QScreen* Screen = QGuiApplication::primaryScreen())
        ScreenWidth = Screen->geometry().width();
    setMinimumHeight(FormHeight);
    setMaximumHeight(FormHeight);
    resize(ScreenWidth - 10, FormHeight);
    move(0, 0);

    setWindowTitle(QString::fromLatin1(MainCaption));
    // The start-up shows the window once everything is in place.
    hide();

    // The first Open starts where the program lives, or among the installed tapes.
    FOpenFileName = FirstOpenFolder(QCoreApplication::applicationDirPath());
    FHintPanel->clear();
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
}

void TMainForm::BuildMenus(const std::vector<TCommand>& Commands)
{
    auto* Bar = new QMenuBar(this);
    Bar->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(Bar);
    QMenu* Menu = nullptr;
    for (const TCommand& Command : Commands) {
        QAction* Action = nullptr;
        switch (Command.Kind) {
        case TCommandKind::Menu:
            Menu = Bar->addMenu(Command.Caption);
            Menu->setObjectName(QString::fromLatin1(Command.Name));
            if (const QKeySequence Keys = QKeySequence::mnemonic(Command.Caption); !Keys.isEmpty())
                FMenuKeys.emplace_back(Keys[0], Menu);
            break;
        case TCommandKind::Separator: Menu->addSeparator(); break;
        case TCommandKind::RecentFiles: AddRecentFiles(Menu); break;
        case TCommandKind::TapeWindows: FWindowMenu = Menu; break;
        case TCommandKind::ToolButton:
            // Its action lives on the tool bar alone.
            Action = new QAction(Command.Caption, this);
            GiveShortcut(Action, Command);
            break;
        case TCommandKind::Key:
            // Its button is on another window; the action lives here for its shortcut.
            Action = new QAction(Command.Caption, this);
            Action->setObjectName(QString::fromLatin1(Command.Name));
            GiveShortcut(Action, Command);
            addAction(Action);
            break;
        case TCommandKind::Item:
        case TCommandKind::Check:
        case TCommandKind::InitialOrders: Action = AddItem(Menu, Command); break;
        }
        FActions.push_back(Action);
        if (!Action)
            continue;
        if (Command.Run)
            connect(Action, &QAction::triggered, this, Command.Run);
        if (Command.Toggled)
            connect(Action, &QAction::toggled, this, Command.Toggled);
        if (Command.When)
            FCommands.push_back({Action, Command.When});
    }
}

QAction* TMainForm::AddItem(QMenu* Menu, const TCommand& Command)
{
    auto* Item = new QAction(Command.Caption, Menu);
    Item->setObjectName(QString::fromLatin1(Command.Name));
    GiveShortcut(Item, Command);
    Menu->addAction(Item);
    if (Command.Kind == TCommandKind::Check)
        Item->setCheckable(true);
    if (Command.Kind == TCommandKind::InitialOrders) {
        if (!FInitialOrdersItems) {
            FInitialOrdersItems = new QActionGroup(this);
            FInitialOrdersItems->setObjectName(QStringLiteral("InitialOrdersGroup"));
            FInitialOrdersItems->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        }
        Item->setCheckable(true);
        FInitialOrdersItems->addAction(Item);
        // The first set is marked until the settings say otherwise.
        if (FInitialOrdersItems->actions().size() == 1)
            Item->setChecked(true);
    }
    return Item;
}

void TMainForm::GiveShortcut(QAction* Action, const TCommand& Command)
{
    if (!Command.Shortcut.isEmpty())
        Action->setShortcut(Command.Shortcut);
    // Such commands work from the tape windows too; the edit keys stay with
    // whichever text pane has the focus.
    if (Command.Everywhere)
        Action->setShortcutContext(Qt::ApplicationShortcut);
}

void TMainForm::AddRecentFiles(QMenu* Menu)
{
    Menu->addSeparator()->setObjectName(QStringLiteral("N2"));
    for (int I = 0; I < RecentPlaces; ++I) {
        auto* Entry = new QAction(Menu);
        Entry->setObjectName(QStringLiteral("miMRU%1").arg(I + 1));
        Entry->setVisible(false);
        Menu->addAction(Entry);
        connect(Entry, &QAction::triggered, this, [this, Entry] {
            if (!Entry->statusTip().isEmpty())
                emit OpenTape(Entry->statusTip());
        });
        FRecent[static_cast<std::size_t>(I)] = Entry;
    }
    FAfterRecent = Menu->addSeparator();
    FAfterRecent->setObjectName(QStringLiteral("miPostMRUSeparator"));
    FAfterRecent->setVisible(false);
}

void TMainForm::BuildToolBar(const TCommandTable& Table)
{
    // The control bar fills the strip between the menu bar and the status bar and
    // holds the one tool-bar row in its middle.
    auto* ControlBar = new QWidget(this);
    ControlBar->setObjectName(QStringLiteral("ControlBar1"));
    auto* Rows = new QVBoxLayout(ControlBar);
    Rows->setContentsMargins(2, 0, 2, 0);
    FToolBar = new QToolBar(ControlBar);
    FToolBar->setObjectName(QStringLiteral("ToolBar1"));
    FToolBar->setMovable(false);
    FToolBar->setFloatable(false);
    FToolBar->setIconSize(QSize(ToolbarIcons::IconSize, ToolbarIcons::IconSize));
    FToolBar->setFixedHeight(RowHeight);
    Rows->addWidget(FToolBar, 0, Qt::AlignVCenter);
    setCentralWidget(ControlBar);

    for (const char* Slot : Table.ToolBar) {
        if (std::strcmp(Slot, ToolBarSeparator) == 0) {
            FToolBar->addSeparator();
            continue;
        }
        if (std::strcmp(Slot, InitialOrdersBoxName) == 0) {
            AddInitialOrdersBox();
            continue;
        }
        for (std::size_t I = 0; I < Table.Commands.size(); ++I) {
            const TCommand& Command = Table.Commands[I];
            if (std::strcmp(Command.Button, Slot) != 0 || !FActions[I])
                continue;
            if (Command.Kind == TCommandKind::Check)
                AddCheckBox(Command, FActions[I]);
            else
                AddButton(Command, FActions[I]);
            break;
        }
    }
}

void TMainForm::AddButton(const TCommand& Command, QAction* Action)
{
    // The button is its menu item's twin: one action, so one handler and one
    // Enabled state for both. The picture belongs to the tool bar only.
    Action->setIcon(ToolbarIcons::Icon(Command.Icon));
    Action->setIconVisibleInMenu(false);
    // A button without a menu item tells its key in its tip, where an item would show it.
    const QString Keys = Command.Kind == TCommandKind::ToolButton ? Command.Shortcut.toString(QKeySequence::NativeText)
                                                                  : QString();
    Action->setToolTip(Keys.isEmpty() ? Command.Hint : QStringLiteral("%1 (%2)").arg(Command.Hint, Keys));
    Action->setStatusTip(Command.Hint);
    auto* Button = new QToolButton(FToolBar);
    Button->setObjectName(QString::fromLatin1(Command.Button));
    Button->setDefaultAction(Action);
    Button->setIconSize(QSize(ToolbarIcons::IconSize, ToolbarIcons::IconSize));
    Button->setFixedSize(ButtonSize, ButtonSize);
    Button->setAutoRaise(true);
    Button->setFocusPolicy(Qt::NoFocus);
    FToolBar->addWidget(Button);
}

void TMainForm::AddCheckBox(const TCommand& Command, QAction* Action)
{
    auto* Box = new QCheckBox(Command.BoxCaption, FToolBar);
    Box->setObjectName(QString::fromLatin1(Command.Button));
    Box->setFocusPolicy(Qt::NoFocus);
    // A little air either side, as the boxes sit between buttons and separators.
    Box->setContentsMargins(4, 0, 4, 0);
    SetHint(Box, Command.Hint);
    FToolBar->addWidget(Box);
    // Box and mark agree whichever the user changes, and the change is told once.
    connect(Box, &QCheckBox::toggled, Action, &QAction::setChecked);
    if (Command.BoxFixed) {
        Box->setEnabled(false);
        connect(Action, &QAction::triggered, Box, [Action, Box] { Action->setChecked(Box->isChecked()); });
    } else {
        connect(Action, &QAction::toggled, Box, &QCheckBox::setChecked);
    }
}

void TMainForm::AddInitialOrdersBox()
{
    FInitialOrdersBox = new QComboBox(FToolBar);
    FInitialOrdersBox->setObjectName(QString::fromLatin1(InitialOrdersBoxName));
    FInitialOrdersBox->addItems({InitialOrdersCaption(ioOrders1), InitialOrdersCaption(ioOrders2)});
    FInitialOrdersBox->setFixedWidth(ComboWidth);
    FInitialOrdersBox->setCurrentIndex(InitialOrdersIndex(ioOrders2));
    FInitialOrdersBox->setFocusPolicy(Qt::NoFocus);
    SetHint(FInitialOrdersBox, tr("Select Initial Orders"));
    FToolBar->addWidget(FInitialOrdersBox);
    // The user's choice only: setting the index from code must not loop back.
    connect(FInitialOrdersBox, &QComboBox::activated, this, [this](int Index) {
        if (const auto Orders = InitialOrdersAtIndex(Index))
            SetInitialOrders(*Orders);
    });
}

void TMainForm::CreateStatusBar()
{
    auto* Bar = new QStatusBar(this);
    Bar->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(Bar);
    FHintPanel = new QLabel(Bar);
    FHintPanel->setObjectName(QStringLiteral("StatusPanel"));
    // Hints are data read from the store, never markup.
    FHintPanel->setTextFormat(Qt::PlainText);
    FHintPanel->setContentsMargins(4, 0, 4, 0);
    Bar->addWidget(FHintPanel, 1);
}

void TMainForm::ApplyCommandStates(const TCommandState& State)
{
    // The tool buttons show these same actions, so they follow without a word.
    for (const TBuilt& Command : FCommands)
        Command.Action->setEnabled(State.*Command.When);
}

QAction* TMainForm::FindCommand(const char* Name) const
{
    const QString Wanted = QString::fromLatin1(Name);
    for (QAction* Action : FActions)
        if (Action && Named(Name) && Action->objectName() == Wanted)
            return Action;
    return nullptr;
}

void TMainForm::SetCommandChecked(const char* Name, bool On)
{
    if (QAction* Action = FindCommand(Name))
        Action->setChecked(On);
}

QKeySequence TMainForm::CommandShortcut(const char* Name) const
{
    const QAction* Action = FindCommand(Name);
    return Action ? Action->shortcut() : QKeySequence();
}

void TMainForm::OpenMenu(QMenu* Menu)
{
    if (isMinimized())
        showNormal();
    menuBar()->setActiveAction(Menu->menuAction());
    const QList<QAction*> Items = Menu->actions();
    for (QAction* Item : Items) {
        if (!Item->isSeparator() && Item->isVisible() && Item->isEnabled()) {
            Menu->setActiveAction(Item);
            break;
        }
    }
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress || !Watched->isWidgetType())
        return QMainWindow::eventFilter(Watched, Event);
    // Here the menu bar answers for itself; a dialog, an open menu or a question
    // being asked keeps its keys.
    const QWidget* Window = static_cast<QWidget*>(Watched)->window();
    if (Window == this || qobject_cast<const QDialog*>(Window) || qobject_cast<const QMenu*>(Window) ||
        QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    // A tape window would otherwise take Alt and a letter for the letter alone.
    const QKeyCombination Pressed = static_cast<QKeyEvent*>(Event)->keyCombination();
    for (const auto& [Keys, Menu] : FMenuKeys) {
        if (Keys == Pressed) {
            OpenMenu(Menu);
            return true;
        }
    }
    return false;
}

void TMainForm::SetHintText(const QString& Text)
{
    FHintPanel->setText(Text);
}

QString TMainForm::HintText() const
{
    return FHintPanel->text();
}
QAction* TMainForm::FindWindowMenuItem(const QWidget* TapeWindow) const
{
    if (!TapeWindow)
        return nullptr;
    const QString Name = QLatin1String(WindowEntryPrefix) + TapeWindow->objectName();
    if (!FWindowMenu)
        return nullptr;
    const QList<QAction*> Entries = FWindowMenu->actions();
    for (QAction* Entry : Entries)
        if (Entry->objectName() == Name && std::find(FActions.begin(), FActions.end(), Entry) == FActions.end())
            return Entry;
    return nullptr;
}

void TMainForm::AddWindowMenuItem(QWidget* TapeWindow)
{
    if (!TapeWindow || !FWindowMenu)
        return;
    // One entry per window, even if the window is announced twice.
    if (QAction* Existing = FindWindowMenuItem(TapeWindow)) {
        Existing->setText(Literal(TapeWindow->windowTitle()));
        return;
    }
    auto* Entry = new QAction(Literal(TapeWindow->windowTitle()), FWindowMenu);
    Entry->setObjectName(QLatin1String(WindowEntryPrefix) + TapeWindow->objectName());
    connect(Entry, &QAction::triggered, this, [this, Entry] { WindowMenuClick(Entry); });
    FWindowMenu->addAction(Entry);

    // The entry follows its window: a new title after Save As, and no entry left
    // behind for a window that has gone without being removed from the menu.
    connect(TapeWindow, &QWidget::windowTitleChanged, Entry,
            [Entry](const QString& Title) { Entry->setText(Literal(Title)); });
    connect(TapeWindow, &QObject::destroyed, Entry, [this, Entry] {
        FWindowMenu->removeAction(Entry);
        Entry->deleteLater();
    });
}

void TMainForm::UpdateWindowMenuItem(QWidget* TapeWindow)
{
    if (QAction* Entry = FindWindowMenuItem(TapeWindow))
        Entry->setText(Literal(TapeWindow->windowTitle()));
}

void TMainForm::RemoveWindowMenuItem(QWidget* TapeWindow)
{
    if (QAction* Entry = FindWindowMenuItem(TapeWindow)) {
        FWindowMenu->removeAction(Entry);
        Entry->deleteLater();
    }
}

QList<QAction*> TMainForm::WindowMenuEntries() const
{
    return FWindowMenu ? FWindowMenu->actions() : QList<QAction*>();
}

void TMainForm::WindowMenuClick(QAction* Entry)
{
    if (!Entry)
        return;
    if (std::find(FActions.begin(), FActions.end(), Entry) != FActions.end()) {
        Entry->trigger();
        return;
    }
    const QString Name = Entry->objectName();
    const QString Prefix = QLatin1String(TapeEntryPrefix);
    if (!Name.startsWith(Prefix))
        return;
    // Only plain decimal digits name a tape window; no sign, no blanks.
    const QString Digits = Name.mid(Prefix.size());
    if (Digits.isEmpty())
        return;
    for (const QChar Ch : Digits)
        if (Ch < QLatin1Char('0') || Ch > QLatin1Char('9'))
            return;
    bool Ok = false;
    const int Number = Digits.toInt(&Ok);
    if (Ok)
        emit ShowTapeWindow(Number);
}

void TMainForm::SetRecentFiles(const QStringList& Files)
{
    if (!FAfterRecent)
        return;
    FAfterRecent->setVisible(false);
    for (int I = 0; I < RecentPlaces; ++I) {
        QAction* Entry = FRecent[static_cast<std::size_t>(I)];
        const QString Path = I < Files.size() ? Files[I] : QString();
        if (Path.isEmpty()) {
            Entry->setVisible(false);
            continue;
        }
        Entry->setText(QStringLiteral("%1: %2").arg(I + 1).arg(Literal(Path)));
        Entry->setStatusTip(Path);
        Entry->setToolTip(Path);
        Entry->setVisible(true);
        FAfterRecent->setVisible(true);
    }
}

void TMainForm::SetInitialOrders(TInitialOrders Orders)
{
    const int Index = InitialOrdersIndex(Orders);
    if (FInitialOrdersBox)
        FInitialOrdersBox->setCurrentIndex(Index);
    if (FInitialOrdersItems && Index < FInitialOrdersItems->actions().size())
        FInitialOrdersItems->actions()[Index]->setChecked(true);
    emit SelectInitialOrders(Orders == ioOrders2);
}

TInitialOrders TMainForm::InitialOrders() const
{
    const auto Shown = FInitialOrdersBox ? InitialOrdersAtIndex(FInitialOrdersBox->currentIndex()) : std::nullopt;
    return Shown.value_or(ioOrders2);
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (CloseQuery && !CloseQuery()) {
        Event->ignore();
        return;
    }
    QMainWindow::closeEvent(Event);
}

QString TMainForm::ChooseTapeToOpen()
{
    return ChooseTapeFile(tr("Open"), FOpenFileName);
}

QString TMainForm::ChooseTapeToInsert()
{
    return ChooseTapeFile(tr("Insert"), FInsertFileName);
}

QString TMainForm::ChooseTapeFile(const QString& Title, QString& Remembered)
{
    Dialogs::TFileRequest Request;
    Request.Mode = Dialogs::TFileMode::Open;
    Request.Title = Title;
    Request.FileName = Remembered;
    Request.Filter = QString::fromLatin1(Dialogs::TextPattern);
    const QString Path = Dialogs::ChooseFile(this, Request);
    if (!Path.isEmpty())
        Remembered = Path;
    return Path;
}

QString TMainForm::ChooseOutputFile(const QString& Name)
{
    Dialogs::TFileRequest Request;
    Request.Mode = Dialogs::TFileMode::Save;
    Request.Title = tr("Save As");
    Request.FileName = Name;
    Request.Filter = Dialogs::TextFilesFilter();
    const QString Path = Dialogs::ChooseFile(this, Request);
    if (Path.isEmpty())
        return {};

    // A name typed without an extension gets the text extension; the one question
    // about replacing a file is asked of the name that will really be written.
    const QString Completed = Dialogs::WithExtension(Path, QString::fromLatin1(DefaultExtension));
    if (!Dialogs::ConfirmReplace(this, Completed))
        return {};
    return Completed;
}

void TMainForm::Inform(const QString& Caption, const QString& Text)
{
    Dialogs::Message(this, Caption, Text, QMessageBox::Ok, QMessageBox::Information);
}

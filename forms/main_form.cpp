#include "forms/main_form.h"

#include <QAction>
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
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "forms/Dialogs.h"
#include "forms/InstallPaths.h"
#include "forms/toolbar_icons.h"
#include "valvane_version.h"

namespace {

const char* const MainCaption = "The Valvane: Version " VALVANE_VERSION;
const char* const TapeFilter = "*.txt";
const char* const TextFilter = "Text Files (*.txt)";
const char* const DefaultExtension = "txt";
const char* const WindowEntryPrefix = "mnuWin";
// A tape window's entry: the prefix, "ed" and the window's number.
const char* const TapeEntryPrefix = "mnuWined";

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

// The menu items and the combo box name the two sets alike.
QString InitialOrdersCaption(TInitialOrders Orders)
{
    return QCoreApplication::translate("TMainForm", "Initial Orders %1").arg(InitialOrdersNumber(Orders));
}

void SetHint(QWidget* Control, const QString& Hint)
{
    Control->setToolTip(Hint);
    Control->setStatusTip(Hint);
}

} // namespace

TMainForm::TMainForm(QWidget* Parent) : QMainWindow(Parent)
{
    setObjectName(QStringLiteral("MainForm"));
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

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
}

TMainForm::~TMainForm() = default;

QAction* TMainForm::AddItem(QMenu* Menu, const char* Name, const QString& Caption,
                            const QKeySequence& Shortcut)
{
    auto* Item = new QAction(Caption, Menu);
    Item->setObjectName(QString::fromLatin1(Name));
    if (!Shortcut.isEmpty())
        Item->setShortcut(Shortcut);
    Menu->addAction(Item);
    return Item;
}

QMenu* TMainForm::AddMenu(const char* Name, const QString& Caption)
{
    QMenu* Menu = MainMenu1->addMenu(Caption);
    Menu->setObjectName(QString::fromLatin1(Name));
    return Menu;
}

void TMainForm::CreateMenus()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);
    CreateFileMenu();
    CreateEditMenu();
    CreateEdsacMenu();
    CreateWindowMenu();
    CreateHelpMenu();
}

void TMainForm::CreateFileMenu()
{
    mnuFile = AddMenu("mnuFile", tr("&File"));
    miNew = AddItem(mnuFile, "miNew", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    miOpen = AddItem(mnuFile, "miOpen", tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    miInsert = AddItem(mnuFile, "miInsert", tr("Insert..."));
    mnuFile->addSeparator();
    miClose = AddItem(mnuFile, "miClose", tr("Close"), QKeySequence(Qt::CTRL | Qt::Key_W));
    miSave = AddItem(mnuFile, "miSave", tr("Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    miSaveAs = AddItem(mnuFile, "miSaveAs", tr("Save As..."));
    mnuFile->addSeparator();
    miDiscardEdsacOutput = AddItem(mnuFile, "miDiscardEdsacOutput", tr("Discard Edsac Output"));
    miSaveOutputAs = AddItem(mnuFile, "miSaveOutputAs", tr("Save Edsac Output As..."));
    miPunchOutputAs = AddItem(mnuFile, "miPunchOutputAs", tr("Punch Edsac Output As..."));
    mnuFile->addSeparator();
    miPrintPreview = AddItem(mnuFile, "miPrintPreview", tr("Print Preview"));
    miPrint = AddItem(mnuFile, "miPrint", tr("Print..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    N2 = mnuFile->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    for (int I = 0; I < RecentPlaces; ++I) {
        const QByteArray Name = "miMRU" + QByteArray::number(I + 1);
        miMRU[I] = AddItem(mnuFile, Name.constData(), QString());
        miMRU[I]->setVisible(false);
        QAction* Entry = miMRU[I];
        connect(Entry, &QAction::triggered, this, [this, Entry] {
            if (!Entry->statusTip().isEmpty())
                emit OpenTape(Entry->statusTip());
        });
    }
    miPostMRUSeparator = mnuFile->addSeparator();
    miPostMRUSeparator->setObjectName(QStringLiteral("miPostMRUSeparator"));
    miPostMRUSeparator->setVisible(false);
    miExit = AddItem(mnuFile, "miExit", tr("E&xit"));

    // The file commands work from every window of the program, tape windows
    // included; the edit keys stay with whichever text pane has the focus.
    for (QAction* Item : {miNew, miOpen, miClose, miSave, miPrint})
        Item->setShortcutContext(Qt::ApplicationShortcut);

    connect(miNew, &QAction::triggered, this, &TMainForm::NewTape);
    connect(miOpen, &QAction::triggered, this, &TMainForm::miOpenClick);
    connect(miInsert, &QAction::triggered, this, &TMainForm::miInsertClick);
    connect(miClose, &QAction::triggered, this, &TMainForm::CloseTape);
    connect(miSave, &QAction::triggered, this, &TMainForm::SaveTape);
    connect(miSaveAs, &QAction::triggered, this, &TMainForm::SaveTapeAs);
    connect(miDiscardEdsacOutput, &QAction::triggered, this, &TMainForm::DiscardOutput);
    connect(miSaveOutputAs, &QAction::triggered, this, [this] {
        if (const QString Path = ChooseOutputFile(QStringLiteral("EdOutput.txt")); !Path.isEmpty())
            emit SaveOutput(Path);
    });
    connect(miPunchOutputAs, &QAction::triggered, this, [this] {
        if (const QString Path = ChooseOutputFile(QStringLiteral("EdPunch.txt")); !Path.isEmpty())
            emit PunchOutput(Path);
    });
    connect(miPrint, &QAction::triggered, this, &TMainForm::PrintTape);
    connect(miExit, &QAction::triggered, this, &QWidget::close);
}

void TMainForm::CreateEditMenu()
{
    mnuEdit = AddMenu("mnuEdit", tr("&Edit"));
    miUndo = AddItem(mnuEdit, "miUndo", tr("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    miRedo = AddItem(mnuEdit, "miRedo", tr("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    mnuEdit->addSeparator();
    miCut = AddItem(mnuEdit, "miCut", tr("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X));
    miCopy = AddItem(mnuEdit, "miCopy", tr("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    miPaste = AddItem(mnuEdit, "miPaste", tr("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    miSelectAll = AddItem(mnuEdit, "miSelectAll", tr("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuEdit->addSeparator();
    miFind = AddItem(mnuEdit, "miFind", tr("Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    miFindAgain = AddItem(mnuEdit, "miFindAgain", tr("Find Again"), QKeySequence(Qt::Key_F3));
    miReplace = AddItem(mnuEdit, "miReplace", tr("Replace..."), QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuEdit->addSeparator();
    miLineNumbers = AddItem(mnuEdit, "miLineNumbers", tr("Line Numbers"));
    // Nothing to undo or redo (tape windows keep their own history), and no search.
    for (QAction* Item : {miUndo, miRedo, miFind, miFindAgain, miReplace})
        Item->setEnabled(false);

    connect(miCut, &QAction::triggered, this, &TMainForm::CutText);
    connect(miCopy, &QAction::triggered, this, &TMainForm::CopyText);
    connect(miPaste, &QAction::triggered, this, &TMainForm::PasteText);
    connect(miSelectAll, &QAction::triggered, this, &TMainForm::SelectAll);
}

void TMainForm::CreateEdsacMenu()
{
    mnuEdsac = AddMenu("mnuEdsac", tr("E&dsac"));
    miInitialOrders1 = AddItem(mnuEdsac, "miInitialOrders1", InitialOrdersCaption(ioOrders1));
    miInitialOrders2 = AddItem(mnuEdsac, "miInitialOrders2", InitialOrdersCaption(ioOrders2));
    InitialOrdersGroup = new QActionGroup(this);
    InitialOrdersGroup->setObjectName(QStringLiteral("InitialOrdersGroup"));
    InitialOrdersGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction* Item : {miInitialOrders1, miInitialOrders2}) {
        Item->setCheckable(true);
        InitialOrdersGroup->addAction(Item);
    }
    miInitialOrders1->setChecked(true);
    mnuEdsac->addSeparator();
    miDiscardOutput = AddItem(mnuEdsac, "miDiscardOutput", tr("Discard Output"));
    miZeroizeClock = AddItem(mnuEdsac, "miZeroizeClock", tr("Zeroize Clock"));
    miTeleprinterSound = AddItem(mnuEdsac, "miTeleprinterSound", tr("Teleprinter Sound"));
    miRealTime = AddItem(mnuEdsac, "miRealTime", tr("Real Time"));
    miHints = AddItem(mnuEdsac, "miHints", tr("Hints"));
    mnuEdsac->addSeparator();
    miOptions = AddItem(mnuEdsac, "miOptions", tr("Options..."));
    for (QAction* Item : {miTeleprinterSound, miRealTime, miHints})
        Item->setCheckable(true);

    connect(miInitialOrders1, &QAction::triggered, this, [this] { SetInitialOrders(ioOrders1); });
    connect(miInitialOrders2, &QAction::triggered, this, [this] { SetInitialOrders(ioOrders2); });
    connect(miDiscardOutput, &QAction::triggered, this, &TMainForm::DiscardOutput);
    connect(miZeroizeClock, &QAction::triggered, this, &TMainForm::ZeroiseClock);
    connect(miTeleprinterSound, &QAction::triggered, this, &TMainForm::miTeleprinterSoundClick);
    connect(miRealTime, &QAction::triggered, this, &TMainForm::miRealTimeClick);
    connect(miHints, &QAction::triggered, this, &TMainForm::miHintsClick);
    connect(miOptions, &QAction::triggered, this, &TMainForm::ShowOptions);
}

void TMainForm::CreateWindowMenu()
{
    // The machine window first, the tape windows after it as they open.
    mnuWindow = AddMenu("mnuWindow", tr("&Window"));
    mnuWinEdsac = AddItem(mnuWindow, "mnuWinEdsac", tr("Edsac"));
    connect(mnuWinEdsac, &QAction::triggered, this, [this] { WindowMenuClick(mnuWinEdsac); });
}

void TMainForm::CreateHelpMenu()
{
    mnuHelp = AddMenu("mnuHelp", tr("&Help"));
    TutorialGuide1 = AddItem(mnuHelp, "TutorialGuide1", tr("&Tutorial Guide"));
    Documentation1 = AddItem(mnuHelp, "Documentation1", tr("&Documentation"));
    mnuHelp->addSeparator();
    miAbout = AddItem(mnuHelp, "miAbout", tr("&About..."));
    connect(TutorialGuide1, &QAction::triggered, this, &TMainForm::TutorialGuide1Click);
    connect(Documentation1, &QAction::triggered, this, &TMainForm::Documentation1Click);
    connect(miAbout, &QAction::triggered, this, &TMainForm::ShowAbout);
}

QToolButton* TMainForm::AddButton(const char* Name, QAction* Action, ToolbarIcons::TToolIcon Picture,
                                  const QString& Hint)
{
    // The button is its menu item's twin: one action, so one handler and one
    // Enabled state for both. The picture belongs to the tool bar only.
    Action->setIcon(ToolbarIcons::Icon(Picture));
    Action->setIconVisibleInMenu(false);
    Action->setToolTip(Hint);
    Action->setStatusTip(Hint);
    auto* Button = new QToolButton(ToolBar1);
    Button->setObjectName(QString::fromLatin1(Name));
    Button->setDefaultAction(Action);
    Button->setIconSize(QSize(ToolbarIcons::IconSize, ToolbarIcons::IconSize));
    Button->setFixedSize(ButtonSize, ButtonSize);
    Button->setAutoRaise(true);
    Button->setFocusPolicy(Qt::NoFocus);
    ToolBar1->addWidget(Button);
    return Button;
}

QCheckBox* TMainForm::AddCheckBox(const char* Name, const QString& Caption, const QString& Hint)
{
    auto* Box = new QCheckBox(Caption, ToolBar1);
    Box->setObjectName(QString::fromLatin1(Name));
    Box->setFocusPolicy(Qt::NoFocus);
    // A little air either side, as the boxes sit between buttons and separators.
    Box->setContentsMargins(4, 0, 4, 0);
    SetHint(Box, Hint);
    ToolBar1->addWidget(Box);
    return Box;
}

void TMainForm::CreateToolBar()
{
    using ToolbarIcons::TToolIcon;

    // The control bar fills the strip between the menu bar and the status bar and
    // holds the one tool-bar row in its middle.
    ControlBar1 = new QWidget(this);
    ControlBar1->setObjectName(QStringLiteral("ControlBar1"));
    auto* Rows = new QVBoxLayout(ControlBar1);
    Rows->setContentsMargins(2, 0, 2, 0);
    ToolBar1 = new QToolBar(ControlBar1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(ToolbarIcons::IconSize, ToolbarIcons::IconSize));
    ToolBar1->setFixedHeight(RowHeight);
    Rows->addWidget(ToolBar1, 0, Qt::AlignVCenter);
    setCentralWidget(ControlBar1);

    tbNew = AddButton("tbNew", miNew, TToolIcon::New, tr("New Tape"));
    tbOpen = AddButton("tbOpen", miOpen, TToolIcon::Open, tr("Open Tape"));
    tbSave = AddButton("tbSave", miSave, TToolIcon::Save, tr("Save Tape"));
    tbPrint = AddButton("tbPrint", miPrint, TToolIcon::Print, tr("Print Tape"));
    tbPrintPrev = AddButton("tbPrintPrev", miPrintPreview, TToolIcon::PrintPreview, tr("Print Preview"));
    ToolBar1->addSeparator();
    tbUndo = AddButton("tbUndo", miUndo, TToolIcon::Undo, tr("Undo"));
    tbRedo = AddButton("tbRedo", miRedo, TToolIcon::Redo, tr("Redo"));
    ToolBar1->addSeparator();
    tbCut = AddButton("tbCut", miCut, TToolIcon::Cut, tr("Cut"));
    tbCopy = AddButton("tbCopy", miCopy, TToolIcon::Copy, tr("Copy"));
    tbPaste = AddButton("tbPaste", miPaste, TToolIcon::Paste, tr("Paste"));
    ToolBar1->addSeparator();

    cbInitialOrders = new QComboBox(ToolBar1);
    cbInitialOrders->setObjectName(QStringLiteral("cbInitialOrders"));
    cbInitialOrders->addItems({InitialOrdersCaption(ioOrders1), InitialOrdersCaption(ioOrders2)});
    cbInitialOrders->setFixedWidth(ComboWidth);
    cbInitialOrders->setCurrentIndex(InitialOrdersIndex(ioOrders2));
    cbInitialOrders->setFocusPolicy(Qt::NoFocus);
    SetHint(cbInitialOrders, tr("Select Initial Orders"));
    ToolBar1->addWidget(cbInitialOrders);
    ToolBar1->addSeparator();

    // Line Feed has no menu item; its action lives on the tool bar alone.
    auto* LineFeedAction = new QAction(tr("Line Feed"), this);
    connect(LineFeedAction, &QAction::triggered, this, &TMainForm::LineFeed);
    tbEdsacClear =
        AddButton("tbEdsacClear", miDiscardEdsacOutput, TToolIcon::DiscardOutput, tr("Discard Edsac Output"));
    tbFeed = AddButton("tbFeed", LineFeedAction, TToolIcon::LineFeed, tr("Line Feed"));
    tbZeroizeClock = AddButton("tbZeroizeClock", miZeroizeClock, TToolIcon::ZeroizeClock, tr("Zeroize Clock"));
    ToolBar1->addSeparator();

    cbSound = AddCheckBox("cbSound", tr("Sound"), tr("Teleprinter Sound"));
    cbSound->setEnabled(false);
    ToolBar1->addSeparator();
    cbRealTime = AddCheckBox("cbRealTime", tr("Real Time"), tr("Real Time Mode"));
    cbHints = AddCheckBox("cbHints", tr("Hints"), tr("Edsac Hints"));

    // The user's choice only: setting the index from code must not loop back.
    connect(cbInitialOrders, &QComboBox::activated, this, [this](int Index) {
        if (const auto Orders = InitialOrdersAtIndex(Index))
            SetInitialOrders(*Orders);
    });
    connect(cbSound, &QCheckBox::toggled, miTeleprinterSound, &QAction::setChecked);
    connect(cbRealTime, &QCheckBox::toggled, this, &TMainForm::cbRealTimeToggled);
    connect(cbHints, &QCheckBox::toggled, this, &TMainForm::cbHintsToggled);
}

void TMainForm::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    FHintPanel = new QLabel(StatusBar1);
    FHintPanel->setObjectName(QStringLiteral("StatusPanel"));
    // Hints are data read from the store, never markup.
    FHintPanel->setTextFormat(Qt::PlainText);
    FHintPanel->setContentsMargins(4, 0, 4, 0);
    StatusBar1->addWidget(FHintPanel, 1);
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
    const QList<QAction*> Entries = mnuWindow->actions();
    for (QAction* Entry : Entries)
        if (Entry != mnuWinEdsac && Entry->objectName() == Name)
            return Entry;
    return nullptr;
}

void TMainForm::AddWindowMenuItem(QWidget* TapeWindow)
{
    if (!TapeWindow)
        return;
    // One entry per window, even if the window is announced twice.
    if (QAction* Existing = FindWindowMenuItem(TapeWindow)) {
        Existing->setText(Literal(TapeWindow->windowTitle()));
        return;
    }
    auto* Entry = new QAction(Literal(TapeWindow->windowTitle()), mnuWindow);
    Entry->setObjectName(QLatin1String(WindowEntryPrefix) + TapeWindow->objectName());
    connect(Entry, &QAction::triggered, this, [this, Entry] { WindowMenuClick(Entry); });
    mnuWindow->addAction(Entry);

    // The entry follows its window: a new title after Save As, and no entry left
    // behind for a window that has gone without being removed from the menu.
    connect(TapeWindow, &QWidget::windowTitleChanged, Entry,
            [Entry](const QString& Title) { Entry->setText(Literal(Title)); });
    connect(TapeWindow, &QObject::destroyed, Entry, [this, Entry] {
        mnuWindow->removeAction(Entry);
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
        mnuWindow->removeAction(Entry);
        Entry->deleteLater();
    }
}

QList<QAction*> TMainForm::WindowMenuEntries() const
{
    return mnuWindow->actions();
}

void TMainForm::WindowMenuClick(QAction* Entry)
{
    if (!Entry)
        return;
    if (Entry == mnuWinEdsac) {
        emit ShowEdsacWindow();
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
    miPostMRUSeparator->setVisible(false);
    for (int I = 0; I < RecentPlaces; ++I) {
        QAction* Entry = miMRU[I];
        const QString Path = I < Files.size() ? Files[I] : QString();
        if (Path.isEmpty()) {
            Entry->setVisible(false);
            continue;
        }
        Entry->setText(QStringLiteral("%1: %2").arg(I + 1).arg(Literal(Path)));
        Entry->setStatusTip(Path);
        Entry->setToolTip(Path);
        Entry->setVisible(true);
        miPostMRUSeparator->setVisible(true);
    }
}

void TMainForm::SetInitialOrders(TInitialOrders Orders)
{
    cbInitialOrders->setCurrentIndex(InitialOrdersIndex(Orders));
    (Orders == ioOrders1 ? miInitialOrders1 : miInitialOrders2)->setChecked(true);
    emit SelectInitialOrders(Orders == ioOrders2);
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (CloseQuery && !CloseQuery()) {
        Event->ignore();
        return;
    }
    QMainWindow::closeEvent(Event);
}

void TMainForm::miOpenClick()
{
    if (const QString Path = ChooseTapeFile(tr("Open"), FOpenFileName); !Path.isEmpty())
        emit OpenTape(Path);
}

void TMainForm::miInsertClick()
{
    if (const QString Path = ChooseTapeFile(tr("Insert"), FInsertFileName); !Path.isEmpty())
        emit InsertTape(Path);
}

QString TMainForm::ChooseTapeFile(const QString& Title, QString& Remembered)
{
    Dialogs::TFileRequest Request;
    Request.Mode = Dialogs::TFileMode::Open;
    Request.Title = Title;
    Request.FileName = Remembered;
    Request.Filter = QString::fromLatin1(TapeFilter);
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
    Request.Filter = QString::fromLatin1(TextFilter);
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

void TMainForm::miTeleprinterSoundClick()
{
    // The item only explains; its check mark belongs to the (disabled) check box.
    miTeleprinterSound->setChecked(cbSound->isChecked());
    Inform(QStringLiteral("Not supported"),
           QStringLiteral("Sound is not currently supported in this version of Valvane"));
}

void TMainForm::miRealTimeClick(bool Checked)
{
    // The bridge reads the check box at every order; nothing else to tell.
    cbRealTime->setChecked(Checked);
}

void TMainForm::cbRealTimeToggled(bool Checked)
{
    miRealTime->setChecked(Checked);
}

void TMainForm::miHintsClick(bool Checked)
{
    {
        const QSignalBlocker Blocker(cbHints);
        cbHints->setChecked(Checked);
    }
    emit SetHints(Checked);
}

void TMainForm::cbHintsToggled(bool Checked)
{
    miHints->setChecked(Checked);
    emit SetHints(Checked);
}

void TMainForm::Inform(const QString& Caption, const QString& Text)
{
    Dialogs::Message(this, Caption, Text, QMessageBox::Ok, QMessageBox::Information);
}

void TMainForm::TutorialGuide1Click()
{
    Inform(QStringLiteral("Tutorial"),
           QStringLiteral("The tutorial guide can be found by opening the \"Lessonary\" file that was supplied with Valvane"));
}

void TMainForm::Documentation1Click()
{
    Inform(QStringLiteral("Documentation"),
           QStringLiteral("Program documentation can be found by opening the \"Referary\" file that was supplied with Valvane"));
}

#include "bridge/std_gui.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextDocument>
#include <algorithm>
#include <sys/stat.h>

#include "bridge/debug_session.h"
#include "bridge/hint_texts.h"
#include "bridge/main_commands.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/TapeReader.h"
#include "core/errors.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "kit/RecoveryStore.h"
#include "kit/RunTimer.h"
#include "kit/about_form.h"
#include "kit/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "forms/options_form.h"
#include "valvane_version.h"

namespace {

const QString Version = QStringLiteral("Version " VALVANE_VERSION);
constexpr int TapeWidth = 330;
constexpr int TapeHeight = 250;

// Brings a window back to the front in its normal state. A window the user
// minimised is still "visible" to the toolkit, so show() alone leaves it iconic.
void BringBack(QWidget* Window)
{
    if (Window->windowState() & Qt::WindowMinimized)
        Window->setWindowState(Window->windowState() & ~Qt::WindowMinimized);
    Window->show();
    Window->raise();
    Window->activateWindow();
}

// The machine window's title bar is guessed at this height before the window
// manager has framed it; a position counts as reachable when a grip's width of
// that strip, its whole height, lies on some screen's available area.
constexpr int TitleBarHeight = 24;
constexpr int TitleBarGrip = 100;

// Where a window of Size stands centred on Area.
QPoint CentredOn(const QRect& Area, const QSize& Size)
{
    return Area.topLeft() + QPoint((Area.width() - Size.width()) / 2, (Area.height() - Size.height()) / 2);
}

bool TitleBarReachable(const QRect& TitleBar)
{
    for (const QScreen* Screen : QGuiApplication::screens()) {
        const QRect On = TitleBar.intersected(Screen->availableGeometry());
        if (On.width() >= std::min(TitleBarGrip, TitleBar.width()) && On.height() >= TitleBar.height())
            return true;
    }
    return false;
}

// Two names of one file: the same path, or (through a link, a hard link, "..")
// the same file on the same device.
bool SameFile(const QString& A, const QString& B)
{
    if (QFileInfo(A).absoluteFilePath() == QFileInfo(B).absoluteFilePath())
        return true;
    struct stat InfoA {};
    struct stat InfoB {};
    return ::stat(QFile::encodeName(A).constData(), &InfoA) == 0
           && ::stat(QFile::encodeName(B).constData(), &InfoB) == 0 && InfoA.st_dev == InfoB.st_dev
           && InfoA.st_ino == InfoB.st_ino;
}

} // namespace

TStdGuiCoreInt::TStdGuiCoreInt(TEdSimSettings& ASettings)
    : FSettings(ASettings), FMainForm(std::make_unique<TMainForm>(MainCommands(*this))),
      FEdsacForm(std::make_unique<TEdsacForm>()), FPanel(*FEdsacForm), FLog(FEdsacForm.get())
{
    FOptionsForm = std::make_unique<TOptionsForm>();
    FAboutForm = std::make_unique<TAboutForm>();
    ResetCascade();
    FEdsacForm->SetHintHandler([this](const TTubeHint& Hint) { ShowHint(Hint); });
    Connect();
}

TStdGuiCoreInt::~TStdGuiCoreInt() = default;

void TStdGuiCoreInt::Connect()
{
    // Menus are refreshed after every punched character; asking the clipboard's owner
    // each time would be a round trip to the display server, so its state is kept.
    QClipboard* Clipboard = QGuiApplication::clipboard();
    const auto NoteClipboard = [this, Clipboard] {
        const QMimeData* Data = Clipboard->mimeData();
        FClipboardHasText = Data && Data->hasFormat(QStringLiteral("text/plain"));
    };
    NoteClipboard();
    connect(Clipboard, &QClipboard::dataChanged, this, [this, NoteClipboard] {
        NoteClipboard();
        if (FMainForm)
            UpdateMenus();
    });

    TEdsacForm* E = FEdsacForm.get();
    E->ExecuteStep = [this] { return ExecuteStep(); };
    connect(E, &TEdsacForm::ClearClicked, this, &TStdGuiCoreInt::ClearMachine);
    connect(E, &TEdsacForm::StartClicked, this, [this] {
        if (StartRun())
            FEdsacForm->CoreExecTimer->start();
    });
    connect(E, &TEdsacForm::StopClicked, this, [this] {
        StopRun();
        if (FDebug)
            FDebug->Stopped(tr("Stopped"));
    });
    connect(E, &TEdsacForm::ResetClicked, this, &TStdGuiCoreInt::ResumeRun);
    connect(E, &TEdsacForm::SingleEPClicked, this, [this] {
        Execute(false);
        UpdateMenus();
    });
    connect(E, &TEdsacForm::DialClicked, this, &TStdGuiCoreInt::Dial);
    connect(E, &TEdsacForm::LongTankChanged, this, &TStdGuiCoreInt::RefreshStoreDisplay);
    // Asked after every register change, so kept at hand rather than asked of the box.
    FPanel.SetShortTanks(E->ShortTanks());
    connect(E, &TEdsacForm::ShortTanksChanged, this, [this](bool On) { FPanel.SetShortTanks(On); });
    connect(E, &TEdsacForm::ShortTanksClicked, this, [this](bool Checked) {
        if (Checked)
            RefreshRegisters();
    });
    connect(E, &TEdsacForm::ClockClicked, this, &TStdGuiCoreInt::ZeroiseClock);
    connect(E, &TEdsacForm::PanelMouseMoved, this, &TStdGuiCoreInt::ClearHint);

    // The commands come from the main window's command table; these are its own controls.
    TMainForm* M = FMainForm.get();
    M->CloseQuery = [this] { return CanCloseAll(); };
    connect(M, &TMainForm::OpenTape, this, &TStdGuiCoreInt::OpenTape);
    connect(M, &TMainForm::SelectInitialOrders, this, &TStdGuiCoreInt::SelectInitialOrders);
    connect(M, &TMainForm::ShowTapeWindow, this, [this](int N) {
        if (TEditorForm* Window = FindTapeWindow(N)) {
            BringBack(Window);
            Window->Editor()->setFocus();
        }
    });
}

// ---- Lifecycle ----------------------------------------------------------------

void TStdGuiCoreInt::SetCore(TEdsacCore* NewCore)
{
    FDebug.reset();
    FRun.reset();
    FCore = NewCore;
    if (FCore)
        FRun = std::make_unique<TRunControl>(*FCore, *this);
}

void TStdGuiCoreInt::InitGui()
{
    FMainForm->setWindowTitle(QStringLiteral("The Valvane: ") + Version);
    if (const auto Orders = InitialOrdersNumbered(FSettings.InitialOrders))
        FMainForm->SetInitialOrders(*Orders);
    FMainForm->SetCommandChecked("miRealTime", FSettings.RealTime);
    FMainForm->SetRecentFiles(QStringList(FSettings.RecentFiles.begin(), FSettings.RecentFiles.end()));
    if (FSettings.EdsacFormLeft == -1 && FSettings.EdsacFormTop == -1) {
        FEdsacForm->move(CentredOn(QRect(QPoint(), QGuiApplication::primaryScreen()->geometry().size()), FEdsacForm->size()));
    } else if (TitleBarReachable(
                   QRect(FSettings.EdsacFormLeft, FSettings.EdsacFormTop, FEdsacForm->width(), TitleBarHeight))) {
        FEdsacForm->move(FSettings.EdsacFormLeft, FSettings.EdsacFormTop);
    } else {
        // A place off every screen (another monitor once, a hand-edited file) would
        // keep the panel out of reach for good: centre it where it can be seen and
        // keep that place instead.
        FEdsacForm->move(CentredOn(QGuiApplication::primaryScreen()->availableGeometry(),
                                   FEdsacForm->size() + QSize(0, TitleBarHeight)));
        FSettings.EdsacFormLeft = FEdsacForm->x();
        FSettings.EdsacFormTop = FEdsacForm->y();
    }
    UpdateMenus();
}

void TStdGuiCoreInt::KeepEdsacPlace()
{
    if (!FEdsacForm)
        return;
    FSettings.EdsacFormLeft = FEdsacForm->x();
    FSettings.EdsacFormTop = FEdsacForm->y();
}

void TStdGuiCoreInt::DoneGui()
{
    KeepEdsacPlace();
    FActiveTape = nullptr;
    FLog.Stop();
    FDebug.reset();
    FRun.reset();
    FEdsacForm.reset();
    FMainForm.reset();
    FAboutForm.reset();
    FOptionsForm.reset();
    FCore = nullptr;
}

void TStdGuiCoreInt::RestoreGui(QObject*)
{
    FMainForm->showNormal();
    BringBack(FEdsacForm.get());
    // Every tape window is activated as it comes back, and activation makes a tape
    // current: the current one comes back last so that it stays current.
    TEditorForm* Current = FActiveTape;
    for (TEditorForm* Tape : FTapeWindows)
        if (Tape && Tape != Current)
            BringBack(Tape);
    if (Current) {
        BringBack(Current);
        SetCurrentTape(Current);
    }
}

void TStdGuiCoreInt::MinimiseGui(QObject*)
{
    // The main window stays iconified rather than hidden, so the desktop still
    // offers a way back; everything else is put away.
    for (QWidget* Window : QApplication::topLevelWidgets())
        if (Window != FMainForm.get() && Window->isVisible())
            Window->hide();
}

// ---- Run control ----------------------------------------------------------------

void TStdGuiCoreInt::ClearMachine()
{
    FRun->SelectInitialOrders(FMainForm->InitialOrders());
    FRun->Clear();
    if (FDebug)
        FDebug->Stopped(QString());
}

void TStdGuiCoreInt::LoadInitialOrders()
{
    FRun->LoadInitialOrders();
    if (FDebug)
        FDebug->Stopped(QString());
}

void TStdGuiCoreInt::SelectInitialOrders(bool Second)
{
    if (FRun)
        FRun->SelectInitialOrders(InitialOrdersChoice(Second));
}

bool TStdGuiCoreInt::StartRun()
{
    if (!FActiveTape) {
        Dialogs::Message(FEdsacForm.get(), QStringLiteral("No tape"), QStringLiteral("Please select a program tape"),
                         QMessageBox::Ok, QMessageBox::Warning);
        return false;
    }
    ClearMachine();
    LoadInitialOrders();
    return true;
}

TStepResult TStdGuiCoreInt::ExecuteStep()
{
    return Execute(true);
}

TStepResult TStdGuiCoreInt::Execute(bool Checks)
{
    TRunTimer* Timer = FEdsacForm->CoreExecTimer;
    Timer->stop();
    const std::uint32_t Before = FCore->Control().GetElapsedTime();
    const TStepResult Result = FRun->Step(Checks);
    const TStopReport& Report = FRun->LastStop();
    if (Result == TStepResult::srError) {
        StopRun();
        if (FDebug)
            FDebug->Stopped(QString::fromStdString(Report.Text));
        // The machine's own stops are shown; a fault of the program only stops it.
        if (!Report.Caption.empty())
            Dialogs::Message(FEdsacForm.get(), QString::fromStdString(Report.Caption),
                             QString::fromStdString(Report.Text), QMessageBox::Ok, QMessageBox::Warning);
        return Result;
    }
    // Real Time waits by machine time against the wall clock, not by the order's
    // own whole milliseconds, which would drop its fractions.
    Timer->setInterval(FRealTime ? Timer->Pacer().Advance(FCore->Control().GetElapsedTime() - Before) : 0);
    if (Result == TStepResult::srStopped) {
        HaltTimer();
        if (FDebug)
            FDebug->Stopped(QString::fromStdString(Report.Text));
    } else if (FDebug) {
        FDebug->Moved();
    }
    return Result;
}

void TStdGuiCoreInt::StopRun()
{
    PlaySound(TSound::sndStop);
    HaltTimer();
}

void TStdGuiCoreInt::ResumeRun()
{
    FEdsacForm->CoreExecTimer->start();
    FRun->Resume();
}

void TStdGuiCoreInt::HaltTimer()
{
    FEdsacForm->CoreExecTimer->stop();
    // The run has left the clock and the output as they are: the menus catch up.
    UpdateMenus();
}

void TStdGuiCoreInt::Dial(int Digit)
{
    if (FEdsacForm->CoreExecTimer->isActive()) {
        Dialogs::Message(FEdsacForm.get(), QString(), QStringLiteral("Cannot input whilst EDSAC is running"),
                         QMessageBox::Ok, QMessageBox::Information);
        return;
    }
    FRun->Dial(Digit);
    FEdsacForm->CoreExecTimer->start();
}

void TStdGuiCoreInt::ZeroiseClock()
{
    FRun->ResetClock();
    UpdateMenus();
}

void TStdGuiCoreInt::RefreshRegisters()
{
    FCore->UpdateDisplays();
}

void TStdGuiCoreInt::RefreshStoreDisplay()
{
    UpdateStoreDisplay(FCore->GetStoreContents());
}

void TStdGuiCoreInt::PlaySound(TSound Sound)
{
    if (Sound == TSound::sndStop && FSettings.Beep)
        QApplication::beep();
}

// ---- Displays -------------------------------------------------------------------

void TStdGuiCoreInt::UpdateAccDisplay(bool Force, TWords Words)
{
    FPanel.ShowRegister(TRegister::rgAccumulator, Force, Words);
}

void TStdGuiCoreInt::UpdateScrDisplay(bool Force, TWords Words)
{
    FPanel.ShowRegister(TRegister::rgSequenceControl, Force, Words);
}

void TStdGuiCoreInt::UpdateOrdDisplay(bool Force, TWords Words)
{
    FPanel.ShowRegister(TRegister::rgOrderTank, Force, Words);
}

void TStdGuiCoreInt::UpdateMultrDisplay(bool Force, TWords Words)
{
    FPanel.ShowRegister(TRegister::rgMultiplier, Force, Words);
}

void TStdGuiCoreInt::UpdateMultdDisplay(bool Force, TWords Words)
{
    FPanel.ShowRegister(TRegister::rgMultiplicand, Force, Words);
}

void TStdGuiCoreInt::UpdateStoreDisplay(TWords Words)
{
    FPanel.ShowStore(Words);
}

void TStdGuiCoreInt::UpdateStoreWord(int Address, TWord Value)
{
    FPanel.ShowStoreWord(Address, Value);
}

void TStdGuiCoreInt::UpdateClock(std::uint32_t Time)
{
    FEdsacForm->UpdateClockDisplay(Time);
    // The clock moves at every order but leaves 0 or comes back to it seldom; the
    // menus follow it only then.
    if (FEdsacForm->ClockShowsTime() != FShownState.ClockShowsTime)
        UpdateMenus();
}

// ---- Tape input -------------------------------------------------------------------

int TStdGuiCoreInt::ReadTapeChar()
{
    // The current tape window was closed while the machine ran: the tape has gone.
    if (!FActiveTape)
        throw EEndOfTape();
    return ReadTapeCode(FActiveTape->Tape(), FSettings.IgnoreCase, *this);
}

// Stepping back reads the current tape again from where it was.
std::uint64_t TStdGuiCoreInt::TapeMark()
{
    return FActiveTape ? FActiveTape->Tape().Mark() : 0;
}

void TStdGuiCoreInt::RewindTapeTo(std::uint64_t Mark)
{
    if (FActiveTape)
        FActiveTape->Tape().GoToMark(Mark);
}

void TStdGuiCoreInt::TakeBackOutput(std::span<const TOutputChar> Output)
{
    FLog.TakeBack(Output);
    UpdateMenus();
}

// ---- Tape windows -------------------------------------------------------------------

void TStdGuiCoreInt::ResetCascade()
{
    FNextLeft = 10;
    // Measured from the main window's frame, title bar included. Until the window
    // manager has framed the main window that frame is not known, so the first
    // window of a cascade measures again when it is made.
    const QRect Frame = FMainForm->frameGeometry();
    FNextTop = Frame.y() + Frame.height() + 50;
    FCascadeFromMain = true;
}

TEditorForm* TStdGuiCoreInt::CreateTapeWindow(const QString& Caption, bool Show)
{
    ++FEditorCount;
    auto* Window = new TEditorForm(FMainForm.get(), Caption);
    FTapeWindows.append(Window);
    connect(Window, &TEditorForm::Activated, this, &TStdGuiCoreInt::SetCurrentTape);
    Window->SetCloseQuery([this, Window] { return TapeWindowCloseQuery(Window); });
    connect(Window, &TEditorForm::Closed, this, &TStdGuiCoreInt::TapeWindowClose);
    connect(Window, &TEditorForm::TextChanged, this, [this] { TapeChange(); });
    // The modified flag can drop after the text has changed (a whole text set, an
    // undo back to the saved text): Save follows the flag itself.
    connect(Window->Editor()->document(), &QTextDocument::modificationChanged, this, [this] {
        if (FMainForm && FEdsacForm)
            UpdateMenus();
    });
    connect(Window, &TEditorForm::KeyReleased, this, [this] { UpdateMenus(); });
    connect(Window, &TEditorForm::MouseReleased, this, [this] { UpdateMenus(); });
    if (FRecovery)
        FRecovery->Watch(Window);
    Window->setObjectName(QStringLiteral("ed") + QString::number(FEditorCount));
    if (FCascadeFromMain)
        ResetCascade();
    FCascadeFromMain = false;
    Window->move(FNextLeft, FNextTop);
    Window->resize(TapeWidth, TapeHeight);
    if (Show)
        Window->show();
    const int ScreenHeight = QGuiApplication::primaryScreen()->geometry().height();
    if (ScreenHeight - 100 < FNextTop + TapeHeight) {
        ResetCascade();
    } else {
        FNextLeft += 10;
        FNextTop += 20;
    }
    FActiveTape = Window;
    return Window;
}

TEditorForm* TStdGuiCoreInt::NewTape()
{
    ++FUntitledCount;
    TEditorForm* Window = CreateTapeWindow(QStringLiteral("Untitled ") + QString::number(FUntitledCount));
    FMainForm->AddWindowMenuItem(Window);
    UpdateMenus();
    return Window;
}

TEditorForm* TStdGuiCoreInt::OpenTape(const QString& FileName)
{
    if (!QFileInfo::exists(FileName)) {
        Dialogs::Message(FMainForm.get(), QStringLiteral("Error"), QStringLiteral("Cannot find the file: ") + FileName,
                         QMessageBox::Ok, QMessageBox::Critical);
        return nullptr;
    }
    // A second window on the same file would have two versions of it, and the
    // one saved last would silently remove what the other saved.
    for (TEditorForm* Open : std::as_const(FTapeWindows)) {
        if (Open && !Open->FileName().isEmpty() && SameFile(Open->FileName(), FileName)) {
            BringBack(Open);
            Open->Editor()->setFocus();
            SetCurrentTape(Open);
            RememberRecentFile(Open->FileName()); // one name for one file in the list
            return Open;
        }
    }
    // Shown once it holds the file: a file that cannot be read is reported over
    // the main window, not over an empty window named after nothing.
    TEditorForm* Window = CreateTapeWindow(QString(), false);
    if (!Window->LoadFromFile(FileName)) {
        // The window has said why; an empty window named after nothing helps no one.
        FActiveTape = nullptr;
        delete Window;
        UpdateMenus();
        return nullptr;
    }
    Window->show();
    FMainForm->AddWindowMenuItem(Window);
    Window->SetModified(false);
    Window->RewindTape();
    UpdateMenus();
    RememberRecentFile(FileName);
    return Window;
}

void TStdGuiCoreInt::RememberRecentFile(const QString& FileName)
{
    FSettings.AddRecentFile(FileName);
    FMainForm->SetRecentFiles(QStringList(FSettings.RecentFiles.begin(), FSettings.RecentFiles.end()));
}

TEditorForm* TStdGuiCoreInt::RecoverTape(const QString& FileName, const QString& Text)
{
    TEditorForm* Window = FileName.isEmpty() ? NewTape() : CreateTapeWindow(QString());
    if (!FileName.isEmpty()) {
        Window->SetFileName(FileName);
        FMainForm->AddWindowMenuItem(Window);
    }
    Window->Editor()->setPlainText(Text);
    Window->SetModified(true);
    UpdateMenus();
    return Window;
}

void TStdGuiCoreInt::InsertTape(const QString& FileName)
{
    if (FActiveTape)
        FActiveTape->InsertFile(FileName);
}

void TStdGuiCoreInt::CloseTape()
{
    if (FActiveTape)
        FActiveTape->close();
}

void TStdGuiCoreInt::SaveTape()
{
    if (!FActiveTape)
        return;
    FActiveTape->Save();
    ShowTapeName();
}

void TStdGuiCoreInt::SaveTapeAs()
{
    if (!FActiveTape)
        return;
    FActiveTape->SaveAs();
    ShowTapeName();
}

// After a save the current tape's name may have changed.
void TStdGuiCoreInt::ShowTapeName()
{
    FMainForm->UpdateWindowMenuItem(FActiveTape);
    FEdsacForm->SetTapeName(FActiveTape->windowTitle());
    UpdateMenus();
}

void TStdGuiCoreInt::SetCurrentTape(TEditorForm* Window)
{
    FActiveTape = Window;
    FEdsacForm->SetTapeName(Window->windowTitle());
    // Save, Cut, Copy and Select All depend on which tape is current.
    UpdateMenus();
}

TEditorForm* TStdGuiCoreInt::CurrentTape() const
{
    return FActiveTape;
}

void TStdGuiCoreInt::RewindTape()
{
    RewindActiveTape();
}

void TStdGuiCoreInt::RewindActiveTape()
{
    if (FActiveTape)
        FActiveTape->RewindTape();
}

TEditorForm* TStdGuiCoreInt::FindTapeWindow(int N) const
{
    return FMainForm->findChild<TEditorForm*>(QStringLiteral("ed") + QString::number(N), Qt::FindDirectChildrenOnly);
}

void TStdGuiCoreInt::ShowEdsacWindow()
{
    BringBack(FEdsacForm.get());
}

void TStdGuiCoreInt::CutText()
{
    if (FActiveTape)
        FActiveTape->Editor()->cut();
    UpdateMenus();
}

void TStdGuiCoreInt::CopyText()
{
    if (FActiveTape)
        FActiveTape->Editor()->copy();
    UpdateMenus();
}

void TStdGuiCoreInt::PasteText()
{
    if (FActiveTape)
        FActiveTape->Editor()->paste();
    UpdateMenus();
}

void TStdGuiCoreInt::SelectAll()
{
    if (FActiveTape)
        FActiveTape->Editor()->selectAll();
    UpdateMenus();
}

bool TStdGuiCoreInt::TapeWindowCloseQuery(TEditorForm* Window)
{
    return Window->AskToSaveChanges();
}

void TStdGuiCoreInt::TapeWindowClose(TEditorForm* Window)
{
    if (FMainForm)
        FMainForm->RemoveWindowMenuItem(Window);
    FTapeWindows.removeAll(Window);
    FActiveTape = nullptr;
    if (FEdsacForm)
        FEdsacForm->SetTapeName(QStringLiteral("No Program"));
    Window->deleteLater();
    if (FMainForm)
        UpdateMenus();
}

void TStdGuiCoreInt::TapeChange()
{
    RewindActiveTape();
    UpdateMenus();
}

bool TStdGuiCoreInt::CanCloseAll()
{
    // A copy: each window taken off the list as it closes.
    const QList<QPointer<TEditorForm>> Windows = FTapeWindows;
    for (TEditorForm* Window : Windows) {
        if (!Window)
            continue;
        // Brought to the front, as its Window menu entry would, before it is asked about.
        BringBack(Window);
        Window->Editor()->setFocus();
        if (!TapeWindowCloseQuery(Window))
            return false;
        Window->SetCloseQuery({});
        Window->close();
    }
    return true;
}

TCommandState TStdGuiCoreInt::CommandState() const
{
    TCommandState State;
    State.Tape = !FActiveTape.isNull();
    if (State.Tape) {
        const QPlainTextEdit* Editor = FActiveTape->Editor();
        State.TapeModified = FActiveTape->IsModified();
        State.TapeText = !Editor->document()->isEmpty();
        State.Selection = Editor->textCursor().hasSelection();
        State.CanPaste = FClipboardHasText;
    }
    State.Output = FLog.HasOutput();
    State.ClockShowsTime = FEdsacForm && FEdsacForm->ClockShowsTime();
    return State;
}

void TStdGuiCoreInt::UpdateMenus()
{
    FShownState = CommandState();
    FMainForm->ApplyCommandStates(FShownState);
}

// ---- Output -------------------------------------------------------------------

void TStdGuiCoreInt::TeleprinterNewLine(const std::string& Text)
{
    FLog.NewLine(Text);
    UpdateMenus();
}

void TStdGuiCoreInt::TeleprinterPrint(char Ch)
{
    FLog.Print(Ch);
}

void TStdGuiCoreInt::PunchChar(char Ch)
{
    // Every output order ends here, after its character has been printed: the
    // menus catch up so that the commands that save, punch or discard the output
    // become available. The very first character finds nothing punched yet and
    // leaves that to the next output.
    if (FLog.HasPunched())
        UpdateMenus();
    FLog.Punch(Ch);
}

void TStdGuiCoreInt::LineFeed()
{
    TeleprinterNewLine("");
}

void TStdGuiCoreInt::DiscardOutput()
{
    FLog.Discard();
    UpdateMenus();
}

bool TStdGuiCoreInt::SaveOutput(const QString& FileName)
{
    return FLog.SaveLines(FileName);
}

bool TStdGuiCoreInt::PunchOutput(const QString& FileName)
{
    return FLog.SavePunched(FileName);
}

void TStdGuiCoreInt::PrintTape()
{
    if (FActiveTape)
        PrintText(FMainForm.get(), FActiveTape->windowTitle(), FActiveTape->Text());
}

// ---- Hints and dialogs -------------------------------------------------------------

void TStdGuiCoreInt::SetHints(bool On)
{
    FHintsOn = On;
    FEdsacForm->ShowHintPointer(On);
}

void TStdGuiCoreInt::ClearHint()
{
    if (!FMainForm->HintText().isEmpty())
        FMainForm->SetHintText(QString());
}

void TStdGuiCoreInt::ShowHint(const TTubeHint& Hint)
{
    if (!FHintsOn)
        return;
    const auto Orders = FCore ? std::optional(FCore->GetInitialOrders()) : std::nullopt;
    const QString Text = TubeHintText(Hint, FEdsacForm->LongTank(), OrderMarks(Orders));
    if (!Text.isEmpty())
        FMainForm->SetHintText(Text);
}

void TStdGuiCoreInt::SetRealTime(bool On)
{
    FRealTime = On;
    // Switching Real Time starts its pacing afresh from the next order.
    FEdsacForm->CoreExecTimer->Pacer().Restart();
}

void TStdGuiCoreInt::ShowAbout()
{
    FAboutForm->SetVersion(Version);
    FAboutForm->exec();
}

void TStdGuiCoreInt::ShowDebugger()
{
    if (!FDebug) {
        TDebugSession::TRun Run;
        Run.Step = [this](bool Checks) {
            const TStepResult Result = Execute(Checks);
            UpdateMenus();
            return Result;
        };
        Run.Continue = [this] { ResumeRun(); };
        Run.Halt = [this] { HaltTimer(); };
        Run.Refresh = [this] { UpdateMenus(); };
        FDebug = std::make_unique<TDebugSession>(*FCore, *FRun, std::move(Run));
    }
    FDebug->Show(FEdsacForm.get());
}

void TStdGuiCoreInt::ShowOptions()
{
    FOptionsForm->Execute(FSettings);
}

#include "bridge/std_gui.h"

#include <QApplication>
#include <utility>

#include "bridge/debug_session.h"
#include "bridge/hint_texts.h"
#include "bridge/main_commands.h"
#include "bridge/window_place.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/errors.h"
#include "core/messages.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "forms/options_form.h"
#include "kit/Dialogs.h"
#include "kit/RunTimer.h"
#include "kit/about_form.h"
#include "kit/editor_form.h"
#include "settings/EdSimSettings.h"

TStdGuiCoreInt::TStdGuiCoreInt(TEdSimSettings& ASettings)
    : FSettings(ASettings),
      FMainForm(std::make_unique<TMainForm>(MainCommands(*this))),
      FEdsacForm(std::make_unique<TEdsacForm>()),
      FPanel(*FEdsacForm),
      FLog(FEdsacForm.get())
{
    FOptionsForm = std::make_unique<TOptionsForm>();
    FAboutForm = std::make_unique<TAboutForm>();
    FTapes = std::make_unique<TTapeWindows>(*FMainForm, *FEdsacForm, FSettings, [this] { UpdateMenus(); });
    FEdsacForm->SetHintHandler([this](const TTubeHint& Hint) { ShowHint(Hint); });
    FEdsacForm->SetTubeReader([this](std::optional<TRegister> Register, int Row, TWords Words) {
        const auto Orders = FCore ? std::optional(FCore->GetInitialOrders()) : std::nullopt;
        return TubeValueText(Register, Row, Words, FEdsacForm->LongTank(), OrderMarks(Orders));
    });
    Connect();
}

TStdGuiCoreInt::~TStdGuiCoreInt() = default;

void TStdGuiCoreInt::Connect()
{
    TEdsacForm* E = FEdsacForm.get();
    E->ExecuteStep = [this] { return ExecuteStep(); };
    connect(E, &TEdsacForm::ClearClicked, this, &TStdGuiCoreInt::ClearMachine);
    connect(E, &TEdsacForm::StartClicked, this, &TStdGuiCoreInt::Start);
    connect(E, &TEdsacForm::StopClicked, this, &TStdGuiCoreInt::Stop);
    connect(E, &TEdsacForm::ResetClicked, this, &TStdGuiCoreInt::ResumeRun);
    connect(E, &TEdsacForm::SingleEPClicked, this, &TStdGuiCoreInt::SingleEP);
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
    // The panel's buttons tell the keys the command table gives them.
    for (const auto& [Button, Command] :
         {std::pair{"btnClear", "keyClear"}, std::pair{"btnStart", "keyStart"}, std::pair{"btnStop", "keyStop"},
          std::pair{"btnReset", "keyReset"}, std::pair{"btnSingleEP", "keySingleEP"}})
        E->SetButtonKeys(Button, M->CommandShortcut(Command));
    connect(M, &TMainForm::OpenTape, this, &TStdGuiCoreInt::OpenTape);
    connect(M, &TMainForm::SelectInitialOrders, this, &TStdGuiCoreInt::SelectInitialOrders);
    connect(M, &TMainForm::ShowTapeWindow, this, [this](int N) { FTapes->Show(N); });
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
    if (const auto Orders = InitialOrdersNumbered(FSettings.InitialOrders))
        FMainForm->SetInitialOrders(*Orders);
    FMainForm->SetCommandChecked("miRealTime", FSettings.RealTime);
    FMainForm->SetRecentFiles(QStringList(FSettings.RecentFiles.begin(), FSettings.RecentFiles.end()));
    PlaceMachineWindow(*FEdsacForm, FSettings.EdsacFormLeft, FSettings.EdsacFormTop);
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
    // The tape windows go with the main window; nothing is current from here on.
    FTapes.reset();
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
    FTapes->RestoreAll();
}

void TStdGuiCoreInt::ShowEdsacWindow()
{
    BringBack(FEdsacForm.get());
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
    if (!CurrentTape()) {
        Dialogs::Message(FEdsacForm.get(), QStringLiteral("No tape"), QString::fromLatin1(Messages::NoTape),
                         QMessageBox::Ok, QMessageBox::Warning);
        return false;
    }
    ClearMachine();
    LoadInitialOrders();
    return true;
}

TStepResult TStdGuiCoreInt::ExecuteStep()
{
    // The store changes under a hint while the machine runs.
    ClearHint();
    return Execute(true);
}

void TStdGuiCoreInt::Start()
{
    if (StartRun())
        FEdsacForm->CoreExecTimer->start();
}

void TStdGuiCoreInt::Stop()
{
    StopRun();
    if (FDebug)
        FDebug->Stopped(tr("Stopped"));
}

void TStdGuiCoreInt::SingleEP()
{
    Execute(false);
    UpdateMenus();
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
        Dialogs::Message(FEdsacForm.get(), QString(), QString::fromLatin1(Messages::InputWhileRunning), QMessageBox::Ok,
                         QMessageBox::Information);
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

void TStdGuiCoreInt::UpdateClock(std::uint32_t Time)
{
    FEdsacForm->UpdateClockDisplay(Time);
    // The clock moves at every order but leaves 0 or comes back to it seldom; the
    // menus follow it only then.
    if (FEdsacForm->ClockShowsTime() != FShownState.ClockShowsTime)
        UpdateMenus();
}

// ---- Menu states ---------------------------------------------------------------

TCommandState TStdGuiCoreInt::CommandState() const
{
    TCommandState State;
    if (FTapes)
        FTapes->NoteState(State);
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

// ---- Hints and dialogs -------------------------------------------------------------

void TStdGuiCoreInt::SetHints(bool On)
{
    FHintsOn = On;
    FEdsacForm->ShowHintPointer(On);
    if (!On)
        ClearHint();
}

void TStdGuiCoreInt::ClearHint()
{
    if (!FMainForm->HintText().isEmpty())
        FMainForm->SetHintText(QString());
}

void TStdGuiCoreInt::ShowHint(const TTubeHint& Hint)
{
    // While the machine runs, a hint would be out of date before it was read.
    if (!FHintsOn || FEdsacForm->CoreExecTimer->isActive())
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

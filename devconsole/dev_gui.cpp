#include "devconsole/dev_gui.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

#include "components/FrameClock.h"
#include "core/EdsacCore.h"
#include "core/TapeReader.h"
#include "core/errors.h"
#include "devconsole/edsac_form_dev.h"
#include "devconsole/main_form_dev.h"
#include "kit/Dialogs.h"
#include "kit/about_form.h"
#include "kit/editor_form.h"
#include "core/messages.h"

namespace {

const QString TapeCaption = QStringLiteral("DeveloperProg");

QPoint ScreenOrigin()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return Screen ? Screen->availableGeometry().topLeft() : QPoint();
}

} // namespace

TDevGuiCoreInt::TDevGuiCoreInt(QObject* Parent)
    : QObject(Parent),
      FMainForm(std::make_unique<TMainFormDev>()),
      FEdsacForm(std::make_unique<TEdsacFormDev>()),
      FAboutForm(std::make_unique<TAboutForm>()),
      FPanel(*FEdsacForm)
{
    FEdsacForm->move(ScreenOrigin() + QPoint(0, 225));
    FOrderTextTimer.setSingleShot(true);
    FOrderTextTimer.setInterval(FrameClock::FrameInterval);
    connect(&FOrderTextTimer, &QTimer::timeout, this, &TDevGuiCoreInt::ShowOrderText);
    Connect();
}

void TDevGuiCoreInt::Connect()
{
    connect(FEdsacForm.get(), &TEdsacFormDev::LongTankChanged, this, [this] { RefreshStoreDisplay(); });
    TMainFormDev* M = FMainForm.get();
    M->ExecuteStep = [this] { return ExecuteStep(); };
    connect(M, &TMainFormDev::NewTape, this, &TDevGuiCoreInt::NewTape);
    connect(M, &TMainFormDev::OpenTape, this, &TDevGuiCoreInt::OpenTape);
    connect(M, &TMainFormDev::SaveTape, this, [this] {
        if (FActiveTape)
            FActiveTape->Save();
    });
    connect(M, &TMainFormDev::SaveTapeAs, this, [this] {
        if (FActiveTape)
            FActiveTape->SaveAs();
    });
    // Clearing the machine rewinds the tape too.
    connect(M, &TMainFormDev::ClearMachine, this, &TDevGuiCoreInt::ClearMachine);
    connect(M, &TMainFormDev::LoadInitialOrders, this, [this](bool Second) {
        SelectInitialOrders(Second);
        LoadInitialOrders();
    });
    connect(M, &TMainFormDev::SingleStep, this, &TDevGuiCoreInt::SingleStep);
    connect(M, &TMainFormDev::StartRun, this, [this] {
        if (StartRun())
            FMainForm->ShowRunCaption(rcStop);
    });
    connect(M, &TMainFormDev::Dial, this, &TDevGuiCoreInt::Dial);
}

TDevGuiCoreInt::~TDevGuiCoreInt() = default;

void TDevGuiCoreInt::InitGui() {}

void TDevGuiCoreInt::DoneGui()
{
    FOrderTextTimer.stop();
    FEdsacForm.reset();
    FMainForm.reset();
    FAboutForm.reset();
    FRun.reset();
    FCore = nullptr;
}

void TDevGuiCoreInt::SetCore(TEdsacCore* NewCore)
{
    FCore = NewCore;
    FRun = NewCore ? std::make_unique<TRunControl>(*NewCore, *this) : nullptr;
}

// The toolkit shows no window by itself, so the console appears here.
void TDevGuiCoreInt::RestoreGui(QObject*)
{
    if (FMainForm)
        FMainForm->show();
    if (FEdsacForm)
        FEdsacForm->show();
    if (FActiveTape)
        FActiveTape->show();
}

void TDevGuiCoreInt::MinimiseGui(QObject*) {}

void TDevGuiCoreInt::CoreMessage(const TTraceLine& Msg)
{
    if (FMainForm)
        FMainForm->Trace(TTraceUnit::Core, Msg);
}

void TDevGuiCoreInt::StoreMessage(const TTraceLine& Msg)
{
    if (FMainForm)
        FMainForm->Trace(TTraceUnit::Store, Msg);
}

void TDevGuiCoreInt::IOMessage(const TTraceLine& Msg)
{
    if (FMainForm)
        FMainForm->Trace(TTraceUnit::IO, Msg);
}

void TDevGuiCoreInt::ControlMessage(const TTraceLine& Msg)
{
    if (FMainForm)
        FMainForm->Trace(TTraceUnit::Control, Msg);
}

void TDevGuiCoreInt::ALUMessage(const TTraceLine& Msg)
{
    if (FMainForm)
        FMainForm->Trace(TTraceUnit::Alu, Msg);
}

void TDevGuiCoreInt::UpdateAccDisplay(bool Force, TWords Words)
{
    if (FEdsacForm)
        FPanel.ShowRegister(TRegister::rgAccumulator, Force, Words);
}

void TDevGuiCoreInt::UpdateScrDisplay(bool Force, TWords Words)
{
    if (FEdsacForm)
        FPanel.ShowRegister(TRegister::rgSequenceControl, Force, Words);
}

void TDevGuiCoreInt::UpdateOrdDisplay(bool Force, TWords Words)
{
    if (!FEdsacForm)
        return;
    FPanel.ShowRegister(TRegister::rgOrderTank, Force, Words);
    if (Words.empty())
        return;
    FPendingOrder = Words[0];
    if (!FOrderTextTimer.isActive())
        FOrderTextTimer.start();
}

void TDevGuiCoreInt::ShowOrderText()
{
    if (FEdsacForm)
        FEdsacForm->ShowOrderText(QString::fromStdString(OrderToStr(WordToOrder(FPendingOrder), 'F', 'D')));
}

void TDevGuiCoreInt::UpdateMultrDisplay(bool Force, TWords Words)
{
    if (FEdsacForm)
        FPanel.ShowRegister(TRegister::rgMultiplier, Force, Words);
}

void TDevGuiCoreInt::UpdateMultdDisplay(bool Force, TWords Words)
{
    if (FEdsacForm)
        FPanel.ShowRegister(TRegister::rgMultiplicand, Force, Words);
}

void TDevGuiCoreInt::UpdateStoreDisplay(TWords Words)
{
    if (FEdsacForm)
        FPanel.ShowStore(Words);
}

void TDevGuiCoreInt::UpdateStoreWord(int Address, TWord Value)
{
    if (FEdsacForm)
        FPanel.ShowStoreWord(Address, Value);
}

void TDevGuiCoreInt::TeleprinterNewLine(const std::string& Text)
{
    if (FEdsacForm)
        FEdsacForm->PrintLine(QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size())));
}

void TDevGuiCoreInt::TeleprinterPrint(char Ch)
{
    // A Latin-1 byte: the pound sign arrives as 0xA3.
    if (FEdsacForm)
        FEdsacForm->PrintChar(QChar(static_cast<unsigned char>(Ch)));
}

void TDevGuiCoreInt::ClearMessages()
{
    if (FMainForm)
        FMainForm->ClearMessages();
}

int TDevGuiCoreInt::ReadTapeChar()
{
    if (!FActiveTape) {
        StopEdsac();
        ReportNoTape();
        FReadAbandoned = true;
        throw EReadAbandoned();
    }
    try {
        // This console always reads letters as capitals.
        return ReadTapeCode(FActiveTape->Tape(), true, *this);
    } catch (const EIllegalChar& E) {
        StopEdsac();
        const TStopReport Report = DescribeStop(E);
        Dialogs::Message(FMainForm.get(), QString::fromStdString(Report.Caption), QString::fromStdString(Report.Text),
                         QMessageBox::Ok, QMessageBox::Information);
    } catch (const EEndOfTape& E) {
        // Told as a plain note under the program's name: the tape has simply run out.
        StopEdsac();
        Dialogs::Message(FMainForm.get(), QGuiApplication::applicationDisplayName(),
                         QString::fromStdString(DescribeStop(E).Text), QMessageBox::Ok, QMessageBox::NoIcon);
    }
    // No code to give: the input order must not store anything.
    FReadAbandoned = true;
    throw EReadAbandoned();
}

void TDevGuiCoreInt::ClearMachine()
{
    CoreMessage("Initialising simulator...");
    if (FRun)
        FRun->Clear();
    if (FMainForm) {
        FMainForm->StopTimer();
        FMainForm->ShowRunCaption(rcRun);
    }
    CoreMessage("Simulator is initialised");
}

void TDevGuiCoreInt::LoadInitialOrders()
{
    if (FRun)
        FRun->LoadInitialOrders();
}

void TDevGuiCoreInt::SelectInitialOrders(bool Second)
{
    if (FRun)
        FRun->SelectInitialOrders(InitialOrdersChoice(Second));
}

TStepResult TDevGuiCoreInt::ExecuteStep()
{
    if (FMainForm)
        FMainForm->StopTimer();
    if (!FRun)
        return TStepResult::srError;
    // Every step here goes on past a stop order: Run and Single E.P. both do.
    FRun->Resume();
    FReadAbandoned = false;
    const TStepResult Result = FRun->Step();
    if (Result != TStepResult::srError)
        return Result;
    StopEdsac();
    // A failed read has been reported by the tape reader already.
    if (FReadAbandoned)
        return Result;
    const TStopReport& Report = FRun->LastStop();
    if (Report.Cause == TStopCause::scEndOfTape || Report.Cause == TStopCause::scIllegalChar)
        Dialogs::Message(FMainForm.get(), QString::fromStdString(Report.Caption), QString::fromStdString(Report.Text),
                         QMessageBox::Ok, QMessageBox::Warning);
    else if (FMainForm)
        // No box for these, but the reason is kept where the developer looks.
        FMainForm->AddTopLevelMessage(QString::fromLatin1(Messages::Stopped).arg(QString::fromStdString(Report.Text)));
    return Result;
}

void TDevGuiCoreInt::RefreshStoreDisplay()
{
    if (FCore)
        UpdateStoreDisplay(FCore->GetStoreContents());
}

void TDevGuiCoreInt::RefreshRegisters() {}

void TDevGuiCoreInt::ZeroiseClock()
{
    if (FRun)
        FRun->ResetClock();
}

void TDevGuiCoreInt::Dial(int Digit)
{
    if (!FMainForm || !FRun)
        return;
    if (FMainForm->IsRunning()) {
        Dialogs::Message(FMainForm.get(), QString(), QString::fromLatin1(Messages::InputWhileRunning), QMessageBox::Ok,
                         QMessageBox::Information);
        return;
    }
    FRun->Dial(Digit);
    FMainForm->StartTimer();
    FMainForm->ShowRunCaption(rcStop);
}

TEditorForm* TDevGuiCoreInt::MakeTapeWindow()
{
    auto* Tape = new TEditorForm(FMainForm.get(), TapeCaption);
    Tape->resize(500, 200);
    Tape->move(ScreenOrigin() + QPoint(770, 0));
    // Closed by its close box, the tape asks about its changes like any tape window
    // and then is gone: nothing could show it again.
    Tape->SetCloseQuery([Tape] { return Tape->AskToSaveChanges(); });
    connect(Tape, &TEditorForm::Closed, this, [this](TEditorForm* Closed) {
        if (FActiveTape == Closed)
            FActiveTape = nullptr;
        Closed->deleteLater();
    });
    return Tape;
}

void TDevGuiCoreInt::ReplaceTape(TEditorForm* Tape)
{
    // One tape at a time; the old one goes without a question about its changes.
    TEditorForm* Old = FActiveTape;
    FActiveTape = Tape;
    Tape->show();
    delete Old;
}

TEditorForm* TDevGuiCoreInt::NewTape()
{
    if (!FMainForm)
        return nullptr;
    TEditorForm* Tape = MakeTapeWindow();
    ReplaceTape(Tape);
    return Tape;
}

TEditorForm* TDevGuiCoreInt::OpenTape(const QString& Path)
{
    if (!FMainForm)
        return nullptr;
    TEditorForm* Tape = MakeTapeWindow();
    if (!Tape->LoadFromFile(Path)) {
        delete Tape;
        return nullptr;
    }
    ReplaceTape(Tape);
    return Tape;
}

TEditorForm* TDevGuiCoreInt::CurrentTape() const
{
    return FActiveTape;
}

void TDevGuiCoreInt::RewindTape()
{
    if (FActiveTape)
        FActiveTape->RewindTape();
}

bool TDevGuiCoreInt::StartRun()
{
    if (!FActiveTape) {
        ReportNoTape();
        return false;
    }
    if (FMainForm)
        FMainForm->StartTimer();
    return true;
}

void TDevGuiCoreInt::StopEdsac()
{
    if (!FMainForm)
        return;
    FMainForm->StopTimer();
    FMainForm->ShowRunCaption(rcRunAgain);
}

void TDevGuiCoreInt::SingleStep()
{
    if (!FActiveTape) {
        ReportNoTape();
        return;
    }
    const bool WasRunning = FMainForm->IsRunning();
    const TStepResult Result = ExecuteStep();
    // The step switched the timer off, so a run in progress has ended.
    if (WasRunning && Result != TStepResult::srError)
        FMainForm->ShowRunCaption(rcRun);
}

void TDevGuiCoreInt::ReportNoTape()
{
    Dialogs::Message(FMainForm.get(), QStringLiteral("No tape"), QString::fromLatin1(Messages::NoTapeSelected),
                     QMessageBox::Ok, QMessageBox::Warning);
}

void TDevGuiCoreInt::FlushMessages()
{
    if (FMainForm)
        FMainForm->FlushMessages();
}

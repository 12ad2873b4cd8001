#include "devconsole/dev_gui.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <array>

#include "components/CRTDisplay.h"
#include "components/FrameClock.h"
#include "core/EdsacCore.h"
#include "core/LongTank.h"
#include "core/TapeReader.h"
#include "core/errors.h"
#include "devconsole/edsac_form_dev.h"
#include "devconsole/main_form_dev.h"
#include "devconsole/msg_form.h"
#include "forms/Dialogs.h"
#include "forms/about_form.h"
#include "forms/editor_form.h"

namespace {

const QString TapeCaption = QStringLiteral("DeveloperProg");

QPoint ScreenOrigin()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return Screen ? Screen->availableGeometry().topLeft() : QPoint();
}

} // namespace

TDevGuiCoreInt::TDevGuiCoreInt(QObject* Parent) : QObject(Parent)
{
    MainForm = std::make_unique<TMainFormDev>(*this);
    EdsacForm = std::make_unique<TEdsacFormDev>();
    EdsacForm->move(ScreenOrigin() + QPoint(0, 225));
    AboutForm = std::make_unique<TAboutForm>();
    connect(EdsacForm.get(), &TEdsacFormDev::LongTankChanged, this, [this] { RefreshStoreDisplay(); });
    OrderTextTimer.setSingleShot(true);
    OrderTextTimer.setInterval(FrameClock::FrameInterval);
    connect(&OrderTextTimer, &QTimer::timeout, this, &TDevGuiCoreInt::ShowOrderText);
}

TDevGuiCoreInt::~TDevGuiCoreInt() = default;

void TDevGuiCoreInt::InitGui() {}

void TDevGuiCoreInt::DoneGui()
{
    OrderTextTimer.stop();
    EdsacForm.reset();
    MainForm.reset();
    AboutForm.reset();
    Core = nullptr;
}

void TDevGuiCoreInt::SetCore(TEdsacCore* NewCore)
{
    Core = NewCore;
}

// The toolkit shows no window by itself, so the console appears here.
void TDevGuiCoreInt::RestoreGui(QObject*)
{
    if (MainForm)
        MainForm->show();
    if (EdsacForm)
        EdsacForm->show();
    if (ActiveTape)
        ActiveTape->show();
}

void TDevGuiCoreInt::MinimiseGui(QObject*) {}

void TDevGuiCoreInt::CoreMessage(const TTraceLine& Msg)
{
    if (MainForm && MainForm->cbCoreMsg->isChecked())
        MainForm->TopLevelMsgs->AddMsg(Msg);
}

void TDevGuiCoreInt::StoreMessage(const TTraceLine& Msg)
{
    if (MainForm && MainForm->cbStoreWin->isChecked())
        MainForm->StoreMsgs->AddMsg(Msg);
}

void TDevGuiCoreInt::IOMessage(const TTraceLine& Msg)
{
    if (MainForm && MainForm->cbIOWin->isChecked())
        MainForm->IOMsgs->AddMsg(Msg);
}

void TDevGuiCoreInt::ControlMessage(const TTraceLine& Msg)
{
    if (MainForm && MainForm->cbControlWin->isChecked())
        MainForm->ControlMsgs->AddMsg(Msg);
}

void TDevGuiCoreInt::ALUMessage(const TTraceLine& Msg)
{
    if (MainForm && MainForm->cbALUWin->isChecked())
        MainForm->ALUMsgs->AddMsg(Msg);
}

void TDevGuiCoreInt::UpdateAccDisplay(bool Force, TWords Words)
{
    if (EdsacForm)
        EdsacForm->crtACC->SetWords(Words, Force);
}

void TDevGuiCoreInt::UpdateScrDisplay(bool Force, TWords Words)
{
    if (EdsacForm)
        EdsacForm->crtSCR->SetWords(Words, Force);
}

void TDevGuiCoreInt::UpdateOrdDisplay(bool Force, TWords Words)
{
    if (!EdsacForm)
        return;
    EdsacForm->crtORD->SetWords(Words, Force);
    if (Words.empty())
        return;
    PendingOrder = Words[0];
    if (!OrderTextTimer.isActive())
        OrderTextTimer.start();
}

void TDevGuiCoreInt::ShowOrderText()
{
    if (EdsacForm)
        EdsacForm->lblORD->setText(QString::fromStdString(OrderToStr(WordToOrder(PendingOrder), 'F', 'D')));
}

void TDevGuiCoreInt::UpdateMultrDisplay(bool Force, TWords Words)
{
    if (EdsacForm)
        EdsacForm->crtMULTR->SetWords(Words, Force);
}

void TDevGuiCoreInt::UpdateMultdDisplay(bool Force, TWords Words)
{
    if (EdsacForm)
        EdsacForm->crtMULTD->SetWords(Words, Force);
}

void TDevGuiCoreInt::UpdateStoreDisplay(TWords Words)
{
    if (!EdsacForm)
        return;
    const int Tank = EdsacForm->LongTank();
    for (int Row = 0; Row < LongTankRows; ++Row) {
        const auto First = static_cast<std::size_t>(LongTankAddress(Tank, Row, 0));
        const auto Second = static_cast<std::size_t>(LongTankAddress(Tank, Row, 1));
        if (First >= Words.size())
            break;
        const std::array<TWord, 2> Pair{Words[First], Words[Second]};
        EdsacForm->crtStores[static_cast<std::size_t>(Row)]->SetWords(Pair, false);
    }
}

void TDevGuiCoreInt::UpdateStoreWord(int Address, TWord Value)
{
    if (!EdsacForm)
        return;
    if (const auto Place = LongTankPlace(EdsacForm->LongTank(), Address))
        EdsacForm->crtStores[static_cast<std::size_t>(Place->Row)]->SetWord(Place->Column, Value);
}

void TDevGuiCoreInt::UpdateClock(std::uint32_t) {}

void TDevGuiCoreInt::TeleprinterNewLine(const std::string& Text)
{
    if (!EdsacForm)
        return;
    QPlainTextEdit* Memo = EdsacForm->TeletypeMemo;
    Memo->moveCursor(QTextCursor::End);
    Memo->insertPlainText(QLatin1Char('\n') + QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size())));
}

void TDevGuiCoreInt::TeleprinterPrint(char Ch)
{
    if (!EdsacForm)
        return;
    QPlainTextEdit* Memo = EdsacForm->TeletypeMemo;
    Memo->moveCursor(QTextCursor::End);
    // A Latin-1 byte: the pound sign arrives as 0xA3.
    Memo->insertPlainText(QString(QChar(static_cast<unsigned char>(Ch))));
}

void TDevGuiCoreInt::PunchChar(char) {}

void TDevGuiCoreInt::ClearMessages()
{
    if (!MainForm)
        return;
    MainForm->TopLevelMsgs->Clear();
    for (TMsgForm* Window : {MainForm->ALUMsgs, MainForm->StoreMsgs, MainForm->ControlMsgs, MainForm->IOMsgs})
        Window->msgs->Clear();
}

int TDevGuiCoreInt::ReadTapeChar()
{
    if (!ActiveTape) {
        StopEdsac();
        ReportNoTape();
        throw EReadAbandoned();
    }
    try {
        // This console always reads letters as capitals.
        return ReadTapeCode(ActiveTape->Tape(), true, *this);
    } catch (const EIllegalChar& E) {
        StopEdsac();
        const TStopReport Report = DescribeStop(E);
        Dialogs::Message(MainForm.get(), QString::fromStdString(Report.Caption), QString::fromStdString(Report.Text),
                         QMessageBox::Ok, QMessageBox::Information);
    } catch (const EEndOfTape& E) {
        // Told as a plain note under the program's name: the tape has simply run out.
        StopEdsac();
        Dialogs::Message(MainForm.get(), QGuiApplication::applicationDisplayName(),
                         QString::fromStdString(DescribeStop(E).Text), QMessageBox::Ok, QMessageBox::NoIcon);
    }
    // No code to give: the input order must not store anything.
    throw EReadAbandoned();
}

void TDevGuiCoreInt::PlaySound(int) {}

void TDevGuiCoreInt::ClearMachine()
{
    CoreMessage("Initialising simulator...");
    if (Core)
        Core->Init();
    if (MainForm) {
        MainForm->StopTimer();
        MainForm->ShowRunCaption(rcRun);
    }
    CoreMessage("Simulator is initialised");
}

void TDevGuiCoreInt::LoadInitialOrders()
{
    if (Core)
        Core->LoadInitialOrders();
}

void TDevGuiCoreInt::SelectInitialOrders(bool Second)
{
    if (Core)
        Core->SetInitialOrders(InitialOrdersChoice(Second));
}

TStepResult TDevGuiCoreInt::ExecuteStep()
{
    if (MainForm)
        MainForm->StopTimer();
    if (!Core)
        return TStepResult::srError;
    try {
        if (Core->IsStopped())
            Core->ClearStop();
        Core->ExecuteOrder();
        return Core->IsStopped() ? TStepResult::srStopped : TStepResult::srRunning;
    } catch (const EReadAbandoned&) {
        // Already reported by the tape reader.
        StopEdsac();
    } catch (const std::exception& E) {
        StopEdsac();
        const TStopReport Report = DescribeStop(E);
        if (dynamic_cast<const EEndOfTape*>(&E) || dynamic_cast<const EIllegalChar*>(&E))
            Dialogs::Message(MainForm.get(), QString::fromStdString(Report.Caption),
                             QString::fromStdString(Report.Text), QMessageBox::Ok, QMessageBox::Warning);
        else if (MainForm)
            // No box for these, but the reason is kept where the developer looks.
            MainForm->TopLevelMsgs->AddMsg(QStringLiteral("Stopped: ") + QString::fromStdString(Report.Text));
    } catch (...) {
        StopEdsac();
    }
    return TStepResult::srError;
}

void TDevGuiCoreInt::RefreshStoreDisplay()
{
    if (Core)
        UpdateStoreDisplay(Core->GetStoreContents());
}

void TDevGuiCoreInt::RefreshRegisters() {}

void TDevGuiCoreInt::ZeroiseClock()
{
    if (Core)
        Core->ResetClock();
}

void TDevGuiCoreInt::Dial(int Digit)
{
    if (!MainForm || !Core)
        return;
    if (MainForm->IsRunning()) {
        Dialogs::Message(MainForm.get(), QString(), QStringLiteral("Cannot input whilst EDSAC is running"),
                         QMessageBox::Ok, QMessageBox::Information);
        return;
    }
    Core->Dial(Digit);
    MainForm->StartTimer();
    MainForm->ShowRunCaption(rcStop);
}

TEditorForm* TDevGuiCoreInt::MakeTapeWindow()
{
    auto* Tape = new TEditorForm(MainForm.get(), TapeCaption);
    Tape->resize(500, 200);
    Tape->move(ScreenOrigin() + QPoint(770, 0));
    // Closed by its close box, the tape asks about its changes like any tape window
    // and then is gone: nothing could show it again.
    Tape->SetCloseQuery([Tape] {
        if (!Tape->IsModified())
            return true;
        const auto Answer = Dialogs::Message(Tape, QStringLiteral("Confirm"),
                                             QStringLiteral("Save changes to ") + Tape->windowTitle() + QLatin1Char('?'),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                             QMessageBox::Warning);
        if (Answer == QMessageBox::Yes)
            return Tape->Save();
        return Answer == QMessageBox::No;
    });
    connect(Tape, &TEditorForm::Closed, this, [this](TEditorForm* Closed) {
        if (ActiveTape == Closed)
            ActiveTape = nullptr;
        Closed->deleteLater();
    });
    return Tape;
}

void TDevGuiCoreInt::ReplaceTape(TEditorForm* Tape)
{
    // One tape at a time; the old one goes without a question about its changes.
    TEditorForm* Old = ActiveTape;
    ActiveTape = Tape;
    Tape->show();
    delete Old;
}

TEditorForm* TDevGuiCoreInt::NewTape()
{
    if (!MainForm)
        return nullptr;
    TEditorForm* Tape = MakeTapeWindow();
    ReplaceTape(Tape);
    return Tape;
}

TEditorForm* TDevGuiCoreInt::OpenTape(const QString& Path)
{
    if (!MainForm)
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
    return ActiveTape;
}

void TDevGuiCoreInt::RewindCurrentTape()
{
    if (ActiveTape)
        ActiveTape->RewindTape();
}

bool TDevGuiCoreInt::StartRun()
{
    if (!ActiveTape) {
        ReportNoTape();
        return false;
    }
    if (MainForm)
        MainForm->StartTimer();
    return true;
}

void TDevGuiCoreInt::StopEdsac()
{
    if (!MainForm)
        return;
    MainForm->StopTimer();
    MainForm->ShowRunCaption(rcRunAgain);
}

void TDevGuiCoreInt::ReportNoTape()
{
    Dialogs::Message(MainForm.get(), QStringLiteral("No tape"), QStringLiteral("No tape selected"), QMessageBox::Ok,
                     QMessageBox::Warning);
}

void TDevGuiCoreInt::FlushMessages()
{
    if (MainForm)
        MainForm->FlushMessages();
}

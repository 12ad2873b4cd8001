#include "app/Startup.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/SignalWatch.h"
#include "bridge/std_gui.h"
#include "core/EdsacCore.h"
#include "devconsole/dev_gui.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "devconsole/main_form_dev.h"
#include "kit/RecoveryStore.h"
#include "forms/main_form.h"
#include "forms/splash_form.h"
#include "core/messages.h"

namespace {

// Minimising the main window puts every window of the program away; restoring it
// brings back the main window, the machine window and the tape windows.
class TMinimiseWatch : public QObject {
public:
    TMinimiseWatch(QWidget* Main, TStdGuiCoreInt& ABridge) : FBridge(ABridge) { Main->installEventFilter(this); }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::WindowStateChange) {
            const bool Minimised = static_cast<QWidget*>(Watched)->isMinimized();
            if (Minimised && !FWasMinimised)
                FBridge.MinimiseGui(Watched);
            else if (!Minimised && FWasMinimised)
                FBridge.RestoreGui(Watched);
            FWasMinimised = Minimised;
        }
        return false;
    }

private:
    TStdGuiCoreInt& FBridge;
    bool FWasMinimised = false;
};

// The program ends when its main window has agreed to close and gone. Its close
// query may run message boxes of its own, so the window's going is what counts,
// not the request to close it; an iconified window stays visible.
class TCloseWatch : public QObject {
public:
    explicit TCloseWatch(QWidget* Main) : QObject(Main) { Main->installEventFilter(this); }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Hide) {
            auto* Main = static_cast<QWidget*>(Watched);
            QTimer::singleShot(0, Main, [Main] {
                if (!Main->isVisible())
                    QCoreApplication::exit(0);
            });
        }
        return false;
    }
};

// The program between Start and Finish, for an exit that bypasses Finish: the
// toolkit ends the process with exit() when it loses the display.
TStartup* LiveProgram = nullptr;

extern "C" void SaveAtUnexpectedExit()
{
    if (LiveProgram)
        LiveProgram->SaveBeforeExit();
}

} // namespace

bool IsDeveloperSwitch(const QStringList& Arguments)
{
    if (Arguments.size() < 2)
        return false;
    QByteArray First = Arguments[1].toLatin1();
    for (char& C : First)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return First == "-DEV";
}

TSessionEnvironment CurrentSessionEnvironment()
{
    const auto Get = [](const char* Name) { return qEnvironmentVariable(Name); };
    return {Get("QT_QPA_PLATFORM"), Get("WAYLAND_DISPLAY"), Get("XDG_SESSION_TYPE"), Get("DISPLAY")};
}

bool PreferX11Platform(const TSessionEnvironment& Session)
{
    if (!Session.Platform.isEmpty() || Session.Display.isEmpty())
        return false;
    return !Session.WaylandDisplay.isEmpty() ||
           Session.SessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

TStartup::TStartup(bool ADeveloper, const QString& SettingsPath)
    : FDeveloper(ADeveloper), FEdSettings(std::make_unique<TEdSimSettings>(SettingsPath))
{
}

TStartup::~TStartup()
{
    if (FEdsacCore)
        Finish();
    if (LiveProgram == this)
        LiveProgram = nullptr;
}

QWidget* TStartup::MainWindow() const
{
    if (FStd)
        return FStd->GetMainForm();
    return FDev ? FDev->MainWindow() : nullptr;
}

void TStartup::Start()
{
    // A settings file that cannot be read gives the defaults; one that cannot be
    // written is reported once, at the end.
    FEdSettings->Load();
    FEdSettings->Save();

    FSignals = std::make_unique<TSignalWatch>(std::initializer_list<int>{SIGTERM, SIGHUP},
                                              [this](int Signal) { Terminate(Signal); });
    static const bool AtExit = std::atexit(SaveAtUnexpectedExit) == 0;
    if (!AtExit)
        qWarning("An unexpected exit will not save recovery copies");
    LiveProgram = this;

    std::unique_ptr<TSplashForm> Splash;
    if (FEdSettings->ShowSplash) {
        Splash = std::make_unique<TSplashForm>();
        if (FDeveloper)
            Splash->ShowDeveloperTitle();
        Splash->ShowAndPaint();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    if (FDeveloper) {
        FDev = std::make_unique<TDevGuiCoreInt>();
        FSim = FDev.get();
    } else {
        FStd = std::make_unique<TStdGuiCoreInt>(*FEdSettings);
        FSim = FStd.get();
        FRecovery = std::make_unique<TRecoveryStore>();
        FStd->SetRecoveryStore(FRecovery.get());
        FMinimiseWatch = std::make_unique<TMinimiseWatch>(FStd->GetMainForm(), *FStd);
    }

    FEdsacCore = std::make_unique<TEdsacCore>(*FSim);
    FSim->SetCore(FEdsacCore.get());
    FSim->InitGui();

    if (Splash) {
        Splash.reset();
        QApplication::restoreOverrideCursor();
    }
    FSim->RestoreGui(nullptr);
    if (FDeveloper)
        FDev->MainWindow()->show();
    else
        OfferRecovery();
}

void TStartup::OfferRecovery()
{
    const QList<TRecoveredTape> Tapes = FRecovery->ClaimOrphans();
    if (Tapes.isEmpty())
        return;
    QStringList Names;
    for (const TRecoveredTape& Tape : Tapes)
        Names << (Tape.FileName.isEmpty() ? Tape.Caption
                                          : Tape.Caption + QStringLiteral(" (") + Tape.FileName + QLatin1Char(')'));
    const auto Answer = Dialogs::Message(
        FStd->GetMainForm(), QStringLiteral("Restore Tapes"),
        QString::fromLatin1(Messages::Recovered).arg(Names.join(QLatin1Char('\n'))),
        QMessageBox::Yes | QMessageBox::Discard, QMessageBox::Question,
        {{QMessageBox::Yes, QStringLiteral("Restore")}, {QMessageBox::Discard, QStringLiteral("Discard")}});
    if (Answer == QMessageBox::Yes) {
        // Each tape's copy is in this session before the old ones go, so that no
        // moment holds neither.
        for (const TRecoveredTape& Tape : Tapes)
            FRecovery->WriteNow(FStd->RecoverTape(Tape.FileName, Tape.Text));
        FRecovery->DiscardClaimed();
    } else if (Answer == QMessageBox::Discard) {
        FRecovery->DiscardClaimed();
    } else {
        FRecovery->ReleaseClaimed();
    }
}

int TStartup::Exec()
{
    // The main window decides when the program ends; the machine window never closes.
    QApplication::setQuitOnLastWindowClosed(false);
    new TCloseWatch(MainWindow());
    return QApplication::exec();
}

bool TStartup::Finish()
{
    // From here on the program ends in order: a signal ends it at once.
    FSignals.reset();
    LiveProgram = nullptr;
    FMinimiseWatch.reset();
    FSim->SetCore(nullptr);
    FEdsacCore->Shutdown();
    FSim->DoneGui();
    // Every tape window has closed or gone: the session's copies go with it.
    FRecovery.reset();
    FEdsacCore.reset();
    if (FEdSettings->Save())
        return true;
    Dialogs::Message(nullptr, QStringLiteral("Valvane"),
                     QString::fromLatin1(Messages::SettingsNotSaved).arg(FEdSettings->LastError()), QMessageBox::Ok,
                     QMessageBox::Warning);
    return false;
}

void TStartup::SaveBeforeExit()
{
    if (FRecovery)
        FRecovery->KeepAll();
    if (FStd)
        FStd->KeepEdsacPlace();
    if (!FEdSettings->Save())
        std::fprintf(stderr, "valvane: the settings could not be saved: %s\n",
                     qUtf8Printable(FEdSettings->LastError()));
}

void TStartup::Terminate(int Signal)
{
    SaveBeforeExit();
    LiveProgram = nullptr;
    // Ended by the signal itself, as its sender expects to see.
    std::signal(Signal, SIG_DFL);
    std::raise(Signal);
    std::_Exit(128 + Signal);
}

#include "app/Startup.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "bridge/std_gui.h"
#include "core/EdsacCore.h"
#include "devconsole/dev_gui.h"
#include "forms/Dialogs.h"
#include "forms/EdSimSettings.h"
#include "devconsole/main_form_dev.h"
#include "forms/main_form.h"
#include "forms/splash_form.h"

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
    return !Session.WaylandDisplay.isEmpty()
           || Session.SessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

TStartup::TStartup(bool ADeveloper, const QString& SettingsPath)
    : FDeveloper(ADeveloper), FEdSettings(std::make_unique<TEdSimSettings>(SettingsPath))
{
}

TStartup::~TStartup()
{
    if (FEdsacCore)
        Finish();
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

    std::unique_ptr<TSplashForm> Splash;
    if (FEdSettings->ShowSplash) {
        Splash = std::make_unique<TSplashForm>();
        if (FDeveloper)
            Splash->lblDevVersion->show();
        Splash->ShowAndPaint();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    if (FDeveloper) {
        FDev = std::make_unique<TDevGuiCoreInt>();
        FSim = FDev.get();
    } else {
        FStd = std::make_unique<TStdGuiCoreInt>(*FEdSettings);
        FSim = FStd.get();
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
    FMinimiseWatch.reset();
    FSim->SetCore(nullptr);
    FEdsacCore->Shutdown();
    FSim->DoneGui();
    FEdsacCore.reset();
    if (FEdSettings->Save())
        return true;
    Dialogs::Message(nullptr, QStringLiteral("Valvane"),
                     QStringLiteral("The settings could not be saved.\n") + FEdSettings->LastError(), QMessageBox::Ok,
                     QMessageBox::Warning);
    return false;
}

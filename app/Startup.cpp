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
    TMinimiseWatch(QWidget* Main, TStdGuiCoreInt& Bridge) : Bridge(Bridge) { Main->installEventFilter(this); }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::WindowStateChange) {
            const bool Minimised = static_cast<QWidget*>(Watched)->isMinimized();
            if (Minimised && !WasMinimised)
                Bridge.MinimiseGui(Watched);
            else if (!Minimised && WasMinimised)
                Bridge.RestoreGui(Watched);
            WasMinimised = Minimised;
        }
        return false;
    }

private:
    TStdGuiCoreInt& Bridge;
    bool WasMinimised = false;
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

TStartup::TStartup(bool Developer, const QString& SettingsPath)
    : Developer(Developer), EdSettings(std::make_unique<TEdSimSettings>(SettingsPath))
{
}

TStartup::~TStartup()
{
    if (EdsacCore)
        Finish();
}

QWidget* TStartup::MainWindow() const
{
    if (Std)
        return Std->GetMainForm();
    return Dev ? Dev->MainWindow() : nullptr;
}

void TStartup::Start()
{
    // A settings file that cannot be read gives the defaults; one that cannot be
    // written is reported once, at the end.
    EdSettings->Load();
    EdSettings->Save();

    std::unique_ptr<TSplashForm> Splash;
    if (EdSettings->ShowSplash) {
        Splash = std::make_unique<TSplashForm>();
        if (Developer)
            Splash->lblDevVersion->show();
        Splash->ShowAndPaint();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    if (Developer) {
        Dev = std::make_unique<TDevGuiCoreInt>();
        Sim = Dev.get();
    } else {
        Std = std::make_unique<TStdGuiCoreInt>(*EdSettings);
        Sim = Std.get();
        MinimiseWatch = std::make_unique<TMinimiseWatch>(Std->GetMainForm(), *Std);
    }

    EdsacCore = std::make_unique<TEdsacCore>(*Sim);
    Sim->SetCore(EdsacCore.get());
    Sim->InitGui();

    if (Splash) {
        Splash.reset();
        QApplication::restoreOverrideCursor();
    }
    Sim->RestoreGui(nullptr);
    if (Developer)
        Dev->MainWindow()->show();
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
    MinimiseWatch.reset();
    Sim->SetCore(nullptr);
    EdsacCore->Shutdown();
    Sim->DoneGui();
    EdsacCore.reset();
    if (EdSettings->Save())
        return true;
    Dialogs::Message(nullptr, QStringLiteral("Valvane"),
                     QStringLiteral("The settings could not be saved.\n") + EdSettings->LastError(), QMessageBox::Ok,
                     QMessageBox::Warning);
    return false;
}

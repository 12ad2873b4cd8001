// Valvane: the EDSAC simulator.
#include <QApplication>
#include <QIcon>

#include "app/Startup.h"
#include "settings/EdSimSettings.h"

int main(int argc, char* argv[])
{
    // The platform is fixed when the application object is made.
    if (PreferX11Platform(CurrentSessionEnvironment()))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("The Valvane"));
    // The desktop entry and the installed icon, for window managers and task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral("valvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("valvane")));

    TStartup Program(IsDeveloperSwitch(App.arguments()), TEdSimSettings::DefaultFileName());
    Program.Start();
    Program.Exec();
    Program.Finish();
    return 0;
}

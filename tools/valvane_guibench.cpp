// valvane-guibench TAPE: how fast the machine runs behind the real panel. It starts
// the standard user interface as the program does (settings in a scratch folder),
// opens TAPE, presses Start with Real Time off and Short Tanks on, and runs until
// the machine stops; then it measures a bare zero-interval timer for one second in
// the same process, for comparison.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/Startup.h"
#include "bridge/std_gui.h"
#include "components/CRTDisplay.h"
#include "forms/EdSimSettings.h"
#include "forms/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"

int main(int argc, char* argv[])
{
    QApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: valvane-guibench TAPE\n");
        return 1;
    }
    const QString Tape = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    QTemporaryDir Scratch;
    TStartup Program(false, Scratch.filePath(QStringLiteral("Valvane.ini")));
    Program.Settings().ShowSplash = false;
    Program.Start();
    TStdGuiCoreInt& Bridge = *Program.StdGui();
    TEdsacForm& Panel = *Bridge.GetEdsacForm();
    if (!Bridge.OpenTape(Tape))
        return 1;
    Bridge.GetMainForm()->cbRealTime->setChecked(false);
    Panel.cbShortTanks->setChecked(true);

    // Count orders as the run timer delivers them.
    std::uint64_t Orders = 0;
    auto Step = Panel.ExecuteStep;
    Panel.ExecuteStep = [&] {
        const int Result = Step();
        if (Result != 2)
            ++Orders;
        if (Result != 0)
            QTimer::singleShot(0, &App, [] { QCoreApplication::exit(0); });
        return Result;
    };
    QElapsedTimer Clock;
    Clock.start();
    Panel.btnStart->click();
    App.exec();
    const double Seconds = Clock.nsecsElapsed() / 1e9;

    std::uint64_t Ticks = 0;
    QTimer Bare;
    Bare.setInterval(0);
    QObject::connect(&Bare, &QTimer::timeout, [&] { ++Ticks; });
    QTimer::singleShot(1000, &App, [] { QCoreApplication::exit(0); });
    Clock.restart();
    Bare.start();
    App.exec();
    Bare.stop();
    const double BareSeconds = Clock.nsecsElapsed() / 1e9;

    const double Rate = Orders / Seconds;
    const double BareRate = Ticks / BareSeconds;
    std::printf("orders: %llu\nseconds: %.3f\norders/s: %.0f\nbare timer ticks/s: %.0f\nratio: %.3f\n",
                static_cast<unsigned long long>(Orders), Seconds, Rate, BareRate, Rate / BareRate);

    // Leave without questions about the tape.
    if (TEditorForm* T = Bridge.CurrentTape())
        T->SetModified(false);
    Program.Finish();
    return 0;
}

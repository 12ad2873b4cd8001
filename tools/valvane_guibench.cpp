// valvane-guibench: how fast the machine runs behind the real windows. Each mode
// starts the program as it starts itself (settings and recovery copies in a scratch
// folder) and opens TAPE.
//
//   valvane-guibench TAPE
//       The machine window, Real Time off, Short Tanks on, from Start until the
//       machine stops; then a bare zero-interval timer for one second in the same
//       process, for comparison.
//   valvane-guibench --real-time SECONDS TAPE
//       The machine window with Real Time on, for SECONDS of wall time: how much
//       machine time passed in that wall time.
//   valvane-guibench --debugger TAPE
//       As the first mode with the debugger window open (history and profile
//       kept), for at most 10 seconds; then Run Back, with no marks set, steps
//       back through all the history the run left: how many orders, how long.
//   valvane-guibench --open TAPE
//       Opens TAPE in a tape window and paints it, then types a few characters
//       at the end of its longest line: how long the window is held up by each.
//   valvane-guibench --dev [--trace] [--seconds N] TAPE
//       The developer console, slider at Fast, trace windows off (all four on with
//       --trace), run for N seconds (5 by default) or until the machine stops;
//       then Stop is asked for from another thread and the time until the run
//       timer is off is measured. The same figures as the first mode, the bare
//       timer included.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTextBlock>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <cstdlib>
#include <ctime>

#include "app/Startup.h"
#include "bridge/debug_session.h"
#include "bridge/std_gui.h"
#include "components/CRTDisplay.h"
#include "core/ControlUnit.h"
#include "core/Debugger.h"
#include "core/EdsacCore.h"
#include "devconsole/dev_gui.h"
#include "devconsole/main_form_dev.h"
#include "devconsole/msg_form.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "kit/RunTimer.h"
#include "kit/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"

namespace {

// The windows keep their controls to themselves; the bench finds them by name.
template <class T>
T& Child(const QObject* Window, const char* Name)
{
    T* Found = Window->findChild<T*>(QString::fromLatin1(Name));
    if (!Found) {
        std::fprintf(stderr, "valvane-guibench: no %s in %s\n", Name, qPrintable(Window->objectName()));
        std::exit(2);
    }
    return *Found;
}

// Seconds of processor time this thread has had. On a machine shared with other
// work the wall clock says as much about the others as about the program; the
// processor time says what the program itself spent.
double ThreadSeconds()
{
    timespec Now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
    return static_cast<double>(Now.tv_sec) + static_cast<double>(Now.tv_nsec) / 1e9;
}

// A stretch of the run, by the wall clock and by processor time.
struct TSpan {
    QElapsedTimer Wall;
    double Cpu = 0;
    TSpan()
    {
        Wall.start();
        Cpu = ThreadSeconds();
    }
    double Seconds() const { return Wall.nsecsElapsed() / 1e9; }
    double CpuSeconds() const { return ThreadSeconds() - Cpu; }
};

struct TRate {
    double PerSecond = 0;
    double PerCpuSecond = 0;
};

TRate BareTimerRate(QApplication& App)
{
    std::uint64_t Ticks = 0;
    QTimer Bare;
    Bare.setInterval(0);
    QObject::connect(&Bare, &QTimer::timeout, [&] { ++Ticks; });
    QTimer::singleShot(1000, &App, [] { QCoreApplication::exit(0); });
    const TSpan Span;
    Bare.start();
    App.exec();
    Bare.stop();
    return {Ticks / Span.Seconds(), Ticks / Span.CpuSeconds()};
}

// "cpu ratio" compares the two by the processor time each had, which a busy
// machine disturbs far less than "ratio".
void PrintRates(std::uint64_t Orders, double Seconds, double CpuSeconds, TRate Bare)
{
    const double Rate = Orders / Seconds;
    std::printf("orders: %llu\nseconds: %.3f\norders/s: %.0f\nbare timer ticks/s: %.0f\nratio: %.3f\n"
                "cpu seconds: %.3f\ncpu ratio: %.3f\n",
                static_cast<unsigned long long>(Orders), Seconds, Rate, Bare.PerSecond, Rate / Bare.PerSecond,
                CpuSeconds, Orders / CpuSeconds / Bare.PerCpuSecond);
}

// Leave without questions about the tape.
void Finish(TStartup& Program, TEditorForm* Tape)
{
    if (Tape)
        Tape->SetModified(false);
    Program.Finish();
}

// Run Back through the whole history, as its command in the debugger window does.
void StepBackThroughHistory(TStdGuiCoreInt& Bridge)
{
    const THistory& History = Bridge.Debug()->Debugger().History();
    const std::uint64_t Held = History.Orders();
    const std::size_t Bytes = History.Bytes();
    QElapsedTimer Clock;
    Clock.start();
    Child<QAction>(Bridge.Debug()->Window(), "actRunBack").trigger();
    const double Seconds = Clock.nsecsElapsed() / 1e9;
    std::printf("history bytes per order: %.2f\norders stepped back: %llu\nstep back seconds: %.3f\n",
                Held ? static_cast<double>(Bytes) / static_cast<double>(Held) : 0.0,
                static_cast<unsigned long long>(Held - History.Orders()), Seconds);
}

int RunStandard(QApplication& App, const QString& Tape, double RealTimeSeconds, bool Debugger = false)
{
    QTemporaryDir Scratch;
    // Recovery copies there too: another instance's would be offered at the start.
    qputenv("XDG_DATA_HOME", QFile::encodeName(Scratch.path()));
    TStartup Program(false, Scratch.filePath(QStringLiteral("Valvane.ini")));
    Program.Settings().ShowSplash = false;
    Program.Start();
    TStdGuiCoreInt& Bridge = *Program.StdGui();
    TEdsacForm& Panel = *Bridge.GetEdsacForm();
    if (!Bridge.OpenTape(Tape))
        return 1;
    const bool RealTime = RealTimeSeconds > 0;
    Child<QCheckBox>(Bridge.GetMainForm(), "cbRealTime").setChecked(RealTime);
    Child<QCheckBox>(&Panel, "cbShortTanks").setChecked(true);
    QPushButton& Start = Child<QPushButton>(&Panel, "btnStart");
    QPushButton& Stop = Child<QPushButton>(&Panel, "btnStop");

    // Count orders as the run timer delivers them.
    std::uint64_t Orders = 0;
    auto Step = Panel.ExecuteStep;
    Panel.ExecuteStep = [&] {
        const TStepResult Result = Step();
        if (Result != TStepResult::srError)
            ++Orders;
        if (Result != TStepResult::srRunning)
            QTimer::singleShot(0, &App, [] { QCoreApplication::exit(0); });
        return Result;
    };
    if (Debugger)
        Bridge.ShowDebugger();
    if (RealTime || Debugger)
        QTimer::singleShot(static_cast<int>((Debugger ? 10 : RealTimeSeconds) * 1000), Qt::PreciseTimer, &App,
                           [] { QCoreApplication::exit(0); });
    const TSpan Span;
    Start.click();
    App.exec();
    const double Seconds = Span.Seconds();
    const double CpuSeconds = Span.CpuSeconds();
    Stop.click();

    if (RealTime) {
        const double Machine = Program.Core()->Control().GetElapsedTime() / 10000.0;
        std::printf("orders: %llu\nmachine seconds: %.3f\nwall seconds: %.3f\nratio: %.4f\n",
                    static_cast<unsigned long long>(Orders), Machine, Seconds, Machine / Seconds);
    } else {
        PrintRates(Orders, Seconds, CpuSeconds, BareTimerRate(App));
    }
    if (Debugger)
        StepBackThroughHistory(Bridge);
    Finish(Program, Bridge.CurrentTape());
    return 0;
}

int OpenAndType(const QString& Tape)
{
    QTemporaryDir Scratch;
    TStartup Program(false, Scratch.filePath(QStringLiteral("Valvane.ini")));
    Program.Settings().ShowSplash = false;
    Program.Start();
    TStdGuiCoreInt& Bridge = *Program.StdGui();
    QApplication::processEvents();
    QElapsedTimer Clock;
    Clock.start();
    TEditorForm* Window = Bridge.OpenTape(Tape);
    // The tape window's own pane, as a user's tools would find it.
    auto* Pane = Window ? Window->findChild<QPlainTextEdit*>(QStringLiteral("memoTape")) : nullptr;
    if (Window) {
        Pane->viewport()->repaint();
        QApplication::processEvents();
    }
    std::printf("open seconds: %.3f\n", Clock.nsecsElapsed() / 1e9);
    if (!Window) {
        std::printf("opened: no\n");
        Program.Finish();
        return 0;
    }
    QPlainTextEdit& Editor = *Pane;
    QTextBlock Longest = Editor.document()->firstBlock();
    for (QTextBlock Block = Longest; Block.isValid(); Block = Block.next())
        if (Block.length() > Longest.length())
            Longest = Block;
    QTextCursor Cursor(Longest);
    Cursor.movePosition(QTextCursor::EndOfBlock);
    Editor.setTextCursor(Cursor);
    Editor.setFocus();
    QApplication::processEvents();
    std::printf("lines: %d\nlongest line: %d\n", Editor.document()->blockCount(), Longest.length() - 1);
    const int Keys = 5;
    double Slowest = 0;
    for (int I = 0; I < Keys; ++I) {
        Clock.restart();
        QKeyEvent Press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("A"));
        QKeyEvent Release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("A"));
        QApplication::sendEvent(&Editor, &Press);
        QApplication::sendEvent(&Editor, &Release);
        Editor.viewport()->repaint();
        QApplication::processEvents();
        Slowest = std::max(Slowest, Clock.nsecsElapsed() / 1e9);
    }
    std::printf("slowest keystroke seconds: %.3f\n", Slowest);
    Finish(Program, Window);
    return 0;
}

// The control window's lines hold each order as fetched, received and executed:
// no order is received without being fetched just before, and the last one
// received is the one in the order tank.
bool ControlTraceInOrder(const TMsgForm& Window, TWord OrderTank)
{
    const QStringList Lines = Window.Text().split(QLatin1Char('\n'));
    QString LastReceived;
    bool Fetched = false;
    for (const QString& Line : Lines) {
        if (Line.startsWith(QLatin1String("Fetching order @ loc "))) {
            Fetched = true;
        } else if (Line.startsWith(QLatin1String("Received order "))) {
            // The window's first lines may start part-way through an order.
            if (!Fetched && !LastReceived.isEmpty())
                return false;
            Fetched = false;
            LastReceived = Line;
        }
    }
    return LastReceived ==
           QLatin1String("Received order ") + QString::fromStdString(WordToOrderStr(OrderTank, 'S', 'L'));
}

int RunDeveloper(QApplication& App, const QString& Tape, bool Trace, double RunSeconds)
{
    QTemporaryDir Scratch;
    TStartup Program(true, Scratch.filePath(QStringLiteral("Valvane.ini")));
    Program.Settings().ShowSplash = false;
    Program.Start();
    TDevGuiCoreInt& Gui = *Program.DevGui();
    TMainFormDev& Main = *Gui.MainWindow();
    if (!Gui.OpenTape(Tape))
        return 1;
    for (const char* Box : {"cbALUWin", "cbStoreWin", "cbControlWin", "cbIOWin"})
        Child<QCheckBox>(&Main, Box).setChecked(Trace);
    Child<QSlider>(&Main, "tbClockSpeed").setValue(TMainFormDev::SlowestInterval);
    Child<QPushButton>(&Main, "Button3").click();
    Child<QPushButton>(&Main, "Button5").click();
    QPushButton& Run = Child<QPushButton>(&Main, "Button2");

    // One order per tick; this runs after the console's own handler.
    std::uint64_t Orders = 0;
    QObject::connect(&Child<TRunTimer>(&Main, "CoreExecTimer"), &TRunTimer::timeout, &App, [&] {
        ++Orders;
        if (!Main.IsRunning())
            QCoreApplication::exit(0);
    });
    // Stop, asked for from outside the event loop: how long until it is obeyed.
    std::atomic<std::int64_t> AskedAt{0};
    std::int64_t StoppedAt = 0;
    const auto Now = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    QObject::connect(&Run, &QPushButton::clicked, &App, [&] {
        if (AskedAt.load() != 0 && !Main.IsRunning()) {
            StoppedAt = Now();
            QCoreApplication::exit(0);
        }
    });

    const TSpan Span;
    Run.click();
    std::atomic<bool> Quit{false};
    std::thread Asker([&] {
        const auto Until = std::chrono::steady_clock::now() + std::chrono::duration<double>(RunSeconds);
        while (!Quit.load() && std::chrono::steady_clock::now() < Until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (Quit.load())
            return;
        AskedAt = Now();
        QMetaObject::invokeMethod(&Run, "click", Qt::QueuedConnection);
    });
    App.exec();
    const double Seconds = Span.Seconds();
    const double CpuSeconds = Span.CpuSeconds();
    const bool StoppedByItself = AskedAt.load() == 0 || StoppedAt == 0;
    Quit = true;
    Asker.join();
    if (StoppedByItself)
        // The asked-for Stop may still be queued; let it land on a halted machine.
        QCoreApplication::processEvents();

    PrintRates(Orders, Seconds, CpuSeconds, BareTimerRate(App));
    if (StoppedByItself)
        std::printf("stop: the machine stopped by itself\n");
    else
        std::printf("stop answered in seconds: %.3f\n", (StoppedAt - AskedAt.load()) / 1e9);
    if (Trace) {
        // What the windows show once their pending lines are written.
        Gui.FlushMessages();
        std::printf("trace windows: last lines in order: %s\n",
                    ControlTraceInOrder(Child<TMsgForm>(&Main, "ControlMsgs"), Program.Core()->Control().GetOrderTank())
                        ? "yes"
                        : "no");
        for (const char* Name : {"ALUMsgs", "StoreMsgs", "ControlMsgs", "IOMsgs"}) {
            const TMsgForm& Window = Child<TMsgForm>(&Main, Name);
            std::printf("%s: %d lines\n", qPrintable(Window.windowTitle()), Window.LineCount());
        }
    }
    Finish(Program, Gui.CurrentTape());
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: valvane-guibench TAPE\n"
                         "       valvane-guibench --real-time SECONDS TAPE\n"
                         "       valvane-guibench --debugger TAPE\n"
                         "       valvane-guibench --open TAPE\n"
                         "       valvane-guibench --dev [--trace] [--seconds N] TAPE\n");
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication App(argc, argv);
    // A message box would hold the run up until someone answered it: say what it
    // says instead, and answer it.
    Dialogs::SetMessageResponder([](const Dialogs::TMessageRequest& Box) {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(Box.Caption), qPrintable(Box.Text));
        return QMessageBox::Ok;
    });
    QStringList Args = QCoreApplication::arguments().mid(1);
    if (Args.isEmpty())
        return Usage();
    const QString Tape = QFileInfo(Args.takeLast()).absoluteFilePath();
    if (Args.isEmpty())
        return RunStandard(App, Tape, 0);
    if (Args.size() == 2 && Args[0] == QLatin1String("--real-time")) {
        bool Ok = false;
        const double Seconds = Args[1].toDouble(&Ok);
        return Ok && Seconds > 0 ? RunStandard(App, Tape, Seconds) : Usage();
    }
    if (Args.size() == 1 && Args[0] == QLatin1String("--debugger"))
        return RunStandard(App, Tape, 0, true);
    if (Args.size() == 1 && Args[0] == QLatin1String("--open"))
        return OpenAndType(Tape);
    if (Args.takeFirst() != QLatin1String("--dev"))
        return Usage();
    bool Trace = false;
    double Seconds = 5;
    while (!Args.isEmpty()) {
        const QString Arg = Args.takeFirst();
        bool Ok = true;
        if (Arg == QLatin1String("--trace"))
            Trace = true;
        else if (Arg == QLatin1String("--seconds") && !Args.isEmpty())
            Seconds = Args.takeFirst().toDouble(&Ok);
        else
            Ok = false;
        if (!Ok || Seconds <= 0)
            return Usage();
    }
    return RunDeveloper(App, Tape, Trace, Seconds);
}

// Unsaved work across an end that is not orderly: what a signal makes the program
// write, and the offer at the next start to restore what it kept. The program
// itself is started and sent signals; the restoring is answered in this process.
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/SignalWatch.h"
#include "app/Startup.h"
#include "bridge/std_gui.h"
#include "kit/Dialogs.h"
#include "settings/EdSimSettings.h"
#include "kit/RecoveryStore.h"
#include "kit/editor_form.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "tests/named.h"

namespace {

QStringList Sessions(const QString& Folder)
{
    return QDir(Folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// Copies as an instance leaves them when it is killed: (file, text) pairs.
QString PlantOrphan(const QString& Folder, const QList<std::pair<QString, QString>>& Tapes)
{
    TRecoveryStore Store(Folder);
    std::vector<std::unique_ptr<TEditorForm>> Windows;
    for (const auto& [File, Text] : Tapes) {
        Windows.push_back(std::make_unique<TEditorForm>(nullptr, QStringLiteral("Untitled 7")));
        if (!File.isEmpty())
            Windows.back()->SetFileName(File);
        Store.Watch(Windows.back().get());
        TapePane(Windows.back().get())->insertPlainText(Text);
    }
    Store.KeepAll();
    Windows.clear();
    return Store.SessionFolder();
}

// True while some process holds the session's lock.
bool Locked(const QString& Session)
{
    const int Fd = ::open(QFile::encodeName(Session + "/lock").constData(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        return false;
    const bool Held = ::flock(Fd, LOCK_EX | LOCK_NB) != 0;
    ::close(Fd);
    return Held;
}

QByteArray ReadAll(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

} // namespace

class TestRecoveryStart : public QObject {
    Q_OBJECT

    QTemporaryDir Scratch;
    QString Data() const { return Scratch.filePath(QStringLiteral("data")); }
    QString Folder() const { return Data() + QStringLiteral("/valvane/recovery"); }
    QString Work() const { return Scratch.filePath(QStringLiteral("work")); }
    QString Ini() const { return Work() + QStringLiteral("/Valvane.ini"); }
    QList<Dialogs::TMessageRequest> Asked;
    QMessageBox::StandardButton Answer = QMessageBox::Ok;

    // The program, in a folder of its own, with its per-user data in the scratch
    // folder; offscreen unless given an X display.
    std::unique_ptr<QProcess> StartProgram(const QString& XDisplay = QString())
    {
        auto Child = std::make_unique<QProcess>();
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   XDisplay.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
        Env.insert(QStringLiteral("DISPLAY"), XDisplay);
        Env.insert(QStringLiteral("HOME"), Scratch.path());
        Env.insert(QStringLiteral("XDG_DATA_HOME"), Data());
        Env.insert(QStringLiteral("XDG_CONFIG_HOME"), Scratch.filePath(QStringLiteral("config")));
        Child->setProcessEnvironment(Env);
        Child->setWorkingDirectory(Work());
        Child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Child->start(QStringLiteral(VALVANE), {});
        return Child;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(Data()));
        QCOMPARE(TRecoveryStore::DefaultFolder(), Folder());
    }

    void init()
    {
        QDir(Data()).removeRecursively();
        QDir(Work()).removeRecursively();
        QVERIFY(QDir().mkpath(Work()));
        // No splash: nothing to wait for.
        QFile File(Ini());
        QVERIFY(File.open(QIODevice::WriteOnly));
        File.write("[Edsac]\nShowSplash=0\n");
        Asked.clear();
        Answer = QMessageBox::Ok;
        Dialogs::SetMessageResponder([this](const Dialogs::TMessageRequest& R) {
            Asked << R;
            return Answer;
        });
    }

    void cleanup() { Dialogs::SetMessageResponder({}); }

    void signalsReachTheEventLoop()
    {
        struct sigaction Before;
        ::sigaction(SIGHUP, nullptr, &Before);
        QList<int> Seen;
        {
            TSignalWatch Watch({SIGHUP, SIGUSR1}, [&](int Signal) { Seen << Signal; });
            ::raise(SIGHUP);
            ::raise(SIGUSR1);
            QVERIFY(Seen.isEmpty()); // not in the handler: on the loop
            QTRY_COMPARE(Seen, (QList<int>{SIGHUP, SIGUSR1}));
        }
        struct sigaction Now;
        ::sigaction(SIGHUP, nullptr, &Now);
        QVERIFY(Now.sa_handler == Before.sa_handler); // given back
    }

    void savingBeforeAnUnorderlyExit()
    {
        TStartup Program(false, Ini());
        Program.Start();
        QVERIFY(Asked.isEmpty());
        TEditorForm* Tape = Program.StdGui()->NewTape();
        TapePane(Tape)->insertPlainText(QStringLiteral("T64K"));
        Program.StdGui()->GetEdsacForm()->move(77, 66);
        Program.SaveBeforeExit(); // at once, not a moment later
        const QString Copy = Program.Recovery()->CopyPath(Tape);
        QVERIFY(ReadAll(Copy).endsWith("\n\nT64K"));
        TEdSimSettings Saved(Ini());
        QVERIFY(Saved.Load());
        QCOMPARE(Saved.EdsacFormLeft, 77);
        QCOMPARE(Saved.EdsacFormTop, 66);
        Program.Finish();
        QVERIFY(QFile::exists(Copy)); // kept for the next start
    }

    void restoreAtTheNextStart()
    {
        const QString File = Scratch.filePath(QStringLiteral("prog.txt"));
        const QString Orphan = PlantOrphan(Folder(), {{QString(), "PF\nZF"}, {File, "T64K"}});
        Answer = QMessageBox::Yes;
        TStartup Program(false, Ini());
        Program.Start();

        QCOMPARE(Asked.size(), 1);
        const Dialogs::TMessageRequest& Question = Asked[0];
        QCOMPARE(Question.Caption, QStringLiteral("Restore Tapes"));
        QVERIFY(Question.Text.contains(QStringLiteral("Untitled 7\nprog (") + File + QLatin1Char(')')));
        QCOMPARE(Question.Buttons, QMessageBox::Yes | QMessageBox::Discard);
        QCOMPARE(Question.ButtonTexts,
                 (Dialogs::TButtonTexts{{QMessageBox::Yes, "Restore"}, {QMessageBox::Discard, "Discard"}}));

        QList<TEditorForm*> Tapes = Program.StdGui()->GetMainForm()->findChildren<TEditorForm*>();
        QCOMPARE(Tapes.size(), 2);
        QCOMPARE(Tapes[0]->windowTitle(), QStringLiteral("Untitled 1"));
        QCOMPARE(Tapes[0]->Text(), QStringLiteral("PF\nZF"));
        QCOMPARE(Tapes[1]->windowTitle(), QStringLiteral("prog"));
        QCOMPARE(Tapes[1]->FileName(), File);
        QVERIFY(Tapes[0]->IsModified() && Tapes[1]->IsModified());
        // Taken over: the old session is gone, this one holds both copies.
        QVERIFY(!QFile::exists(Orphan));
        QCOMPARE(Sessions(Folder()), QStringList{QFileInfo(Program.Recovery()->SessionFolder()).fileName()});
        QCOMPARE(QDir(Program.Recovery()->SessionFolder()).entryList({"*.tape"}).size(), 2);

        // Closed in order, saved or not: nothing is left.
        for (TEditorForm* Tape : Tapes)
            Tape->SetModified(false);
        Program.Finish();
        QVERIFY(Sessions(Folder()).isEmpty());
    }

    void discardOrLeaveForLater()
    {
        const QString Orphan = PlantOrphan(Folder(), {{QString(), "PF"}});
        {
            // Answered neither way (the box cannot be closed so, but a responder can).
            TStartup Program(false, Ini());
            Program.Start();
            QCOMPARE(Asked.size(), 1);
            QVERIFY(Program.StdGui()->GetMainForm()->findChildren<TEditorForm*>().isEmpty());
            QVERIFY(!Locked(Orphan));
            Program.Finish();
        }
        QVERIFY(QFile::exists(Orphan));
        Answer = QMessageBox::Discard;
        TStartup Program(false, Ini());
        Program.Start();
        QCOMPARE(Asked.size(), 2);
        QVERIFY(Program.StdGui()->GetMainForm()->findChildren<TEditorForm*>().isEmpty());
        QVERIFY(!QFile::exists(Orphan));
        Program.Finish();
        QVERIFY(Sessions(Folder()).isEmpty());
    }

    void theProgramEndsAtOnceOnSigtermAndSighup()
    {
        // Idle: the settings are written (with the machine window's place, which
        // the start wrote as unknown), nothing is left for the next start.
        {
            std::unique_ptr<QProcess> Child = StartProgram();
            QVERIFY(Child->waitForStarted());
            const QString Mine = QString::number(Child->processId()) + QLatin1Char('-');
            QTRY_VERIFY_WITH_TIMEOUT(!Sessions(Folder()).filter(QRegularExpression('^' + Mine)).isEmpty(), 30000);
            TEdSimSettings Before(Ini());
            QVERIFY(Before.Load());
            QCOMPARE(Before.EdsacFormLeft, -1);
            QTest::qWait(500); // well into its event loop
            ::kill(static_cast<pid_t>(Child->processId()), SIGTERM);
            QVERIFY(Child->waitForFinished(10000));
            QCOMPARE(Child->exitStatus(), QProcess::CrashExit);
            QCOMPARE(Child->exitCode(), SIGTERM);
            TEdSimSettings After(Ini());
            QVERIFY(After.Load());
            QVERIFY(After.EdsacFormLeft != -1 || After.EdsacFormTop != -1);
            QVERIFY(Sessions(Folder()).isEmpty());
        }
        // Asking whether to restore another instance's copies: a hang-up ends it
        // without an answer, and the copies wait for the next start untouched.
        const QString Orphan = PlantOrphan(Folder(), {{QString(), "T64K"}});
        const QStringList Copies = QDir(Orphan).entryList({"*.tape"});
        const QByteArray Copy = ReadAll(Orphan + '/' + Copies.value(0));
        std::unique_ptr<QProcess> Child = StartProgram();
        QVERIFY(Child->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(Locked(Orphan), 30000); // claimed: the question is up
        ::kill(static_cast<pid_t>(Child->processId()), SIGHUP);
        QVERIFY(Child->waitForFinished(10000));
        QCOMPARE(Child->exitCode(), SIGHUP);
        QCOMPARE(Sessions(Folder()), QStringList{QFileInfo(Orphan).fileName()});
        QCOMPARE(ReadAll(Orphan + '/' + Copies.value(0)), Copy);
        QVERIFY(!Locked(Orphan));
    }

    void typedWorkSurvivesOnAnXDisplay();
};

// Keys typed and windows found on an X display, through xdotool.
struct TDisplay {
    QString Name;
    QString Run(const QStringList& Arguments) const
    {
        QProcess Tool;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("DISPLAY"), Name);
        Tool.setProcessEnvironment(Env);
        Tool.start(QStringLiteral("xdotool"), Arguments);
        if (!Tool.waitForFinished(20000) || Tool.exitCode() != 0)
            return QString();
        return QString::fromUtf8(Tool.readAllStandardOutput()).trimmed();
    }
    // The first visible window whose title matches, waited for.
    QString Window(const QString& Title) const
    {
        for (int Try = 0; Try < 150; ++Try) {
            const QString Found = Run({"search", "--onlyvisible", "--name", Title}).section('\n', 0, 0);
            if (!Found.isEmpty())
                return Found;
            QTest::qWait(200);
        }
        return QString();
    }
};

void TestRecoveryStart::typedWorkSurvivesOnAnXDisplay()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("Xvfb and xdotool are needed to type into the program");
    // The server picks a free display itself and says which; it must not reset
    // when the first program goes, or the second could not connect.
    QProcess Server;
    Server.start(QStringLiteral("Xvfb"),
                 {"-displayfd", "1", "-noreset", "-screen", "0", "1280x900x24", "-nolisten", "tcp"});
    QVERIFY(Server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(Server.canReadLine(), 20000);
    const TDisplay X{QLatin1Char(':') + QString::fromLatin1(Server.readLine()).trimmed()};
    const auto StopServer = [&] {
        Server.terminate();
        Server.waitForFinished();
    };
    const auto Guard = qScopeGuard(StopServer);
    QTRY_VERIFY_WITH_TIMEOUT(!X.Run({"getdisplaygeometry"}).isEmpty(), 20000);

    // Typed into a new tape: copied a moment later, and kept when a signal ends it.
    QString Copy;
    {
        std::unique_ptr<QProcess> Child = StartProgram(X.Name);
        const QString Main = X.Window(QStringLiteral("^The Valvane"));
        QVERIFY(!Main.isEmpty());
        X.Run({"windowfocus", "--sync", Main, "key", "ctrl+n"});
        const QString Tape = X.Window(QStringLiteral("^Untitled 1$"));
        QVERIFY(!Tape.isEmpty());
        X.Run({"windowfocus", "--sync", Tape, "type", "T64K"});
        const QString Session = Folder() + '/' + QString::number(Child->processId()) + '-';
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(Folder()).entryList({QFileInfo(Session).fileName() + '*'}, QDir::Dirs).isEmpty(),
                                 20000);
        const QString Mine = QDir(Folder()).entryList({QFileInfo(Session).fileName() + '*'}, QDir::Dirs).value(0);
        Copy = Folder() + '/' + Mine + QStringLiteral("/1.tape");
        QTRY_VERIFY_WITH_TIMEOUT(ReadAll(Copy).endsWith("\n\nT64K"), 30000);
        ::kill(static_cast<pid_t>(Child->processId()), SIGTERM);
        QVERIFY(Child->waitForFinished(10000));
        QCOMPARE(Child->exitCode(), SIGTERM);
        QVERIFY(ReadAll(Copy).endsWith("\n\nT64K"));
        TEdSimSettings After(Ini());
        QVERIFY(After.Load());
        QVERIFY(After.EdsacFormLeft != -1 || After.EdsacFormTop != -1);
    }
    // Started again: Restore (the default button) brings the tape back, and the
    // copy moves to the new session.
    std::unique_ptr<QProcess> Child = StartProgram(X.Name);
    const QString Question = X.Window(QStringLiteral("^Restore Tapes$"));
    QVERIFY(!Question.isEmpty());
    X.Run({"windowfocus", "--sync", Question, "key", "Return"});
    QVERIFY(!X.Window(QStringLiteral("^Untitled 1$")).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(Copy), 20000);
    // The gone session's folder may outlive its copy by a moment: look for ours.
    const QStringList Ours{QString::number(Child->processId()) + QStringLiteral("-*")};
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(Folder()).entryList(Ours, QDir::Dirs).isEmpty(), 20000);
    const QString Restored = Folder() + '/' + QDir(Folder()).entryList(Ours, QDir::Dirs).value(0) +
                             QStringLiteral("/1.tape");
    QTRY_VERIFY_WITH_TIMEOUT(ReadAll(Restored).endsWith("\n\nT64K"), 20000);

    // The display lost: the toolkit ends the program, and the copy stays.
    StopServer();
    QVERIFY(Child->waitForFinished(20000));
    QVERIFY(ReadAll(Restored).endsWith("\n\nT64K"));
}

QTEST_MAIN(TestRecoveryStart)
#include "test_recovery_start.moc"

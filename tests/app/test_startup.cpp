// The program's start and end: the switch that picks the interface, the settings
// file written before any window shows, the machine window's place kept, and the
// event loop ending when the main window goes.
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/Startup.h"
#include "bridge/std_gui.h"
#include "devconsole/dev_gui.h"
#include "devconsole/main_form_dev.h"
#include "settings/EdSimSettings.h"
#include "forms/edsac_form.h"
#include "forms/main_form.h"
#include "valvane_version.h"

class TestStartup : public QObject {
    Q_OBJECT
    QTemporaryDir Data;

private slots:
    // Recovery copies in a folder of the suite's own, never the user's.
    void initTestCase() { qputenv("XDG_DATA_HOME", QFile::encodeName(Data.path())); }

    void developerSwitch()
    {
        QVERIFY(!IsDeveloperSwitch({"valvane"}));
        QVERIFY(IsDeveloperSwitch({"valvane", "-DEV"}));
        QVERIFY(IsDeveloperSwitch({"valvane", "-dev"}));
        QVERIFY(IsDeveloperSwitch({"valvane", "-Dev", "more"}));
        QVERIFY(!IsDeveloperSwitch({"valvane", "tape.txt", "-dev"}));
        QVERIFY(!IsDeveloperSwitch({"valvane", "-devel"}));
        QVERIFY(!IsDeveloperSwitch({"valvane", "DEV"}));
    }

    void standardStartWritesSettingsAndKeepsThePanelPlace()
    {
        QTemporaryDir Dir;
        const QString Ini = Dir.filePath(QStringLiteral("Valvane.ini"));
        {
            TStartup Program(false, Ini);
            Program.Start();
            QVERIFY(QFile::exists(Ini));
            QVERIFY(!QApplication::overrideCursor()); // the splash has gone, and its cursor
            TMainForm* Main = Program.StdGui()->GetMainForm();
            QVERIFY(Main->isVisible());
            QCOMPARE(Main->windowTitle(), QStringLiteral("The Valvane: Version " VALVANE_VERSION));
            QVERIFY(Program.StdGui()->GetEdsacForm()->isVisible());
            Program.StdGui()->GetEdsacForm()->move(123, 45);
            QVERIFY(Program.Finish());
        }
        TEdSimSettings Saved(Ini);
        QVERIFY(Saved.Load());
        QCOMPARE(Saved.EdsacFormLeft, 123);
        QCOMPARE(Saved.EdsacFormTop, 45);

        // The next start puts the machine window there again.
        TStartup Again(false, Ini);
        Again.Start();
        QCOMPARE(Again.StdGui()->GetEdsacForm()->x(), 123);
        QCOMPARE(Again.StdGui()->GetEdsacForm()->y(), 45);
        Again.Finish();
    }

    void closingTheMainWindowEndsTheEventLoop()
    {
        QTemporaryDir Dir;
        TStartup Program(false, Dir.filePath(QStringLiteral("Valvane.ini")));
        Program.Settings().ShowSplash = false;
        Program.Start();
        QTimer::singleShot(0, Program.MainWindow(), [&] { Program.MainWindow()->close(); });
        QTimer Guard;
        Guard.setSingleShot(true);
        bool TimedOut = false;
        QObject::connect(&Guard, &QTimer::timeout, [&] {
            TimedOut = true;
            QCoreApplication::exit(1);
        });
        Guard.start(10000);
        QCOMPARE(Program.Exec(), 0);
        QVERIFY(!TimedOut);
        Program.Finish();
    }

    void developerConsole()
    {
        QTemporaryDir Dir;
        TStartup Program(true, Dir.filePath(QStringLiteral("Valvane.ini")));
        Program.Start();
        QVERIFY(Program.DevGui());
        QVERIFY(!Program.StdGui());
        QCOMPARE(Program.MainWindow()->windowTitle(), QStringLiteral("Valvane: Development Interface"));
        QVERIFY(Program.MainWindow()->isVisible());
        Program.Finish();
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"

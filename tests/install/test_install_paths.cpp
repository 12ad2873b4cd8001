// What changes when Valvane runs from an installed prefix, from a build tree or elsewhere:
// where the first Open starts, and the platform asked for in a Wayland session.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstring>

#include "app/Startup.h"
#include "kit/Dialogs.h"
#include "kit/InstallPaths.h"
#include "forms/main_form.h"

namespace {

const char OpenFolderSwitch[] = "--print-first-open";

// Run as a child: a main window opens its Open dialog once and prints where it starts.
int PrintFirstOpenFolder(int argc, char* argv[])
{
    QApplication App(argc, argv);
    TMainForm Main{TCommandTable()};
    QString Start;
    Dialogs::SetFileResponder([&Start](const Dialogs::TFileRequest& Request) {
        Start = Request.FileName;
        return QString();
    });
    Main.ChooseTapeToOpen();
    std::fputs(qPrintable(Start), stdout);
    return 0;
}

// The folder where Program, a copy of this one, starts its first Open.
QString FirstOpenOfProgram(const QString& Program)
{
    QProcess Child;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Child.setProcessEnvironment(Env);
    Child.start(Program, {QString::fromLatin1(OpenFolderSwitch)});
    if (!Child.waitForFinished(120000))
        return QStringLiteral("<no answer>");
    return QString::fromLocal8Bit(Child.readAllStandardOutput());
}

// The same for a copy of this program run from Dir.
QString FirstOpenOfProgramIn(const QString& Dir)
{
    const QString Copy = QDir(Dir).filePath(QStringLiteral("valvane-probe"));
    if (!QFile::exists(Copy) && !QFile::copy(QCoreApplication::applicationFilePath(), Copy))
        return QStringLiteral("<copy failed>");
    QFile::setPermissions(Copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return FirstOpenOfProgram(Copy);
}

} // namespace

class TestInstallPaths : public QObject {
    Q_OBJECT
private slots:
    void firstOpenFolder()
    {
        QTemporaryDir Root;
        QVERIFY(Root.isValid());
        QDir Top(Root.path());
        QVERIFY(Top.mkpath(QStringLiteral("build/app")));
        QVERIFY(Top.mkpath(QStringLiteral("usr/bin")));
        QVERIFY(Top.mkpath(QStringLiteral("usr/share/valvane/tapes")));
        QVERIFY(Top.mkpath(QStringLiteral("own/bin")));
        QVERIFY(Top.mkpath(QStringLiteral("own/share/valvane/tapes")));
        QFile Own(Top.filePath(QStringLiteral("own/bin/mine.txt")));
        QVERIFY(Own.open(QIODevice::WriteOnly));
        Own.close();

        // A build tree starts among its checkout's tapes, and a program out of
        // any build tree where it was; an installed program starts among the
        // installed tapes, unless its own folder holds tapes.
        const QString Build = Top.filePath(QStringLiteral("build/app"));
        const QString Tapes = Top.filePath(QStringLiteral("checkout/tapes"));
        QCOMPARE(FirstOpenFolder(Build, Top.filePath(QStringLiteral("build")), Tapes), Build); // no tapes there yet
        QVERIFY(Top.mkpath(QStringLiteral("checkout/tapes")));
        QCOMPARE(FirstOpenFolder(Build, Top.filePath(QStringLiteral("build")), Tapes), Tapes);
        QVERIFY(Top.mkpath(QStringLiteral("bui")));
        QCOMPARE(FirstOpenFolder(Build, Top.filePath(QStringLiteral("bui")), Tapes), Build);
        QCOMPARE(FirstOpenFolder(Build), Build);
        QCOMPARE(FirstOpenFolder(Top.filePath(QStringLiteral("usr/bin"))),
                 Top.filePath(QStringLiteral("usr/share/valvane/tapes")));
        QCOMPARE(FirstOpenFolder(Top.filePath(QStringLiteral("own/bin"))), Top.filePath(QStringLiteral("own/bin")));
    }

    void theMainWindowOpensAmongInstalledTapes()
    {
        QTemporaryDir Root;
        QVERIFY(Root.isValid());
        QDir Top(Root.path());
        QVERIFY(Top.mkpath(QStringLiteral("prefix/bin")));
        QVERIFY(Top.mkpath(QStringLiteral("tree/app")));
        const QString Bin = Top.filePath(QStringLiteral("prefix/bin"));
        const QString Tree = Top.filePath(QStringLiteral("tree/app"));

        // This very program lives in the build tree.
        QCOMPARE(FirstOpenOfProgram(QCoreApplication::applicationFilePath()), QDir::cleanPath(VALVANE_TAPES));
        QCOMPARE(FirstOpenOfProgramIn(Tree), Tree);
        QVERIFY(Top.mkpath(QStringLiteral("prefix/share/valvane/tapes")));
        QCOMPARE(FirstOpenOfProgramIn(Bin), Top.filePath(QStringLiteral("prefix/share/valvane/tapes")));
    }

    void waylandSessionsRunThroughX11()
    {
        struct TCase {
            TSessionEnvironment Session;
            bool X11;
        };
        const TCase Cases[] = {
            {{"", "wayland-0", "wayland", ":0"}, true},
            {{"", "wayland-0", "", ":0"}, true}, // a compositor, session type unsaid
            {{"", "", "Wayland", ":1"}, true}, // session type alone, any case
            {{"", "wayland-0", "wayland", ""}, false}, // no XWayland to run through
            {{"wayland", "wayland-0", "wayland", ":0"}, false}, // the user chose
            {{"offscreen", "wayland-0", "wayland", ":0"}, false},
            {{"", "", "x11", ":0"}, false}, // X11 already
            {{"", "", "", ""}, false},
        };
        for (const TCase& Case : Cases) {
            const TSessionEnvironment& S = Case.Session;
            QVERIFY2(PreferX11Platform(S) == Case.X11,
                     qPrintable(QStringLiteral("QT_QPA_PLATFORM=%1 WAYLAND_DISPLAY=%2 XDG_SESSION_TYPE=%3 DISPLAY=%4")
                                    .arg(S.Platform, S.WaylandDisplay, S.SessionType, S.Display)));
        }
    }
};

int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], OpenFolderSwitch) == 0)
        return PrintFirstOpenFolder(argc, argv);
    QApplication App(argc, argv);
    TestInstallPaths Suite;
    return QTest::qExec(&Suite, argc, argv);
}

#include "test_install_paths.moc"

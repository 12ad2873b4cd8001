// The settings file: defaults, the exact layout Save writes, the number rules,
// what survives a load/save round trip, the recent-file list and failing files.
#include "forms/EdSimSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <tuple>
#include <unistd.h>

namespace {

// One section a line here, for reading; the file has one key a line.
const QByteArray FreshFile = "[EdsacFormPlacement]\nTop=-1\nLeft=-1\n"
                             "[Edsac]\nInitialOrders=2\nLineNumbers=0\nShowSplash=1\nRealTime=0\nIgnoreCase=1\n"
                             "[Sounds]\nBeep=0\nBell=0\nDial=0\nTeleprinter=0\n"
                             "[RecentFiles]\nNum=0\nFile1=\nFile2=\nFile3=\nFile4=\n";

void WriteFile(const QString& Path, const QByteArray& Data)
{
    QFile File(Path);
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write(Data);
}

QByteArray ReadFile(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return {};
    return File.readAll();
}

// Every field but the file name, for whole-object comparisons.
auto Fields(const TEdSimSettings& S)
{
    return std::tuple(S.EdsacFormTop, S.EdsacFormLeft, S.InitialOrders, S.LineNumbers, S.ShowSplash,
                      S.RealTime, S.IgnoreCase, S.Beep, S.Bell, S.Dial, S.Teleprinter,
                      QStringList(S.RecentFiles.begin(), S.RecentFiles.end()), S.RecentCount);
}

void ExpectDefaults(const TEdSimSettings& S)
{
    QCOMPARE(Fields(S), Fields(TEdSimSettings(QString())));
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir Dir;
    QString Ini() const { return Dir.filePath(QStringLiteral("Valvane.ini")); }

private slots:
    void init()
    {
        QVERIFY(Dir.isValid());
        QFile::remove(Ini());
    }

    void freshDirectoryGetsEveryKeyInOrder()
    {
        const QString Saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(Dir.path()));
        TEdSimSettings S;
        QDir::setCurrent(Saved);
        QCOMPARE(QDir(QFileInfo(S.FileName).path()).canonicalPath(), QDir(Dir.path()).canonicalPath());
        QCOMPARE(QFileInfo(S.FileName).fileName(), QStringLiteral("Valvane.ini"));

        // A never-loaded object already holds the defaults.
        QVERIFY(S.Save());
        QCOMPARE(ReadFile(S.FileName), FreshFile);
        QFile::remove(S.FileName);
        S.Beep = true;
        QVERIFY(S.Load());
        QVERIFY(S.LastError().isEmpty());
        QVERIFY(S.Save());
        QCOMPARE(ReadFile(S.FileName), FreshFile);
    }

    void everyFieldRoundTrips()
    {
        TEdSimSettings S(Ini());
        S.EdsacFormTop = 120;
        S.EdsacFormLeft = -40;
        S.InitialOrders = 1;
        S.LineNumbers = S.RealTime = S.Beep = S.Bell = S.Dial = S.Teleprinter = true;
        S.ShowSplash = S.IgnoreCase = false;
        for (const char* Name : {"/tapes/one.txt", "/tapes/two words.txt", "/tapes/\u00FCn\u00EFcode.txt"})
            S.AddRecentFile(QString::fromUtf8(Name));
        QVERIFY(S.Save());
        TEdSimSettings T(Ini());
        QVERIFY(T.Load());
        QCOMPARE(Fields(T), Fields(S));
        QCOMPARE(T.RecentCount, 3);
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("Text");
        QTest::addColumn<int>("Expected");
        QTest::newRow("decimal, padded") << QByteArray("  42 ") << 42;
        QTest::newRow("signed") << QByteArray("-300") << -300;
        QTest::newRow("hex") << QByteArray("0X1f") << 31;
        QTest::newRow("negative hex") << QByteArray("-0x10") << -16;
        QTest::newRow("smallest") << QByteArray("-2147483648") << INT_MIN;
        QTest::newRow("largest hex") << QByteArray("0x7FFFFFFF") << INT_MAX;
        // Not a usable 32-bit number: the default (-1).
        QTest::newRow("too large") << QByteArray("2147483648") << -1;
        QTest::newRow("hex too large") << QByteArray("0xFFFFFFFF") << -1;
        QTest::newRow("huge") << QByteArray("99999999999999999999999") << -1;
        QTest::newRow("empty") << QByteArray("") << -1;
        QTest::newRow("trailing junk") << QByteArray("12abc") << -1;
        QTest::newRow("bare prefix") << QByteArray("0x") << -1;
        QTest::newRow("fraction") << QByteArray("1.5") << -1;
    }

    void integers()
    {
        QFETCH(QByteArray, Text);
        QFETCH(int, Expected);
        WriteFile(Ini(), "[EdsacFormPlacement]\nTop=" + Text + "\nLeft=" + Text + "\n");
        TEdSimSettings S(Ini());
        QVERIFY(S.Load());
        QCOMPARE(S.EdsacFormTop, Expected);
        QCOMPARE(S.EdsacFormLeft, Expected);
    }

    void booleans_data()
    {
        QTest::addColumn<QByteArray>("Text");
        QTest::addColumn<bool>("ShowSplash"); // default true
        QTest::addColumn<bool>("Beep");       // default false
        QTest::newRow("zero") << QByteArray("0") << false << false;
        QTest::newRow("any other integer") << QByteArray("-7") << true << true;
        QTest::newRow("hex zero") << QByteArray("0x0") << false << false;
        QTest::newRow("a word") << QByteArray("false") << true << false;
    }

    void booleans()
    {
        QFETCH(QByteArray, Text);
        QFETCH(bool, ShowSplash);
        QFETCH(bool, Beep);
        WriteFile(Ini(), "[Edsac]\nShowSplash=" + Text + "\n[Sounds]\nBeep=" + Text + "\n");
        TEdSimSettings S(Ini());
        QVERIFY(S.Load());
        QCOMPARE(S.ShowSplash, ShowSplash);
        QCOMPARE(S.Beep, Beep);
        QVERIFY(S.Save());
        const QByteArray Out = ReadFile(Ini());
        QVERIFY(Out.contains(ShowSplash ? "\nShowSplash=1\n" : "\nShowSplash=0\n"));
        QVERIFY(Out.contains(Beep ? "\nBeep=1\n" : "\nBeep=0\n"));
    }

    void initialOrdersOutsideOneAndTwoFallBackToTwo()
    {
        for (const QByteArray Text : {"1", "0", "3", "-1"}) {
            WriteFile(Ini(), "[Edsac]\nInitialOrders=" + Text + "\n");
            TEdSimSettings S(Ini());
            QVERIFY(S.Load());
            QCOMPARE(S.InitialOrders, Text == "1" ? 1 : 2);
        }
    }

    void foreignContentSurvives()
    {
        // Comments, a preamble, an unknown section, an unknown key inside a known
        // section, a line that is no key at all and a missing section.
        WriteFile(Ini(),
                  "; written by hand\n"
                  "stray=before any section\n"
                  "\n"
                  "[Edsac]\n"
                  "Theme=dark\n"
                  "InitialOrders = 1\n"
                  "this line is not a key\n"
                  "=no key\n"
                  "\n"
                  "[Plugins]\n"
                  "Path=/opt/x=y\n"
                  "[EdsacFormPlacement]\n"
                  "Left=10\n"
                  "# trailing comment\n");
        TEdSimSettings S(Ini());
        QVERIFY(S.Load());
        QCOMPARE(S.InitialOrders, 1);
        QCOMPARE(S.EdsacFormLeft, 10);
        S.RealTime = true;
        QVERIFY(S.Save());
        // Known keys are rewritten where they stand, missing keys join the end
        // of their section's entries, missing sections follow at the end.
        QCOMPARE(ReadFile(Ini()),
                 QByteArray("; written by hand\nstray=before any section\n\n"
                            "[Edsac]\nTheme=dark\nInitialOrders=1\n"
                            "LineNumbers=0\nShowSplash=1\nRealTime=1\nIgnoreCase=1\n"
                            "this line is not a key\n=no key\n\n"
                            "[Plugins]\nPath=/opt/x=y\n"
                            "[EdsacFormPlacement]\nLeft=10\nTop=-1\n# trailing comment\n"
                            "[Sounds]\nBeep=0\nBell=0\nDial=0\nTeleprinter=0\n"
                            "[RecentFiles]\nNum=0\nFile1=\nFile2=\nFile3=\nFile4=\n"));
        // A key before any section belongs to none: it is not the machine's.
        WriteFile(Ini(), "Top=5\n[EdsacFormPlacement]\n");
        QVERIFY(S.Load());
        QCOMPARE(S.EdsacFormTop, -1);
    }

    void crlfFilesAndByteOrderMarkAreKept()
    {
        QByteArray In = "\xEF\xBB\xBF[Edsac]\r\nInitialOrders=1\r\nOther=x\r\n[RecentFiles]\r\nNum=1\r\nFile1=/t/a.txt\r\n";
        WriteFile(Ini(), In);
        TEdSimSettings S(Ini());
        QVERIFY(S.Load());
        QCOMPARE(S.InitialOrders, 1);
        QCOMPARE(S.RecentCount, 1);
        QCOMPARE(S.RecentFiles[0], QStringLiteral("/t/a.txt")); // no stray carriage return
        QVERIFY(S.Save());
        const QByteArray Out = ReadFile(Ini());
        QVERIFY(Out.startsWith("\xEF\xBB\xBF[Edsac]\r\nInitialOrders=1\r\nOther=x\r\n"));
        QCOMPARE(Out.count("\r\n"), Out.count('\n'));
        QCOMPARE(Out.count('\n'), 7 + 6 + 3 + 5); // the four sections, in lines
    }

    void duplicatesAndLetterCase()
    {
        WriteFile(Ini(),
                  "[edsac]\n"
                  "initialorders=1\n"
                  "InitialOrders=2\n"
                  "[Sounds]\n"
                  "BEEP=1\n"
                  "[EDSAC]\n"
                  "InitialOrders=2\n"
                  "RealTime=1\n");
        TEdSimSettings S(Ini());
        QVERIFY(S.Load());
        // Names match without regard to case, the first occurrence wins, and a
        // section that appears twice is one section.
        QCOMPARE(S.InitialOrders, 1);
        QCOMPARE(S.Beep, true);
        QCOMPARE(S.RealTime, true);
        QVERIFY(S.Save());
        const QByteArray Out = ReadFile(Ini());
        QCOMPARE(Out.count("InitialOrders="), 1);
        QCOMPARE(Out.count("RealTime="), 1);
        QVERIFY(Out.startsWith("[edsac]\nInitialOrders=1\n"));
        QVERIFY(!Out.contains("BEEP"));
        QVERIFY(Out.contains("[EDSAC]\nRealTime=1\n"));
        TEdSimSettings T(Ini());
        QVERIFY(T.Load());
        QCOMPARE(T.InitialOrders, 1);
        QCOMPARE(T.RealTime, true);
    }

    void recentFilesOrderAndCase()
    {
        TEdSimSettings S(Ini());
        const auto Recent = [&S] { return QStringList(S.RecentFiles.begin(), S.RecentFiles.end()); };
        for (const char* Name : {"/t/a", "/t/b", "/t/c", "/t/d"})
            S.AddRecentFile(QString::fromLatin1(Name));
        QCOMPARE(Recent(), QStringList({"/t/d", "/t/c", "/t/b", "/t/a"}));
        QCOMPARE(S.RecentCount, 4);

        // Already present, in any ASCII letter case: nothing moves.
        S.AddRecentFile(QStringLiteral("/T/B"));
        S.AddRecentFile(QStringLiteral("/t/c"));
        QCOMPARE(Recent(), QStringList({"/t/d", "/t/c", "/t/b", "/t/a"}));

        // A fifth tape drops the oldest; only ASCII letters fold.
        S.AddRecentFile(QStringLiteral("/t/e"));
        S.AddRecentFile(QStringLiteral("/t/\u00C4"));
        S.AddRecentFile(QStringLiteral("/t/\u00E4"));
        QCOMPARE(Recent(), QStringList({"/t/\u00E4", "/t/\u00C4", "/t/e", "/t/d"}));

        // Paths that cannot be kept are refused, including one that would
        // otherwise write keys of its own into the file.
        S.AddRecentFile(QString());
        S.AddRecentFile(QStringLiteral("/t/x\n[Edsac]\nInitialOrders=1"));
        QCOMPARE(Recent().first(), QStringLiteral("/t/\u00E4"));
        QVERIFY(S.Save());
        QVERIFY(ReadFile(Ini()).endsWith("[RecentFiles]\nNum=4\nFile1=/t/\u00E4\nFile2=/t/\u00C4\n"
                                         "File3=/t/e\nFile4=/t/d\n"));
    }

    void recentFilesFromTheFile()
    {
        // Keys beyond Num are ignored and written back empty.
        WriteFile(Ini(), "[RecentFiles]\nNum=2\nFile1=/a\nFile2=/b\nFile3=/c\n");
        TEdSimSettings S(Ini());
        QVERIFY(S.Load());
        QCOMPARE(S.RecentCount, 2);
        QVERIFY(S.RecentFiles[2].isEmpty());
        QVERIFY(S.Save());
        QVERIFY(ReadFile(Ini()).contains("Num=2\nFile1=/a\nFile2=/b\nFile3=\nFile4=\n"));

        // Num beyond the four places, below zero, or counting gaps.
        WriteFile(Ini(), "[RecentFiles]\nNum=9\nFile1=/a\nFile2=/b\nFile3=/c\nFile4=/d\nFile5=/e\n");
        QVERIFY(S.Load());
        QCOMPARE(S.RecentCount, 4);
        QCOMPARE(S.RecentFiles[3], QStringLiteral("/d"));
        QVERIFY(S.Save());
        QVERIFY(ReadFile(Ini()).contains("Num=4\n"));
        QVERIFY(ReadFile(Ini()).contains("File5=/e\n")); // foreign key, kept

        WriteFile(Ini(), "[RecentFiles]\nNum=-3\nFile1=/a\n");
        QVERIFY(S.Load());
        QCOMPARE(S.RecentCount, 0);
        QVERIFY(S.RecentFiles[0].isEmpty());

        WriteFile(Ini(), "[RecentFiles]\nNum=3\nFile1=/a\nFile2=\nFile3=/c\n");
        QVERIFY(S.Load());
        QCOMPARE(S.RecentCount, 2);
        QCOMPARE(S.RecentFiles[0], QStringLiteral("/a"));
        QCOMPARE(S.RecentFiles[1], QStringLiteral("/c"));

        // A path with a line break set directly cannot be written as a value.
        S.RecentFiles[0] = QStringLiteral("/x\n[Edsac]\nInitialOrders=1");
        S.InitialOrders = 2;
        QVERIFY(S.Save());
        QVERIFY(ReadFile(Ini()).contains("\nFile1=\n"));
        QVERIFY(S.Load());
        QCOMPARE(S.InitialOrders, 2);
    }

    void fileThatCannotBeUsed()
    {
        // A directory where the file should be: cannot be read or written.
        const QString AsDir = Dir.filePath(QStringLiteral("dir.ini"));
        QVERIFY(QDir().mkpath(AsDir));
        TEdSimSettings S(AsDir);
        S.InitialOrders = 1;
        S.Beep = true;
        QVERIFY(!S.Load());
        QVERIFY(!S.LastError().isEmpty());
        ExpectDefaults(S);
        QVERIFY(!S.Save());
        QVERIFY(S.LastError().contains(AsDir));
        QVERIFY(QFileInfo(AsDir).isDir());

        // A missing directory: the defaults, quietly; saving fails with a reason.
        TEdSimSettings Gone(Dir.filePath(QStringLiteral("no/such/dir/Valvane.ini")));
        QVERIFY(Gone.Load());
        ExpectDefaults(Gone);
        QVERIFY(!Gone.Save());
        QVERIFY(!Gone.LastError().isEmpty());

        // Far too large to be ours: not read, and not overwritten.
        QByteArray Big(2 * 1024 * 1024, 'x');
        WriteFile(Ini(), Big);
        TEdSimSettings Huge(Ini());
        QVERIFY(!Huge.Load());
        ExpectDefaults(Huge);
        QVERIFY(!Huge.Save());
        QCOMPARE(QFileInfo(Ini()).size(), Big.size());

        // A later success clears the error.
        QFile::remove(Ini());
        QVERIFY(Huge.Save());
        QVERIFY(Huge.LastError().isEmpty());
    }

    void filePermissions()
    {
        if (geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        const QByteArray Hand = "[Mine]\nKeep=1\n[Edsac]\nInitialOrders=1\n";
        WriteFile(Ini(), Hand);
        QFile::setPermissions(Ini(), QFileDevice::WriteOwner);
        TEdSimSettings S(Ini());
        QVERIFY(!S.Load());
        QCOMPARE(S.InitialOrders, 2);
        QVERIFY(!S.Save()); // would lose [Mine]
        QFile::setPermissions(Ini(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(ReadFile(Ini()), Hand);

        QFile::setPermissions(Ini(), QFileDevice::ReadOwner);
        QVERIFY(S.Load());
        QCOMPARE(S.InitialOrders, 1);
        QFile::setPermissions(Dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(!S.Save());
        QFile::setPermissions(Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(Ini(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(ReadFile(Ini()), Hand);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"

// The settings file: defaults, the exact layout Save writes, the number rules,
// what survives a load/save round trip, the recent-file list and failing files.
#include "settings/EdSimSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <climits>
#include <memory>
#include <tuple>
#include <unistd.h>

#include "tests/files/full_disk.h"

namespace {

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
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

QStringList Recent(const TEdSimSettings& S)
{
    return QStringList(S.RecentFiles.begin(), S.RecentFiles.begin() + S.RecentCount);
}

// Every field but the file name, for whole-object comparisons.
auto Fields(const TEdSimSettings& S)
{
    return std::tuple(S.EdsacFormTop, S.EdsacFormLeft, S.InitialOrders, S.LineNumbers, S.ShowSplash, S.RealTime,
                      S.IgnoreCase, S.Beep, S.Bell, S.Dial, S.Teleprinter,
                      QStringList(S.RecentFiles.begin(), S.RecentFiles.end()), S.RecentCount);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir Dir;
    QString Ini() const { return Dir.filePath(QStringLiteral("Valvane.ini")); }
    // Writes the file and loads it into a fresh object.
    std::unique_ptr<TEdSimSettings> Loaded(const QByteArray& Data)
    {
        WriteFile(Ini(), Data);
        auto S = std::make_unique<TEdSimSettings>(Ini());
        QTest::qVerify(S->Load(), "Load()", qPrintable(S->LastError()), __FILE__, __LINE__);
        return S;
    }

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
        // A never-loaded object already holds the defaults, and a missing file loads them.
        QVERIFY(S.Save());
        QCOMPARE(ReadFile(S.FileName), FreshFile);
        QFile::remove(S.FileName);
        S.Beep = true;
        QVERIFY(S.Load());
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
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("Text");
        QTest::addColumn<int>("Expected");
        QTest::newRow("one") << QByteArray("1") << 1;
        QTest::newRow("decimal, padded") << QByteArray("  42 ") << 42;
        QTest::newRow("hex") << QByteArray("0X1f") << 31;
        QTest::newRow("negative hex") << QByteArray("-0x10") << -16;
        QTest::newRow("smallest") << QByteArray("-2147483648") << INT_MIN;
        QTest::newRow("largest hex") << QByteArray("0x7FFFFFFF") << INT_MAX;
        // Not a usable 32-bit number: the default (-1).
        QTest::newRow("too large") << QByteArray("2147483648") << -1;
        QTest::newRow("hex too large") << QByteArray("0xFFFFFFFF") << -1;
        QTest::newRow("empty") << QByteArray("") << -1;
        QTest::newRow("trailing junk") << QByteArray("12abc") << -1;
        QTest::newRow("bare prefix") << QByteArray("0x") << -1;
    }

    void integers()
    {
        QFETCH(QByteArray, Text);
        QFETCH(int, Expected);
        const auto S = Loaded("[EdsacFormPlacement]\nTop=" + Text + "\nLeft=" + Text +
                              "\n[Edsac]\nInitialOrders=" + Text);
        // Only two sets of initial orders exist; anything else is the default set.
        QCOMPARE(std::tuple(S->EdsacFormTop, S->EdsacFormLeft, S->InitialOrders),
                 std::tuple(Expected, Expected, Expected == 1 ? 1 : 2));
    }

    void booleans_data()
    {
        QTest::addColumn<QByteArray>("Text");
        QTest::addColumn<bool>("ShowSplash"); // default true
        QTest::addColumn<bool>("Beep"); // default false
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
        const auto S = Loaded("[Edsac]\nShowSplash=" + Text + "\n[Sounds]\nBeep=" + Text + "\n");
        QCOMPARE(std::pair(S->ShowSplash, S->Beep), std::pair(ShowSplash, Beep));
    }

    void handWrittenFileSurvives()
    {
        // Comments, a preamble, unknown sections and keys, lines that are no key
        // at all, names in any letter case, a key twice, a section twice and
        // missing sections. The first occurrence of a key wins.
        const auto S = Loaded("; written by hand\nstray=before any section\n\n"
                              "[edsac]\nTheme=dark\ninitialorders = 1\nInitialOrders=2\n"
                              "this line is not a key\n=no key\n\n"
                              "[Plugins]\nPath=/opt/x=y\n"
                              "[EdsacFormPlacement]\nLeft=10\n# trailing comment\n"
                              "[Sounds]\nBEEP=1\n[EDSAC]\nRealTime=1\n");
        QCOMPARE(std::tuple(S->InitialOrders, S->EdsacFormLeft, S->Beep, S->RealTime), std::tuple(1, 10, true, true));
        S->Bell = true;
        QVERIFY(S->Save());
        // Known keys are rewritten where they stand (once), missing keys join the
        // end of their section's entries, missing sections follow at the end.
        QCOMPARE(ReadFile(Ini()),
                 QByteArray("; written by hand\nstray=before any section\n\n"
                            "[edsac]\nTheme=dark\nInitialOrders=1\nLineNumbers=0\nShowSplash=1\nIgnoreCase=1\n"
                            "this line is not a key\n=no key\n\n"
                            "[Plugins]\nPath=/opt/x=y\n"
                            "[EdsacFormPlacement]\nLeft=10\nTop=-1\n# trailing comment\n"
                            "[Sounds]\nBeep=1\nBell=1\nDial=0\nTeleprinter=0\n[EDSAC]\nRealTime=1\n"
                            "[RecentFiles]\nNum=0\nFile1=\nFile2=\nFile3=\nFile4=\n"));
        // A key before any section belongs to none.
        QCOMPARE(Loaded("Top=5\n[EdsacFormPlacement]\n")->EdsacFormTop, -1);
    }

    void crlfFilesAndByteOrderMarkAreKept()
    {
        const auto S = Loaded(
            "\xEF\xBB\xBF[Edsac]\r\nInitialOrders=1\r\nOther=x\r\n[RecentFiles]\r\nNum=1\r\nFile1=/t/a.txt\r\n");
        QCOMPARE(S->InitialOrders, 1);
        QCOMPARE(Recent(*S), QStringList({"/t/a.txt"})); // no stray carriage return
        QVERIFY(S->Save());
        const QByteArray Out = ReadFile(Ini());
        QVERIFY(Out.startsWith("\xEF\xBB\xBF[Edsac]\r\nInitialOrders=1\r\nOther=x\r\n"));
        QCOMPARE(Out.count("\r\n"), Out.count('\n'));
        QCOMPARE(Out.count('\n'), 7 + 6 + 3 + 5); // the four sections, in lines
    }

    void recentFilesOrderAndCase()
    {
        TEdSimSettings S(Ini());
        for (const char* Name : {"/t/a", "/t/b", "/t/c", "/t/primes.txt"})
            S.AddRecentFile(QString::fromLatin1(Name));
        QCOMPARE(Recent(S), QStringList({"/t/primes.txt", "/t/c", "/t/b", "/t/a"}));
        // Already present: nothing moves.
        S.AddRecentFile(QStringLiteral("/t/b"));
        QCOMPARE(Recent(S), QStringList({"/t/primes.txt", "/t/c", "/t/b", "/t/a"}));
        // Letter case tells files apart; a fifth tape drops the oldest.
        S.AddRecentFile(QStringLiteral("/t/Primes.TXT"));
        QCOMPARE(Recent(S), QStringList({"/t/Primes.TXT", "/t/primes.txt", "/t/c", "/t/b"}));
        S.AddRecentFile(QStringLiteral("/t/e"));
        S.AddRecentFile(QStringLiteral("/t/\u00C4"));
        S.AddRecentFile(QStringLiteral("/t/\u00E4"));
        QCOMPARE(Recent(S), QStringList({"/t/\u00E4", "/t/\u00C4", "/t/e", "/t/Primes.TXT"}));

        // Paths that cannot be kept are refused, including one that would
        // otherwise write keys of its own into the file; set directly, it is
        // written empty.
        S.AddRecentFile(QString());
        S.AddRecentFile(QStringLiteral("/t/x\n[Edsac]\nInitialOrders=1"));
        QCOMPARE(Recent(S).first(), QStringLiteral("/t/\u00E4"));
        QVERIFY(S.Save());
        QVERIFY(ReadFile(Ini()).endsWith("[RecentFiles]\nNum=4\nFile1=/t/\u00E4\nFile2=/t/\u00C4\n"
                                         "File3=/t/e\nFile4=/t/Primes.TXT\n"));
        S.RecentFiles[0] = QStringLiteral("/x\n[Edsac]\nInitialOrders=1");
        QVERIFY(S.Save());
        QVERIFY(ReadFile(Ini()).contains("\nFile1=\n"));
        QVERIFY(S.Load());
        QCOMPARE(S.InitialOrders, 2);
    }

    void numLimitsTheRecentFiles_data()
    {
        QTest::addColumn<QByteArray>("Section");
        QTest::addColumn<QStringList>("Expected");
        QTest::newRow("keys beyond Num") << QByteArray("Num=2\nFile1=/a\nFile2=/b\nFile3=/c\n")
                                         << QStringList{"/a", "/b"};
        QTest::newRow("beyond four places") << QByteArray("Num=9\nFile1=/a\nFile2=/b\nFile3=/c\nFile4=/d\nFile5=/e\n")
                                            << QStringList{"/a", "/b", "/c", "/d"};
        QTest::newRow("below zero") << QByteArray("Num=-3\nFile1=/a\n") << QStringList{};
        QTest::newRow("counting a gap") << QByteArray("Num=3\nFile1=/a\nFile2=\nFile3=/c\n") << QStringList{"/a", "/c"};
    }

    void numLimitsTheRecentFiles()
    {
        QFETCH(QByteArray, Section);
        QFETCH(QStringList, Expected);
        const auto S = Loaded("[RecentFiles]\n" + Section);
        QCOMPARE(Recent(*S), Expected);
        QVERIFY(std::all_of(S->RecentFiles.begin() + S->RecentCount, S->RecentFiles.end(),
                            [](const QString& Path) { return Path.isEmpty(); }));
        // Written back: the count and the entries it counts, the other places empty.
        QVERIFY(S->Save());
        QByteArray Places = "Num=" + QByteArray::number(Expected.size()) + "\n";
        for (int Place = 1; Place <= 4; ++Place)
            Places += "File" + QByteArray::number(Place) + "=" + Expected.value(Place - 1).toUtf8() + "\n";
        QVERIFY(ReadFile(Ini()).contains(Places));
    }

    // Two programs started in one folder share the file: whichever quits last,
    // each keeps what the other changed, and the tapes both opened.
    void twoProgramsShareTheFile()
    {
        WriteFile(Ini(), FreshFile);
        TEdSimSettings First(Ini()), Second(Ini());
        QVERIFY(First.Load() && Second.Load());
        First.Beep = true;
        First.AddRecentFile(QStringLiteral("/t/first.txt"));
        Second.InitialOrders = 1;
        Second.EdsacFormLeft = 300;
        Second.AddRecentFile(QStringLiteral("/t/second.txt"));
        QVERIFY(Second.Save());
        QVERIFY(First.Save());
        TEdSimSettings Both(Ini());
        QVERIFY(Both.Load());
        QCOMPARE(std::tuple(Both.Beep, Both.InitialOrders, Both.EdsacFormLeft), std::tuple(true, 1, 300));
        QCOMPARE(Recent(Both), QStringList({"/t/first.txt", "/t/second.txt"}));

        // Saving again undoes nothing the other did since; a key both changed
        // holds the value of the last to save.
        Second.RealTime = true;
        Second.EdsacFormTop = 20;
        First.EdsacFormTop = 10;
        QVERIFY(Second.Save());
        QVERIFY(First.Save());
        QVERIFY(Second.Save());
        QVERIFY(Both.Load());
        QCOMPARE(std::tuple(Both.RealTime, Both.EdsacFormTop, Both.Beep), std::tuple(true, 10, true));
    }

    void fileThatCannotBeUsed()
    {
        // A directory where the file should be: cannot be read or written.
        const QString AsDir = Dir.filePath(QStringLiteral("dir.ini"));
        QVERIFY(QDir().mkpath(AsDir));
        TEdSimSettings S(AsDir);
        S.Beep = true;
        QVERIFY(!S.Load());
        QCOMPARE(Fields(S), Fields(TEdSimSettings(QString())));
        QVERIFY(!S.Save());
        QVERIFY(S.LastError().contains(AsDir));
        QVERIFY(QFileInfo(AsDir).isDir());

        // A missing directory: the defaults, quietly; saving fails with a reason.
        TEdSimSettings Gone(Dir.filePath(QStringLiteral("no/such/dir/Valvane.ini")));
        QVERIFY(Gone.Load());
        QVERIFY(!Gone.Save());
        QVERIFY(!Gone.LastError().isEmpty());

        // Far too large to be ours: not read, and not overwritten.
        const QByteArray Big(2 * 1024 * 1024, 'x');
        WriteFile(Ini(), Big);
        TEdSimSettings Huge(Ini());
        QVERIFY(!Huge.Load());
        QVERIFY(!Huge.Save());
        QCOMPARE(QFileInfo(Ini()).size(), Big.size());
    }

    void fullDiskKeepsTheOldSettings()
    {
        TFullDisk Disk;
        if (!Disk.Unavailable.isEmpty())
            QSKIP(qPrintable(Disk.Unavailable));
        const QString Path = Disk.FilePath(QStringLiteral("Valvane.ini"));
        WriteFile(Path, FreshFile);
        TEdSimSettings S(Path);
        QVERIFY(S.Load());
        QVERIFY(Disk.Fill());
        for (const char* Name : {"/a/long/path/to/a/first/tape.txt", "/a/long/path/to/a/second/tape.txt"})
            S.AddRecentFile(QString::fromLatin1(Name));
        QVERIFY(!S.Save());
        QVERIFY(S.LastError().contains(QStringLiteral("No space left on device")));
        QCOMPARE(ReadFile(Path), FreshFile);
    }

    void filePermissions()
    {
        if (geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        const QByteArray Hand = "[Mine]\nKeep=1\n[Edsac]\nInitialOrders=1\n";
        WriteFile(Ini(), Hand);
        // Unreadable: the defaults, and no save that would lose [Mine].
        QFile::setPermissions(Ini(), QFileDevice::WriteOwner);
        TEdSimSettings S(Ini());
        QVERIFY(!S.Load());
        QCOMPARE(S.InitialOrders, 2);
        QVERIFY(!S.Save());
        // Readable, in a directory that cannot be written.
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

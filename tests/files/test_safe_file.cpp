// The file helper on real file systems: what it refuses to read, and writes that
// leave either the new content or the old, never a mixture or nothing.
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/SafeFile.h"
#include "tests/files/as_nobody.h"
#include "tests/files/full_disk.h"

namespace {

QByteArray ReadAll(const QString& Path)
{
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray("<unreadable>");
}

void Make(const QString& Path, const QByteArray& Data, QFileDevice::Permissions Mode = {})
{
    QFile F(Path);
    QVERIFY(F.open(QIODevice::WriteOnly) && F.write(Data) == Data.size());
    F.close();
    if (Mode)
        QVERIFY(F.setPermissions(Mode));
}

mode_t ModeOf(const QString& Path, bool Follow = true)
{
    struct stat Info {};
    const QByteArray Name = QFile::encodeName(Path);
    (Follow ? ::stat(Name.constData(), &Info) : ::lstat(Name.constData(), &Info));
    return Info.st_mode;
}

const auto Everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                      | QFileDevice::ReadOther | QFileDevice::ExeOther;

} // namespace

class TestSafeFile : public QObject {
    Q_OBJECT
    QTemporaryDir Dir;

private slots:
    void readsOnlyRegularFilesUpToTheCap()
    {
        QByteArray Data;
        QString Reason;
        QCOMPARE(Files::ReadRegularFile(Dir.filePath("missing"), 100, Data, Reason), Files::TReadStatus::Missing);

        const QString Fifo = Dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
        for (const QString& Path : {Dir.path(), QString("/dev/zero"), QString("/dev/urandom"), Fifo}) {
            QCOMPARE(Files::ReadRegularFile(Path, 100, Data, Reason), Files::TReadStatus::Failed);
            QVERIFY(!Reason.isEmpty() && Data.isEmpty());
        }

        Make(Dir.filePath("exact"), QByteArray(100, 'x'));
        QCOMPARE(Files::ReadRegularFile(Dir.filePath("exact"), 100, Data, Reason), Files::TReadStatus::Read);
        QCOMPARE(Data.size(), 100);
        Make(Dir.filePath("over"), QByteArray(101, 'x'));
        QCOMPARE(Files::ReadRegularFile(Dir.filePath("over"), 100, Data, Reason), Files::TReadStatus::Failed);
        QCOMPARE(Reason, QStringLiteral("It is larger than 100 bytes"));
        // Files that say they are empty are read to their end all the same.
        QCOMPARE(Files::ReadRegularFile("/proc/self/status", 1 << 20, Data, Reason), Files::TReadStatus::Read);
        QVERIFY(Data.contains("Name:"));
    }

    void replacesAFileKeepingItsModeAndLinks()
    {
        const QString Path = Dir.filePath("kept.txt");
        Make(Path, "OLD", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        const QString Link = Dir.filePath("link.txt");
        QVERIFY(QFile::link(Path, Link));
        QString Reason;
        QVERIFY(Files::WriteWholeFile(Link, "NEW", Reason));
        QCOMPARE(ReadAll(Path), QByteArray("NEW"));
        QVERIFY(S_ISLNK(ModeOf(Link, false)));
        QCOMPARE(ModeOf(Path) & 0777, mode_t(0640));
        QVERIFY(!Files::WriteWholeFile(Dir.path(), "NEW", Reason));
        QCOMPARE(Reason, QStringLiteral("It is a folder, not a file"));
    }

    void aClosedFolderIsWrittenInPlace()
    {
        const QString Folder = Dir.filePath("closed");
        QVERIFY(QDir().mkpath(Folder));
        const QString Open = Folder + "/open.txt", Shut = Folder + "/shut.txt";
        Make(Open, "OLD", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                              | QFileDevice::WriteOther);
        Make(Shut, "OLD", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        QVERIFY(QFile::setPermissions(Dir.path(), Everyone) && QFile::setPermissions(Folder, Everyone));
        QString OpenReason, ShutReason, NewReason;
        bool OpenSaved, ShutSaved, NewSaved;
        {
            TAsNobody Nobody;
            if (!Nobody.Unavailable.isEmpty())
                QSKIP(qPrintable(Nobody.Unavailable));
            OpenSaved = Files::WriteWholeFile(Open, "NEW", OpenReason);
            ShutSaved = Files::WriteWholeFile(Shut, "NEW", ShutReason);
            NewSaved = Files::WriteWholeFile(Folder + "/new.txt", "NEW", NewReason);
        }
        QVERIFY2(OpenSaved, qPrintable(OpenReason));
        QCOMPARE(ReadAll(Open), QByteArray("NEW"));
        QVERIFY(!ShutSaved && !ShutReason.isEmpty());
        QCOMPARE(ReadAll(Shut), QByteArray("OLD"));
        QVERIFY(!NewSaved);
        QCOMPARE(NewReason, QStringLiteral("The folder %1 cannot be written").arg(Folder));
    }

    void aFullDiskLeavesTheOldFile()
    {
        TFullDisk Disk;
        if (!Disk.Unavailable.isEmpty())
            QSKIP(qPrintable(Disk.Unavailable));
        const QString Replaced = Disk.FilePath("replaced.txt"), InPlace = Disk.FilePath("inplace.txt");
        Make(Replaced, "OLD");
        Make(InPlace, "OLD", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                 | QFileDevice::WriteOther);
        QVERIFY(QFile::setPermissions(Disk.FilePath(".."), Everyone));
        QVERIFY(QFile::setPermissions(Disk.FilePath(""), Everyone));
        QVERIFY(Disk.Fill());
        const QByteArray Big(100000, 'N');
        QString Reason;
        QVERIFY(!Files::WriteWholeFile(Replaced, Big, Reason));
        QCOMPARE(Reason, QStringLiteral("No space left on device"));
        QCOMPARE(ReadAll(Replaced), QByteArray("OLD"));
        // Written in place (the folder is closed to this user), then put back.
        {
            TAsNobody Nobody;
            if (!Nobody.Unavailable.isEmpty())
                QSKIP(qPrintable(Nobody.Unavailable));
            QVERIFY(!Files::WriteWholeFile(InPlace, Big, Reason));
        }
        QCOMPARE(Reason, QStringLiteral("No space left on device"));
        QCOMPARE(ReadAll(InPlace), QByteArray("OLD"));
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "test_safe_file.moc"

// The file helper on real file systems: what it refuses to read, writes that
// leave either the new content or the old, never a mixture or nothing, and files
// that keep their owner whoever writes them.
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

struct stat StatOf(const QString& Path, bool Follow = true)
{
    struct stat Info {};
    const QByteArray Name = Files::EncodeName(Path);
    (Follow ? ::stat(Name.constData(), &Info) : ::lstat(Name.constData(), &Info));
    return Info;
}

mode_t ModeOf(const QString& Path, bool Follow = true)
{
    return StatOf(Path, Follow).st_mode;
}

constexpr uid_t Nobody = 65534;

const auto Everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadOther | QFileDevice::ExeOther;

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

        // Shorter text through a link leaves exactly the new bytes.
        Make(Path, "A MUCH LONGER OLD TEXT");
        QVERIFY(Files::WriteWholeFile(Link, "NEW", Reason));
        QCOMPARE(ReadAll(Path), QByteArray("NEW"));

        QVERIFY(!Files::WriteWholeFile(Dir.filePath("nofolder/x.json"), "NEW", Reason));
        QCOMPARE(Reason, QStringLiteral("The folder %1 does not exist").arg(Dir.filePath("nofolder")));
        // A device that fails is a failure, as the window's output and punch saves rely on.
        QVERIFY(!Files::WriteWholeFile(QStringLiteral("/dev/full"), "NEW", Reason));
        QCOMPARE(Reason, QStringLiteral("No space left on device"));
    }

    void namesThatAreNotUtf8KeepTheirBytes()
    {
        const QByteArray Raw = QFile::encodeName(Dir.path()) + "/caf\xE9-\xFF\xC3(.txt";
        const QString Name = Files::DecodeName(Raw);
        QCOMPARE(Files::EncodeName(Name), Raw);
        QCOMPARE(Files::DecodeName("caf\xC3\xA9 \xF0\x9F\x98\x80"), QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
        QString Reason;
        QVERIFY(Files::WriteWholeFile(Name, "NEW", Reason));
        QVERIFY(S_ISREG(StatOf(Name).st_mode)); // under its own bytes, not a replacement character
        QByteArray Data;
        QCOMPARE(Files::ReadRegularFile(Name, 100, Data, Reason), Files::TReadStatus::Read);
        QCOMPARE(Data, QByteArray("NEW"));
        QCOMPARE(::unlink(Raw.constData()), 0); // the toolkit cannot name it to clean up
    }

    void sameFileHoweverNamed()
    {
        const QString File = Dir.filePath("same.txt");
        Make(File, "X");
        QVERIFY(QFile::link(File, Dir.filePath("same-link.txt")));
        const QByteArray Hard = QFile::encodeName(Dir.filePath("same-hard.txt"));
        QCOMPARE(::link(QFile::encodeName(File).constData(), Hard.constData()), 0);
        QVERIFY(Files::SameFile(File, Dir.filePath("same-link.txt")));
        QVERIFY(Files::SameFile(Dir.filePath("same-hard.txt"), File));
        QVERIFY(!Files::SameFile(File, Dir.filePath("kept.txt")));
        // Not there yet: the same once links, "." and ".." are taken out.
        QVERIFY(QFile::link(Dir.filePath("later.txt"), Dir.filePath("dangling.txt")));
        QVERIFY(Files::SameFile(Dir.filePath("dangling.txt"), Dir.path() + "/./nofolder/../later.txt"));
        QVERIFY(!Files::SameFile(Dir.filePath("later.txt"), Dir.filePath("later.json")));
    }

    // Run as root: links planted by another user, and files that are not root's.
    void sharedFoldersAndOwnersAsRoot()
    {
        if (::geteuid() != 0)
            QSKIP("making files another user owns needs root");
        const QString Shared = Dir.filePath("shared"), Victim = Dir.filePath("victim.txt");
        QVERIFY(QDir().mkpath(Shared + "/own"));
        QCOMPARE(::chmod(QFile::encodeName(Shared).constData(), 01777), 0);
        Make(Victim, "PRECIOUS");
        const auto Plant = [](const QString& Target, const QString& Link, uid_t Owner) {
            QVERIFY(QFile::link(Target, Link));
            QCOMPARE(::lchown(QFile::encodeName(Link).constData(), Owner, Owner), 0);
        };
        Plant(Victim, Shared + "/planted.txt", Nobody);
        Plant(Dir.path(), Shared + "/planted-folder", Nobody);
        Plant(Victim, Shared + "/mine.txt", 0);
        QString Reason;
        QVERIFY(!Files::WriteWholeFile(Shared + "/planted.txt", "EVIL", Reason));
        QCOMPARE(Reason, QStringLiteral("The link %1 in the shared folder %2 belongs to another user and is not "
                                        "followed")
                             .arg(Shared + "/planted.txt", Shared));
        QVERIFY(!Files::WriteWholeFile(Shared + "/planted-folder/victim.txt", "EVIL", Reason));
        QVERIFY(Reason.startsWith(QStringLiteral("The link %1 ").arg(Shared + "/planted-folder")));
        QCOMPARE(ReadAll(Victim), QByteArray("PRECIOUS"));
        // The writer's own link is followed, and so is the folder owner's.
        QVERIFY2(Files::WriteWholeFile(Shared + "/mine.txt", "MINE", Reason), qPrintable(Reason));
        QCOMPARE(ReadAll(Victim), QByteArray("MINE"));
        QCOMPARE(::chown(QFile::encodeName(Shared).constData(), Nobody, Nobody), 0);
        QVERIFY2(Files::WriteWholeFile(Shared + "/planted.txt", "OWNER'S", Reason), qPrintable(Reason));
        QCOMPARE(ReadAll(Victim), QByteArray("OWNER'S"));

        // Root replacing nobody's private file leaves it nobody's and private.
        const QString Private = Dir.filePath("private.txt");
        Make(Private, "OLD", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(::chown(QFile::encodeName(Private).constData(), Nobody, Nobody), 0);
        QVERIFY2(Files::WriteWholeFile(Private, "NEW", Reason), qPrintable(Reason));
        QCOMPARE(ReadAll(Private), QByteArray("NEW"));
        const struct stat Info = StatOf(Private);
        QCOMPARE(Info.st_uid, Nobody);
        QCOMPARE(Info.st_gid, gid_t(Nobody));
        QCOMPARE(Info.st_mode & 07777, mode_t(0600));
    }

    // A read-only file is refused to root as to its owner, in the same words.
    void aReadOnlyFileIsRefusedToAll()
    {
        const QString Folder = Dir.filePath("readonly");
        QVERIFY(QDir().mkpath(Folder));
        const QString File = Folder + "/ro.txt";
        Make(File, "OLD", QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QString Reason;
        QVERIFY(!Files::WriteWholeFile(File, "NEW", Reason));
        QCOMPARE(Reason, QStringLiteral("It is read-only"));
        if (::geteuid() == 0) {
            QVERIFY(QFile::setPermissions(Dir.path(), Everyone) && QFile::setPermissions(Folder, Everyone));
            QCOMPARE(::chown(QFile::encodeName(Folder).constData(), Nobody, Nobody), 0);
            QCOMPARE(::chown(QFile::encodeName(File).constData(), Nobody, Nobody), 0);
            TAsNobody AsNobody;
            if (!AsNobody.Unavailable.isEmpty())
                QSKIP(qPrintable(AsNobody.Unavailable));
            Reason.clear();
            QVERIFY(!Files::WriteWholeFile(File, "NEW", Reason));
        }
        QCOMPARE(Reason, QStringLiteral("It is read-only"));
        QCOMPARE(ReadAll(File), QByteArray("OLD"));
    }

    void aClosedFolderIsWrittenInPlace()
    {
        const QString Folder = Dir.filePath("closed");
        QVERIFY(QDir().mkpath(Folder));
        const QString Open = Folder + "/open.txt", Shut = Folder + "/shut.txt";
        Make(Open, "A MUCH LONGER OLD TEXT",
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther | QFileDevice::WriteOther);
        Make(Shut, "OLD", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        QVERIFY(QFile::setPermissions(Dir.path(), Everyone) && QFile::setPermissions(Folder, Everyone));
        // Through a link too, with nothing of the longer old text left behind.
        const QString Link = Dir.filePath("open-link.txt");
        QVERIFY(QFile::link(Open, Link));
        QString OpenReason, ShutReason, NewReason;
        bool OpenSaved, ShutSaved, NewSaved;
        {
            TAsNobody AsNobody;
            if (!AsNobody.Unavailable.isEmpty())
                QSKIP(qPrintable(AsNobody.Unavailable));
            OpenSaved = Files::WriteWholeFile(Link, "NEW", OpenReason);
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
        Make(InPlace, "OLD",
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther | QFileDevice::WriteOther);
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
            TAsNobody AsNobody;
            if (!AsNobody.Unavailable.isEmpty())
                QSKIP(qPrintable(AsNobody.Unavailable));
            QVERIFY(!Files::WriteWholeFile(InPlace, Big, Reason));
        }
        QCOMPARE(Reason, QStringLiteral("No space left on device"));
        QCOMPARE(ReadAll(InPlace), QByteArray("OLD"));
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "test_safe_file.moc"

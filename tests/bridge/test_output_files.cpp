// What the standard bridge writes and shows of files: output saved whole or not
// at all, a pipe written as a pipe, and a NUL on a tape reported in full.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/bridge/std_world.h"
#include "tests/files/full_disk.h"
#include "tests/named.h"

namespace {

// The shared world with some output already punched and printed.
struct TOutputWorld : TWorld {
    TOutputWorld()
    {
        for (const char Ch : QByteArray("HELLO!EDSAC"))
            Bridge->PunchChar(Ch);
        Bridge->TeleprinterPrint('H');
    }
};

QByteArray ReadAll(const QString& Path)
{
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestOutputFiles : public QObject {
    Q_OBJECT

private slots:
    void aPipeIsWrittenNotReplaced()
    {
        TOutputWorld W;
        const QString Fifo = W.Dir.filePath(QStringLiteral("punch.fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
        // Nobody reads it yet: refused at once rather than waited for.
        QVERIFY(!W.Bridge->PunchOutput(Fifo));
        QVERIFY(W.Messages.last().contains(QStringLiteral("nothing is reading")));
        const int Reader = ::open(QFile::encodeName(Fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(Reader >= 0);
        QVERIFY(W.Bridge->PunchOutput(Fifo));
        char Buffer[64] = {};
        const ssize_t Got = ::read(Reader, Buffer, sizeof Buffer);
        ::close(Reader);
        QCOMPARE(QByteArray(Buffer, int(std::max<ssize_t>(Got, 0))), QByteArray("HELL\nO!ED\nSAC\n"));
        struct stat Info;
        QVERIFY(::lstat(QFile::encodeName(Fifo).constData(), &Info) == 0 && S_ISFIFO(Info.st_mode));
    }

    void aFullDiskLeavesTheOldFiles()
    {
        TOutputWorld W;
        TFullDisk Disk;
        if (!Disk.Unavailable.isEmpty())
            QSKIP(qPrintable(Disk.Unavailable));
        const QString Output = Disk.FilePath(QStringLiteral("EdOutput.txt"));
        const QString Punch = Disk.FilePath(QStringLiteral("EdPunch.txt"));
        for (const QString& Old : {Output, Punch}) {
            QFile F(Old);
            QVERIFY(F.open(QIODevice::WriteOnly) && F.write("OLD") == 3);
        }
        QVERIFY(Disk.Fill());
        QVERIFY(!W.Bridge->SaveOutput(Output));
        QVERIFY(!W.Bridge->PunchOutput(Punch));
        QCOMPARE(W.Messages.size(), 2);
        for (const QString& Message : W.Messages)
            QVERIFY2(Message.startsWith(QStringLiteral("Error|Cannot save the file: ")) &&
                         Message.endsWith(QStringLiteral("No space left on device")),
                     qPrintable(Message));
        QCOMPARE(ReadAll(Output), QByteArray("OLD"));
        QCOMPARE(ReadAll(Punch), QByteArray("OLD"));
    }

    // Eight codes make two full groups and no empty third; a device that fails is
    // an error, not a save.
    void punchedGroupsAndAFailingDevice()
    {
        TWorld W;
        for (const char Ch : QByteArray("ABCDEFGH"))
            W.Bridge->PunchChar(Ch);
        W.Bridge->TeleprinterPrint('H');
        const QString Punch = W.Dir.filePath(QStringLiteral("EdPunch.txt"));
        QVERIFY(W.Bridge->PunchOutput(Punch));
        QCOMPARE(ReadAll(Punch), QByteArray("ABCD\nEFGH\n"));
        QVERIFY(!W.Bridge->PunchOutput(QStringLiteral("/dev/full")));
        QVERIFY(!W.Bridge->SaveOutput(QStringLiteral("/dev/full")));
        const QString Failed = QStringLiteral("Error|Cannot save the file: /dev/full\nNo space left on device");
        QCOMPARE(W.Messages, QStringList(2, Failed));
    }

    void aNulOnTheTapeIsReportedInFull()
    {
        TOutputWorld W;
        TEditorForm* T = W.Bridge->NewTape();
        TapePane(T)->setPlainText(QString::fromUtf8("T64K\n\nG \0 K", 11));
        W.OnPanel("btnStart")->click();
        for (int I = 0; I < 100000 && W.Bridge->GetEdsacForm()->CoreExecTimer->isActive(); ++I)
            W.Bridge->GetEdsacForm()->CoreExecTimerTimer();
        QCOMPARE(W.Messages.size(), 1);
        QVERIFY2(W.Messages[0].endsWith(QString::fromUtf8("[\"\u2400\" ASCII value 0]")), qPrintable(W.Messages[0]));
    }
};

QTEST_MAIN(TestOutputFiles)
#include "test_output_files.moc"

// Recovery copies of unsaved tapes, through the real tape windows: written a
// moment after the last change, gone when the tape is saved or closed, kept when
// the program ends unexpectedly, and never taken from an instance still alive.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <sys/stat.h>

#include "kit/RecoveryStore.h"
#include "std_world.h"
#include "tests/named.h"

namespace {

QByteArray ReadAll(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

QStringList Sessions(const QString& Folder)
{
    return QDir(Folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

    QTemporaryDir Scratch;
    QString Folder() const { return Scratch.filePath(QStringLiteral("data/valvane/recovery")); }

    // A world whose tape windows keep copies in Store.
    static void Join(TWorld& W, TRecoveryStore& Store)
    {
        Store.SetDelay(20);
        W.Bridge->SetRecoveryStore(&Store);
    }

private slots:
    void cleanup() { QDir(Scratch.filePath(QStringLiteral("data"))).removeRecursively(); }

    void aPrivateFolderPerSession()
    {
        TRecoveryStore Store(Folder());
        QVERIFY2(Store.IsOpen(), qPrintable(Store.Problem()));
        struct stat Info;
        QVERIFY(::stat(QFile::encodeName(Folder()).constData(), &Info) == 0);
        QCOMPARE(Info.st_mode & 0777, 0700u);
        QVERIFY(QFileInfo(Store.SessionFolder())
                    .fileName()
                    .startsWith(QString::number(QCoreApplication::applicationPid()) + '-'));
        QCOMPARE(Sessions(Folder()).size(), 1);
    }

    void aFolderThatIsNotOursIsRefused()
    {
        QVERIFY(QDir().mkpath(Scratch.filePath(QStringLiteral("data/valvane"))));
        QVERIFY(QFile::link(QDir::tempPath(), Folder())); // a planted link
        TRecoveryStore Store(Folder());
        QVERIFY(!Store.IsOpen());
        QVERIFY(Store.Problem().contains(QStringLiteral("not a folder of this user's")));
        QFile::remove(Folder());
    }

    void aModifiedTapeIsCopiedUntilSavedOrClosed()
    {
        TRecoveryStore Store(Folder());
        TWorld W;
        Join(W, Store);

        TEditorForm* Tape = W.Tape(QStringLiteral("T64K\nZF"));
        const QString Copy = Store.CopyPath(Tape);
        QVERIFY(!Copy.isEmpty() && !QFile::exists(Copy)); // not at once: a moment after the last change
        QTRY_VERIFY(QFile::exists(Copy));
        QCOMPARE(ReadAll(Copy), QByteArray("Valvane recovery copy\nPath: \nCaption: Untitled 1\n\nT64K\nZF"));

        // Each change rewrites it; saving removes it.
        TapePane(Tape)->appendPlainText(QStringLiteral("PF"));
        QTRY_VERIFY(ReadAll(Copy).endsWith("ZF\nPF"));
        const QString Saved = W.Dir.filePath(QStringLiteral("my tape.txt"));
        W.Files << Saved;
        W.Bridge->SaveTape();
        QVERIFY(!QFile::exists(Copy));

        // Changed after the save: a copy naming the file; changed back: none.
        TapePane(Tape)->appendPlainText(QStringLiteral("ZF"));
        QTRY_VERIFY(QFile::exists(Copy));
        QVERIFY(ReadAll(Copy).startsWith("Valvane recovery copy\nPath: " +
                                         QFile::encodeName(Saved).toPercentEncoding("/") + "\nCaption: my tape\n\n"));
        TapePane(Tape)->undo();
        QVERIFY(!Tape->IsModified());
        QVERIFY(!QFile::exists(Copy));

        // Closed with its changes discarded: the copy goes too.
        TapePane(Tape)->appendPlainText(QStringLiteral("ZF"));
        QTRY_VERIFY(QFile::exists(Copy));
        W.Answers << QMessageBox::No;
        W.Bridge->CloseTape();
        QVERIFY(!QFile::exists(Copy));

        // An opened file is copied only once it is changed.
        TEditorForm* Opened = W.Bridge->OpenTape(Saved);
        QVERIFY(Opened);
        QTest::qWait(60);
        QVERIFY(!QFile::exists(Store.CopyPath(Opened)));
        TapePane(Opened)->appendPlainText(QStringLiteral("Z"));
        QTRY_VERIFY(QFile::exists(Store.CopyPath(Opened)));
        QCOMPARE(QDir(Store.SessionFolder()).entryList({"*.tape"}).size(), 1);
    }

    void anOrderlyEndLeavesNothing()
    {
        QString Session, Copy;
        {
            TRecoveryStore Store(Folder());
            TWorld W;
            Join(W, Store);
            TEditorForm* Tape = W.Tape(QStringLiteral("T64K"));
            Store.WriteNow(Tape);
            Session = Store.SessionFolder();
            Copy = Store.CopyPath(Tape);
        }
        QVERIFY(!Copy.isEmpty());
        QVERIFY(!QFileInfo::exists(Session));
        QVERIFY(Sessions(Folder()).isEmpty());
    }

    void keptCopiesAreOfferedOnlyOnceTheirInstanceIsGone()
    {
        const QString Saved = Scratch.filePath(QStringLiteral("prog.txt"));
        auto First = std::make_unique<TRecoveryStore>(Folder());
        {
            TWorld W;
            Join(W, *First);
            W.Tape(QStringLiteral("untitled\nwork"));
            TEditorForm* Named = W.Tape(QStringLiteral("T64K"));
            Named->SetFileName(Saved);
            W.Tape(QStringLiteral("saved"))->SetModified(false);
            // The end that a signal or a lost display brings: copies written at once.
            First->KeepAll();
            QCOMPARE(QDir(First->SessionFolder()).entryList({"*.tape"}).size(), 2);

            // A second instance while the first lives sees nothing of its copies.
            TRecoveryStore Second(Folder());
            QVERIFY(Second.ClaimOrphans().isEmpty());
        }
        const QString Left = First->SessionFolder();
        QVERIFY(QFileInfo::exists(Left)); // the windows went, the copies stayed
        First.reset();
        QVERIFY(QFileInfo::exists(Left));

        // The first instance is gone: the next one claims its copies, and a third
        // starting meanwhile does not see them.
        TRecoveryStore Next(Folder());
        const QList<TRecoveredTape> Tapes = Next.ClaimOrphans();
        QCOMPARE(Tapes.size(), 2);
        QCOMPARE(Tapes[0].FileName, QString());
        QCOMPARE(Tapes[0].Caption, QStringLiteral("Untitled 1"));
        QCOMPARE(Tapes[0].Text, QStringLiteral("untitled\nwork"));
        QCOMPARE(Tapes[1].FileName, Saved);
        QCOMPARE(Tapes[1].Caption, QStringLiteral("prog"));
        QCOMPARE(Tapes[1].Text, QStringLiteral("T64K"));
        {
            TRecoveryStore Third(Folder());
            QVERIFY(Third.ClaimOrphans().isEmpty());
        }
        // Released, they are offered again; discarded, they are gone.
        Next.ReleaseClaimed();
        TRecoveryStore Again(Folder());
        QCOMPARE(Again.ClaimOrphans().size(), 2);
        Again.DiscardClaimed();
        QVERIFY(!QFileInfo::exists(Left));
        QVERIFY(Next.ClaimOrphans().isEmpty());
    }

    void restoredTapesAreModifiedWindowsThatSaveToTheirFiles()
    {
        TRecoveryStore Store(Folder());
        TWorld W;
        Join(W, Store);
        const QString Saved = W.Dir.filePath(QStringLiteral("prog.txt"));
        TEditorForm* Named = W.Bridge->RecoverTape(Saved, QStringLiteral("T64K\nZF"));
        QCOMPARE(Named->windowTitle(), QStringLiteral("prog"));
        QVERIFY(Named->IsModified());
        TEditorForm* Untitled = W.Bridge->RecoverTape(QString(), QStringLiteral("PF"));
        QCOMPARE(Untitled->windowTitle(), QStringLiteral("Untitled 1"));
        QVERIFY(Untitled->IsModified() && Untitled->FileName().isEmpty());
        QCOMPARE(Untitled->Text(), QStringLiteral("PF"));
        QTRY_VERIFY(QFile::exists(Store.CopyPath(Untitled)));

        W.Bridge->SetCurrentTape(Named);
        QVERIFY(W.OnMain("miSave")->isEnabled());
        W.Bridge->SaveTape();
        QVERIFY(W.FileRequests.isEmpty()); // no name asked for
        QCOMPARE(ReadAll(Saved), QByteArray("T64K\nZF\n"));
        QVERIFY(!QFile::exists(Store.CopyPath(Named)));
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"

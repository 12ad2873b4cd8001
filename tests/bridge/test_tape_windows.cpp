// Tape windows behind the real main window (offscreen): pasting, files opened
// twice, files changed by other programs, encodings, the parents of boxes, which
// tape is current and the questions before they close.
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "kit/editor_form.h"
#include "forms/main_form.h"
#include "tests/bridge/std_world.h"
#include "tests/named.h"

namespace {

QString Make(const QString& Path, const QByteArray& Bytes)
{
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size())
        qFatal("cannot write %s", qPrintable(Path));
    return Path;
}

} // namespace

class TestTapeWindows : public QObject {
    Q_OBJECT
private slots:
    // The toolkit crashes when told to paste data that offers no format at all,
    // which is what an empty clipboard or selection gives.
    void pasteRefusesDataWithoutAFormatAndPastesText()
    {
        TWorld W;
        TEditorForm* T = W.Tape(QStringLiteral("AB"));
        QPlainTextEdit* Pane = TapePane(T);
        QClipboard* Clipboard = QGuiApplication::clipboard();
        struct TWay {
            const char* Name;
            QClipboard::Mode Mode;
            std::function<void()> Paste;
        };
        QList<TWay> Ways{
            {"Ctrl+V", QClipboard::Clipboard, [&] { QTest::keyClick(Pane, Qt::Key_V, Qt::ControlModifier); }},
            {"Shift+Insert", QClipboard::Clipboard, [&] { QTest::keyClick(Pane, Qt::Key_Insert, Qt::ShiftModifier); }},
            {"Edit menu", QClipboard::Clipboard, [&] { W.Bridge->PasteText(); }},
        };
        // Only a platform with a selection pastes it with the middle button.
        if (Clipboard->supportsSelection())
            Ways.append({"middle button", QClipboard::Selection, [&] {
                             QTextCursor End(Pane->document());
                             End.movePosition(QTextCursor::End);
                             QTest::mouseClick(Pane->viewport(), Qt::MiddleButton, {}, Pane->cursorRect(End).center());
                         }});
        else
            qInfo("This platform has no selection: the middle button is not tried.");

        QString Expected = QStringLiteral("AB");
        for (const TWay& Way : Ways) {
            Clipboard->setMimeData(new QMimeData, Way.Mode);
            Way.Paste();
            QVERIFY2(T->Text() == Expected, Way.Name);
            if (Way.Mode == QClipboard::Clipboard)
                QVERIFY(!W.OnMain("miPaste")->isEnabled());

            Pane->moveCursor(QTextCursor::End);
            Clipboard->setText(QStringLiteral(" F"), Way.Mode);
            Way.Paste();
            Expected += QStringLiteral(" F");
            QVERIFY2(T->Text() == Expected, Way.Name);
        }
        Clipboard->clear();
    }

    // A file or a text that would hold a tape window up for long (too many
    // lines, or a line too long to edit at once) is refused, saying why, and
    // the tape stays as it was.
    void aTapeTooBigForTheWindowIsRefused()
    {
        TWorld W;
        const QLocale Here;
        const QString Feeds = Make(W.Dir.filePath("feeds.txt"), QByteArray(16 * 1024 * 1024, '\n'));
        QVERIFY(!W.Bridge->OpenTape(Feeds));
        QCOMPARE(W.Messages.size(), 1);
        QVERIFY2(W.Messages[0].contains("Cannot open the file in a tape window: " + Feeds + "\nIt has " +
                                        Here.toString(16 * 1024 * 1024) + " lines, more than the " +
                                        Here.toString(100000) + " a tape window holds.\nvalvane-run"),
                 qPrintable(W.Messages[0]));
        QVERIFY(W.Main()->findChildren<TEditorForm*>().isEmpty());
        const QByteArray Wide(10000, 'F');
        QVERIFY(W.Bridge->OpenTape(Make(W.Dir.filePath("wide.txt"), "T64K\n" + Wide + "\n")));
        QVERIFY(!W.Bridge->OpenTape(Make(W.Dir.filePath("wider.txt"), "T64K\n" + Wide + "F\n")));
        QVERIFY2(W.Messages[1].contains("Its line 2 has " + Here.toString(10001) + " characters"),
                 qPrintable(W.Messages[1]));

        // Inserted or pasted, the text joins the lines at the cursor.
        TEditorForm* T = W.Tape(QStringLiteral("AB"));
        QPlainTextEdit* Pane = TapePane(T);
        Pane->moveCursor(QTextCursor::End);
        const QString Part = Make(W.Dir.filePath("part.txt"), QByteArray(9999, 'F'));
        W.Bridge->InsertTape(Part);
        QCOMPARE(W.Messages.size(), 3);
        QVERIFY(W.Messages[2].startsWith("Error|Cannot insert the file: " + Part));
        QClipboard* Clipboard = QGuiApplication::clipboard();
        Clipboard->setText(QString(9999, 'F') + '\n' + QString(10000, 'F'));
        QTest::keyClick(Pane, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(W.Messages.size(), 4);
        QVERIFY(W.Messages[3].startsWith("Error|Cannot paste the text.\nA line of the tape would have " +
                                         Here.toString(10001)));
        QCOMPARE(T->Text(), "AB");
        Clipboard->setText(QString(9998, 'F') + '\n' + QString(10000, 'F'));
        QTest::keyClick(Pane, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(T->Text().size(), 20001);
        Clipboard->setText(QString(100000, '\n'));
        QTest::keyClick(Pane, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(W.Messages.size(), 5);
        QVERIFY(W.Messages[4].contains("the tape would have " + Here.toString(100002) + " lines"));
        QCOMPARE(T->Text().size(), 20001);
        Clipboard->clear();
    }

    // However the file is named again, its window comes forward with its edits.
    void aFileAlreadyOpenComesForward()
    {
        TWorld W;
        const QString Path = Make(W.Dir.filePath("prog.txt"), "T64K\n");
        TEditorForm* First = W.Bridge->OpenTape(Path);
        QVERIFY(First);
        TapePane(First)->insertPlainText(QStringLiteral("ZF "));
        TEditorForm* Other = W.Bridge->OpenTape(Make(W.Dir.filePath("other.txt"), "PF\n"));
        QVERIFY(Other && Other != First);

        QVERIFY(QDir(W.Dir.path()).mkdir("sub"));
        QVERIFY(QFile::link(Path, W.Dir.filePath("soft.txt")));
        const QByteArray Hard = QFile::encodeName(W.Dir.filePath("hard.txt"));
        QCOMPARE(::link(QFile::encodeName(Path).constData(), Hard.constData()), 0);
        for (const QString& Name :
             {Path, W.Dir.filePath("sub/../prog.txt"), W.Dir.filePath("soft.txt"), W.Dir.filePath("hard.txt")}) {
            W.Bridge->SetCurrentTape(Other);
            QCOMPARE(W.Bridge->OpenTape(Name), First);
            QCOMPARE(W.Bridge->CurrentTape(), First);
        }
        // The recent files name each file once, and bring it forward too.
        QCOMPARE(W.Settings.RecentFiles[0], W.Dir.filePath("other.txt"));
        QCOMPARE(W.Settings.RecentFiles[1], Path);
        QVERIFY(W.Settings.RecentFiles[2].isEmpty());
        W.OnMain("miMRU2")->trigger();
        QCOMPARE(W.Bridge->CurrentTape(), First);
        QCOMPARE(W.Main()->findChildren<TEditorForm*>().size(), 2);
        QCOMPARE(First->Text(), "ZF T64K");
        QVERIFY(First->IsModified());
        QCOMPARE(W.Messages, QStringList());
    }

    // A tape kept as UTF-16 runs as its text, not as the bytes of its mark.
    void aUtf16TapeRuns()
    {
        TWorld W;
        QStringEncoder Utf16(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
        const QByteArray Bytes = Utf16(QStringLiteral("T64K GK O4@ O5@ O6@ ZF *F HF IF EZPF\r\n"));
        const QString Path = Make(W.Dir.filePath("wide.txt"), Bytes);
        QVERIFY(W.Bridge->OpenTape(Path));
        QCOMPARE(W.RunToStop(), 0);
        QCOMPARE(W.Messages, QStringList());
        QCOMPARE(W.Printed(), "HI");
    }

    // A file that cannot be read is reported over a window the user sees, and no
    // empty window stands behind the box.
    void aFileThatCannotBeReadIsReportedOverAWindowShown()
    {
        TWorld W;
        W.Bridge->RestoreGui(nullptr);
        struct TBox {
            QString Text;
            QWidget* Parent;
            QStringList Shown; // the titles of the tape windows shown meanwhile
        };
        QList<TBox> Boxes;
        Dialogs::SetMessageResponder([&](const Dialogs::TMessageRequest& R) {
            QStringList Shown;
            for (const TEditorForm* T : W.Main()->findChildren<TEditorForm*>())
                if (T->isVisible())
                    Shown << T->windowTitle();
            Boxes << TBox{R.Text, R.Parent, Shown};
            return QMessageBox::Ok;
        });
        const QString Fifo = W.Dir.filePath("tape.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
        for (const QString& Path : {W.Dir.path(), Fifo, QStringLiteral("/dev/zero")}) {
            QVERIFY(!W.Bridge->OpenTape(Path));
            QVERIFY(Boxes.last().Text.startsWith("Cannot read the file: " + Path));
            QCOMPARE(Boxes.last().Parent, W.Main());
            QVERIFY(W.Main()->isVisible());
            QCOMPARE(Boxes.last().Shown, QStringList());
        }
        QVERIFY(W.Main()->findChildren<TEditorForm*>().isEmpty());

        // Inserting one reports it over the tape it was to go into.
        TEditorForm* T = W.Tape("PF");
        W.Bridge->InsertTape(Fifo);
        QCOMPARE(Boxes.last().Parent, T);
        QVERIFY(T->isVisible());
        QCOMPARE(Boxes.size(), 4);
    }

    // Minimising the current tape makes the window manager activate another; the
    // machine still reads the minimised one until the user chooses another.
    void aMinimisedTapeStaysCurrentUntilAnotherIsChosen()
    {
        TWorld W;
        TEditorForm* Hi = W.Tape(QStringLiteral("T64K GK O4@ O5@ O6@ ZF *F HF IF EZPF"));
        TEditorForm* Ok = W.Tape(QStringLiteral("T64K GK O4@ O5@ O6@ ZF *F OF KF EZPF"));
        W.Bridge->RestoreGui(nullptr);
        QCOMPARE(W.Bridge->CurrentTape(), Ok);
        const auto HandOn = [](QWidget* To) {
            QEvent Activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(To, &Activate);
        };

        Ok->showMinimized();
        HandOn(Hi);
        QCOMPARE(W.Bridge->CurrentTape(), Ok);
        QCOMPARE(W.RunToStop(), 0);
        QCOMPARE(W.Printed(), QStringLiteral("OK"));

        // Start's key pressed while the other tape has the focus is no choice.
        auto* Pane = Hi->findChild<QPlainTextEdit*>();
        QTest::keyRelease(Pane, Qt::Key_F6);
        QCOMPARE(W.Bridge->CurrentTape(), Ok);

        // A click in the other tape chooses it.
        QTest::mouseClick(Pane->viewport(), Qt::LeftButton);
        QCOMPARE(W.Bridge->CurrentTape(), Hi);
        QCOMPARE(W.OnPanel<QLabel>("memoLabel")->text(), QStringLiteral("Output From: Untitled 1"));

        // So does its entry in the Window menu, and, with nothing minimised, activation.
        Hi->showMinimized();
        W.Main()->WindowMenuClick(W.OnMain("mnuWined2"));
        QCOMPARE(W.Bridge->CurrentTape(), Ok);
        QVERIFY(!Ok->isMinimized());
        Hi->showNormal();
        HandOn(Hi);
        QCOMPARE(W.Bridge->CurrentTape(), Hi);
    }

    // Exit asks about every changed tape before any window closes: a Cancel at the
    // last question leaves every tape open.
    void exitThenCancelClosesNothing()
    {
        TWorld W;
        QList<TEditorForm*> Tapes;
        for (int I = 0; I < 3; ++I)
            Tapes << W.Tape(QStringLiteral("P F"));
        Tapes[1]->SetModified(false);
        W.Answers = {QMessageBox::No, QMessageBox::Cancel};
        W.OnMain("miExit")->trigger();
        QCOMPARE(W.Messages,
                 (QStringList{"Confirm|Save changes to Untitled 1?", "Confirm|Save changes to Untitled 3?"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (int N = 1; N <= 3; ++N)
            QVERIFY(W.Bridge->FindTapeWindow(N) && W.Bridge->FindTapeWindow(N)->isVisible());
        QCOMPARE(W.Main()->WindowMenuEntries().size(), 4); // Edsac and the three tapes
        // Yes with a cancelled save dialog keeps them too.
        W.Messages.clear();
        W.Answers = {QMessageBox::Yes};
        QVERIFY(!W.Bridge->CanCloseAll());
        QCOMPARE(W.Messages.size(), 1);

        // Answered all the way, every window closes.
        W.Messages.clear();
        W.Answers = {QMessageBox::No, QMessageBox::No};
        QVERIFY(W.Bridge->CanCloseAll());
        QCOMPARE(W.Messages.size(), 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(W.Main()->findChildren<TEditorForm*>().isEmpty());
        QVERIFY(!W.Bridge->CurrentTape());
    }
};

QTEST_MAIN(TestTapeWindows)
#include "test_tape_windows.moc"

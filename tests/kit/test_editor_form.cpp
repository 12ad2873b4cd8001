#include <QDir>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/errors.h"
#include "kit/Dialogs.h"
#include "kit/editor_form.h"
#include "tests/files/as_nobody.h"
#include "tests/named.h"

namespace {

QByteArray ReadAll(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

// Every character up to the end of the tape.
QString ReadToEnd(TEditorForm& Form)
{
    std::u32string Read;
    try {
        for (int N = 0; N < 1000; ++N)
            Read += Form.NextTapeChar();
        return "<no end>";
    } catch (const EEndOfTape&) {
        return QString::fromStdU32String(Read);
    }
}

} // namespace

class TestEditorForm : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QList<Dialogs::TMessageRequest> Messages;
    QList<Dialogs::TFileRequest> FileRequests;
    QString ChosenPath;
    QMessageBox::StandardButton Answer = QMessageBox::No;

    QString MakeFile(const QString& Name, const QByteArray& Bytes)
    {
        QFile File(Dir.filePath(Name));
        if (File.open(QIODevice::WriteOnly))
            File.write(Bytes);
        return File.fileName();
    }

private slots:
    void init()
    {
        Messages.clear();
        FileRequests.clear();
        Answer = QMessageBox::No;
        Dialogs::SetMessageResponder([this](const Dialogs::TMessageRequest& R) {
            Messages << R;
            return Answer;
        });
        Dialogs::SetFileResponder([this](const Dialogs::TFileRequest& R) {
            FileRequests << R;
            return ChosenPath;
        });
    }

    void tapeReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delivered");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only empty lines") << "\n\n\n"
                                          << "";
        QTest::newRow("trailing line break") << "AB\n"
                                             << "AB";
        QTest::newRow("empty line between") << "AB\n\nC"
                                            << "ABC";
        QTest::newRow("blanks and tabs kept") << " T\t0\n\n\nF \n"
                                              << " T\t0F ";
    }
    void tapeReading()
    {
        QFETCH(QString, text);
        QFETCH(QString, delivered);
        TEditorForm Form(nullptr, "Untitled 1");
        TapePane(&Form)->setPlainText(text);
        QCOMPARE(ReadToEnd(Form), delivered);
        QVERIFY_THROWS_EXCEPTION(EEndOfTape, Form.NextTapeChar()); // and again, until rewound
        Form.RewindTape();
        QCOMPARE(ReadToEnd(Form), delivered);

        // Editing in mid-read starts the tape again.
        TapePane(&Form)->setPlainText("\nAB\nCD");
        QCOMPARE(Form.NextTapeChar(), U'A');
        TapePane(&Form)->appendPlainText(text);
        QCOMPARE(ReadToEnd(Form), "ABCD" + delivered);
    }

    void captionAndCloseQuery()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        const QStringList Cases{"/tmp/squares.old.txt", "squares", "/tmp/.name", "", "/tmp/a.b/tape", "tape"};
        for (qsizetype I = 0; I < Cases.size(); I += 2) {
            Form.SetFileName(Cases[I]);
            QCOMPARE(Form.windowTitle(), Cases[I + 1]);
        }

        QSignalSpy Closed(&Form, &TEditorForm::Closed);
        Form.show();
        bool MayClose = false;
        Form.SetCloseQuery([&] { return MayClose; });
        QVERIFY(!Form.close());
        QVERIFY(Form.isVisible() && Closed.isEmpty());
        MayClose = true;
        QVERIFY(Form.close());
        QCOMPARE(Closed.count(), 1);
    }

    // The status bar says what the order under the cursor does, as the cursor moves.
    void statusBarExplainsTheOrderUnderTheCursor()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        TapePane(&Form)->setPlainText(QStringLiteral("T 64 K\n[£] A 64 F [add]"));
        auto* Status = Form.findChild<QStatusBar*>(QStringLiteral("sbTape"));
        QVERIFY(Status);
        QTextCursor Cursor = TapePane(&Form)->textCursor();
        Cursor.setPosition(12);
        TapePane(&Form)->setTextCursor(Cursor);
        QCOMPARE(Status->currentMessage(), QStringLiteral("A 64 F — add the word at 64 to the accumulator, 1.5 ms"));
        Cursor.setPosition(17);
        TapePane(&Form)->setTextCursor(Cursor);
        QCOMPARE(Status->currentMessage(), QString());
    }

    void saveAsThenSave()
    {
        const QString Other = MakeFile("other.txt", "OLD");
        TEditorForm Form(nullptr, "Untitled 3");
        TapePane(&Form)->insertPlainText("T64K\nZF");
        ChosenPath = Other; // exists, and No to replacing it changes nothing
        QVERIFY(!Form.SaveAs());
        QCOMPARE(FileRequests[0].FileName, "Untitled 3.txt");
        QCOMPARE(Messages.size(), 1);
        QCOMPARE(ReadAll(Other), "OLD");
        QVERIFY(Form.windowTitle() == "Untitled 3" && Form.FileName().isEmpty() && Form.IsModified());

        ChosenPath = Dir.filePath("prog"); // typed without extension
        QVERIFY(Form.Save());
        QCOMPARE(Form.FileName(), Dir.filePath("prog.txt"));
        QVERIFY(Form.windowTitle() == "prog" && !Form.IsModified());
        TapePane(&Form)->appendPlainText("PF");
        QVERIFY(Form.Save()); // asks nothing, though the file now exists
        QVERIFY(FileRequests.size() == 2 && Messages.size() == 1 && !Form.IsModified());
        QCOMPARE(ReadAll(Dir.filePath("prog.txt")), "T64K\nZF\nPF\n");

        Answer = QMessageBox::Yes;
        ChosenPath = Other;
        QVERIFY(Form.SaveAs());
        QCOMPARE(ReadAll(Other), "T64K\nZF\nPF\n");
    }

    void everyLineEndsInALineFeedAndTheTextComesBack()
    {
        const QString Path = Dir.filePath("round.txt");
        for (const QString& Text : {QString("X"), QString("X\n"), QString("A\n\nB"), QString("A\n\n"), QString()}) {
            TEditorForm Form(nullptr, "Untitled 1");
            TapePane(&Form)->setPlainText(Text);
            ChosenPath = Path;
            Answer = QMessageBox::Yes;
            QVERIFY(Form.SaveAs());
            QCOMPARE(ReadAll(Path), (Text + "\n").toUtf8());
            QVERIFY(Form.LoadFromFile(Path));
            QCOMPARE(Form.Text(), Text);
        }
    }

    void aFolderThatCannotBeWrittenStillSavesTheFile()
    {
        // The folder is root's and closed to others; the tape is open to all.
        const QString Folder = Dir.filePath("closed");
        QVERIFY(QDir().mkpath(Folder));
        const QString Path = MakeFile("closed/tape.txt", "OLD\n");
        const auto Open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadOther | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(Dir.path(), Open) && QFile::setPermissions(Folder, Open));
        QVERIFY(QFile::setPermissions(Path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther));
        TEditorForm Form(nullptr, "Untitled 1");
        QVERIFY(Form.LoadFromFile(Path));
        TapePane(&Form)->setPlainText("NEW");
        bool Saved;
        {
            TAsNobody Nobody;
            if (!Nobody.Unavailable.isEmpty())
                QSKIP(qPrintable(Nobody.Unavailable));
            if (::faccessat(AT_FDCWD, QFile::encodeName(Folder).constData(), W_OK, AT_EACCESS) == 0)
                QSKIP("this user may write the folder after all");
            Saved = Form.Save();
        }
        QVERIFY2(Saved, Messages.isEmpty() ? "" : qPrintable(Messages.last().Text));
        QCOMPARE(ReadAll(Path), "NEW\n");
        QCOMPARE(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList{"tape.txt"});
    }

    void savedInTheEncodingItWasReadInInsertOneUndoStep()
    {
        // Not UTF-8: CR LF line ends, a pound sign and a no-break space that must survive.
        const QString Latin = MakeFile("latin.txt", "\xA3P\r\n\r\nQ\xA0\r\n");
        TEditorForm Form(nullptr, "");
        TapePane(&Form)->setPlainText("old");
        QCOMPARE(Form.NextTapeChar(), U'o');
        QVERIFY(Form.LoadFromFile(Latin));
        QVERIFY(!Form.IsModified());
        QCOMPARE(ReadToEnd(Form), QString::fromUtf8("\u00A3PQ\u00A0"));
        QVERIFY(Form.Save());
        QCOMPARE(ReadAll(Latin), "\xA3P\n\nQ\xA0\n");

        // An e acute stays one byte; a character Latin-1 has not is saved in UTF-8
        // only when the user agrees.
        const QString Acute = MakeFile("acute.txt", "T\xE9\n");
        QVERIFY(Form.LoadFromFile(Acute));
        TapePane(&Form)->appendPlainText("Z");
        QVERIFY(Form.Save());
        QCOMPARE(ReadAll(Acute), "T\xE9\nZ\n");
        TapePane(&Form)->appendPlainText(QString::fromUtf8("\u20AC"));
        QVERIFY(!Form.Save());
        QVERIFY(Messages.size() == 1 && Messages[0].Text.contains("Latin-1") && Form.IsModified());
        QCOMPARE(ReadAll(Acute), "T\xE9\nZ\n");
        Answer = QMessageBox::Yes;
        QVERIFY(Form.Save());
        QCOMPARE(ReadAll(Acute), "T\xC3\xA9\nZ\n\xE2\x82\xAC\n");
        QCOMPARE(Form.Encoding(), Files::TTextEncoding::Utf8);

        // UTF-16 with its mark, either order: its text, and saved as it came.
        const QByteArray Le("\xFF\xFET\0"
                            "6\0"
                            "4\0"
                            "K\0\r\0\n\0"
                            "Z\0"
                            "F\0\r\0\n\0",
                            22);
        const QByteArray Be("\xFE\xFF\0T\0"
                            "6\0"
                            "4\0K\0\r\0\n\0Z\0F\0\r\0\n",
                            22);
        const QByteArray LeSaved("\xFF\xFET\0"
                                 "6\0"
                                 "4\0"
                                 "K\0\n\0"
                                 "Z\0"
                                 "F\0\n\0"
                                 "P\0\n\0",
                                 22);
        const QByteArray BeSaved("\xFE\xFF\0T\0"
                                 "6\0"
                                 "4\0K\0\n\0Z\0F\0\n\0P\0\n",
                                 22);
        for (const auto& [Bytes, Saved] : {std::pair(Le, LeSaved), std::pair(Be, BeSaved)}) {
            const QString Wide = MakeFile("wide.txt", Bytes);
            QVERIFY(Form.LoadFromFile(Wide));
            QCOMPARE(Form.Text(), "T64K\nZF");
            QCOMPARE(ReadToEnd(Form), "T64KZF");
            TapePane(&Form)->appendPlainText("P");
            QVERIFY(Form.Save());
            QCOMPARE(ReadAll(Wide), Saved);
        }
        Messages.clear();

        TapePane(&Form)->setPlainText("AB");
        QTest::keyClicks(TapePane(&Form), "Z");
        QVERIFY(Form.InsertFile(MakeFile("part.txt", "X1\nX2\n")));
        QCOMPARE(Form.Text(), "ZX1\nX2\nAB");
        TapePane(&Form)->undo();
        QCOMPARE(Form.Text(), "ZAB");
    }

    // Another program's change is neither written over without a word nor left
    // unseen by a window with nothing to lose.
    void filesChangedByAnotherProgram()
    {
        const QString Path = MakeFile("shared.txt", "T64K\n");
        TEditorForm Form(nullptr, "Untitled 1");
        QVERIFY(Form.LoadFromFile(Path));
        const auto Changed = [&] { return Path + "\nHas been changed by another program"; };

        // Changed in place while the window is unmodified: offered, and loaded on Yes.
        MakeFile("shared.txt", "T64K\nZF\n");
        Answer = QMessageBox::Yes;
        QTRY_COMPARE_WITH_TIMEOUT(Messages.size(), 1, 20000);
        QVERIFY(Messages[0].Text.startsWith(Changed() + ". Would you like to load it again?"));
        QCOMPARE(Form.Text(), "T64K\nZF");
        QVERIFY(!Form.IsModified());

        // Replaced by a rename, as editors save: offered again, and the new file
        // is watched in its turn.
        Answer = QMessageBox::No;
        MakeFile("new.txt", "T64K\nPF\n");
        const QByteArray New = QFile::encodeName(Dir.filePath("new.txt"));
        QCOMPARE(::rename(New.constData(), QFile::encodeName(Path).constData()), 0);
        QTRY_COMPARE_WITH_TIMEOUT(Messages.size(), 2, 20000);
        MakeFile("shared.txt", "T64K\nQF\n");
        QTRY_COMPARE_WITH_TIMEOUT(Messages.size(), 3, 20000);
        QCOMPARE(Form.Text(), "T64K\nZF");

        // Declined, the change is not written over either unless the user agrees.
        TapePane(&Form)->appendPlainText("EZ");
        QVERIFY(!Form.Save());
        QCOMPARE(Messages.size(), 4);
        QVERIFY(Messages[3].Text.startsWith(Changed() + " since it was loaded or saved."));
        QCOMPARE(ReadAll(Path), "T64K\nQF\n");
        Answer = QMessageBox::Yes; // asked again, and agreed to
        QVERIFY(Form.Save());
        QCOMPARE(Messages.size(), 5);
        QCOMPARE(ReadAll(Path), "T64K\nZF\nEZ\n");

        // Its own saves, the same bytes under a new time or copied into a new
        // file, and a file that has gone ask nothing.
        QFile Touched(Path);
        QVERIFY(Touched.open(QIODevice::ReadWrite) &&
                Touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        Touched.close();
        TapePane(&Form)->appendPlainText("A");
        QVERIFY(Form.Save());
        const QByteArray Copy = ReadAll(Path);
        QVERIFY(QFile::remove(Path));
        MakeFile("shared.txt", Copy);
        TapePane(&Form)->appendPlainText("B");
        QVERIFY(Form.Save());
        QVERIFY(QFile::remove(Path));
        TapePane(&Form)->appendPlainText("C");
        QVERIFY(Form.Save());
        QCOMPARE(ReadAll(Path), "T64K\nZF\nEZ\nA\nB\nC\n");
        QTest::qWait(1000); // time for the watch to report anything it would
        QCOMPARE(Messages.size(), 5);
    }

    // A name typed without its extension is the name that is asked about and kept.
    void saveAsOntoTheNameWithItsExtension()
    {
        const QString Existing = MakeFile("prog.txt", "OLD\n");
        TEditorForm Form(nullptr, "Untitled 1");
        TapePane(&Form)->insertPlainText("NEW");
        ChosenPath = Dir.filePath("prog");
        Answer = QMessageBox::No;
        QVERIFY(!Form.SaveAs());
        QCOMPARE(Messages.size(), 1);
        QVERIFY(Messages[0].Text.startsWith(Existing + "\nAlready exists."));
        QCOMPARE(ReadAll(Existing), "OLD\n");
        QVERIFY(!QFile::exists(ChosenPath));
        QVERIFY(Form.FileName().isEmpty() && Form.IsModified());
    }

    void fileErrorsKeepTheTape()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        TapePane(&Form)->insertPlainText("KEEP");
        // Devices that never end, a pipe nobody writes and a file far too large
        // are refused before they are read.
        const QString Fifo = Dir.filePath("tape.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
        const QString Large = Dir.filePath("large.txt");
        {
            QFile F(Large);
            QVERIFY(F.open(QIODevice::WriteOnly) && F.resize(16 * 1024 * 1024 + 1));
        }
        for (const QString& Path : {Dir.filePath("missing.txt"), Dir.path(), QString("/proc/self/mem"),
                                    QString("/dev/zero"), QString("/dev/urandom"), Fifo, Large}) {
            Messages.clear();
            QVERIFY2(!Form.LoadFromFile(Path) && !Form.InsertFile(Path), qPrintable(Path));
            QVERIFY(Messages.size() == 2 && Messages[0].Text.contains(Path));
            QVERIFY(Form.Text() == "KEEP" && Form.windowTitle() == "Untitled 1" && Form.IsModified());
        }
        Answer = QMessageBox::Yes;
        for (const QString& Path : {Dir.path() + "/", Dir.filePath("no/such/folder.txt")}) {
            ChosenPath = Path;
            QVERIFY(!Form.Save());
            QVERIFY(Messages.last().Text.contains(Path));
            QVERIFY(Form.IsModified() && Form.FileName().isEmpty() && Form.windowTitle() == "Untitled 1");
        }

        // A write that fails part way (a full disk; here a file size limit) leaves the old file whole.
        const QString Old = MakeFile("old.txt", "OLD");
        QVERIFY(Form.LoadFromFile(Old));
        TapePane(&Form)->appendPlainText(QString(100000, 'P'));
        rlimit Saved{};
        getrlimit(RLIMIT_FSIZE, &Saved);
        const rlimit Small{1000, Saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed test
        setrlimit(RLIMIT_FSIZE, &Small);
        const bool Written = Form.Save();
        setrlimit(RLIMIT_FSIZE, &Saved);
        QVERIFY(!Written && Messages.last().Text.contains(Old) && Form.IsModified());
        QCOMPARE(ReadAll(Old), "OLD");
    }
};

QTEST_MAIN(TestEditorForm)
#include "test_editor_form.moc"

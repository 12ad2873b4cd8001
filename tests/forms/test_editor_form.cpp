#include <QDir>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/errors.h"
#include "forms/Dialogs.h"
#include "forms/editor_form.h"
#include "tests/files/as_nobody.h"

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
        Dialogs::SetMessageResponder([this](const Dialogs::TMessageRequest& R) { Messages << R; return Answer; });
        Dialogs::SetFileResponder([this](const Dialogs::TFileRequest& R) { FileRequests << R; return ChosenPath; });
    }

    void tapeReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delivered");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("only empty lines") << "\n\n\n" << "";
        QTest::newRow("trailing line break") << "AB\n" << "AB";
        QTest::newRow("empty line between") << "AB\n\nC" << "ABC";
        QTest::newRow("blanks and tabs kept") << " T\t0\n\n\nF \n" << " T\t0F ";
    }
    void tapeReading()
    {
        QFETCH(QString, text);
        QFETCH(QString, delivered);
        TEditorForm Form(nullptr, "Untitled 1");
        Form.Editor()->setPlainText(text);
        QCOMPARE(ReadToEnd(Form), delivered);
        QVERIFY_THROWS_EXCEPTION(EEndOfTape, Form.NextTapeChar()); // and again, until rewound
        Form.RewindTape();
        QCOMPARE(ReadToEnd(Form), delivered);

        // Editing in mid-read starts the tape again.
        Form.Editor()->setPlainText("\nAB\nCD");
        QCOMPARE(Form.NextTapeChar(), U'A');
        Form.Editor()->appendPlainText(text);
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

    void saveAsThenSave()
    {
        const QString Other = MakeFile("other.txt", "OLD");
        TEditorForm Form(nullptr, "Untitled 3");
        Form.Editor()->insertPlainText("T64K\nZF");
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
        Form.Editor()->appendPlainText("PF");
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
            Form.Editor()->setPlainText(Text);
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
        const auto Open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                          | QFileDevice::ReadOther | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(Dir.path(), Open) && QFile::setPermissions(Folder, Open));
        QVERIFY(QFile::setPermissions(Path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                                | QFileDevice::WriteOther));
        TEditorForm Form(nullptr, "Untitled 1");
        QVERIFY(Form.LoadFromFile(Path));
        Form.Editor()->setPlainText("NEW");
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

    void latin1ReadUtf8SavedInsertOneUndoStep()
    {
        // Not UTF-8: CR LF line ends, a pound sign and a no-break space that must survive.
        const QString Latin = MakeFile("latin.txt", "\xA3P\r\n\r\nQ\xA0\r\n");
        TEditorForm Form(nullptr, "");
        Form.Editor()->setPlainText("old");
        QCOMPARE(Form.NextTapeChar(), U'o');
        QVERIFY(Form.LoadFromFile(Latin));
        QVERIFY(!Form.IsModified());
        QCOMPARE(ReadToEnd(Form), QString::fromUtf8("\u00A3PQ\u00A0"));
        QVERIFY(Form.Save());
        QCOMPARE(ReadAll(Latin), "\xC2\xA3P\n\nQ\xC2\xA0\n");

        Form.Editor()->setPlainText("AB");
        QTest::keyClicks(Form.Editor(), "Z");
        QVERIFY(Form.InsertFile(MakeFile("part.txt", "X1\nX2\n")));
        QCOMPARE(Form.Text(), "ZX1\nX2\nAB");
        Form.Editor()->undo();
        QCOMPARE(Form.Text(), "ZAB");
    }

    void fileErrorsKeepTheTape()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        Form.Editor()->insertPlainText("KEEP");
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
        Form.Editor()->appendPlainText(QString(100000, 'P'));
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

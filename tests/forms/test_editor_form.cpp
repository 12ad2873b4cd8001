#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "core/errors.h"
#include "forms/Dialogs.h"
#include "forms/editor_form.h"

namespace {

QByteArray ReadAll(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& Path, const QByteArray& Bytes)
{
    QFile File(Path);
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

// Reads characters until the end of the tape.
QString ReadToEnd(TEditorForm& Form)
{
    QString Read;
    for (int I = 0; I < 1000; ++I) {
        try {
            Read += QString::fromStdU32String(std::u32string(1, Form.NextTapeChar()));
        } catch (const EEndOfTape&) {
            return Read;
        }
    }
    return Read + "<no end>";
}

} // namespace

class TestEditorForm : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QList<Dialogs::TMessageRequest> Messages;
    QList<Dialogs::TFileRequest> FileRequests;
    QString ChosenPath;
    QMessageBox::StandardButton Answer = QMessageBox::No;

    QString PathOf(const QString& Name) const { return Dir.filePath(Name); }

private slots:
    void init()
    {
        Messages.clear();
        FileRequests.clear();
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
        // Past the end, every read raises the end again until rewound.
        QVERIFY_THROWS_EXCEPTION(EEndOfTape, Form.NextTapeChar());
        Form.RewindTape();
        QCOMPARE(ReadToEnd(Form), delivered);
    }

    void editingMidReadRewinds()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        QSignalSpy Changed(&Form, &TEditorForm::TextChanged);
        Form.Editor()->setPlainText("\nAB\nCD");
        QCOMPARE(Form.NextTapeChar(), U'A');
        QCOMPARE(Form.NextTapeChar(), U'B');
        QCOMPARE(Form.NextTapeChar(), U'C');
        QCOMPARE(Form.TapeLine(), 2);

        QTextCursor Cursor(Form.Editor()->document());
        Cursor.movePosition(QTextCursor::End);
        Cursor.insertText("E");
        QCOMPARE(Form.TapeLine(), 0);
        QCOMPARE(ReadToEnd(Form), "ABCDE");
        QCOMPARE(Changed.count(), 2);
        QCOMPARE(Changed.last().at(0).value<TEditorForm*>(), &Form);
    }

    void captionFromFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("extension") << "/tmp/prog.txt" << "prog";
        QTest::newRow("two dots") << "/tmp/squares.old.txt" << "squares";
        QTest::newRow("leading dot") << "/tmp/.hidden.txt" << "";
        QTest::newRow("no extension") << "/tmp/tape" << "tape";
        QTest::newRow("dot in folder") << "/tmp/a.b/c" << "c";
    }
    void captionFromFileName()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        TEditorForm Form(nullptr, "Untitled 1");
        Form.SetFileName(path);
        QCOMPARE(Form.windowTitle(), caption);
        QCOMPARE(Form.FileName(), path);
    }

    void saveNewTapeThenSaveAgain()
    {
        TEditorForm Form(nullptr, "Untitled 3");
        Form.Editor()->insertPlainText("T64K\nZF");
        QVERIFY(Form.IsModified());
        ChosenPath = PathOf("prog"); // typed without extension
        QVERIFY(Form.Save());
        QCOMPARE(FileRequests.size(), 1);
        QCOMPARE(FileRequests[0].Title, "Save As");
        QCOMPARE(FileRequests[0].FileName, "Untitled 3.txt");
        QCOMPARE(Form.FileName(), PathOf("prog.txt"));
        QCOMPARE(Form.windowTitle(), "prog");
        QVERIFY(!Form.IsModified());
        QCOMPARE(ReadAll(PathOf("prog.txt")), "T64K\nZF");

        // With a file name, Save asks nothing, even though the file now exists.
        Form.Editor()->appendPlainText("PF");
        QVERIFY(Form.Save());
        QCOMPARE(FileRequests.size(), 1);
        QVERIFY(Messages.isEmpty());
        QVERIFY(!Form.IsModified());
        QCOMPARE(ReadAll(PathOf("prog.txt")), "T64K\nZF\nPF");

        // SaveAs of a named tape proposes its own path; Cancel changes nothing.
        Form.Editor()->appendPlainText("X");
        ChosenPath.clear();
        QVERIFY(!Form.SaveAs());
        QCOMPARE(FileRequests.last().FileName, PathOf("prog.txt"));
        QVERIFY(Form.IsModified());
    }

    void overwriteQuestion()
    {
        const QString Other = PathOf("other.txt");
        WriteAll(Other, "OLD");
        TEditorForm Form(nullptr, "Untitled 1");
        Form.Editor()->insertPlainText("NEW");
        ChosenPath = Other;

        Answer = QMessageBox::No;
        QVERIFY(!Form.SaveAs());
        QCOMPARE(Messages.size(), 1);
        QCOMPARE(Messages[0].Caption, "Confirm");
        QVERIFY(Messages[0].Text.startsWith(Other));
        QVERIFY(Messages[0].Text.endsWith("Already exists. Would you like to replace it?"));
        QCOMPARE(Messages[0].Buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(ReadAll(Other), "OLD");
        QCOMPARE(Form.windowTitle(), "Untitled 1");
        QVERIFY(Form.FileName().isEmpty());
        QVERIFY(Form.IsModified());

        Answer = QMessageBox::Yes;
        QVERIFY(Form.SaveAs());
        QCOMPARE(ReadAll(Other), "NEW");
        QCOMPARE(Form.windowTitle(), "other");
    }

    void loadDecodesAndSavesUtf8()
    {
        // Latin-1 (not valid UTF-8) with CR LF line ends, a pound sign and a no-break space.
        const QString Latin = PathOf("latin.old.txt");
        WriteAll(Latin, "\xA3P\r\n\r\nQ\xA0\r\n");
        TEditorForm Form(nullptr, "");
        QSignalSpy Changed(&Form, &TEditorForm::TextChanged);
        Form.Editor()->setPlainText("old text");
        QCOMPARE(Form.NextTapeChar(), U'o');
        QVERIFY(Form.LoadFromFile(Latin));
        QCOMPARE(Form.windowTitle(), "latin");
        QVERIFY(!Form.IsModified());
        QCOMPARE(Form.Text(), QString::fromUtf8("£P\n\nQ\u00A0\n"));
        QCOMPARE(Form.NextTapeChar(), U'\u00A3');
        QCOMPARE(ReadToEnd(Form), QString::fromUtf8("PQ\u00A0"));

        QVERIFY(Form.Save());
        QCOMPARE(ReadAll(Latin), "\xC2\xA3P\n\nQ\xC2\xA0\n");
        QVERIFY(Form.LoadFromFile(Latin)); // now UTF-8: the same text
        QCOMPARE(Form.Text(), QString::fromUtf8("£P\n\nQ\u00A0\n"));
    }

    void insertFileIsOneUndoStep()
    {
        const QString Part = PathOf("part.txt");
        WriteAll(Part, "X1\nX2\n");
        TEditorForm Form(nullptr, "Untitled 1");
        Form.Editor()->setPlainText("AB\nCD");
        QTest::keyClicks(Form.Editor(), "Z"); // typed at the start
        QTextCursor Cursor = Form.Editor()->textCursor();
        Cursor.setPosition(2); // after "ZA"
        Form.Editor()->setTextCursor(Cursor);
        QCOMPARE(Form.NextTapeChar(), U'Z');
        QVERIFY(Form.InsertFile(Part));
        QCOMPARE(Form.Text(), "ZAX1\nX2\nB\nCD");
        QCOMPARE(Form.NextTapeChar(), U'Z');
        QCOMPARE(ReadToEnd(Form), "AX1X2BCD");
        Form.Editor()->undo();
        QCOMPARE(Form.Text(), "ZAB\nCD");
        Form.Editor()->undo();
        QCOMPARE(Form.Text(), "AB\nCD");
    }

    void fileErrors()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        Form.Editor()->insertPlainText("KEEP");
        const QStringList Unreadable{PathOf("missing.txt"), Dir.path(), "/proc/self/mem"};
        for (const QString& Path : Unreadable) {
            Messages.clear();
            QVERIFY2(!Form.LoadFromFile(Path), qPrintable(Path));
            QVERIFY(!Form.InsertFile(Path));
            QCOMPARE(Messages.size(), 2);
            QCOMPARE(Messages[0].Caption, "Error");
            QVERIFY(Messages[0].Text.contains(Path));
            QCOMPARE(Form.Text(), "KEEP");
            QCOMPARE(Form.windowTitle(), "Untitled 1");
            QVERIFY(Form.IsModified());
        }

        // Saving where no file can be: the flag and the name stay.
        for (const QString& Path : {Dir.path() + "/", PathOf("no/such/folder.txt")}) {
            Messages.clear();
            ChosenPath = Path;
            Answer = QMessageBox::Yes;
            QVERIFY(!Form.Save());
            QCOMPARE(Messages.last().Caption, "Error");
            QVERIFY(Messages.last().Text.contains(Path));
            QVERIFY(Form.IsModified());
            QVERIFY(Form.FileName().isEmpty());
            QCOMPARE(Form.windowTitle(), "Untitled 1");
        }

        // A full disk (a file size limit here) keeps the old file whole.
        const QString Old = PathOf("old.txt");
        WriteAll(Old, "OLD");
        QVERIFY(Form.LoadFromFile(Old));
        Form.Editor()->appendPlainText(QString(100000, 'P'));
        rlimit Saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &Saved), 0);
        rlimit Small = Saved;
        Small.rlim_cur = 1000;
        const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &Small), 0);
        Messages.clear();
        const bool Saved1 = Form.Save();
        setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, OldHandler);
        QVERIFY(!Saved1);
        QCOMPARE(Messages.size(), 1);
        QVERIFY(Messages[0].Text.contains(Old));
        QCOMPARE(ReadAll(Old), "OLD");
        QVERIFY(Form.IsModified());

        if (geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QFile::setPermissions(Dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool Saved2 = Form.Save();
        QFile::setPermissions(Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!Saved2);
        QCOMPARE(ReadAll(Old), "OLD");
    }

    void windowEvents()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        QSignalSpy Keys(&Form, &TEditorForm::KeyReleased);
        QSignalSpy Mouse(&Form, &TEditorForm::MouseReleased);
        QSignalSpy Activated(&Form, &TEditorForm::Activated);
        QSignalSpy Closed(&Form, &TEditorForm::Closed);
        Form.show();

        QTest::keyClick(Form.Editor(), Qt::Key_Tab);
        QCOMPARE(Form.Text(), "\t");
        QCOMPARE(Keys.count(), 1);
        QTest::mouseClick(Form.Editor()->viewport(), Qt::LeftButton);
        QCOMPARE(Mouse.count(), 1);
        QEvent Activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&Form, &Activate);
        QCOMPARE(Activated.count(), 1);

        bool MayClose = false;
        Form.SetCloseQuery([&] { return MayClose; });
        QVERIFY(!Form.close());
        QVERIFY(Form.isVisible());
        QCOMPARE(Closed.count(), 0);
        MayClose = true;
        QVERIFY(Form.close());
        QCOMPARE(Closed.count(), 1);
    }
};

QTEST_MAIN(TestEditorForm)
#include "test_editor_form.moc"

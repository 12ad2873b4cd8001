#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

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
    if (File.open(QIODevice::WriteOnly))
        File.write(Bytes);
}

// Every character up to the end of the tape.
QString ReadToEnd(TEditorForm& Form)
{
    std::u32string Read;
    try {
        while (Read.size() < 1000)
            Read += Form.NextTapeChar();
    } catch (const EEndOfTape&) {
        return QString::fromStdU32String(Read);
    }
    return "<no end>";
}

} // namespace

class TestEditorForm : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QList<Dialogs::TMessageRequest> Messages;
    QList<Dialogs::TFileRequest> FileRequests;
    QString ChosenPath;
    QMessageBox::StandardButton Answer = QMessageBox::No;

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
        Form.Editor()->appendPlainText("E");
        QCOMPARE(Form.TapeLine(), 0);
        QCOMPARE(ReadToEnd(Form), "ABCDE");
        QCOMPARE(Changed.count(), 2);
    }

    void captionFromFileName()
    {
        const QList<QPair<QString, QString>> Cases{{"/tmp/squares.old.txt", "squares"},
                                                    {"/tmp/.hidden.txt", ""},
                                                    {"/tmp/a.b/tape", "tape"}};
        TEditorForm Form(nullptr, "Untitled 1");
        for (const auto& [Path, Caption] : Cases) {
            Form.SetFileName(Path);
            QCOMPARE(Form.windowTitle(), Caption);
            QCOMPARE(Form.FileName(), Path);
        }
    }

    void saveNewTapeThenSaveAgain()
    {
        TEditorForm Form(nullptr, "Untitled 3");
        Form.Editor()->insertPlainText("T64K\nZF");
        ChosenPath = Dir.filePath("prog"); // typed without extension
        QVERIFY(Form.Save());
        QCOMPARE(FileRequests.size(), 1);
        QCOMPARE(FileRequests[0].FileName, "Untitled 3.txt");
        QCOMPARE(Form.FileName(), Dir.filePath("prog.txt"));
        QCOMPARE(Form.windowTitle(), "prog");
        QVERIFY(!Form.IsModified());

        Form.Editor()->appendPlainText("PF");
        QVERIFY(Form.Save()); // asks nothing, though the file now exists
        QCOMPARE(FileRequests.size(), 1);
        QVERIFY(Messages.isEmpty());
        QVERIFY(!Form.IsModified());
        QCOMPARE(ReadAll(Dir.filePath("prog.txt")), "T64K\nZF\nPF");
    }

    void overwriteQuestion()
    {
        const QString Other = Dir.filePath("other.txt");
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
        QCOMPARE(ReadAll(Other), "OLD");
        QCOMPARE(Form.windowTitle(), "Untitled 1");
        QVERIFY(Form.IsModified());
        Answer = QMessageBox::Yes;
        QVERIFY(Form.SaveAs());
        QCOMPARE(ReadAll(Other), "NEW");
    }

    void loadLatin1SavesUtf8()
    {
        // Not UTF-8: CR LF line ends, a pound sign and a no-break space that must survive.
        const QString Latin = Dir.filePath("latin.txt");
        WriteAll(Latin, "\xA3P\r\n\r\nQ\xA0\r\n");
        TEditorForm Form(nullptr, "");
        Form.Editor()->setPlainText("old");
        QCOMPARE(Form.NextTapeChar(), U'o');
        QVERIFY(Form.LoadFromFile(Latin));
        QVERIFY(!Form.IsModified());
        QCOMPARE(ReadToEnd(Form), QString::fromUtf8("\u00A3PQ\u00A0"));
        QVERIFY(Form.Save());
        QCOMPARE(ReadAll(Latin), "\xC2\xA3P\n\nQ\xC2\xA0\n");
    }

    void insertFileIsOneUndoStep()
    {
        WriteAll(Dir.filePath("part.txt"), "X1\nX2\n");
        TEditorForm Form(nullptr, "Untitled 1");
        Form.Editor()->setPlainText("AB");
        QTest::keyClicks(Form.Editor(), "Z");
        QVERIFY(Form.InsertFile(Dir.filePath("part.txt")));
        QCOMPARE(Form.Text(), "ZX1\nX2\nAB");
        Form.Editor()->undo();
        QCOMPARE(Form.Text(), "ZAB");
    }

    void fileErrors()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        Form.Editor()->insertPlainText("KEEP");
        for (const QString& Path : {Dir.filePath("missing.txt"), Dir.path(), QString("/proc/self/mem")}) {
            Messages.clear();
            QVERIFY2(!Form.LoadFromFile(Path) && !Form.InsertFile(Path), qPrintable(Path));
            QCOMPARE(Messages.size(), 2);
            QCOMPARE(Messages[0].Caption, "Error");
            QVERIFY(Messages[0].Text.contains(Path));
            QCOMPARE(Form.Text(), "KEEP");
            QCOMPARE(Form.windowTitle(), "Untitled 1");
        }
        Answer = QMessageBox::Yes;
        for (const QString& Path : {Dir.path() + "/", Dir.filePath("no/such/folder.txt")}) {
            ChosenPath = Path;
            QVERIFY(!Form.Save());
            QCOMPARE(Messages.last().Caption, "Error");
            QVERIFY(Messages.last().Text.contains(Path));
            QVERIFY(Form.IsModified() && Form.FileName().isEmpty());
        }

        // A full disk (here a file size limit) must leave the old file whole.
        const QString Old = Dir.filePath("old.txt");
        WriteAll(Old, "OLD");
        QVERIFY(Form.LoadFromFile(Old));
        Form.Editor()->appendPlainText(QString(100000, 'P'));
        rlimit Limit{};
        getrlimit(RLIMIT_FSIZE, &Limit);
        const rlimit Saved = Limit;
        Limit.rlim_cur = 1000;
        const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &Limit);
        const bool Written = Form.Save();
        setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, OldHandler);
        QVERIFY(!Written);
        QVERIFY(Messages.last().Text.contains(Old));
        QCOMPARE(ReadAll(Old), "OLD");
        QVERIFY(Form.IsModified());
    }

    void windowEvents()
    {
        TEditorForm Form(nullptr, "Untitled 1");
        QSignalSpy Keys(&Form, &TEditorForm::KeyReleased);
        QSignalSpy Mouse(&Form, &TEditorForm::MouseReleased);
        QSignalSpy Closed(&Form, &TEditorForm::Closed);
        Form.show();
        QTest::keyClick(Form.Editor(), Qt::Key_Tab);
        QCOMPARE(Form.Text(), "\t");
        QTest::mouseClick(Form.Editor()->viewport(), Qt::LeftButton);
        QCOMPARE(Keys.count() + Mouse.count(), 2);

        bool MayClose = false;
        Form.SetCloseQuery([&] { return MayClose; });
        QVERIFY(!Form.close());
        QVERIFY(Form.isVisible() && Closed.isEmpty());
        MayClose = true;
        QVERIFY(Form.close());
        QCOMPARE(Closed.count(), 1);
    }
};

QTEST_MAIN(TestEditorForm)
#include "test_editor_form.moc"

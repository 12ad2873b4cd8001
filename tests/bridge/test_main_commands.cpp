// The main window's command table as the program builds it: each command reaches
// what it names, the buttons are their menu items, and the boxes tell the bridge.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

#include "components/CRTDisplay.h"
#include "tests/bridge/std_world.h"

namespace {

QByteArray ReadAll(const QString& Path)
{
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestMainCommands : public QObject {
    Q_OBJECT
private slots:
    void messagesWordForWord_data()
    {
        QTest::addColumn<QString>("Item");
        QTest::addColumn<QString>("Message");
        QTest::newRow("sound") << "miTeleprinterSound"
                               << "Not supported|Sound is not currently supported in this version of Valvane";
        QTest::newRow("tutorial") << "TutorialGuide1"
                                  << "Tutorial|The tutorial guide can be found by opening the \"Lessonary\" file that "
                                     "was supplied with Valvane";
        QTest::newRow("documentation") << "Documentation1"
                                       << "Documentation|Program documentation can be found by opening the "
                                          "\"Referary\" file that was supplied with Valvane";
    }
    void messagesWordForWord()
    {
        QFETCH(QString, Item);
        QFETCH(QString, Message);
        TWorld W;
        QList<QMessageBox::Icon> Styles;
        Dialogs::SetMessageResponder([&](const Dialogs::TMessageRequest& R) {
            W.Messages << R.Caption + QLatin1Char('|') + R.Text;
            Styles << R.Style;
            return QMessageBox::Ok;
        });
        QAction* Action = W.OnMain(qPrintable(Item));
        Action->trigger();
        QCOMPARE(W.Messages, QStringList{Message});
        QCOMPARE(Styles, QList<QMessageBox::Icon>{QMessageBox::Information});
        // The sound item explains but leaves its mark to the box, which stays clear.
        QVERIFY(!Action->isChecked() && !W.OnMain<QCheckBox>("cbSound")->isChecked());
    }

    // The file commands carry out what was chosen; Cancel does nothing at all.
    void fileCommandsDoWhatWasChosen()
    {
        TWorld W;
        const QString Tape = W.Dir.filePath(QStringLiteral("hi.txt"));
        QFile F(Tape);
        QVERIFY(F.open(QIODevice::WriteOnly) && F.write("T64K\n") == 5);
        F.close();
        for (const char* Item : {"miOpen", "miInsert", "miSaveOutputAs", "miPunchOutputAs"})
            W.OnMain(Item)->trigger();
        QVERIFY(!W.Bridge->CurrentTape());
        QCOMPARE(W.FileRequests.size(), 1); // the others want a tape or output first

        W.Files = {Tape, Tape};
        W.OnMain<QToolButton>("tbOpen")->click();
        TEditorForm* Opened = W.Bridge->CurrentTape();
        QVERIFY(Opened && Opened->FileName() == Tape);
        W.OnMain("miInsert")->trigger();
        QCOMPARE(Opened->Text(), QStringLiteral("T64K\nT64K"));

        // Output: the line feed needs no program, and the files are written.
        W.OnMain<QToolButton>("tbFeed")->click();
        W.Bridge->TeleprinterPrint('A');
        W.Bridge->PunchChar('B');
        QVERIFY(W.OnMain("miSaveOutputAs")->isEnabled());
        W.Files = {W.Dir.filePath(QStringLiteral("out.txt")), W.Dir.filePath(QStringLiteral("punch"))};
        W.OnMain("miSaveOutputAs")->trigger();
        W.OnMain("miPunchOutputAs")->trigger();
        QCOMPARE(ReadAll(W.Dir.filePath(QStringLiteral("out.txt"))), QByteArray("A\n"));
        QCOMPARE(ReadAll(W.Dir.filePath(QStringLiteral("punch.txt"))), QByteArray("B\n"));
        QCOMPARE(W.Messages, QStringList());
    }

    // A tool button is its menu item: one action, one handler, one Enabled state.
    void toolButtonsAreTheirMenuItems()
    {
        TWorld W;
        const std::pair<const char*, const char*> Twins[] = {{"tbNew", "miNew"},
                                                             {"tbOpen", "miOpen"},
                                                             {"tbSave", "miSave"},
                                                             {"tbPrint", "miPrint"},
                                                             {"tbPrintPrev", "miPrintPreview"},
                                                             {"tbUndo", "miUndo"},
                                                             {"tbRedo", "miRedo"},
                                                             {"tbCut", "miCut"},
                                                             {"tbCopy", "miCopy"},
                                                             {"tbPaste", "miPaste"},
                                                             {"tbEdsacClear", "miDiscardEdsacOutput"},
                                                             {"tbZeroizeClock", "miZeroizeClock"}};
        for (const auto& [Button, Item] : Twins) {
            QToolButton* B = W.OnMain<QToolButton>(Button);
            QCOMPARE(B->defaultAction(), W.OnMain(Item));
            QVERIFY2(!B->toolTip().isEmpty(), Button);
        }
        QCOMPARE(W.OnMain<QToolButton>("tbNew")->toolTip(), QStringLiteral("New Tape"));
        // Line Feed is the tool bar's alone.
        QAction* Feed = W.OnMain<QToolButton>("tbFeed")->defaultAction();
        for (const QMenu* Menu : W.Main()->findChildren<QMenu*>())
            QVERIFY(!Menu->actions().contains(Feed));
    }

    // The boxes of the tool bar reach the bridge as their items do.
    void boxesTellTheBridge()
    {
        TWorld W([](TEdSimSettings& S) { S.RealTime = true; });
        QVERIFY(W.OnMain<QCheckBox>("cbRealTime")->isChecked() && W.OnMain("miRealTime")->isChecked());
        auto* Acc = W.OnPanel<TCRTDisplay>("crtACC");
        W.OnMain<QCheckBox>("cbHints")->click();
        QCOMPARE(Acc->cursor().shape(), Qt::UpArrowCursor);
        W.OnMain("miHints")->trigger();
        QCOMPARE(Acc->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestMainCommands)
#include "test_main_commands.moc"

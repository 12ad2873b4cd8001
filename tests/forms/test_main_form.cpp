#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <memory>
#include <vector>

#include "forms/Dialogs.h"
#include "forms/main_form.h"

namespace {

// Watches every signal the main window declares, to prove that a path emits
// exactly what it should and nothing else.
class TSignalLog {
public:
    explicit TSignalLog(TMainForm& Form)
    {
        const QMetaObject& Meta = TMainForm::staticMetaObject;
        for (int I = Meta.methodOffset(); I < Meta.methodCount(); ++I) {
            const QMetaMethod Method = Meta.method(I);
            if (Method.methodType() == QMetaMethod::Signal)
                Spies.push_back({QString::fromLatin1(Method.name()), std::make_unique<QSignalSpy>(&Form, Method)});
        }
    }
    // Names of the signals emitted so far, one per emission.
    QStringList Emitted() const
    {
        QStringList Names;
        for (const auto& [Name, Spy] : Spies)
            for (qsizetype I = 0; I < Spy->count(); ++I)
                Names << Name;
        return Names;
    }
    QList<QVariant> Arguments(const QString& Name) const
    {
        for (const auto& [SpyName, Spy] : Spies)
            if (SpyName == Name && !Spy->isEmpty())
                return Spy->last();
        return {};
    }
    void Clear()
    {
        for (auto& Entry : Spies)
            Entry.second->clear();
    }

private:
    std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> Spies;
};

// What the menu shows, in order: captions, "-" for a visible separator.
QStringList Shown(const QMenu* Menu)
{
    QStringList Items;
    for (const QAction* Item : Menu->actions())
        if (Item->isVisible())
            Items << (Item->isSeparator() ? QStringLiteral("-") : Item->text());
    return Items;
}

QAction* Named(const QString& Name)
{
    auto* Entry = new QAction;
    Entry->setObjectName(Name);
    return Entry;
}

} // namespace

class TestMainForm : public QObject {
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
        ChosenPath.clear();
        Answer = QMessageBox::No;
        Dialogs::SetMessageResponder([this](const Dialogs::TMessageRequest& R) { Messages << R; return Answer; });
        Dialogs::SetFileResponder([this](const Dialogs::TFileRequest& R) { FileRequests << R; return ChosenPath; });
    }

    void cleanup()
    {
        Dialogs::SetMessageResponder({});
        Dialogs::SetFileResponder({});
    }

    void stripAtTopOfScreen()
    {
        TMainForm F;
        QVERIFY(F.isHidden());
        QCOMPARE(F.windowTitle(), QStringLiteral("The Valvane: Version 1.0.2"));
        QCOMPARE(F.pos(), QPoint(0, 0));
        QCOMPARE(F.width(), QGuiApplication::primaryScreen()->geometry().width() - 10);
        QCOMPARE(F.height(), 87);
        // Wider or narrower, never taller or shorter.
        F.resize(400, 300);
        QCOMPARE(F.size(), QSize(400, 87));
        F.resize(F.width(), 20);
        QCOMPARE(F.height(), 87);
        QVERIFY(F.HintText().isEmpty());
        F.SetHintText(QStringLiteral("WORD 38   Order = <A 5 S>"));
        QCOMPARE(F.HintText(), QStringLiteral("WORD 38   Order = <A 5 S>"));
    }

    void designTimeStates()
    {
        // What InitGui and UpdateMenus start from: the radio mark and the combo box
        // disagree until the setting is applied.
        TMainForm F;
        for (QObject* Off : std::initializer_list<QObject*>{F.miFind, F.miFindAgain, F.miReplace, F.tbUndo,
                                                            F.tbRedo, F.cbSound})
            QVERIFY2(!Off->property("enabled").toBool(), qPrintable(Off->objectName()));
        QVERIFY(F.miInitialOrders1->isChecked() && !F.miInitialOrders2->isChecked());
        QCOMPARE(F.cbInitialOrders->currentText(), QStringLiteral("Initial Orders 2"));
        QVERIFY(!F.cbRealTime->isChecked() && !F.miRealTime->isChecked());
        QVERIFY(!F.cbHints->isChecked() && !F.miHints->isChecked());
        QCOMPARE(Shown(F.mnuWindow), QStringList({"Edsac"}));
        // Tool buttons are widgets of their own, so the bridge can set them apart.
        F.miSave->setEnabled(false);
        QVERIFY(F.tbSave->isEnabled());
    }

    void recentFilesNumberedByPlace()
    {
        TMainForm F;
        TSignalLog Log(F);
        F.SetRecentFiles({"", "", "", ""});
        QCOMPARE(Shown(F.mnuFile).mid(14), QStringList({"-", "E&xit"}));

        F.SetRecentFiles({"/t/a.txt", "", "/t/R&D.txt", ""});
        QCOMPARE(Shown(F.mnuFile).mid(14), QStringList({"-", "1: /t/a.txt", "3: /t/R&&D.txt", "-", "E&xit"}));
        QCOMPARE(F.miMRU[2]->objectName(), QStringLiteral("miMRU3"));

        // The entry opens the path it holds, not its caption.
        F.miMRU[2]->trigger();
        QCOMPARE(Log.Emitted(), QStringList({"OpenTape"}));
        QCOMPARE(Log.Arguments("OpenTape").value(0).toString(), QStringLiteral("/t/R&D.txt"));

        // Emptied again, only the separator before Exit is left.
        F.SetRecentFiles({"", "", "", "/t/d.txt"});
        QCOMPARE(Shown(F.mnuFile).mid(14), QStringList({"-", "4: /t/d.txt", "-", "E&xit"}));
        F.SetRecentFiles({});
        QCOMPARE(Shown(F.mnuFile).mid(14), QStringList({"-", "E&xit"}));
    }

    void initialOrdersFollowEachOther()
    {
        TMainForm F;
        TSignalLog Log(F);
        QSignalSpy Select(&F, &TMainForm::SelectInitialOrders);

        // The combo box moves the radio mark, both ways.
        QTest::keyClick(F.cbInitialOrders, Qt::Key_Up);
        QVERIFY(F.miInitialOrders1->isChecked());
        QTest::keyClick(F.cbInitialOrders, Qt::Key_Down);
        QVERIFY(F.miInitialOrders2->isChecked() && !F.miInitialOrders1->isChecked());
        QCOMPARE(Select.size(), 2);
        QCOMPARE(Select[0].value(0).toBool(), false);
        QCOMPARE(Select[1].value(0).toBool(), true);
        Select.clear();

        // The menu moves the combo box.
        F.miInitialOrders1->trigger();
        QCOMPARE(F.cbInitialOrders->currentIndex(), 0);
        QVERIFY(!F.miInitialOrders2->isChecked());
        QCOMPARE(Select.takeFirst().value(0).toBool(), false);

        // Re-choosing the item the box already shows still brings the menu into line.
        F.cbInitialOrders->setCurrentIndex(1);
        emit F.cbInitialOrders->activated(1);
        QVERIFY(F.miInitialOrders2->isChecked());
        QCOMPARE(Select.takeFirst().value(0).toBool(), true);
        F.SetInitialOrders(1);

        // Only 1 and 2 name a set.
        Log.Clear();
        for (int Bad : {0, 3, -1})
            F.SetInitialOrders(Bad);
        QVERIFY(Log.Emitted().isEmpty());
        QCOMPARE(F.cbInitialOrders->currentIndex(), 0);
        QVERIFY(F.miInitialOrders1->isChecked());
    }

    void realTimeFollowsWithoutTellingTheBridge()
    {
        TMainForm F;
        TSignalLog Log(F);
        F.miRealTime->trigger();
        QVERIFY(F.miRealTime->isChecked() && F.cbRealTime->isChecked());
        F.cbRealTime->click();
        QVERIFY(!F.cbRealTime->isChecked() && !F.miRealTime->isChecked());
        F.cbRealTime->click();
        QVERIFY(F.miRealTime->isChecked());
        F.miRealTime->trigger();
        QVERIFY(!F.cbRealTime->isChecked());
        QVERIFY(Log.Emitted().isEmpty());
    }

    void hintsFollowAndTellTheBridgeOnce()
    {
        TMainForm F;
        QSignalSpy Hints(&F, &TMainForm::SetHints);
        F.miHints->trigger();
        QVERIFY(F.cbHints->isChecked());
        QCOMPARE(Hints.count(), 1);
        QCOMPARE(Hints.takeFirst().value(0).toBool(), true);
        F.cbHints->click();
        QVERIFY(!F.miHints->isChecked());
        QCOMPARE(Hints.count(), 1);
        QCOMPARE(Hints.takeFirst().value(0).toBool(), false);
        F.miHints->trigger();
        F.miHints->trigger();
        QVERIFY(!F.cbHints->isChecked());
        QCOMPARE(Hints.count(), 2);
        QCOMPARE(Hints.at(1).value(0).toBool(), false);
    }

    void messagesWordForWord()
    {
        TMainForm F;
        TSignalLog Log(F);
        F.miTeleprinterSound->trigger();
        F.TutorialGuide1->trigger();
        F.Documentation1->trigger();
        const QList<std::pair<QString, QString>> Expected{
            {"Not supported", "Sound is not currently supported in this version of Valvane"},
            {"Tutorial", "The tutorial guide can be found by opening the \"Lessonary\" file that was supplied with Valvane"},
            {"Documentation",
             "Program documentation can be found by opening the \"Referary\" file that was supplied with Valvane"}};
        QCOMPARE(Messages.size(), Expected.size());
        for (qsizetype I = 0; I < Expected.size(); ++I) {
            QCOMPARE(Messages[I].Caption, Expected[I].first);
            QCOMPARE(Messages[I].Text, Expected[I].second);
            QCOMPARE(Messages[I].Style, QMessageBox::Information);
            QCOMPARE(Messages[I].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        // The sound item explains but keeps the check box's mark.
        QVERIFY(!F.miTeleprinterSound->isChecked());
        F.cbSound->setEnabled(true);
        F.cbSound->click();
        QVERIFY(F.miTeleprinterSound->isChecked());
        F.miTeleprinterSound->trigger();
        QVERIFY(F.miTeleprinterSound->isChecked());
        QVERIFY(Log.Emitted().isEmpty());
    }

    void windowMenuEntries()
    {
        TMainForm F;
        QSignalSpy Tape(&F, &TMainForm::ShowTapeWindow);
        QSignalSpy Edsac(&F, &TMainForm::ShowEdsacWindow);
        auto First = std::make_unique<QWidget>();
        First->setObjectName("ed1");
        First->setWindowTitle("Untitled 1");
        auto Second = std::make_unique<QWidget>();
        Second->setObjectName("ed12");
        Second->setWindowTitle("R&D");
        F.AddWindowMenuItem(First.get());
        F.AddWindowMenuItem(Second.get());
        F.AddWindowMenuItem(First.get());
        QList<QAction*> Entries = F.WindowMenuEntries();
        QCOMPARE(Entries.size(), 3);
        QCOMPARE(Entries[0], F.mnuWinEdsac);
        QCOMPARE(Entries[1]->objectName(), QStringLiteral("mnuWined1"));
        QCOMPARE(Entries[2]->objectName(), QStringLiteral("mnuWined12"));
        QCOMPARE(Shown(F.mnuWindow), QStringList({"Edsac", "Untitled 1", "R&&D"}));

        // Save As gives the window a new title; the entry follows.
        First->setWindowTitle("squares");
        F.UpdateWindowMenuItem(First.get());
        QCOMPARE(Entries[1]->text(), QStringLiteral("squares"));

        Entries[2]->trigger();
        F.WindowMenuClick(Entries[1]);
        F.mnuWinEdsac->trigger();
        QCOMPARE(Edsac.count(), 1);
        QCOMPARE(Tape.count(), 2);
        QCOMPARE(Tape[0].value(0).toInt(), 12);
        QCOMPARE(Tape[1].value(0).toInt(), 1);

        // Names that hold no window number do nothing.
        for (const char* Name : {"mnuWined", "mnuWinedx", "mnuWined-1", "mnuWined 3", "mnuWined99999999999",
                                 "mnuWinxx7", ""}) {
            std::unique_ptr<QAction> Entry(Named(QString::fromLatin1(Name)));
            F.WindowMenuClick(Entry.get());
        }
        F.WindowMenuClick(nullptr);
        QCOMPARE(Tape.count(), 2);
        QCOMPARE(Edsac.count(), 1);

        // Removing leaves the earlier list readable until the event loop runs, so
        // a walk over the entries may close windows as it goes.
        F.RemoveWindowMenuItem(First.get());
        QCOMPARE(Shown(F.mnuWindow), QStringList({"Edsac", "R&&D"}));
        QCOMPARE(Entries[1]->objectName(), QStringLiteral("mnuWined1"));
        QPointer<QAction> Removed(Entries[1]);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Removed.isNull());

        // A window destroyed without being removed takes its entry with it.
        Second.reset();
        QCOMPARE(F.WindowMenuEntries(), QList<QAction*>({F.mnuWinEdsac}));
    }

    void commandsReachTheBridge()
    {
        TMainForm F;
        TSignalLog Log(F);
        // Line Feed needs no program running; the last five have nothing to do.
        const QList<std::pair<QObject*, QString>> Commands{
            {F.tbFeed, "LineFeed"},         {F.miDiscardEdsacOutput, "DiscardOutput"},
            {F.miDiscardOutput, "DiscardOutput"}, {F.tbEdsacClear, "DiscardOutput"},
            {F.miSelectAll, "SelectAll"},   {F.tbZeroizeClock, "ZeroiseClock"},
            {F.miPrintPreview, ""},         {F.tbPrintPrev, ""},
            {F.miUndo, ""},                 {F.miRedo, ""},
            {F.miLineNumbers, ""}};
        for (const auto& [Control, Signal] : Commands) {
            Log.Clear();
            if (auto* Item = qobject_cast<QAction*>(Control))
                Item->trigger();
            else
                qobject_cast<QToolButton*>(Control)->click();
            QCOMPARE(Log.Emitted(), Signal.isEmpty() ? QStringList() : QStringList({Signal}));
        }
        // Disabled at design time, and never wired: enabling them still does nothing.
        Log.Clear();
        for (QAction* Item : {F.miFind, F.miFindAgain, F.miReplace}) {
            Item->setEnabled(true);
            Item->trigger();
        }
        for (QToolButton* Button : {F.tbUndo, F.tbRedo}) {
            Button->setEnabled(true);
            Button->click();
        }
        QVERIFY(Log.Emitted().isEmpty());
        QVERIFY(Messages.isEmpty() && FileRequests.isEmpty());
    }

    void fileDialogs()
    {
        TMainForm F;
        TSignalLog Log(F);

        // Cancel everywhere: nothing at all reaches the bridge.
        F.miOpen->trigger();
        F.tbOpen->click();
        F.miInsert->trigger();
        F.miSaveOutputAs->trigger();
        F.miPunchOutputAs->trigger();
        QCOMPARE(FileRequests.size(), 5);
        QVERIFY(Log.Emitted().isEmpty());

        const QList<std::tuple<Dialogs::TFileMode, QString, QString, QString>> Asked{
            {Dialogs::TFileMode::Open, "Open", QCoreApplication::applicationDirPath(), "*.txt"},
            {Dialogs::TFileMode::Open, "Open", QCoreApplication::applicationDirPath(), "*.txt"},
            {Dialogs::TFileMode::Open, "Insert", "", "*.txt"},
            {Dialogs::TFileMode::Save, "Save As", "EdOutput.txt", "Text Files (*.txt)"},
            {Dialogs::TFileMode::Save, "Save As", "EdPunch.txt", "Text Files (*.txt)"}};
        for (qsizetype I = 0; I < Asked.size(); ++I) {
            const auto& R = FileRequests[I];
            QCOMPARE(std::tuple(R.Mode, R.Title, R.FileName, R.Filter), Asked[I]);
        }

        // Open remembers the last file chosen; a cancelled dialog does not forget it.
        FileRequests.clear();
        ChosenPath = Dir.filePath("squares.txt");
        F.miOpen->trigger();
        QCOMPARE(Log.Emitted(), QStringList({"OpenTape"}));
        QCOMPARE(Log.Arguments("OpenTape").value(0).toString(), ChosenPath);
        ChosenPath.clear();
        F.tbOpen->click();
        F.miOpen->trigger();
        QCOMPARE(FileRequests[1].FileName, Dir.filePath("squares.txt"));
        QCOMPARE(FileRequests[2].FileName, Dir.filePath("squares.txt"));

        Log.Clear();
        ChosenPath = Dir.filePath("sub.txt");
        F.miInsert->trigger();
        QCOMPARE(Log.Emitted(), QStringList({"InsertTape"}));
        QCOMPARE(Log.Arguments("InsertTape").value(0).toString(), ChosenPath);

        // Output files: the extension is added to a bare name, and a file that the
        // completed name would replace is asked about first.
        Log.Clear();
        ChosenPath = Dir.filePath("run.out");
        F.miSaveOutputAs->trigger();
        QCOMPARE(Log.Arguments("SaveOutput").value(0).toString(), Dir.filePath("run.out"));
        ChosenPath = Dir.filePath("tape");
        F.miPunchOutputAs->trigger();
        QCOMPARE(Log.Arguments("PunchOutput").value(0).toString(), Dir.filePath("tape.txt"));
        QVERIFY(Messages.isEmpty());
        QFile Existing(Dir.filePath("tape.txt"));
        QVERIFY(Existing.open(QIODevice::WriteOnly));
        Existing.close();
        Log.Clear();
        Answer = QMessageBox::No;
        F.miPunchOutputAs->trigger();
        QVERIFY(Log.Emitted().isEmpty());
        QCOMPARE(Messages.size(), 1);
        QCOMPARE(Messages[0].Caption, QStringLiteral("Confirm"));
        QVERIFY(Messages[0].Text.startsWith(Dir.filePath("tape.txt") + "\n"));
        Answer = QMessageBox::Yes;
        F.miSaveOutputAs->trigger();
        QCOMPARE(Log.Emitted(), QStringList({"SaveOutput"}));
        QCOMPARE(Log.Arguments("SaveOutput").value(0).toString(), Dir.filePath("tape.txt"));
    }

    void closeQueryCanRefuse()
    {
        TMainForm F;
        int Asked = 0;
        bool Allow = false;
        F.CloseQuery = [&] { ++Asked; return Allow; };
        F.show();
        F.miExit->trigger();
        QVERIFY(F.isVisible());
        QVERIFY(!F.close());
        QVERIFY(F.isVisible());
        QCOMPARE(Asked, 2);
        Allow = true;
        F.miExit->trigger();
        QVERIFY(!F.isVisible());
        QCOMPARE(Asked, 3);

        // Without a query the window simply closes.
        TMainForm Plain;
        Plain.show();
        QVERIFY(Plain.close());
    }
};

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMetaMethod>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
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
        for (int I = Meta.methodOffset(); I < Meta.methodCount(); ++I)
            if (Meta.method(I).methodType() == QMetaMethod::Signal)
                Spies.push_back(std::make_unique<QSignalSpy>(&Form, Meta.method(I)));
    }
    // The emissions since the last call, as "Name FirstArgument", signal by signal.
    QStringList Take()
    {
        QStringList Emitted;
        for (auto& Spy : Spies) {
            const QString Name = QString::fromLatin1(Spy->signal().left(Spy->signal().indexOf('(')));
            for (const QList<QVariant>& Arguments : std::as_const(*Spy))
                Emitted << (Name + ' ' + Arguments.value(0).toString()).trimmed();
            Spy->clear();
        }
        return Emitted;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> Spies;
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
        QCOMPARE(F.pos(), QPoint(0, 0));
        QCOMPARE(F.size(), QSize(QGuiApplication::primaryScreen()->geometry().width() - 10, 87));
        // Wider or narrower, never taller or shorter.
        for (int Height : {300, 20}) {
            F.resize(400, Height);
            QCOMPARE(F.size(), QSize(400, 87));
        }
    }

    void recentFilesNumberedByPlace()
    {
        TMainForm F;
        TSignalLog Log(F);
        F.SetRecentFiles({"/t/a.txt", "", "/t/R&D.txt", ""});
        QCOMPARE(Shown(F.mnuFile).mid(14), QStringList({"-", "1: /t/a.txt", "3: /t/R&&D.txt", "-", "E&xit"}));
        // The entry opens the path it holds, not its caption.
        F.miMRU[2]->trigger();
        QCOMPARE(Log.Take(), QStringList({"OpenTape /t/R&D.txt"}));
        // Emptied, only the separator before Exit is left.
        F.SetRecentFiles({"", "", "", ""});
        QCOMPARE(Shown(F.mnuFile).mid(14), QStringList({"-", "E&xit"}));
    }

    void initialOrdersFollowEachOther()
    {
        TMainForm F;
        TSignalLog Log(F);
        // The combo box's set, the marked item's set, and what the bridge heard.
        const auto State = [&] {
            const int Marked = F.miInitialOrders1->isChecked() ? 1 : F.miInitialOrders2->isChecked() ? 2 : 0;
            const int Boxed = F.cbInitialOrders->currentIndex() + 1;
            return QStringLiteral("%1 %2 %3").arg(Boxed).arg(Marked).arg(Log.Take().join(','));
        };
        // The combo box moves the radio mark, both ways, and the menu moves the box.
        QTest::keyClick(F.cbInitialOrders, Qt::Key_Up);
        QCOMPARE(State(), "1 1 SelectInitialOrders false");
        QTest::keyClick(F.cbInitialOrders, Qt::Key_Down);
        QCOMPARE(State(), "2 2 SelectInitialOrders true");
        F.miInitialOrders1->trigger();
        QCOMPARE(State(), "1 1 SelectInitialOrders false");
        // Re-choosing the item the box already shows still brings the menu into line.
        F.cbInitialOrders->setCurrentIndex(1);
        emit F.cbInitialOrders->activated(1);
        QCOMPARE(State(), "2 2 SelectInitialOrders true");
        // Only the two entries of the box name a set.
        for (int Bad : {2, -1})
            emit F.cbInitialOrders->activated(Bad);
        QCOMPARE(State(), "2 2 ");
    }

    void realTimeFollowsWithoutTellingTheBridge()
    {
        TMainForm F;
        TSignalLog Log(F);
        F.miRealTime->trigger();
        QVERIFY(F.cbRealTime->isChecked());
        F.cbRealTime->click();
        QVERIFY(!F.miRealTime->isChecked());
        F.cbRealTime->click();
        QVERIFY(F.miRealTime->isChecked());
        QVERIFY(Log.Take().isEmpty());
    }

    void hintsFollowAndTellTheBridgeOnce()
    {
        TMainForm F;
        TSignalLog Log(F);
        F.miHints->trigger();
        QVERIFY(F.cbHints->isChecked());
        QCOMPARE(Log.Take(), QStringList({"SetHints true"}));
        F.cbHints->click();
        QVERIFY(!F.miHints->isChecked());
        QCOMPARE(Log.Take(), QStringList({"SetHints false"}));
    }

    void messagesWordForWord_data()
    {
        QTest::addColumn<QString>("Item");
        QTest::addColumn<QString>("Caption");
        QTest::addColumn<QString>("Text");
        QTest::newRow("sound") << "miTeleprinterSound" << "Not supported"
                               << "Sound is not currently supported in this version of Valvane";
        QTest::newRow("tutorial")
            << "TutorialGuide1" << "Tutorial"
            << "The tutorial guide can be found by opening the \"Lessonary\" file that was supplied with Valvane";
        QTest::newRow("documentation")
            << "Documentation1" << "Documentation"
            << "Program documentation can be found by opening the \"Referary\" file that was supplied with Valvane";
    }

    void messagesWordForWord()
    {
        QFETCH(QString, Item);
        QFETCH(QString, Caption);
        QFETCH(QString, Text);
        TMainForm F;
        TSignalLog Log(F);
        auto* Action = F.findChild<QAction*>(Item);
        QVERIFY(Action);
        Action->trigger();
        QCOMPARE(Messages.size(), 1);
        QCOMPARE(Messages[0].Caption, Caption);
        QCOMPARE(Messages[0].Text, Text);
        QCOMPARE(Messages[0].Style, QMessageBox::Information);
        // The sound item explains but leaves its mark to the check box.
        QVERIFY(!Action->isChecked());
        QVERIFY(Log.Take().isEmpty());
    }

    void windowMenuEntries()
    {
        TMainForm F;
        TSignalLog Log(F);
        auto First = std::make_unique<QWidget>();
        First->setObjectName("ed1");
        First->setWindowTitle("Untitled 1");
        auto Second = std::make_unique<QWidget>();
        Second->setObjectName("ed12");
        Second->setWindowTitle("R&D");
        F.AddWindowMenuItem(First.get());
        F.AddWindowMenuItem(Second.get());
        F.AddWindowMenuItem(First.get());
        QCOMPARE(Shown(F.mnuWindow), QStringList({"Edsac", "Untitled 1", "R&&D"}));
        // Save As gives the window a new title; the entry follows.
        First->setWindowTitle("squares");
        QCOMPARE(Shown(F.mnuWindow), QStringList({"Edsac", "squares", "R&&D"}));

        const QList<QAction*> Entries = F.WindowMenuEntries();
        Entries[2]->trigger();
        Entries[1]->trigger();
        QCOMPARE(Log.Take(), QStringList({"ShowTapeWindow 12", "ShowTapeWindow 1"}));
        F.mnuWinEdsac->trigger();
        QCOMPARE(Log.Take(), QStringList({"ShowEdsacWindow"}));
        // Names that hold no window number do nothing.
        for (const char* Name : {"mnuWined", "mnuWinedx", "mnuWined-1", "mnuWined 3", "mnuWined99999999999",
                                 "mnuWinxx7", ""}) {
            QAction Entry;
            Entry.setObjectName(QString::fromLatin1(Name));
            F.WindowMenuClick(&Entry);
        }
        F.WindowMenuClick(nullptr);
        QVERIFY(Log.Take().isEmpty());

        // Removing leaves the earlier list readable until the event loop runs, so
        // a walk over the entries may close windows as it goes.
        F.RemoveWindowMenuItem(First.get());
        QCOMPARE(Shown(F.mnuWindow), QStringList({"Edsac", "R&&D"}));
        QPointer<QAction> Removed(Entries[1]);
        QCOMPARE(Removed->objectName(), QStringLiteral("mnuWined1"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Removed.isNull());
        // A window destroyed without being removed takes its entry with it.
        Second.reset();
        QCOMPARE(F.WindowMenuEntries(), QList<QAction*>({F.mnuWinEdsac}));
    }

    void lineFeedNeedsNoProgram()
    {
        TMainForm F;
        TSignalLog Log(F);
        F.tbFeed->click();
        QCOMPARE(Log.Take(), QStringList({"LineFeed"}));
        QVERIFY(Messages.isEmpty() && FileRequests.isEmpty());
    }

    // A tool button and its menu item are one command: the button does what the
    // item does, once, follows the item's Enabled state and keeps its own hint.
    void toolButtonsAreTheirMenuItems()
    {
        TMainForm F;
        TSignalLog Log(F);
        QVERIFY(!F.tbUndo->isEnabled() && !F.miUndo->isEnabled() && !F.tbRedo->isEnabled());
        const std::pair<QToolButton*, QAction*> Twins[] = {
            {F.tbNew, F.miNew},         {F.tbOpen, F.miOpen},   {F.tbSave, F.miSave},
            {F.tbPrint, F.miPrint},     {F.tbPrintPrev, F.miPrintPreview},
            {F.tbUndo, F.miUndo},       {F.tbRedo, F.miRedo},   {F.tbCut, F.miCut},
            {F.tbCopy, F.miCopy},       {F.tbPaste, F.miPaste}, {F.tbEdsacClear, F.miDiscardEdsacOutput},
            {F.tbZeroizeClock, F.miZeroizeClock}};
        for (const auto& [Button, Item] : Twins) {
            const QString Name = Button->objectName();
            const QString Hint = Button->toolTip();
            Item->setEnabled(true);
            Item->trigger();
            const QStringList ByItem = Log.Take();
            Button->click();
            QCOMPARE(Log.Take(), ByItem);
            QVERIFY2(ByItem.size() <= 1, qPrintable(Name));
            Item->setEnabled(false);
            QVERIFY2(!Button->isEnabled(), qPrintable(Name));
            Button->click();
            QVERIFY(Log.Take().isEmpty());
            Item->setEnabled(true);
            QVERIFY2(Button->isEnabled() && Button->toolTip() == Hint && !Hint.isEmpty(), qPrintable(Name));
        }
        QCOMPARE(F.tbNew->toolTip(), QStringLiteral("New Tape"));
        QVERIFY(F.mnuFile->actions().contains(F.tbSave->defaultAction()));
        QCOMPARE(FileRequests.size(), 2);
    }

    void fileDialogs()
    {
        TMainForm F;
        TSignalLog Log(F);
        // Cancel everywhere: nothing at all reaches the bridge.
        for (QAction* Item : {F.miOpen, F.miInsert, F.miSaveOutputAs, F.miPunchOutputAs})
            Item->trigger();
        F.tbOpen->click();
        QCOMPARE(FileRequests.size(), 5);
        QVERIFY(Log.Take().isEmpty());

        ChosenPath = Dir.filePath("squares.txt");
        F.tbOpen->click();
        QCOMPARE(Log.Take(), QStringList({"OpenTape " + ChosenPath}));
        ChosenPath = Dir.filePath("sub.txt");
        F.miInsert->trigger();
        QCOMPARE(Log.Take(), QStringList({"InsertTape " + ChosenPath}));

        // Output files: the extension is added to a bare name, and a file that the
        // completed name would replace is asked about first.
        ChosenPath = Dir.filePath("run.out");
        F.miSaveOutputAs->trigger();
        QCOMPARE(Log.Take(), QStringList({"SaveOutput " + ChosenPath}));
        ChosenPath = Dir.filePath("tape");
        F.miPunchOutputAs->trigger();
        QCOMPARE(Log.Take(), QStringList({"PunchOutput " + Dir.filePath("tape.txt")}));
        QVERIFY(Messages.isEmpty());
        QFile Existing(Dir.filePath("tape.txt"));
        QVERIFY(Existing.open(QIODevice::WriteOnly));
        Existing.close();
        F.miPunchOutputAs->trigger();
        QVERIFY(Log.Take().isEmpty());
        QCOMPARE(Messages.size(), 1);
        QVERIFY(Messages[0].Text.startsWith(Dir.filePath("tape.txt") + "\n"));
        Answer = QMessageBox::Yes;
        F.miSaveOutputAs->trigger();
        QCOMPARE(Log.Take(), QStringList({"SaveOutput " + Dir.filePath("tape.txt")}));

        // A name chosen as it is: the program's own box is the one question, and
        // the save dialog is told not to ask too.
        Messages.clear();
        Answer = QMessageBox::No;
        ChosenPath = Dir.filePath("tape.txt");
        F.miSaveOutputAs->trigger();
        QVERIFY(Log.Take().isEmpty());
        QCOMPARE(Messages.size(), 1);
        QCOMPARE(Messages[0].Caption, QStringLiteral("Confirm"));
        for (const Dialogs::TFileRequest& Request : FileRequests)
            QCOMPARE(Request.Options.testFlag(QFileDialog::DontConfirmOverwrite),
                     Request.Mode == Dialogs::TFileMode::Save);
    }

    void closeQueryCanRefuse()
    {
        TMainForm F;
        int Asked = 0;
        bool Allow = false;
        F.CloseQuery = [&] { ++Asked; return Allow; };
        F.show();
        F.miExit->trigger();
        QVERIFY(!F.close());
        QVERIFY(F.isVisible());
        QCOMPARE(Asked, 2);
        Allow = true;
        F.miExit->trigger();
        QVERIFY(!F.isVisible());
    }
};

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"

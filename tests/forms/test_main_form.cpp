// The main window built from a command table of the test's own: menus, tool bar,
// twins of items and buttons, check boxes, the Initial Orders set, the recent
// files, the Window menu, enabling rules and the questions the commands ask.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "kit/Dialogs.h"
#include "forms/main_form.h"
#include "tests/named.h"

namespace {

using K = TCommandKind;
using ToolbarIcons::TToolIcon;

// What the menu shows, in order: captions, "-" for a visible separator.
QStringList Shown(const QMenu* Menu)
{
    QStringList Items;
    for (const QAction* Item : Menu->actions())
        if (Item->isVisible())
            Items << (Item->isSeparator() ? QStringLiteral("-") : Item->text());
    return Items;
}

// A main window and a table whose handlers write what they were asked to do.
struct TWindow {
    QStringList Done;
    std::unique_ptr<TMainForm> Form;

    TWindow()
    {
        const auto Log = [this](const char* What) { return [this, What] { Done << QString::fromLatin1(What); }; };
        const auto LogOn = [this](const char* What) {
            return [this, What](bool On) { Done << QStringLiteral("%1 %2").arg(QLatin1String(What)).arg(On); };
        };
        TCommandTable Table;
        Table.Commands = {
            {.Kind = K::Menu, .Name = "mnuFile", .Caption = "&File"},
            {.Name = "miNew",
             .Caption = "&New",
             .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_N),
             .Everywhere = true,
             .Button = "tbNew",
             .Icon = TToolIcon::New,
             .Hint = "New Tape",
             .Run = Log("New")},
            {.Kind = K::Separator},
            {.Name = "miSave",
             .Caption = "Save",
             .Button = "tbSave",
             .Icon = TToolIcon::Save,
             .Hint = "Save Tape",
             .Run = Log("Save"),
             .When = &TCommandState::TapeModified},
            {.Name = "miFind", .Caption = "Find...", .When = &TCommandState::Unavailable},
            {.Kind = K::RecentFiles},
            {.Name = "miExit", .Caption = "E&xit", .Run = [this] { Form->close(); }},
            {.Kind = K::Menu, .Name = "mnuEdsac", .Caption = "E&dsac"},
            {.Kind = K::InitialOrders,
             .Name = "miInitialOrders1",
             .Caption = InitialOrdersCaption(ioOrders1),
             .Run = [this] { Form->SetInitialOrders(ioOrders1); }},
            {.Kind = K::InitialOrders,
             .Name = "miInitialOrders2",
             .Caption = InitialOrdersCaption(ioOrders2),
             .Run = [this] { Form->SetInitialOrders(ioOrders2); }},
            {.Kind = K::Check,
             .Name = "miSound",
             .Caption = "Sound",
             .Button = "cbSound",
             .Hint = "Sound",
             .BoxCaption = "Sound",
             .BoxFixed = true,
             .Run = Log("Sound"),
             .Toggled = LogOn("Sound")},
            {.Kind = K::Check,
             .Name = "miHints",
             .Caption = "Hints",
             .Button = "cbHints",
             .Hint = "Edsac Hints",
             .BoxCaption = "Hints",
             .Toggled = LogOn("Hints")},
            {.Kind = K::Menu, .Name = "mnuWindow", .Caption = "&Window"},
            {.Name = "mnuWinEdsac", .Caption = "Edsac", .Run = Log("Edsac")},
            {.Kind = K::TapeWindows},
            {.Kind = K::ToolButton,
             .Caption = "Line Feed",
             .Button = "tbFeed",
             .Icon = TToolIcon::LineFeed,
             .Hint = "Line Feed",
             .Run = Log("LineFeed")},
        };
        Table.ToolBar = {"tbNew", "tbSave", "|", "cbInitialOrders", "tbFeed", "cbSound", "cbHints"};
        Form = std::make_unique<TMainForm>(Table);
    }
    template <class T = QAction>
    T* Find(const char* Name) const
    {
        return Named<T>(Form.get(), QString::fromLatin1(Name));
    }
    QStringList Take() { return std::exchange(Done, {}); }
};

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
        Dialogs::SetMessageResponder([this](const Dialogs::TMessageRequest& R) {
            Messages << R;
            return Answer;
        });
        Dialogs::SetFileResponder([this](const Dialogs::TFileRequest& R) {
            FileRequests << R;
            return ChosenPath;
        });
    }

    void cleanup()
    {
        Dialogs::SetMessageResponder({});
        Dialogs::SetFileResponder({});
    }

    // The rows become menus and items in order, separators and shortcuts included;
    // a row's shortcut reaches other windows only when it says so.
    void menusFollowTheTable()
    {
        TWindow W;
        QStringList Menus;
        for (const QAction* Top : W.Form->menuBar()->actions())
            Menus << Top->text();
        QCOMPARE(Menus, QStringList({"&File", "E&dsac", "&Window"}));
        QCOMPARE(Shown(W.Find<QMenu>("mnuFile")), QStringList({"&New", "-", "Save", "Find...", "-", "E&xit"}));
        QCOMPARE(W.Find("miNew")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(W.Find("miNew")->shortcutContext(), Qt::ApplicationShortcut);
        QCOMPARE(W.Find("miSave")->shortcutContext(), Qt::WindowShortcut);
        W.Find("miNew")->trigger();
        QCOMPARE(W.Take(), QStringList({"New"}));
    }

    // A strip that can be widened but not heightened, with room for all it holds.
    void stripHoldsItsControlsWhole()
    {
        TWindow W;
        W.Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(W.Form.get()));
        const int Height = W.Form->height();
        for (int Tall : {300, 20}) {
            W.Form->resize(600, Tall);
            QCOMPARE(W.Form->size(), QSize(600, Height));
        }
        QList<QWidget*> Shown =
            W.Find<QToolBar>("ToolBar1")->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        Shown << W.Form->menuBar() << W.Find<QWidget>("StatusPanel");
        for (const QWidget* Control : Shown)
            if (Control->isVisible())
                QVERIFY2(W.Form->rect().contains(QRect(Control->mapTo(W.Form.get(), QPoint()), Control->size())),
                         qPrintable(Control->objectName()));
    }

    void recentFilesNumberedByPlace()
    {
        TWindow W;
        QSignalSpy Open(W.Form.get(), &TMainForm::OpenTape);
        auto* File = W.Find<QMenu>("mnuFile");
        W.Form->SetRecentFiles({"/t/a.txt", "", "/t/R&D.txt", ""});
        QCOMPARE(Shown(File).mid(4), QStringList({"-", "1: /t/a.txt", "3: /t/R&&D.txt", "-", "E&xit"}));
        // The entry opens the path it holds, not its caption.
        W.Find("miMRU3")->trigger();
        QCOMPARE(Open, (QList<QList<QVariant>>{{"/t/R&D.txt"}}));
        // Emptied, only the separator before Exit is left.
        W.Form->SetRecentFiles({"", "", "", ""});
        QCOMPARE(Shown(File).mid(4), QStringList({"-", "E&xit"}));
    }

    void initialOrdersFollowEachOther()
    {
        TWindow W;
        QSignalSpy Told(W.Form.get(), &TMainForm::SelectInitialOrders);
        auto* Box = W.Find<QComboBox>("cbInitialOrders");
        // The combo box's set, the marked item's set, and what the bridge heard.
        const auto State = [&] {
            const int Marked = W.Find("miInitialOrders1")->isChecked()   ? 1
                               : W.Find("miInitialOrders2")->isChecked() ? 2
                                                                         : 0;
            QStringList Heard;
            for (const QList<QVariant>& Call : std::as_const(Told))
                Heard << Call.value(0).toString();
            Told.clear();
            return QStringLiteral("%1 %2 %3").arg(Box->currentIndex() + 1).arg(Marked).arg(Heard.join(','));
        };
        // The combo box moves the radio mark, both ways, and the menu moves the box.
        QTest::keyClick(Box, Qt::Key_Up);
        QCOMPARE(State(), "1 1 false");
        QCOMPARE(W.Form->InitialOrders(), ioOrders1);
        QTest::keyClick(Box, Qt::Key_Down);
        QCOMPARE(State(), "2 2 true");
        W.Find("miInitialOrders1")->trigger();
        QCOMPARE(State(), "1 1 false");
        // Re-choosing the item the box already shows still brings the menu into line.
        Box->setCurrentIndex(1);
        emit Box->activated(1);
        QCOMPARE(State(), "2 2 true");
        // Only the two entries of the box name a set.
        for (int Bad : {2, -1})
            emit Box->activated(Bad);
        QCOMPARE(State(), "2 2 ");
    }

    // A check item and its box agree whichever is changed, and the change is told
    // once; a fixed box keeps the item's mark as it is and only the item runs.
    void checkItemsAndTheirBoxes()
    {
        TWindow W;
        auto* Box = W.Find<QCheckBox>("cbHints");
        W.Find("miHints")->trigger();
        QVERIFY(Box->isChecked());
        QCOMPARE(W.Take(), QStringList({"Hints 1"}));
        Box->click();
        QVERIFY(!W.Find("miHints")->isChecked());
        QCOMPARE(W.Take(), QStringList({"Hints 0"}));
        Box->setChecked(true);
        W.Form->SetCommandChecked("miHints", true);
        QCOMPARE(W.Take(), QStringList({"Hints 1"}));

        auto* Sound = W.Find<QCheckBox>("cbSound");
        QVERIFY(!Sound->isEnabled());
        W.Find("miSound")->trigger();
        QVERIFY(!W.Find("miSound")->isChecked() && !Sound->isChecked());
        QVERIFY(W.Take().contains("Sound"));
    }

    void windowMenuEntries()
    {
        TWindow W;
        QSignalSpy Shows(W.Form.get(), &TMainForm::ShowTapeWindow);
        auto* Menu = W.Find<QMenu>("mnuWindow");
        auto First = std::make_unique<QWidget>();
        First->setObjectName("ed1");
        First->setWindowTitle("Untitled 1");
        auto Second = std::make_unique<QWidget>();
        Second->setObjectName("ed12");
        Second->setWindowTitle("R&D");
        W.Form->AddWindowMenuItem(First.get());
        W.Form->AddWindowMenuItem(Second.get());
        W.Form->AddWindowMenuItem(First.get());
        QCOMPARE(Shown(Menu), QStringList({"Edsac", "Untitled 1", "R&&D"}));
        // Save As gives the window a new title; the entry follows.
        First->setWindowTitle("squares");
        QCOMPARE(Shown(Menu), QStringList({"Edsac", "squares", "R&&D"}));

        const QList<QAction*> Entries = W.Form->WindowMenuEntries();
        Entries[2]->trigger();
        Entries[1]->trigger();
        QCOMPARE(Shows, (QList<QList<QVariant>>{{12}, {1}}));
        W.Form->WindowMenuClick(Entries[0]);
        QCOMPARE(W.Take(), QStringList({"Edsac"}));
        // Names that hold no window number do nothing.
        Shows.clear();
        for (const char* Name :
             {"mnuWined", "mnuWinedx", "mnuWined-1", "mnuWined 3", "mnuWined99999999999", "mnuWinxx7", ""}) {
            QAction Entry;
            Entry.setObjectName(QString::fromLatin1(Name));
            W.Form->WindowMenuClick(&Entry);
        }
        W.Form->WindowMenuClick(nullptr);
        QVERIFY(Shows.isEmpty() && W.Take().isEmpty());

        // Removing leaves the earlier list readable until the event loop runs, so
        // a walk over the entries may close windows as it goes.
        W.Form->RemoveWindowMenuItem(First.get());
        QCOMPARE(Shown(Menu), QStringList({"Edsac", "R&&D"}));
        QPointer<QAction> Removed(Entries[1]);
        QCOMPARE(Removed->objectName(), QStringLiteral("mnuWined1"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Removed.isNull());
        // A window destroyed without being removed takes its entry with it.
        Second.reset();
        QCOMPARE(W.Form->WindowMenuEntries(), QList<QAction*>({Entries[0]}));
    }

    // A tool button and its menu item are one command: the button does what the
    // item does, once, follows the item's Enabled state and keeps its own hint;
    // a button with no item works alone. Each rule enables as its flag says.
    void toolButtonsAndEnablingRules()
    {
        TWindow W;
        auto* Save = W.Find<QToolButton>("tbSave");
        QVERIFY(!Save->isEnabled() && !W.Find("miFind")->isEnabled());
        QCOMPARE(Save->defaultAction(), W.Find("miSave"));
        TCommandState State;
        State.TapeModified = true;
        W.Form->ApplyCommandStates(State);
        QVERIFY(Save->isEnabled() && W.Find("miSave")->isEnabled() && !W.Find("miFind")->isEnabled());
        Save->click();
        W.Find("miSave")->trigger();
        W.Find<QToolButton>("tbFeed")->click();
        QCOMPARE(W.Take(), QStringList({"Save", "Save", "LineFeed"}));
        W.Form->ApplyCommandStates(TCommandState());
        Save->click();
        QVERIFY(W.Take().isEmpty());
        QCOMPARE(Save->toolTip(), QStringLiteral("Save Tape"));
        QCOMPARE(W.Find("miNew")->statusTip(), QStringLiteral("New Tape"));
    }

    void fileQuestions()
    {
        TWindow W;
        TMainForm& F = *W.Form;
        // Cancel everywhere: nothing chosen.
        QVERIFY(F.ChooseTapeToOpen().isEmpty() && F.ChooseTapeToInsert().isEmpty());
        QVERIFY(F.ChooseOutputFile("EdOutput.txt").isEmpty());
        QCOMPARE(FileRequests.size(), 3);

        // Open and Insert each start from their own last choice.
        ChosenPath = Dir.filePath("squares.txt");
        QCOMPARE(F.ChooseTapeToOpen(), ChosenPath);
        ChosenPath = Dir.filePath("sub.txt");
        QCOMPARE(F.ChooseTapeToInsert(), ChosenPath);
        ChosenPath.clear();
        F.ChooseTapeToOpen();
        QCOMPARE(FileRequests.last().FileName, Dir.filePath("squares.txt"));

        // Output files: the extension is added to a bare name, and a file that the
        // completed name would replace is asked about first.
        ChosenPath = Dir.filePath("run.out");
        QCOMPARE(F.ChooseOutputFile("EdOutput.txt"), ChosenPath);
        QCOMPARE(FileRequests.last().FileName, QStringLiteral("EdOutput.txt"));
        ChosenPath = Dir.filePath("tape");
        QCOMPARE(F.ChooseOutputFile("EdPunch.txt"), Dir.filePath("tape.txt"));
        QVERIFY(Messages.isEmpty());
        QFile Existing(Dir.filePath("tape.txt"));
        QVERIFY(Existing.open(QIODevice::WriteOnly));
        Existing.close();
        QVERIFY(F.ChooseOutputFile("EdPunch.txt").isEmpty());
        QCOMPARE(Messages.size(), 1);
        QVERIFY(Messages[0].Text.startsWith(Dir.filePath("tape.txt") + "\n"));
        Answer = QMessageBox::Yes;
        QCOMPARE(F.ChooseOutputFile("EdOutput.txt"), Dir.filePath("tape.txt"));

        // A name chosen as it is: the program's own box is the one question, and
        // the save dialog is told not to ask too.
        Messages.clear();
        Answer = QMessageBox::No;
        ChosenPath = Dir.filePath("tape.txt");
        QVERIFY(F.ChooseOutputFile("EdOutput.txt").isEmpty());
        QCOMPARE(Messages.size(), 1);
        QCOMPARE(Messages[0].Caption, QStringLiteral("Confirm"));
        for (const Dialogs::TFileRequest& Request : FileRequests)
            QCOMPARE(Request.Options.testFlag(QFileDialog::DontConfirmOverwrite),
                     Request.Mode == Dialogs::TFileMode::Save);
    }

    void closeQueryCanRefuse()
    {
        TWindow W;
        int Asked = 0;
        bool Allow = false;
        W.Form->CloseQuery = [&] {
            ++Asked;
            return Allow;
        };
        W.Form->show();
        W.Find("miExit")->trigger();
        QVERIFY(!W.Form->close());
        QVERIFY(W.Form->isVisible());
        QCOMPARE(Asked, 2);
        Allow = true;
        W.Find("miExit")->trigger();
        QVERIFY(!W.Form->isVisible());
    }
};

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"

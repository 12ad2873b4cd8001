// The program without a mouse, through its real windows: the main window's menus and
// the panel's commands from every window, the dial from the digit keys, the panel's
// buttons in the tab order, and what assistive technology is told about the panel.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>
#include <array>

#include "components/CRTDisplay.h"
#include "core/ControlUnit.h"
#include "core/EdsacCore.h"
#include "core/History.h"
#include "tests/bridge/std_world.h"

namespace {

QWidget* Debugger()
{
    for (QWidget* Window : QApplication::topLevelWidgets())
        if (Window->objectName() == QStringLiteral("DebuggerForm"))
            return Window;
    return nullptr;
}

bool Activate(QWidget* Window)
{
    Window->show();
    Window->activateWindow();
    return QTest::qWaitForWindowActive(Window);
}

QString Accessible(QObject* Object, QAccessible::Text Kind)
{
    QAccessibleInterface* Face = QAccessible::queryAccessibleInterface(Object);
    return Face ? Face->text(Kind) : QStringLiteral("<none>");
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    // Alt and a menu's letter opens that menu of the main window from a tape window,
    // the machine window and the debugger window, and never reaches the tape.
    void menuKeysFromEveryWindow()
    {
        TWorld W;
        W.Main()->show();
        TEditorForm* Tape = W.Tape(QStringLiteral("T64K"));
        W.Bridge->ShowDebugger();
        QWidget* Windows[] = {Tape, W.Panel(), Debugger()};
        const std::pair<Qt::Key, const char*> Menus[] = {{Qt::Key_F, "mnuFile"},
                                                         {Qt::Key_E, "mnuEdit"},
                                                         {Qt::Key_D, "mnuEdsac"},
                                                         {Qt::Key_W, "mnuWindow"},
                                                         {Qt::Key_H, "mnuHelp"}};
        for (QWidget* Window : Windows) {
            QVERIFY(Window && Activate(Window));
            for (const auto& [Key, Menu] : Menus) {
                QTest::keyClick(QApplication::focusWidget(), Key, Qt::AltModifier);
                QWidget* Open = QApplication::activePopupWidget();
                QVERIFY2(Open && Open == W.OnMain<QMenu>(Menu), Menu);
                // The first item stands ready for Enter, as with the key in the main window.
                QVERIFY(static_cast<QMenu*>(Open)->activeAction());
                Open->close();
            }
        }
        QCOMPARE(Tape->Text(), QStringLiteral("T64K"));
        QVERIFY(Tape->IsModified());
    }

    // The panel's commands answer their keys from a tape window and the debugger
    // window, and the tips of the buttons say the keys.
    void panelKeysFromEveryWindow()
    {
        TWorld W;
        W.Main()->show();
        W.Panel()->show();
        TEditorForm* Tape = W.Tape(QStringLiteral("T64K"));
        W.Bridge->ShowDebugger();
        for (QWidget* Window : {static_cast<QWidget*>(Tape), Debugger()}) {
            QVERIFY(Activate(Window));
            QWidget* Focus = QApplication::focusWidget();
            QTest::keyClick(Focus, Qt::Key_F6); // Start
            QVERIFY(W.Timer()->isActive());
            QTest::keyClick(Focus, Qt::Key_F7); // Stop
            QVERIFY(!W.Timer()->isActive());
            const std::uint32_t Before = W.Core->Control().GetElapsedTime();
            QTest::keyClick(Focus, Qt::Key_F4); // Single E.P
            QVERIFY(W.Core->Control().GetElapsedTime() > Before);
            QVERIFY(!W.Timer()->isActive());
            QTest::keyClick(Focus, Qt::Key_F8); // Reset
            QVERIFY(W.Timer()->isActive());
            QTest::keyClick(Focus, Qt::Key_F7);
            QTest::keyClick(Focus, Qt::Key_F2); // Clear
            QCOMPARE(W.Core->Registers().SCR, 0);
            const qsizetype Lines = W.Bridge->TeleprinterLines().size();
            QTest::keyClick(Focus, Qt::Key_F12); // Line Feed
            QCOMPARE(W.Bridge->TeleprinterLines().size(), Lines + 1);
        }
        QCOMPARE(Tape->Text(), QStringLiteral("T64K"));
        QCOMPARE(W.Messages, QStringList());
        QCOMPARE(W.OnPanel("btnStart")->toolTip(), QStringLiteral("Start (F6)"));
        QCOMPARE(W.OnPanel("btnSingleEP")->toolTip(), QStringLiteral("Single E.P (F4)"));
        QCOMPARE(W.OnMain<QToolButton>("tbFeed")->toolTip(), QStringLiteral("Line Feed (F12)"));
        // A tool button with a menu item keeps its plain name: the item shows the key.
        QCOMPARE(W.OnMain<QToolButton>("tbNew")->toolTip(), QStringLiteral("New Tape"));
    }

    // The digit keys, the keypad's too, dial whichever control has the focus; Tab
    // walks the panel's buttons, and the one with the focus shows it.
    void digitKeysDialAndTabWalksTheButtons()
    {
        TWorld W;
        W.Main()->show();
        QVERIFY(Activate(W.Panel()));
        auto* Tank = W.OnPanel<QSpinBox>("LTSpinEdit");
        QList<int> Dialled;
        connect(W.Panel(), &TEdsacForm::DialClicked, this, [&Dialled](int Digit) { Dialled << Digit; });
        // The machine halts at once on an empty store, so each digit is taken.
        W.Timer()->stop();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_3);
        W.Timer()->stop();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_0, Qt::KeypadModifier);
        W.Timer()->stop();
        QCOMPARE(Dialled, (QList<int>{3, 10}));
        QCOMPARE(Tank->value(), 0);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // to the paper
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // Short Tanks
        QStringList Walked;
        for (int I = 0; I < 6; ++I) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            Walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(Walked, (QStringList{"btnClear", "btnStart", "btnStop", "btnReset", "btnSingleEP", "sbClock"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), W.OnPanel("btnSingleEP"));
        QVERIFY(W.OnPanel("btnStart")->styleSheet().contains(QStringLiteral("QPushButton:focus")));
        // Space presses the button with the focus: Start, with no tape, says so.
        W.OnPanel("btnStart")->setFocus();
        QTest::keyClick(W.OnPanel("btnStart"), Qt::Key_Space);
        QCOMPARE(W.Messages, QStringList{"No tape|Please select a program tape"});
        // A held key dials once.
        QTest::keyPress(Tank, Qt::Key_5);
        W.Timer()->stop();
        QKeyEvent Repeat(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"), true);
        QApplication::sendEvent(Tank, &Repeat);
        QCOMPARE(Dialled, (QList<int>{3, 10, 5}));
    }

    // Assistive technology is told each control's name and purpose, and a tube's
    // value in words and numbers.
    void accessibleNamesAndValues()
    {
        TWorld W;
        TRegisters R = W.Core->Registers();
        R.Acc = {0x1FFFF, 0x3FFFF, 0x3FFFF, 0x3FFFD};
        R.SCR = 12;
        R.OrderTank = MakeOrder(28, 5, false);
        W.Core->Restore(R);
        W.Core->RestoreWord(3, MakeOrder(5, 64, true));
        W.Core->UpdateDisplays();
        W.Bridge->RefreshStoreDisplay();
        W.Main()->SetInitialOrders(ioOrders2);

        const auto Tube = [&W](const char* Name) { return W.OnPanel<TCRTDisplay>(Name); };
        QCOMPARE(Accessible(Tube("crtACC"), QAccessible::Name), QStringLiteral("Accumulator"));
        QVERIFY(!Accessible(Tube("crtACC"), QAccessible::Description).isEmpty());
        QVERIFY(Accessible(Tube("crtACC"), QAccessible::Value).startsWith(QStringLiteral("integer -3, fraction -")));
        QCOMPARE(Accessible(Tube("crtSCR"), QAccessible::Value), QStringLiteral("location 12"));
        QCOMPARE(Accessible(Tube("crtORD"), QAccessible::Value), QStringLiteral("order A 5 F"));
        QCOMPARE(Accessible(Tube("crtStore1"), QAccessible::Value),
                 QStringLiteral("word 2: order P 0 F, integer 0; word 3: order T 64 D, integer 20609"));
        QCOMPARE(Accessible(Tube("crtStore1"), QAccessible::Name), QStringLiteral("Store row 2"));

        W.Panel()->UpdateClockDisplay(10000u * 61u);
        QCOMPARE(Accessible(W.OnPanel<QWidget>("RealTimeClock"), QAccessible::Value),
                 QStringLiteral("0 hours, 1 minute, 1 second"));
        for (const char* Name : {"RealTimeClock", "sbDial0", "sbDial9", "btnClear", "btnStart", "btnStop", "btnReset",
                                 "btnSingleEP", "sbClock", "TeletypeMemo", "LTSpinEdit"}) {
            QWidget* Control = W.OnPanel<QWidget>(Name);
            QVERIFY2(!Accessible(Control, QAccessible::Name).isEmpty(), Name);
            QVERIFY2(!Accessible(Control, QAccessible::Description).isEmpty(), Name);
        }
        QCOMPARE(Accessible(W.OnPanel<QWidget>("sbDial7"), QAccessible::Name), QStringLiteral("Dial 7"));
        QVERIFY(Accessible(W.OnPanel("btnStop"), QAccessible::Description).endsWith(QStringLiteral("Key: F7")));
        W.Bridge->LineFeed();
        W.Bridge->TeleprinterNewLine("HELLO");
        QTRY_VERIFY(
            Accessible(W.OnPanel<QWidget>("TeletypeMemo"), QAccessible::Value).contains(QStringLiteral("HELLO")));
    }

    // The store hint goes when Hints is switched off and when the machine runs, and
    // none is shown while it runs.
    void hintGoesWhenOffAndDuringRuns()
    {
        TWorld W;
        W.OnMain("miHints")->trigger();
        TCRTDisplay* Row = W.OnPanel<TCRTDisplay>("crtStore0");
        Row->OnHint()(Row, Row->Words(), 0);
        QVERIFY(W.Main()->HintText().startsWith(QStringLiteral("WORD 1 ")));
        W.OnMain("miHints")->trigger();
        QCOMPARE(W.Main()->HintText(), QString());

        W.OnMain("miHints")->trigger();
        Row->OnHint()(Row, Row->Words(), 0);
        W.Tape(QStringLiteral("T64K GK ZF"));
        W.OnPanel("btnStart")->click();
        W.Panel()->CoreExecTimerTimer();
        QCOMPARE(W.Main()->HintText(), QString());
        QVERIFY(W.Timer()->isActive());
        Row->OnHint()(Row, Row->Words(), 0);
        QCOMPARE(W.Main()->HintText(), QString());
        QCOMPARE(W.RunToStop(1000000, false), 0);
        Row->OnHint()(Row, Row->Words(), 0);
        QVERIFY(!W.Main()->HintText().isEmpty());
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"

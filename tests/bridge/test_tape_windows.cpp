// Tape windows behind the real main window (offscreen): pasting, files opened
// twice, files changed by other programs, encodings and the parents of boxes.
#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>
#include <functional>

#include "forms/editor_form.h"
#include "forms/main_form.h"
#include "tests/bridge/std_world.h"

class TestTapeWindows : public QObject {
    Q_OBJECT
private slots:
    // The toolkit crashes when told to paste data that offers no format at all,
    // which is what an empty clipboard or selection gives.
    void pasteRefusesDataWithoutAFormatAndPastesText()
    {
        TWorld W;
        TEditorForm* T = W.Tape(QStringLiteral("AB"));
        QPlainTextEdit* Pane = T->Editor();
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
            Ways.append({"middle button", QClipboard::Selection,
                         [&] {
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
                QVERIFY(!W.Main()->miPaste->isEnabled());

            Pane->moveCursor(QTextCursor::End);
            Clipboard->setText(QStringLiteral(" F"), Way.Mode);
            Way.Paste();
            Expected += QStringLiteral(" F");
            QVERIFY2(T->Text() == Expected, Way.Name);
        }
        Clipboard->clear();
    }
};

QTEST_MAIN(TestTapeWindows)
#include "test_tape_windows.moc"

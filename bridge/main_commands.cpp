#include "bridge/main_commands.h"

#include <QCoreApplication>

#include "bridge/std_gui.h"
#include "forms/main_form.h"
#include "core/messages.h"

namespace {

using ToolbarIcons::TToolIcon;
using K = TCommandKind;
using S = TCommandState;

QString T(const char* Text)
{
    return QCoreApplication::translate("TMainForm", Text);
}

QKeySequence Ctrl(Qt::Key Key)
{
    return QKeySequence(Qt::CTRL | Key);
}

QKeySequence Key(Qt::Key Key)
{
    return QKeySequence(Key);
}

} // namespace

TCommandTable MainCommands(TStdGuiCoreInt& B)
{
    // The main window exists whenever one of its commands runs.
    const auto Main = [&B] { return B.GetMainForm(); };
    const auto Say = [Main](const char* Caption, const char* Text) {
        return [Main, Caption, Text] { Main()->Inform(QString::fromUtf8(Caption), QString::fromUtf8(Text)); };
    };
    TCommandTable Table;
    Table.Commands = {
        {.Kind = K::Menu, .Name = "mnuFile", .Caption = T("&File")},
        {.Name = "miNew",
         .Caption = T("&New"),
         .Shortcut = Ctrl(Qt::Key_N),
         .Everywhere = true,
         .Button = "tbNew",
         .Icon = TToolIcon::New,
         .Hint = T("New Tape"),
         .Run = [&B] { B.NewTape(); }},
        {.Name = "miOpen",
         .Caption = T("&Open..."),
         .Shortcut = Ctrl(Qt::Key_O),
         .Everywhere = true,
         .Button = "tbOpen",
         .Icon = TToolIcon::Open,
         .Hint = T("Open Tape"),
         .Run =
             [&B, Main] {
                 if (const QString Path = Main()->ChooseTapeToOpen(); !Path.isEmpty())
                     B.OpenTape(Path);
             }},
        {.Name = "miInsert",
         .Caption = T("Insert..."),
         .Run =
             [&B, Main] {
                 if (const QString Path = Main()->ChooseTapeToInsert(); !Path.isEmpty())
                     B.InsertTape(Path);
             },
         .When = &S::Tape},
        {.Kind = K::Separator},
        {.Name = "miClose",
         .Caption = T("Close"),
         .Shortcut = Ctrl(Qt::Key_W),
         .Everywhere = true,
         .Run = [&B] { B.CloseTape(); },
         .When = &S::Tape},
        {.Name = "miSave",
         .Caption = T("Save"),
         .Shortcut = Ctrl(Qt::Key_S),
         .Everywhere = true,
         .Button = "tbSave",
         .Icon = TToolIcon::Save,
         .Hint = T("Save Tape"),
         .Run = [&B] { B.SaveTape(); },
         .When = &S::TapeModified},
        {.Name = "miSaveAs", .Caption = T("Save As..."), .Run = [&B] { B.SaveTapeAs(); }, .When = &S::Tape},
        {.Kind = K::Separator},
        {.Name = "miDiscardEdsacOutput",
         .Caption = T("Discard Edsac Output"),
         .Button = "tbEdsacClear",
         .Icon = TToolIcon::DiscardOutput,
         .Hint = T("Discard Edsac Output"),
         .Run = [&B] { B.DiscardOutput(); },
         .When = &S::Output},
        {.Name = "miSaveOutputAs",
         .Caption = T("Save Edsac Output As..."),
         .Run =
             [&B, Main] {
                 if (const QString Path = Main()->ChooseOutputFile(QStringLiteral("EdOutput.txt")); !Path.isEmpty())
                     B.SaveOutput(Path);
             },
         .When = &S::Output},
        {.Name = "miPunchOutputAs",
         .Caption = T("Punch Edsac Output As..."),
         .Run =
             [&B, Main] {
                 if (const QString Path = Main()->ChooseOutputFile(QStringLiteral("EdPunch.txt")); !Path.isEmpty())
                     B.PunchOutput(Path);
             },
         .When = &S::Output},
        {.Kind = K::Separator},
        {.Name = "miPrintPreview",
         .Caption = T("Print Preview"),
         .Button = "tbPrintPrev",
         .Icon = TToolIcon::PrintPreview,
         .Hint = T("Print Preview"),
         .When = &S::Unavailable},
        {.Name = "miPrint",
         .Caption = T("Print..."),
         .Shortcut = Ctrl(Qt::Key_P),
         .Everywhere = true,
         .Button = "tbPrint",
         .Icon = TToolIcon::Print,
         .Hint = T("Print Tape"),
         .Run = [&B] { B.PrintTape(); },
         .When = &S::Tape},
        {.Kind = K::RecentFiles},
        {.Name = "miExit", .Caption = T("E&xit"), .Run = [Main] { Main()->close(); }},

        {.Kind = K::Menu, .Name = "mnuEdit", .Caption = T("&Edit")},
        // Tape windows keep their own history; the main window has none to offer.
        {.Name = "miUndo",
         .Caption = T("Undo"),
         .Shortcut = Ctrl(Qt::Key_Z),
         .Button = "tbUndo",
         .Icon = TToolIcon::Undo,
         .Hint = T("Undo"),
         .When = &S::Unavailable},
        {.Name = "miRedo",
         .Caption = T("Redo"),
         .Shortcut = Ctrl(Qt::Key_Y),
         .Button = "tbRedo",
         .Icon = TToolIcon::Redo,
         .Hint = T("Redo"),
         .When = &S::Unavailable},
        {.Kind = K::Separator},
        {.Name = "miCut",
         .Caption = T("Cut"),
         .Shortcut = Ctrl(Qt::Key_X),
         .Button = "tbCut",
         .Icon = TToolIcon::Cut,
         .Hint = T("Cut"),
         .Run = [&B] { B.CutText(); },
         .When = &S::Selection},
        {.Name = "miCopy",
         .Caption = T("Copy"),
         .Shortcut = Ctrl(Qt::Key_C),
         .Button = "tbCopy",
         .Icon = TToolIcon::Copy,
         .Hint = T("Copy"),
         .Run = [&B] { B.CopyText(); },
         .When = &S::Selection},
        {.Name = "miPaste",
         .Caption = T("Paste"),
         .Shortcut = Ctrl(Qt::Key_V),
         .Button = "tbPaste",
         .Icon = TToolIcon::Paste,
         .Hint = T("Paste"),
         .Run = [&B] { B.PasteText(); },
         .When = &S::CanPaste},
        {.Name = "miSelectAll",
         .Caption = T("Select All"),
         .Shortcut = Ctrl(Qt::Key_A),
         .Run = [&B] { B.SelectAll(); },
         .When = &S::TapeText},
        {.Kind = K::Separator},
        {.Name = "miFind", .Caption = T("Find..."), .Shortcut = Ctrl(Qt::Key_F), .When = &S::Unavailable},
        {.Name = "miFindAgain",
         .Caption = T("Find Again"),
         .Shortcut = QKeySequence(Qt::Key_F3),
         .When = &S::Unavailable},
        {.Name = "miReplace", .Caption = T("Replace..."), .Shortcut = Ctrl(Qt::Key_R), .When = &S::Unavailable},
        {.Kind = K::Separator},
        {.Name = "miLineNumbers", .Caption = T("Line Numbers"), .When = &S::Unavailable},

        {.Kind = K::Menu, .Name = "mnuEdsac", .Caption = T("E&dsac")},
        {.Kind = K::InitialOrders,
         .Name = "miInitialOrders1",
         .Caption = InitialOrdersCaption(ioOrders1),
         .Run = [Main] { Main()->SetInitialOrders(ioOrders1); }},
        {.Kind = K::InitialOrders,
         .Name = "miInitialOrders2",
         .Caption = InitialOrdersCaption(ioOrders2),
         .Run = [Main] { Main()->SetInitialOrders(ioOrders2); }},
        {.Kind = K::Separator},
        {.Name = "miDiscardOutput",
         .Caption = T("Discard Output"),
         .Run = [&B] { B.DiscardOutput(); },
         .When = &S::Output},
        {.Name = "miZeroizeClock",
         .Caption = T("Zeroize Clock"),
         .Button = "tbZeroizeClock",
         .Icon = TToolIcon::ZeroizeClock,
         .Hint = T("Zeroize Clock"),
         .Run = [&B] { B.ZeroiseClock(); },
         .When = &S::ClockShowsTime},
        // The item only explains; its mark belongs to the box, which cannot be ticked.
        {.Kind = K::Check,
         .Name = "miTeleprinterSound",
         .Caption = T("Teleprinter Sound"),
         .Button = "cbSound",
         .Hint = T("Teleprinter Sound"),
         .BoxCaption = T("Sound"),
         .BoxFixed = true,
         .Run = Say("Not supported", Messages::NoSound)},
        {.Kind = K::Check,
         .Name = "miRealTime",
         .Caption = T("Real Time"),
         .Button = "cbRealTime",
         .Hint = T("Real Time Mode"),
         .BoxCaption = T("Real Time"),
         .Toggled = [&B](bool On) { B.SetRealTime(On); }},
        {.Kind = K::Check,
         .Name = "miHints",
         .Caption = T("Hints"),
         .Button = "cbHints",
         .Hint = T("Edsac Hints"),
         .BoxCaption = T("Hints"),
         .Toggled = [&B](bool On) { B.SetHints(On); }},
        {.Kind = K::Separator},
        {.Name = "miOptions", .Caption = T("Options..."), .Run = [&B] { B.ShowOptions(); }},
        {.Name = "miDebugger", .Caption = T("Debugger..."), .Run = [&B] { B.ShowDebugger(); }},

        // The machine window first, the tape windows after it as they open.
        {.Kind = K::Menu, .Name = "mnuWindow", .Caption = T("&Window")},
        {.Name = "mnuWinEdsac", .Caption = T("Edsac"), .Run = [&B] { B.ShowEdsacWindow(); }},
        {.Kind = K::TapeWindows},

        {.Kind = K::Menu, .Name = "mnuHelp", .Caption = T("&Help")},
        {.Name = "TutorialGuide1", .Caption = T("&Tutorial Guide"), .Run = Say("Tutorial", Messages::Tutorial)},
        {.Name = "Documentation1",
         .Caption = T("&Documentation"),
         .Run = Say("Documentation", Messages::Documentation)},
        {.Kind = K::Separator},
        {.Name = "miAbout", .Caption = T("&About..."), .Run = [&B] { B.ShowAbout(); }},

        // An empty line for the teleprinter, from the tool bar or its key.
        {.Kind = K::ToolButton,
         .Caption = T("Line Feed"),
         .Shortcut = Key(Qt::Key_F12),
         .Everywhere = true,
         .Button = "tbFeed",
         .Icon = TToolIcon::LineFeed,
         .Hint = T("Line Feed"),
         .Run = [&B] { B.LineFeed(); }},

        // The machine window's buttons, worked by their keys from every window.
        // Clear of the keys the debugger window keeps (F5, F9, F10, F11).
        {.Kind = K::Key,
         .Name = "keyClear",
         .Caption = T("Clear"),
         .Shortcut = Key(Qt::Key_F2),
         .Everywhere = true,
         .Run = [&B] { B.ClearMachine(); }},
        {.Kind = K::Key,
         .Name = "keySingleEP",
         .Caption = T("Single E.P"),
         .Shortcut = Key(Qt::Key_F4),
         .Everywhere = true,
         .Run = [&B] { B.SingleEP(); }},
        {.Kind = K::Key,
         .Name = "keyStart",
         .Caption = T("Start"),
         .Shortcut = Key(Qt::Key_F6),
         .Everywhere = true,
         .Run = [&B] { B.Start(); }},
        {.Kind = K::Key,
         .Name = "keyStop",
         .Caption = T("Stop"),
         .Shortcut = Key(Qt::Key_F7),
         .Everywhere = true,
         .Run = [&B] { B.Stop(); }},
        {.Kind = K::Key,
         .Name = "keyReset",
         .Caption = T("Reset"),
         .Shortcut = Key(Qt::Key_F8),
         .Everywhere = true,
         .Run = [&B] { B.ResumeRun(); }},
    };
    Table.ToolBar = {"tbNew",  "tbOpen",          "tbSave", "tbPrint",      "tbPrintPrev", "|",
                     "tbUndo", "tbRedo",          "|",      "tbCut",        "tbCopy",      "tbPaste",
                     "|",      "cbInitialOrders", "|",      "tbEdsacClear", "tbFeed",      "tbZeroizeClock",
                     "|",      "cbSound",         "|",      "cbRealTime",   "cbHints"};
    return Table;
}

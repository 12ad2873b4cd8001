// The main window's commands as a table, one row per command: the window builds
// its menus, its tool bar, the connections and the Enabled states from the rows.
// Whoever hands it the table says what each command does.
#pragma once

#include <QKeySequence>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "kit/toolbar_icons.h"

// What decides which commands can be used now.
struct TCommandState {
    bool Tape = false; // a tape window is current
    bool TapeModified = false; // the current tape has changes to save
    bool TapeText = false; // the current tape holds text
    bool Selection = false; // text is selected in the current tape
    bool CanPaste = false; // a tape is current and the clipboard holds text
    bool Output = false; // the teleprinter has printed
    bool ClockShowsTime = false;
    // Never set: the commands shown but not offered (undo, search, line numbers).
    bool Unavailable = false;
};

enum class TCommandKind : std::uint8_t {
    Menu, // starts a menu of the menu bar
    Item, // a menu item
    Check, // a menu item with a check mark
    InitialOrders, // one of the exclusive Initial Orders items, which the tool bar's box follows
    Separator,
    RecentFiles, // the places of the recent files, each separated from its neighbours
    TapeWindows, // the entries of the open tape windows, added as they open
    ToolButton, // a tool button with no menu item
    Key, // worked by its shortcut alone (another window shows it as a button)
};

struct TCommand {
    TCommandKind Kind = TCommandKind::Item;
    // The object name of the menu or menu item.
    const char* Name = "";
    QString Caption{};
    QKeySequence Shortcut{};
    // The shortcut works from every window of the program, not only the main one.
    bool Everywhere = false;
    // On the tool bar: the object name of its tool button (a check box for a Check
    // item), its picture and the hint it shows; a check box has a caption of its own.
    const char* Button = "";
    ToolbarIcons::TToolIcon Icon{};
    QString Hint{};
    QString BoxCaption{};
    // A check box the user cannot change: the item's mark stays as the box has it.
    bool BoxFixed = false;
    // Run when the user gives the command; Toggled at every change of its mark.
    std::function<void()> Run{};
    std::function<void(bool On)> Toggled{};
    // Enabled while this flag of the state is set; always, when null.
    bool TCommandState::*When = nullptr;
};

struct TCommandTable {
    // In menu order.
    std::vector<TCommand> Commands;
    // The tool bar from left to right: the Button names of the commands, "|" for a
    // separator and "cbInitialOrders" for the Initial Orders box.
    std::vector<const char*> ToolBar;
};

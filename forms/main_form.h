// The main window: a strip across the top of the screen with the menu bar, the
// tool bar and a one-panel status bar. Its menus and tool bar are built from the
// command table it is given; it keeps only the state of its own controls (check
// marks, the Initial Orders choice, the recent files, the Window menu) and asks the
// user the questions the commands need.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "core/initial_orders.h"
#include "forms/commands.h"
#include "settings/EdSimSettings.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QToolBar;

// "Initial Orders 1" or "Initial Orders 2", as the menu and the box name them.
QString InitialOrdersCaption(TInitialOrders Orders);

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int RecentPlaces = TEdSimSettings::MaxRecentFiles;

    // Placed at the top-left corner, 10 pixels narrower than the screen, with its
    // height fixed; starts hidden.
    explicit TMainForm(const TCommandTable& Commands, QWidget* Parent = nullptr);
    ~TMainForm() override;

    // Each command with an enabling rule is enabled as its flag in State says.
    void ApplyCommandStates(const TCommandState& State);
    // Sets the mark of the Check command named Name.
    void SetCommandChecked(const char* Name, bool On);
    // The shortcut of the command named Name; empty if it has none.
    QKeySequence CommandShortcut(const char* Name) const;
    // Opens a menu of the menu bar as its Alt key would, its first item ready.
    void OpenMenu(QMenu* Menu);

    // The status bar's one panel, where hint mode writes what a tube holds.
    void SetHintText(const QString& Text);
    QString HintText() const;

    // Window menu: one entry per tape window, named "mnuWin" followed by the tape
    // window's object name, captioned with its title (kept up to date when the
    // title changes, and dropped when the window is destroyed).
    void AddWindowMenuItem(QWidget* TapeWindow);
    void UpdateWindowMenuItem(QWidget* TapeWindow);
    // Takes the entry out of the menu at once; the entry object itself is deleted
    // from the event loop, so a list of entries taken earlier stays safe to read.
    void RemoveWindowMenuItem(QWidget* TapeWindow);
    // The entries in menu order, the table's own first.
    QList<QAction*> WindowMenuEntries() const;
    // What a click on an entry does: a command of the table runs; a tape window's
    // entry asks for ShowTapeWindow with the number that follows "mnuWined" in its
    // name (nothing when the name holds no such number).
    void WindowMenuClick(QAction* Entry);

    // The four recent-file places, first to last; an empty string (or a missing
    // element) leaves its place hidden. Entries are numbered by place.
    void SetRecentFiles(const QStringList& Files);
    // Sets the box and the item's mark and tells the bridge.
    void SetInitialOrders(TInitialOrders Orders);
    // The set the box shows.
    TInitialOrders InitialOrders() const;

    // The questions of the commands. A tape to open or insert, starting from the
    // one chosen last time for the same command; a file for output, preset with
    // Name, its extension completed and its replacing confirmed. Empty for Cancel.
    QString ChooseTapeToOpen();
    QString ChooseTapeToInsert();
    QString ChooseOutputFile(const QString& Name);
    void Inform(const QString& Caption, const QString& Text);

    // Asked before the window closes (Exit or the window manager); false keeps it open.
    std::function<bool()> CloseQuery;

signals:
    // A recent file was chosen.
    void OpenTape(const QString& FileName);
    // false for Initial Orders 1, true for Initial Orders 2.
    void SelectInitialOrders(bool Second);
    void ShowTapeWindow(int Number);

protected:
    void closeEvent(QCloseEvent* Event) override;
    // The menus' Alt keys reach here from the program's other windows.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    struct TBuilt {
        QAction* Action;
        bool TCommandState::*When;
    };

    void BuildMenus(const std::vector<TCommand>& Commands);
    QAction* AddItem(QMenu* Menu, const TCommand& Command);
    void GiveShortcut(QAction* Action, const TCommand& Command);
    void AddRecentFiles(QMenu* Menu);
    void BuildToolBar(const TCommandTable& Table);
    // A tool button that shows the command's action, its menu item's own.
    void AddButton(const TCommand& Command, QAction* Action);
    // A check box that follows the command's check mark and sets it.
    void AddCheckBox(const TCommand& Command, QAction* Action);
    void AddInitialOrdersBox();
    void CreateStatusBar();
    QAction* FindCommand(const char* Name) const;
    QAction* FindWindowMenuItem(const QWidget* TapeWindow) const;
    QString ChooseTapeFile(const QString& Title, QString& Remembered);

    QToolBar* FToolBar = nullptr;
    std::vector<TBuilt> FCommands;
    // The commands in table order, for the tool bar; null for menus and separators.
    std::vector<QAction*> FActions;
    // The menus of the menu bar by the Alt key of their captions.
    std::vector<std::pair<QKeyCombination, QMenu*>> FMenuKeys;
    QActionGroup* FInitialOrdersItems = nullptr;
    QComboBox* FInitialOrdersBox = nullptr;
    QMenu* FWindowMenu = nullptr;
    std::array<QAction*, RecentPlaces> FRecent{};
    QAction* FAfterRecent = nullptr;
    QLabel* FHintPanel = nullptr;
    QString FOpenFileName;
    QString FInsertFileName;
};

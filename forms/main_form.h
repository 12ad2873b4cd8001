// The main window: a strip across the top of the screen with the menu bar, the
// tool bar and a one-panel status bar. It keeps only the state of its own controls
// (check marks, the Initial Orders choice, the recent files, the Window menu);
// every command that acts on tapes, output or the machine leaves as a signal for
// the bridge, which also sets the Enabled states of the items and buttons.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "core/initial_orders.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace ToolbarIcons {
enum class TToolIcon;
}

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int FormHeight = 87;
    static constexpr int RecentPlaces = 4;

    // Placed at the top-left corner, 10 pixels narrower than the screen, with its
    // height fixed; starts hidden.
    explicit TMainForm(QWidget* Parent = nullptr);
    ~TMainForm() override;

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
    // The entries in menu order, mnuWinEdsac first.
    QList<QAction*> WindowMenuEntries() const;
    // What a click on an entry does: ShowEdsacWindow for mnuWinEdsac, otherwise
    // ShowTapeWindow with the number that follows "mnuWined" in its name (nothing
    // when the name holds no such number).
    void WindowMenuClick(QAction* Entry);

    // The four recent-file places, first to last; an empty string (or a missing
    // element) leaves its place hidden. Entries are numbered by place.
    void SetRecentFiles(const QStringList& Files);
    // 1 or 2 sets the combo box, the radio mark and tells the bridge; other values
    // are ignored.
    void SetInitialOrders(TInitialOrders Orders);

    // Asked before the window closes (Exit or the window manager); false keeps it open.
    std::function<bool()> CloseQuery;

    QMenuBar* MainMenu1 = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuEdsac = nullptr;
    QMenu* mnuWindow = nullptr;
    QMenu* mnuHelp = nullptr;

    QAction* miNew = nullptr;
    QAction* miOpen = nullptr;
    QAction* miInsert = nullptr;
    QAction* miClose = nullptr;
    QAction* miSave = nullptr;
    QAction* miSaveAs = nullptr;
    QAction* miDiscardEdsacOutput = nullptr;
    QAction* miSaveOutputAs = nullptr;
    QAction* miPunchOutputAs = nullptr;
    QAction* miPrintPreview = nullptr;
    QAction* miPrint = nullptr;
    // The separator before the recent files.
    QAction* N2 = nullptr;
    // miMRU[0] is miMRU1.
    std::array<QAction*, RecentPlaces> miMRU{};
    QAction* miPostMRUSeparator = nullptr;
    QAction* miExit = nullptr;

    QAction* miUndo = nullptr;
    QAction* miRedo = nullptr;
    QAction* miCut = nullptr;
    QAction* miCopy = nullptr;
    QAction* miPaste = nullptr;
    QAction* miSelectAll = nullptr;
    QAction* miFind = nullptr;
    QAction* miFindAgain = nullptr;
    QAction* miReplace = nullptr;
    QAction* miLineNumbers = nullptr;

    QAction* miInitialOrders1 = nullptr;
    QAction* miInitialOrders2 = nullptr;
    QActionGroup* InitialOrdersGroup = nullptr;
    QAction* miDiscardOutput = nullptr;
    QAction* miZeroizeClock = nullptr;
    QAction* miTeleprinterSound = nullptr;
    QAction* miRealTime = nullptr;
    QAction* miHints = nullptr;
    QAction* miOptions = nullptr;

    QAction* mnuWinEdsac = nullptr;

    QAction* TutorialGuide1 = nullptr;
    QAction* Documentation1 = nullptr;
    QAction* miAbout = nullptr;

    QWidget* ControlBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* tbNew = nullptr;
    QToolButton* tbOpen = nullptr;
    QToolButton* tbSave = nullptr;
    QToolButton* tbPrint = nullptr;
    QToolButton* tbPrintPrev = nullptr;
    QToolButton* tbUndo = nullptr;
    QToolButton* tbRedo = nullptr;
    QToolButton* tbCut = nullptr;
    QToolButton* tbCopy = nullptr;
    QToolButton* tbPaste = nullptr;
    QComboBox* cbInitialOrders = nullptr;
    QToolButton* tbEdsacClear = nullptr;
    QToolButton* tbFeed = nullptr;
    QToolButton* tbZeroizeClock = nullptr;
    QCheckBox* cbSound = nullptr;
    QCheckBox* cbRealTime = nullptr;
    QCheckBox* cbHints = nullptr;

    QStatusBar* StatusBar1 = nullptr;

signals:
    void NewTape();
    void OpenTape(const QString& FileName);
    void InsertTape(const QString& FileName);
    void CloseTape();
    void SaveTape();
    void SaveTapeAs();
    void DiscardOutput();
    void SaveOutput(const QString& FileName);
    void PunchOutput(const QString& FileName);
    void PrintTape();
    void CutText();
    void CopyText();
    void PasteText();
    void SelectAll();
    // false for Initial Orders 1, true for Initial Orders 2.
    void SelectInitialOrders(bool Second);
    void ZeroiseClock();
    void SetHints(bool On);
    void ShowOptions();
    void ShowAbout();
    void ShowEdsacWindow();
    void ShowTapeWindow(int Number);
    // An empty line for the teleprinter.
    void LineFeed();

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void CreateMenus();
    void CreateFileMenu();
    void CreateEditMenu();
    void CreateEdsacMenu();
    void CreateWindowMenu();
    void CreateHelpMenu();
    void CreateToolBar();
    void CreateStatusBar();
    QMenu* AddMenu(const char* Name, const QString& Caption);
    QAction* AddItem(QMenu* Menu, const char* Name, const QString& Caption,
                     const QKeySequence& Shortcut = QKeySequence());
    // A tool button that shows Action, its menu item's own.
    QToolButton* AddButton(const char* Name, QAction* Action, ToolbarIcons::TToolIcon Picture, const QString& Hint);
    QCheckBox* AddCheckBox(const char* Name, const QString& Caption, const QString& Hint);
    QAction* FindWindowMenuItem(const QWidget* TapeWindow) const;

    void miOpenClick();
    void miInsertClick();
    // Open and Insert: a tape file, starting from the one chosen last time in
    // Remembered (updated); empty for Cancel.
    QString ChooseTapeFile(const QString& Title, QString& Remembered);
    // The output commands: the save dialog preset with Name; empty for Cancel.
    QString ChooseOutputFile(const QString& Name);
    void Inform(const QString& Caption, const QString& Text);
    void miTeleprinterSoundClick();
    void miRealTimeClick(bool Checked);
    void cbRealTimeToggled(bool Checked);
    void miHintsClick(bool Checked);
    void cbHintsToggled(bool Checked);
    void TutorialGuide1Click();
    void Documentation1Click();

    QLabel* FHintPanel = nullptr;
    QString FOpenFileName;
    QString FInsertFileName;
};

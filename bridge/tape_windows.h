// The tape windows of the standard user interface: making them and placing them
// in a cascade below the main window, their entries in the Window menu, which one
// is the current tape (the one the machine reads and the commands act on), the
// clipboard commands on it, and the questions asked before they close.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

#include "bridge/window_place.h"
#include "forms/commands.h"

class IEdsacHost;
class TEdSimSettings;
class TEditorForm;
class TEdsacForm;
class TMainForm;
class TRecoveryStore;

class TTapeWindows : public QObject {
    Q_OBJECT
public:
    // The tape windows belong to Main and are listed in its Window menu; Panel's
    // teleprinter caption names the current tape; Changed is called whenever what
    // the commands can do may have changed.
    TTapeWindows(TMainForm& Main, TEdsacForm& Panel, TEdSimSettings& Settings, std::function<void()> Changed);
    ~TTapeWindows() override;

    TEditorForm* New();
    // Null when the file cannot be found or read (the user has been told).
    TEditorForm* Open(const QString& FileName);
    // Windows made from here on keep recovery copies in Store (none without).
    void SetRecoveryStore(TRecoveryStore* Store) { FRecovery = Store; }
    // A window for a recovered copy, its text modified: named after FileName, so
    // that Save writes there, or a new untitled tape when FileName is empty.
    TEditorForm* Recover(const QString& FileName, const QString& Text);
    // The tape windows are numbered as they are made; the Window menu names them so.
    TEditorForm* Find(int N) const;
    // The user chose the window by its number (the Window menu).
    void Show(int N);

    TEditorForm* Current() const;
    void SetCurrent(TEditorForm* Window);
    // Every window back from the desktop, the current one last so that it stays current.
    void RestoreAll();

    // The commands on the current tape; each does nothing without one.
    void Insert(const QString& FileName);
    void Close();
    void Save();
    void SaveAs();
    void Rewind();
    // The machine's input from the current tape: the next code (EEndOfTape without a
    // tape), and a mark of the place to come back to when stepping back.
    int ReadCode(IEdsacHost& Host);
    std::uint64_t Mark() const;
    void GoToMark(std::uint64_t Mark);
    void Print();
    void Cut();
    void Copy();
    void Paste();
    void SelectAll();

    // Asks about every tape with changes before any window closes, then closes
    // them all; closes none and returns false if any answer keeps a tape open.
    bool CloseAll();

    // Sets the flags that depend on the current tape and the clipboard.
    void NoteState(TCommandState& State) const;

private:
    TEditorForm* Create(const QString& Caption, bool Show);
    void RememberRecentFile(const QString& FileName);
    void Activated(TEditorForm* Window);
    void Closed(TEditorForm* Window);
    // After a save the current tape's name may have changed.
    void ShowName();

    TMainForm& FMain;
    TEdsacForm& FPanel;
    TEdSimSettings& FSettings;
    std::function<void()> FChanged;
    TRecoveryStore* FRecovery = nullptr;
    // Owned by the main window; the guard clears it should the window go first.
    QPointer<TEditorForm> FCurrent;
    // The open tape windows in the order they were made, as the Window menu lists them.
    QList<QPointer<TEditorForm>> FWindows;
    int FUntitledCount = 0;
    int FMadeCount = 0;
    TCascade FCascade;
    // The clipboard offers "text/plain".
    bool FClipboardHasText = false;
};

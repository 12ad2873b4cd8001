// A tape window: one program tape as editable text, one tape line per text line,
// with its file, and a read position through it for the machine's input orders.
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <functional>

#include "core/TapeReader.h"
#include "files/TextEncoding.h"

class QFileSystemWatcher;
class QPlainTextEdit;
class QStatusBar;
class QTextDocument;
class QTimer;

class TEditorForm : public QWidget {
    Q_OBJECT

public:
    // Consulted when the window is asked to close; returning false keeps it open.
    using TCloseQuery = std::function<bool()>;

    // The owner (the main window) owns the window; it starts hidden.
    TEditorForm(QWidget* Owner, const QString& Caption);
    ~TEditorForm() override;

    // The text (its changes and its modified flag); the pane that shows it,
    // "memoTape", stays inside the window and takes the window's focus.
    QTextDocument* Document() const;
    // The clipboard commands on the pane.
    void Cut();
    void Copy();
    void Paste();
    void SelectAll();
    bool HasSelection() const;
    // Replaces the whole text; the undo history starts afresh.
    void SetText(const QString& Text);
    // Full path of the tape's file; empty until the tape is saved or loaded.
    const QString& FileName() const { return FFileName; }
    // The tape text, line breaks as "\n"; a saved file has a line feed after
    // its last line too, which loading drops again.
    QString Text() const;

    // Replaces the text by the file's. On failure reports it and returns false,
    // leaving text, file name and caption as they were. The file is watched from
    // then on: when another program changes it while the text is unmodified, the
    // window offers to load it again.
    bool LoadFromFile(const QString& Path);
    // A tape window holds what it can show and edit at once: a file or a text
    // with more lines, or a longer line, than that is refused with a message
    // that says why and what to do.
    // Inserts the whole file at the cursor as one undoable insertion.
    bool InsertFile(const QString& Path);
    // Writes to FileName, or asks for a name first; true when written. A file
    // that another program has changed since it was loaded or saved is written
    // over only when the user agrees.
    bool Save();
    // Asks for a name and writes there; true when written.
    bool SaveAs();
    // Sets the file and derives the caption: the name without directory and
    // without anything from its first ".".
    void SetFileName(const QString& Path);
    // The encoding the file was read in, and is saved in; UTF-8 for a new tape.
    Files::TTextEncoding Encoding() const { return FEncoding; }

    bool IsModified() const;
    // Before the window closes: asks whether to save changed text and saves it if
    // told to. True when the window may close.
    bool AskToSaveChanges();
    void SetModified(bool Modified);

    // The tape as the machine reads it; always follows the text.
    TTapeText& Tape();
    void RewindTape() { FTape.RewindTape(); }
    // The next raw character; throws EEndOfTape past the last line.
    char32_t NextTapeChar() { return Tape().NextTapeChar(); }
    int TapeLine() const { return FTape.TapeLine(); }

    void SetCloseQuery(TCloseQuery Query) { FCloseQuery = std::move(Query); }
    const TCloseQuery& CloseQuery() const { return FCloseQuery; }

signals:
    void Activated(TEditorForm* Form);
    void Closed(TEditorForm* Form);
    // The text changed; the window's own tape is already rewound.
    void TextChanged(TEditorForm* Form);
    void KeyReleased(TEditorForm* Form);
    void MouseReleased(TEditorForm* Form);

protected:
    bool event(QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The tape's file as it was when last read or written by this window.
    struct TDiskState {
        bool Known = false;
        QString Path;
        qint64 Size = 0;
        qint64 Modified = 0; // nanoseconds
        quint64 Device = 0;
        quint64 Inode = 0;
        QByteArray Fingerprint; // of the whole content
        // Takes the file's size, time and identity; false when it is not there.
        bool Stat(const QString& APath);
        // Stat, and reads the content for its size and fingerprint; Known when read.
        bool Read(const QString& APath);
    };
    void EditorChanged();
    // Whether Text may go in at the cursor; says why not when it may not, after
    // Refusal.
    bool CanInsert(const QString& Text, const QString& Refusal);
    // The status bar says what the order under the cursor does.
    void ExplainOrder();
    // Writes the text to Path in the tape's encoding; reports a failure and
    // returns false.
    bool WriteTo(const QString& Path);
    // Whether the file at FFileName exists and holds something other than Known;
    // the same bytes under a new time or in a new file count as no change.
    bool ChangedOnDisk(TDiskState& Known) const;
    // Watches FFileName and its folder: a file replaced by a rename is another
    // file, which the folder's watch finds again.
    void Watch();
    void CheckDisk();

    QPlainTextEdit* FEditor;
    QStatusBar* FStatus = nullptr;
    QString FFileName;
    TTapeText FTape;
    bool FTapeStale = false; // the text changed since FTape was built
    TCloseQuery FCloseQuery;
    Files::TTextEncoding FEncoding = Files::TTextEncoding::Utf8;
    TDiskState FDisk;
    // The changed file the user was last asked to reload.
    TDiskState FOffered;
    bool FAskingToReload = false;
    QFileSystemWatcher* FWatcher = nullptr; // made for the first file
    QTimer* FDiskTimer;
};

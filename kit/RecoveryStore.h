// Recovery copies of the tape windows whose text has not been saved, so that a
// program killed or cut off from its display loses no typed work.
//
// Every running instance keeps its copies in a session folder of its own under
// the user's recovery folder, and holds a lock on it for as long as it lives. The
// lock goes with the process, however the process ends; a session whose lock
// nobody holds was left by an instance that is gone, and only such sessions are
// offered for restoring, so two instances never take each other's copies.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <map>
#include <memory>

class QTimer;
class TEditorForm;

// One copy as it was written: the tape's file (empty for a tape never saved),
// its caption, and its text.
struct TRecoveredTape {
    QString FileName;
    QString Caption;
    QString Text;
};

class TRecoveryStore : public QObject {
    Q_OBJECT

public:
    // How long after the last change a copy is written.
    static constexpr int DefaultDelay = 3000;

    // The user's recovery folder: "valvane/recovery" in the per-user data folder.
    static QString DefaultFolder();

    // Opens a session in Folder (made, private to the user, if need be). When that
    // fails the store keeps no copies and Problem says why.
    explicit TRecoveryStore(const QString& AFolder = DefaultFolder());
    // An orderly end: this session's copies and folder go (unless KeepAll was
    // called); sessions claimed and not discarded are left for the next start.
    ~TRecoveryStore() override;
    TRecoveryStore(const TRecoveryStore&) = delete;
    TRecoveryStore& operator=(const TRecoveryStore&) = delete;

    bool IsOpen() const { return FLock >= 0; }
    const QString& Problem() const { return FProblem; }
    const QString& Folder() const { return FFolder; }
    // This instance's session folder; empty when the store is not open.
    const QString& SessionFolder() const { return FSession; }

    void SetDelay(int Milliseconds) { FDelay = Milliseconds; }
    int Delay() const { return FDelay; }

    // Keeps a copy of the window's text while it is modified: written Delay after
    // the last change, removed when the text is saved (or changed back) and when
    // the window closes.
    void Watch(TEditorForm* Window);
    // Where the window's copy is (or would be) written; empty if not watched.
    QString CopyPath(const TEditorForm* Window) const;
    // Writes the window's copy now if it is modified (removes it if not).
    void WriteNow(TEditorForm* Window);
    // The program is about to end without closing its windows: every modified
    // window's copy is written now, and no copy is removed from here on.
    void KeepAll();

    // The copies of sessions whose instance is gone, oldest session first. Those
    // sessions are claimed: no other instance sees them until this one discards
    // or releases them (or ends).
    QList<TRecoveredTape> ClaimOrphans();
    // Removes the claimed sessions with their copies.
    void DiscardClaimed();
    // Lets the claimed sessions go untouched, for the next start to offer again.
    void ReleaseClaimed();

private:
    struct TEntry;
    struct TClaim {
        QString Folder;
        int Lock;
    };

    bool OpenSession();
    void Changed(TEditorForm* Window);
    void Write(TEntry& Entry);
    void Forget(const QObject* Window);

    QString FFolder;
    QString FSession;
    QString FProblem;
    int FLock = -1;
    int FDelay = DefaultDelay;
    int FCopyCount = 0;
    bool FKeeping = false;
    std::map<const QObject*, std::unique_ptr<TEntry>> FEntries;
    QList<TClaim> FClaims;
};

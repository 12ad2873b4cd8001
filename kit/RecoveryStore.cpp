#include "kit/RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTimer>
#include <QPlainTextEdit>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/SafeFile.h"
#include "kit/editor_form.h"

namespace {

const QString LockName = QStringLiteral("lock");
const QString CopySuffix = QStringLiteral(".tape");
const QByteArray Magic = QByteArrayLiteral("Valvane recovery copy");
const QByteArray PathKey = QByteArrayLiteral("Path: ");
const QByteArray CaptionKey = QByteArrayLiteral("Caption: ");

QByteArray Native(const QString& Path)
{
    return QFile::encodeName(Path);
}

QString SystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A folder of our own, private to the user: made 0700, or, if it is there
// already, a real folder (not a link) that belongs to us, closed to others.
bool PrivateFolder(const QString& Path, QString& Problem)
{
    const QByteArray Name = Native(Path);
    if (::mkdir(Name.constData(), 0700) != 0 && errno != EEXIST) {
        Problem = QStringLiteral("%1 cannot be made: %2").arg(Path, SystemError());
        return false;
    }
    struct stat Info;
    if (::lstat(Name.constData(), &Info) != 0) {
        Problem = QStringLiteral("%1: %2").arg(Path, SystemError());
        return false;
    }
    if (!S_ISDIR(Info.st_mode) || Info.st_uid != ::geteuid()) {
        Problem = QStringLiteral("%1 is not a folder of this user's").arg(Path);
        return false;
    }
    if ((Info.st_mode & 0077) != 0 && ::chmod(Name.constData(), 0700) != 0) {
        Problem = QStringLiteral("%1 cannot be made private: %2").arg(Path, SystemError());
        return false;
    }
    return true;
}

// The lock of a session folder, taken without waiting: -1 when another process
// holds it (or it cannot be opened).
int TakeLock(const QString& Folder)
{
    const int Fd = ::open(Native(Folder + QLatin1Char('/') + LockName).constData(),
                          O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
    if (Fd < 0)
        return -1;
    if (::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(Fd);
        return -1;
    }
    return Fd;
}

// The copies in a session folder, in the order they were first written.
QStringList CopyNames(const QString& Folder)
{
    QStringList Names = QDir(Folder).entryList({QLatin1Char('*') + CopySuffix}, QDir::Files | QDir::Hidden);
    std::sort(Names.begin(), Names.end(), [](const QString& A, const QString& B) {
        return A.section(QLatin1Char('.'), 0, 0).toInt() < B.section(QLatin1Char('.'), 0, 0).toInt();
    });
    return Names;
}

// Everything in the folder, the lock last, then the folder itself.
void RemoveSession(const QString& Folder)
{
    QDir Dir(Folder);
    for (const QString& Name : Dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (Name != LockName)
            Dir.remove(Name);
    Dir.remove(LockName);
    ::rmdir(Native(Folder).constData());
}

QByteArray EncodeCopy(const TRecoveredTape& Tape)
{
    // Percent-encoded so that any name, line feeds and all, stays on its line.
    return Magic + '\n' + PathKey + Native(Tape.FileName).toPercentEncoding("/") + '\n' + CaptionKey +
           Tape.Caption.toUtf8().toPercentEncoding(" ") + "\n\n" + Tape.Text.toUtf8();
}

bool DecodeCopy(const QByteArray& Data, TRecoveredTape& Tape)
{
    const qsizetype End = Data.indexOf("\n\n");
    if (End < 0)
        return false;
    const QList<QByteArray> Lines = Data.left(End).split('\n');
    if (Lines.size() != 3 || Lines[0] != Magic || !Lines[1].startsWith(PathKey) || !Lines[2].startsWith(CaptionKey))
        return false;
    Tape.FileName = QFile::decodeName(QByteArray::fromPercentEncoding(Lines[1].mid(PathKey.size())));
    Tape.Caption = QString::fromUtf8(QByteArray::fromPercentEncoding(Lines[2].mid(CaptionKey.size())));
    Tape.Text = QString::fromUtf8(Data.mid(End + 2));
    return true;
}

} // namespace

struct TRecoveryStore::TEntry {
    QPointer<TEditorForm> Window;
    QString Path;
    std::unique_ptr<QTimer> Timer;
};

QString TRecoveryStore::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/valvane/recovery");
}

TRecoveryStore::TRecoveryStore(const QString& AFolder) : FFolder(AFolder)
{
    if (!OpenSession())
        qWarning("No recovery copies will be kept: %s", qUtf8Printable(FProblem));
}

TRecoveryStore::~TRecoveryStore()
{
    ReleaseClaimed();
    FEntries.clear();
    if (FLock < 0)
        return;
    // Kept copies stay for the next start; the lock goes with the descriptor.
    if (!FKeeping || CopyNames(FSession).isEmpty())
        RemoveSession(FSession);
    ::close(FLock);
}

bool TRecoveryStore::OpenSession()
{
    // The parents as any data folder is made; the two of our own private.
    const QString Parent = QFileInfo(FFolder).absolutePath();
    if (!QDir().mkpath(QFileInfo(Parent).absolutePath()) || !PrivateFolder(Parent, FProblem) ||
        !PrivateFolder(FFolder, FProblem))
        return false;

    // Made under a name no scan looks at, locked, and only then given its real
    // name: a session folder is never seen without its owner's lock on it.
    QByteArray Template = Native(FFolder + QStringLiteral("/.new-XXXXXX"));
    if (!::mkdtemp(Template.data())) {
        FProblem = QStringLiteral("%1: %2").arg(FFolder, SystemError());
        return false;
    }
    const QString Fresh = QFile::decodeName(Template);
    const int Fd = ::open(Native(Fresh + QLatin1Char('/') + LockName).constData(),
                          O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (Fd < 0 || ::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        FProblem = QStringLiteral("%1: %2").arg(Fresh, SystemError());
        if (Fd >= 0)
            ::close(Fd);
        RemoveSession(Fresh);
        return false;
    }
    const QString Session = FFolder + QLatin1Char('/') + QString::number(::getpid()) + QLatin1Char('-') +
                            Fresh.section(QLatin1Char('-'), -1);
    if (::rename(Template.constData(), Native(Session).constData()) != 0) {
        FProblem = QStringLiteral("%1: %2").arg(Session, SystemError());
        ::close(Fd);
        RemoveSession(Fresh);
        return false;
    }
    FSession = Session;
    FLock = Fd;
    return true;
}

void TRecoveryStore::Watch(TEditorForm* Window)
{
    if (!IsOpen() || FEntries.count(Window))
        return;
    auto Entry = std::make_unique<TEntry>();
    Entry->Window = Window;
    Entry->Path = FSession + QLatin1Char('/') + QString::number(++FCopyCount) + CopySuffix;
    Entry->Timer = std::make_unique<QTimer>();
    Entry->Timer->setSingleShot(true);
    TEntry* Raw = Entry.get();
    connect(Entry->Timer.get(), &QTimer::timeout, this, [this, Raw] { Write(*Raw); });
    FEntries[Window] = std::move(Entry);

    QTextDocument* Document = Window->Document();
    connect(Document, &QTextDocument::contentsChanged, this, [this, Window] { Changed(Window); });
    // Saved, or changed back to what was saved: the copy has nothing to keep.
    connect(Document, &QTextDocument::modificationChanged, this, [this, Window](bool Modified) {
        if (Modified)
            Changed(Window);
        else
            WriteNow(Window);
    });
    connect(Window, &TEditorForm::Closed, this, [this](TEditorForm* Closed) { Forget(Closed); });
    connect(Window, &QObject::destroyed, this, [this](QObject* Gone) { Forget(Gone); });
    if (Window->IsModified())
        Changed(Window);
}

QString TRecoveryStore::CopyPath(const TEditorForm* Window) const
{
    const auto Found = FEntries.find(Window);
    return Found == FEntries.end() ? QString() : Found->second->Path;
}

void TRecoveryStore::Changed(TEditorForm* Window)
{
    const auto Found = FEntries.find(Window);
    if (Found != FEntries.end())
        Found->second->Timer->start(FDelay);
}

void TRecoveryStore::WriteNow(TEditorForm* Window)
{
    const auto Found = FEntries.find(Window);
    if (Found != FEntries.end())
        Write(*Found->second);
}

void TRecoveryStore::Write(TEntry& Entry)
{
    Entry.Timer->stop();
    if (!Entry.Window)
        return;
    if (!Entry.Window->IsModified()) {
        if (!FKeeping)
            QFile::remove(Entry.Path);
        return;
    }
    const TRecoveredTape Tape{Entry.Window->FileName(), Entry.Window->windowTitle(), Entry.Window->Text()};
    QString Reason;
    if (!Files::WriteWholeFile(Entry.Path, EncodeCopy(Tape), Reason))
        qWarning("The recovery copy %s could not be written: %s", qUtf8Printable(Entry.Path), qUtf8Printable(Reason));
}

void TRecoveryStore::Forget(const QObject* Window)
{
    const auto Found = FEntries.find(Window);
    if (Found == FEntries.end())
        return;
    if (!FKeeping)
        QFile::remove(Found->second->Path);
    FEntries.erase(Found);
}

void TRecoveryStore::KeepAll()
{
    for (auto& [Window, Entry] : FEntries)
        Write(*Entry);
    FKeeping = true;
    // Nothing unsaved: no session for the next start to look at.
    if (IsOpen() && CopyNames(FSession).isEmpty())
        RemoveSession(FSession);
}

QList<TRecoveredTape> TRecoveryStore::ClaimOrphans()
{
    QList<TRecoveredTape> Tapes;
    if (!IsOpen())
        return Tapes;
    // Names starting with "." are sessions still being made.
    const QFileInfoList Sessions = QDir(FFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                               QDir::Time | QDir::Reversed);
    for (const QFileInfo& Info : Sessions) {
        const QString Folder = Info.absoluteFilePath();
        if (Info.isSymLink() || Folder == FSession)
            continue;
        const int Fd = TakeLock(Folder);
        if (Fd < 0)
            continue; // its instance is alive, or another start has claimed it
        QList<TRecoveredTape> Found;
        for (const QString& Name : CopyNames(Folder)) {
            QByteArray Data;
            QString Reason;
            TRecoveredTape Tape;
            if (Files::ReadRegularFile(Folder + QLatin1Char('/') + Name, Files::MaxTapeSize * 4 + 65536, Data,
                                       Reason) == Files::TReadStatus::Read &&
                DecodeCopy(Data, Tape))
                Found << Tape;
        }
        if (Found.isEmpty()) {
            // Nothing to offer: an instance that ended with no unsaved work.
            RemoveSession(Folder);
            ::close(Fd);
            continue;
        }
        FClaims << TClaim{Folder, Fd};
        Tapes << Found;
    }
    return Tapes;
}

void TRecoveryStore::DiscardClaimed()
{
    for (const TClaim& Claim : FClaims)
        RemoveSession(Claim.Folder);
    ReleaseClaimed();
}

void TRecoveryStore::ReleaseClaimed()
{
    for (const TClaim& Claim : FClaims)
        ::close(Claim.Lock);
    FClaims.clear();
}

#include "files/SafeFile.h"
#include "core/messages.h"

#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Files {
namespace {

QString Describe(int Error)
{
    return QString::fromLocal8Bit(std::strerror(Error));
}

QString SizeText(qint64 Bytes)
{
    constexpr qint64 MiB = 1024 * 1024;
    return Bytes % MiB == 0 ? QStringLiteral("%1 MiB").arg(Bytes / MiB) : QStringLiteral("%1 bytes").arg(Bytes);
}

const QString FolderReason = QStringLiteral("It is a folder, not a file");

// Closes the descriptor on every way out.
class TFd {
public:
    explicit TFd(int AFd) : FFd(AFd) {}
    ~TFd()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    // Closes now: a failing close can be the first sign of a lost write.
    bool Close()
    {
        const int Result = ::close(FFd);
        FFd = -1;
        return Result == 0;
    }

private:
    int FFd;
};

const QString ReadOnlyReason = QStringLiteral("It is read-only");

// A UTF-8 sequence starting at Bytes[At]: its length, or 0 when it is none.
int Utf8Length(const QByteArray& Bytes, qsizetype At)
{
    const auto Byte = [&](qsizetype I) { return I < Bytes.size() ? static_cast<unsigned char>(Bytes[I]) : 0u; };
    const unsigned Lead = Byte(At);
    if (Lead < 0x80)
        return 1;
    int Length = 0;
    unsigned Low = 0x80, High = 0xBF; // the range of the second byte
    if (Lead >= 0xC2 && Lead <= 0xDF)
        Length = 2;
    else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Length = 3;
        Low = Lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        High = Lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Length = 4;
        Low = Lead == 0xF0 ? 0x90 : 0x80;
        High = Lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else
        return 0;
    if (Byte(At + 1) < Low || Byte(At + 1) > High)
        return 0;
    for (int I = 2; I < Length; ++I)
        if ((Byte(At + I) & 0xC0) != 0x80)
            return 0;
    return Length;
}

QByteArray Join(const QByteArray& Folder, const QByteArray& Name)
{
    return (Folder == "/" ? Folder : Folder + '/') + Name;
}

QByteArray FolderOf(const QByteArray& Absolute)
{
    const qsizetype Slash = Absolute.lastIndexOf('/');
    return Slash <= 0 ? QByteArray("/") : Absolute.left(Slash);
}

QByteArray CurrentFolder()
{
    QByteArray Buffer(4096, Qt::Uninitialized);
    while (::getcwd(Buffer.data(), static_cast<size_t>(Buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return QByteArray("/");
        Buffer.resize(Buffer.size() * 2);
    }
    return QByteArray(Buffer.constData());
}

// A folder that anyone may write to and only owners may delete from, like /tmp:
// another user can plant a link there.
bool IsSharedFolder(const QByteArray& Folder, struct stat& Info)
{
    return ::stat(Folder.constData(), &Info) == 0 && (Info.st_mode & S_ISVTX) && (Info.st_mode & S_IWOTH);
}

// The absolute path with every link followed and every "." and ".." taken out;
// a part that does not exist yet is kept as it is written. With Guarded, a link
// in a shared folder is followed only when it belongs to the writer or to the
// folder's owner; otherwise Reason says why not.
bool Resolve(const QByteArray& Path, bool Guarded, QByteArray& Resolved, QString& Reason)
{
    QByteArray Done = Path.startsWith('/') ? QByteArray("/") : CurrentFolder();
    std::vector<QByteArray> Todo; // the parts still to walk, the next one last
    const auto Push = [&Todo](const QByteArray& Parts) {
        const QList<QByteArray> Split = Parts.split('/');
        for (auto Part = Split.crbegin(); Part != Split.crend(); ++Part)
            Todo.push_back(*Part);
    };
    Push(Path);
    int Links = 0;
    while (!Todo.empty()) {
        const QByteArray Part = Todo.back();
        Todo.pop_back();
        if (Part.isEmpty() || Part == ".")
            continue;
        if (Part == "..") {
            Done = FolderOf(Done); // Done holds no link, so its parent is its folder
            continue;
        }
        const QByteArray Next = Join(Done, Part);
        struct stat Link;
        if (::lstat(Next.constData(), &Link) != 0 || !S_ISLNK(Link.st_mode)) {
            Done = Next;
            continue;
        }
        struct stat Folder;
        if (Guarded && Link.st_uid != ::geteuid() && IsSharedFolder(Done, Folder) && Link.st_uid != Folder.st_uid) {
            Reason = QStringLiteral("The link %1 in the shared folder %2 belongs to another user and is not followed")
                         .arg(DecodeName(Next), DecodeName(Done));
            return false;
        }
        QByteArray Target(std::max<qsizetype>(Link.st_size, 255) + 1, Qt::Uninitialized);
        ssize_t Got;
        while ((Got = ::readlink(Next.constData(), Target.data(), static_cast<size_t>(Target.size()))) == Target.size())
            Target.resize(Target.size() * 2);
        if (++Links > 40 || Got < 0) {
            Reason = Describe(Got < 0 ? errno : ELOOP);
            return false;
        }
        Target.truncate(Got);
        if (Target.startsWith('/'))
            Done = "/";
        Push(Target);
    }
    Resolved = Done;
    return true;
}

bool IsReadable(const struct stat& Info, qint64 MaxSize, QString& Reason)
{
    if (S_ISDIR(Info.st_mode))
        Reason = FolderReason;
    else if (!S_ISREG(Info.st_mode))
        Reason = QString::fromLatin1(Messages::NotRegular);
    else if (Info.st_size > MaxSize)
        Reason = QString::fromLatin1(Messages::TooLarge).arg(SizeText(MaxSize));
    else
        return true;
    return false;
}

// Every byte or errno set; Offset < 0 writes at the file position.
bool WriteAll(int Fd, const char* Bytes, qint64 Size, qint64 Offset = -1)
{
    qint64 Done = 0;
    while (Done < Size) {
        const size_t Count = static_cast<size_t>(Size - Done);
        const ssize_t Written = Offset < 0 ? ::write(Fd, Bytes + Done, Count)
                                           : ::pwrite(Fd, Bytes + Done, Count, static_cast<off_t>(Offset + Done));
        if (Written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (Written == 0) {
            errno = EIO;
            return false;
        }
        Done += Written;
    }
    return true;
}

// A reader that goes away would otherwise kill the program with SIGPIPE; the
// write fails with EPIPE instead and the signal is taken back.
class TNoSigPipe {
public:
    TNoSigPipe()
    {
        sigemptyset(&FPipe);
        sigaddset(&FPipe, SIGPIPE);
        sigset_t Pending;
        sigpending(&Pending);
        FWasPending = sigismember(&Pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &FPipe, &FOld);
    }
    ~TNoSigPipe()
    {
        const int Saved = errno;
        sigset_t Pending;
        sigpending(&Pending);
        if (!FWasPending && sigismember(&Pending, SIGPIPE) == 1) {
            const timespec Now{0, 0};
            sigtimedwait(&FPipe, nullptr, &Now);
        }
        pthread_sigmask(SIG_SETMASK, &FOld, nullptr);
        errno = Saved;
    }
    TNoSigPipe(const TNoSigPipe&) = delete;
    TNoSigPipe& operator=(const TNoSigPipe&) = delete;

private:
    sigset_t FPipe, FOld;
    bool FWasPending = false;
};

// A device or a pipe: written as it is, never replaced by a regular file.
bool WriteDirectly(const QByteArray& Native, const QByteArray& Data, QString& Reason)
{
    // Non-blocking open: a pipe without a reader fails at once instead of waiting.
    TFd Fd(::open(Native.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (Fd.Get() < 0) {
        Reason = errno == ENXIO ? QStringLiteral("It is a pipe or socket that nothing is reading") : Describe(errno);
        return false;
    }
    const int Flags = ::fcntl(Fd.Get(), F_GETFL);
    if (Flags >= 0)
        ::fcntl(Fd.Get(), F_SETFL, Flags & ~O_NONBLOCK);
    TNoSigPipe Guard;
    if (!WriteAll(Fd.Get(), Data.constData(), Data.size()) || !Fd.Close()) {
        Reason = Describe(errno);
        return false;
    }
    return true;
}

// The folder may not be written, so no new file can take the old one's place:
// overwrite it where it is, and put the old bytes back if that fails part way.
bool OverwriteInPlace(const QByteArray& Native, const QByteArray& Data, QString& Reason)
{
    // Read and write, to keep the old bytes; write only when that is all we may do.
    int Raw = ::open(Native.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    bool CanRestore = Raw >= 0;
    if (Raw < 0)
        Raw = ::open(Native.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (Raw < 0) {
        Reason = Describe(errno);
        return false;
    }
    TFd Fd(Raw);
    const int Handle = Fd.Get();

    QByteArray Old;
    struct stat Info;
    if (CanRestore && ::fstat(Handle, &Info) == 0) {
        Old.resize(static_cast<qsizetype>(Info.st_size));
        qint64 Got = 0;
        while (Got < Old.size()) {
            const ssize_t N = ::pread(Handle, Old.data() + Got, static_cast<size_t>(Old.size() - Got), Got);
            if (N < 0 && errno == EINTR)
                continue;
            if (N <= 0)
                break;
            Got += N;
        }
        CanRestore = Got == Old.size();
    }

    if (WriteAll(Handle, Data.constData(), Data.size(), 0) &&
        ::ftruncate(Handle, static_cast<off_t>(Data.size())) == 0 && ::fsync(Handle) == 0) {
        if (Fd.Close())
            return true;
    }
    const int Error = errno;
    // The old bytes fit where they were, so putting them back needs no new space.
    if (CanRestore && Fd.Get() >= 0 && WriteAll(Handle, Old.constData(), Old.size(), 0))
        (void)::ftruncate(Handle, static_cast<off_t>(Old.size()));
    Reason = Describe(Error);
    return false;
}

bool FolderWritable(const QByteArray& Folder)
{
    return ::faccessat(AT_FDCWD, Folder.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Write permission as a user has it. Root may write anything, but a file its
// owner made read-only is refused to root too, as it would be to that owner.
bool MayWrite(const QByteArray& Native, const struct stat& Info)
{
    if (::geteuid() == 0)
        return (Info.st_mode & S_IWUSR) != 0;
    return ::faccessat(AT_FDCWD, Native.constData(), W_OK, AT_EACCESS) == 0;
}

// A new file beside the old one, written unbuffered so that every failing write
// (a full disk above all) is seen before it is renamed over the old file. It
// takes the old file's owner and group where the writer may set them (root
// always), then its mode. Native is a resolved path with no link in it.
bool ReplaceFile(const QByteArray& Native, const struct stat* Old, const QByteArray& Data, QString& Reason)
{
    const QByteArray Folder = FolderOf(Native);
    // A name within the longest a folder allows, however long the file's own is.
    const QByteArray Stem = Native.mid(Folder.size() == 1 ? 1 : Folder.size() + 1).left(200);
    QByteArray Temp;
    int Raw = -1;
    for (int Tries = 0; Raw < 0 && Tries < 100; ++Tries) {
        Temp = Join(Folder, Stem + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36));
        // The new file's mode follows the umask, as any new file's would.
        Raw = ::open(Temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (Raw < 0 && errno != EEXIST)
            break;
    }
    if (Raw < 0) {
        const int Error = errno;
        struct stat Info;
        if (Error == ENOENT && ::stat(Folder.constData(), &Info) != 0)
            Reason = QStringLiteral("The folder %1 does not exist").arg(DecodeName(Folder));
        else if (Error == EACCES || Error == EPERM)
            Reason = QStringLiteral("The folder %1 cannot be written").arg(DecodeName(Folder));
        else
            Reason = Describe(Error);
        return false;
    }
    TFd Fd(Raw);
    if (Old) {
        if (::fchown(Raw, Old->st_uid, Old->st_gid) != 0)
            (void)::fchown(Raw, static_cast<uid_t>(-1), Old->st_gid); // a user keeps at least a group of theirs
        (void)::fchmod(Raw, Old->st_mode & 07777);
    }
    if (!WriteAll(Raw, Data.constData(), Data.size()) || ::fsync(Raw) != 0 || !Fd.Close() ||
        ::rename(Temp.constData(), Native.constData()) != 0) {
        const int Error = errno;
        ::unlink(Temp.constData());
        Reason = Describe(Error);
        return false;
    }
    return true;
}

} // namespace

TReadStatus ReadRegularFile(const QString& Path, qint64 MaxSize, QByteArray& Data, QString& Reason)
{
    Data.clear();
    Reason.clear();
    if (Path.isEmpty())
        return TReadStatus::Missing;
    const QByteArray Native = EncodeName(Path);
    struct stat Info;
    if (::stat(Native.constData(), &Info) != 0) {
        if (errno == ENOENT)
            return TReadStatus::Missing;
        Reason = Describe(errno);
        return TReadStatus::Failed;
    }
    if (!IsReadable(Info, MaxSize, Reason))
        return TReadStatus::Failed;
    // Non-blocking, so that a pipe put in the file's place since the check cannot
    // hang the open or the read; regular files ignore the flag.
    TFd Fd(::open(Native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (Fd.Get() < 0) {
        Reason = Describe(errno);
        return TReadStatus::Failed;
    }
    if (::fstat(Fd.Get(), &Info) != 0) {
        Reason = Describe(errno);
        return TReadStatus::Failed;
    }
    if (!IsReadable(Info, MaxSize, Reason))
        return TReadStatus::Failed;

    // The size is only a hint (files under /proc say 0); the cap is what counts.
    Data.resize(static_cast<qsizetype>(std::min<qint64>(Info.st_size, MaxSize) + 1));
    qint64 Got = 0;
    for (;;) {
        if (Got == Data.size()) {
            if (Got > MaxSize)
                break;
            Data.resize(static_cast<qsizetype>(std::min<qint64>(Got * 2 + 4096, MaxSize + 1)));
        }
        const ssize_t N = ::read(Fd.Get(), Data.data() + Got, static_cast<size_t>(Data.size() - Got));
        if (N < 0) {
            if (errno == EINTR)
                continue;
            Reason = Describe(errno);
            Data.clear();
            return TReadStatus::Failed;
        }
        if (N == 0)
            break;
        Got += N;
    }
    if (Got > MaxSize) {
        Reason = QString::fromLatin1(Messages::TooLarge).arg(SizeText(MaxSize));
        Data.clear();
        return TReadStatus::Failed;
    }
    Data.truncate(static_cast<qsizetype>(Got));
    return TReadStatus::Read;
}

bool WriteWholeFile(const QString& Path, const QByteArray& Data, QString& Reason)
{
    Reason.clear();
    if (Path.isEmpty()) {
        Reason = Describe(ENOENT);
        return false;
    }
    const QByteArray Native = EncodeName(Path);
    // Through a link, the file it names is the one replaced; the link stays.
    QByteArray Target;
    if (!Resolve(Native, true, Target, Reason))
        return false;
    struct stat Info;
    if (::stat(Native.constData(), &Info) != 0) {
        if (errno != ENOENT) {
            Reason = Describe(errno);
            return false;
        }
        return ReplaceFile(Target, nullptr, Data, Reason);
    }
    if (S_ISDIR(Info.st_mode)) {
        Reason = FolderReason;
        return false;
    }
    // By the name given: /dev/stdout and its kind lead nowhere once resolved.
    if (!S_ISREG(Info.st_mode))
        return WriteDirectly(Native, Data, Reason);
    if (!MayWrite(Target, Info)) {
        Reason = ReadOnlyReason;
        return false;
    }
    if (!FolderWritable(FolderOf(Target)))
        return OverwriteInPlace(Target, Data, Reason);
    return ReplaceFile(Target, &Info, Data, Reason);
}

QString DecodeName(const QByteArray& Native)
{
    QString Name;
    Name.reserve(Native.size());
    qsizetype Run = 0; // where the current stretch of whole characters began
    for (qsizetype At = 0; At < Native.size();) {
        const int Length = Utf8Length(Native, At);
        if (Length > 0) {
            At += Length;
            continue;
        }
        Name += QString::fromUtf8(Native.constData() + Run, At - Run);
        Name += QChar(static_cast<char16_t>(0xDC00 | static_cast<unsigned char>(Native[At])));
        Run = ++At;
    }
    Name += QString::fromUtf8(Native.constData() + Run, Native.size() - Run);
    return Name;
}

QByteArray EncodeName(const QString& Name)
{
    QByteArray Native;
    Native.reserve(Name.size());
    qsizetype Run = 0;
    for (qsizetype At = 0; At < Name.size(); ++At) {
        const char16_t Unit = Name[At].unicode();
        const bool Paired = At > 0 && Name[At - 1].isHighSurrogate();
        if (Unit < 0xDC80 || Unit > 0xDCFF || Paired)
            continue;
        Native += QStringView(Name).sliced(Run, At - Run).toUtf8();
        Native += static_cast<char>(Unit & 0xFF);
        Run = At + 1;
    }
    Native += QStringView(Name).sliced(Run).toUtf8();
    return Native;
}

bool SameFile(const QString& A, const QString& B)
{
    const QByteArray NativeA = EncodeName(A), NativeB = EncodeName(B);
    struct stat InfoA, InfoB;
    const bool HasA = ::stat(NativeA.constData(), &InfoA) == 0, HasB = ::stat(NativeB.constData(), &InfoB) == 0;
    if (HasA || HasB)
        return HasA && HasB && InfoA.st_dev == InfoB.st_dev && InfoA.st_ino == InfoB.st_ino;
    QByteArray ResolvedA, ResolvedB;
    QString Unused;
    return Resolve(NativeA, false, ResolvedA, Unused) && Resolve(NativeB, false, ResolvedB, Unused) &&
           ResolvedA == ResolvedB;
}

} // namespace Files

#include "files/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
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

bool IsReadable(const struct stat& Info, qint64 MaxSize, QString& Reason)
{
    if (S_ISDIR(Info.st_mode))
        Reason = FolderReason;
    else if (!S_ISREG(Info.st_mode))
        Reason = QStringLiteral("It is not a regular file but a device, a pipe or a socket");
    else if (Info.st_size > MaxSize)
        Reason = QStringLiteral("It is larger than %1").arg(SizeText(MaxSize));
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

    if (WriteAll(Handle, Data.constData(), Data.size(), 0) && ::ftruncate(Handle, static_cast<off_t>(Data.size())) == 0
        && ::fsync(Handle) == 0) {
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

bool FolderWritable(const QString& Folder)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(Folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

// A new file beside the old one, written unbuffered so that every failing write
// (a full disk above all) is seen before it is renamed over the old file.
bool ReplaceFile(const QString& Path, const QByteArray& Data, QString& Reason)
{
    QSaveFile File(Path);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString Folder = QFileInfo(Path).absolutePath();
        Reason = FolderWritable(Folder) ? File.errorString()
                                        : QStringLiteral("The folder %1 cannot be written").arg(Folder);
        return false;
    }
    for (qint64 Done = 0; Done < Data.size();) {
        const qint64 Written = File.write(Data.constData() + Done, Data.size() - Done);
        if (Written <= 0) {
            Reason = File.errorString();
            File.cancelWriting();
            return false;
        }
        Done += Written;
    }
    if (!File.commit()) {
        Reason = File.errorString();
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
    const QByteArray Native = QFile::encodeName(Path);
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
        Reason = QStringLiteral("It is larger than %1").arg(SizeText(MaxSize));
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
    const QByteArray Native = QFile::encodeName(Path);
    struct stat Info;
    if (::stat(Native.constData(), &Info) != 0) {
        if (errno != ENOENT) {
            Reason = Describe(errno);
            return false;
        }
        return ReplaceFile(Path, Data, Reason);
    }
    if (S_ISDIR(Info.st_mode)) {
        Reason = FolderReason;
        return false;
    }
    if (!S_ISREG(Info.st_mode))
        return WriteDirectly(Native, Data, Reason);
    // Through a link, the file it names is the one replaced; the link stays.
    const QString Target = QFileInfo(Path).canonicalFilePath();
    if (!FolderWritable(QFileInfo(Target).absolutePath()))
        return OverwriteInPlace(QFile::encodeName(Target), Data, Reason);
    return ReplaceFile(Target, Data, Reason);
}

} // namespace Files

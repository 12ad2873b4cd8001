// A file system of its own that a test can fill to the last byte: a 64 KiB tmpfs
// mounted in a temporary folder. Mounting needs root; Unavailable says why not.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class TFullDisk {
public:
    TFullDisk()
    {
        Root = Dir.path() + QStringLiteral("/disk");
        QDir().mkpath(Root);
        if (::geteuid() != 0)
            Unavailable = QStringLiteral("mounting a small file system to fill needs root");
        else if (::mount("tmpfs", QFile::encodeName(Root).constData(), "tmpfs", 0, "size=64k") != 0)
            Unavailable = QStringLiteral("cannot mount a tmpfs here: ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TFullDisk()
    {
        if (Unavailable.isEmpty())
            ::umount2(QFile::encodeName(Root).constData(), MNT_DETACH);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

    QString FilePath(const QString& Name) const { return Root + QLatin1Char('/') + Name; }

    // Takes every byte that is left; true once a write has met a full disk.
    bool Fill() const
    {
        const int Fd = ::open(QFile::encodeName(FilePath(QStringLiteral("filler"))).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (Fd < 0)
            return false;
        const QByteArray Block(512, 'x');
        bool Full = false;
        for (int I = 0; I < 100000 && !Full; ++I)
            Full = ::write(Fd, Block.constData(), static_cast<size_t>(Block.size())) < 0 && errno == ENOSPC;
        // Smaller pieces take what a whole block could not.
        while (Full && ::write(Fd, "x", 1) == 1) {}
        ::close(Fd);
        return Full;
    }

    QString Unavailable;

private:
    QTemporaryDir Dir;
    QString Root;
};

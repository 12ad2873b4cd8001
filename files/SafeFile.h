// Whole-file reading and writing for every file the user names: tapes, output,
// punched tape, machine dumps and the settings file.
#pragma once

#include <QByteArray>
#include <QString>

namespace Files {

// The largest tape we read: far beyond any real program, small enough to hold.
constexpr qint64 MaxTapeSize = qint64{16} * 1024 * 1024;

enum class TReadStatus { Read, Missing, Failed };

// File names are bytes. A name that is not UTF-8 keeps each byte that is not
// part of a character as one code point of its own (U+DC80..U+DCFF), so that it
// comes back unchanged; the toolkit's own conversion would replace it and lose
// the file. Every function here takes names made this way.
QString DecodeName(const QByteArray& Native);
QByteArray EncodeName(const QString& Name);

// Whether two names lead to one file: the same device and inode when it exists,
// the same path with every link followed when it does not exist yet.
bool SameFile(const QString& A, const QString& B);

// Reads a whole regular file of at most MaxSize bytes. Folders, devices, pipes
// and sockets are refused without being opened for a blocking read, so neither
// a device that never ends nor a pipe that nobody writes can hang the caller.
// Missing: there is no such file. Failed: Reason says why, in a sentence.
TReadStatus ReadRegularFile(const QString& Path, qint64 MaxSize, QByteArray& Data, QString& Reason);

// Writes Data as the whole content of Path, or fails and says why in Reason.
// A regular file is written to a new file beside it, every byte checked, which
// then replaces it with the old one's owner, group and mode, so a full disk or
// any other failure leaves the old file as it was. When only the file and not
// its folder may be written, the file is overwritten in place and put back as it
// was if that fails. A file that is read-only stays so, for root too. A device
// or a pipe is written to directly (never replaced); a pipe that nobody reads is
// refused rather than waited for. In a shared folder (sticky and writable by
// all, like /tmp) a link is followed only when it belongs to the writer or to
// the folder's owner, so nobody can plant one that makes root replace a file.
bool WriteWholeFile(const QString& Path, const QByteArray& Data, QString& Reason);

} // namespace Files

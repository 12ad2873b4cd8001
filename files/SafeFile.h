// Whole-file reading and writing for every file the user names: tapes, output,
// punched tape, machine dumps and the settings file.
#pragma once

#include <QByteArray>
#include <QString>

namespace Files {

// The largest tape we read: far beyond any real program, small enough to hold.
constexpr qint64 MaxTapeSize = qint64{16} * 1024 * 1024;

enum class TReadStatus { Read, Missing, Failed };

// Reads a whole regular file of at most MaxSize bytes. Folders, devices, pipes
// and sockets are refused without being opened for a blocking read, so neither
// a device that never ends nor a pipe that nobody writes can hang the caller.
// Missing: there is no such file. Failed: Reason says why, in a sentence.
TReadStatus ReadRegularFile(const QString& Path, qint64 MaxSize, QByteArray& Data, QString& Reason);

// Writes Data as the whole content of Path, or fails and says why in Reason.
// A regular file is written to a new file beside it, every byte checked, which
// then replaces it, so a full disk or any other failure leaves the old file as
// it was. When only the file and not its folder may be written, the file is
// overwritten in place and put back as it was if that fails. A device or a pipe
// is written to directly (never replaced); a pipe that nobody reads is refused
// rather than waited for.
bool WriteWholeFile(const QString& Path, const QByteArray& Data, QString& Reason);

} // namespace Files

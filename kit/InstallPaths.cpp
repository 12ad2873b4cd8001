#include "kit/InstallPaths.h"
#include "kit/Dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool IsWithin(const QString& Path, const QString& Folder)
{
    const QString Inner = QFileInfo(Path).canonicalFilePath();
    const QString Outer = QFileInfo(Folder).canonicalFilePath();
    return !Inner.isEmpty() && !Outer.isEmpty() && (Inner == Outer || Inner.startsWith(Outer + u'/'));
}

} // namespace

QString FirstOpenFolder(const QString& ProgramDir)
{
    return FirstOpenFolder(ProgramDir, QStringLiteral(VALVANE_BUILD_DIR), QStringLiteral(VALVANE_SOURCE_DIR "/tapes"));
}

QString FirstOpenFolder(const QString& ProgramDir, const QString& BuildDir, const QString& SourceTapes)
{
    if (IsWithin(ProgramDir, BuildDir) && QFileInfo(SourceTapes).isDir())
        return QDir::cleanPath(SourceTapes);
    const QDir Program(ProgramDir);
    const QString Tapes = QDir::cleanPath(Program.filePath(QStringLiteral("../share/valvane/tapes")));
    if (!QFileInfo(Tapes).isDir())
        return ProgramDir;
    // A program folder that holds tapes of its own keeps them first.
    if (!Program.entryList({QString::fromLatin1(Dialogs::TextPattern)}, QDir::Files).isEmpty())
        return ProgramDir;
    return Tapes;
}

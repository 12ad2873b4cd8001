#include "forms/InstallPaths.h"

#include <QDir>
#include <QFileInfo>

QString FirstOpenFolder(const QString& ProgramDir)
{
    const QDir Program(ProgramDir);
    const QString Tapes = QDir::cleanPath(Program.filePath(QStringLiteral("../share/valvane/tapes")));
    if (!QFileInfo(Tapes).isDir())
        return ProgramDir;
    // A program folder that holds tapes of its own keeps them first.
    if (!Program.entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty())
        return ProgramDir;
    return Tapes;
}

// Where an installed Valvane, or one run from its build tree, finds its own files.
#pragma once

#include <QString>

// The folder the first Open starts in. A program run from the build tree it was
// built in starts among the tapes of the checkout it was built from. An installed
// program lives in PREFIX/bin, a folder of other programs with no tapes in it, so
// when PREFIX/share/valvane/tapes is there it starts among the tapes instead.
// Anywhere else it starts in its own folder.
QString FirstOpenFolder(const QString& ProgramDir);

// The same, for a build tree and a checkout's tapes given here rather than the
// ones this program was built with.
QString FirstOpenFolder(const QString& ProgramDir, const QString& BuildDir, const QString& SourceTapes);

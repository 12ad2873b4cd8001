// Where an installed Valvane finds its own files.
#pragma once

#include <QString>

// The folder the first Open starts in. A build tree keeps its program and tapes
// apart, and the program's own folder is where it always started. An installed
// program lives in PREFIX/bin, a folder of other programs with no tapes in it,
// so when PREFIX/share/valvane/tapes is there it starts among the tapes instead.
QString FirstOpenFolder(const QString& ProgramDir);

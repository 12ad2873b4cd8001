// The main window's commands, one row each: where the window shows it (menu,
// caption, shortcut, tool button, picture, hint), what it does and when it can
// be used. A new command is a new row here and nothing more.
#pragma once

#include "forms/commands.h"

class TStdGuiCoreInt;

TCommandTable MainCommands(TStdGuiCoreInt& Bridge);

// What the companion does differently on a terminal: colour, the progress
// line, and (on Windows) how text reaches a console. The choices are pure
// functions of what the process was told and where its output goes.
#pragma once

#include <cstdio>

#include "cli/options.h"

namespace cli {

// --color auto colours only a terminal, and never when NO_COLOR is set to
// anything; always and never are obeyed as they are.
bool UseColor(ColorChoice choice, bool stdoutIsTerminal, const char* noColorVariable);

// Whether `file` (stdout or stderr) is a terminal or console.
bool IsTerminal(std::FILE* file);

// Windows consoles show SGR sequences only in virtual-terminal mode; false
// when the console cannot be switched to it. Elsewhere true.
bool EnableTerminalColors();

}  // namespace cli

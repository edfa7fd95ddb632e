#include "cli/terminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cli {

bool UseColor(ColorChoice choice, bool stdoutIsTerminal, const char* noColorVariable) {
  if (choice != ColorChoice::kAuto) return choice == ColorChoice::kAlways;
  return stdoutIsTerminal && !(noColorVariable && *noColorVariable);
}

#ifdef _WIN32
bool IsTerminal(std::FILE* file) {
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), &mode) != 0;
}

bool EnableTerminalColors() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(out, &mode)) return true;  // a file or a pipe takes the bytes as they are
  return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
         SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
#else
bool IsTerminal(std::FILE* file) { return isatty(fileno(file)) == 1; }
bool EnableTerminalColors() { return true; }
#endif

}  // namespace cli

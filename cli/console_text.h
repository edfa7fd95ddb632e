// Printed text on its way to a Windows console. A console shows UTF-16 right
// in any code page (936 or 437, cmd or PowerShell), where the bytes of UTF-8
// would come out as mojibake; a file or a pipe still gets the bytes of
// --encoding, as a script expects.
#pragma once

#include <string>
#include <string_view>

#include "cli/encoding.h"

namespace cli {

enum class StreamWrite { kBytes, kConsoleUtf16 };

// Only a console on Windows takes UTF-16; elsewhere a terminal decodes bytes itself.
StreamWrite HowToWrite(bool isConsole, bool windows);

// The bytes of the output encoding as UTF-16, piece by piece: a character
// cut at the end of one piece waits for the rest in the next.
class ConsoleText {
 public:
  explicit ConsoleText(Encoding encoding) : encoding_(encoding) {}
  std::u16string operator()(std::string_view bytes);

 private:
  Encoding encoding_;
  std::string held_;
};

}  // namespace cli

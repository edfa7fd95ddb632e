// GBK text written as a literal of the language an export is pasted into.
// Double-byte characters pass as they are: their trail byte may look like
// "\", "`" or "^" and must never be escaped on its own.
#pragma once

#include <string_view>

#include "items/text.h"

namespace ds {

// '…' for a POSIX shell: nothing is special inside but the quote itself.
void AppendBashQuoted(Text& out, std::string_view text);
// ^"…^" for cmd.exe running a program: quoted for the C runtime's split,
// with every character cmd would act on behind a caret.
void AppendCmdQuoted(Text& out, std::string_view text);
// "…" for PowerShell, with backtick escapes.
void AppendPowerShellQuoted(Text& out, std::string_view text);
// '…' with Python's escapes.
void AppendPythonQuoted(Text& out, std::string_view text);
// "…" with the escapes JSON and JavaScript share.
void AppendJsonQuoted(Text& out, std::string_view text);

}  // namespace ds

// The companion's two ways of printing a session: the JSON document and the
// human-readable report. Texts go out in the chosen encoding.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "cli/compare_session.h"
#include "cli/encoding.h"

namespace cli {

// The JSON document goes to `write` piece by piece as it is made, like the
// report below, letting go of the slots' rows right after parsing once they
// are written; FormatJson collects it.
void WriteJson(SessionResult& result, bool httpMode, Encoding encoding,
               const std::function<void(std::string_view)>& write);
std::string FormatJson(const SessionResult& result, bool httpMode, Encoding encoding);
// The report goes to `write` piece by piece, in order, as it is made: a long
// one is never held whole.
// With `color`, the slots' sides, the missing rows, the decoded differences
// and the headings are marked with SGR sequences for a terminal.
void WriteText(const SessionResult& result, Encoding encoding, const std::function<void(std::string_view)>& write,
               bool color = false);

}  // namespace cli

// The companion's two ways of printing a session: the JSON document and the
// human-readable report. Texts go out in the chosen encoding.
#pragma once

#include <string>

#include "cli/compare_session.h"
#include "cli/encoding.h"

namespace cli {

std::string FormatJson(const SessionResult& result, bool httpMode, Encoding encoding);
std::string FormatText(const SessionResult& result, Encoding encoding);

}  // namespace cli

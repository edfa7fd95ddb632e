// A file written whole: first under a temporary name in its own folder, then
// renamed into place, so the final name never holds half a file and a
// failure leaves what was there before. Names are UTF-8 on every platform.
#pragma once

#include <string>
#include <string_view>

namespace ds::platform {

// Why the file could not be written; empty when it was.
std::string WriteFileReplacing(const std::string& path, std::string_view bytes);

// Both names lead to one existing file (a link, another spelling).
bool IsSameFile(const std::string& a, const std::string& b);

// The folder made when it is missing; why not, or empty.
std::string MakeFolder(const std::string& path);

}  // namespace ds::platform

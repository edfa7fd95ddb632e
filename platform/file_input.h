// A file read whole as bytes, for the companion's inputs and the window's
// dropped files. A name is UTF-8 on every platform.
#pragma once

#include <string>

namespace ds::platform {

struct FileContent {
  std::string bytes;
  std::string error;  // why the file could not be read; empty when it was
};

FileContent ReadInputFile(const std::string& path);  // "-" is standard input

}  // namespace ds::platform

// A file read whole as bytes, for the companion's inputs and the window's
// dropped files. A name is UTF-8 on every platform.
#pragma once

#include <cstddef>
#include <string>

namespace ds::platform {

// Bytes a file's buffer holds beyond its end, so a parser that reads past
// the last byte in blocks can read the text where it lies.
constexpr size_t kReadPadding = 64;

struct FileContent {
  std::string bytes;
  std::string error;  // why the file could not be read; empty when it was
};

FileContent ReadInputFile(const std::string& path);  // "-" is standard input

}  // namespace ds::platform

// The companion's input files, read whole as bytes. A name is UTF-8 on every
// platform, as the command line hands it over.
#pragma once

#include <string>

namespace cli {

struct FileContent {
  std::string bytes;
  std::string error;  // why the file could not be read; empty when it was
};

FileContent ReadInputFile(const std::string& path);  // "-" is standard input

}  // namespace cli

// The companion's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/encoding.h"
#include "import/capture.h"

namespace cli {

enum class ColorChoice { kAuto, kAlways, kNever };

struct Options {
  enum class Command { kCompare, kSessions, kConvert, kJar, kSanitize, kHelp, kVersion, kCompletion };
  Command command = Command::kCompare;
  bool httpMode = false;
  std::optional<std::string> lineSeparator;   // as given, UTF-8 like every argument
  std::optional<std::string> valueSeparator;
  bool ignoreCase = false;
  bool fuzzy = false;
  bool removeDuplicates = false;
  Encoding encoding = Encoding::kUtf8;
  bool json = false;
  ds::CaptureFormat from = ds::CaptureFormat::kPlain;  // convert reads auto unless told
  bool fromGiven = false;
  std::optional<long long> harEntry;     // 1-based
  std::optional<std::string> harUrl;     // UTF-8 like every argument
  std::optional<long long> jarEntry;     // jar: the entry shown, 1-based
  std::optional<std::string> jarUrl;     // jar: the first entry whose URL contains it
  bool decode = false;
  std::vector<std::string> ignore;         // --ignore patterns as given, UTF-8 like every argument
  std::vector<std::string> presetIgnore;   // patterns of --ignore-preset (ASCII)
  std::optional<std::string> to;  // an exporter's name, known to serve the mode
  std::optional<int> completed;   // compare: the slot printed completed, 1 or 2
  ColorChoice color = ColorChoice::kAuto;
  bool quiet = false;             // no progress line
  std::string file1, file2;       // convert: file1 only; help: the command asked about; completion: the shell
  // Masking secrets: sanitize, and --mask on the other commands.
  bool mask = false;                     // --mask: the printed values are masked
  std::optional<std::string> key;        // --key TEXT, bytes as given
  std::optional<std::string> keyFile;    // --key-file FILE
  std::vector<std::string> keepNames;    // --keep NAME patterns, UTF-8 like every argument
  std::vector<std::string> maskNames;    // sanitize's --mask NAME patterns
  bool keepBodies = false;
  std::optional<std::string> outputDir;  // sanitize -o DIR
  std::vector<std::string> files;        // every file, in order (sanitize takes any number)
};

struct ParsedOptions {
  Options options;
  std::string error;  // empty when the command line is good
};

ParsedOptions ParseOptions(const std::vector<std::string>& args);  // without the program name

}  // namespace cli

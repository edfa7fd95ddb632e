// The progress line a long input shows on standard error.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace cli {

// Inputs up to this size are read before anyone would wait for them.
constexpr size_t kProgressFrom = 20u * 1024 * 1024;
constexpr long long kProgressEveryMs = 100;  // at most ten lines a second

// Only a person at a terminal wants the line: never in a pipe or a file,
// never with --quiet, never for a small input or one of unknown size.
bool ShowProgress(size_t total, bool stderrIsTerminal, bool quiet);

// "12.3 MB of 50.0 MB (24%)"
std::string ProgressText(size_t done, size_t total);

// The run's line, rewritten in place with CR and erased at the end: the
// bytes of each input as it is read, then the step that follows.
class ProgressLine {
 public:
  ProgressLine(bool stderrIsTerminal, bool quiet, std::function<long long()> nowMs,
               std::function<void(std::string_view)> write)
      : terminal_(stderrIsTerminal), quiet_(quiet), nowMs_(std::move(nowMs)), write_(std::move(write)) {}
  ~ProgressLine() { Finish(); }

  void Update(size_t done, size_t total);
  // A step without a measure of its own ("comparing"), over inputs of `total` bytes.
  void Stage(std::string_view step, size_t total);
  // Clears the line, if one was shown, so the report starts on a clean one.
  void Finish();

 private:
  bool terminal_, quiet_;
  std::function<long long()> nowMs_;
  std::function<void(std::string_view)> write_;
  void Show(std::string line);

  bool written_ = false;
  long long lastMs_ = 0;
  size_t width_ = 0;  // of the longest line written
};

}  // namespace cli

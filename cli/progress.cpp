#include "cli/progress.h"

#include <cstdio>

namespace cli {

bool ShowProgress(size_t total, bool stderrIsTerminal, bool quiet) {
  return stderrIsTerminal && !quiet && total > kProgressFrom;
}

// The percentage in 64 bits: a 32-bit size_t times 100 overflows past 42 MB.
std::string ProgressText(size_t done, size_t total) {
  char text[64];
  const double mb = 1024.0 * 1024.0;
  std::snprintf(text, sizeof text, "%.1f MB of %.1f MB (%d%%)", static_cast<double>(done) / mb,
                static_cast<double>(total) / mb, total ? static_cast<int>(static_cast<unsigned long long>(done) * 100 / total) : 0);
  return text;
}

void ProgressLine::Update(size_t done, size_t total) {
  if (!ShowProgress(total, terminal_, quiet_)) return;
  long long now = nowMs_();
  if (written_ && now - lastMs_ < kProgressEveryMs) return;
  lastMs_ = now;
  Show("reading " + ProgressText(done, total));
}

void ProgressLine::Stage(std::string_view step, size_t total) {
  if (!ShowProgress(total, terminal_, quiet_)) return;
  char size[32];
  std::snprintf(size, sizeof size, " %.1f MB", static_cast<double>(total) / (1024.0 * 1024.0));
  lastMs_ = nowMs_();
  Show(std::string(step) + size);
}

void ProgressLine::Show(std::string line) {
  if (line.size() < width_) line.resize(width_, ' ');
  width_ = line.size();
  written_ = true;
  write_("\r" + line);
}

void ProgressLine::Finish() {
  if (width_ == 0) return;
  write_("\r" + std::string(width_, ' ') + "\r");
  width_ = 0;
}

}  // namespace cli

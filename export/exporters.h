// Rows written in the form the next tool reads: a Cookie header, a cURL
// command, PowerShell, a Python dict, a JavaScript object, JSON, cookies.txt,
// fetch. One table of exporters; each one's output reads back, through the
// import reader named in its row, as the very rows it was given, and a row
// it cannot carry so is refused by name rather than changed or left out.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "import/capture.h"
#include "items/analysis_mode.h"
#include "items/rows.h"
#include "items/text.h"

namespace ds {

// Where the rows were sent, when an import told it (GBK); empty parts are
// written as marked placeholders.
struct ExportTarget {
  Text url;
  Text method;
  std::optional<Text> body = {};  // the request's body, when the capture held it
  bool bodyNotGbk = false;   // it held one GBK cannot carry
};

// The host the target's URL names; empty when it names none.
Text HostOf(std::string_view url);

// Stands for the site when no import told it: ".invalid" never resolves,
// so a command run as it is fails instead of going elsewhere.
inline constexpr std::string_view kPlaceholderHost = "replace-with-host.invalid";

// The target of the message an import took (its URL made whole from a Host
// header where it holds only a path); a URL GBK cannot hold is left out.
ExportTarget ExportTargetOf(const CaptureOrigin& origin);

struct ExportJob {
  const std::vector<Row>& rows;  // name in column 1, value in column 2
  AnalysisMode mode;
  const ExportTarget& target;
};

struct Exported {
  Text text;                  // GBK; empty when refused
  std::optional<Text> error;  // GBK message naming the row
};

struct Exporter {
  std::string_view name;     // for --to
  const char* caption;       // GBK, as menus and hints name it
  bool cookies, http;        // the modes it serves
  CaptureFormat readBack;    // the reader that gives the rows back
  Exported (*write)(const ExportJob& job);
  bool sendsRequest;         // a command or code that sends it, counting the body itself

  bool Serves(AnalysisMode mode) const { return mode == AnalysisMode::kCookies ? cookies : http; }
};

std::span<const Exporter> Exporters();
// The exporters of a mode, in menu order.
std::vector<const Exporter*> ExportersOf(AnalysisMode mode);
const Exporter* ExporterNamed(std::string_view name, AnalysisMode mode);
// "cookie-header|curl|…" for a usage text.
std::string ExporterNames(AnalysisMode mode);

Exported Export(const Exporter& exporter, const ExportJob& job);

}  // namespace ds

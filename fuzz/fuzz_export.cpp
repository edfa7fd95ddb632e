// Exports of arbitrary rows: the first byte picks the mode and the exporter,
// the rest splits at 0x1F into names and values (GBK bytes as they come).
// An export is refused with a message and no text, or reads back, told its
// format and recognised, as exactly the rows it was given.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "export/exporters.h"
#include "platform/codepage.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs ReadBack(const std::string& gbk, ds::CaptureFormat format, ds::AnalysisMode mode, bool* failed) {
  ds::CaptureText source;
  source.utf8 = ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, ds::platform::kCodePageGbk),
                                        ds::platform::kCodePageUtf8);
  ds::Capture capture = ds::ReadCapture(source, format, mode);
  *failed = capture.error.has_value();
  Pairs out;
  for (const ds::Field& f : ds::ItemsOf(capture, mode, capture.defaultEntry))
    out.emplace_back(
        ds::platform::FromUtf16(ds::platform::ToUtf16(f.name, ds::platform::kCodePageUtf8), ds::platform::kCodePageGbk),
        ds::platform::FromUtf16(ds::platform::ToUtf16(f.value, ds::platform::kCodePageUtf8), ds::platform::kCodePageGbk));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  ds::AnalysisMode mode = data[0] & 1 ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  std::vector<const ds::Exporter*> exporters = ds::ExportersOf(mode);
  const ds::Exporter& exporter = *exporters[(data[0] >> 1) % exporters.size()];
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> pieces;
  for (size_t start = 0;;) {
    size_t end = rest.find('\x1F', start);
    pieces.push_back(rest.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  Pairs rows;
  std::vector<ds::Row> table;
  for (size_t i = 0; i < pieces.size(); i += 2) {
    std::string value = i + 1 < pieces.size() ? pieces[i + 1] : "";
    rows.emplace_back(pieces[i], value);
    table.push_back(ds::Row{{"1", pieces[i], value}});
  }
  ds::ExportTarget target{"https://h.example/p?q=1", "GET"};
  ds::Exported out = ds::Export(exporter, {table, mode, target});
  if (out.error) {
    if (out.error->empty() || !out.text.empty()) __builtin_trap();
    return 0;
  }
  for (ds::CaptureFormat format : {exporter.readBack, ds::CaptureFormat::kAuto}) {
    bool failed = false;
    if (ReadBack(out.text, format, mode, &failed) != rows || failed) __builtin_trap();
  }
  return 0;
}

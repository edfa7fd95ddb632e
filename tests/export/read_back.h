// An export read back as the program imports a capture: the GBK text made
// UTF-8, read by one reader (or recognised), its items made GBK again.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "export/exporters.h"
#include "platform/codepage.h"

namespace ds::test {

using Pairs = std::vector<std::pair<std::string, std::string>>;  // GBK, in order

struct ReadBack {
  CaptureKind kind = CaptureKind::kPlain;
  std::optional<Text> error;
  Pairs items;
};

inline std::string Utf8Of(std::string_view gbk) {
  return platform::FromUtf16(platform::ToUtf16(gbk, platform::kCodePageGbk), platform::kCodePageUtf8);
}

inline std::string GbkOf(std::string_view utf8) {
  return platform::FromUtf16(platform::ToUtf16(utf8, platform::kCodePageUtf8), platform::kCodePageGbk);
}

inline ReadBack ReadExport(std::string_view gbk, CaptureFormat format, AnalysisMode mode) {
  CaptureText source;
  source.utf8 = Utf8Of(gbk);
  Capture capture = ReadCapture(source, format, mode);
  ReadBack out{capture.kind, capture.error, {}};
  for (const Field& f : ItemsOf(capture, mode, capture.defaultEntry)) out.items.emplace_back(GbkOf(f.name), GbkOf(f.value));
  return out;
}

inline Pairs PairsOf(const std::vector<Row>& rows) {
  Pairs out;
  for (const Row& row : rows) out.emplace_back(row.Cell(1), row.Cell(2));
  return out;
}

inline std::vector<Row> RowsFrom(const Pairs& pairs) {
  std::vector<Row> rows;
  long long n = 0;
  for (const auto& [name, value] : pairs) rows.push_back(Row{{ToText(++n), name, value}});
  return rows;
}

}  // namespace ds::test

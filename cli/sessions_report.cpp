#include "cli/sessions_report.h"

#include <cstdio>
#include <tuple>

#include "cli/texts.h"
#include "cookies/texts.h"
#include "items/analysis_mode.h"
#include "items/sentence.h"
#include "platform/codepage.h"
#include "sessions/texts.h"

namespace cli {
namespace {

using ds::FillIn;
using ds::PairDiff;
using ds::PartDiff;
using ds::Text;

std::string Count(size_t n) { return std::to_string(n); }

Text ToGbkText(const std::string& utf8) {
  return ds::platform::FromUtf16(ds::platform::ToUtf16(utf8, ds::platform::kCodePageUtf8),
                                 ds::platform::kCodePageGbk);
}

ds::AnalysisMode ModeOf(bool httpMode) { return httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies; }

Text PairLine(size_t number, const PairDiff& d, bool httpMode) {
  char head[32];
  std::snprintf(head, sizeof head, "%4zu ", number);
  Text line = head + ds::PairVerdict(d) + "  " + d.method + " " + d.Where() + "  " + ds::PairStatus(d);
  Text differences = ds::PairDifferences(d, ModeOf(httpMode));
  return differences.empty() ? line : line + "  " + differences;
}

void AppendDetails(size_t number, const PairDiff& d, const std::vector<ds::MissingCookieWhy>& why, bool httpMode,
                   Text* out) {
  *out += "\r\n== " + std::to_string(number) + " " + d.method + " " + d.Where() + " ==\r\n";
  if (d.hostA + d.pathA != d.hostB + d.pathB) *out += "B: " + d.hostB + d.pathB + "\r\n";
  if (d.statusA != d.statusB)
    *out += "[" + Text(ds::sessions_texts::kPartStatus) + "] A " + ds::SideStatus(d, true) + "  B " +
            ds::SideStatus(d, false) + "\r\n";
  const char* valueSeparator = httpMode ? ": " : "=";
  for (const ds::PairPart& p : ds::PartsOf(d, ModeOf(httpMode))) {
    // Query parameters and Set-Cookie items are name=value in either mode.
    const char* separator = p.diff == &d.request ? valueSeparator : "=";
    const ds::ComparisonLists& l = p.diff->lists;
    auto rows = [&](const char* caption, const std::vector<ds::Row>& list) {
      if (list.empty()) return;
      *out += "[" + p.name + "] " + caption + " (" + Count(list.size()) + ")\r\n";
      for (const ds::Row& row : list) {
        if (list.data() == l.different.data()) {
          *out += "  A " + Text(row.Cell(1)) + separator + Text(row.Cell(2)) + "\r\n";
          *out += "  B " + Text(row.Cell(1)) + separator + Text(row.Cell(3)) + "\r\n";
        } else {
          *out += "  " + Text(row.Cell(1)) + separator + Text(row.Cell(2)) + "\r\n";
        }
      }
    };
    for (const Text& refused : p.diff->refused) *out += "[" + p.name + "] " + refused + "\r\n";
    rows(texts::kMissingInA, l.missingInSlot1);
    rows(texts::kMissingInB, l.missingInSlot2);
    rows(texts::kDifferentAB, l.different);
    if (p.diff->duplicates.empty()) continue;
    // The notes as Analyse writes them, then every item of each repeated
    // name whose items differ: the lists saw only the first.
    *out += "[" + p.name + "] " + texts::kDuplicatesHeading + "\r\n";
    for (const Text& note : ds::Split(p.diff->duplicates, "\r\n")) *out += "  " + note + "\r\n";
    for (const PartDiff::Repeat& r : p.diff->repeats) {
      for (const Text& v : r.valuesA) *out += "  A " + r.name + separator + v + "\r\n";
      for (const Text& v : r.valuesB) *out += "  B " + r.name + separator + v + "\r\n";
    }
  }
  if (why.empty()) return;
  *out += "[" + Text(ds::cookie_texts::kWhyHeading) + "] (" + Count(why.size()) + ")\r\n";
  for (const Text& line : ds::Split(ds::WhyLines(why), "\r\n"))
    if (!line.empty()) *out += "  " + line + "\r\n";
}

// JSON is written in UTF-8; every text here came from GBK, so a GBK
// document is the same one converted back.
void JsonString(std::string_view gbk, std::string* out) {
  AppendJsonString(ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, ds::platform::kCodePageGbk),
                                           ds::platform::kCodePageUtf8),
                   *out);
}

void JsonStringOrNull(bool present, std::string_view gbk, std::string* out) {
  if (present) JsonString(gbk, out);
  else out->append("null");
}

void JsonRows(const std::vector<ds::Row>& rows, size_t cells, std::string* out) {
  out->push_back('[');
  for (size_t i = 0; i < rows.size(); ++i) {
    out->append(i ? ", [" : "[");
    for (size_t c = 1; c <= cells; ++c) {
      if (c > 1) out->append(", ");
      JsonString(rows[i].Cell(c), out);
    }
    out->push_back(']');
  }
  out->push_back(']');
}

void JsonPart(const PartDiff& part, std::string* out) {
  out->append("{\"missing_in_slot1\": ");
  JsonRows(part.lists.missingInSlot1, 2, out);
  out->append(", \"missing_in_slot2\": ");
  JsonRows(part.lists.missingInSlot2, 2, out);
  out->append(", \"different\": ");
  JsonRows(part.lists.different, 3, out);
  out->append(", \"ignored\": [");
  for (size_t i = 0; i < part.ignored.size(); ++i) {
    if (i) out->append(", ");
    JsonString(part.ignored[i], out);
  }
  out->append("]");
  // Repeated names only where there are some: other parts read as before.
  if (!part.duplicates.empty()) {
    out->append(", \"duplicates\": ");
    JsonString(part.duplicates, out);
  }
  if (!part.repeats.empty()) {
    out->append(", \"repeats\": [");
    for (size_t i = 0; i < part.repeats.size(); ++i) {
      const PartDiff::Repeat& r = part.repeats[i];
      out->append(i ? ", {\"name\": " : "{\"name\": ");
      JsonString(r.name, out);
      for (auto [key, values] : {std::pair{"a", &r.valuesA}, std::pair{"b", &r.valuesB}}) {
        out->append(", \"").append(key).append("\": [");
        for (size_t k = 0; k < values->size(); ++k) {
          if (k) out->append(", ");
          JsonString((*values)[k], out);
        }
        out->push_back(']');
      }
      out->push_back('}');
    }
    out->push_back(']');
  }
  out->push_back('}');
}

void JsonWhy(const std::vector<ds::MissingCookieWhy>& why, std::string* out) {
  out->append("{");
  for (size_t i = 0; i < why.size(); ++i) {
    if (i) out->append(", ");
    AppendJsonString(why[i].name, *out);
    out->append(": {\"side\": \"").append(why[i].missingInA ? "a" : "b").append("\", \"reason\": \"");
    out->append(why[i].code).append("\", \"text\": ");
    JsonString(why[i].text, out);
    out->append("}");
  }
  out->append("}");
}

void JsonNumberOrNull(const std::optional<size_t>& index, std::string* out) {
  out->append(index ? std::to_string(*index + 1) : "null");
}

}  // namespace

std::vector<std::vector<ds::MissingCookieWhy>> WhyOfPairs(const std::vector<ds::HarEntry>& a,
                                                          const std::vector<ds::HarEntry>& b,
                                                          const std::vector<PairDiff>& pairs) {
  ds::ReplayedSession replayedA(a), replayedB(b);
  std::vector<std::vector<ds::MissingCookieWhy>> why(pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i)
    if (pairs[i].Paired()) why[i] = ds::WhyCookiesMissing(replayedA, *pairs[i].pair.a, replayedB, *pairs[i].pair.b);
  return why;
}

bool SessionsReport::HasDifferences() const {
  for (const PairDiff& d : pairs)
    if (!d.Same()) return true;
  return false;
}

std::string SessionsText(const SessionsReport& r, Encoding encoding) {
  Text out = FillIn(texts::kSessionsHeading, {{"a", ToGbkText(r.nameA)}, {"countA", Count(r.entriesA)},
                                              {"b", ToGbkText(r.nameB)}, {"countB", Count(r.entriesB)}}) +
             "\r\n";
  for (size_t i = 0; i < r.pairs.size(); ++i) out += PairLine(i + 1, r.pairs[i], r.httpMode) + "\r\n";
  for (size_t i = 0; i < r.pairs.size(); ++i)
    if (r.pairs[i].Paired() && !r.pairs[i].Same()) AppendDetails(i + 1, r.pairs[i], r.why[i], r.httpMode, &out);
  out += "\r\n" + ds::SessionsSummary(r.pairs) + "\r\n";
#ifndef _WIN32
  out = ds::Replace(out, "\r\n", "\n");
#endif
  return EncodeOutput(out, encoding);
}

std::string SessionsJson(const SessionsReport& r, Encoding encoding) {
  std::string out = "{\"mode\": \"";
  out.append(r.httpMode ? "http" : "cookies").append("\", \"volatile_preset\": true, \"a\": {\"file\": ");
  JsonString(ToGbkText(r.nameA), &out);
  out.append(", \"entries\": " + Count(r.entriesA) + "}, \"b\": {\"file\": ");
  JsonString(ToGbkText(r.nameB), &out);
  out.append(", \"entries\": " + Count(r.entriesB) + "},\n \"pairs\": [");
  for (size_t i = 0; i < r.pairs.size(); ++i) {
    const PairDiff& d = r.pairs[i];
    out.append(i ? ",\n  {\"a\": " : "\n  {\"a\": ");
    JsonNumberOrNull(d.pair.a, &out);
    out.append(", \"b\": ");
    JsonNumberOrNull(d.pair.b, &out);
    out.append(", \"method\": ");
    JsonString(d.method, &out);
    // Each side's host, path and status; null for a side that made no such request.
    const std::tuple<const char*, bool, const std::string*> sides[] = {
        {"host_a", d.pair.a.has_value(), &d.hostA},   {"host_b", d.pair.b.has_value(), &d.hostB},
        {"path_a", d.pair.a.has_value(), &d.pathA},   {"path_b", d.pair.b.has_value(), &d.pathB},
        {"status_a", d.pair.a.has_value(), &d.statusA}, {"status_b", d.pair.b.has_value(), &d.statusB}};
    for (const auto& [key, present, text] : sides) {
      out.append(", \"").append(key).append("\": ");
      JsonStringOrNull(present, *text, &out);
    }
    out.append(", \"same\": ").append(d.Same() ? "true" : "false");
    if (d.Paired()) {
      // What the request's items could not carry; the rest is compared.
      Text refused;
      for (const Text& r : d.request.refused) refused += (refused.empty() ? "" : "  ") + r;
      out.append(", \"error\": ");
      JsonStringOrNull(!refused.empty(), refused, &out);
      out.append(",\n   \"request\": ");
      JsonPart(d.request, &out);
      out.append(",\n   \"query\": ");
      JsonPart(d.query, &out);
      out.append(",\n   \"set_cookie\": ");
      JsonPart(d.setCookies, &out);
      out.append(",\n   \"why\": ");
      JsonWhy(r.why[i], &out);
    }
    out.push_back('}');
  }
  out.append("],\n \"summary\": ");
  JsonString(ds::SessionsSummary(r.pairs), &out);
  out.append("}\n");
  if (encoding == Encoding::kGbk) return ToGbkText(out);
  return out;
}

}  // namespace cli

#include "cli/jar_report.h"

#include <cstdio>

#include "cookies/jar_text.h"
#include "cookies/texts.h"
#include "items/sentence.h"
#include "platform/codepage.h"

namespace cli {
namespace {

namespace t = ds::cookie_texts;
using ds::platform::kCodePageGbk;
using ds::platform::kCodePageUtf8;

void AppendEscaped(std::u16string_view units, bool json, std::string& out) {
  char buffer[16];
  if (json) {
    for (char16_t u : units) {
      std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(u));
      out += buffer;
    }
    return;
  }
  unsigned cp = units[0];
  if (units.size() == 2) cp = 0x10000 + ((units[0] - 0xD800u) << 10) + (units[1] - 0xDC00u);
  std::snprintf(buffer, sizeof buffer, "\\u{%X}", cp);
  out += buffer;
}

void JsonStringOrNull(const std::optional<std::string>& utf8, std::string& out) {
  if (utf8) AppendJsonString(*utf8, out);
  else out += "null";
}

void JsonPairs(const std::vector<ds::JarCookie>& cookies, std::string& out) {
  out += '[';
  for (size_t i = 0; i < cookies.size(); ++i) {
    out += i ? ", [" : "[";
    AppendJsonString(cookies[i].name, out);
    out += ", ";
    AppendJsonString(cookies[i].value, out);
    out += ']';
  }
  out += ']';
}

std::string Finished(std::string utf8, Encoding encoding, bool json) {
#ifdef _WIN32
  if (!json) {
    std::string crlf;
    crlf.reserve(utf8.size() + utf8.size() / 16);
    for (char c : utf8) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    utf8.swap(crlf);
  }
#endif
  return Utf8Output(utf8, encoding, json);
}

}  // namespace

bool JarReport::HasDifferences() const {
  for (const ds::JarVerdict& v : verdicts)
    if (!v.differences.empty()) return true;
  return false;
}

std::string Utf8Output(std::string_view utf8, Encoding encoding, bool json) {
  if (encoding == Encoding::kUtf8) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    size_t start = i;
    while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80) ++i;
    out.append(utf8, start, i - start);
    start = i;
    while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) ++i;
    if (i == start) continue;
    std::u16string units = ds::platform::ToUtf16(utf8.substr(start, i - start), kCodePageUtf8);
    bool lost = false;
    std::string run = ds::platform::FromUtf16(units, kCodePageGbk, &lost);
    if (!lost) {
      out += run;
      continue;
    }
    // Character by character, only for the run that holds the missing one.
    for (size_t k = 0; k < units.size();) {
      size_t n = units[k] >= 0xD800 && units[k] < 0xDC00 && k + 1 < units.size() ? 2 : 1;
      std::u16string_view one(units.data() + k, n);
      bool missing = false;
      std::string gbk = ds::platform::FromUtf16(one, kCodePageGbk, &missing);
      if (missing) AppendEscaped(one, json, out);
      else out += gbk;
      k += n;
    }
  }
  return out;
}

std::string JarText(const JarReport& r, Encoding encoding) {
  ds::Utf8Texts utf8;
  // The file's name is UTF-8 already: it goes in after the conversion.
  std::string out = utf8(ds::FillIn(t::kJarHeading, {{"file", "\x01"}, {"count", std::to_string(r.entryCount)}}));
  if (size_t blank = out.find('\x01'); blank != std::string::npos) out.replace(blank, 1, r.name);
  out += "\n";
  size_t different = 0;
  for (const ds::JarVerdict& v : r.verdicts) {
    ds::AppendJarBlock(v, utf8, out);
    if (!v.differences.empty()) ++different;
  }
  out += "\n" + utf8(ds::FillIn(t::kJarSummary, {{"count", std::to_string(r.verdicts.size())},
                                                 {"different", std::to_string(different)}})) + "\n";
  return Finished(std::move(out), encoding, false);
}

std::string JarJson(const JarReport& r, Encoding encoding) {
  ds::Utf8Texts utf8;
  std::string out = "{\"entries\": [";
  for (size_t i = 0; i < r.verdicts.size(); ++i) {
    const ds::JarVerdict& v = r.verdicts[i];
    out += i ? ",\n  {\"entry\": " : "\n  {\"entry\": ";
    out += std::to_string(v.entry) + ", \"method\": ";
    AppendJsonString(v.method, out);
    out += ", \"url\": ";
    AppendJsonString(v.url, out);
    out += ", \"site\": ";
    out += v.site.crossSite ? "\"cross-site\"" : "\"same-site\"";
    if (v.timeMissing) out += ", \"time_missing\": true";
    out += ",\n   \"sent\": ";
    JsonPairs(v.sent, out);
    out += ", \"expected\": ";
    JsonPairs(v.expected, out);
    out += ",\n   \"differences\": [";
    for (size_t k = 0; k < v.differences.size(); ++k) {
      const ds::JarDifference& d = v.differences[k];
      out += k ? ", {\"name\": " : "{\"name\": ";
      AppendJsonString(d.name, out);
      out += ", \"kind\": \"" + std::string(ds::DifferenceCode(d.kind)) + "\", \"sent\": ";
      JsonStringOrNull(d.sent, out);
      out += ", \"expected\": ";
      JsonStringOrNull(d.expected, out);
      out += ", \"text\": ";
      AppendJsonString(utf8(d.text), out);
      out += '}';
    }
    out += "],\n   \"withheld\": [";
    for (size_t k = 0; k < v.withheld.size(); ++k) {
      const ds::JarWithheld& w = v.withheld[k];
      out += k ? ", {\"name\": " : "{\"name\": ";
      AppendJsonString(w.name, out);
      out += ", \"reason\": \"" + std::string(ds::RuleCode(w.rule)) + "\", \"text\": ";
      AppendJsonString(utf8(w.text), out);
      out += '}';
    }
    out += "],\n   \"rejected\": [";
    for (size_t k = 0; k < v.rejected.size(); ++k) {
      const ds::JarRejected& x = v.rejected[k];
      out += k ? ", {\"name\": " : "{\"name\": ";
      AppendJsonString(x.name, out);
      out += ", \"reason\": \"" + std::string(ds::RuleCode(x.rule)) + "\", \"text\": ";
      AppendJsonString(utf8(x.text), out);
      out += ", \"line\": ";
      AppendJsonString(x.line, out);
      out += '}';
    }
    out += "]}";
  }
  out += "]}\n";
  return Finished(std::move(out), encoding, true);
}

}  // namespace cli

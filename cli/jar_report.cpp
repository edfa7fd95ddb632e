#include "cli/jar_report.h"

#include <cstdio>
#include <unordered_map>

#include "cookies/texts.h"
#include "items/sentence.h"
#include "platform/codepage.h"

namespace cli {
namespace {

namespace t = ds::cookie_texts;
using ds::platform::kCodePageGbk;
using ds::platform::kCodePageUtf8;

// The fixed sentences repeat from request to request: each is put through
// the code page once.
class Utf8Texts {
 public:
  const std::string& operator()(const std::string& gbk) {
    auto found = known_.find(gbk);
    if (found != known_.end()) return found->second;
    return known_[gbk] = ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, kCodePageGbk), kCodePageUtf8);
  }

 private:
  std::unordered_map<std::string, std::string> known_;
};

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

void JsonString(std::string_view utf8, std::string& out) {
  out.push_back('"');
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out.append(escaped);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back('"');
}

void JsonStringOrNull(const std::optional<std::string>& utf8, std::string& out) {
  if (utf8) JsonString(*utf8, out);
  else out += "null";
}

void JsonPairs(const std::vector<ds::JarCookie>& cookies, std::string& out) {
  out += '[';
  for (size_t i = 0; i < cookies.size(); ++i) {
    out += i ? ", [" : "[";
    JsonString(cookies[i].name, out);
    out += ", ";
    JsonString(cookies[i].value, out);
    out += ']';
  }
  out += ']';
}

std::string CookieLine(const std::vector<ds::JarCookie>& cookies) {
  std::string line;
  for (const ds::JarCookie& c : cookies) {
    if (!line.empty()) line += "; ";
    line += c.name.empty() ? c.value : c.name + "=" + c.value;
  }
  return line;
}

std::string SiteText(const ds::RequestSite& site, Utf8Texts& utf8) {
  const char* word = site.crossSite ? t::kSiteCross : t::kSiteSame;
  static const char* const kHeaders[] = {"Sec-Fetch-Site", "Origin", "Referer"};
  if (site.source == ds::SiteSource::kAssumed) return utf8(ds::FillIn(t::kSiteAssumed, {{"site", word}}));
  return utf8(ds::FillIn(t::kSiteFromHeader, {{"site", word}, {"header", kHeaders[static_cast<int>(site.source)]}}));
}

void AppendBlock(const ds::JarVerdict& v, Utf8Texts& utf8, std::string& out) {
  out += "\n== " + std::to_string(v.entry) + " " + v.method + " " + v.url + "  " + SiteText(v.site, utf8) + " ==\n";
  if (v.timeMissing) out += utf8(t::kTimeMissing) + "\n";
  out += utf8(t::kJarSent) + ": " + CookieLine(v.sent) + "\n";
  out += utf8(t::kJarExpected) + ": " + CookieLine(v.expected) + "\n";
  auto heading = [&](const char* caption, size_t count) {
    out += utf8(caption) + " (" + std::to_string(count) + ")\n";
  };
  if (!v.differences.empty()) heading(t::kJarDifferences, v.differences.size());
  for (const ds::JarDifference& d : v.differences) {
    out += "  " + d.name + "  " + std::string(ds::DifferenceCode(d.kind)) + "  " + utf8(d.text) + "\n";
    if (d.sent) out += "    -> " + d.name + "=" + *d.sent + "\n";
    if (d.expected) out += "    <- " + d.name + "=" + *d.expected + "\n";
  }
  if (!v.withheld.empty()) heading(t::kJarWithheld, v.withheld.size());
  for (const ds::JarWithheld& w : v.withheld)
    out += "  " + w.name + "  " + std::string(ds::RuleCode(w.rule)) + "  " + utf8(w.text) + "\n";
  if (!v.rejected.empty()) heading(t::kJarRejected, v.rejected.size());
  for (const ds::JarRejected& r : v.rejected) {
    out += "  " + r.name + "  " + std::string(ds::RuleCode(r.rule)) + "  " + utf8(r.text) + "\n";
    out += "    Set-Cookie: " + r.line + "\n";
  }
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
  Utf8Texts utf8;
  // The file's name is UTF-8 already: it goes in after the conversion.
  std::string out = utf8(ds::FillIn(t::kJarHeading, {{"file", "\x01"}, {"count", std::to_string(r.entryCount)}}));
  if (size_t blank = out.find('\x01'); blank != std::string::npos) out.replace(blank, 1, r.name);
  out += "\n";
  size_t different = 0;
  for (const ds::JarVerdict& v : r.verdicts) {
    AppendBlock(v, utf8, out);
    if (!v.differences.empty()) ++different;
  }
  out += "\n" + utf8(ds::FillIn(t::kJarSummary, {{"count", std::to_string(r.verdicts.size())},
                                                 {"different", std::to_string(different)}})) + "\n";
  return Finished(std::move(out), encoding, false);
}

std::string JarJson(const JarReport& r, Encoding encoding) {
  Utf8Texts utf8;
  std::string out = "{\"entries\": [";
  for (size_t i = 0; i < r.verdicts.size(); ++i) {
    const ds::JarVerdict& v = r.verdicts[i];
    out += i ? ",\n  {\"entry\": " : "\n  {\"entry\": ";
    out += std::to_string(v.entry) + ", \"method\": ";
    JsonString(v.method, out);
    out += ", \"url\": ";
    JsonString(v.url, out);
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
      JsonString(d.name, out);
      out += ", \"kind\": \"" + std::string(ds::DifferenceCode(d.kind)) + "\", \"sent\": ";
      JsonStringOrNull(d.sent, out);
      out += ", \"expected\": ";
      JsonStringOrNull(d.expected, out);
      out += ", \"text\": ";
      JsonString(utf8(d.text), out);
      out += '}';
    }
    out += "],\n   \"withheld\": [";
    for (size_t k = 0; k < v.withheld.size(); ++k) {
      const ds::JarWithheld& w = v.withheld[k];
      out += k ? ", {\"name\": " : "{\"name\": ";
      JsonString(w.name, out);
      out += ", \"reason\": \"" + std::string(ds::RuleCode(w.rule)) + "\", \"text\": ";
      JsonString(utf8(w.text), out);
      out += '}';
    }
    out += "],\n   \"rejected\": [";
    for (size_t k = 0; k < v.rejected.size(); ++k) {
      const ds::JarRejected& x = v.rejected[k];
      out += k ? ", {\"name\": " : "{\"name\": ";
      JsonString(x.name, out);
      out += ", \"reason\": \"" + std::string(ds::RuleCode(x.rule)) + "\", \"text\": ";
      JsonString(utf8(x.text), out);
      out += ", \"line\": ";
      JsonString(x.line, out);
      out += '}';
    }
    out += "]}";
  }
  out += "]}\n";
  return Finished(std::move(out), encoding, true);
}

}  // namespace cli

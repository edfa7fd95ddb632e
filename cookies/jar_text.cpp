#include "cookies/jar_text.h"

#include "cookies/texts.h"
#include "import/capture.h"
#include "items/sentence.h"
#include "platform/codepage.h"

namespace ds {
namespace {

namespace t = cookie_texts;

std::string CookieLine(const std::vector<JarCookie>& cookies) {
  std::string line;
  for (const JarCookie& c : cookies) {
    if (!line.empty()) line += "; ";
    line += c.name.empty() ? c.value : c.name + "=" + c.value;
  }
  return line;
}

std::string SiteText(const RequestSite& site, Utf8Texts& utf8) {
  const char* word = site.crossSite ? t::kSiteCross : t::kSiteSame;
  static const char* const kHeaders[] = {"Sec-Fetch-Site", "Origin", "Referer"};
  if (site.source == SiteSource::kAssumed) return utf8(FillIn(t::kSiteAssumed, {{"site", word}}));
  return utf8(FillIn(t::kSiteFromHeader, {{"site", word}, {"header", kHeaders[static_cast<int>(site.source)]}}));
}

}  // namespace

const std::string& Utf8Texts::operator()(const std::string& gbk) {
  auto found = known_.find(gbk);
  if (found != known_.end()) return found->second;
  return known_[gbk] = platform::FromUtf16(platform::ToUtf16(gbk, platform::kCodePageGbk), platform::kCodePageUtf8);
}

void AppendJarBlock(const JarVerdict& v, Utf8Texts& utf8, std::string& out) {
  out += "\n== " + std::to_string(v.entry) + " " + v.method + " " + v.url + "  " + SiteText(v.site, utf8) + " ==\n";
  if (v.timeMissing) out += utf8(t::kTimeMissing) + "\n";
  out += utf8(t::kJarSent) + ": " + CookieLine(v.sent) + "\n";
  out += utf8(t::kJarExpected) + ": " + CookieLine(v.expected) + "\n";
  auto heading = [&](const char* caption, size_t count) {
    out += utf8(caption) + " (" + std::to_string(count) + ")\n";
  };
  if (!v.differences.empty()) heading(t::kJarDifferences, v.differences.size());
  for (const JarDifference& d : v.differences) {
    out += "  " + d.name + "  " + std::string(DifferenceCode(d.kind)) + "  " + utf8(d.text) + "\n";
    if (d.sent) out += "    -> " + d.name + "=" + *d.sent + "\n";
    if (d.expected) out += "    <- " + d.name + "=" + *d.expected + "\n";
  }
  if (!v.withheld.empty()) heading(t::kJarWithheld, v.withheld.size());
  for (const JarWithheld& w : v.withheld)
    out += "  " + w.name + "  " + std::string(RuleCode(w.rule)) + "  " + utf8(w.text) + "\n";
  if (!v.rejected.empty()) heading(t::kJarRejected, v.rejected.size());
  for (const JarRejected& r : v.rejected) {
    out += "  " + r.name + "  " + std::string(RuleCode(r.rule)) + "  " + utf8(r.text) + "\n";
    out += "    Set-Cookie: " + r.line + "\n";
  }
}

Text JarBlockForWindow(const JarVerdict& v) {
  Utf8Texts utf8;
  std::string block;
  AppendJarBlock(v, utf8, block);
  // A value's control bytes and the characters GBK lacks show as escapes.
  Text out;
  for (std::string_view line : Split(block.substr(1), "\n")) {
    if (line.empty()) continue;
    out += NameForMessage(line) + "\r\n";
  }
  return out;
}

Text ChooserLine(const HarEntry& entry, const JarVerdict& v) {
  return FillIn(t::kChooserLine, {{"caption", EntryCaption(entry)}, {"count", std::to_string(v.differences.size())}});
}

}  // namespace ds

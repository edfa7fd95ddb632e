#include "cookies/session_why.h"

#include <unordered_set>

#include "cookies/cookie_url.h"
#include "cookies/public_suffix.h"
#include "cookies/texts.h"
#include "import/capture.h"
#include "items/sentence.h"

namespace ds {
namespace {

namespace t = cookie_texts;

bool IsSetCookie(const Field& f) { return f.name.size() == 10 && ToLowerAscii(f.name) == "set-cookie"; }

std::string SiteOfUrl(const std::string& url) { return SiteOfHost(ParseCookieUrl(url).host); }

}  // namespace

void ReplayedSession::Replay() const {
  verdicts_ = ReplayCookies(entries_);
  for (size_t i = 0; i < entries_.size(); ++i)
    for (const Field& f : entries_[i].response.headers)
      if (IsSetCookie(f)) {
        std::vector<size_t>& setters = setters_[SetCookieName(f.value)];
        if (setters.empty() || setters.back() != i) setters.push_back(i);
      }
}

ReplayedSession::Why ReplayedSession::WhyNotSent(size_t entry, const std::string& name) const {
  if (!verdicts_) Replay();
  const std::vector<JarVerdict>& verdicts = *verdicts_;
  const JarVerdict& v = verdicts[entry];
  for (const JarWithheld& w : v.withheld)
    if (w.name == name) return {RuleCode(w.rule), w.text};
  for (const JarDifference& d : v.differences)
    if (d.name == name && d.kind == CookieDifference::kNotSent) return {DifferenceCode(d.kind), d.text};
  // The last response before this request, in replay order, that tried to
  // set it for this site: refused there, or set and since gone.
  std::optional<size_t> last;
  auto before = [&](size_t k, size_t than) {
    return verdicts[k].timeMs < verdicts[than].timeMs || (verdicts[k].timeMs == verdicts[than].timeMs && k < than);
  };
  if (auto found = setters_.find(name); found != setters_.end()) {
    std::string site = SiteOfUrl(v.url);
    for (size_t k : found->second)
      if (before(k, entry) && (!last || before(*last, k)) && SiteOfUrl(entries_[k].request.url) == site) last = k;
  }
  if (!last) return {"never-set", FillIn(t::kReasonNoOrigin, {{"rule", t::kRuleNeverSet}, {"sentence", t::kNeverSetWhy}})};
  for (const JarRejected& r : verdicts[*last].rejected)
    if (r.name == name) return {RuleCode(r.rule), r.text};
  return {"gone", FillIn(t::kReasonSetBy, {{"rule", t::kRuleGone}, {"sentence", t::kGoneDifference},
                                           {"entry", std::to_string(*last + 1)}})};
}

std::vector<MissingCookieWhy> WhyCookiesMissing(const ReplayedSession& a, size_t entryA, const ReplayedSession& b,
                                                size_t entryB) {
  std::vector<JarCookie> sentA = CookiesSent(a.Entry(entryA).request), sentB = CookiesSent(b.Entry(entryB).request);
  std::unordered_set<std::string> namesA, namesB;
  for (const JarCookie& c : sentA) namesA.insert(c.name);
  for (const JarCookie& c : sentB) namesB.insert(c.name);
  std::vector<MissingCookieWhy> out;
  auto lacking = [&](const std::vector<JarCookie>& sent, const std::unordered_set<std::string>& other,
                     const ReplayedSession& side, size_t entry, bool missingInA) {
    std::unordered_set<std::string> told;
    for (const JarCookie& c : sent) {
      if (other.count(c.name) || !told.insert(c.name).second) continue;
      ReplayedSession::Why why = side.WhyNotSent(entry, c.name);
      out.push_back({c.name, missingInA, why.code, std::move(why.text)});
    }
  };
  lacking(sentB, namesA, a, entryA, true);
  lacking(sentA, namesB, b, entryB, false);
  return out;
}

Text WhyHeading(size_t count) { return Text(t::kWhyHeading) + " (" + std::to_string(count) + ")\r\n"; }

Text WhyLines(const std::vector<MissingCookieWhy>& why) {
  Text out;
  for (const MissingCookieWhy& w : why)
    out += FillIn(t::kWhyLine, {{"side", w.missingInA ? "A" : "B"}, {"name", NameForMessage(w.name)}, {"reason", w.text}}) +
           "\r\n";
  return out;
}

}  // namespace ds

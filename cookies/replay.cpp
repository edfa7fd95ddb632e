#include "cookies/replay.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "cookies/cookie_date.h"
#include "cookies/cookie_store.h"
#include "cookies/set_cookie.h"

namespace ds {
namespace {

bool IsHeader(const Field& f, std::string_view lowerName) {
  if (f.name.size() != lowerName.size()) return false;
  for (size_t i = 0; i < lowerName.size(); ++i) {
    char c = f.name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lowerName[i]) return false;
  }
  return true;
}

// Reads `count` digits at `i`.
bool Fixed(std::string_view t, size_t& i, size_t count, int* value) {
  if (i + count > t.size()) return false;
  int v = 0;
  for (size_t k = 0; k < count; ++k) {
    char c = t[i + k];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  i += count;
  *value = v;
  return true;
}

bool Expect(std::string_view t, size_t& i, char c) {
  if (i >= t.size() || t[i] != c) return false;
  ++i;
  return true;
}

// Each entry's time: its own, or the previous entry's in file order (the
// first readable one for those before it).
std::vector<int64_t> EntryTimes(const std::vector<HarEntry>& entries, std::vector<bool>* missing) {
  std::vector<std::optional<int64_t>> own(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].startedDateTime) own[i] = ParseHarTime(*entries[i].startedDateTime);
  int64_t previous = 0;
  for (const auto& t : own)
    if (t) {
      previous = *t;
      break;
    }
  std::vector<int64_t> times(entries.size());
  missing->assign(entries.size(), false);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (own[i]) previous = *own[i];
    else (*missing)[i] = true;
    times[i] = previous;
  }
  return times;
}

// Pairs what was sent with what the store would send, name by name: equal
// values first, then what is left of each name as a changed value, then the
// rest on either side.
void Differences(const CookieStore& store, const CookieRequest& request, const CookieLookup& lookup,
                 JarVerdict& v) {
  std::unordered_map<std::string_view, std::vector<size_t>> sentByName;
  for (size_t i = 0; i < v.sent.size(); ++i) sentByName[v.sent[i].name].push_back(i);
  std::vector<bool> sentUsed(v.sent.size()), expectedUsed(lookup.sent.size());
  for (size_t e = 0; e < lookup.sent.size(); ++e) {
    auto found = sentByName.find(lookup.sent[e]->name);
    if (found == sentByName.end()) continue;
    for (size_t s : found->second)
      if (!sentUsed[s] && v.sent[s].value == lookup.sent[e]->value) {
        sentUsed[s] = expectedUsed[e] = true;
        break;
      }
  }
  for (size_t e = 0; e < lookup.sent.size(); ++e) {
    if (expectedUsed[e]) continue;
    const StoredCookie& c = *lookup.sent[e];
    JarDifference d{c.name, CookieDifference::kNotSent, std::nullopt, c.value, {}};
    if (auto found = sentByName.find(c.name); found != sentByName.end()) {
      for (size_t s : found->second)
        if (!sentUsed[s]) {
          sentUsed[s] = true;
          d.kind = CookieDifference::kValue;
          d.sent = v.sent[s].value;
          break;
        }
    }
    d.text = DifferenceText(d.kind, c.setBy);
    v.differences.push_back(std::move(d));
  }
  for (size_t s = 0; s < v.sent.size(); ++s) {
    if (sentUsed[s]) continue;
    const JarCookie& c = v.sent[s];
    JarDifference d{c.name, CookieDifference::kUnknownOrigin, c.value, std::nullopt, {}};
    auto withheld = std::find_if(lookup.withheld.begin(), lookup.withheld.end(),
                                 [&](const WithheldCookie& w) { return w.cookie->name == c.name; });
    if (withheld != lookup.withheld.end()) {
      d.kind = CookieDifference::kNotExpected;
      d.text = DifferenceText(d.kind, withheld->cookie->setBy, withheld->rule, withheld->detail);
    } else if (size_t setBy = store.LastSetBy(request.url.host, c.name)) {
      d.kind = CookieDifference::kNotExpected;
      d.text = DifferenceText(d.kind, setBy);
    } else {
      d.text = DifferenceText(d.kind, 0);
    }
    v.differences.push_back(std::move(d));
  }
}

// The same few reasons recur for every request: each sentence is filled in once.
class RuleTexts {
 public:
  const Text& operator()(CookieRule rule, RuleDetail detail, size_t entry) {
    uint64_t key = (static_cast<uint64_t>(entry) << 16) | (static_cast<uint64_t>(rule) << 8) |
                   static_cast<uint64_t>(detail);
    auto found = known_.find(key);
    if (found != known_.end()) return found->second;
    return known_.emplace(key, RuleText(rule, detail, entry)).first->second;
  }

 private:
  std::unordered_map<uint64_t, Text> known_;
};

}  // namespace

std::string SetCookieName(std::string_view line) {
  std::string_view pair = line.substr(0, line.find(';'));
  size_t eq = pair.find('=');
  return eq == std::string_view::npos ? std::string() : std::string(TrimWsp(pair.substr(0, eq)));
}

std::optional<int64_t> ParseHarTime(std::string_view t) {
  size_t i = 0;
  int year, month, day, hour, minute, second = 0;
  if (!Fixed(t, i, 4, &year) || !Expect(t, i, '-') || !Fixed(t, i, 2, &month) || !Expect(t, i, '-') ||
      !Fixed(t, i, 2, &day) || !(Expect(t, i, 'T') || Expect(t, i, ' ')) || !Fixed(t, i, 2, &hour) ||
      !Expect(t, i, ':') || !Fixed(t, i, 2, &minute))
    return std::nullopt;
  if (i < t.size() && t[i] == ':' && !(Expect(t, i, ':') && Fixed(t, i, 2, &second))) return std::nullopt;
  int64_t ms = 0;
  if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
    ++i;
    size_t start = i;
    int64_t scale = 100;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, scale /= 10) ms += (t[i] - '0') * scale;
    if (i == start) return std::nullopt;
  }
  int64_t offsetMinutes = 0;
  if (i < t.size() && (t[i] == 'Z' || t[i] == 'z')) {
    ++i;
  } else if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    int sign = t[i++] == '-' ? -1 : 1;
    int oh, om = 0;
    if (!Fixed(t, i, 2, &oh)) return std::nullopt;
    if (i < t.size() && t[i] == ':') ++i;
    if (i < t.size() && !Fixed(t, i, 2, &om)) return std::nullopt;
    if (oh > 23 || om > 59) return std::nullopt;
    offsetMinutes = sign * (oh * 60 + om);
  }
  if (i != t.size()) return std::nullopt;
  static const int kDaysIn[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDaysIn[month - 1] || hour > 23 || minute > 59 || second > 60)
    return std::nullopt;
  int64_t seconds = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
                    hour * 3600 + minute * 60 + second - offsetMinutes * 60;
  return seconds * 1000 + ms;
}

std::vector<JarCookie> CookiesSent(const HttpMessage& request) {
  std::vector<JarCookie> out;
  for (const Field& f : request.headers) {
    if (!IsHeader(f, "cookie")) continue;
    std::string_view rest = f.value;
    while (!rest.empty()) {
      size_t end = std::min(rest.find(';'), rest.size());
      std::string_view piece = TrimWsp(rest.substr(0, end));
      rest.remove_prefix(std::min(end + 1, rest.size()));
      if (piece.empty()) continue;
      size_t eq = piece.find('=');
      if (eq == std::string_view::npos) out.push_back({"", std::string(piece)});
      else out.push_back({std::string(TrimWsp(piece.substr(0, eq))), std::string(TrimWsp(piece.substr(eq + 1)))});
    }
  }
  if (out.empty())
    for (const Field& f : request.cookieRecords) out.push_back({f.name, f.value});
  return out;
}

std::vector<JarVerdict> ReplayCookies(const std::vector<HarEntry>& entries) {
  std::vector<bool> missing;
  std::vector<int64_t> times = EntryTimes(entries, &missing);
  std::vector<size_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return times[a] < times[b]; });

  std::vector<JarVerdict> verdicts(entries.size());
  CookieStore store;
  RuleTexts texts;
  for (size_t i : order) {
    const HarEntry& e = entries[i];
    JarVerdict& v = verdicts[i];
    v.entry = i + 1;
    v.method = e.request.method;
    v.url = e.request.url;
    v.timeMissing = missing[i];
    v.timeMs = times[i];

    CookieRequest request;
    request.url = ParseCookieUrl(e.request.url);
    request.nowMs = times[i];
    request.entry = i + 1;
    request.topLevelNavigation = IsTopLevelNavigation(e.request);
    request.safeMethod = IsSafeMethod(e.request.method);
    v.site = SiteOfRequest(e.request, request.url);
    request.crossSite = v.site.crossSite;

    CookieLookup lookup = store.Lookup(request);
    v.sent = CookiesSent(e.request);
    for (const StoredCookie* c : lookup.sent) v.expected.push_back({c->name, c->value});
    Differences(store, request, lookup, v);
    for (const WithheldCookie& w : lookup.withheld)
      v.withheld.push_back({w.cookie->name, w.rule, texts(w.rule, w.detail, w.cookie->setBy)});

    for (const Field& f : e.response.headers) {
      if (!IsHeader(f, "set-cookie")) continue;
      StoreResult r = store.Store(ParseSetCookie(f.value), request);
      if (r.refused != CookieRule::kNone)
        v.rejected.push_back({SetCookieName(f.value), r.refused, texts(r.refused, r.detail, i + 1), f.value});
    }
  }
  return verdicts;
}

}  // namespace ds

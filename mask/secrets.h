// What counts as secret in a capture and how it is masked where it travels:
// cookie headers, Set-Cookie lines, authorisation headers, URLs, form bodies,
// and JWTs wherever they appear. Everything here works on UTF-8 text, as a
// HAR holds it; what is not secret comes back byte for byte.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compare/ignore_list.h"
#include "mask/mask.h"

namespace ds {

// Values masked so far, of 6 bytes or more, with their stand-ins: a last
// pass finds them wherever else a capture repeats them.
struct MaskedValues {
  std::unordered_map<std::string, std::string> standIns;
};

// The key and the user's adjustments: --keep NAME leaves a name's value as
// it is, --mask NAME masks it too (patterns with * and ?, letter case
// ignored; --mask wins where both match).
class SecretRule {
 public:
  SecretRule(std::string key, const std::vector<std::string>& keep, const std::vector<std::string>& mask);

  // Whether the value of a header, cookie or parameter of this name is
  // masked whole: a mask pattern, or a name that looks like a credential
  // and no keep pattern.
  bool IsSecretName(std::string_view name) const;
  // A keep pattern names it and no mask pattern does.
  bool IsKept(std::string_view name) const;
  bool IsMaskedByPattern(std::string_view name) const;

  // The stand-in, or the value itself when it is empty or a stand-in already.
  std::string Mask(std::string_view value) const;

  // From now on every value masked is noted there too.
  void RecordInto(MaskedValues* values) { recorded_ = values; }

 private:
  bool Matches(const IgnoreMatcher& matcher, std::string_view name) const;

  std::string key_;
  IgnoreMatcher keep_, mask_;
  MaskedValues* recorded_ = nullptr;
};

// token, session, sid, auth, key, secret, password, passwd, code, ticket,
// csrf, xsrf, jwt or signature inside the name, in any letter case.
bool LooksLikeCredentialName(std::string_view name);

// Every JWT-shaped run in `text` masked; in a URL the stand-in is
// percent-encoded.
std::string MaskJwts(std::string_view text, const SecretRule& rule, bool inUrl);

// "a=1; b=2": each cookie's value (a kept name's excepted).
std::string MaskCookieHeader(std::string_view value, const SecretRule& rule);
// One or more Set-Cookie lines: the cookie's value only, the attributes
// (Path, Domain, Expires…) stay readable.
std::string MaskSetCookie(std::string_view value, const SecretRule& rule);
// "a=1&token=x" of a URL or a form body: secret names' values masked (and
// percent-encoded when `inUrl`), JWTs in the others.
std::string MaskQuery(std::string_view query, const SecretRule& rule, bool inUrl);
// A URL stays a URL: its query and fragment as MaskQuery, JWTs in its path.
std::string MaskUrl(std::string_view url, const SecretRule& rule);

// A request or response body: a form's secret fields (by its MIME type, or
// by its shape when none is known), and JWTs in any body.
std::string MaskBody(std::string_view text, std::string_view mimeType, const SecretRule& rule);

// Every byte but letters, digits, "-._~:" as %XX: how a stand-in or a
// secret stands in a URL or a form body.
std::string PercentEncoded(std::string_view s);

// A header's value by its name: cookies, Set-Cookie, Authorization (the
// scheme stays), credential-like names, URLs in Referer, Location and :path,
// and JWTs in any other.
std::string MaskHeaderValue(std::string_view name, std::string_view value, const SecretRule& rule);

}  // namespace ds

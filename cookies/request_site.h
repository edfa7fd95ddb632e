// Whether a recorded request was same-site or cross-site, and whether it was
// a top-level navigation, from the headers the browser sent with it.
#pragma once

#include "cookies/cookie_url.h"
#include "import/capture.h"

namespace ds {

// Where the verdict came from, strongest first.
enum class SiteSource { kSecFetchSite, kOrigin, kReferer, kAssumed };

struct RequestSite {
  bool crossSite = false;
  SiteSource source = SiteSource::kAssumed;
};

// Sec-Fetch-Site when sent; else the Origin (or else the Referer) against the
// request's own scheme and registrable domain; else first-party.
RequestSite SiteOfRequest(const HttpMessage& request, const CookieUrl& url);

// Sec-Fetch-Dest: document, or Sec-Fetch-Mode: navigate without a frame as
// its destination.
bool IsTopLevelNavigation(const HttpMessage& request);

bool IsSafeMethod(std::string_view method);

// A header's value, its name matched without letter case; the first of
// several.
const std::string* HeaderOf(const HttpMessage& message, std::string_view name);

}  // namespace ds

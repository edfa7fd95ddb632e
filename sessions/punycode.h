// Punycode (RFC 3492): the letters of an internationalised host name label
// written in ASCII, as a URL's "xn--" labels carry them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ds {

// The code points of one label written without its "xn--"; none for text
// that is no Punycode (a stray character, a cut-off number, an overflow, a
// code point beyond Unicode).
std::optional<std::u32string> PunycodeDecode(std::string_view ascii);

}  // namespace ds

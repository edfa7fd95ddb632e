// Public suffixes ("com.cn", "github.io") and registrable domains, from the
// public suffix list that both programs carry (Debian's publicsuffix package,
// turned into a table at build time by scripts/psl_table.py).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ds {

// The list's rules, sorted by bytes: "com.cn", "*.mm", "!www.ck"; labels
// beyond ASCII both as written (UTF-8) and in their "xn--" form.
std::span<const std::string_view> PublicSuffixRules();

// Hosts and domains here are lower case, without a leading dot.
bool IsPublicSuffix(std::string_view domain);

// The public suffix plus one label ("www.example.com.cn" → "example.com.cn");
// none for a public suffix itself, an empty label or a leading dot. Letters
// are lowered first.
std::optional<std::string> RegistrableDomain(std::string_view host);

// A host's site as cookies see it: its registrable domain, or the host
// itself where it has none (an IP address, a public suffix, "localhost").
std::string SiteOfHost(std::string_view host);

// A dotted IPv4 address or a bracketed IPv6 one.
bool IsIpAddress(std::string_view host);

}  // namespace ds

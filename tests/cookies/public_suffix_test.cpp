#include "cookies/public_suffix.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace app::data {
extern const uint8_t kTestPsl[];
extern const size_t kTestPslSize;
}  // namespace app::data

namespace ds {
namespace {

// The argument of checkPublicSuffix at `at`: a quoted text, or null.
std::optional<std::string> Argument(const std::string& line, size_t& at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == ',' || line[at] == '(')) ++at;
  if (line.compare(at, 4, "null") == 0) {
    at += 4;
    return std::nullopt;
  }
  size_t close = line.find('\'', at + 1);
  std::string text = line.substr(at + 1, close - at - 1);
  at = close + 1;
  return text;
}

// The public suffix package's own cases: the registrable domain of each
// input, or none. A commented-out case is not run, as the package means.
TEST(PublicSuffix, PackageTestCases) {
  std::string all(reinterpret_cast<const char*>(app::data::kTestPsl), app::data::kTestPslSize);
  size_t cases = 0;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    start = end + 1;
    if (line.rfind("checkPublicSuffix(", 0) != 0) continue;
    size_t at = line.find('(');
    std::optional<std::string> input = Argument(line, at);
    std::optional<std::string> expected = Argument(line, at);
    if (!input) continue;  // a null input has no C++ counterpart
    ++cases;
    EXPECT_EQ(RegistrableDomain(*input), expected) << line;
  }
  EXPECT_GE(cases, 70u);
}

TEST(PublicSuffix, SuffixesAsDomains) {
  struct Case {
    const char* domain;
    bool suffix;
  } cases[] = {
      {"com", true},           {"com.cn", true},         {"github.io", true},   {"example.com", false},
      {"www.ck", false},       {"test.ck", true},        {"example", true},     {"foo.example", false},
      {"city.kobe.jp", false}, {"c.kobe.jp", true},      {"", false},           {".com", false},
      {"com.", false},         {"a..com", false},        {"xn--55qx5d.cn", true}, {"公司.cn", true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPublicSuffix(c.domain), c.suffix) << c.domain;
}

TEST(PublicSuffix, SitesOfHosts) {
  EXPECT_EQ(SiteOfHost("www.Example.com.cn"), "example.com.cn");
  EXPECT_EQ(SiteOfHost("user.github.io"), "user.github.io");
  EXPECT_EQ(SiteOfHost("github.io"), "github.io");
  EXPECT_EQ(SiteOfHost("192.168.0.1"), "192.168.0.1");
  EXPECT_EQ(SiteOfHost("[::1]"), "[::1]");
  EXPECT_EQ(SiteOfHost("localhost"), "localhost");
  EXPECT_TRUE(IsIpAddress("10.0.0.255"));
  EXPECT_FALSE(IsIpAddress("10.0.0"));
  EXPECT_FALSE(IsIpAddress("10.0.0.1.5"));
  EXPECT_FALSE(IsIpAddress("1.2.3.4a"));
  EXPECT_FALSE(IsIpAddress("1.2..4"));
  EXPECT_FALSE(IsIpAddress("1234.1.1.1"));
}

}  // namespace
}  // namespace ds

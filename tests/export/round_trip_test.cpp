// Every exporter's text, read back through its reader (told its format, and
// recognised as a pasted capture is), gives the very rows it was given:
// random rows full of what shells and languages treat specially.
#include <random>

#include <gtest/gtest.h>

#include "export/exporters.h"
#include "tests/export/read_back.h"

namespace ds {
namespace {

using test::Pairs;

// Plain characters, GBK ones whose trail byte is "\", "^", "`", "|", "{",
// "}" or "@", typographic quotes and the ideographic space, and the
// characters quoting exists for.
const std::vector<std::string> kPlain = {"a", "Z", "0", "9", "_", "-", ".", "\xD6\xD0", "\x81\x5C", "\x81\x5E",
                                         "\x81\x60", "\x81\x7C", "\x81\x7B", "\x81\x7D", "\x81\x40", "\xA1\xB0",
                                         "\xA1\xB1", "\xA1\xA1"};
const std::vector<std::string> kSpecial = {"\"", "'", "\\", "$", "`", "^", "%", "&", "|", "<", ">", "(", ")",
                                           "!", " ", ";", ",", "=", ":", "{", "}", "#", "\t", "*", "?", "~",
                                           "\\\\", "\\\"", "\\\\\"", "%a%", "$(", "'\\''", "^\"", "\r\n", "\x7F", "\x01", "@", "/"};

std::string RandomText(std::mt19937& rng, size_t most, bool allowEmpty) {
  std::uniform_int_distribution<size_t> length(allowEmpty ? 0 : 1, most);
  std::uniform_int_distribution<int> percent(0, 99);
  std::string out;
  for (size_t n = length(rng); out.size() < n;) {
    const auto& pool = percent(rng) < 20 ? kSpecial : kPlain;
    out += pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(rng)];
  }
  return out;
}

// Header names are tokens; any of them may come with a random one.
std::string RandomName(std::mt19937& rng, AnalysisMode mode) {
  if (mode == AnalysisMode::kHttp && std::uniform_int_distribution<int>(0, 3)(rng) != 0) {
    static const char* kNames[] = {"Accept", "X-Token", "user-agent", "Cookie", "Set-Cookie", "x_a.b~c", "ETag"};
    return kNames[std::uniform_int_distribution<size_t>(0, 6)(rng)] + std::string(std::uniform_int_distribution<int>(0, 1)(rng), 'x');
  }
  return RandomText(rng, 6, false);
}

Pairs RandomRows(std::mt19937& rng, AnalysisMode mode) {
  Pairs rows;
  for (int n = std::uniform_int_distribution<int>(1, 4)(rng); n > 0; --n)
    rows.emplace_back(RandomName(rng, mode), RandomText(rng, 10, true));
  return rows;
}

std::string Shown(const Pairs& rows) {
  std::string out;
  for (const auto& [n, v] : rows) out += "[" + test::Utf8Of(n) + "]=[" + test::Utf8Of(v) + "] ";
  return out;
}

TEST(ExportRoundTrip, RandomRowsReadBackAsTheyWereThroughTheirReaderAndTheRecogniser) {
  std::mt19937 rng(20240607);
  ExportTarget targets[] = {{}, {"https://www.example.cn:8443/a/b?x=1&y=%20'$`", "POST"}};
  for (AnalysisMode mode : {AnalysisMode::kCookies, AnalysisMode::kHttp}) {
    for (const Exporter* e : ExportersOf(mode)) {
      int accepted = 0;
      for (int round = 0; round < 400; ++round) {
        Pairs rows = RandomRows(rng, mode);
        std::vector<Row> table = test::RowsFrom(rows);
        const ExportTarget& target = targets[round % 2];
        Exported out = Export(*e, {table, mode, target});
        if (out.error) {
          // A refusal names a row and writes nothing.
          bool named = false;
          for (const auto& [name, value] : rows)
            named = named || out.error->find("[" + EscapeForMessage(name) + "]") != std::string::npos;
          EXPECT_TRUE(named || out.error->find(test::GbkOf("项的名称为空")) != std::string::npos) << *out.error;
          EXPECT_EQ(out.text, "");
          continue;
        }
        ++accepted;
        for (CaptureFormat format : {e->readBack, CaptureFormat::kAuto}) {
          test::ReadBack back = test::ReadExport(out.text, format, mode);
          ASSERT_FALSE(back.error) << e->name << ": " << test::Utf8Of(*back.error) << "\n" << test::Utf8Of(out.text);
          ASSERT_EQ(back.items, rows) << e->name << (format == CaptureFormat::kAuto ? " (recognised)" : "") << ": "
                                      << Shown(rows) << "\n" << test::Utf8Of(out.text);
        }
      }
      // Most random rows are ones the format can carry: the check above ran.
      // cookies.txt takes ASCII only, which few of these rows are.
      EXPECT_GT(accepted, e->name == "cookies-txt" ? 2 : 60) << e->name;
    }
  }
}

}  // namespace
}  // namespace ds

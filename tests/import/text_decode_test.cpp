#include <gtest/gtest.h>

#include "import/text_decode.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using namespace std::string_literals;

using test::Gbk;

TEST(DecodeText, DetectsWhatADroppedFileHolds) {
  const std::string zhong = Gbk("中");  // D6 D0
  struct Case {
    const char* what;
    std::string bytes;
    std::string gbk;
    std::optional<size_t> badOffset;
    bool nul = false;
  } cases[] = {
      {"UTF-8 with its mark", "\xEF\xBB\xBF" "a=\xE4\xB8\xAD", "a=" + zhong, {}},
      {"UTF-8 without", "a=\xE4\xB8\xAD", "a=" + zhong, {}},
      {"GBK, which is no UTF-8", "a=" + zhong, "a=" + zhong, {}},
      {"UTF-16 LE with its mark", "\xFF\xFE" "a\0=\0\x2D\x4E"s, "a=" + zhong, {}},
      {"UTF-16 BE with its mark", "\xFE\xFF\0a\0=\x4E\x2D"s, "a=" + zhong, {}},
      {"UTF-16 without a mark", "a\0=\0"s, "", 1, true},
      {"a NUL in UTF-8", "a=1\0"s, "", 3, true},
      {"valid UTF-8 with a character GBK lacks is refused, not read as GBK", "a=\xF0\x9F\x98\x80", "", 2},
      {"UTF-16 with one", "\xFF\xFE" "a\0\x3D\xD8\x00\xDE"s, "", 4},
      {"UTF-16 cut in a unit", "\xFF\xFE" "a\0="s, "", 4},
      {"a GBK lead byte at the end", "a=" + zhong.substr(0, 1), "", 2},
  };
  for (const Case& c : cases) {
    DecodedText d = DecodeText(c.bytes, TextEncoding::kDetect);
    EXPECT_EQ(d.gbk, c.gbk) << c.what;
    EXPECT_EQ(d.badOffset, c.badOffset) << c.what;
    EXPECT_EQ(d.nul, c.nul) << c.what;
  }
}

}  // namespace
}  // namespace ds

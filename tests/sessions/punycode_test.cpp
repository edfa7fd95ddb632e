#include <gtest/gtest.h>

#include "import/text_decode.h"
#include "sessions/punycode.h"

namespace ds {
namespace {

std::string Utf8(const std::u32string& codes) {
  std::string out;
  for (char32_t c : codes) AppendUtf8(c, &out);
  return out;
}

TEST(Punycode, DecodesLabelsAndRefusesWhatIsNone) {
  struct Case {
    const char* ascii;
    const char* utf8;  // nullptr: refused
  } cases[] = {
      {"fiqs8s", "中国"},
      {"0zwm56d", "测试"},
      {"bcher-kva", "bücher"},  // the ASCII before the "-" kept, the rest inserted among it
      {"3B-ww4c5e180e575a65lsy2b", "3年B組金八先生"},
      {"FIQS8S", "中国"},  // digits in either case
      {"999a", "\xEA\xB3\xA7"},  // U+ACE7: a large first delta is still in range
      {"", ""},
      {"ww4c5e180e575a65lsy2", nullptr},  // cut off inside a number
      {"a-$", nullptr},  // no Punycode digit
      {"99999a", nullptr},  // beyond U+10FFFF
      {"9999999999999999999999a", nullptr},  // would wrap around in 32 bits
      {"\xC3\xBC-kva", nullptr},  // a basic part that is not ASCII
  };
  for (const Case& c : cases) {
    std::optional<std::u32string> decoded = PunycodeDecode(c.ascii);
    if (!c.utf8) {
      EXPECT_FALSE(decoded) << c.ascii;
      continue;
    }
    ASSERT_TRUE(decoded) << c.ascii;
    EXPECT_EQ(Utf8(*decoded), c.utf8) << c.ascii;
  }
}

}  // namespace
}  // namespace ds

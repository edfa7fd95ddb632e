#include <gtest/gtest.h>

#include "import/text_decode.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using namespace std::string_literals;

using test::Gbk;

// A byte above 0x7F is seen wherever it stands: in a whole step of bytes,
// in the bytes after the last step, first or last.
TEST(IsAscii, FindsAByteAbove0x7FAnywhere) {
  EXPECT_TRUE(IsAscii(""));
  std::string text(70, 'a');
  text[69] = 0x7F;
  EXPECT_TRUE(IsAscii(text));
  for (size_t at = 0; at < text.size(); ++at) {
    std::string one = text;
    one[at] = static_cast<char>(at % 2 ? 0x80 : 0xFF);
    EXPECT_FALSE(IsAscii(one)) << at;
    EXPECT_TRUE(IsAscii(std::string_view(one).substr(at + 1))) << at;
  }
}

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
      {"an encoded surrogate is no UTF-8, so the bytes are GBK", "a=\xED\xA0\x80", "a=\xED\xA0\x80", {}},
  };
  for (const Case& c : cases) {
    DecodedText d = DecodeText(c.bytes, TextEncoding::kDetect);
    EXPECT_EQ(d.gbk, c.gbk) << c.what;
    EXPECT_EQ(d.badOffset, c.badOffset) << c.what;
    EXPECT_EQ(d.nul, c.nul) << c.what;
  }
}

TEST(DecodeCapture, EveryEncodingAsUtf8AndOffsetsInTheSourcesBytes) {
  const std::string zhong = Gbk("中");
  struct Case {
    const char* what;
    std::string bytes;
    bool gbk;
    std::string utf8;
    CaptureText::Origin origin;
    std::optional<size_t> badOffset;
  } cases[] = {
      {"an emoji is kept for the readers", "a=\xF0\x9F\x98\x80", false, "a=\xF0\x9F\x98\x80", CaptureText::Origin::kUtf8, {}},
      {"GBK", "a=" + zhong, false, "a=\xE4\xB8\xAD", CaptureText::Origin::kGbk, {}},
      {"a UTF-8 mark wins over --encoding gbk", "\xEF\xBB\xBF" "a=\xE4\xB8\xAD", true, "a=\xE4\xB8\xAD",
       CaptureText::Origin::kUtf8, {}},
      {"so does a UTF-16 one", "\xFF\xFE" "a\0=\0\x3D\xD8\x00\xDE"s, true, "a=\xF0\x9F\x98\x80",
       CaptureText::Origin::kUtf16Le, {}},
      {"UTF-8 read as GBK when told: a lead byte cut off", "a=\xE4\xB8\xAD", true, "", CaptureText::Origin::kGbk, 4},
      {"broken UTF-8 after a mark", "\xEF\xBB\xBF" "ab\xC3", false, "", CaptureText::Origin::kUtf8, 5},
      {"a lone surrogate in UTF-16 is no character", "\xFE\xFF\xD8\x00\0a"s, false, "\xEF\xBF\xBD" "a",
       CaptureText::Origin::kUtf16Be, {}},
  };
  for (const Case& c : cases) {
    DecodedCapture d = DecodeCapture(c.bytes, c.gbk);
    EXPECT_EQ(d.badOffset, c.badOffset) << c.what;
    if (d.badOffset) continue;
    EXPECT_EQ(d.text.utf8, c.utf8) << c.what;
    EXPECT_EQ(d.text.origin, c.origin) << c.what;
  }
  // A place in the text, counted in each source's bytes: the "x" after "中".
  struct Place {
    std::string bytes;
    size_t offset;
  } places[] = {{"\xEF\xBB\xBF" "\xE4\xB8\xAD" "x", 6}, {zhong + "x", 2}, {"\xFF\xFE\x2D\x4E" "x\0"s, 4}};
  for (const Place& p : places) {
    DecodedCapture d = DecodeCapture(p.bytes, false);
    ASSERT_FALSE(d.badOffset);
    EXPECT_EQ(d.text.SourceOffset(d.text.utf8.find('x')), p.offset) << p.bytes;
  }
}

}  // namespace
}  // namespace ds

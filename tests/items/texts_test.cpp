#include <gtest/gtest.h>

#include "items/texts.h"
#include "platform/codepage.h"

namespace ds {
namespace {

// The GBK literals are generated at build time; check a few against the
// code page converter so a broken generator cannot pass unnoticed.
TEST(GbkTexts, LiteralsAreCodePage936) {
  auto gbk = [](const char* utf8) {
    return platform::FromUtf16(platform::ToUtf16(utf8, platform::kCodePageUtf8), platform::kCodePageGbk);
  };
  EXPECT_EQ(std::string(texts::kLineBreakWord), gbk("\xE6\x8D\xA2\xE8\xA1\x8C"));  // 换行
  EXPECT_EQ(std::string(texts::kModeWordHttp), "Http" + gbk("\xE5\x8D\x8F\xE8\xAE\xAE"));  // 协议
  EXPECT_NE(std::string(texts::kExtraEquals).find("\xA3\xBD"), std::string::npos);  // full-width equals
  EXPECT_EQ(std::string(texts::kPlaceholderSlot1Suffix).substr(0, 2), " 1");
}

TEST(CodePage, RoundTripsGbkAndFlagsWhatItCannotHold) {
  std::string gbk = "a\xD6\xD0\x80";
  std::u16string wide = platform::ToUtf16(gbk, platform::kCodePageGbk);
  EXPECT_EQ(wide, (std::u16string{u'a', 0x4E2D, 0x20AC}));
  bool lossy = true;
  EXPECT_EQ(platform::FromUtf16(wide, platform::kCodePageGbk, &lossy), gbk);
  EXPECT_FALSE(lossy);
  // Pinyin letters are in code page 936; Thai is not.
  EXPECT_EQ(platform::FromUtf16(u"\x00e9\x0101", platform::kCodePageGbk, &lossy), "\xA8\xA6\xA8\xA1");
  EXPECT_FALSE(lossy);
  EXPECT_EQ(platform::FromUtf16(u"\x0E01", platform::kCodePageGbk, &lossy), "?");
  EXPECT_TRUE(lossy);
}

}  // namespace
}  // namespace ds

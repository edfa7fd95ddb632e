#include "skin_dll/skin_data.h"

#include <gtest/gtest.h>

#include <string>

namespace skin_data {
namespace {

const std::string kGood =
    "DSSKIN 1\n"
    "; comment\n"
    "\n"
    "font = Microsoft YaHei UI, WenQuanYi Micro Hei\n"
    "font-height = 12\n"
    "text = #1F2328\n"
    "disabled-text = #8C959F\n"
    "edit-back = #FFFFFF\n"
    "list-back = #fffffe\n"
    "selection-back = #CFE3F7\n"
    "selection-text = #0B2E59\n"
    "button-face = #FBFBFB\n"
    "button-pressed = #E1E6EB\n"
    "button-border = #B8BEC5\n"
    "focus-border = #3C7DD9";

bool Parses(const std::string& block, Skin* out = nullptr) {
  Skin skin;
  bool ok = Parse(reinterpret_cast<const uint8_t*>(block.data()), block.size(), &skin);
  if (ok && out) *out = skin;
  return ok;
}

std::string Replaced(std::string block, const std::string& from, const std::string& to) {
  size_t at = block.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return block.replace(at, from.size(), to);
}

TEST(SkinData, ReadsAWellFormedBlock) {
  Skin skin;
  ASSERT_TRUE(Parses(kGood, &skin));
  EXPECT_EQ(skin.faceCount, 2);
  EXPECT_STREQ(skin.faces[1], "WenQuanYi Micro Hei");
  EXPECT_EQ(skin.fontHeight, 12);
  EXPECT_EQ(skin.colours[kText], 0x0028231Fu);  // #RRGGBB becomes a COLORREF
  EXPECT_EQ(skin.colours[kListBack], 0x00FEFFFFu);
  std::string crlf;
  for (char c : kGood) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_TRUE(Parses(crlf + "\r\n"));
}

// A bad block leaves the program unskinned, so every doubt refuses it whole.
TEST(SkinData, RefusesAnyDamage) {
  const std::pair<std::string, std::string> edits[] = {
      {"DSSKIN 1", "DSSKIN 2"},
      {"DSSKIN 1", "dsskin 1"},
      {"DSSKIN 1\n", "\nDSSKIN 1\n"},
      {"text = #1F2328", "text = #1F232"},
      {"text = #1F2328", "text = 1F2328F"},
      {"text = #1F2328", "text = #1G2328"},
      {"text = #1F2328", "text #1F2328"},
      {"text = #1F2328", "texts = #1F2328"},
      {"text = #1F2328", "text = #1F2328\ntext = #1F2328"},
      {"focus-border = #3C7DD9", ""},
      {"font-height = 12", "font-height = 7"},
      {"font-height = 12", "font-height = 33"},
      {"font-height = 12", "font-height = 1e1"},
      {"font-height = 12", "font-height ="},
      {"Microsoft YaHei UI, ", "A, B, C, D, "},
      {"Microsoft YaHei UI, ", ", "},
      {"Microsoft YaHei UI", std::string(32, 'x')},
      {"Microsoft YaHei UI", std::string("Micro\x01soft")},
      {"; comment", std::string("; com\0ment", 10)},
  };
  for (const auto& [from, to] : edits) EXPECT_FALSE(Parses(Replaced(kGood, from, to))) << from << " -> " << to;
  EXPECT_TRUE(Parses(Replaced(kGood, "Microsoft YaHei UI", std::string(31, 'x'))));
  EXPECT_FALSE(Parses(""));
  EXPECT_FALSE(Parses(kGood + "\n;" + std::string(kMaxBlockLength, ' ')));
  EXPECT_FALSE(Parse(nullptr, 10, nullptr));
}

}  // namespace
}  // namespace skin_data

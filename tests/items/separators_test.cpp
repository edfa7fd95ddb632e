#include "items/separators.h"

#include <gtest/gtest.h>

#include "items/texts.h"

namespace ds {
namespace {

TEST(Separators, CommitRules) {
  struct Case {
    SeparatorKind kind;
    std::string box;
    bool rewritesBox;
    std::string inForce, stored;
  } cases[] = {
      {SeparatorKind::kLine, "", false, ";", ";"},
      {SeparatorKind::kValue, "", false, "=", "="},
      {SeparatorKind::kLine, "\r\n", true, "\r\n", texts::kLineBreakWord},
      {SeparatorKind::kValue, texts::kLineBreakWord, false, "\r\n", texts::kLineBreakWord},
      {SeparatorKind::kValue, std::string(" ") + texts::kLineBreakWord, false,
       std::string(" ") + texts::kLineBreakWord, std::string(" ") + texts::kLineBreakWord},
      {SeparatorKind::kLine, " | ", false, " | ", " | "},
  };
  for (const Case& c : cases) {
    SeparatorCommit commit = CommitSeparator(c.kind, c.box);
    EXPECT_EQ(commit.boxText.has_value(), c.rewritesBox) << c.box;
    if (commit.boxText) {
      EXPECT_EQ(*commit.boxText, texts::kLineBreakWord);
    }
    EXPECT_EQ(commit.inForce, c.inForce) << c.box;
    EXPECT_EQ(commit.stored, c.stored) << c.box;
  }
  EXPECT_EQ(SeparatorFromSetting(SeparatorKind::kLine, texts::kLineBreakWord), "\r\n");
}

}  // namespace
}  // namespace ds

#include "items/duplicates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/test_gbk.h"

#include "tests/test_rows.h"

#include "items/texts.h"

namespace ds {
namespace {

using test::RowsOf;

std::vector<Text> Column(const RowTable& t, size_t c) {
  std::vector<Text> out;
  for (const Row& r : t.rows) out.emplace_back(r.Cell(c));
  return out;
}

struct Asker {
  bool answer;
  std::vector<Text> questions;
  DuplicateQuestion Fn() {
    return [this](std::string_view text, std::string_view title) {
      EXPECT_EQ(title, texts::kDuplicateTitle);
      questions.emplace_back(text);
      return answer;
    };
  }
};

Text Note(const char* label, const char* name, int count) {
  return "Cookies" + test::Gbk(label) + "[" + name + test::Gbk("]重复:") + ToText(count) + "\r\n";
}

using V = std::vector<Text>;

TEST(Duplicates, NoDuplicatesAskNothingAndLeaveNoNotes) {
  RowTable a = RowsOf({{"a", "1"}, {"A", "2"}}), b = RowsOf({{"a", "1"}});
  Asker ask{true, {}};
  DuplicateOutcome out = HandleDuplicates(a, b, "Cookies", ask.Fn());
  EXPECT_FALSE(out.asked);
  EXPECT_EQ(out.notes, "");
  EXPECT_EQ(a.rows.size(), 2u);  // a and A differ by case: no duplicates
}

TEST(Duplicates, YesRemovesLaterRowsAndKeepsNumbers) {
  RowTable a = RowsOf({{"a", "1"}, {"a", "2"}, {"b", "3"}, {"a", "4"}}), b;
  Asker ask{true, {}};
  DuplicateOutcome out = HandleDuplicates(a, b, "Cookies", ask.Fn());
  EXPECT_EQ(Column(a, 1), (V{"a", "b"}));
  EXPECT_EQ(Column(a, 0), (V{"1", "3"}));
  EXPECT_EQ(Column(a, 2), (V{"1", "3"}));  // the later rows, with their values, go
  EXPECT_EQ(out.notes, Note("1号", "a", 2));
  ASSERT_EQ(ask.questions.size(), 1u);
  EXPECT_EQ(ask.questions[0],
            test::Gbk("Cookies1号出现重复项[a],是否全部自动去除重复项？"));
}

TEST(Duplicates, YesWithInterleavedNamesKeepsEachSlotsFirstRows) {
  RowTable a = RowsOf({{"a", "1"}, {"b", "2"}, {"a", "3"}, {"c", "4"}, {"b", "5"}, {"a", "6"}});
  RowTable b = RowsOf({{"b", "1"}, {"a", "2"}, {"a", "3"}});
  Asker ask{true, {}};
  DuplicateOutcome out = HandleDuplicates(a, b, "Cookies", ask.Fn());
  EXPECT_EQ(ask.questions.size(), 1u);
  EXPECT_EQ(Column(a, 0), (V{"1", "2", "4"}));
  // Slot 1's removals say nothing about Slot 2's own first rows.
  EXPECT_EQ(Column(b, 0), (V{"1", "2"}));
  EXPECT_EQ(out.notes, Note("1号", "a", 2) + Note("1号", "b", 1) +
                           Note("2号", "a", 1));
}

TEST(Duplicates, NoKeepsRowsAndNotesEveryRowWithLaterEquals) {
  RowTable a = RowsOf({{"a", "1"}, {"a", "2"}, {"a", "3"}}), b;
  Asker ask{false, {}};
  DuplicateOutcome out = HandleDuplicates(a, b, "Cookies", ask.Fn());
  EXPECT_EQ(a.rows.size(), 3u);
  EXPECT_EQ(out.notes, Note("1号", "a", 2) + Note("1号", "a", 1));
}

TEST(Duplicates, OneQuestionGovernsBothSlots) {
  RowTable a = RowsOf({{"x", "1"}, {"x", "2"}}), b = RowsOf({{"y", "1"}, {"y", "2"}, {"z", ""}});
  Asker ask{true, {}};
  DuplicateOutcome out = HandleDuplicates(a, b, "Cookies", ask.Fn());
  EXPECT_EQ(ask.questions.size(), 1u);
  EXPECT_EQ(Column(a, 1), (V{"x"}));
  EXPECT_EQ(Column(b, 1), (V{"y", "z"}));
  EXPECT_EQ(out.notes, Note("1号", "x", 1) + Note("2号", "y", 1));

  // Only Slot 2 has duplicates: its label is in the question.
  RowTable c = RowsOf({{"x", "1"}}), d = RowsOf({{"y", "1"}, {"y", "2"}});
  Asker ask2{false, {}};
  HandleDuplicates(c, d, "Cookies", ask2.Fn());
  ASSERT_EQ(ask2.questions.size(), 1u);
  EXPECT_NE(ask2.questions[0].find(texts::kSlot2Label), std::string::npos);
}

TEST(Duplicates, RowsWithEmptyNameAndValueAreDropped) {
  RowTable a = RowsOf({{"", ""}, {"a", ""}, {"", "v"}}), b = RowsOf({{"", ""}});
  a.selected = 2;
  Asker ask{false, {}};
  HandleDuplicates(a, b, "Cookies", ask.Fn());
  EXPECT_EQ(Column(a, 2), (V{"", "v"}));
  EXPECT_EQ(a.selected, 1);  // still on the row that was selected
  EXPECT_TRUE(b.rows.empty());
  EXPECT_EQ(b.selected, -1);
  // Nothing to drop: the rows and the selection stay, one past the end goes.
  RowTable c = RowsOf({{"a", "1"}, {"b", ""}}), d = RowsOf({{"c", "1"}});
  c.selected = 1;
  d.selected = 1;
  HandleDuplicates(c, d, "Cookies", ask.Fn());
  EXPECT_EQ(Column(c, 1), (V{"a", "b"}));
  EXPECT_EQ(c.selected, 1);
  EXPECT_EQ(d.selected, -1);
}

// A list in byte order is grouped by one walk, any other through the index:
// the same rows with one odd row out of order at the end must come out alike.
TEST(Duplicates, ListsInByteOrderGroupAsAnyOther) {
  std::mt19937 random(5);
  const char* names[] = {"a", "ab", "B", "\xD6\xD0", "b"};
  for (int round = 0; round < 30; ++round) {
    std::vector<std::pair<Text, Text>> cells;
    for (int k = static_cast<int>(random() % 12); k > 0; --k) cells.push_back({names[random() % 5], ToText(k)});
    std::sort(cells.begin(), cells.end());
    RowTable inOrder;
    for (const auto& [name, value] : cells) inOrder.rows.push_back(Row{ToText(inOrder.rows.size() + 1), name, value});
    RowTable unordered = inOrder;
    unordered.rows.push_back(Row{"0", "!", "odd"});
    for (bool answer : {false, true}) {
      RowTable a = inOrder, b = unordered, none1, none2;
      Asker ask1{answer, {}}, ask2{answer, {}};
      DuplicateOutcome fromWalk = HandleDuplicates(a, none1, "Cookies", ask1.Fn());
      DuplicateOutcome fromIndex = HandleDuplicates(b, none2, "Cookies", ask2.Fn());
      EXPECT_EQ(fromWalk.notes, fromIndex.notes) << round;
      ASSERT_FALSE(b.rows.empty());
      b.rows.pop_back();
      EXPECT_EQ(Column(a, 2), Column(b, 2)) << round;
    }
  }
}

}  // namespace
}  // namespace ds

#include "edit/add_items.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/test_gbk.h"
#include "tests/test_rows.h"

namespace ds {
namespace {

using test::Gbk;
using test::RowsOf;
using Items = std::vector<std::pair<std::string, std::string>>;

const Separators kCookies{";", "="};
const Separators kHttp{"\r\n", ":"};

Items ItemsOf(const RowTable& table) {
  Items items;
  for (const Row& row : table.rows) items.emplace_back(row.Cell(1), row.Cell(2));
  return items;
}

const ReplaceQuestion kNeverAsked = [](std::string_view, std::string_view) {
  ADD_FAILURE() << "asked about a name the list does not hold";
  return false;
};

TEST(AddItems, CutsPiecesWithTheSeparatorsInForce) {
  const std::string ok = Gbk("操作提示:新增项目成功！");
  struct Case {
    std::string typed;
    Separators separators;
    Items items;
  } cases[] = {
      {"a=1;b=2", kCookies, {{"a", "1"}, {"b", "2"}}},
      // Trimmed, never squeezed: inner spaces (ASCII and ideographic) stay.
      {"ua=Mozilla/5.0 (X11); k = v ", kCookies, {{"ua", "Mozilla/5.0 (X11)"}, {"k", "v"}}},
      {"\xA1\xA1k\xA1\xA1=\xA1\xA1" "a\xA1\xA1" "b\xA1\xA1", kCookies, {{"k", "a\xA1\xA1" "b"}}},
      // name + separator comes off once.
      {"k=ak=b;j=a=b", kCookies, {{"k", "ak=b"}, {"j", "a=b"}}},
      {"tok=QUJD==;k=ab=", kCookies, {{"tok", "QUJD=="}, {"k", "ab="}}},
      // Each header line is one item; in Cookies mode line breaks are dropped.
      {"A: 1\r\nB: 2\r\n", kHttp, {{"A", "1"}, {"B", "2"}}},
      {"a=1;\r\nb=\r\n2", kCookies, {{"a", "1"}, {"b", "2"}}},
      // Empty pieces are skipped without a word.
      {";a=1;;b=2", kCookies, {{"a", "1"}, {"b", "2"}}},
      // A longer separator: only the text after the first one, no bytes added.
      {"k==a==b;j===", {";", "=="}, {{"k", "a==b"}, {"j", "="}}},
      {"a=\xD6\xD0;\xD6\xD0=\x81", kCookies, {{"a", "\xD6\xD0"}, {"\xD6\xD0", "\x81"}}},
      {std::string("a=\0b;c\0=d", 9), kCookies, {{"a", std::string("\0b", 2)}, {std::string("c\0", 2), "d"}}},
  };
  for (const Case& c : cases) {
    AddOutcome out = AddItems({}, c.typed, c.separators, AnalysisMode::kCookies, Slot::k1, kNeverAsked);
    EXPECT_FALSE(out.refused) << c.typed;
    EXPECT_EQ(ItemsOf(out.list), c.items) << c.typed;
    EXPECT_EQ(out.report, Gbk("空")) << c.typed;
    EXPECT_EQ(out.status, ok) << c.typed;
    EXPECT_EQ(out.selectRow, static_cast<int>(c.items.size()) - 1) << c.typed;
  }
}

TEST(AddItems, MalformedPiecesAreCountedInTheListsSlotAndMode) {
  struct Case {
    const char* typed;
    AnalysisMode mode;
    Slot slot;
    Items items;
    const char* report;
  } cases[] = {
      {"a=1;b", AnalysisMode::kCookies, Slot::k1, {{"a", "1"}},
       "Cookies1号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n"},
      {"A: 1\r\nB", AnalysisMode::kHttp, Slot::k2, {{"A", "1"}},
       "Http协议2号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n"},
      // "a=" and a lone "=" are no items here; "=v" has an empty part.
      {"a=;=v;x=1;=;b=", AnalysisMode::kCookies, Slot::k2, {{"x", "1"}},
       "错误的Cookies文本!\r\n请检查多余＝号! [错误数:1]\r\n\r\n"
       "错误的Cookies文本!\r\nCookies或值为空 [错误数:3]\r\n\r\n"},
      {"A:\r\n: x\r\nB: 1", AnalysisMode::kHttp, Slot::k1, {{"B", "1"}},
       "错误的Http协议文本!\r\n请检查多余＝号! [错误数:1]\r\n\r\n"
       "错误的Http协议文本!\r\nHttp协议或值为空 [错误数:1]\r\n\r\n"},
      // A nameless piece of three parts is no item either.
      {"=a=b;====;c=1", AnalysisMode::kCookies, Slot::k1, {{"c", "1"}},
       "错误的Cookies文本!\r\n请检查多余＝号! [错误数:2]\r\n\r\n"},
      // Only separators: the tail is all that is reported.
      {";;;;", AnalysisMode::kCookies, Slot::k1, {},
       "Cookies1号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n"},
  };
  for (const Case& c : cases) {
    const Separators& seps = c.mode == AnalysisMode::kHttp ? kHttp : kCookies;
    AddOutcome out = AddItems({}, c.typed, seps, c.mode, c.slot, kNeverAsked);
    EXPECT_EQ(ItemsOf(out.list), c.items) << c.typed;
    EXPECT_EQ(out.report, Gbk(c.report)) << c.typed;
    EXPECT_FALSE(out.status.has_value()) << c.typed;  // the success hint is not shown
  }
}

TEST(AddItems, ExistingNamesAreAskedAboutPieceByPiece) {
  RowTable list = RowsOf({{"a", "old"}, {"c", "3"}});
  std::vector<bool> answers{true, false, true};
  std::vector<std::pair<std::string, std::string>> asked;
  ReplaceQuestion ask = [&](std::string_view text, std::string_view title) {
    asked.emplace_back(text, title);
    return answers.at(asked.size() - 1);
  };
  AddOutcome out = AddItems(list, "a=new;a=x;b=1;a=z", kCookies, AnalysisMode::kCookies, Slot::k1, ask);
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].first, Gbk("当前列表已存在[a],是否替换？"));
  EXPECT_EQ(asked[0].second, Gbk("已存在的Cookies！"));
  // Yes overwrites the first row of the name; No appends a second one.
  EXPECT_EQ(ItemsOf(out.list), (Items{{"a", "z"}, {"c", "3"}, {"a", "x"}, {"b", "1"}}));
  EXPECT_EQ(out.list.rows[2].Cell(0), "3");
  EXPECT_EQ(out.list.rows[3].Cell(0), "4");
  EXPECT_EQ(out.selectRow, 0);  // the overwritten row was written last
  EXPECT_EQ(out.list.selected, 0);

  // A name that differs only in case is a new item.
  AddOutcome cased = AddItems(list, "A=1", kCookies, AnalysisMode::kCookies, Slot::k1, kNeverAsked);
  EXPECT_EQ(cased.list.rows.size(), 3u);
  EXPECT_EQ(cased.selectRow, 2);
}

TEST(AddItems, RefusedOrEmptyTextsChangeNothing) {
  RowTable list = RowsOf({{"a", "1"}});
  list.selected = 0;
  AddOutcome out = AddItems(list, "abc def", kCookies, AnalysisMode::kCookies, Slot::k1, kNeverAsked);
  EXPECT_TRUE(out.refused);
  EXPECT_EQ(out.status, Gbk("操作提示:添加失败,数据不完整！abc def"));
  EXPECT_FALSE(out.report.has_value());
  EXPECT_EQ(ItemsOf(out.list), (Items{{"a", "1"}}));
  EXPECT_EQ(out.list.selected, 0);

  // Empty once trimmed (a line separator of spaces): nothing added, and the
  // hint does not claim otherwise.
  AddOutcome blank = AddItems(list, "   ", {" ", "="}, AnalysisMode::kCookies, Slot::k1, kNeverAsked);
  EXPECT_FALSE(blank.refused);
  EXPECT_EQ(blank.list.rows.size(), 1u);
  EXPECT_EQ(blank.report, Gbk("空"));
  EXPECT_EQ(blank.status, Gbk("操作提示:没有可新增的数据！"));
}

TEST(AddItems, TenMegabytePasteIntoALargeList) {
  RowTable list;
  for (int i = 0; i < 50000; ++i) list.rows.push_back(Row{{ToText(i + 1), "old" + std::to_string(i), "v"}, 0, false, {}});
  std::string paste;
  size_t pieces = 0;
  while (paste.size() < 10u << 20) paste.append("name").append(std::to_string(pieces++)).append(" =\xD6\xD0v\x80; ");
  paste.append("old7=new");
  int asked = 0;
  AddOutcome out = AddItems(std::move(list), paste, kCookies, AnalysisMode::kCookies, Slot::k1,
                            [&](std::string_view, std::string_view) { return ++asked, true; });
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(out.list.rows.size(), 50000 + pieces);
  EXPECT_EQ(out.list.rows.back().Cell(0), ToText(static_cast<long long>(50000 + pieces)));
  EXPECT_EQ(out.list.rows[7].Cell(2), "new");
  EXPECT_EQ(out.report, Gbk("空"));
}

TEST(AddItems, Prompt) {
  EXPECT_EQ(AddPrompt(AnalysisMode::kHttp), Gbk("请输入新增Http协议数据,按Enter回车键确认！(可批量)"));
}

}  // namespace
}  // namespace ds

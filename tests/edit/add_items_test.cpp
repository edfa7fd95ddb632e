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

bool NeverAsked(std::string_view, std::string_view) {
  ADD_FAILURE() << "asked about a name the list does not hold";
  return false;
}

TEST(AddItems, CutsPiecesWithTheSeparatorsInForce) {
  struct Case {
    std::string typed;
    Separators separators;
    Items items;
  } cases[] = {
      // Trimmed, never squeezed: inner spaces (ASCII and ideographic) stay.
      {"ua=Mozilla/5.0 (X11); k = v\xA1\xA1" "b\xA1\xA1", kCookies, {{"ua", "Mozilla/5.0 (X11)"}, {"k", "v\xA1\xA1" "b"}}},
      {"k=ak=b;tok=QUJD==;j=ab=", kCookies, {{"k", "ak=b"}, {"tok", "QUJD=="}, {"j", "ab="}}},
      {"A: 1\r\nB: 2\r\n", kHttp, {{"A", "1"}, {"B", "2"}}},  // one item per header line
      {";a=1;\r\n;b=\r\n2", kCookies, {{"a", "1"}, {"b", "2"}}},  // empty pieces go unremarked
      {"k==a==b;j===", {";", "=="}, {{"k", "a==b"}, {"j", "="}}},  // no bytes given back twice
      {"a==;b=c=", kCookies, {{"a", "=="}, {"b", "c="}}},  // all padding, or one sign of it
      // A lone lead byte at the end, a NUL inside.
      {std::string("c\0=d;\xD6\xD0=\x81", 9), kCookies, {{std::string("c\0", 2), "d"}, {"\xD6\xD0", "\x81"}}},
  };
  for (const Case& c : cases) {
    AddOutcome out = AddItems({}, c.typed, c.separators, AnalysisMode::kCookies, Slot::k1, NeverAsked);
    EXPECT_EQ(ItemsOf(out.list), c.items) << c.typed;
    EXPECT_EQ(out.report, Gbk("空")) << c.typed;
    EXPECT_EQ(out.status, Gbk("操作提示:新增项目成功！")) << c.typed;
    EXPECT_EQ(out.list.selected, static_cast<int>(c.items.size()) - 1) << c.typed;
  }
}

TEST(AddItems, MalformedPiecesAreReportedForTheListsSlotAndMode) {
  struct Case {
    const char* typed;
    AnalysisMode mode;
    Slot slot;
    size_t added;
    const char* report;
  } cases[] = {
      {"A: 1\r\nB", AnalysisMode::kHttp, Slot::k2, 1,
       "Http协议2号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n"},
      // "a=" and a lone "=" are no items; "=v" and a nameless "=a=b" have an empty part.
      {"a=;=v;x=1;=;=a=b;b=", AnalysisMode::kCookies, Slot::k1, 1,
       "错误的Cookies文本!\r\n请检查多余＝号! [错误数:2]\r\n\r\n错误的Cookies文本!\r\nCookies或值为空 [错误数:3]\r\n\r\n"},
      {"A:\r\nB: 1", AnalysisMode::kHttp, Slot::k1, 1, "错误的Http协议文本!\r\nHttp协议或值为空 [错误数:1]\r\n\r\n"},
      {";;;;", AnalysisMode::kCookies, Slot::k1, 0, "Cookies1号尾部数据不全,已过滤!\r\n请检查完整性! [错误数:1]\r\n\r\n"},
  };
  for (const Case& c : cases) {
    AddOutcome out = AddItems({}, c.typed, c.mode == AnalysisMode::kHttp ? kHttp : kCookies, c.mode, c.slot, NeverAsked);
    EXPECT_EQ(out.list.rows.size(), c.added) << c.typed;
    EXPECT_EQ(out.report, Gbk(c.report)) << c.typed;
    EXPECT_FALSE(out.status.has_value()) << c.typed;
  }
}

TEST(AddItems, ExistingNamesAreAskedAboutPieceByPiece) {
  std::vector<bool> answers{true, false, true};
  size_t asked = 0;
  auto ask = [&](std::string_view text, std::string_view title) {
    EXPECT_EQ(Text(text) + Text(title), Gbk("当前列表已存在[a],是否替换？已存在的Cookies！"));
    return bool(answers.at(asked++));
  };
  AddOutcome out = AddItems(RowsOf({{"a", "old"}, {"c", "3"}}), "a=new;a=x;A=1;a=z", kCookies,
                            AnalysisMode::kCookies, Slot::k1, ask);
  // Yes overwrites the first row of the name; No appends a second one.
  EXPECT_EQ(ItemsOf(out.list), (Items{{"a", "z"}, {"c", "3"}, {"a", "x"}, {"A", "1"}}));
  EXPECT_EQ(out.list.rows[3].Cell(0), "4");
  EXPECT_EQ(out.selectRow, 0);  // the overwritten row was written last
}

TEST(AddItems, RefusedOrEmptyTextsChangeNothing) {
  RowTable list = RowsOf({{"a", "1"}});
  AddOutcome out = AddItems(list, "abc def", kCookies, AnalysisMode::kCookies, Slot::k1, NeverAsked);
  EXPECT_TRUE(out.refused);
  EXPECT_EQ(out.status, Gbk("操作提示:添加失败,数据不完整！abc def"));
  EXPECT_FALSE(out.report.has_value());
  EXPECT_EQ(out.list.rows.size(), 1u);
  // Empty once trimmed (a line separator of spaces): no claim of success.
  out = AddItems(list, "   ", {" ", "="}, AnalysisMode::kCookies, Slot::k1, NeverAsked);
  EXPECT_FALSE(out.refused);
  EXPECT_EQ(out.list.rows.size(), 1u);
  EXPECT_NE(out.status, Gbk("操作提示:新增项目成功！"));
}

TEST(AddItems, TenMegabytePasteIntoALargeList) {
  RowTable list;
  for (int i = 0; i < 50000; ++i) list.rows.push_back(Row{{ToText(i + 1), "n" + std::to_string(i), "v"}});
  std::string paste;
  size_t pieces = 0;
  while (paste.size() < 10u << 20) paste.append("name").append(std::to_string(pieces++)).append(" =\xD6\xD0v\x80; ");
  int asked = 0;
  AddOutcome out = AddItems(std::move(list), paste + "n7=new", kCookies, AnalysisMode::kCookies, Slot::k1,
                            [&](std::string_view, std::string_view) { return ++asked, true; });
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(out.list.rows.back().Cell(0), ToText(static_cast<long long>(50000 + pieces)));
  EXPECT_EQ(out.list.rows[7].Cell(2), "new");
}

}  // namespace
}  // namespace ds

#include "compare/session.h"

#include <gtest/gtest.h>

#include "items/slot_parser.h"
#include "tests/test_gbk.h"
#include "tests/test_rows.h"

namespace ds {
namespace {

using test::Gbk;
using test::RowsOf;

struct Session {
  int questions = 0;
  AnalyseResult result;
};

Session Analyse(std::string_view line, std::string_view value, std::string_view t1, std::string_view t2,
            AnalysisMode mode = AnalysisMode::kCookies) {
  Session run;
  run.result = RunAnalyse({line, value, t1, t2, mode, NameRule{}, {}}, RowsOf({{"a", "1"}, {"a", "2"}}),
                          RowsOf({{"a", "1"}, {"b", "2"}}), [&run](std::string_view, std::string_view) {
                            ++run.questions;
                            return true;
                          });
  return run;
}

TEST(AnalyseSession, RefusesInOrderBeforeAnyQuestion) {
  std::string p1 = Gbk("请填入Cookies 1号数据"), p2 = Gbk("请填入Cookies 2号数据");
  struct Case {
    std::string line, value, slot1, slot2;
    AnalyseStop stop;
  } cases[] = {
      {"", "", "a=1", "b=2", AnalyseStop::kSeparatorConflict},  // two empty boxes are equal
      {";", ";", p1, "", AnalyseStop::kSeparatorConflict},      // the conflict is told first
      {";", "=", p1, "b=2", AnalyseStop::kPlaceholder},
      {";", "=", "a=1", p2, AnalyseStop::kPlaceholder},
      {";", "=", p2, "", AnalyseStop::kRan},  // the other slot's placeholder is data
      {";", "=", Gbk("请填入Http协议 1号数据"), "", AnalyseStop::kRan},
      {";", "=", "", "", AnalyseStop::kNothingToCompare},
  };
  for (const Case& c : cases) {
    Session run = Analyse(c.line, c.value, c.slot1, c.slot2);
    EXPECT_EQ(run.result.stop, c.stop) << c.slot1 << " | " << c.slot2;
    EXPECT_EQ(run.questions, c.stop == AnalyseStop::kRan ? 1 : 0);
  }
  EXPECT_EQ(Analyse(";", "=", Gbk("请填入Http协议 2号数据"), "a=1", AnalysisMode::kHttp).result.stop,
            AnalyseStop::kRan);

  EXPECT_EQ(std::string(RefusalOf(AnalyseStop::kSeparatorConflict)->text), Gbk("行分隔符 与 值分隔符 相冲突！请修改！"));
  EXPECT_EQ(std::string(RefusalOf(AnalyseStop::kPlaceholder)->title), Gbk("温馨提示"));
  EXPECT_FALSE(RefusalOf(AnalyseStop::kNothingToCompare));
  EXPECT_FALSE(RefusalOf(AnalyseStop::kRan));
}

TEST(AnalyseSession, AnswerShapesTheListsThatAreCompared) {
  Session run = Analyse(";", "=", "a=1;a=2", "a=1;b=2");
  const AnalyseResult& r = run.result;
  ASSERT_EQ(r.slot1.rows.size(), 1u);  // Yes removed the later "a"
  EXPECT_EQ(r.duplicateNotes, "Cookies" + Gbk("1号[a]重复:1") + "\r\n");
  EXPECT_TRUE(r.lists.different.empty());
  ASSERT_EQ(r.lists.missingInSlot2.size(), 0u);
  ASSERT_EQ(r.lists.missingInSlot1.size(), 1u);
  EXPECT_EQ(r.summary, Gbk("分析提示:[1号]缺少:1项   [2号]缺少:0项   Cookies值异同:0项"));
}

}  // namespace
}  // namespace ds

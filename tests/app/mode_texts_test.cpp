#include "app/mode_texts.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/launch_counter.h"
#include "app/texts.h"
#include "items/analysis_mode.h"
#include "items/separators.h"
#include "items/texts.h"
#include "tests/test_gbk.h"

namespace app {
namespace {

TEST(AnalysisMode, StoredValueSelectsTheMode) {
  EXPECT_EQ(ds::ModeFromSetting("2"), ds::AnalysisMode::kHttp);
  for (const char* other : {"", "1", "02", " 2", "3", "http"})
    EXPECT_EQ(ds::ModeFromSetting(other), ds::AnalysisMode::kCookies);
}

TEST(AnalysisMode, TextsAndSeparatorsFollowTheMode) {
  EXPECT_STREQ(ds::DefaultSeparatorBoxes(ds::AnalysisMode::kHttp).line, ds::texts::kLineBreakWord);
  EXPECT_EQ(ds::DefaultSeparators(ds::AnalysisMode::kHttp).line, "\r\n");
  EXPECT_EQ(ds::DefaultSeparators(ds::AnalysisMode::kHttp).value, ":");
  EXPECT_EQ(ds::DefaultSeparators(ds::AnalysisMode::kCookies).line, ";");
  ModeTexts http = TextsOf(ds::AnalysisMode::kHttp);
  EXPECT_EQ(http.analyseCaption, ds::test::Gbk("分析Http协议"));
  EXPECT_EQ(http.copySlot2Menu, ds::test::Gbk("复制 2号Http协议数据"));
  ModeTexts cookies = TextsOf(ds::AnalysisMode::kCookies);
  EXPECT_STREQ(cookies.missingNameColumn, texts::kMissingNameColumnCookies);
  EXPECT_STREQ(cookies.differenceCaption, http.differenceCaption);  // the same in both modes
}

TEST(LaunchCounter, LeadingDecimalNumberOrZero) {
  struct Case {
    const char* stored;
    long long counter;
  } cases[] = {{"", 0},      {"abc", 0},    {"19", 19},   {"20", 20},   {"7abc", 7},        {"3.9", 3},
               {"-2.5", -2}, {"+4", 4},     {" 5", 0},    {"0x10", 0},  {"1e3", 1},         {"-", 0},
               {"99999999999999999999", INT_MAX}, {"-99999999999", INT_MIN}};
  for (const Case& c : cases) EXPECT_EQ(LaunchCounterFromSetting(c.stored), c.counter) << c.stored;
}

}  // namespace
}  // namespace app

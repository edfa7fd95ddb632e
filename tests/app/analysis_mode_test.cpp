#include "app/analysis_mode.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/texts.h"
#include "items/texts.h"

namespace app {
namespace {

TEST(AnalysisMode, StoredValueSelectsTheMode) {
  EXPECT_EQ(ModeFromSetting("2"), AnalysisMode::kHttp);
  for (const char* other : {"", "1", "02", " 2", "3", "http"}) EXPECT_EQ(ModeFromSetting(other), AnalysisMode::kCookies);
}

TEST(AnalysisMode, TextsFollowTheMode) {
  ModeTexts http = TextsOf(AnalysisMode::kHttp);
  EXPECT_STREQ(http.storedValue, "2");
  EXPECT_STREQ(http.lineSeparatorBox, ds::texts::kLineBreakWord);
  EXPECT_STREQ(http.valueSeparatorBox, ":");
  EXPECT_EQ(http.analyseCaption, std::string(texts::kAnalysePrefix) + ds::texts::kModeWordHttp);
  EXPECT_EQ(http.copySlot2Menu,
            std::string(texts::kCopyPrefix) + ds::texts::kSlot2Label + ds::texts::kModeWordHttp + texts::kCopyDataSuffix);
  ModeTexts cookies = TextsOf(AnalysisMode::kCookies);
  EXPECT_STREQ(cookies.lineSeparatorBox, ";");
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

#include <gtest/gtest.h>

#include "app/settings.h"
#include "tests/win/window_test_support.h"

namespace wintest {
namespace {

TEST(Settings, PathIsInTheSystemDirectoryWithTwoBackslashes) {
  std::string path = app::SettingsPath();
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(path, std::string(system) + "\\\\Dualsieve.ini");
}

TEST(Settings, ReadsBackWhatWasWrittenAndEmptyWhenMissing) {
  DeleteSettingsFile();
  EXPECT_EQ(app::ReadSetting("Times Count"), "");
  app::WriteSetting("Times Count", "7");
  app::WriteSetting("\xD0\xD0\xB7\xD6\xB8\xF4\xB7\xFB", "\xBB\xBB\xD0\xD0");  // 行分隔符 = 换行
  EXPECT_EQ(app::ReadSetting("Times Count"), "7");
  EXPECT_EQ(app::ReadSetting("\xD0\xD0\xB7\xD6\xB8\xF4\xB7\xFB"), "\xBB\xBB\xD0\xD0");
  app::WriteSetting("Times Count", "8");
  EXPECT_EQ(app::ReadSetting("Times Count"), "8");
  DeleteSettingsFile();
}

// Separators with spaces or quotes at their ends come back as written; what
// files written before hold (no quotes) reads as it always did.
TEST(Settings, ValuesWithSpacesOrQuotesAtTheirEndsComeBackAsWritten) {
  DeleteSettingsFile();
  const std::string values[] = {" \xBB\xBB\xD0\xD0", " | ", "|", "\"q\"", "'x'", "x'", "\"", " ", "a b", "\"a\" b"};
  for (const std::string& v : values) {
    app::WriteSetting("sep", v);
    EXPECT_EQ(app::ReadSetting("sep"), v) << "[" << v << "]";
  }
  WritePrivateProfileStringA("Config", "old", "|", app::SettingsPath().c_str());
  EXPECT_EQ(app::ReadSetting("old"), "|");
  DeleteSettingsFile();
}

TEST(Settings, LongValuesAreReadCutTo10239Bytes) {
  DeleteSettingsFile();
  app::WriteSetting("long", std::string(12000, 'x'));
  EXPECT_EQ(app::ReadSetting("long"), std::string(10239, 'x'));
  DeleteSettingsFile();
}

}  // namespace
}  // namespace wintest

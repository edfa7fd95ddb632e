// The companion's convert command and compare's completed slot: a format of
// the mode, and the options each of them takes.
#include <gtest/gtest.h>

#include "cli/option_table.h"
#include "export/exporters.h"

namespace cli {
namespace {

TEST(CliConvertOptions, TakeAFormatOfTheModeAndOneFile) {
  ParsedOptions convert = ParseOptions({"convert", "--to", "fetch", "--mode", "http", "capture.har"});
  ASSERT_EQ(convert.error, "");
  EXPECT_EQ(convert.options.command, Options::Command::kConvert);
  EXPECT_EQ(convert.options.to, std::optional<std::string>("fetch"));
  EXPECT_EQ(convert.options.from, ds::CaptureFormat::kAuto);  // a capture unless told
  EXPECT_EQ(convert.options.file1, "capture.har");
  EXPECT_EQ(ParseOptions({"convert", "--to", "python", "--from", "plain", "a"}).options.from, ds::CaptureFormat::kPlain);

  ParsedOptions completed = ParseOptions({"compare", "--completed", "2", "--to", "curl", "a", "b"});
  ASSERT_EQ(completed.error, "");
  EXPECT_EQ(completed.options.completed, std::optional<int>(2));
  EXPECT_EQ(completed.options.from, ds::CaptureFormat::kPlain);  // compare reads as before

  struct Bad {
    std::vector<std::string> args;
    const char* error;
  } bad[] = {
      {{"convert", "a"}, "convert needs --to FORMAT"},
      {{"convert", "--to", "python", "a", "b"}, "convert needs one file, got 2"},
      {{"convert", "--to", "fetch", "a"},
       "--to takes one of cookie-header|curl|curl-cmd|powershell|python|javascript|json|cookies-txt in cookies mode, "
       "not 'fetch'"},
      {{"convert", "--to", "cookie-header", "--mode", "http", "a"},
       "--to takes one of headers|curl|curl-cmd|powershell|python|json|fetch in http mode, not 'cookie-header'"},
      {{"convert", "--to", "python", "--completed", "1", "a"}, "--completed belongs to compare"},
      {{"compare", "--to", "python", "a", "b"}, "compare takes --to and --completed together"},
      {{"compare", "--completed", "1", "a", "b"}, "compare takes --to and --completed together"},
      {{"compare", "--completed", "3", "--to", "python", "a", "b"}, "--completed takes 1 or 2, not '3'"},
      {{"compare", "--completed", "1", "--to", "python", "--json", "a", "b"}, "--json and --to cannot be given together"},
      {{"sort", "a"}, "unknown command 'sort'"},
  };
  for (const Bad& b : bad) EXPECT_EQ(ParseOptions(b.args).error, b.error) << b.args[0];
}

TEST(CliConvertOptions, UsageNamesEveryFormat) {
  const std::string help = CommandHelp(*CommandNamed("convert"));
  for (const ds::Exporter& e : ds::Exporters())
    EXPECT_NE(help.find(" " + std::string(e.name) + ","), std::string::npos) << e.name;
  EXPECT_NE(help.find("javascript"), std::string::npos);
  EXPECT_NE(help.find("json-object"), std::string::npos);
}

}  // namespace
}  // namespace cli

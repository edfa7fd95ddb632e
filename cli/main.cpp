// dualsieve-cli: the window's parse and Analyse action for scripts and CI.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

#include "cli/compare_session.h"
#include "cli/options.h"
#include "cli/output.h"
#include "items/analysis_mode.h"
#include "platform/codepage.h"

namespace {

constexpr int kExitError = 2;

struct Arguments {
  std::vector<std::string> args;
  bool utf8 = false;  // true: the texts are UTF-8 whatever --encoding says
};

Arguments CommandLine(int argc, char** argv) {
  Arguments a;
#ifdef _WIN32
  // Windows hands the program wide arguments; ANSI argv would lose characters.
  (void)argc;
  (void)argv;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i) {
    std::u16string units(reinterpret_cast<const char16_t*>(wide[i]));
    a.args.push_back(ds::platform::FromUtf16(units, ds::platform::kCodePageUtf8));
  }
  LocalFree(wide);
  a.utf8 = true;
#else
  for (int i = 1; i < argc; ++i) a.args.emplace_back(argv[i]);
#endif
  return a;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "dualsieve-cli: %s\n", message.c_str());
  return kExitError;
}

bool ReadAll(const std::string& path, std::string* out) {
  if (path == "-") {
    std::ostringstream s;
    s << std::cin.rdbuf();
    *out = s.str();
    return !std::cin.bad();
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  out->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

// A file or an option text in GBK, or an error naming where it failed.
bool ToGbk(const std::string& bytes, cli::Encoding encoding, const std::string& what, std::string* gbk,
           std::string* error) {
  cli::Decoded d = cli::DecodeInput(bytes, encoding);
  if (d.badOffset) {
    *error = what + ": byte " + std::to_string(*d.badOffset) +
             ": not valid UTF-8 or a character that code page 936 cannot hold";
    return false;
  }
  *gbk = std::move(d.gbk);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  Arguments arguments = CommandLine(argc, argv);
  cli::ParsedOptions parsed = cli::ParseOptions(arguments.args);
  if (!parsed.error.empty()) return Fail(parsed.error + " (see --help)");
  const cli::Options& o = parsed.options;
  if (o.command == cli::Options::Command::kHelp) {
    std::fputs(cli::kUsage, stdout);
    return 0;
  }
  if (o.command == cli::Options::Command::kVersion) {
    std::puts("dualsieve-cli 0.1.0");
    return 0;
  }

  cli::SessionInput in;
  in.httpMode = o.httpMode;
  in.rule = {!o.ignoreCase, !o.fuzzy};
  in.removeDuplicates = o.removeDuplicates;
  in.wantReports = o.json;
  ds::SeparatorBoxes defaults = ds::DefaultSeparatorBoxes(o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies);
  in.lineSeparatorBox = defaults.line;
  in.valueSeparatorBox = defaults.value;
  std::string error;
  cli::Encoding argEncoding = arguments.utf8 ? cli::Encoding::kUtf8 : o.encoding;
  if (o.lineSeparator && !ToGbk(*o.lineSeparator, argEncoding, "--line-sep", &in.lineSeparatorBox, &error))
    return Fail(error);
  if (o.valueSeparator && !ToGbk(*o.valueSeparator, argEncoding, "--value-sep", &in.valueSeparatorBox, &error))
    return Fail(error);

  std::string* slots[] = {&in.slot1Text, &in.slot2Text};
  const std::string* files[] = {&o.file1, &o.file2};
  for (int i = 0; i < 2; ++i) {
    std::string bytes;
    if (!ReadAll(*files[i], &bytes)) return Fail("cannot read " + *files[i]);
    std::string gbk;
    if (!ToGbk(bytes, o.encoding, *files[i], &gbk, &error)) return Fail(error);
    *slots[i] = cli::WindowsLineBreaks(gbk);
  }

  cli::SessionResult result = cli::RunSession(in);
  if (result.refusal) return Fail(cli::EncodeOutput(result.refusal->text, o.encoding));
  std::string text = o.json ? cli::FormatJson(result, o.httpMode, o.encoding) : cli::FormatText(result, o.encoding);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return result.HasDifferences() ? 1 : 0;
}

// dualsieve-cli: the window's parse and Analyse action for scripts and CI.
#include <algorithm>
#include <chrono>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <langinfo.h>
#endif

#include "cli/compare_session.h"
#include "cli/jar_report.h"
#include "cli/completion.h"
#include "cli/console_text.h"
#include "cli/option_table.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/output.h"
#include "cli/sessions_report.h"
#include "cli/terminal.h"
#include "compare/ignore_list.h"
#include "compare/list_copy.h"
#include "export/exporters.h"
#include "import/capture.h"
#include "import/text_decode.h"
#include "items/analysis_mode.h"
#include "items/separators.h"
#include "items/text.h"
#include "platform/codepage.h"
#include "platform/file_input.h"
#include "platform/file_output.h"
#include "mask/har_sanitize.h"
#include "mask/item_mask.h"
#include "version.h"

namespace {

constexpr int kExitError = 2;

// Arguments come in the console's encoding, whatever --encoding says: on
// Windows the program reads the wide command line and makes it UTF-8 itself;
// elsewhere they are the locale's character set (UTF-8, or GBK under a GBK
// locale). File names are kept as given; only separators are decoded.
cli::Encoding ArgumentEncoding() {
#ifdef _WIN32
  return cli::Encoding::kUtf8;
#else
  std::setlocale(LC_CTYPE, "");
  return cli::ConsoleEncoding(nl_langinfo(CODESET));
#endif
}

std::vector<std::string> CommandLine(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i) {
    std::u16string units(reinterpret_cast<const char16_t*>(wide[i]));
    args.push_back(ds::platform::FromUtf16(units, ds::platform::kCodePageUtf8));
  }
  LocalFree(wide);
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return args;
}

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// A standard stream: the bytes of the output encoding, or UTF-16 for a
// Windows console, which shows it right in any code page.
class Stream {
 public:
  explicit Stream(std::FILE* file) : file_(file), way_(cli::HowToWrite(cli::IsTerminal(file), kWindows)) {}
  void SetEncoding(cli::Encoding encoding) { console_ = cli::ConsoleText(encoding); }
  // False when not all of it arrived, with errno telling why.
  bool Write(std::string_view text) {
    errno = 0;
    if (way_ == cli::StreamWrite::kConsoleUtf16) return WriteWide(console_(text));
    return std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0;
  }

 private:
  bool WriteWide(const std::u16string& units) {
#ifdef _WIN32
    HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
    // Old consoles refuse a single write much over 64 KB.
    for (size_t at = 0; at < units.size();) {
      DWORD written = 0, count = static_cast<DWORD>(std::min<size_t>(units.size() - at, 8192));
      if (!WriteConsoleW(console, reinterpret_cast<const wchar_t*>(units.data() + at), count, &written, nullptr) ||
          written == 0)
        return false;
      at += written;
    }
    return true;
#else
    (void)units;
    return false;
#endif
  }

  std::FILE* file_;
  cli::StreamWrite way_;
  cli::ConsoleText console_{cli::Encoding::kUtf8};
};

Stream& Out() {
  static Stream out(stdout);
  return out;
}

Stream& Err() {
  static Stream err(stderr);
  return err;
}

// One line whatever a file name or a capture's item holds: control bytes
// are written as \xNN (in either output encoding they are whole characters).
int Fail(const std::string& message) {
  Err().Write("dualsieve-cli: " + ds::EscapeForMessage(message, false) + "\n");
  return kExitError;
}

// A report that did not arrive (a full disk, a closed pipe) is an error, not
// a result.
bool Print(std::string_view text, std::string* error) {
  if (Out().Write(text)) return true;
  *error = std::string("cannot write the output: ") + std::strerror(errno);
  return false;
}

// An argument as printed: error lines follow --encoding like everything else.
std::string Shown(const std::string& utf8, cli::Encoding encoding) {
  if (encoding == cli::Encoding::kUtf8) return utf8;
  cli::Decoded d = cli::DecodeInput(utf8, cli::Encoding::kUtf8);
  return d.badOffset ? utf8 : d.gbk;
}

// Milliseconds on a clock that only goes forward, for the progress line.
long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void WriteError(std::string_view text) { Err().Write(text); }

// An input read whole; a large one shows how far the reading is on a terminal.
// The line is gone before anything else is printed, an error included.
ds::platform::FileContent ReadInput(const std::string& path, cli::ProgressLine& progress) {
  ds::platform::FileContent file =
      ds::platform::ReadInputFile(path, [&progress](size_t done, size_t total) { progress.Update(done, total); });
  progress.Finish();
  return file;
}

// A file or an option text in GBK, or an error naming where it failed.
bool ToGbk(const std::string& bytes, cli::Encoding encoding, const std::string& what, std::string* gbk,
           std::string* error) {
  cli::Decoded d = cli::DecodeInput(bytes, encoding);
  if (d.badOffset) {
    *error = what + ": byte " + std::to_string(*d.badOffset) +
             (encoding == cli::Encoding::kGbk ? ": not a code page 936 character"
                                              : ": not valid UTF-8 or a character that code page 936 cannot hold");
    return false;
  }
  *gbk = std::move(d.gbk);
  return true;
}

ds::Separators SeparatorsOf(const cli::SessionInput& in) {
  return {ds::SeparatorFromSetting(ds::SeparatorKind::kLine, in.lineSeparatorBox),
          ds::SeparatorFromSetting(ds::SeparatorKind::kValue, in.valueSeparatorBox)};
}

// A file read as a dropped file is (byte order marks always; else UTF-8,
// or GBK when it is none or --encoding gbk says so), then through the
// recogniser into the slot text, with what the report tells of its source.
bool ImportedText(std::string bytes, const cli::Options& o, const cli::SessionInput& in, const ds::HarChoice& choice,
                  const std::string& name, std::string* slotText, ds::ExportTarget* target, std::string* note,
                  std::string* error) {
  ds::DecodedCapture d = ds::DecodeCapture(std::move(bytes), o.encoding == cli::Encoding::kGbk);
  if (d.badOffset) {
    *error = name + ": byte " + std::to_string(*d.badOffset) +
             (d.nul ? ": a NUL byte (UTF-16 without a byte order mark?)"
                    : ": not a character that code page 936 can hold");
    return false;
  }
  ds::Separators separators = SeparatorsOf(in);
  ds::AnalysisMode mode = o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  ds::Recognised r = ds::Recognise(d.text, o.from, mode, separators, choice);
  if (r.error) {
    *error = name + ": " + cli::EncodeOutput(*r.error, o.encoding);
    return false;
  }
  *slotText = std::move(r.slotText);
  *target = ds::ExportTargetOf(r.origin);
  *note = std::move(r.note);
  return true;
}

// A HAR file's entries, or an error naming the file.
bool ReadSession(const std::string& path, const cli::Options& o, cli::ProgressLine& progress,
                 std::vector<ds::HarEntry>* entries, std::string* error) {
  std::string name = path == "-" ? "standard input" : Shown(path, o.encoding);
  ds::platform::FileContent file = ReadInput(path, progress);
  if (!file.error.empty()) {
    *error = "cannot read " + name + ": " + file.error;
    return false;
  }
  ds::DecodedCapture d = ds::DecodeCapture(std::move(file.bytes), o.encoding == cli::Encoding::kGbk);
  if (d.badOffset) {
    *error = name + ": byte " + std::to_string(*d.badOffset) + ": not text";
    return false;
  }
  ds::Capture capture = ds::ReadCapture(d.text, ds::CaptureFormat::kHar, ds::AnalysisMode::kCookies);
  if (capture.error) {
    *error = name + ": " + cli::EncodeOutput(*capture.error, o.encoding);
    return false;
  }
  *entries = std::move(capture.entries);
  return true;
}

// The key of the run: --key's bytes, a key file's (without the line break
// that ends its last line), or random bytes when neither is given.
bool MaskKeyOf(const cli::Options& o, std::string* key, std::string* error) {
  if (o.key) {
    *key = *o.key;
    return true;
  }
  if (o.keyFile) {
    ds::platform::FileContent file = ds::platform::ReadInputFile(*o.keyFile);
    std::string name = Shown(*o.keyFile, o.encoding);
    if (!file.error.empty()) {
      *error = "cannot read the key file " + name + ": " + file.error;
      return false;
    }
    std::string& bytes = file.bytes;
    if (!bytes.empty() && bytes.back() == '\n') bytes.pop_back();
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    if (bytes.empty()) {
      *error = "the key file " + name + " is empty";
      return false;
    }
    *key = std::move(bytes);
    return true;
  }
  std::optional<std::string> random = ds::RandomMaskKey();
  if (!random) {
    *error = "the system gave no random bytes for a key";
    return false;
  }
  *key = std::move(*random);
  return true;
}

// Why a HAR could not be sanitised, in one line naming the file.
std::string SanitizeFailure(const std::string& name, const ds::SanitizedHar& s) {
  switch (s.error) {
    case ds::SanitizeError::kNotJson: return name + ": not a HAR: not valid JSON at byte " + std::to_string(s.offset);
    case ds::SanitizeError::kBadUtf8: return name + ": byte " + std::to_string(s.offset) + ": not valid UTF-8";
    case ds::SanitizeError::kNotHar: return name + ": not a HAR (no log.entries)";
    case ds::SanitizeError::kBase64Body:
      return name + ": entry " + std::to_string(s.offset) +
             " holds a Base64 body, whose secrets cannot be found; sanitise without --keep-bodies";
    case ds::SanitizeError::kNone: break;
  }
  return {};
}

// The file's name inside the output folder.
std::string OutputPath(const std::string& dir, const std::string& file) {
  size_t slash = file.find_last_of("/\\");
  std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
  return dir + (dir.empty() || dir.back() == '/' || dir.back() == '\\' ? "" : "/") + base;
}

// Each HAR sanitised under one key: to standard output, or into -o DIR
// under its own name, each written whole or not at all.
int RunSanitize(const cli::Options& o, cli::ProgressLine& progress) {
  std::string key, error;
  if (!MaskKeyOf(o, &key, &error)) return Fail(error);
  ds::SecretRule rule(key, o.keepNames, o.maskNames);
  ds::SanitizeOptions options{o.keepBodies, ds::UtcDate(std::chrono::system_clock::now())};
  if (o.outputDir) {
    std::string why = ds::platform::MakeFolder(*o.outputDir);
    if (!why.empty()) return Fail("cannot write into " + Shown(*o.outputDir, o.encoding) + ": " + why);
  }
  std::vector<std::string> targets;
  for (const std::string& file : o.files) {
    if (!o.outputDir) continue;
    std::string target = OutputPath(*o.outputDir, file);
    if (std::find(targets.begin(), targets.end(), target) != targets.end())
      return Fail("two files would be written as " + Shown(target, o.encoding));
    if (ds::platform::IsSameFile(file, target))
      return Fail(Shown(file, o.encoding) + ": -o would write over the file itself");
    targets.push_back(target);
  }
  for (size_t i = 0; i < o.files.size(); ++i) {
    const std::string& file = o.files[i];
    std::string name = file == "-" ? "standard input" : Shown(file, o.encoding);
    ds::platform::FileContent content = ReadInput(file, progress);
    if (!content.error.empty()) return Fail("cannot read " + name + ": " + content.error);
    ds::SanitizedHar s = ds::SanitizeHarText(content.bytes, rule, options);
    if (s.error != ds::SanitizeError::kNone) return Fail(SanitizeFailure(name, s));
    if (!o.outputDir) {
      if (!Print(s.text, &error)) return Fail(error);
      continue;
    }
    std::string why = ds::platform::WriteFileReplacing(targets[i], s.text);
    if (!why.empty()) return Fail("cannot write " + Shown(targets[i], o.encoding) + ": " + why);
  }
  return 0;
}

// --mask's rule, with the run's key.
std::optional<ds::SecretRule> MaskRuleOf(const cli::Options& o, std::string* error) {
  if (!o.mask) return std::nullopt;
  std::string key;
  if (!MaskKeyOf(o, &key, error)) return std::nullopt;
  return ds::SecretRule(key, o.keepNames, {});
}

// Two HAR files compared request by request.
int RunSessions(const cli::Options& o, const cli::SessionInput& in, cli::ProgressLine& progress,
                const ds::SecretRule* mask) {
  std::string error;
  std::vector<ds::HarEntry> a, b;
  if (!ReadSession(o.file1, o, progress, &a, &error) || !ReadSession(o.file2, o, progress, &b, &error))
    return Fail(error);
  if (mask) {
    ds::SanitizeEntries(a, *mask);
    ds::SanitizeEntries(b, *mask);
  }
  ds::SessionsInput s;
  s.mode = o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  s.separators = {ds::SeparatorFromSetting(ds::SeparatorKind::kLine, in.lineSeparatorBox),
                  ds::SeparatorFromSetting(ds::SeparatorKind::kValue, in.valueSeparatorBox)};
  s.rule = in.rule;
  s.ignorePatterns = in.ignorePatterns;
  // Times, request ids and tags a response carries change from run to run;
  // a query parameter, cookie or request header of such a name is the user's.
  s.volatileHeaders = *ds::IgnorePreset("volatile");
  cli::SessionsReport report{o.file1, o.file2, a.size(), b.size(), o.httpMode, ds::CompareSessions(a, b, s), {}};
  report.why = cli::WhyOfPairs(a, b, report.pairs);
  std::string out = o.json ? cli::SessionsJson(report, o.encoding) : cli::SessionsText(report, o.encoding);
  if (!Print(out, &error)) return Fail(error);
  return report.HasDifferences() ? 1 : 0;
}

// One HAR replayed through the cookie store: every request, or the one
// chosen by number or by a piece of its URL (UTF-8).
int RunJar(const cli::Options& o, const std::optional<std::string>& urlPart, cli::ProgressLine& progress,
           const ds::SecretRule* mask) {
  std::string error;
  std::vector<ds::HarEntry> entries;
  if (!ReadSession(o.file1, o, progress, &entries, &error)) return Fail(error);
  if (mask) ds::SanitizeEntries(entries, *mask);
  std::string name = o.file1 == "-" ? "standard input" : o.file1;
  std::vector<ds::JarVerdict> verdicts = ds::ReplayCookies(entries);
  cli::JarReport report{name, entries.size(), {}};
  if (o.jarEntry) {
    if (static_cast<size_t>(*o.jarEntry) > verdicts.size())
      return Fail(Shown(name, o.encoding) + ": no entry " + std::to_string(*o.jarEntry) + " (the file has " +
                  std::to_string(verdicts.size()) + ")");
    report.verdicts.push_back(std::move(verdicts[*o.jarEntry - 1]));
  } else if (urlPart) {
    auto found = std::find_if(verdicts.begin(), verdicts.end(),
                              [&](const ds::JarVerdict& v) { return v.url.find(*urlPart) != std::string::npos; });
    if (found == verdicts.end()) return Fail(Shown(name, o.encoding) + ": no entry's URL contains the text of --url");
    report.verdicts.push_back(std::move(*found));
  } else {
    report.verdicts = std::move(verdicts);
  }
  std::string out = o.json ? cli::JarJson(report, o.encoding) : cli::JarText(report, o.encoding);
  if (!Print(out, &error)) return Fail(error);
  return report.HasDifferences() ? 1 : 0;
}

// The rows in the format --to names, printed; or why a row cannot be.
int PrintExport(const std::vector<ds::Row>& rows, const cli::Options& o, const ds::ExportTarget& target) {
  ds::AnalysisMode mode = o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  ds::Exported out = ds::Export(*ds::ExporterNamed(*o.to, mode), {rows, mode, target});
  if (out.error) return Fail(cli::EncodeOutput(*out.error, o.encoding));
  // Python reads a file as UTF-8 unless its first line says otherwise.
  if (*o.to == "python" && o.encoding == cli::Encoding::kGbk && !ds::IsAscii(out.text))
    out.text.insert(0, "# -*- coding: gbk -*-\r\n");
  std::string error;
  return Print(cli::EncodeOutput(out.text, o.encoding), &error) ? 0 : Fail(error);
}

// The window's input boxes and switches as the options set them, the texts
// of the options in GBK.
bool SessionInputOf(const cli::Options& o, cli::SessionInput* in, std::string* error) {
  in->httpMode = o.httpMode;
  in->rule = {!o.ignoreCase, !o.fuzzy};
  in->removeDuplicates = o.removeDuplicates;
  in->wantReports = o.json;
  in->keepParsed = o.json;
  in->decode = o.decode;
  in->ignorePatterns = o.presetIgnore;
  for (const std::string& pattern : o.ignore) {
    std::string gbk;
    if (!ToGbk(pattern, ArgumentEncoding(), "--ignore", &gbk, error)) return false;
    in->ignorePatterns.push_back(std::move(gbk));
  }
  ds::SeparatorBoxes defaults = ds::DefaultSeparatorBoxes(o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies);
  in->lineSeparatorBox = defaults.line;
  in->valueSeparatorBox = defaults.value;
  if (o.lineSeparator && !ToGbk(*o.lineSeparator, ArgumentEncoding(), "--line-sep", &in->lineSeparatorBox, error))
    return false;
  return !o.valueSeparator ||
         ToGbk(*o.valueSeparator, ArgumentEncoding(), "--value-sep", &in->valueSeparatorBox, error);
}

// A piece of a URL as typed, in the capture's own UTF-8.
bool UrlPart(const std::string& argument, const char* option, std::string* utf8, std::string* error) {
  std::string gbk;
  if (!ToGbk(argument, ArgumentEncoding(), option, &gbk, error)) return false;
  *utf8 = ds::platform::FromUtf16(ds::platform::ToUtf16(gbk, ds::platform::kCodePageGbk), ds::platform::kCodePageUtf8);
  return true;
}

// The slot texts a comparison or a conversion reads, with the export
// target and the report's note on each file's source.
struct SlotFiles {
  ds::ExportTarget targets[2];
  std::string notes[2];
};

bool ReadSlots(const cli::Options& o, cli::SessionInput& in, cli::ProgressLine& progress, SlotFiles* slotFiles,
               std::string* error) {
  ds::HarChoice choice;
  choice.number = o.harEntry;
  if (o.harUrl && !UrlPart(*o.harUrl, "--har-url", &choice.urlPart.emplace(), error)) return false;
  std::string* slots[] = {&in.slot1Text, &in.slot2Text};
  const std::string* files[] = {&o.file1, &o.file2};
  const int fileCount = o.command == cli::Options::Command::kConvert ? 1 : 2;
  for (int i = 0; i < fileCount; ++i) {
    std::string name = *files[i] == "-" ? "standard input" : Shown(*files[i], o.encoding);
    std::string gbk;
    {
      ds::platform::FileContent file = ReadInput(*files[i], progress);
      if (!file.error.empty()) {
        *error = "cannot read " + name + ": " + file.error;
        return false;
      }
      if (o.from == ds::CaptureFormat::kPlain) {
        // ASCII reads as itself: the bytes are taken over rather than copied.
        if (o.encoding == cli::Encoding::kUtf8 && ds::IsAscii(file.bytes))
          gbk = std::move(file.bytes);
        else if (!ToGbk(file.bytes, o.encoding, name, &gbk, error))
          return false;
      } else if (!ImportedText(std::move(file.bytes), o, in, choice, name, &gbk, &slotFiles->targets[i],
                               &slotFiles->notes[i], error)) {
        return false;
      }
    }
    *slots[i] = cli::WindowsLineBreaks(std::move(gbk));
  }
  return true;
}

// The items as the slot lists them after the import, in the format of --to.
int RunConvert(const cli::Options& o, const cli::SessionInput& in, const SlotFiles& files,
               const ds::SecretRule* mask) {
  ds::AnalysisMode mode = o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  std::vector<ds::Row> rows = ds::ParseSlotText(in.slot1Text, SeparatorsOf(in), {mode, ds::Slot::k1}).rows;
  if (rows.empty()) return Fail((o.file1 == "-" ? "standard input" : Shown(o.file1, o.encoding)) + ": no items to convert");
  if (mask) ds::MaskItemRows(rows, mode, *mask);
  return PrintExport(rows, o, files.targets[0]);
}

// As the window's completed copy from that slot's item list.
int PrintCompleted(const cli::Options& o, const cli::SessionResult& result, const SlotFiles& files) {
  bool slot1 = *o.completed == 1;
  ds::CompletedInput completed;
  completed.currentRole = slot1 ? ds::ListRole::kSlot1Items : ds::ListRole::kSlot2Items;
  completed.current = &(slot1 ? result.slot1 : result.slot2).rows.rows;
  completed.focused = slot1 ? ds::FocusedList::kSlot1Items : ds::FocusedList::kSlot2Items;
  // The window's missing lists hold rows of their own; made here, for this alone.
  ds::ComparisonLists lists = ds::ListsOfPairs(result.lists, result.slot1.rows, result.slot2.rows);
  completed.slot1Items = &result.slot1.rows.rows;
  completed.slot1Missing = &lists.missingInSlot1;
  completed.slot2Items = &result.slot2.rows.rows;
  completed.slot2Missing = &lists.missingInSlot2;
  int status = PrintExport(ds::Joined(*ds::CompletedRowsOf(completed)), o, files.targets[slot1 ? 0 : 1]);
  return status != 0 ? status : result.HasDifferences() ? 1 : 0;
}

int RunCompare(const cli::Options& o, cli::SessionInput in, const SlotFiles& files, cli::ProgressLine& progress) {
  size_t bytes = in.slot1Text.size() + in.slot2Text.size();
  in.stage = [&progress, bytes](const char* step) { progress.Stage(step, bytes); };
  cli::SessionResult result = cli::RunSession(std::move(in));
  progress.Finish();
  result.slot1.source = files.notes[0];
  result.slot2.source = files.notes[1];
  if (result.refusal) return Fail(cli::EncodeOutput(result.refusal->text, o.encoding));
  if (o.completed) return PrintCompleted(o, result, files);
  std::string error;
  auto print = [&error](std::string_view piece) {
    if (error.empty()) Print(piece, &error);
  };
  if (o.json) {
    cli::WriteJson(result, o.httpMode, o.encoding, print);
  } else {
    bool color = cli::UseColor(o.color, cli::IsTerminal(stdout), std::getenv("NO_COLOR")) &&
                 cli::EnableTerminalColors();
    cli::WriteText(result, o.encoding, print, color);
  }
  if (!error.empty()) return Fail(error);
  return result.HasDifferences() ? 1 : 0;
}

int PrintHelp(const cli::Options& o) {
  std::string error;
  const cli::CommandRow* command = cli::CommandNamed(o.file1);
  return Print(command ? cli::CommandHelp(*command) : cli::GeneralHelp(), &error) ? 0 : Fail(error);
}

int Run(int argc, char** argv) {
  cli::ParsedOptions parsed = cli::ParseOptions(CommandLine(argc, argv));
  if (!parsed.error.empty()) return Fail(parsed.error + " (see --help)");
  const cli::Options& o = parsed.options;
  Out().SetEncoding(o.encoding);
  Err().SetEncoding(o.encoding);
  std::string error;
  switch (o.command) {
    case cli::Options::Command::kHelp: return PrintHelp(o);
    case cli::Options::Command::kVersion: return Print("dualsieve-cli " DS_VERSION "\n", &error) ? 0 : Fail(error);
    case cli::Options::Command::kCompletion:
      return Print(cli::CompletionScript(o.file1), &error) ? 0 : Fail(error);
    default: break;
  }
  cli::ProgressLine progress(cli::IsTerminal(stderr), o.quiet, NowMs, WriteError);
  if (o.command == cli::Options::Command::kSanitize) return RunSanitize(o, progress);
  std::optional<ds::SecretRule> mask = MaskRuleOf(o, &error);
  if (!error.empty()) return Fail(error);
  const ds::SecretRule* maskRule = mask ? &*mask : nullptr;
  cli::SessionInput in;
  if (!SessionInputOf(o, &in, &error)) return Fail(error);
  const ds::AnalysisMode runMode = o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  if (mask) in.maskRows = [maskRule, runMode](std::vector<ds::Row>& rows) { ds::MaskItemRows(rows, runMode, *maskRule); };
  if (o.command == cli::Options::Command::kSessions) return RunSessions(o, in, progress, maskRule);
  if (o.command == cli::Options::Command::kJar) {
    std::optional<std::string> urlPart;
    if (o.jarUrl && !UrlPart(*o.jarUrl, "--url", &urlPart.emplace(), &error)) return Fail(error);
    return RunJar(o, urlPart, progress, maskRule);
  }
  SlotFiles files;
  if (!ReadSlots(o, in, progress, &files, &error)) return Fail(error);
  // What an export prints besides the items: the request's URL and body.
  if (mask)
    for (ds::ExportTarget& target : files.targets) ds::MaskExportTarget(target, *mask);
  if (o.command == cli::Options::Command::kConvert) return RunConvert(o, in, files, maskRule);
  return RunCompare(o, std::move(in), files, progress);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

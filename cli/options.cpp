#include "cli/options.h"

#include "compare/ignore_list.h"
#include "export/exporters.h"

namespace cli {

const char kUsage[] =
    "usage: dualsieve-cli compare [options] FILE1 FILE2\n"
    "       dualsieve-cli sessions [--mode …] [--ignore …] [--json] A.har B.har\n"
    "       dualsieve-cli convert --to FORMAT [options] FILE\n"
    "       dualsieve-cli jar [--entry N | --url TEXT] [--json] [--encoding …] SESSION.har\n"
    "       dualsieve-cli sanitize [--key TEXT | --key-file FILE] [--keep NAME] [--mask NAME] [--keep-bodies]\n"
    "                     FILE.har… [-o DIR]\n"
    "       dualsieve-cli --help | --version\n"
    "\n"
    "FILE1 is the Slot 1 text, FILE2 the Slot 2 text; '-' reads standard input (one of them at most).\n"
    "convert prints the items of FILE (read as --from says, auto unless told) in FORMAT.\n"
    "  --mode cookies|http        analysis mode and its default separators (cookies)\n"
    "  --line-sep TEXT            line separator as typed into its box\n"
    "  --value-sep TEXT           value separator as typed into its box\n"
    "  --ignore-case              names match without regard to letter case\n"
    "  --fuzzy                    names match by prefix or containment, not equality\n"
    "  --duplicates keep|remove   answer to the duplicate question (keep)\n"
    "  --encoding utf-8|gbk       encoding of the files and of the output, not of the arguments (utf-8)\n"
    "  --json                     print a JSON document instead of the text report\n"
    "  --from FORMAT              what the files hold: plain (as pasted), auto (recognise), curl,\n"
    "                             curl-verbose, raw, har, cookies-txt, json, json-object, powershell,\n"
    "                             fetch, python or javascript;\n"
    "                             the capture's cookies or headers are taken (plain)\n"
    "  --har-entry N              the HAR entry (or curl -v exchange) to take, from 1 (the first with\n"
    "                             a Cookie header)\n"
    "  --har-url TEXT             the first HAR entry whose URL contains TEXT\n"
    "  --decode                   decode both values of each difference (URL encoding, Base64, JWT, JSON)\n"
    "                             and show where they differ\n"
    "  --ignore PATTERN           leave names matching PATTERN (* and ?) out of the lists; repeatable\n"
    "  --ignore-preset NAME       the same for a set of names: analytics or volatile\n"
    "  --to FORMAT                print the items in FORMAT instead of a report; cookies mode:\n"
    "                             cookie-header, curl, curl-cmd, powershell, python, javascript,\n"
    "                             json (an array of name and value), cookies-txt; http mode: headers,\n"
    "                             curl, curl-cmd, powershell, python, json (an object), fetch\n"
    "  --completed 1|2            compare: the slot printed with --to, completed with the items it lacks\n"
    "sessions pairs the requests of two HAR files (method, host, path, query names, in order) and compares\n"
    "each pair's cookies (or headers with --mode http), query parameters, Set-Cookie items and status;\n"
    "the volatile preset is always on there. It takes --mode, --ignore-case, --fuzzy, --encoding, --json,\n"
    "--ignore and --ignore-preset.\n"
    "jar replays SESSION.har through a browser's cookie store, in time order, and shows for each request\n"
    "(or the one --entry N or --url TEXT picks) the cookies it should have sent, how that differs from what\n"
    "it sent, the stored cookies kept back and the Set-Cookie lines refused, each with its rule.\n"
    "sanitize writes a copy of each HAR fit to share: every cookie value, Authorization, and headers, query\n"
    "and form parameters whose names look like credentials (token, session, sid, auth, key, secret, password,\n"
    "passwd, code, ticket, csrf, xsrf, jwt, signature) and JWTs anywhere become a stand-in such as\n"
    "《masked:3f9a1c0e:32》 (a keyed hash and the length), so equal values stay equal; bodies are dropped.\n"
    "One file goes to standard output, several into DIR under their own names.\n"
    "  --key TEXT, --key-file FILE  the key of the hash (a random one per run if neither is given)\n"
    "  --keep NAME, --mask NAME     leave or mask the values of names matching NAME (* and ?); repeatable\n"
    "  --keep-bodies                keep request and response bodies, their secrets masked\n"
    "  -o DIR                       write into DIR\n"
    "--mask on compare, sessions, jar and convert masks the values they print by the same rule\n"
    "(--key, --key-file and --keep as above).\n"
    "Exit status: 0 no differences, 1 differences, 2 error.\n";

namespace {

// What sanitize cannot do with the options and files it was given.
std::string SanitizeOptionsError(const Options& o, const std::vector<std::string>& files) {
  if (files.empty()) return "sanitize needs at least one file";
  if (o.key && o.keyFile) return "--key and --key-file cannot be given together";
  if (o.key && o.key->empty()) return "--key needs a text that is not empty";
  if (files.size() > 1 && !o.outputDir) return "sanitize writes several files into a folder: give -o DIR";
  for (const std::string& f : files)
    if (f == "-" && o.outputDir) return "standard input has no name to write under in -o DIR";
  if (o.json || o.to || o.decode || o.mask) return "sanitize takes --key, --key-file, --keep, --mask, --keep-bodies and -o";
  return {};
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) {
  ParsedOptions p;
  Options& o = p.options;
  if (args.empty()) {
    p.error = "missing command";
    return p;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    o.command = Options::Command::kHelp;
    return p;
  }
  if (args[0] == "--version") {
    o.command = Options::Command::kVersion;
    return p;
  }
  // Each command and how many files it reads; the options are shared.
  struct CommandRow {
    const char* name;
    Options::Command command;
    size_t files;
  };
  static constexpr CommandRow kCommands[] = {
      {"compare", Options::Command::kCompare, 2},
      {"convert", Options::Command::kConvert, 1},
      {"sessions", Options::Command::kSessions, 2},
      {"jar", Options::Command::kJar, 1},
      {"sanitize", Options::Command::kSanitize, 0},  // one or more
  };
  const CommandRow* command = nullptr;
  for (const CommandRow& row : kCommands)
    if (args[0] == row.name) command = &row;
  if (!command) {
    p.error = "unknown command '" + args[0] + "'";
    return p;
  }
  o.command = command->command;
  bool fromGiven = false;
  std::vector<std::string> files;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        p.error = std::string("option ") + name + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    // One of two words; true for the second.
    auto choice = [&](const char* name, const char* first, const char* second) -> std::optional<bool> {
      auto v = value(name);
      if (!v) return std::nullopt;
      if (*v != first && *v != second) {
        p.error = std::string(name) + " takes " + first + " or " + second + ", not '" + *v + "'";
        return std::nullopt;
      }
      return *v == second;
    };
    if (a == "--mode") {
      auto http = choice("--mode", "cookies", "http");
      if (!http) return p;
      o.httpMode = *http;
    } else if (a == "--line-sep") {
      if (!(o.lineSeparator = value("--line-sep"))) return p;
    } else if (a == "--value-sep") {
      if (!(o.valueSeparator = value("--value-sep"))) return p;
    } else if (a == "--ignore-case") {
      o.ignoreCase = true;
    } else if (a == "--fuzzy") {
      o.fuzzy = true;
    } else if (a == "--duplicates") {
      auto remove = choice("--duplicates", "keep", "remove");
      if (!remove) return p;
      o.removeDuplicates = *remove;
    } else if (a == "--encoding") {
      auto gbk = choice("--encoding", "utf-8", "gbk");
      if (!gbk) return p;
      o.encoding = *gbk ? Encoding::kGbk : Encoding::kUtf8;
    } else if (a == "--from") {
      auto v = value("--from");
      if (!v) return p;
      std::optional<ds::CaptureFormat> from = ds::CaptureFormatNamed(*v);
      if (!from) {
        p.error = "--from takes one of " + ds::CaptureFormatNames() + ", not '" + *v + "'";
        return p;
      }
      o.from = *from;
      fromGiven = true;
    } else if (a == "--har-entry") {
      auto v = value("--har-entry");
      if (!v) return p;
      size_t digits = v->find_first_not_of("0123456789");
      if (v->empty() || digits != std::string::npos || v->size() > 9 || std::stoll(*v) < 1) {
        p.error = "--har-entry takes an entry number from 1, not '" + *v + "'";
        return p;
      }
      o.harEntry = std::stoll(*v);
    } else if (a == "--har-url") {
      if (!(o.harUrl = value("--har-url"))) return p;
    } else if (a == "--entry") {
      auto v = value("--entry");
      if (!v) return p;
      if (v->empty() || v->find_first_not_of("0123456789") != std::string::npos || v->size() > 9 || std::stoll(*v) < 1) {
        p.error = "--entry takes an entry number from 1, not '" + *v + "'";
        return p;
      }
      o.jarEntry = std::stoll(*v);
    } else if (a == "--url") {
      if (!(o.jarUrl = value("--url"))) return p;
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--decode") {
      o.decode = true;
    } else if (a == "--ignore") {
      auto pattern = value("--ignore");
      if (!pattern) return p;
      o.ignore.push_back(*pattern);
    } else if (a == "--ignore-preset") {
      auto v = value("--ignore-preset");
      if (!v) return p;
      std::optional<std::vector<ds::Text>> preset = ds::IgnorePreset(*v);
      if (!preset) {
        p.error = "--ignore-preset takes analytics or volatile, not '" + *v + "'";
        return p;
      }
      o.presetIgnore.insert(o.presetIgnore.end(), preset->begin(), preset->end());
    } else if (a == "--to") {
      if (!(o.to = value("--to"))) return p;
    } else if (a == "--completed") {
      auto second = choice("--completed", "1", "2");
      if (!second) return p;
      o.completed = *second ? 2 : 1;
    } else if (a == "--mask" && o.command != Options::Command::kSanitize) {
      o.mask = true;
    } else if (a == "--mask" || a == "--keep") {
      auto pattern = value(a == "--mask" ? "--mask" : "--keep");
      if (!pattern) return p;
      (a == "--mask" ? o.maskNames : o.keepNames).push_back(*pattern);
    } else if (a == "--key") {
      if (!(o.key = value("--key"))) return p;
    } else if (a == "--key-file") {
      if (!(o.keyFile = value("--key-file"))) return p;
    } else if (a == "--keep-bodies") {
      o.keepBodies = true;
    } else if (a == "-o") {
      if (!(o.outputDir = value("-o"))) return p;
    } else if (a == "--help" || a == "-h") {
      o.command = Options::Command::kHelp;
      return p;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      p.error = "unknown option '" + a + "'";
      return p;
    } else {
      files.push_back(a);
    }
  }
  if (o.command == Options::Command::kSanitize) {
    p.error = SanitizeOptionsError(o, files);
    o.files = std::move(files);
    return p;
  }
  if (!o.keepNames.empty() || o.key || o.keyFile || o.keepBodies || o.outputDir) {
    const char* which = !o.keepNames.empty() ? "--keep" : o.key ? "--key" : o.keyFile ? "--key-file" : nullptr;
    if (!which) {
      p.error = std::string(o.keepBodies ? "--keep-bodies" : "-o") + " belongs to sanitize";
      return p;
    }
    if (!o.mask) {
      p.error = std::string(which) + " belongs to sanitize and --mask";
      return p;
    }
  }
  if (o.key && o.keyFile) {
    p.error = "--key and --key-file cannot be given together";
    return p;
  }
  if (o.mask && o.decode) {
    p.error = "--mask and --decode cannot be given together: masked values hold nothing to decode";
    return p;
  }
  if (files.size() != command->files) {
    p.error = std::string(command->name) + " needs " + (command->files == 1 ? "one file" : "two files") + ", got " +
              std::to_string(files.size());
    return p;
  }
  ds::AnalysisMode mode = o.httpMode ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  if (o.to && !ds::ExporterNamed(*o.to, mode)) {
    p.error = "--to takes one of " + ds::ExporterNames(mode) + " in " + (o.httpMode ? "http" : "cookies") +
              " mode, not '" + *o.to + "'";
    return p;
  }
  if ((o.jarEntry || o.jarUrl) && o.command != Options::Command::kJar) {
    p.error = std::string(o.jarEntry ? "--entry" : "--url") + " belongs to jar";
    return p;
  }
  if (o.jarEntry && o.jarUrl) {
    p.error = "--entry and --url cannot be given together";
    return p;
  }
  if (o.command == Options::Command::kConvert) {
    if (!o.to) {
      p.error = "convert needs --to FORMAT";
      return p;
    }
    if (o.completed) {
      p.error = "--completed belongs to compare";
      return p;
    }
    if (!fromGiven) o.from = ds::CaptureFormat::kAuto;
  } else if (o.to.has_value() != o.completed.has_value()) {
    p.error = "compare takes --to and --completed together";
    return p;
  }
  if (o.to && o.json) {
    p.error = "--json and --to cannot be given together";
    return p;
  }
  if (o.harEntry && o.harUrl) {
    p.error = "--har-entry and --har-url cannot be given together";
    return p;
  }
  if (files.size() > 1 && files[0] == "-" && files[1] == "-") {
    p.error = "standard input can stand for one of the files only";
    return p;
  }
  o.file1 = files[0];
  if (files.size() > 1) o.file2 = files[1];
  return p;
}

}  // namespace cli

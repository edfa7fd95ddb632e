// Values in code captures are taken only where the language makes them
// constant text; anything the code computes when it runs is refused by
// name, never imported as written.
#include <gtest/gtest.h>

#include "import/capture.h"
#include "import/code_literals.h"
#include "import/texts.h"
#include "items/sentence.h"
#include "items/separators.h"
#include "tests/test_gbk.h"

namespace ds {
namespace {

using namespace std::string_literals;
using test::Gbk;

constexpr CodeLanguage kJs = CodeLanguage::kJavaScript;
constexpr CodeLanguage kPy = CodeLanguage::kPython;
constexpr CodeLanguage kPs = CodeLanguage::kPowerShell;

// The value as the scanner reads it at the start of `code`, in a dict
// (followed by the dict's end).
std::optional<std::string> ValueOf(CodeLanguage language, const std::string& code) {
  std::string text = code + (language == kPs ? "\n}" : " }");
  CodeScanner s(text, language);
  std::optional<std::string> v = s.Constant("v");
  EXPECT_EQ(v.has_value(), !s.refusal()) << code;
  if (s.refusal()) {
    EXPECT_EQ(s.refusal()->name, "v") << code;
  }
  return v;
}

TEST(CodeConstants, LiteralsTheLanguageMakesConstantAreReadExactly) {
  struct Case {
    CodeLanguage language;
    std::string code, value;
  } cases[] = {
      {kPy, "'a' 'b'", "ab"},
      {kPy, "('a'  # first half\n   \"b\"\n   r'\\n')", "ab\\n"},
      {kPy, "f'x{{y}}z'", "x{y}z"},
      {kPy, "rf'\\d{{2}}'", "\\d{2}"},
      {kPy, "'a\\\n'", "a"},
      {kPy, "'''a\r\nb'''", "a\nb"},
      {kPy, "-42", "-42"},
      {kPy, "0", "0"},
      {kPy, "R'x\\ty'", "x\\ty"},
      {kPy, "'x''y'", "xy"},  // two literals side by side, not an escaped quote
      // A lone surrogate is no character: U+FFFD in its place, never bytes
      // no UTF-8 reader takes, never nothing.
      {kPy, "'\\udc00x'", "\xEF\xBF\xBD" "x"},
      {kPy, "'x\\ud800y'", "x\xEF\xBF\xBD" "y"},
      {kJs, "`a\\tb\\u0041\\`\\${x}`", "a\tbA`${x}"},
      {kJs, "`one\r\ntwo\rthree`", "one\ntwo\nthree"},
      {kJs, "`$ {x} $`", "$ {x} $"},
      {kJs, "\"\\101\\0\\8\\60x\\1234\"", "A\0"s "80xS4"},
      {kJs, "(\"a\")", "a"},
      {kPs, "\"a `$x $ b\"", "a $x $ b"},
      {kPs, "\"$([char]0x5f20)$([char]19977)\"", "张三"},
      {kPs, "'$x'", "$x"},
      {kPs, "7", "7"},
  };
  for (const Case& c : cases) EXPECT_EQ(ValueOf(c.language, c.code), c.value) << c.code;
}

// What a converter writes so that the client sends a text's UTF-8 bytes
// reads as the text itself.
TEST(CodeConstants, ClientSpellingsOfUtf8BytesReadAsTheText) {
  for (std::string code : {"'张三'.encode().decode('latin-1')", "'张三'.encode('utf-8').decode('iso-8859-1')",
                           "\"张三\" .encode(\"UTF8\") .decode('latin1')"})
    EXPECT_EQ(ValueOf(kPy, code), "张三") << code;
  for (std::string code : {"unescape(encodeURIComponent(\"张三\"))", "unescape( encodeURIComponent( `\\u5f20三` ) )"})
    EXPECT_EQ(ValueOf(kJs, code), "张三") << code;
  // Any other chain changes the text, or is not the same bytes.
  for (std::string code : {"'张三'.encode().decode('cp1252')", "'张三'.encode('gbk').decode('latin-1')",
                           "'a'.encode()", "'a'.decode('latin-1')", "b'a'.decode('latin-1')",
                           "'a'.encode().decode('latin-1').upper()", "'a'.encode().decode(enc)"})
    EXPECT_EQ(ValueOf(kPy, code), std::nullopt) << code;
  for (std::string code : {"unescape(\"%41\")", "unescape(encodeURIComponent(\"a\" + b))", "encodeURIComponent(\"a\")",
                           "unescape(encodeURIComponent(`${a}`))", "unescape(encodeURIComponent(\"a\")).trim()"})
    EXPECT_EQ(ValueOf(kJs, code), std::nullopt) << code;
}

TEST(CodeConstants, WhatTheCodeComputesIsRefused) {
  struct Case {
    CodeLanguage language;
    std::string code;
  } cases[] = {
      {kJs, "'a' + 'b'"}, {kJs, "`Bearer ${token}`"}, {kJs, "token"}, {kJs, "null"}, {kJs, "undefined"},
      {kJs, "true"}, {kJs, "f()"}, {kJs, "1.5"}, {kJs, "0x10"}, {kJs, "007"}, {kJs, "-0"},
      {kJs, "12345678901234567"}, {kJs, "'a'.toUpperCase()"}, {kJs, "{a: '1'}"}, {kJs, "['a']"},
      {kJs, "`\\1`"}, {kJs, "'\\x4'"}, {kJs, "('a', 'b')"}, {kJs, "'a' ? 'b' : 'c'"},
      {kPy, "None"}, {kPy, "token"}, {kPy, "True"}, {kPy, "f'Bearer {token}'"}, {kPy, "'Bearer ' f'{token}'"},
      {kPy, "f'a}'"}, {kPy, "'a' + 'b'"}, {kPy, "'%s' % x"}, {kPy, "'a' * 2"}, {kPy, "'\\N{DASH}'"},
      {kPy, "str(1)"}, {kPy, "1_000"}, {kPy, "('a', 'b')"},
      {kPs, "$token"}, {kPs, "$null"}, {kPs, "\"Bearer $token\""}, {kPs, "\"${a}\""}, {kPs, "\"$($x)\""},
      {kPs, "\"$([char]x)\""}, {kPs, "\"a\" + \"b\""}, {kPs, "\"a\" -f 1"}, {kPs, "word"}, {kPs, "@{}"},
  };
  for (const Case& c : cases) EXPECT_EQ(ValueOf(c.language, c.code), std::nullopt) << c.code;
}

TEST(CodeConstants, KeysAreLiteralsOrTheLanguagesBareNames) {
  struct Case {
    CodeLanguage language;
    std::string code;
    std::optional<std::string> key;
    std::string refused;  // the name as written when refused
  } cases[] = {
      {kJs, "a: '1'", "a", ""},
      {kJs, "$a_1: '1'", "$a_1", ""},
      {kJs, "'a' 'b': '1'", std::nullopt, "'a' 'b'"},
      {kJs, "[k]: '1'", std::nullopt, "[k]"},
      {kJs, "...rest }", std::nullopt, "...rest"},
      {kJs, "token }", std::nullopt, "token"},
      {kPy, "'a' 'b': '1'", "ab", ""},
      {kPy, "a: '1'", std::nullopt, "a"},
      {kPy, "**rest }", std::nullopt, "**rest"},
      {kPy, "f'{k}': '1'", std::nullopt, "f'{k}'"},
      {kPs, "Content-Type = 'x'", "Content-Type", ""},
      {kPs, "$k = 'x'", std::nullopt, "$k"},
  };
  for (const Case& c : cases) {
    CodeScanner s(c.code, c.language);
    EXPECT_EQ(s.Key(), c.key) << c.code;
    ASSERT_EQ(s.refusal().has_value(), !c.key) << c.code;
    if (s.refusal()) {
      EXPECT_TRUE(s.refusal()->ofName) << c.code;
      EXPECT_EQ(s.refusal()->name, c.refused) << c.code;
    }
  }
}

Recognised RecogniseText(const std::string& utf8, AnalysisMode mode = AnalysisMode::kCookies,
                         CaptureFormat format = CaptureFormat::kAuto) {
  return Recognise(CaptureText{utf8}, format, mode, DefaultSeparators(mode));
}

// Through the readers: the refusal names the item and its kind of capture,
// and nothing comes in.
TEST(CodeConstants, ReadersRefuseByNameAndImportNothing) {
  auto value = [](CaptureKind kind, std::string_view name) {
    return FillIn(texts::kValueNotConstant, {{"kind", CaptureKindName(kind)}, {"name", Gbk(name)}});
  };
  auto key = [](CaptureKind kind, std::string_view name) {
    return FillIn(texts::kNameNotConstant, {{"kind", CaptureKindName(kind)}, {"name", Gbk(name)}});
  };
  const AnalysisMode kHttp = AnalysisMode::kHttp;
  struct Case {
    const char* what;
    std::string text;
    AnalysisMode mode;
    Text error;
  } cases[] = {
      {"a JavaScript concatenation", "{a: 'a' + 'b', c: '1'}", AnalysisMode::kCookies,
       value(CaptureKind::kJavaScript, "a")},
      {"a fetch header from a template", "fetch(\"https://e.com/\", {\"headers\": {\"x-t\": `${t}`}});", kHttp,
       value(CaptureKind::kFetch, "x-t")},
      {"a fetch URL built by concatenation", "fetch(\"https://e.com/\" + p, {\"headers\": {\"cookie\": \"a=1\"}});",
       AnalysisMode::kCookies, value(CaptureKind::kFetch, "url")},
      {"Python's None", "cookies = {'a': '1', 'sid': None}", AnalysisMode::kCookies, value(CaptureKind::kPython, "sid")},
      {"a Python variable", "{'t': token}", AnalysisMode::kCookies, value(CaptureKind::kPython, "t")},
      {"an f-string with a field", "headers = {\n  'Authorization': f'Bearer {token}',\n}", kHttp,
       value(CaptureKind::kPython, "Authorization")},
      {"a dict merged in", "headers = {**base, 'a': '1'}", kHttp, key(CaptureKind::kPython, "**base")},
      {"a variable in PowerShell's double quotes",
       "Invoke-WebRequest -Uri \"https://e.com/\" -Headers @{\"authorization\"=\"Bearer $token\"}", kHttp,
       value(CaptureKind::kPowerShell, "authorization")},
      {"a cookie named by a variable",
       "$session.Cookies.Add((New-Object System.Net.Cookie($n, \"v\", \"/\", \"e.com\")))\n"
       "Invoke-WebRequest -Uri \"https://e.com/\" -WebSession $session",
       AnalysisMode::kCookies, key(CaptureKind::kPowerShell, "$n")},
      {"a method from a variable", "Invoke-WebRequest -Uri \"https://e.com/\" -Method $m -Headers @{\"a\"=\"1\"}",
       kHttp, value(CaptureKind::kPowerShell, "-Method")},
      {"an escape sequence in a name is shown escaped", "{'a\\x1b[2J\\nb': x}", AnalysisMode::kCookies,
       value(CaptureKind::kPython, "a\\x1B[2J\\nb")},
  };
  for (const Case& c : cases) {
    Recognised r = RecogniseText(c.text, c.mode);
    EXPECT_EQ(r.error.value_or("(none)"), c.error) << c.what;
    EXPECT_EQ(r.slotText, "") << c.what;
  }
}

TEST(CodeConstants, ReadersTakeTheConstantsAndTheExportsSpellings) {
  Recognised js = RecogniseText("{a: `x`, 'b': 'y' , c: 2}");
  EXPECT_FALSE(js.error) << js.error.value_or("");
  EXPECT_EQ(js.kind, CaptureKind::kJavaScript) << "bare names make it JavaScript, not Python";
  EXPECT_EQ(js.slotText, "a=x; b=y; c=2; ");

  Recognised py = RecogniseText("cookies = {\n    'nick': '张三'.encode().decode('latin-1'),\n    'k': ('a'\n          'b'),\n}\n");
  EXPECT_FALSE(py.error) << py.error.value_or("");
  EXPECT_EQ(py.slotText, Gbk("nick=张三; k=ab; "));

  Recognised fetch = RecogniseText(
      "fetch(\"https://e.com/\", {\n  \"headers\": {\n    \"cookie\": unescape(encodeURIComponent(\"nick=张三\"))\n  },\n"
      "  \"body\": JSON.stringify({q: 1}),\n  \"method\": \"POST\"\n});");
  EXPECT_FALSE(fetch.error) << fetch.error.value_or("");
  EXPECT_EQ(fetch.slotText, Gbk("nick=张三; "));
  EXPECT_EQ(fetch.origin.method, "POST");
}

}  // namespace
}  // namespace ds

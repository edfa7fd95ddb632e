// Captures brought in through the window: a file dropped from Explorer (a
// real HDROP posted to the input box) and Ctrl+Shift+V.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>

#include "app/main_window.h"
#include "app/texts.h"
#include "import/texts.h"
#include "items/sentence.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"
#include "ui/clipboard.h"
#include "ui/list_choice.h"
#include "ui/popup_menu.h"
#include "ui/save_dialog.h"
#include "ui/text_convert.h"

namespace wintest {
namespace {

using V = std::vector<std::string>;
using ds::test::Gbk;

class ImportWindowTest : public MainWindowTest {
 protected:
  void TearDown() override {
    ui::SetChoiceHook(nullptr);
    for (const std::wstring& f : files_) DeleteFileW(f.c_str());
    MainWindowTest::TearDown();
  }

  std::wstring SaveFile(const wchar_t* name, const std::string& bytes) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    files_.push_back(path);
    return path;
  }

  // As Explorer hands a drop over: a DROPFILES block with the wide name.
  static void Drop(const ui::EditBox& box, const std::wstring& path) {
    size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    PostMessageW(box.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    ui::LetPendingEventsRun();
  }

  std::string Imported(const char* kind, int count) {
    return ds::FillIn(ds::texts::kImportedStatus, {{"kind", kind}, {"count", std::to_string(count)}});
  }

 private:
  std::vector<std::wstring> files_;
};

TEST_F(ImportWindowTest, DroppedHarAsksForTheEntryAndBadFilesChangeNothing) {
  const std::string har =
      "\xEF\xBB\xBF{\"log\": {\"entries\": [\n"
      " {\"request\": {\"method\": \"GET\", \"url\": \"https://e.com/a.png\", \"headers\": []}},\n"
      " {\"request\": {\"method\": \"GET\", \"url\": \"https://e.com/\", \"headers\": [\n"
      "   {\"name\": \"Cookie\", \"value\": \"sid=1; \xE5\x90\x8D=\xE5\x80\xBC\"}]}}]}}";
  ui::ChoiceRequest asked;
  ui::SetChoiceHook([&asked](const ui::ChoiceRequest& r) {
    asked = r;
    return r.selected;
  });
  Drop(c().slot1Input, SaveFile(L"ds-import.har", har));
  // Each request with how many of its cookies the recording cannot account for.
  EXPECT_EQ(asked.lines, (V{Gbk("GET https://e.com/a.png  [Cookie差异: 0]"), Gbk("GET https://e.com/  [Cookie差异: 2]")}));
  EXPECT_EQ(asked.selected, 1);
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"sid", Gbk("名")}));
  EXPECT_EQ(c().statusBar.GetText(), Imported(ds::texts::kKindHar, 2));

  // Leaving the choice, a cut-off HAR, UTF-16 without a mark: the slot stays.
  std::string before = c().slot1Input.GetText();
  ui::SetChoiceHook([](const ui::ChoiceRequest&) { return -1; });
  messages->Expect(ui::MessageAnswer::kOk);
  messages->Expect(ui::MessageAnswer::kOk);
  Drop(c().slot1Input, SaveFile(L"ds-import.har", har));
  Drop(c().slot1Input, SaveFile(L"ds-cut.har", har.substr(0, 40)));
  Drop(c().slot1Input, SaveFile(L"ds-utf16.txt", std::string("a\0=\0001\0", 6)));
  ASSERT_EQ(messages->shown().size(), 2u);
  EXPECT_EQ(messages->shown()[1].text, ds::FillIn(ds::texts::kFileNul, {{"offset", "1"}}));
  EXPECT_EQ(c().slot1Input.GetText(), before);
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"sid", Gbk("名")}));
}

TEST_F(ImportWindowTest, CtrlShiftVPastesThroughTheRecogniserAndCtrlVIsLeftToTheBox) {
  c().httpModeSwitch.Click();
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), "curl 'https://e.com/' -H 'Accept: */*' -b 'a=1; b=2'"));
  c().slot2Input.SetText("");
  KeyWith(c().slot2Input.hwnd(), 'V', {VK_CONTROL});
  EXPECT_EQ(c().slot2Input.GetText(), "");
  KeyWith(c().slot2Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(c().slot2Input.GetText(), "Accept: */*\r\nCookie: a=1; b=2\r\n");
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"Accept", "Cookie"}));
  EXPECT_EQ(c().statusBar.GetText(), Imported(ds::texts::kKindCurl, 2));

  // A character GBK lacks is refused, not pasted as "?".
  const wchar_t wide[] = L"a=\U0001F600";
  ASSERT_TRUE(OpenClipboard(window->hwnd()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof wide);
  memcpy(GlobalLock(memory), wide, sizeof wide);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  messages->Expect(ui::MessageAnswer::kOk);
  KeyWith(c().slot2Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_EQ(messages->shown()[0].text, ds::texts::kClipboardNotGbk);
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"Accept", "Cookie"}));

  // Pasted after the items there: the hint counts what came in.
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), "Host: e.com"));
  c().slot2Input.PutCaretAtEnd();
  KeyWith(c().slot2Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"Accept", "Cookie", "Host"}));
  EXPECT_EQ(c().statusBar.GetText(), Imported(ds::texts::kKindHeaderLines, 1));
}

void PutWideOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

TEST_F(ImportWindowTest, EmojiOutsideTheItemsDoNoHarmAndAnItemWithOneIsRefusedByName) {
  // Firefox's copy: é as \xe9, an emoji in the body as the raw character.
  PutWideOnClipboard(window->hwnd(),
                     L"curl 'https://e.com/' -H $'Cookie: n=caf\\xe9; z=1' --data-raw '{\"m\":\"\U0001F600\"}'");
  KeyWith(c().slot1Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(Column(c().slot1Items, 2), (V{Gbk("café"), "1"}));
  EXPECT_EQ(c().statusBar.GetText(), Imported(ds::texts::kKindCurl, 2));

  // A dropped HAR whose page body holds emoji.
  const std::string har =
      "{\"log\": {\"entries\": [{\"request\": {\"method\": \"GET\", \"url\": \"https://e.com/\", \"headers\": [\n"
      "   {\"name\": \"Cookie\", \"value\": \"sid=2\"}]}, \"response\": {\"content\": {\"text\": \"\xF0\x9F\x8E\x89\"}}}]}}";
  Drop(c().slot2Input, SaveFile(L"ds-emoji.har", har));
  EXPECT_EQ(Column(c().slot2Items, 1), (V{"sid"}));

  // The emoji in a cookie value: refused, naming the cookie, the box kept.
  std::string before = c().slot1Input.GetText();
  PutWideOnClipboard(window->hwnd(), L"Cookie: a=1; mood=\U0001F600");
  messages->Expect(ui::MessageAnswer::kOk);
  KeyWith(c().slot1Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_EQ(messages->shown()[0].text, ds::FillIn(ds::texts::kItemNotGbk, {{"name", "mood"}, {"char", "U+1F600"}}));
  EXPECT_EQ(c().slot1Input.GetText(), before);
}

std::string Har(const std::vector<std::string>& entries) {
  std::string out = "{\"log\": {\"entries\": [";
  for (size_t i = 0; i < entries.size(); ++i) out += (i ? ", " : "") + entries[i];
  return out + "]}}";
}

std::string HarEntry(const std::string& url, const std::string& cookie, int status) {
  return "{\"request\": {\"method\": \"GET\", \"url\": \"" + url +
         "\", \"headers\": [{\"name\": \"cookie\", \"value\": \"" + cookie +
         "\"}]}, \"response\": {\"status\": " + std::to_string(status) +
         ", \"headers\": [{\"name\": \"date\", \"value\": \"Mon\"}], \"content\": {\"text\": \"\xF0\x9F\x98\x80\"}}}";
}

TEST_F(ImportWindowTest, TwoHarsComparedRequestByRequest) {
  const std::string a = Har({HarEntry("https://e.com/", "sid=1", 200), HarEntry("https://e.com/api?p=1", "sid=1; t=dark", 200),
                             HarEntry("https://e.com/old", "sid=1", 200)});
  const std::string b = Har({HarEntry("https://e.com/", "sid=1", 200), HarEntry("https://e.com/api?p=2", "sid=1; t=light", 302)});
  std::vector<ui::ChoiceRequest> asked;
  ui::SetChoiceHook([&asked](const ui::ChoiceRequest& r) {
    asked.push_back(r);
    return r.extraText.empty() ? r.selected : ui::kChoseExtra;
  });
  Drop(c().slot1Input, SaveFile(L"ds-session-a.har", a));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].extraText, "") << "nothing to compare with yet";
  EXPECT_EQ(window->sessions(), nullptr);
  // The second HAR dropped beside the first compares the two whole.
  Drop(c().slot2Input, SaveFile(L"ds-session-b.har", b));
  EXPECT_EQ(asked.size(), 1u);
  ASSERT_NE(window->sessions(), nullptr);
  ui::ListView& pairs = window->sessions()->list;
  EXPECT_TRUE(window->sessions()->IsShown());
  EXPECT_EQ(Column(pairs, 1), (V{Gbk("相同"), Gbk("不同"), Gbk("仅A有")}));
  EXPECT_EQ(Column(pairs, 4), (V{"200/200", "200/302", "200/-"}));
  EXPECT_EQ(Column(pairs, 5)[1], Gbk("Cookies: A缺0 B缺0 异1  查询参数: A缺0 B缺0 异1  状态"));
  EXPECT_EQ(pairs.SelectedRow(), 1) << "the first pair that differs";

  // Enter on the differing pair loads its requests and analyses them.
  PostMessageW(pairs.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  ui::LetPendingEventsRun();
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"sid", "t"}));
  EXPECT_EQ(Column(c().differenceList, 1), (V{"t"}));
  EXPECT_EQ(Column(c().differenceList, 2), (V{"dark"}));
  EXPECT_EQ(Column(c().differenceList, 3), (V{"light"}));
  // A pair with one side only loads nothing; Esc hides the window.
  pairs.SelectRow(2);
  PostMessageW(pairs.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  ui::LetPendingEventsRun();
  EXPECT_EQ(c().statusBar.GetText(), app::texts::kSessionPairAlone);
  EXPECT_EQ(Column(c().differenceList, 1), (V{"t"}));
  PostMessageW(pairs.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  ui::LetPendingEventsRun();
  EXPECT_FALSE(window->sessions()->IsShown());

  // Pasted, a HAR beside another is asked about, the whole comparison offered.
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), b));
  KeyWith(c().slot1Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].extraText, app::texts::kCompareAllRequests);
  EXPECT_TRUE(window->sessions()->IsShown());
  EXPECT_EQ(Column(window->sessions()->list, 1), (V{Gbk("相同"), Gbk("相同")})) << "B against itself";
}

// A recording whose responses set cookies: the working session logs in and
// calls its API; the broken one calls it cross-site after a logout.
std::string WhyEntry(int second, const std::string& url, const std::string& site, const std::string& cookie,
                     const std::vector<std::string>& setCookies) {
  std::string out = "{\"startedDateTime\": \"2026-03-01T10:00:0" + std::to_string(second) +
                    "Z\", \"request\": {\"method\": \"GET\", \"url\": \"" + url +
                    "\", \"headers\": [{\"name\": \"Sec-Fetch-Site\", \"value\": \"" + site + "\"}";
  if (!cookie.empty()) out += ", {\"name\": \"Cookie\", \"value\": \"" + cookie + "\"}";
  out += "]}, \"response\": {\"status\": 200, \"headers\": [";
  for (size_t i = 0; i < setCookies.size(); ++i)
    out += (i ? ", " : "") + std::string("{\"name\": \"Set-Cookie\", \"value\": \"") + setCookies[i] + "\"}";
  return out + "]}}";
}

TEST_F(ImportWindowTest, CookieStoreFindingsInTheChooserTheReportAndTheSessionWindow) {
  const std::string a = Har({WhyEntry(1, "https://app.e.com/login", "none", "", {"sid=1; Path=/; SameSite=Lax", "old=x; Path=/"}),
                             WhyEntry(3, "https://app.e.com/api", "same-origin", "sid=1; old=x; pre=p", {})});
  const std::string b = Har({WhyEntry(1, "https://app.e.com/login", "none", "", {"sid=1; Path=/; SameSite=Lax", "old=x; Path=/", "__Host-t=1"}),
                             WhyEntry(2, "https://app.e.com/logout", "same-origin", "sid=1; old=x", {"old=; Max-Age=0"}),
                             WhyEntry(3, "https://app.e.com/api", "cross-site", "n=1", {})});
  std::vector<ui::ChoiceRequest> asked;
  ui::SetChoiceHook([&asked](const ui::ChoiceRequest& r) {
    asked.push_back(r);
    return r.extraText.empty() ? static_cast<int>(r.lines.size()) - 1 : ui::kChoseExtra;
  });
  Drop(c().slot1Input, SaveFile(L"ds-why-b.har", b));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].lines, (V{Gbk("GET https://app.e.com/login  [Cookie差异: 0]"),
                               Gbk("GET https://app.e.com/logout  [Cookie差异: 0]"),
                               Gbk("GET https://app.e.com/api  [Cookie差异: 1]")}));
  // Under the import's own report: the chosen request's block, its kept-back cookie with its rule.
  std::string report = c().reportBox.GetText();
  size_t block = report.find("== 3 GET https://app.e.com/api");
  ASSERT_NE(block, std::string::npos) << report;
  EXPECT_GT(block, 0u) << "the existing text stays first";
  EXPECT_NE(report.find(Gbk("  sid  samesite-lax  SameSite=Lax: 跨站子请求不发送 (第1项响应设置)"), block), std::string::npos);
  EXPECT_NE(report.find("  n  unknown-origin  ", block), std::string::npos);
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"n"}));

  // The working session beside it: the reasons the broken one lacks each cookie.
  Drop(c().slot2Input, SaveFile(L"ds-why-a.har", a));
  ASSERT_NE(window->sessions(), nullptr);
  app::SessionWindow& sessions = *window->sessions();
  ASSERT_EQ(Column(sessions.list, 3), (V{"app.e.com/login", "app.e.com/logout", "app.e.com/api"}));
  EXPECT_EQ(sessions.list.SelectedRow(), 0) << "the Set-Cookie lines differ";
  EXPECT_EQ(sessions.whyBox.GetText(), "") << "neither request sent a cookie";
  sessions.list.SelectRow(2);
  ui::LetPendingEventsRun();
  EXPECT_NE(sessions.whyBox.GetText(), "");
  sessions.list.SelectRow(1);
  ui::LetPendingEventsRun();
  EXPECT_EQ(sessions.whyBox.GetText(), "") << "a request alone lacks nothing";
  sessions.list.SelectRow(2);
  ui::LetPendingEventsRun();
  EXPECT_EQ(sessions.whyBox.GetText(),
            Gbk("缺少的Cookie及原因 (4)\r\n"
                "A缺 sid: SameSite=Lax: 跨站子请求不发送 (第1项响应设置)\r\n"
                "A缺 old: 已失效: 此Cookie已过期或被删除 (第2项响应设置)\r\n"
                "A缺 pre: 未设置: 此请求之前,记录中没有响应设置此Cookie\r\n"
                "B缺 n: 未设置: 此请求之前,记录中没有响应设置此Cookie\r\n"));
  // The box sits under the list, inside the window.
  RECT client;
  GetClientRect(sessions.hwnd(), &client);
  EXPECT_EQ(sessions.list.Bounds().y + sessions.list.Bounds().height, sessions.whyBox.Bounds().y);
  EXPECT_EQ(sessions.whyBox.Bounds().y + sessions.whyBox.Bounds().height, client.bottom);
}

TEST_F(ImportWindowTest, ARequestWithoutCookiesGivesItsResponsesSetCookieItemsAndSaysSo) {
  Drop(c().slot1Input, SaveFile(L"ds-set-only.har",
                                Har({WhyEntry(1, "https://app.e.com/login", "none", "", {"sid=1; Path=/", "t=2"})})));
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"sid", "t"}));
  std::string report = c().reportBox.GetText();
  EXPECT_NE(report.find(ds::texts::kFromResponseSetCookie), std::string::npos) << report;
  EXPECT_GT(report.find(ds::texts::kFromResponseSetCookie), 0u) << "under the import's own report";
  EXPECT_EQ(report.find("=="), std::string::npos) << "the store agrees: no findings";
  // A request with cookies of its own: no note.
  Drop(c().slot1Input, SaveFile(L"ds-set-only.har", Har({WhyEntry(1, "https://app.e.com/", "none", "a=1", {"sid=1"})})));
  EXPECT_EQ(Column(c().slot1Items, 1), (V{"a"}));
  EXPECT_EQ(c().reportBox.GetText().find(ds::texts::kFromResponseSetCookie), std::string::npos);
}

std::string ReadWhole(const std::wstring& path) {
  std::string bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(f);
  return bytes;
}

// The chooser and the session window save a sanitised copy of the HAR they
// hold where the user says; the secrets stay behind and nothing is imported.
TEST_F(ImportWindowTest, ASanitisedCopyOfTheHarIsSavedFromTheChooserAndTheSessionWindow) {
  const std::string har = Har({WhyEntry(1, "https://app.e.com/login?code=abc123456", "none", "sid=topsecret1", {"tok=hidden9999"}),
                               WhyEntry(2, "https://app.e.com/api", "same-origin", "sid=topsecret1", {})});
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring saved = std::wstring(folder) + L"ds-saved.har";
  DeleteFileW(saved.c_str());
  std::vector<ui::SaveRequest> asked;
  ui::SetSaveHook([&asked, saved](const ui::SaveRequest& r) -> std::optional<std::wstring> {
    asked.push_back(r);
    return saved;
  });
  ui::SetChoiceHook([](const ui::ChoiceRequest& r) {
    EXPECT_EQ(r.saveText, app::texts::kSaveSanitisedButton);
    return ui::kChoseSave;
  });
  c().slot1Input.SetText("keep=1");
  Drop(c().slot1Input, SaveFile(L"ds-login.har", har));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].suggestedName, L"ds-login" + ui::ToWide(app::texts::kSanitisedSuffix).text + L".har");
  std::string copy = ReadWhole(saved);
  ASSERT_FALSE(copy.empty());
  for (const char* secret : {"topsecret1", "hidden9999", "abc123456"}) EXPECT_EQ(copy.find(secret), std::string::npos) << copy;
  EXPECT_NE(copy.find("\"https://app.e.com/api\""), std::string::npos) << copy;
  EXPECT_EQ(c().slot1Input.GetText(), "keep=1") << "saving imports nothing";

  // Two HARs compared whole: the list's menu saves either side's.
  ui::SetChoiceHook([](const ui::ChoiceRequest& r) { return r.extraText.empty() ? r.selected : ui::kChoseExtra; });
  Drop(c().slot1Input, SaveFile(L"ds-login.har", har));
  Drop(c().slot2Input, SaveFile(L"ds-other.har", Har({WhyEntry(1, "https://app.e.com/api", "none", "sid=other22", {})})));
  ASSERT_NE(window->sessions(), nullptr);
  DeleteFileW(saved.c_str());
  std::vector<ui::MenuRequest::Item> menu = RightClickChoosing(window->sessions()->list, 2);
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].caption, app::texts::kSaveSanitisedA);
  EXPECT_EQ(menu[1].caption, app::texts::kSaveSanitisedB);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].suggestedName, L"ds-other" + ui::ToWide(app::texts::kSanitisedSuffix).text + L".har");
  copy = ReadWhole(saved);
  EXPECT_NE(copy.find("\"https://app.e.com/api\""), std::string::npos) << copy;
  EXPECT_EQ(copy.find("other22"), std::string::npos) << copy;
  EXPECT_EQ(copy.find("login"), std::string::npos) << "B's, not A's";
  ui::SetSaveHook(nullptr);
  ui::SetMenuHook(nullptr);
  DeleteFileW(saved.c_str());
}

// Ctrl+Shift+V as a user presses it: real key events, which the message
// loop turns into WM_KEYDOWN and a queued Ctrl+V character; the windows the
// import opens run loops of their own, answered here by a timer as a user
// would answer them. The box holds what the import put there, and nothing
// of the raw clipboard.
struct RealWindows {
  std::vector<UINT> chooserKeys;  // pressed in the choice list, Enter added
  std::set<HWND> choosers, boxes;
  std::string lastBox;  // the last message box's text, GBK
  int ticks = 0;
};
RealWindows* gRealWindows = nullptr;

// Keys posted as soon as a window shows can be lost under Wine: a window
// still there some ticks later is answered again.
BOOL CALLBACK AnswerModal(HWND h, LPARAM) {
  RealWindows& r = *gRealWindows;
  if (!IsWindowVisible(h)) return TRUE;
  wchar_t className[16] = L"";
  GetClassNameW(h, className, 16);
  bool box = wcscmp(className, L"#32770") == 0;
  HWND list = box ? nullptr : FindWindowExW(h, nullptr, L"LISTBOX", nullptr);
  if (!box && !list) return TRUE;
  bool seen = r.choosers.count(h) + r.boxes.count(h) > 0;
  if (seen && ++r.ticks % 5 != 0) return FALSE;
  if (box) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(h, 0xFFFF, text, 512);
    r.lastBox = ui::ToGbk(text).text;
    r.boxes.insert(h);
    PostMessageW(h, WM_COMMAND, IDOK, 0);
  } else {
    r.choosers.insert(h);
    for (UINT key : r.chooserKeys) PostMessageW(list, WM_KEYDOWN, key, 0);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  }
  return FALSE;
}

void CALLBACK AnswerModals(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), AnswerModal, 0);
}

// Into `box` holding `before`, the caret at its end: the box is clicked
// first, as a user would (a closed window leaves the focus elsewhere).
void PressCtrlShiftV(ui::EditBox& box, std::string_view before) {
  SetForegroundWindow(GetAncestor(box.hwnd(), GA_ROOT));
  box.Focus();
  ui::LetPendingEventsRun();
  box.SetText(before);
  box.PutCaretAtEnd();
  const std::pair<WORD, DWORD> strokes[] = {{VK_CONTROL, 0}, {VK_SHIFT, 0}, {'V', 0},
                                            {'V', KEYEVENTF_KEYUP}, {VK_SHIFT, KEYEVENTF_KEYUP},
                                            {VK_CONTROL, KEYEVENTF_KEYUP}};
  INPUT keys[6] = {};
  for (int i = 0; i < 6; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = strokes[i].first;
    keys[i].ki.dwFlags = strokes[i].second;
  }
  ASSERT_EQ(SendInput(6, keys, sizeof(INPUT)), 6u);
  // Long enough for the keys to come round and every window to be answered.
  for (int i = 0; i < 40; ++i) {
    ui::LetPendingEventsRun();
    Sleep(10);
  }
}

TEST_F(ImportWindowTest, CtrlShiftVPressedForRealLeavesOnlyTheImportedText) {
  RealWindows real;
  gRealWindows = &real;
  ui::SetMessageHook(nullptr);  // real message boxes, with their own loops
  UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerModals);

  const std::string har = Har({HarEntry("https://e.com/a", "a=1; b=2", 200), HarEntry("https://e.com/b", "c=3", 200)});
  struct Case {
    const char* what;
    std::string clipboard;
    std::vector<UINT> chooserKeys;
    std::string box;  // after the paste into "keep=0; " with the caret at its end
    size_t choosers, boxes;
  } cases[] = {
      {"a HAR of two requests: the chooser", har, {}, "keep=0; a=1; b=2; ", 1, 0},
      {"the HAR's other request", har, {VK_DOWN}, "keep=0; c=3; ", 1, 0},
      {"cURL", "curl 'https://e.com/' -b 'a=1; b=2'", {}, "keep=0; a=1; b=2; ", 0, 0},
      {"a Cookie line", "Cookie: x=1; y=2", {}, "keep=0; x=1; y=2; ", 0, 0},
      {"a raw request", "GET / HTTP/1.1\r\nHost: e.com\r\nCookie: r=1\r\n\r\n", {}, "keep=0; r=1; ", 0, 0},
      {"copy all as cURL: the chooser", "curl 'https://e.com/1' -b 'p=1' ;\ncurl 'https://e.com/2' -b 'q=2'", {},
       "keep=0; p=1; ", 1, 0},
      {"a computed value: a message box, nothing pasted", "cookies = {'a': token}", {}, "keep=0; ", 0, 1},
      {"a browser's fetch: a message box", "fetch(\"https://e.com/\", {\"headers\": {\"accept\": \"*/*\"}});", {},
       "keep=0; ", 0, 1},
  };
  for (const Case& c0 : cases) {
    real = RealWindows();
    real.chooserKeys = c0.chooserKeys;
    ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), c0.clipboard));
    PressCtrlShiftV(c().slot1Input, "keep=0; ");
    EXPECT_EQ(c().slot1Input.GetText(), c0.box) << c0.what;
    EXPECT_EQ(real.choosers.size(), c0.choosers) << c0.what;
    EXPECT_EQ(real.boxes.size(), c0.boxes) << c0.what << ": " << real.lastBox;
  }
  EXPECT_EQ(real.lastBox, ds::texts::kFetchWithoutCookie);

  // A HAR beside another: the chooser offers the whole comparison as well.
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), har));
  real = RealWindows();
  PressCtrlShiftV(c().slot2Input, "keep=0; ");
  real = RealWindows();
  real.chooserKeys = {VK_DOWN};
  PressCtrlShiftV(c().slot1Input, "keep=0; ");
  EXPECT_EQ(real.choosers.size(), 1u);
  EXPECT_EQ(c().slot1Input.GetText(), "keep=0; c=3; ");
  EXPECT_EQ(c().slot2Input.GetText(), "keep=0; a=1; b=2; ");
  KillTimer(nullptr, timer);
  gRealWindows = nullptr;
}

// The real choice window, answered by keys posted once it is up.
std::vector<UINT> keysToPress;

void CALLBACK PressKeys(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND choice = FindWindowW(nullptr, L"pick");
  HWND list = FindWindowExW(choice, nullptr, L"LISTBOX", nullptr);
  for (UINT key : keysToPress) PostMessageW(list, WM_KEYDOWN, key, 0);
}

TEST_F(ImportWindowTest, ChoiceWindowTakesArrowsEnterAndEsc) {
  ui::ChoiceRequest request{"pick", {"a", "b", "c"}, 0, "OK", "Cancel", ""};
  keysToPress = {VK_DOWN, VK_DOWN, VK_RETURN};
  SetTimer(nullptr, 0, 100, PressKeys);
  EXPECT_EQ(ui::ChooseFromList(window->hwnd(), request), 2);
  keysToPress = {VK_DOWN, VK_ESCAPE};
  SetTimer(nullptr, 0, 100, PressKeys);
  EXPECT_EQ(ui::ChooseFromList(window->hwnd(), request), -1);
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
}

}  // namespace
}  // namespace wintest

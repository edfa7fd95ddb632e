// The copy-as submenus through the real window: which lists offer them and
// with which formats, what reaches the clipboard in both forms, the hint,
// a refusal, and the import's URL in the commands.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "compare/list_menu.h"
#include "export/texts.h"
#include "tests/test_gbk.h"
#include "tests/win/window_test_support.h"
#include "ui/clipboard.h"
#include "ui/popup_menu.h"

namespace wintest {
namespace {

using E = ds::MenuEntry;
using ds::test::Gbk;
constexpr ds::AnalysisMode kCookies = ds::AnalysisMode::kCookies;

class ExportWindowTest : public MainWindowTest {
 protected:
  void TearDown() override {
    ui::SetMenuHook(nullptr);
    MainWindowTest::TearDown();
  }
  std::vector<ui::MenuRequest::Item> RightClick(ui::ListView& list, int choose = 0) {
    return RightClickChoosing(list, choose);
  }
  void Analysed(const char* slot1, const char* slot2) {
    c().slot1Input.SetText(slot1);
    c().slot2Input.SetText(slot2);
    c().analyseButton.Click();
    ui::LetPendingEventsRun();
  }
};

// The id a format has under one of the two entries in the mode, plain or masked.
int FormatId(E parent, std::string_view name, ds::AnalysisMode mode = kCookies, bool masked = false) {
  const ds::Exporter* e = ds::ExporterNamed(name, mode);
  for (const ds::SubmenuItem& item : ds::CopyAsItems(parent, mode))
    if (ds::CopyAsChoiceOf(item.id)->exporter == e && ds::CopyAsChoiceOf(item.id)->masked == masked) return item.id;
  ADD_FAILURE() << name;
  return 0;
}

// The formats, then each masked for sharing.
std::vector<std::string> WithMasked(std::vector<std::string> formats) {
  size_t n = formats.size();
  for (size_t i = 0; i < n; ++i) formats.push_back(formats[i] + Gbk(" (脱敏)"));
  return formats;
}

std::vector<std::string> SubmenuOf(const std::vector<ui::MenuRequest::Item>& items, E entry) {
  std::vector<std::string> captions;
  for (const auto& item : items)
    if (item.id == static_cast<int>(entry))
      for (const auto& [id, caption] : item.submenu) captions.push_back(caption);
  return captions;
}

TEST_F(ExportWindowTest, ItemAndMissingListsOfferTheModesFormats) {
  Analysed("a=1;b=2", "a=3;c=3");
  std::vector<std::string> cookies = {Gbk("Cookie头部"), "cURL (bash)", "cURL (cmd)", "PowerShell",
                                      Gbk("Python requests字典"), Gbk("JavaScript对象"),
                                      Gbk("JSON数组(Cookie扩展导入)"), "cookies.txt (Netscape)"};
  c().slot1Items.SelectRow(0);
  auto items = RightClick(c().slot1Items);
  EXPECT_EQ(SubmenuOf(items, E::kCopyAllAs), WithMasked(cookies));
  EXPECT_EQ(SubmenuOf(items, E::kCopyCompletedAs), WithMasked(cookies));
  EXPECT_EQ(SubmenuOf(RightClick(c().slot2Missing), E::kCopyCompletedAs), WithMasked(cookies));
  c().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  EXPECT_EQ(SubmenuOf(RightClick(c().differenceList), E::kCopyAllAs), std::vector<std::string>{});

  c().httpModeSwitch.Click();
  c().slot1Input.SetText("Accept: */*\r\n");
  c().slot1Items.SelectRow(0);
  EXPECT_EQ(SubmenuOf(RightClick(c().slot1Items), E::kCopyAllAs),
            WithMasked({Gbk("Http头部行"), "cURL (bash)", "cURL (cmd)", "PowerShell", Gbk("Python requests字典"),
                        Gbk("JSON对象"), "fetch"}));
}

TEST_F(ExportWindowTest, CopiesAsReachTheClipboardInBothFormsWithAHint) {
  Analysed("a=1;b=\xD6\xD0", "a=1;c=3");  // b=中
  c().slot1Items.SelectRow(0);
  RightClick(c().slot1Items, FormatId(E::kCopyAllAs, "python"));
  const std::string python = "cookies = {\r\n    'a': '1',\r\n    'b': '\xD6\xD0'.encode().decode('latin-1')\r\n}\r\n";
  EXPECT_EQ(ClipboardAnsi(), python);
  EXPECT_EQ(ui::GetClipboardText(nullptr), python);
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已复制2项为Python requests字典"));

  // Completed from the missing list: Slot 1's rows, then what it lacks.
  c().slot1Missing.SelectRow(0);
  RightClick(c().slot1Missing, FormatId(E::kCopyCompletedAs, "curl"));
  EXPECT_EQ(ClipboardAnsi(), "curl 'https://replace-with-host.invalid/' -g \\\n  -H 'Cookie: a=1; b=\xD6\xD0; c=3'\n");
  EXPECT_EQ(c().statusBar.GetText(), Gbk("操作提示:已将Cookies[1号]缺少缺少的Cookies值补全,并复制3项为cURL (bash)"));

  // Slot 2's list completes Slot 2, never Slot 1.
  c().slot2Items.SelectRow(0);
  RightClick(c().slot2Items, FormatId(E::kCopyCompletedAs, "cookie-header"));
  EXPECT_EQ(ClipboardAnsi(), "Cookie: a=1; c=3; b=\xD6\xD0\r\n");
}

// Masked for sharing: no secret value reaches the clipboard, equal values
// read alike on both sides and different ones apart, the request's URL too.
TEST_F(ExportWindowTest, MaskedCopiesHideEveryValueButKeepEqualAndDifferentApart) {
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), "curl 'https://e.cn/p?token=secret42' -b 'sid=same123; t=one111'"));
  KeyWith(c().slot1Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  c().slot2Input.SetText("sid=same123;t=two222");
  c().analyseButton.Click();
  ui::LetPendingEventsRun();
  c().slot1Items.SelectRow(0);
  RightClick(c().slot1Items, FormatId(E::kCopyAllAs, "curl", kCookies, true));
  std::string a = ClipboardAnsi();
  c().slot2Items.SelectRow(0);
  RightClick(c().slot2Items, FormatId(E::kCopyAllAs, "cookie-header", kCookies, true));
  std::string b = ClipboardAnsi();
  for (const char* secret : {"same123", "one111", "two222", "secret42"}) {
    EXPECT_EQ(a.find(secret), std::string::npos) << a;
    EXPECT_EQ(b.find(secret), std::string::npos) << b;
  }
  EXPECT_EQ(a.rfind("curl 'https://e.cn/p?token=", 0), 0u) << a;
  // "sid=《masked:xxxxxxxx:7》": one key a run, so the same value masks alike.
  auto standIn = [](const std::string& text, const std::string& name) {
    size_t at = text.find(name + "=");
    return at == std::string::npos ? std::string() : text.substr(at + name.size() + 1, text.find(Gbk("》"), at) - at - name.size() + 1);
  };
  EXPECT_NE(standIn(a, "sid").find(":7"), std::string::npos) << a;
  EXPECT_EQ(standIn(a, "sid"), standIn(b, "sid"));
  EXPECT_NE(standIn(a, "t"), standIn(b, "t"));
  // The plain copy is untouched.
  RightClick(c().slot2Items, FormatId(E::kCopyAllAs, "cookie-header"));
  EXPECT_EQ(ClipboardAnsi(), "Cookie: sid=same123; t=two222\r\n");
}

TEST_F(ExportWindowTest, ARowTheFormatCannotCarryIsRefusedAndTheClipboardKept) {
  Analysed("a=x,y;b=2", "a=1");
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), "kept"));
  messages->Expect(ui::MessageAnswer::kOk);
  c().slot1Items.SelectRow(0);
  RightClick(c().slot1Items, FormatId(E::kCopyAllAs, "powershell"));
  ASSERT_EQ(messages->shown().size(), 1u);
  EXPECT_NE(messages->shown()[0].text.find("[a]"), std::string::npos);
  EXPECT_EQ(messages->shown()[0].title, Gbk("复制为"));
  EXPECT_EQ(ClipboardAnsi(), "kept");
  // Another format carries it.
  RightClick(c().slot1Items, FormatId(E::kCopyAllAs, "json"));
  EXPECT_EQ(ClipboardAnsi(), "[\r\n  {\"name\": \"a\", \"value\": \"x,y\"},\r\n  {\"name\": \"b\", \"value\": \"2\"}\r\n]\r\n");
}

// Each slot remembers where its last import was sent.
TEST_F(ExportWindowTest, CommandsGoWhereTheImportedCaptureWent) {
  ASSERT_TRUE(ui::SetClipboardText(window->hwnd(), "curl 'https://shop.example.cn/cart?id=7' -b 'sid=1; lang=zh'"));
  c().slot2Input.SetText("");
  KeyWith(c().slot2Input.hwnd(), 'V', {VK_CONTROL, VK_SHIFT});
  c().slot1Input.SetText("sid=2");
  c().slot2Items.SelectRow(0);
  RightClick(c().slot2Items, FormatId(E::kCopyAllAs, "cookies-txt"));
  EXPECT_NE(ClipboardAnsi().find("\r\nshop.example.cn\tFALSE\t/\tFALSE\t2147483647\tlang\tzh\r\n"), std::string::npos)
      << ClipboardAnsi();
  RightClick(c().slot2Items, FormatId(E::kCopyAllAs, "curl"));
  EXPECT_EQ(ClipboardAnsi().rfind("curl 'https://shop.example.cn/cart?id=7' -g \\\n", 0), 0u) << ClipboardAnsi();
  c().slot1Items.SelectRow(0);
  RightClick(c().slot1Items, FormatId(E::kCopyAllAs, "cookies-txt"));
  EXPECT_NE(ClipboardAnsi().find("\r\nreplace-with-host.invalid\tFALSE"), std::string::npos) << ClipboardAnsi();
}

}  // namespace
}  // namespace wintest

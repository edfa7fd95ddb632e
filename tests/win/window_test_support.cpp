#include "tests/win/window_test_support.h"

#include <windows.h>
#include <commctrl.h>

#include "app/settings.h"
#include "ui/text_convert.h"

namespace wintest {

ScriptedMessages::ScriptedMessages() {
  ui::SetMessageHook([this](const ui::MessageRequest& r) {
    shown_.push_back(r);
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected message box: " << r.text;
      return ui::MessageAnswer::kOk;
    }
    ui::MessageAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  });
}

ScriptedMessages::~ScriptedMessages() {
  ui::SetMessageHook(nullptr);
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " expected message box(es) never shown";
}

void DeleteSettingsFile() { DeleteFileA(app::SettingsPath().c_str()); }

void Paste(ui::EditBox& box, std::string_view gbk) { box.ReplaceSelection(gbk); }

void SelectAllAndPaste(ui::EditBox& box, std::string_view gbk) {
  box.SelectAll();
  box.ReplaceSelection(gbk);
}

void KeyWith(HWND target, UINT key, std::initializer_list<int> held) {
  BYTE keys[256] = {};
  for (int vk : held) keys[vk] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(target, WM_KEYDOWN, key, 0);
  BYTE none[256] = {};
  SetKeyboardState(none);
}

std::vector<std::string> Column(const ui::ListView& list, size_t column) {
  std::vector<std::string> out;
  for (const ds::Row& r : list.rows().rows) out.emplace_back(r.Cell(column));
  return out;
}

std::string ShownCell(const ui::ListView& list, int row, int column) {
  wchar_t buffer[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 1024;
  SendMessageW(list.hwnd(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return ui::ToGbk(buffer).text;
}

RECT ScreenRect(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void MainWindowTest::SetUp() {
  DeleteSettingsFile();
  messages = std::make_unique<ScriptedMessages>();
  if (!startInSetUp) return;
  Start();
  // Most tests paste into empty boxes rather than over the placeholders.
  c().slot1Input.SetText("");
  c().slot2Input.SetText("");
}

void MainWindowTest::Start() {
  window = std::make_unique<app::MainWindow>();
  ASSERT_TRUE(window->Create(false));
  window->ShowAsPlaced();
  ui::LetPendingEventsRun();
}

void MainWindowTest::TearDown() {
  window.reset();
  ui::LetPendingEventsRun();
  messages.reset();
  DeleteSettingsFile();
}

std::vector<ui::MenuRequest::Item> RightClickChoosing(ui::ListView& list, int choose) {
  std::vector<ui::MenuRequest::Item> shown;
  ui::SetMenuHook([&shown, choose](const ui::MenuRequest& r) {
    shown = r.items;
    return choose;
  });
  list.Focus();
  ui::LetPendingEventsRun();
  NMHDR header{list.hwnd(), 0, static_cast<UINT>(NM_RCLICK)};
  SendMessageW(GetParent(list.hwnd()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  ui::LetPendingEventsRun();
  ui::SetMenuHook([](const ui::MenuRequest&) { return 0; });  // not into `shown` once it is gone
  return shown;
}

std::string ClipboardAnsi() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

}  // namespace wintest

namespace {

class CommonControls : public ::testing::Environment {
 public:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
  }
};

[[maybe_unused]] ::testing::Environment* const kCommonControls =
    ::testing::AddGlobalTestEnvironment(new CommonControls);

}  // namespace

// The window under a long run of random input, as the system delivers it:
// clicks, right and double clicks, the menu key, typing, Esc, Enter, Delete
// and Ctrl+Shift+V, spread over every control, the menus (ours and the edit
// boxes' own), the input and detail windows and the HAR chooser. Afterwards
// the window must still answer, and once reloaded and analysed its lists and
// status must be what a fresh analysis of its boxes gives.
// The seed is printed; DS_RANDOM_SEED=<seed> replays a run.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window_design.h"
#include "app/settings.h"
#include "app/texts.h"
#include "compare/ignore_list.h"
#include "compare/session.h"
#include "edit/row_edits.h"
#include "items/separators.h"
#include "items/slot_parser.h"
#include "tests/win/window_test_support.h"
#include "ui/clipboard.h"

namespace wintest {
namespace {

constexpr int kEvents = 2000;

// Captures with duplicate names, names differing only in case or held in
// another name, and values that differ; one HAR of three requests. The last
// two are the slots' first texts.
const char* const kClipboardCaptures[] = {
    "{\"log\": {\"entries\": [\n"
    " {\"request\": {\"method\": \"GET\", \"url\": \"https://e.com/a.png\", \"headers\": []}},\n"
    " {\"request\": {\"method\": \"GET\", \"url\": \"https://e.com/\", \"headers\": [\n"
    "   {\"name\": \"Cookie\", \"value\": \"sid=1; b=2; b=9\"}]}},\n"
    " {\"request\": {\"method\": \"POST\", \"url\": \"https://e.com/api\", \"headers\": [\n"
    "   {\"name\": \"Cookie\", \"value\": \"sid=2; c=3\"}, {\"name\": \"Accept\", \"value\": \"*/*\"}]}}]}}",
    "curl 'https://e.com/' -H 'Accept: */*' -b 'a=1; b=2; a=3'",
    "GET / HTTP/1.1\r\nHost: e.com\r\nCookie: sid=1; tok=x\r\nAccept: */*\r\nAccept: text/html\r\n\r\n",
    "a=1; b=2; B=3; a=4",
    "Set-Cookie: sid=9; Path=/\r\nSet-Cookie: lang=zh\r\n",
    "not a capture at all",
    "a=1;b=2;b=3;sid=x;SID=y;id=9;Cookie=c1;k%20=v%3D;tok=abcd",
    "a=1;b=5;sid=x;c=7;c=8;xsid=2;tok=abce",
};

enum class Kind { kClick, kRightClick, kDoubleClick, kMenuKey, kTyping, kKey, kCtrlShiftV, kCount };
const char* const kKindNames[] = {"click", "right click", "double click", "menu key", "typing", "key", "Ctrl+Shift+V"};

class RandomInputTest;
RandomInputTest* gRun = nullptr;     // for the timer that drives modal loops
std::atomic<int> gProgress{0};        // messages posted, for the watchdog
std::atomic<bool> gFinished{false};
char gLastEvent[256] = "";

class RandomInputTest : public MainWindowTest {
 protected:
  unsigned seed = 0;
  std::mt19937 rng;
  int posted = 0;  // messages
  int events = 0;  // what a hand does: a click, a key, a typed character
  int perKind[static_cast<int>(Kind::kCount)] = {};
  int chooserEvents = 0, choosersShown = 0, menusShown = 0, menusEnded = 0, boxesAnswered = 0;
  int releasesRepeated = 0;

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  bool Chance(int percent) { return Pick(100) < percent; }

  void Post(HWND target, UINT msg, WPARAM wp, LPARAM lp) {
    PostMessageW(target, msg, wp, lp);
    ++posted;
    gProgress = posted;
  }

  static bool Reachable(HWND hwnd) {
    return IsWindow(hwnd) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
           IsWindowEnabled(GetAncestor(hwnd, GA_ROOT));
  }

  std::vector<HWND> Targets() {
    app::InputWindow* input = window->input();
    app::DetailWindow* detail = window->detail();
    std::vector<HWND> out;
    // While a secondary window is up, the hand is mostly on it.
    if (input && Reachable(input->hwnd()) && Chance(60)) {
      out = {input->entryBox.hwnd(), input->entryBox.hwnd(), input->promptLine.hwnd(), input->hwnd()};
    } else if (detail && Reachable(detail->hwnd()) && Chance(40)) {
      out = {detail->detailBox.hwnd(), detail->closeButton.hwnd(), detail->hwnd()};
    } else {
      for (const app::ControlDesign& d : app::MainWindowDesign()) out.push_back(d.Of(c()).hwnd());
      out.push_back(window->hwnd());
    }
    std::erase_if(out, [](HWND h) { return !Reachable(h); });
    return out;
  }

  // A point in the target; half the time near its top, where the first rows
  // and lines are.
  LPARAM SomePoint(HWND target) {
    RECT r;
    GetClientRect(target, &r);
    int w = std::max<int>(1, r.right), h = std::max<int>(1, r.bottom);
    int y = Chance(50) ? Pick(std::min(h, 60)) : Pick(h);
    return MAKELPARAM(Pick(w), y);
  }

  void Click(HWND target, UINT down, UINT up, LPARAM at) {
    ++events;
    Post(target, down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, at);
    Post(target, up, 0, at);
  }

  void Key(HWND target, UINT vk) {
    ++events;
    Post(target, WM_KEYDOWN, vk, 1);
    Post(target, WM_KEYUP, vk, 0xC0000001);
  }

  void Type(HWND target) {
    static const wchar_t kTyped[] = L"ab=;:1 %2Ci\x4E2D\x503C\rsSIDkx=;";
    for (int i = Pick(8) + 1; i > 0; --i, ++events)
      Post(target, WM_CHAR, kTyped[Pick(static_cast<int>(wcslen(kTyped)))], 1);
  }

  void WithKeysHeld(std::initializer_list<int> held, const std::function<void()>& act) {
    BYTE keys[256] = {};
    for (int vk : held) keys[vk] = 0x80;
    SetKeyboardState(keys);
    act();
    BYTE none[256] = {};
    SetKeyboardState(none);
  }

  static BOOL CALLBACK FindModal(HWND h, LPARAM found) {
    wchar_t className[16] = L"";
    GetClassNameW(h, className, 16);
    bool menu = wcscmp(className, L"#32768") == 0;
    if (!IsWindowVisible(h) || (!menu && !FindWindowExW(h, nullptr, L"LISTBOX", nullptr))) return TRUE;
    *reinterpret_cast<HWND*>(found) = h;
    return FALSE;
  }

  static void CALLBACK DriveModal(HWND, UINT, UINT_PTR, DWORD) {
    if (gRun) gRun->ModalTick();
  }

  // Menus and the HAR chooser run their own loops, which run this timer: it
  // gives them a few keys and clicks, and then they are left one way or
  // another.
  HWND modal = nullptr;
  int modalTicks = 0;
  int menuModeTicks = 0;
  void ModalTick() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&found));
    if (!found) {
      // F10 released over a control without a menu of its own puts the
      // window in menu mode, its system menu not yet open: Esc leaves it.
      GUITHREADINFO gui{};
      gui.cbSize = sizeof gui;
      if (GetGUIThreadInfo(GetCurrentThreadId(), &gui) && (gui.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE))) {
        if (++menuModeTicks > 3) EndMenu();
        Key(window->hwnd(), VK_ESCAPE);
        ++menusShown;
      } else {
        menuModeTicks = 0;
        ReleaseHeldButton(gui.hwndCapture);
      }
      return;
    }
    if (found != modal) {
      modal = found;
      modalTicks = 0;
    }
    wchar_t className[16] = L"";
    GetClassNameW(found, className, 16);
    if (wcscmp(className, L"#32768") == 0)
      MenuTick(found);
    else
      ChooserTick(found);
  }

  // A list view waits for the button's release in a loop of its own; a
  // handler of the press that let events run has taken the release already.
  // The hand lets go again, as it would.
  HWND held = nullptr;
  int heldTicks = 0;
  void ReleaseHeldButton(HWND capture) {
    heldTicks = capture && capture == held ? heldTicks + 1 : 0;
    held = capture;
    if (heldTicks < 2) return;
    Post(capture, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    Post(capture, WM_RBUTTONUP, 0, MAKELPARAM(1, 1));
    ++releasesRepeated;
  }

  // A right click whose position lies on the caption opens the system menu;
  // its Close would end the run, so the hand leaves that menu with Esc.
  static bool IsSystemMenu(HWND menu) {
    auto items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    return items && GetMenuState(items, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
  }

  void MenuTick(HWND menu) {
    if (modalTicks++ == 0) ++menusShown;
    if (modalTicks > 3) {
      ++menusEnded;
      EndMenu();
      return;
    }
    if (Chance(25) || IsSystemMenu(menu)) {
      Key(menu, VK_ESCAPE);
      return;
    }
    for (int i = Pick(14) + 1; i > 0; --i) Key(menu, VK_DOWN);
    Key(menu, VK_RETURN);
  }

  void ChooserTick(HWND chooser) {
    if (modalTicks++ == 0) ++choosersShown;
    HWND list = FindWindowExW(chooser, nullptr, L"LISTBOX", nullptr);
    HWND ok = FindWindowExW(chooser, nullptr, L"BUTTON", nullptr);
    HWND cancel = ok ? FindWindowExW(chooser, ok, L"BUTTON", nullptr) : nullptr;
    int before = events;
    for (int i = Pick(3); i > 0; --i) {
      static const UINT kKeys[] = {VK_DOWN, VK_UP, VK_HOME, VK_END};
      if (Chance(70))
        Key(list, kKeys[Pick(4)]);
      else
        Click(list, WM_LBUTTONDOWN, WM_LBUTTONUP, SomePoint(list));
    }
    if (modalTicks >= 4 || Chance(40)) {
      switch (Pick(5)) {
        case 0: Key(list, VK_RETURN); break;
        case 1: Key(list, VK_ESCAPE); break;
        case 2: {
          LPARAM at = SomePoint(list);
          Click(list, WM_LBUTTONDOWN, WM_LBUTTONUP, at);
          Post(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
          Post(list, WM_LBUTTONUP, 0, at);
          // A double click below the last line chooses nothing: Esc then.
          Key(list, VK_ESCAPE);
          break;
        }
        case 3: if (ok) Click(ok, WM_LBUTTONDOWN, WM_LBUTTONUP, MAKELPARAM(5, 5)); break;
        default: if (cancel) Click(cancel, WM_LBUTTONDOWN, WM_LBUTTONUP, MAKELPARAM(5, 5)); break;
      }
    }
    chooserEvents += events - before;
  }

  void PasteCapture(HWND target) {
    // Another program puts a capture there, or the last copy is pasted.
    if (Chance(60)) {
      const char* capture = kClipboardCaptures[Pick(static_cast<int>(std::size(kClipboardCaptures)))];
      ui::SetClipboardText(nullptr, capture);
    }
    ++events;
    WithKeysHeld({VK_CONTROL, VK_SHIFT}, [&] {
      Post(target, WM_KEYDOWN, 'V', 1);
      ui::LetPendingEventsRun();
      Post(target, WM_KEYUP, 'V', 0xC0000001);
      ui::LetPendingEventsRun();
    });
  }

  void OneEvent() {
    std::vector<HWND> targets = Targets();
    if (targets.empty()) targets = {window->hwnd()};
    HWND target = targets[static_cast<size_t>(Pick(static_cast<int>(targets.size())))];
    static const int kWeights[] = {24, 12, 9, 6, 24, 17, 8};
    int roll = Pick(100), kindIndex = 0;
    while (roll >= kWeights[kindIndex]) roll -= kWeights[kindIndex++];
    Kind kind = static_cast<Kind>(kindIndex);
    ++perKind[kindIndex];
    wchar_t className[64] = L"";
    GetClassNameW(target, className, 64);
    std::snprintf(gLastEvent, sizeof gLastEvent, "event %d: %s on %p (%ls)", events, kKindNames[kindIndex],
                  static_cast<void*>(target), className);
    switch (kind) {
      case Kind::kClick:
        Click(target, WM_LBUTTONDOWN, WM_LBUTTONUP, SomePoint(target));
        break;
      case Kind::kRightClick:
        Click(target, WM_RBUTTONDOWN, WM_RBUTTONUP, SomePoint(target));
        break;
      case Kind::kDoubleClick: {
        LPARAM at = SomePoint(target);
        Click(target, WM_LBUTTONDOWN, WM_LBUTTONUP, at);
        Post(target, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        Post(target, WM_LBUTTONUP, 0, at);
        break;
      }
      case Kind::kMenuKey:
        if (Chance(50)) {
          Key(target, VK_APPS);
            break;
        }
        // The answer waits in the queue before the menu opens: its loop reads it.
        ++events;
        WithKeysHeld({VK_SHIFT}, [&] {
          Post(target, WM_SYSKEYDOWN, VK_F10, 1);
          Post(target, WM_SYSKEYUP, VK_F10, 0xC0000001);
            ui::LetPendingEventsRun();
        });
        break;
      case Kind::kTyping:
        Type(target);
        break;
      case Kind::kKey: {
        static const UINT kKeys[] = {VK_ESCAPE, VK_RETURN, VK_DELETE};
        Key(target, kKeys[Pick(3)]);
        break;
      }
      case Kind::kCtrlShiftV: {
        // Mostly where it acts, the two input boxes.
        if (Chance(75)) target = Chance(50) ? c().slot1Input.hwnd() : c().slot2Input.hwnd();
        if (!Reachable(target)) break;
        PasteCapture(target);
        break;
      }
      case Kind::kCount:
        break;
    }
    ui::LetPendingEventsRun();
  }

  void ExpectAnswering() {
    ASSERT_TRUE(IsWindow(window->hwnd()));
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(window->hwnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result), 0);
    // No modal loop was left behind with the window disabled.
    EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
  }
};

std::vector<std::vector<std::string>> Cells(const std::vector<ds::Row>& rows) {
  std::vector<std::vector<std::string>> out;
  for (const ds::Row& row : rows) {
    std::vector<std::string> cells;
    for (size_t i = 0; i < row.CellCount(); ++i) cells.emplace_back(row.Cell(i));
    out.push_back(std::move(cells));
  }
  return out;
}

TEST_F(RandomInputTest, TheWindowSurvivesRandomInputAndStillAgreesWithItsBoxes) {
  const char* given = std::getenv("DS_RANDOM_SEED");
  seed = given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
               : static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() ^ GetCurrentProcessId());
  rng.seed(seed);
  std::printf("random input seed %u (DS_RANDOM_SEED=%u replays it)\n", seed, seed);
  std::fflush(stdout);
  SCOPED_TRACE("DS_RANDOM_SEED=" + std::to_string(seed));
  gRun = this;
  gProgress = 0;
  gFinished = false;
  // A run that hangs says where, rather than waiting for the test's timeout.
  std::thread watchdog([] {
    int seen = -1;
    for (int idle = 0; !gFinished; std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
      idle = gProgress == seen ? idle + 1 : 0;
      seen = gProgress;
      if (idle < 300) continue;
      std::fprintf(stderr, "no progress for 30 s after %s\n", gLastEvent);
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  });
  ui::SetMessageHook([this](const ui::MessageRequest& r) {
    ++boxesAnswered;
    if (r.buttons == ui::MessageButtons::kOk) return ui::MessageAnswer::kOk;
    return Chance(50) ? ui::MessageAnswer::kYes : ui::MessageAnswer::kNo;
  });
  int droppedBefore = ui::DroppedEvents();
  // What an earlier run left on the clipboard would be pasted: a replay starts alike.
  ui::SetClipboardText(nullptr, kClipboardCaptures[3]);
  const size_t captures = std::size(kClipboardCaptures);
  c().slot1Input.SetText(kClipboardCaptures[captures - 2]);
  c().slot2Input.SetText(kClipboardCaptures[captures - 1]);
  c().analyseButton.Click();
  SetForegroundWindow(window->hwnd());
  ui::LetPendingEventsRun();

  UINT_PTR driver = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, DriveModal);
  auto started = std::chrono::steady_clock::now();
  for (int checked = 0; events < kEvents;) {
    OneEvent();
    if (events / 250 > checked) {
      checked = events / 250;
      ExpectAnswering();
    }
  }
  KillTimer(nullptr, driver);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%d events (%d messages) in %.1f s:", events, posted, seconds);
  for (int k = 0; k < static_cast<int>(Kind::kCount); ++k) std::printf(" %s %d,", kKindNames[k], perKind[k]);
  std::printf(" menus %d (%d ended by force), choosers %d (%d events), message boxes %d, releases repeated %d\n",
              menusShown, menusEnded, choosersShown, chooserEvents, boxesAnswered, releasesRepeated);
  std::fflush(stdout);
  ExpectAnswering();
  EXPECT_EQ(ui::DroppedEvents(), droppedBefore) << "a handler threw";

  // Reloaded and analysed (duplicates kept), the window shows what the core
  // makes of the boxes as they stand.
  ui::SetMessageHook([](const ui::MessageRequest& r) {
    return r.buttons == ui::MessageButtons::kOk ? ui::MessageAnswer::kOk : ui::MessageAnswer::kNo;
  });
  if (window->input()) window->input()->Dismiss();
  // Analysed first, so that the reload has result lists to empty.
  c().analyseButton.Click();
  ui::LetPendingEventsRun();
  const int resultRowsBefore = c().slot1Missing.RowCount() + c().slot2Missing.RowCount() + c().differenceList.RowCount();
  c().restoreButton.Click();
  ui::LetPendingEventsRun();
  const bool http = c().httpModeSwitch.IsChecked();
  EXPECT_NE(http, c().cookiesModeSwitch.IsChecked()) << "exactly one mode is checked";
  ds::AnalysisMode mode = http ? ds::AnalysisMode::kHttp : ds::AnalysisMode::kCookies;
  std::string lineBox = c().lineSeparatorBox.GetText(), valueBox = c().valueSeparatorBox.GetText();
  ds::Separators separators{ds::CommitSeparator(ds::SeparatorKind::kLine, lineBox).inForce,
                            ds::CommitSeparator(ds::SeparatorKind::kValue, valueBox).inForce};
  EXPECT_EQ(window->state().separators.line, separators.line);
  EXPECT_EQ(window->state().separators.value, separators.value);
  std::string texts[2] = {c().slot1Input.GetText(), c().slot2Input.GetText()};
  ds::RowTable parsed[2];
  for (ds::Slot slot : ds::kSlots) {
    int i = slot == ds::Slot::k1 ? 0 : 1;
    ds::SlotUpdate update = ds::ParseSlot(texts[i], separators, {mode, slot});
    // An empty box, its placeholder, or a text without separators leaves the
    // list as it was: the list itself is the input then.
    if (update.rows)
      parsed[i].rows = std::move(*update.rows);
    else
      parsed[i].rows = c().Items(slot).rows().rows;
    EXPECT_EQ(Cells(c().Items(slot).rows().rows), Cells(parsed[i].rows)) << "slot " << i + 1 << " after reload";
  }
  for (ui::ListView* list : {&c().slot1Missing, &c().slot2Missing, &c().differenceList})
    EXPECT_EQ(list->RowCount(), 0);
  c().analyseButton.Click();
  ui::LetPendingEventsRun();
  ds::AnalyseResult expected = ds::RunAnalyse(
      {lineBox, valueBox, texts[0], texts[1], mode, {c().caseSensitiveSwitch.IsChecked(), c().exactMatchSwitch.IsChecked()},
       ds::IgnoreListFromStored(app::ReadSetting(app::texts::kIgnoreListKey))},
      parsed[0], parsed[1], [](std::string_view, std::string_view) { return false; });
  if (expected.stop == ds::AnalyseStop::kRan) {
    EXPECT_EQ(Cells(c().slot1Items.rows().rows), Cells(expected.slot1.rows));
    EXPECT_EQ(Cells(c().slot2Items.rows().rows), Cells(expected.slot2.rows));
    EXPECT_EQ(Cells(c().slot1Missing.rows().rows), Cells(expected.lists.missingInSlot1));
    EXPECT_EQ(Cells(c().slot2Missing.rows().rows), Cells(expected.lists.missingInSlot2));
    EXPECT_EQ(Cells(c().differenceList.rows().rows), Cells(expected.lists.different));
    EXPECT_EQ(c().statusBar.GetText(), expected.summary);
  } else {
    for (ui::ListView* list : {&c().slot1Missing, &c().slot2Missing, &c().differenceList})
      EXPECT_EQ(list->RowCount(), 0);
    EXPECT_EQ(c().statusBar.GetText(), ds::ReloadHint());
  }
  std::printf("checked: %s mode, %d result rows emptied by the reload, analysis %s: %d and %d items, %d differences\n",
              http ? "HTTP" : "Cookies", resultRowsBefore, expected.stop == ds::AnalyseStop::kRan ? "ran" : "refused",
              c().slot1Items.RowCount(), c().slot2Items.RowCount(), c().differenceList.RowCount());
  gFinished = true;
  watchdog.join();
  gRun = nullptr;
}

}  // namespace
}  // namespace wintest

// Puts the real main window into a scene for a screenshot and keeps it on
// screen for a few seconds: `screenshot_scenes.exe full|http|compact|edit|decode|sessions SECONDS RECT_FILE`;
// the window's screen rectangle goes to RECT_FILE as "WxH+X+Y" for cropping.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

#include "app/editing.h"
#include "app/main_window.h"
#include "app/mode_handlers.h"
#include "app/settings.h"
#include "items/percent_decode.h"

namespace {

// The scenes' texts are written in UTF-8 here and shown in GBK.
std::string Gbk(const char* utf8) { return ds::Utf8ToGbk(utf8); }

void Analyse(app::MainWindow& w, const char* slot1, const char* slot2) {
  w.controls().slot1Input.SetText(Gbk(slot1));
  w.controls().slot2Input.SetText(Gbk(slot2));
  w.controls().analyseButton.Click();
  w.controls().differenceList.Focus();
  w.controls().differenceList.SelectRow(0);
  ui::LetPendingEventsRun();
  // The Slot 1 list takes the focus, so the lower area shows at its normal size.
  w.controls().slot1Items.Focus();
  ui::LetPendingEventsRun();
}

// A recorded session as a HAR's entries: GET requests with a cookie and a status each.
app::HarEntries Session(std::initializer_list<std::tuple<const char*, const char*, int>> requests) {
  std::string har = "{\"log\": {\"entries\": [";
  for (const auto& [url, cookie, status] : requests)
    har += std::string(har.back() == '[' ? "" : ", ") + "{\"request\": {\"method\": \"GET\", \"url\": \"" + url +
           "\", \"headers\": [{\"name\": \"cookie\", \"value\": \"" + cookie + "\"}]}, \"response\": {\"status\": " +
           std::to_string(status) + "}}";
  ds::CaptureText text;
  text.utf8 = har + "]}}";
  return std::make_shared<const std::vector<ds::HarEntry>>(
      ds::ReadCapture(text, ds::CaptureFormat::kHar, ds::AnalysisMode::kCookies).entries);
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  std::string scene = argc > 1 ? argv[1] : "full";
  DeleteFileA(app::SettingsPath().c_str());  // every scene starts as a first launch
  app::MainWindow window;
  if (!window.Create(false)) return 1;
  window.ShowAsPlaced();
  if (scene == "http") {
    app::SwitchMode(window.controls(), window.state(), ds::AnalysisMode::kHttp);
    Analyse(window,
            "Host: example.com\r\nUser-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)\r\n:method: GET\r\n"
            "Accept: */*\r\nReferer: https://example.com/list?page=2\r\n",
            "Host: example.com\r\nUser-Agent: curl/8.0\r\n:method: POST\r\nAccept: */*\r\nCookie: sid=abc123\r\n");
  } else if (scene == "edit") {
    Analyse(window, "sid=abc123; lang=zh-CN; theme=dark", "sid=abc123; lang=en-US; extra=1");
    window.controls().slot1Items.Focus();
    window.controls().slot1Items.SelectRow(0);
    ui::LetPendingEventsRun();
    app::RunMenuEntry({window.hwnd(), window.controls(), window.input(), nullptr}, window.state(), ds::MenuEntry::kAdd);
    window.input()->entryBox.SetText(Gbk("extra=1; ua=Mozilla/5.0 (X11)"));
  } else if (scene == "decode") {
    Analyse(window,
            "sid=abc123; token=eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9.eyJzdWIiOiI0MiIsImlhdCI6MTcwMDAwMDAwMCwiZXhwIjoxNzAw"
            "MDAzNjAwfQ.sig1",
            "sid=abc123; token=eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9.eyJzdWIiOiI0MiIsImlhdCI6MTcwMDAwMDAwMCwiZXhwIjoxNzAw"
            "MDA3MjAwfQ.sig2");
    window.controls().differenceList.Focus();
    window.controls().differenceList.SelectRow(0);
    ui::LetPendingEventsRun();
    window.state().current.list = &window.controls().differenceList;
    app::RunMenuEntry({window.hwnd(), window.controls(), window.input(),
                       [&window](std::string_view text) { window.ShowDetail(text); }},
                      window.state(), ds::MenuEntry::kDecodeCompare);
  } else if (scene == "sessions") {
    window.CompareSessions(
        Session({{"https://shop.example.com/", "sid=abc123; lang=zh-CN", 200},
                 {"https://shop.example.com/api/cart?page=1", "sid=abc123; lang=zh-CN; cart=7", 200},
                 {"https://shop.example.com/api/pay?order=88", "sid=abc123; token=t0k1", 200},
                 {"https://cdn.example.com/app.js", "", 200}}),
        Session({{"https://shop.example.com/", "sid=abc123; lang=zh-CN", 200},
                 {"https://shop.example.com/api/cart?page=1", "sid=abc123; lang=en-US; cart=7", 200},
                 {"https://shop.example.com/api/pay?order=91", "sid=abc123", 401},
                 {"https://shop.example.com/api/log?t=1", "sid=abc123", 204}}));
    // The first differing pair loaded into the slots, the list still in front.
    PostMessageW(window.sessions()->list.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    ui::LetPendingEventsRun();
    // The payment pair selected: why B's request lacks the token shows under the list.
    window.sessions()->list.SelectRow(2);
    window.sessions()->list.Focus();
    SetForegroundWindow(window.sessions()->hwnd());
  } else {
    if (scene == "compact") app::ToggleCompact(window);
    Analyse(window, "sid=abc123; lang=zh-CN; token=dGVzdA==; 名字=张三; path=%2Fhome%2F; theme=dark",
            "SID=abc123; lang=en-US; token=dGVzdA==; 名字=李四; extra=1; theme=dark");
  }
  if (argc > 3) {
    RECT r;
    GetWindowRect(window.hwnd(), &r);
    if (FILE* f = std::fopen(argv[3], "w")) {
      std::fprintf(f, "%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
      std::fclose(f);
    }
  }
  DWORD until = GetTickCount() + 1000 * (argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 8);
  while (GetTickCount() < until) {
    ui::LetPendingEventsRun();
    Sleep(20);
  }
  return 0;
}

#include "ui/list_choice.h"

#include <algorithm>
#include <tuple>

#include "ui/buttons.h"
#include "ui/dpi.h"
#include "ui/text_convert.h"
#include "ui/window.h"

namespace ui {
namespace {

ChoiceHook& Hook() {
  static ChoiceHook hook;
  return hook;
}

class ListBox : public Control {
 public:
  bool Create(const CreateArgs& args) {
    return CreateWindowOf(L"LISTBOX", args, WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
  }
  void Add(std::string_view gbk) {
    std::wstring wide = ToWide(gbk).text;
    SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  void Select(int index) { SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  int Selected() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0)); }
  // A long URL may be scrolled to, not cut.
  void FitWidestLine(const std::vector<std::string>& lines) {
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::string& line : lines) {
      std::wstring wide = ToWide(line).text;
      SIZE size{};
      GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
      widest = std::max(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    SendMessageW(hwnd(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  }

  std::function<void()> onDoubleClick;
  void OnCommand(UINT code) override {
    if (code == LBN_DBLCLK && onDoubleClick) onDoubleClick();
  }
};

class ChoiceWindow : public Window {
 public:
  int chosen = -1;

  bool Build(HWND owner, const ChoiceRequest& r) {
    int dpi = DpiOf(owner);
    auto px = [dpi](int designed) { return Scaled(designed, dpi); };
    Args args;
    args.title = r.title;
    args.width = px(640);
    args.height = px(320);
    args.owner = owner;
    args.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    if (!Create(args)) return false;
    SIZE client = ClientSize();
    CreateArgs a;
    a.parent = hwnd();
    a.bounds = {px(8), px(8), client.cx - px(16), client.cy - px(52)};
    a.exStyle = WS_EX_CLIENTEDGE;
    if (!list_.Create(a)) return false;
    a.exStyle = 0;
    a.bounds = {client.cx - px(184), client.cy - px(36), px(84), px(28)};
    a.text = r.okText;
    if (!ok_.Create(a)) return false;
    a.bounds.x += px(92);
    a.text = r.cancelText;
    if (!cancel_.Create(a)) return false;
    // The buttons that answer with something other than a line, from the left.
    a.bounds = {px(8), client.cy - px(36), px(140), px(28)};
    for (auto [button, text, answer] : {std::tuple{&extra_, &r.extraText, kChoseExtra},
                                        std::tuple{&save_, &r.saveText, kChoseSave}}) {
      if (text->empty()) continue;
      a.text = *text;
      if (!button->Create(a)) return false;
      button->onClick = [this, answer] {
        chosen = answer;
        DestroyWindow(hwnd());
      };
      a.bounds.x += px(148);
    }
    HFONT font = owner ? reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0)) : nullptr;
    for (Control* c : {static_cast<Control*>(&list_), static_cast<Control*>(&ok_), static_cast<Control*>(&cancel_),
                       static_cast<Control*>(&extra_), static_cast<Control*>(&save_)})
      if (font && c->hwnd()) c->SetFont(font);
    for (const std::string& line : r.lines) list_.Add(line);
    list_.FitWidestLine(r.lines);
    list_.Select(r.selected);
    list_.onDoubleClick = [this] { Confirm(); };
    ok_.onClick = [this] { Confirm(); };
    cancel_.onClick = [this] { DestroyWindow(hwnd()); };
    if (owner) {
      RECT o;
      GetWindowRect(owner, &o);
      SetWindowPos(hwnd(), nullptr, o.left + (o.right - o.left - args.width) / 2, o.top + (o.bottom - o.top - args.height) / 2,
                   0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    KeepInsideWorkArea(hwnd());
    return true;
  }

  void FocusList() { list_.Focus(); }

 protected:
  // The modal loop's dialog handling turns Enter and Esc into IDOK and IDCANCEL.
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND && lp == 0 && LOWORD(wp) == IDOK) {
      Confirm();
      return 0;
    }
    if (msg == WM_COMMAND && lp == 0 && LOWORD(wp) == IDCANCEL) {
      DestroyWindow(hwnd());
      return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
  }

 private:
  void Confirm() {
    chosen = list_.Selected();
    DestroyWindow(hwnd());
  }

  ListBox list_;
  Button ok_, cancel_, extra_, save_;
};

}  // namespace

int ChooseFromList(HWND owner, const ChoiceRequest& request) {
  if (Hook()) return Hook()(request);
  ChoiceWindow window;
  if (!window.Build(owner, request)) return -1;
  window.Show(true);
  window.FocusList();
  RunModal(window.hwnd(), owner);
  return window.chosen;
}

void SetChoiceHook(ChoiceHook hook) { Hook() = std::move(hook); }

}  // namespace ui

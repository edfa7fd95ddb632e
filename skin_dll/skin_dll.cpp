// The skin library: a flat look for every window of the thread that calls
// AttachSkinData, those that exist then and those created afterwards (a CBT
// hook sees each new window before its first message). Each skinned window
// is subclassed; the subclass swaps in the skin's font, answers the colour
// messages for edit boxes, labels and lists, and paints push buttons flat.
//
// The library is loaded from memory by the program's own loader, which runs
// no C runtime start-up: nothing here may need static constructors, TLS or
// any library but the Windows system DLLs.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <commctrl.h>

#include "skin_dll/skin_data.h"

// The compiler may emit calls to these for structure copies and zeroing.
extern "C" void* memset(void* dest, int value, size_t count) {
  auto* p = static_cast<unsigned char*>(dest);
  while (count--) *p++ = static_cast<unsigned char>(value);
  return dest;
}
extern "C" void* memcpy(void* dest, const void* src, size_t count) {
  auto* d = static_cast<unsigned char*>(dest);
  const auto* s = static_cast<const unsigned char*>(src);
  while (count--) *d++ = *s++;
  return dest;
}

namespace {

using skin_data::Colour;

// Marks a skinned window, so that a second copy of the library (a program
// that starts its main window twice) leaves it alone.
const wchar_t kSkinnedMark[] = L"DsSkin.Skinned";

// The skinned windows and their original procedures. Kept here rather than
// in window properties: every message of a skinned window needs its entry,
// and a property costs a round trip to the window server under Wine.
struct Entry {
  HWND hwnd;  // null: never used; kRemoved: free again
  WNDPROC original;
  bool pushButton;
};
const HWND kRemoved = reinterpret_cast<HWND>(~uintptr_t{0});
constexpr unsigned kTableSize = 2048;  // a power of two

unsigned SlotOf(HWND hwnd) { return (reinterpret_cast<uintptr_t>(hwnd) >> 2) & (kTableSize - 1); }

// The skin's font at each DPI its windows are drawn at (one per monitor
// scale in use; a window moved to another monitor is handed its font anew).
struct DpiFont {
  int dpi;
  HFONT font;
};
constexpr int kFontSlots = 4;
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

struct State {
  bool applied;
  skin_data::Skin skin;
  DpiFont fonts[kFontSlots];  // the first at the system's DPI
  GetDpiForWindowFn getDpiForWindow;
  HBRUSH editBrush;
  HHOOK hook;
  DWORD thread;
  Entry table[kTableSize];
  unsigned used;  // entries ever taken, removed ones included
};
State g;

Entry* Find(HWND hwnd) {
  for (unsigned i = SlotOf(hwnd), n = 0; n < kTableSize; i = (i + 1) & (kTableSize - 1), ++n) {
    if (g.table[i].hwnd == hwnd) return &g.table[i];
    if (!g.table[i].hwnd) return nullptr;
  }
  return nullptr;
}

// Removed entries are reused, but a never-used slot must remain so that a
// search for an absent window ends; past three quarters nothing is added.
Entry* Add(HWND hwnd) {
  for (unsigned i = SlotOf(hwnd), n = 0; n < kTableSize; i = (i + 1) & (kTableSize - 1), ++n) {
    Entry& e = g.table[i];
    if (e.hwnd == kRemoved) return &e;
    if (!e.hwnd) {
      if (g.used >= kTableSize / 4 * 3) return nullptr;
      ++g.used;
      return &e;
    }
  }
  return nullptr;
}

// Read back by the loader's tests: an absolute address the relocation pass
// must have moved, and whether the entry point ran.
const char kLoadTag[] = "dsskin";
const char* volatile g_loadTag = kLoadTag;
volatile bool g_entered = false;

COLORREF ColourOf(Colour c) { return g.skin.colours[c]; }

enum class Kind { kOther, kEdit, kButton, kStatic, kList, kStatusBar, kOwn };

// The program's own windows and panels, which host the controls; dialogs,
// menus and tooltips of the system are left alone.
bool IsOwnWindow(HWND hwnd) {
  return hwnd && reinterpret_cast<HMODULE>(GetClassLongPtrW(hwnd, GCLP_HMODULE)) == GetModuleHandleW(nullptr);
}

Kind ControlKind(const wchar_t* name) {
  if (lstrcmpiW(name, L"Edit") == 0) return Kind::kEdit;
  if (lstrcmpiW(name, L"Button") == 0) return Kind::kButton;
  if (lstrcmpiW(name, L"Static") == 0) return Kind::kStatic;
  if (lstrcmpiW(name, WC_LISTVIEWW) == 0) return Kind::kList;
  if (lstrcmpiW(name, STATUSCLASSNAMEW) == 0) return Kind::kStatusBar;
  return Kind::kOther;
}

Kind KindOf(HWND hwnd) {
  wchar_t name[64];
  if (!GetClassNameW(hwnd, name, 64)) return Kind::kOther;
  // Checked by name first: a common control's class may report the module
  // that registered it for the program.
  Kind kind = ControlKind(name);
  if (kind == Kind::kOther) return IsOwnWindow(hwnd) ? Kind::kOwn : Kind::kOther;
  // Controls only inside the program's windows: a message box sized its
  // texts for the system's font and keeps it.
  return IsOwnWindow(GetAncestor(hwnd, GA_ROOT)) ? kind : Kind::kOther;
}

bool IsPushButton(HWND hwnd) {
  LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

HFONT FontFor(HWND hwnd);

void SetUpControl(HWND hwnd, Kind kind) {
  if (kind == Kind::kOwn || kind == Kind::kOther) return;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(hwnd)), TRUE);
  if (kind == Kind::kList) {
    SendMessageW(hwnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColourOf(skin_data::kListBack)));
    SendMessageW(hwnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColourOf(skin_data::kListBack)));
    SendMessageW(hwnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColourOf(skin_data::kText)));
  }
}

void PaintButton(HWND hwnd, HDC dc) {
  RECT r;
  GetClientRect(hwnd, &r);
  bool pushed = (SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  bool enabled = IsWindowEnabled(hwnd);
  HBRUSH face = CreateSolidBrush(ColourOf(pushed ? skin_data::kButtonPressed : skin_data::kButtonFace));
  FillRect(dc, &r, face);
  DeleteObject(face);
  HBRUSH border =
      CreateSolidBrush(ColourOf(GetFocus() == hwnd ? skin_data::kFocusBorder : skin_data::kButtonBorder));
  FrameRect(dc, &r, border);
  DeleteObject(border);
  wchar_t text[256];
  int length = GetWindowTextW(hwnd, text, 256);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? font : FontFor(hwnd));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColourOf(enabled ? skin_data::kText : skin_data::kDisabledText));
  DrawTextW(dc, text, length, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

// Selected rows in the skin's selection colour whether or not the list has
// the focus; the list draws everything else itself.
LRESULT ListCustomDraw(NMLVCUSTOMDRAW* cd) {
  DWORD stage = cd->nmcd.dwDrawStage;
  if (stage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (stage != CDDS_ITEMPREPAINT && stage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return CDRF_DODEFAULT;
  int row = static_cast<int>(cd->nmcd.dwItemSpec);
  bool selected = SendMessageW(cd->nmcd.hdr.hwndFrom, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
  cd->clrText = ColourOf(selected ? skin_data::kSelectionText : skin_data::kText);
  cd->clrTextBk = ColourOf(selected ? skin_data::kSelectionBack : skin_data::kListBack);
  cd->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
  return stage == CDDS_ITEMPREPAINT ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Entry* entry = Find(hwnd);
  if (!entry) return DefWindowProcW(hwnd, msg, wp, lp);
  const WNDPROC original = entry->original;
  switch (msg) {
    case WM_CREATE: {
      LRESULT result = CallWindowProcW(original, hwnd, msg, wp, lp);
      if (result != -1) SetUpControl(hwnd, KindOf(hwnd));
      return result;
    }
    case WM_SETFONT:
      // Every font the program hands a control becomes the skin's, at the
      // control's DPI.
      wp = reinterpret_cast<WPARAM>(FontFor(hwnd));
      break;
    case WM_CTLCOLOREDIT: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, ColourOf(skin_data::kText));
      SetBkColor(dc, ColourOf(skin_data::kEditBack));
      return reinterpret_cast<LRESULT>(g.editBrush);
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // The host keeps its background (the panels paint their own grey);
      // only the text takes the skin's colour.
      LRESULT brush = CallWindowProcW(original, hwnd, msg, wp, lp);
      SetTextColor(reinterpret_cast<HDC>(wp), ColourOf(skin_data::kText));
      return brush;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header && header->code == NM_CUSTOMDRAW && KindOf(header->hwndFrom) == Kind::kList)
        return ListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lp));
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropW(hwnd, kSkinnedMark);
      entry->hwnd = kRemoved;
      return CallWindowProcW(original, hwnd, msg, wp, lp);
    default:
      break;
  }
  if (entry->pushButton) {
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintButton(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    // The button's own code draws its classic face straight away on these;
    // ours follows at the next paint.
    LRESULT result = CallWindowProcW(original, hwnd, msg, wp, lp);
    switch (msg) {
      case BM_SETSTATE: case BM_SETSTYLE: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE:
      case WM_SETTEXT: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
      case WM_KEYDOWN: case WM_KEYUP: case WM_CAPTURECHANGED: case WM_UPDATEUISTATE:
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
      case WM_MOUSEMOVE:  // a press dragged in and out of the button
        if (GetCapture() == hwnd) InvalidateRect(hwnd, nullptr, FALSE);
        break;
      default:
        break;
    }
    return result;
  }
  return CallWindowProcW(original, hwnd, msg, wp, lp);
}

void Subclass(HWND hwnd, bool exists) {
  Kind kind = KindOf(hwnd);
  if (kind == Kind::kOther || GetPropW(hwnd, kSkinnedMark)) return;
  auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (!original) return;
  // An entry for an unmarked window is stale: its handle belonged to a
  // window whose end we never saw (its owner took our procedure out first).
  Entry* entry = Find(hwnd);
  if (!entry) entry = Add(hwnd);
  if (!entry) return;
  *entry = Entry{hwnd, original, kind == Kind::kButton && IsPushButton(hwnd)};
  SetPropW(hwnd, kSkinnedMark, reinterpret_cast<HANDLE>(1));
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinProc));
  if (exists) {
    SetUpControl(hwnd, kind);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
}

LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) Subclass(reinterpret_cast<HWND>(wp), false);
  return CallNextHookEx(g.hook, code, wp, lp);
}

BOOL CALLBACK SkinChild(HWND hwnd, LPARAM) {
  Subclass(hwnd, true);
  return TRUE;
}

BOOL CALLBACK SkinTopLevel(HWND hwnd, LPARAM) {
  Subclass(hwnd, true);
  EnumChildWindows(hwnd, SkinChild, 0);
  return TRUE;
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The first listed face that is installed; the last one when none is, so
// that the system's font substitution still has a name to go by.
HFONT CreateSkinFont(int dpi) {
  LOGFONTW lf{};
  // Designed for 96 DPI, truncated like every other designed length.
  lf.lfHeight = -(g.skin.fontHeight * dpi / 96);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  HDC dc = GetDC(nullptr);
  for (int i = 0; i < g.skin.faceCount; ++i) {
    if (!MultiByteToWideChar(CP_UTF8, 0, g.skin.faces[i], -1, lf.lfFaceName, LF_FACESIZE)) continue;
    bool found = false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, lf.lfFaceName, LF_FACESIZE);
    if (dc) EnumFontFamiliesExW(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    if (found) break;
  }
  if (dc) ReleaseDC(nullptr, dc);
  return CreateFontIndirectW(&lf);
}

int SystemDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

int DpiOf(HWND hwnd) {
  UINT dpi = g.getDpiForWindow && hwnd ? g.getDpiForWindow(hwnd) : 0;
  return dpi ? static_cast<int>(dpi) : g.fonts[0].dpi;
}

// The font made once per DPI; with every slot taken, the system DPI's.
HFONT FontFor(HWND hwnd) {
  int dpi = DpiOf(hwnd);
  for (DpiFont& f : g.fonts) {
    if (f.font && f.dpi == dpi) return f.font;
    if (!f.font) {
      f.font = CreateSkinFont(dpi);
      f.dpi = dpi;
      if (f.font) return f.font;
      break;
    }
  }
  return g.fonts[0].font;
}

void DropResources() {
  for (DpiFont& f : g.fonts) {
    if (f.font) DeleteObject(f.font);
    f.font = nullptr;
  }
  if (g.editBrush) DeleteObject(g.editBrush);
  g.editBrush = nullptr;
}

}  // namespace

// The data is read during the call only; the caller may free it afterwards.
// The three further arguments are reserved and must be 0. Returns 1 when
// the skin was applied, 0 when the data was refused or a skin is already on.
extern "C" int WINAPI AttachSkinData(const void* data, unsigned length, unsigned reserved1,
                                                           unsigned reserved2, unsigned reserved3) {
  if (g.applied || reserved1 || reserved2 || reserved3) return 0;
  if (!skin_data::Parse(static_cast<const uint8_t*>(data), length, &g.skin)) return 0;
  // Windows 10 1607 and later tell each window its DPI.
  g.getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  g.fonts[0].dpi = SystemDpi();
  g.fonts[0].font = CreateSkinFont(g.fonts[0].dpi);
  g.editBrush = CreateSolidBrush(ColourOf(skin_data::kEditBack));
  g.thread = GetCurrentThreadId();
  if (g.fonts[0].font && g.editBrush) g.hook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, g.thread);
  if (!g.hook) {
    DropResources();
    return 0;
  }
  g.applied = true;
  EnumThreadWindows(g.thread, SkinTopLevel, 0);
  return 1;
}

extern "C" const char* WINAPI SkinLoadCheck() { return g_entered ? g_loadTag : nullptr; }

extern "C" BOOL WINAPI DllEntry(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_entered = true;
  return TRUE;
}

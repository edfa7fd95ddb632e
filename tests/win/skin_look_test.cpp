// The skin library on windows of this thread: what it changes once applied,
// and that refused data changes nothing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/carried_skin.h"
#include "skin/skin.h"
#include "skin_dll/skin_data.h"


namespace {

constexpr wchar_t kHostClass[] = L"SkinLookHost";
HBRUSH hostBrush = CreateSolidBrush(RGB(241, 241, 241));

// A host that paints its labels on its own brush, as the program's panels do.
LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(hostBrush);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

class SkinLook : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    host = CreateWindowExW(0, kHostClass, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                           nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(host);
    ASSERT_TRUE(skin_data::Parse(app::data::kSkinData, app::data::kSkinDataSize, &skin));
  }
  void TearDown() override { DestroyWindow(host); }

  HWND Child(const wchar_t* cls, DWORD style = 0) {
    return CreateWindowExW(0, cls, L"OK", WS_CHILD | WS_VISIBLE | style, 10, 10 + 40 * children++, 120, 30, host,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  bool Apply(std::vector<uint8_t> data) {
    return skin::ApplySkinWith({app::data::kSkinLibrary, app::data::kSkinLibrarySize}, data);
  }
  std::vector<uint8_t> GoodData() {
    return {app::data::kSkinData, app::data::kSkinData + app::data::kSkinDataSize};
  }

  // The text colour the host's colour message leaves on a DC, and its brush.
  std::pair<COLORREF, LRESULT> ColourAnswer(UINT msg, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    LRESULT brush = SendMessageW(host, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    COLORREF text = GetTextColor(dc);
    DeleteDC(dc);
    return {text, brush};
  }

  std::wstring FaceOf(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return L"";
    EXPECT_EQ(lf.lfHeight, -skin.fontHeight);
    return lf.lfFaceName;
  }

  bool IsSkinFace(const std::wstring& face) {
    for (int i = 0; i < skin.faceCount; ++i) {
      wchar_t wide[LF_FACESIZE];
      MultiByteToWideChar(CP_UTF8, 0, skin.faces[i], -1, wide, LF_FACESIZE);
      if (face == wide) return true;
    }
    return false;
  }

  HWND host = nullptr;
  int children = 0;
  skin_data::Skin skin;
};

TEST_F(SkinLook, RefusedDataLeavesTheWindowsAlone) {
  HWND edit = Child(L"EDIT");
  LONG_PTR procBefore = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  for (auto damage : {+[](std::vector<uint8_t>& d) { d[0] = 'X'; },
                      +[](std::vector<uint8_t>& d) { d.resize(d.size() / 2); },
                      +[](std::vector<uint8_t>& d) { d.push_back('!'); }}) {
    std::vector<uint8_t> data = GoodData();
    damage(data);
    // The library loads and is called; it is the data it refuses.
    EXPECT_TRUE(Apply(data));
  }
  HWND later = Child(L"EDIT");
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), procBefore);
  EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), 0);
  EXPECT_EQ(SendMessageW(later, WM_GETFONT, 0, 0), 0);
  EXPECT_EQ(ColourAnswer(WM_CTLCOLOREDIT, edit).first, GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(SkinLook, SkinsWindowsMadeBeforeAndAfterTheCall) {
  HWND before = Child(L"EDIT");
  HWND list = Child(WC_LISTVIEWW, LVS_REPORT);
  HWND label = Child(L"STATIC");
  ASSERT_TRUE(Apply(GoodData()));
  HWND after = Child(L"EDIT");
  HWND button = Child(L"BUTTON", BS_PUSHBUTTON);

  const COLORREF text = skin.colours[skin_data::kText];
  for (HWND edit : {before, after}) {
    EXPECT_TRUE(IsSkinFace(FaceOf(edit)));
    auto [colour, brush] = ColourAnswer(WM_CTLCOLOREDIT, edit);
    EXPECT_EQ(colour, text);
    LOGBRUSH lb{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, skin.colours[skin_data::kEditBack]);
  }
  // A font the program sets later still ends as the skin's.
  SendMessageW(after, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
  EXPECT_TRUE(IsSkinFace(FaceOf(after)));

  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), skin.colours[skin_data::kListBack]);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), text);
  // Labels keep the host's own background; only their text is the skin's.
  auto [labelText, labelBrush] = ColourAnswer(WM_CTLCOLORSTATIC, label);
  EXPECT_EQ(labelText, text);
  EXPECT_EQ(labelBrush, reinterpret_cast<LRESULT>(hostBrush));

  // The button paints flat: its border and face in the skin's colours.
  RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(button);
  EXPECT_EQ(GetPixel(dc, 0, 0), skin.colours[skin_data::kButtonBorder]);
  EXPECT_EQ(GetPixel(dc, 3, 3), skin.colours[skin_data::kButtonFace]);
  ReleaseDC(button, dc);
}

}  // namespace

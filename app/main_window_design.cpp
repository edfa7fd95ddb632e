#include "app/main_window_design.h"

#include "app/texts.h"
#include "ui/dpi.h"

namespace app {
namespace {

using C = Container;
using M = MainControls;

constexpr ColumnDesign kSlot1ItemColumns[] = {
    {texts::kRowNumberColumn, 50}, {texts::kItemNameColumnCookies, 100}, {texts::kSlot1ValueColumn, 142}};
constexpr ColumnDesign kSlot2ItemColumns[] = {
    {texts::kRowNumberColumn, 50}, {texts::kItemNameColumnCookies, 100}, {texts::kSlot2ValueColumn, 142}};
constexpr ColumnDesign kMissingColumns[] = {
    {texts::kRowNumberColumn, 50}, {texts::kMissingNameColumnDesign, 100}, {texts::kValueColumn, 142}};
constexpr ColumnDesign kDifferenceColumns[] = {{texts::kRowNumberColumn, 22},
                                               {texts::kDifferenceNameColumnDesign, 120},
                                               {texts::kSlot1ValueColumn, 215},
                                               {texts::kSlot2ValueColumn, 215}};

constexpr bool kMulti = true;
constexpr bool kReadOnly = true;

// Positions and sizes in pixels, relative to the container.
constexpr ControlDesign kDesign[] = {
    {&M::leftPanel, "图片框1", C::kWindow, {6, 1, 200, 525}, true, "", 27},
    {&M::rightPanel, "图片框2", C::kWindow, {194, -5, 611, 695}, true, "", 28},
    {&M::compactToggle, "按钮3", C::kWindow, {-1, -3, 12, 550}, true, texts::kCompactToggleFull, 29},
    {&M::splitter, "分隔条1", C::kWindow, {20, 331, 781, 1}, true, "", 5},
    {&M::contentBox, "编辑框5", C::kWindow, {208, 338, 593, 99}, true, "", 6, kMulti},
    {&M::differenceList, "超级列表框值对比3", C::kWindow, {208, 437, 593, 81}, true, "", 21, false, kDifferenceColumns},
    {&M::obsoleteLabel, "透明标签4", C::kWindow, {21, 402, 123, 15}, false, texts::kObsoleteLabel, 3},
    {&M::statusBar, "状态条1", C::kWindow, {3, 531, 802, 20}, true, texts::kStatusDesign, 0},
    {&M::searchBox, "编辑框3", C::kLeftPanel, {14, 5, 180, 40}, true, texts::kSearchBoxDesign, 12},
    {&M::searchResultCaption, "透明标签5", C::kLeftPanel, {14, 49, 163, 12}, true, texts::kSearchResultCaption, 7},
    {&M::searchResultBox, "编辑框4", C::kLeftPanel, {14, 68, 180, 150}, true, "", 9, kMulti, {}, kReadOnly},
    {&M::caseSensitiveSwitch, "选择框2", C::kLeftPanel, {15, 227, 81, 17}, true, texts::kCaseSensitiveSwitch, 8},
    {&M::cookiesModeSwitch, "选择框3", C::kLeftPanel, {105, 227, 87, 17}, true, texts::kCookiesModeSwitch, 30},
    {&M::exactMatchSwitch, "选择框1", C::kLeftPanel, {15, 249, 78, 17}, true, texts::kExactMatchSwitch, 13},
    {&M::httpModeSwitch, "选择框4", C::kLeftPanel, {105, 249, 92, 17}, true, texts::kHttpModeSwitch, 31},
    {&M::lineSeparatorCaption, "透明标签6", C::kLeftPanel, {15, 274, 55, 18}, true, texts::kLineSeparatorCaption, 1},
    {&M::lineSeparatorBox, "编辑框行分隔6", C::kLeftPanel, {68, 272, 35, 22}, true, "", 2},
    {&M::valueSeparatorCaption, "透明标签9", C::kLeftPanel, {104, 274, 55, 18}, true, texts::kValueSeparatorCaption, 25},
    {&M::valueSeparatorBox, "编辑框值分隔7", C::kLeftPanel, {157, 272, 35, 22}, true, "", 26},
    {&M::autoExpandSwitch, "选择框5", C::kLeftPanel, {15, 305, 177, 21}, true, texts::kAutoExpandSwitch, 34},
    {&M::reportBox, "分析结果编辑框1", C::kLeftPanel, {14, 337, 180, 133}, true, texts::kReportBoxDesign, 33, kMulti},
    {&M::reportCaption, "透明标签3", C::kLeftPanel, {14, 448, 94, 18}, false, texts::kReportCaption, 4},
    {&M::restoreButton, "按钮5", C::kLeftPanel, {15, 476, 63, 41}, true, texts::kRestoreButton, 35},
    {&M::analyseButton, "按钮1", C::kLeftPanel, {81, 476, 113, 41}, true, texts::kAnalyseCookies, 14},
    {&M::slot1Input, "编辑框1", C::kRightPanel, {14, 11, 296, 40}, true, "", 19, kMulti},
    {&M::slot2Input, "编辑框2", C::kRightPanel, {312, 11, 296, 40}, true, "", 18, kMulti},
    {&M::analyseBarButton, "按钮4", C::kRightPanel, {14, 52, 593, 20}, false, texts::kAnalyseCookies, 32},
    {&M::slot1Caption, "透明标签1", C::kRightPanel, {17, 56, 294, 12}, true, texts::kSlot1CaptionCookies, 11},
    {&M::slot2Caption, "透明标签2", C::kRightPanel, {313, 56, 147, 12}, true, texts::kSlot2CaptionCookies, 10},
    {&M::slot1Items, "超级列表框对比1", C::kRightPanel, {14, 74, 296, 150}, true, "", 20, false, kSlot1ItemColumns},
    {&M::slot2Items, "超级列表框对比2", C::kRightPanel, {312, 74, 296, 150}, true, "", 17, false, kSlot2ItemColumns},
    {&M::slot1Missing, "超级列表框结果1", C::kRightPanel, {14, 226, 296, 104}, true, "", 16, false, kMissingColumns},
    {&M::slot2Missing, "超级列表框结果2", C::kRightPanel, {312, 226, 296, 104}, true, "", 15, false, kMissingColumns},
    {&M::differenceCaption, "透明标签7", C::kRightPanel, {18, 377, 208, 20}, false, texts::kDifferenceCaption, 22},
    {&M::contentCaption, "透明标签8", C::kRightPanel, {253, 380, 176, 20}, false, texts::kContentCaptionCookies, 23},
    {&M::detailButton, "按钮2", C::kRightPanel, {593, 584, 18, 18}, true, texts::kDetailButton, 24},
};

constexpr int CountLaidOut() {
  int n = 0;
  for (const ControlDesign& d : kDesign) n += d.layoutPosition > 0;
  return n;
}
constexpr int kLaidOut = CountLaidOut();

// Every place of the layout table is taken by exactly one control.
constexpr bool LayoutPositionsArePermutation() {
  for (int place = 1; place <= kLaidOut; ++place) {
    int holders = 0;
    for (const ControlDesign& d : kDesign) holders += d.layoutPosition == place;
    if (holders != 1) return false;
  }
  return true;
}
static_assert(LayoutPositionsArePermutation(), "each layout place must belong to exactly one control");

}  // namespace

std::span<const ControlDesign> MainWindowDesign() { return kDesign; }

std::vector<ui::Control*> LaidOutControls(MainControls& c) {
  std::vector<ui::Control*> out(kLaidOut, nullptr);
  for (const ControlDesign& d : kDesign)
    if (d.layoutPosition > 0) out[static_cast<size_t>(d.layoutPosition - 1)] = &d.Of(c);
  return out;
}

ui::Rect ScaledToDpi(const ui::Rect& designed, int dpi) {
  return {ui::Scaled(designed.x, dpi), ui::Scaled(designed.y, dpi), ui::Scaled(designed.width, dpi),
          ui::Scaled(designed.height, dpi)};
}

ui::Window::Args SecondaryWindowDesign(const char* title, int width, int height, HWND owner, DWORD style) {
  ui::Window::Args args;
  ui::Rect r = ScaledToDpi({kDesignLeft, kDesignTop, width, height}, ui::DpiOf(owner));
  args.title = title;
  args.x = r.x;
  args.y = r.y;
  args.width = r.width;
  args.height = r.height;
  args.owner = owner;
  args.style = style;
  return args;
}

}  // namespace app

#include "app/main_window_design.h"

#include "app/texts.h"

namespace app {
namespace {

#define CONTROL(member) [](MainControls& c) -> ui::Control& { return c.member; }

using K = ControlKind;
using C = Container;

// Positions and sizes in pixels, relative to the container.
constexpr ControlDesign kDesign[] = {
    {K::kPanel, "图片框1", C::kWindow, {6, 1, 200, 525}, true, "", CONTROL(leftPanel)},
    {K::kPanel, "图片框2", C::kWindow, {194, -5, 611, 695}, true, "", CONTROL(rightPanel)},
    {K::kButton, "按钮3", C::kWindow, {-1, -3, 12, 550}, true, texts::kCompactToggleFull, CONTROL(compactToggle)},
    {K::kDivider, "分隔条1", C::kWindow, {20, 331, 781, 1}, true, "", CONTROL(splitter)},
    {K::kMultilineEditBox, "编辑框5", C::kWindow, {208, 338, 593, 99}, true, "", CONTROL(contentBox)},
    {K::kListView, "超级列表框值对比3", C::kWindow, {208, 437, 593, 81}, true, "", CONTROL(differenceList)},
    {K::kLabel, "透明标签4", C::kWindow, {21, 402, 123, 15}, false, texts::kObsoleteLabel, CONTROL(obsoleteLabel)},
    {K::kStatusBar, "状态条1", C::kWindow, {3, 531, 802, 20}, true, texts::kStatusDesign, CONTROL(statusBar)},
    {K::kMultilineEditBox, "编辑框3", C::kLeftPanel, {14, 5, 180, 40}, true, texts::kSearchBoxDesign, CONTROL(searchBox)},
    {K::kLabel, "透明标签5", C::kLeftPanel, {14, 49, 163, 12}, true, texts::kSearchResultCaption,
     CONTROL(searchResultCaption)},
    {K::kMultilineEditBox, "编辑框4", C::kLeftPanel, {14, 68, 180, 150}, true, "", CONTROL(searchResultBox)},
    {K::kCheckBox, "选择框2", C::kLeftPanel, {15, 227, 81, 17}, true, texts::kCaseSensitiveSwitch,
     CONTROL(caseSensitiveSwitch)},
    {K::kCheckBox, "选择框3", C::kLeftPanel, {105, 227, 87, 17}, true, texts::kCookiesModeSwitch,
     CONTROL(cookiesModeSwitch)},
    {K::kCheckBox, "选择框1", C::kLeftPanel, {15, 249, 78, 17}, true, texts::kExactMatchSwitch, CONTROL(exactMatchSwitch)},
    {K::kCheckBox, "选择框4", C::kLeftPanel, {105, 249, 92, 17}, true, texts::kHttpModeSwitch, CONTROL(httpModeSwitch)},
    {K::kLabel, "透明标签6", C::kLeftPanel, {15, 274, 55, 18}, true, texts::kLineSeparatorCaption,
     CONTROL(lineSeparatorCaption)},
    {K::kEditBox, "编辑框行分隔6", C::kLeftPanel, {68, 272, 35, 22}, true, "", CONTROL(lineSeparatorBox)},
    {K::kLabel, "透明标签9", C::kLeftPanel, {104, 274, 55, 18}, true, texts::kValueSeparatorCaption,
     CONTROL(valueSeparatorCaption)},
    {K::kEditBox, "编辑框值分隔7", C::kLeftPanel, {157, 272, 35, 22}, true, "", CONTROL(valueSeparatorBox)},
    {K::kCheckBox, "选择框5", C::kLeftPanel, {15, 305, 177, 21}, true, texts::kAutoExpandSwitch, CONTROL(autoExpandSwitch)},
    {K::kMultilineEditBox, "分析结果编辑框1", C::kLeftPanel, {14, 337, 180, 133}, true, texts::kReportBoxDesign,
     CONTROL(reportBox)},
    {K::kLabel, "透明标签3", C::kLeftPanel, {14, 448, 94, 18}, false, texts::kReportCaption, CONTROL(reportCaption)},
    {K::kButton, "按钮5", C::kLeftPanel, {15, 476, 63, 41}, true, texts::kRestoreButton, CONTROL(restoreButton)},
    {K::kButton, "按钮1", C::kLeftPanel, {81, 476, 113, 41}, true, texts::kAnalyseCookies, CONTROL(analyseButton)},
    {K::kMultilineEditBox, "编辑框1", C::kRightPanel, {14, 11, 296, 40}, true, "", CONTROL(slot1Input)},
    {K::kMultilineEditBox, "编辑框2", C::kRightPanel, {312, 11, 296, 40}, true, "", CONTROL(slot2Input)},
    {K::kButton, "按钮4", C::kRightPanel, {14, 52, 593, 20}, false, texts::kAnalyseCookies, CONTROL(analyseBarButton)},
    {K::kLabel, "透明标签1", C::kRightPanel, {17, 56, 294, 12}, true, texts::kSlot1CaptionCookies, CONTROL(slot1Caption)},
    {K::kLabel, "透明标签2", C::kRightPanel, {313, 56, 147, 12}, true, texts::kSlot2CaptionCookies, CONTROL(slot2Caption)},
    {K::kListView, "超级列表框对比1", C::kRightPanel, {14, 74, 296, 150}, true, "", CONTROL(slot1Items)},
    {K::kListView, "超级列表框对比2", C::kRightPanel, {312, 74, 296, 150}, true, "", CONTROL(slot2Items)},
    {K::kListView, "超级列表框结果1", C::kRightPanel, {14, 226, 296, 104}, true, "", CONTROL(slot1Missing)},
    {K::kListView, "超级列表框结果2", C::kRightPanel, {312, 226, 296, 104}, true, "", CONTROL(slot2Missing)},
    {K::kLabel, "透明标签7", C::kRightPanel, {18, 377, 208, 20}, false, texts::kDifferenceCaption,
     CONTROL(differenceCaption)},
    {K::kLabel, "透明标签8", C::kRightPanel, {253, 380, 176, 20}, false, texts::kContentCaptionCookies,
     CONTROL(contentCaption)},
    {K::kButton, "按钮2", C::kRightPanel, {593, 584, 18, 18}, true, texts::kDetailButton, CONTROL(detailButton)},
};

#undef CONTROL

}  // namespace

std::span<const ControlDesign> MainWindowDesign() { return kDesign; }

ui::Window::Args SecondaryWindowDesign(const char* title, int width, int height, HWND owner, DWORD style) {
  ui::Window::Args args;
  args.title = title;
  args.x = kDesignLeft;
  args.y = kDesignTop;
  args.width = width;
  args.height = height;
  args.owner = owner;
  args.style = style;
  return args;
}

std::vector<ui::Column> ItemListColumns(int slot) {
  return {{texts::kRowNumberColumn, 50},
          {texts::kItemNameColumnCookies, 100},
          {slot == 1 ? texts::kSlot1ValueColumn : texts::kSlot2ValueColumn, 142}};
}

std::vector<ui::Column> MissingListColumns() {
  return {{texts::kRowNumberColumn, 50}, {texts::kMissingNameColumnDesign, 100}, {texts::kValueColumn, 142}};
}

std::vector<ui::Column> DifferenceListColumns() {
  return {{texts::kRowNumberColumn, 22},
          {texts::kDifferenceNameColumnDesign, 120},
          {texts::kSlot1ValueColumn, 215},
          {texts::kSlot2ValueColumn, 215}};
}

}  // namespace app

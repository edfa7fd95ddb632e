// The lists' shared context menu: its seventeen entries, and which of them a
// list shows with which captions, decided afresh before every opening.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "compare/list_role.h"
#include "export/exporters.h"
#include "items/analysis_mode.h"
#include "items/text.h"

namespace ds {

// In menu order; the separators are entries too, so that they can be hidden.
enum class MenuEntry {
  kAnalyseEntry = 1,  // 分析 此条Cookies
  kSeparator2,
  kCopySlot1Form,     // 复制 1号数据
  kCopySlot2Form,     // 复制 2号数据
  kCopyAll,           // 复制 全部Cookies
  kCopyLine,          // 复制 整行Cookies
  kCopyName,          // 复制 (名)Cookies
  kCopyValue,         // 复制 (值)Cookies
  kCopyCompleted,     // 复制 补全Cookies
  kSeparator10,
  kReplaceWithSlot1,  // 替换 为1号的值 (writes into Slot 2)
  kReplaceWithSlot2,  // 替换 为2号的值 (writes into Slot 1)
  kSwap,              // 互换 1号值-2号值
  kSeparator14,
  kModify,            // 修改 Cookies值(双击)
  kDelete,            // 删除 Cookies(Del键)
  kAdd,               // 新增 Cookies
  // Additions after the seventeen, so those keep their places.
  kSeparator18,
  kDecodeCompare,     // 解码对比
  kIgnoreItem,        // 忽略此项
  kClearIgnoreList,   // 清除忽略列表
  kSeparator22,
  kCopyAllAs,         // 复制为 ▸ the list's rows in a format
  kCopyCompletedAs,   // 复制 补全 为 … ▸ the completed copy in a format
};
constexpr int kMenuEntryCount = 24;

constexpr int Index(MenuEntry e) { return static_cast<int>(e) - 1; }  // 0-based
bool IsSeparator(MenuEntry e);
const char* DesignCaption(MenuEntry e);  // GBK; empty for separators

// What the window knows when the menu is about to open.
struct MenuContext {
  bool slot1ItemsFocused = false;
  bool slot2ItemsFocused = false;
  ListRole currentRole = ListRole::kNone;  // the current list's title
  Text selectedName;                       // column 1 of the current list's selected row; empty: none
  int differenceRows = 0;
  size_t ignorePatterns = 0;  // patterns in the ignore list
};

struct MenuPlan {
  std::array<bool, kMenuEntryCount> visible{};
  // A caption to set before opening; unset keeps the entry's last caption.
  std::array<std::optional<Text>, kMenuEntryCount> caption;
};

// The item lists' menus show the design captions of entries 11 to 13 (not
// the name of the last difference row, which they would not act on).
MenuPlan PlanListMenu(const MenuContext& context);

// The formats of the two copy-as submenus: the mode's exporters, then each
// of them masked ("cURL (bash) (脱敏)"), each with an id of its own beyond
// the entries' (the parent's base plus the exporter's place in the table).
struct SubmenuItem {
  int id;
  Text caption;  // GBK
};
std::vector<SubmenuItem> CopyAsItems(MenuEntry parent, AnalysisMode mode);

// What an id of those submenus stands for.
struct CopyAsChoice {
  MenuEntry parent;  // kCopyAllAs or kCopyCompletedAs
  const Exporter* exporter;
  bool masked = false;  // secret values masked for sharing, as a sanitised HAR masks them
};
std::optional<CopyAsChoice> CopyAsChoiceOf(int id);

}  // namespace ds

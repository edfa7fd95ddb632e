#include "compare/list_menu.h"

#include <initializer_list>

#include "compare/texts.h"
#include "items/sentence.h"

namespace ds {
namespace {

constexpr std::string_view kCookieWord = "Cookie";
constexpr int kCopyAllAsBase = 100;
constexpr int kCopyCompletedAsBase = 200;
// The same formats masked for sharing, each this far past its plain one.
constexpr int kMaskedOffset = 50;
static_assert(kCopyAllAsBase + kMaskedOffset + 50 <= kCopyCompletedAsBase);

void Show(MenuPlan& plan, std::initializer_list<MenuEntry> entries) {
  for (MenuEntry e : entries) plan.visible[Index(e)] = true;
}

void Caption(MenuPlan& plan, MenuEntry e, Text caption) { plan.caption[Index(e)] = std::move(caption); }

}  // namespace

bool IsSeparator(MenuEntry e) {
  return e == MenuEntry::kSeparator2 || e == MenuEntry::kSeparator10 || e == MenuEntry::kSeparator14 ||
         e == MenuEntry::kSeparator18 || e == MenuEntry::kSeparator22;
}

const char* DesignCaption(MenuEntry e) {
  switch (e) {
    case MenuEntry::kAnalyseEntry: return texts::kMenuAnalyseEntry;
    case MenuEntry::kCopySlot1Form: return texts::kMenuCopySlot1Form;
    case MenuEntry::kCopySlot2Form: return texts::kMenuCopySlot2Form;
    case MenuEntry::kCopyAll: return texts::kMenuCopyAll;
    case MenuEntry::kCopyLine: return texts::kMenuCopyLine;
    case MenuEntry::kCopyName: return texts::kMenuCopyName;
    case MenuEntry::kCopyValue: return texts::kMenuCopyValue;
    case MenuEntry::kCopyCompleted: return texts::kMenuCopyCompleted;
    case MenuEntry::kReplaceWithSlot1: return texts::kMenuReplaceWithSlot1;
    case MenuEntry::kReplaceWithSlot2: return texts::kMenuReplaceWithSlot2;
    case MenuEntry::kSwap: return texts::kMenuSwap;
    case MenuEntry::kModify: return texts::kMenuModify;
    case MenuEntry::kDelete: return texts::kMenuDelete;
    case MenuEntry::kAdd: return texts::kMenuAdd;
    case MenuEntry::kDecodeCompare: return texts::kMenuDecodeCompare;
    case MenuEntry::kIgnoreItem: return texts::kMenuIgnoreItem;
    case MenuEntry::kClearIgnoreList: return texts::kMenuClearIgnoreList;
    case MenuEntry::kCopyAllAs: return texts::kMenuCopyAllAs;
    case MenuEntry::kCopyCompletedAs: return texts::kMenuCopyCompletedAs;
    case MenuEntry::kSeparator2:
    case MenuEntry::kSeparator10:
    case MenuEntry::kSeparator14:
    case MenuEntry::kSeparator18:
    case MenuEntry::kSeparator22: break;
  }
  return "";
}

MenuPlan PlanListMenu(const MenuContext& context) {
  MenuPlan plan;  // every entry hidden
  using E = MenuEntry;
  const bool itemList = context.slot1ItemsFocused || context.slot2ItemsFocused;
  const bool missingList =
      context.currentRole == ListRole::kSlot1Missing || context.currentRole == ListRole::kSlot2Missing;
  const bool differenceList = context.differenceRows > 0 && context.currentRole == ListRole::kDifferences;

  if (itemList) {
    Show(plan, {E::kCopyAll, E::kCopyLine, E::kCopyName, E::kCopyValue, E::kCopyCompleted, E::kSeparator10, E::kSwap});
    if (context.slot1ItemsFocused) Show(plan, {E::kReplaceWithSlot2});
    if (context.slot2ItemsFocused) Show(plan, {E::kReplaceWithSlot1});
    Show(plan, {E::kSeparator14, E::kModify, E::kDelete, E::kAdd});
    if (Find(context.selectedName, kCookieWord, 1, true) != -1) Show(plan, {E::kAnalyseEntry, E::kSeparator2});
    // A difference-list menu leaves its row's name in these captions; here
    // they act on the item list's own row.
    for (E e : {E::kReplaceWithSlot1, E::kReplaceWithSlot2, E::kSwap}) Caption(plan, e, DesignCaption(e));
  }

  if (missingList) Show(plan, {E::kCopyAll, E::kCopyLine, E::kCopyName, E::kCopyValue, E::kCopyCompleted});

  if (differenceList) {
    const std::string_view name = context.selectedName;
    Show(plan, {E::kCopyName});
    Caption(plan, E::kCopySlot1Form, FillIn(texts::kMenuDiffCopySlot1Form, {{"name", name}}));
    Caption(plan, E::kCopySlot2Form, FillIn(texts::kMenuDiffCopySlot2Form, {{"name", name}}));
    Show(plan, {E::kCopySlot1Form, E::kCopySlot2Form, E::kSeparator10});
    Caption(plan, E::kSwap, texts::kMenuDiffSwap);
    Show(plan, {E::kSwap});
    Caption(plan, E::kReplaceWithSlot1, FillIn(texts::kMenuDiffReplaceWithSlot1, {{"name", name}}));
    Caption(plan, E::kReplaceWithSlot2, FillIn(texts::kMenuDiffReplaceWithSlot2, {{"name", name}}));
    Show(plan, {E::kReplaceWithSlot1, E::kReplaceWithSlot2});
  }

  if (itemList || differenceList) Show(plan, {E::kSeparator18, E::kDecodeCompare});
  if (missingList || differenceList) Show(plan, {E::kSeparator18, E::kIgnoreItem});
  if (context.ignorePatterns > 0 && (itemList || missingList || differenceList))
    Show(plan, {E::kSeparator18, E::kClearIgnoreList});
  // The lists that copy whole and completed copy so in any format.
  if (itemList || missingList) Show(plan, {E::kSeparator22, E::kCopyAllAs, E::kCopyCompletedAs});
  return plan;
}

std::vector<SubmenuItem> CopyAsItems(MenuEntry parent, AnalysisMode mode) {
  std::vector<SubmenuItem> items;
  std::span<const Exporter> all = Exporters();
  int base = parent == MenuEntry::kCopyAllAs ? kCopyAllAsBase : kCopyCompletedAsBase;
  for (bool masked : {false, true})
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].Serves(mode))
        items.push_back({base + (masked ? kMaskedOffset : 0) + static_cast<int>(i),
                         masked ? FillIn(texts::kMaskedFormat, {{"format", all[i].caption}}) : Text(all[i].caption)});
  return items;
}

std::optional<CopyAsChoice> CopyAsChoiceOf(int id) {
  std::span<const Exporter> all = Exporters();
  for (auto [base, parent] : {std::pair{kCopyAllAsBase, MenuEntry::kCopyAllAs},
                              std::pair{kCopyCompletedAsBase, MenuEntry::kCopyCompletedAs}})
    for (bool masked : {false, true}) {
      int first = base + (masked ? kMaskedOffset : 0);
      if (id >= first && id < first + static_cast<int>(all.size())) return CopyAsChoice{parent, &all[id - first], masked};
    }
  return std::nullopt;
}

}  // namespace ds

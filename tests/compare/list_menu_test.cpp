#include "compare/list_menu.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_gbk.h"

namespace ds {
namespace {

using test::Gbk;

std::vector<int> Shown(const MenuPlan& plan) {
  std::vector<int> shown;
  for (int i = 0; i < kMenuEntryCount; ++i)
    if (plan.visible[i]) shown.push_back(i + 1);
  return shown;
}

MenuContext Focused(Slot slot, const char* name) {
  MenuContext c;
  (slot == Slot::k1 ? c.slot1ItemsFocused : c.slot2ItemsFocused) = true;
  c.currentRole = ItemsRole(slot);
  c.selectedName = name;
  c.differenceRows = 3;
  return c;
}

MenuContext Current(ListRole role, const char* name, int differenceRows) {
  MenuContext c;
  c.currentRole = role;
  c.selectedName = name;
  c.differenceRows = differenceRows;
  return c;
}

TEST(ListMenu, EntriesShownPerList) {
  struct Case {
    const char* what;
    MenuContext context;
    std::vector<int> shown;
  } cases[] = {
      {"Slot 1 items", Focused(Slot::k1, "sid"), {5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17}},
      {"Slot 2 items", Focused(Slot::k2, "sid"), {5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17}},
      // Containment in any letter case: a header named Set-COOKIE qualifies.
      {"Cookie name", Focused(Slot::k2, "Set-COOKIE"), {1, 2, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17}},
      {"C as a trail byte", Focused(Slot::k1, "\x81" "Cookie"), {5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17}},
      {"no selected row", Focused(Slot::k1, ""), {5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17}},
      {"Slot 1 missing", Current(ListRole::kSlot1Missing, "Cookie", 3), {5, 6, 7, 8, 9}},
      {"Slot 2 missing", Current(ListRole::kSlot2Missing, "", 0), {5, 6, 7, 8, 9}},
      {"differences", Current(ListRole::kDifferences, "sid", 1), {3, 4, 7, 10, 11, 12, 13}},
      {"differences emptied", Current(ListRole::kDifferences, "sid", 0), {}},
      {"no current list", Current(ListRole::kNone, "sid", 2), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(PlanListMenu(c.context)), c.shown) << c.what;
}

TEST(ListMenu, DifferenceCaptionsStayInTheDifferenceMenu) {
  MenuPlan diff = PlanListMenu(Current(ListRole::kDifferences, "sid", 1));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kCopySlot1Form)], Gbk("复制 数据 1号[sid]"));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kCopySlot2Form)], Gbk("复制 数据 2号[sid]"));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kReplaceWithSlot1)], Gbk("替换 1号[sid]值 到 2号值"));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kReplaceWithSlot2)], Gbk("替换 2号[sid]值 到 1号值"));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kSwap)], Gbk("互换 值 1号-2号"));

  // The item lists act on their own row: design captions again, not "sid".
  MenuPlan items = PlanListMenu(Focused(Slot::k1, "other"));
  EXPECT_EQ(items.caption[Index(MenuEntry::kReplaceWithSlot1)], Gbk("替换 为1号的值"));
  EXPECT_EQ(items.caption[Index(MenuEntry::kReplaceWithSlot2)], Gbk("替换 为2号的值"));
  EXPECT_EQ(items.caption[Index(MenuEntry::kSwap)], Gbk("互换 1号值-2号值"));
  // Entries 3 and 4 belong to the mode switch there; a missing list sets none.
  EXPECT_FALSE(items.caption[Index(MenuEntry::kCopySlot1Form)].has_value());
  for (const auto& caption : PlanListMenu(Current(ListRole::kSlot1Missing, "x", 1)).caption)
    EXPECT_FALSE(caption.has_value());

  // A name with a brace or a lone lead byte goes in as it is.
  EXPECT_EQ(PlanListMenu(Current(ListRole::kDifferences, "{name}\x81", 1)).caption[Index(MenuEntry::kCopySlot1Form)],
            Gbk("复制 数据 1号[") + "{name}\x81" + "]");
}

TEST(ListMenu, SeparatorsHaveNoCaption) {
  for (int i = 1; i <= kMenuEntryCount; ++i) {
    MenuEntry e = static_cast<MenuEntry>(i);
    EXPECT_EQ(IsSeparator(e), i == 2 || i == 10 || i == 14) << i;
    EXPECT_EQ(std::string(DesignCaption(e)).empty(), IsSeparator(e)) << i;
  }
  EXPECT_EQ(std::string(DesignCaption(MenuEntry::kDelete)), Gbk("删除 Cookies(Del键)"));
  EXPECT_EQ(std::string(DesignCaption(MenuEntry::kModify)), Gbk("修改 Cookies值(双击)"));
}

}  // namespace
}  // namespace ds

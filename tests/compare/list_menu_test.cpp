#include "compare/list_menu.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "tests/test_gbk.h"

namespace ds {
namespace {

using test::Gbk;

std::vector<int> Shown(const MenuPlan& plan, int from = 1, int to = Index(MenuEntry::kAdd) + 1) {
  std::vector<int> shown;
  for (int i = from - 1; i < to; ++i)
    if (plan.visible[i]) shown.push_back(i + 1);
  return shown;
}

MenuContext Context(ListRole role, const char* name, int differenceRows = 1) {
  MenuContext c;
  c.slot1ItemsFocused = role == ListRole::kSlot1Items;
  c.slot2ItemsFocused = role == ListRole::kSlot2Items;
  c.currentRole = role;
  c.selectedName = name;
  c.differenceRows = differenceRows;
  return c;
}

TEST(ListMenu, EntriesShownPerList) {
  struct Case {
    MenuContext context;
    std::vector<int> shown;
  } cases[] = {
      {Context(ListRole::kSlot1Items, "sid"), {5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17}},
      {Context(ListRole::kSlot2Items, "Set-COOKIE"), {1, 2, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17}},
      {Context(ListRole::kSlot2Missing, "Cookie"), {5, 6, 7, 8, 9}},
      {Context(ListRole::kDifferences, "sid"), {3, 4, 7, 10, 11, 12, 13}},
      {Context(ListRole::kDifferences, "sid", 0), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(PlanListMenu(c.context)), c.shown) << c.context.selectedName;
}

TEST(ListMenu, AdditionsComeAfterTheSeventeen) {
  struct Case {
    MenuContext context;
    size_t patterns;
    std::vector<int> shown;
  } cases[] = {
      {Context(ListRole::kSlot1Items, "sid"), 0, {18, 19, 22, 23, 24}},
      {Context(ListRole::kSlot2Missing, "sid"), 0, {18, 20, 22, 23, 24}},
      {Context(ListRole::kDifferences, "sid"), 2, {18, 19, 20, 21}},
      {Context(ListRole::kDifferences, "sid", 0), 2, {}},
  };
  for (Case& c : cases) {
    c.context.ignorePatterns = c.patterns;
    EXPECT_EQ(Shown(PlanListMenu(c.context), 18, kMenuEntryCount), c.shown);
  }
}

// Each mode's formats under both copy-as entries, their ids apart from the
// entries' and from each other's, each leading back to its entry and format.
TEST(ListMenu, CopyAsSubmenusOfferTheModesFormats) {
  for (AnalysisMode mode : {AnalysisMode::kCookies, AnalysisMode::kHttp}) {
    std::vector<const Exporter*> formats = ExportersOf(mode);
    for (MenuEntry parent : {MenuEntry::kCopyAllAs, MenuEntry::kCopyCompletedAs}) {
      std::vector<SubmenuItem> items = CopyAsItems(parent, mode);
      // Each format, then each masked for sharing.
      ASSERT_EQ(items.size(), 2 * formats.size());
      std::set<int> ids;
      for (size_t i = 0; i < items.size(); ++i) {
        bool masked = i >= formats.size();
        const Exporter* format = formats[i % formats.size()];
        EXPECT_GT(items[i].id, kMenuEntryCount);
        EXPECT_TRUE(ids.insert(items[i].id).second);
        EXPECT_EQ(items[i].caption, masked ? std::string(format->caption) + Gbk(" (脱敏)") : format->caption);
        std::optional<CopyAsChoice> choice = CopyAsChoiceOf(items[i].id);
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->parent, parent);
        EXPECT_EQ(choice->exporter, format);
        EXPECT_EQ(choice->masked, masked);
      }
    }
  }
  EXPECT_NE(CopyAsItems(MenuEntry::kCopyAllAs, AnalysisMode::kCookies)[0].id,
            CopyAsItems(MenuEntry::kCopyCompletedAs, AnalysisMode::kCookies)[0].id);
  EXPECT_FALSE(CopyAsChoiceOf(Index(MenuEntry::kCopyAll) + 1));
  // The last exporter of the table serves HTTP mode: one id past it is none,
  // plain or masked.
  std::vector<SubmenuItem> http = CopyAsItems(MenuEntry::kCopyAllAs, AnalysisMode::kHttp);
  EXPECT_FALSE(CopyAsChoiceOf(http[http.size() / 2 - 1].id + 1));
  EXPECT_FALSE(CopyAsChoiceOf(http.back().id + 1));
  EXPECT_EQ(PlanListMenu(Context(ListRole::kDifferences, "sid")).visible[Index(MenuEntry::kCopyAllAs)], false);
}

TEST(ListMenu, DifferenceCaptionsStayInTheDifferenceMenu) {
  MenuPlan diff = PlanListMenu(Context(ListRole::kDifferences, "sid"));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kCopySlot2Form)], Gbk("复制 数据 2号[sid]"));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kReplaceWithSlot1)], Gbk("替换 1号[sid]值 到 2号值"));
  EXPECT_EQ(diff.caption[Index(MenuEntry::kSwap)], Gbk("互换 值 1号-2号"));
  // The item lists act on their own row: design captions, not the name.
  MenuPlan items = PlanListMenu(Context(ListRole::kSlot1Items, "other"));
  EXPECT_EQ(items.caption[Index(MenuEntry::kReplaceWithSlot2)], Gbk("替换 为2号的值"));
  EXPECT_EQ(items.caption[Index(MenuEntry::kSwap)], Gbk("互换 1号值-2号值"));
  EXPECT_FALSE(items.caption[Index(MenuEntry::kCopySlot1Form)].has_value());  // the mode switch's
}

}  // namespace
}  // namespace ds

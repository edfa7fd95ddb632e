// The main window's controls and the process-wide state its handlers share.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/layout.h"
#include "compare/item_report.h"
#include "compare/list_menu.h"
#include "compare/list_role.h"
#include "compare/name_rule.h"
#include "export/exporters.h"
#include "items/analysis_mode.h"
#include "items/slot.h"
#include "items/separators.h"
#include "mask/secrets.h"
#include "ui/buttons.h"
#include "ui/edit_box.h"
#include "ui/list_view.h"
#include "ui/popup_menu.h"
#include "ui/static_controls.h"
#include "ui/status_bar.h"

namespace app {

// The lists' context menu knows its entries by their place in it.
constexpr int MenuId(ds::MenuEntry entry) { return static_cast<int>(entry); }

struct MainControls {
  ui::Panel leftPanel;
  ui::Panel rightPanel;
  ui::Button compactToggle;
  ui::Divider splitter;
  ui::EditBox contentBox;
  ui::ListView differenceList;
  ui::Label obsoleteLabel;
  ui::StatusBar statusBar;
  ui::EditBox searchBox;
  ui::Label searchResultCaption;
  ui::EditBox searchResultBox;
  ui::CheckBox caseSensitiveSwitch;
  ui::CheckBox cookiesModeSwitch;
  ui::CheckBox exactMatchSwitch;
  ui::CheckBox httpModeSwitch;
  ui::Label lineSeparatorCaption;
  ui::EditBox lineSeparatorBox;
  ui::Label valueSeparatorCaption;
  ui::EditBox valueSeparatorBox;
  ui::CheckBox autoExpandSwitch;
  ui::EditBox reportBox;
  ui::Label reportCaption;
  ui::Button restoreButton;
  ui::Button analyseButton;
  ui::EditBox slot1Input;
  ui::EditBox slot2Input;
  ui::Button analyseBarButton;
  ui::Label slot1Caption;
  ui::Label slot2Caption;
  ui::ListView slot1Items;
  ui::ListView slot2Items;
  ui::ListView slot1Missing;
  ui::ListView slot2Missing;
  ui::Label differenceCaption;
  ui::Label contentCaption;
  ui::Button detailButton;
  ui::PopupMenu listMenu;  // the lists' context menu

  ui::EditBox& Input(ds::Slot slot) { return slot == ds::Slot::k1 ? slot1Input : slot2Input; }
  ui::ListView& Items(ds::Slot slot) { return slot == ds::Slot::k1 ? slot1Items : slot2Items; }
  ui::ListView& Missing(ds::Slot slot) { return slot == ds::Slot::k1 ? slot1Missing : slot2Missing; }
};

// Every list of the window.
inline std::array<ui::ListView*, 5> AllLists(MainControls& c) {
  return {&c.slot1Items, &c.slot2Items, &c.slot1Missing, &c.slot2Missing, &c.differenceList};
}

// The name rule as the two switches set it now.
inline ds::NameRule RuleOf(const ui::CheckBox& caseSensitive, const ui::CheckBox& exactMatch) {
  return {caseSensitive.IsChecked(), exactMatch.IsChecked()};
}

// The list the context-menu operations act on, with its role (and so its title).
struct CurrentList {
  ui::ListView* list = nullptr;
  ds::ListRole role = ds::ListRole::kNone;
};

// The content box and the difference list widened over the splitter's width,
// and the widths they come back to.
struct LowerArea {
  bool expanded = false;
  int contentWidth = 0;
  int differenceWidth = 0;
};

// An item list's names as the reports against it look them up, kept while
// its rows and the name rule stay as they were.
struct KeptReporter {
  uint64_t rowsRevision = 0;
  ds::NameRule rule;
  std::shared_ptr<const ds::ItemReporter> reporter;
};

// Held for the whole run: the separators in force, the analysis mode, the
// current list, the layout, and the window modes the handlers draw from.
struct AppState {
  ds::AnalysisMode mode = ds::AnalysisMode::kCookies;
  ds::Separators separators = ds::DefaultSeparators(ds::AnalysisMode::kCookies);
  CurrentList current;
  Layout layout;
  unsigned parses = 0;   // counts the parses that refilled an item list
  int modifiedRow = -1;  // the row whose value the input window edits
  LowerArea lowerArea;
  bool compact = false;
  bool created = false;  // start-up has created the secondary windows: resizing may lay out
  std::vector<ds::Text> ignorePatterns;  // the ignore list, as stored in the settings file
  std::vector<ds::Text> ignoredNames;    // names the lists shown leave out
  KeptReporter keptReporters[2];         // against the Slot 1 and the Slot 2 item list
  ds::ExportTarget importTargets[2];     // where each slot's last import was sent, for the copies as commands
  // Masked copies and sanitised HARs share one key a run, made on first use:
  // equal values read alike across them, and nothing ties them to another run.
  std::optional<ds::SecretRule> maskRule;

  const char* ModeWord() const { return ds::ModeWord(mode); }
  ds::ExportTarget& ImportTarget(ds::Slot slot) { return importTargets[slot == ds::Slot::k1 ? 0 : 1]; }
};

}  // namespace app

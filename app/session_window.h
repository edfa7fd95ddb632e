// The session window: two HAR files compared request by request, one row a
// pair in recorded order. Choosing a row loads its two requests into the two
// slots; Esc hides the window. Under the list, why each cookie the selected
// pair's one request sent is missing from the other.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cookies/session_why.h"
#include "import/capture.h"
#include "items/slot.h"
#include "sessions/session_diff.h"
#include "ui/edit_box.h"
#include "ui/list_view.h"
#include "ui/popup_menu.h"
#include "ui/window.h"

namespace app {

using HarEntries = std::shared_ptr<const std::vector<ds::HarEntry>>;
using HarText = std::shared_ptr<const std::string>;  // a HAR's text as read (UTF-8)

class SessionWindow : public ui::Window {
 public:
  bool Create(HWND owner);

  // Fills the list with the pairs of A and B and shows the window.
  void ShowPairs(HarEntries a, HarEntries b, const ds::SessionsInput& in, HarText textA = {}, HarText textB = {});
  bool IsShown() const { return IsWindowVisible(hwnd()) != FALSE; }

  ui::ListView list;
  ui::EditBox whyBox;
  // A chosen pair's requests; a side the pair lacks is null.
  std::function<void(const ds::HarEntry* a, const ds::HarEntry* b)> onChoose;
  // The list's menu asks for a sanitised copy of A's or B's HAR.
  std::function<void(const std::string& harUtf8, ds::Slot side)> onSaveSanitised;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ChooseSelected();
  void ShowWhy();
  void OpenMenu(int x, int y);
  void LayOut(int width, int height);

  HarEntries a_, b_;
  HarText textA_, textB_;
  ui::PopupMenu menu_;
  std::vector<ds::PairDiff> pairs_;
  std::optional<ds::ReplayedSession> replayA_, replayB_;
};

}  // namespace app

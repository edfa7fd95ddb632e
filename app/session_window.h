// The session window: two HAR files compared request by request, one row a
// pair in recorded order. Choosing a row loads its two requests into the two
// slots; Esc hides the window. Under the list, why each cookie the selected
// pair's one request sent is missing from the other.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "cookies/session_why.h"
#include "import/capture.h"
#include "sessions/session_diff.h"
#include "ui/edit_box.h"
#include "ui/list_view.h"
#include "ui/window.h"

namespace app {

using HarEntries = std::shared_ptr<const std::vector<ds::HarEntry>>;

class SessionWindow : public ui::Window {
 public:
  bool Create(HWND owner);

  // Fills the list with the pairs of A and B and shows the window.
  void ShowPairs(HarEntries a, HarEntries b, const ds::SessionsInput& in);
  bool IsShown() const { return IsWindowVisible(hwnd()) != FALSE; }

  ui::ListView list;
  ui::EditBox whyBox;
  // A chosen pair's requests; a side the pair lacks is null.
  std::function<void(const ds::HarEntry* a, const ds::HarEntry* b)> onChoose;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ChooseSelected();
  void ShowWhy();
  void LayOut(int width, int height);

  HarEntries a_, b_;
  std::vector<ds::PairDiff> pairs_;
  std::optional<ds::ReplayedSession> replayA_, replayB_;
};

}  // namespace app

// The session window: two HAR files compared request by request, one row a
// pair in recorded order. Choosing a row loads its two requests into the two
// slots; Esc hides the window.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "import/capture.h"
#include "sessions/session_diff.h"
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
  // A chosen pair's requests; a side the pair lacks is null.
  std::function<void(const ds::HarEntry* a, const ds::HarEntry* b)> onChoose;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ChooseSelected();

  HarEntries a_, b_;
  std::vector<ds::PairDiff> pairs_;
};

}  // namespace app

// Popup menu whose entries can be hidden, shown and re-captioned; Win32 menus
// cannot hide an item, so the menu is built from the visible entries each
// time it opens.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

class PopupMenu {
 public:
  void Add(int id, std::string caption);  // GBK; id 0 adds a separator line
  void SetVisible(int id, bool visible);
  bool IsVisible(int id) const;
  void SetCaption(int id, std::string caption);
  std::string Caption(int id) const;
  std::vector<int> VisibleIds() const;

  // Shows the menu at a screen point and runs onCommand for the chosen entry.
  void OpenAt(HWND owner, int x, int y);

  std::function<void(int id)> onCommand;

 private:
  struct Entry {
    int id;
    std::string caption;
    bool visible = true;
  };
  Entry* Find(int id);
  const Entry* Find(int id) const;

  std::vector<Entry> entries_;
};

}  // namespace ui

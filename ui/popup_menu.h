// Popup menu whose entries can be hidden, shown and re-captioned; Win32 menus
// cannot hide an item, so the menu is built from the visible entries each
// time it opens.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

class PopupMenu {
 public:
  void Add(int id, std::string caption);  // GBK; id 0 adds a separator line
  void AddSeparator(int id);              // a separator line that can be hidden by its id
  void SetVisible(int id, bool visible);
  bool IsVisible(int id) const;
  void SetCaption(int id, std::string caption);
  // The entry opens a submenu of these (id, GBK caption) instead of being
  // chosen itself; their ids reach onCommand like the entries'.
  using Submenu = std::vector<std::pair<int, std::string>>;
  void SetSubmenu(int id, Submenu items);
  std::string Caption(int id) const;
  std::vector<int> VisibleIds() const;

  // Shows the menu at a screen point and runs onCommand for the chosen entry
  // once the menu has closed.
  void OpenAt(HWND owner, int x, int y);

  std::function<void(int id)> onCommand;

 private:
  struct Entry {
    int id;
    std::string caption;
    bool visible = true;
    bool separator = false;
    Submenu submenu;
  };
  Entry* Find(int id);
  const Entry* Find(int id) const;

  std::vector<Entry> entries_;
};

// While set, OpenAt asks the hook (visible entries with their captions, the
// point) instead of showing the menu; it answers the chosen id or 0.
struct MenuRequest {
  struct Item {
    int id;
    std::string caption;  // GBK
    bool separator;
    PopupMenu::Submenu submenu;
  };
  std::vector<Item> items;  // the visible ones, in menu order
  int x = 0, y = 0;
};
using MenuHook = std::function<int(const MenuRequest&)>;
void SetMenuHook(MenuHook hook);

}  // namespace ui

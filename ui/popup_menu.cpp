#include "ui/popup_menu.h"

#include "ui/text_convert.h"

namespace ui {
namespace {

MenuHook& Hook() {
  static MenuHook hook;
  return hook;
}

}  // namespace

void SetMenuHook(MenuHook hook) { Hook() = std::move(hook); }

void PopupMenu::Add(int id, std::string caption) { entries_.push_back({id, std::move(caption), true, id == 0, {}}); }

void PopupMenu::AddSeparator(int id) { entries_.push_back({id, "", true, true, {}}); }

PopupMenu::Entry* PopupMenu::Find(int id) {
  for (Entry& e : entries_)
    if (e.id == id) return &e;
  return nullptr;
}

const PopupMenu::Entry* PopupMenu::Find(int id) const { return const_cast<PopupMenu*>(this)->Find(id); }

void PopupMenu::SetVisible(int id, bool visible) {
  if (Entry* e = Find(id)) e->visible = visible;
}

bool PopupMenu::IsVisible(int id) const {
  const Entry* e = Find(id);
  return e && e->visible;
}

void PopupMenu::SetCaption(int id, std::string caption) {
  if (Entry* e = Find(id)) e->caption = std::move(caption);
}

void PopupMenu::SetSubmenu(int id, Submenu items) {
  if (Entry* e = Find(id)) e->submenu = std::move(items);
}

std::string PopupMenu::Caption(int id) const {
  const Entry* e = Find(id);
  return e ? e->caption : std::string();
}

std::vector<int> PopupMenu::VisibleIds() const {
  std::vector<int> ids;
  for (const Entry& e : entries_)
    if (e.visible && !e.separator) ids.push_back(e.id);
  return ids;
}

void PopupMenu::OpenAt(HWND owner, int x, int y) {
  if (VisibleIds().empty()) return;  // nothing to choose: no menu
  if (Hook()) {
    MenuRequest request{{}, x, y};
    for (const Entry& e : entries_)
      if (e.visible) request.items.push_back({e.id, e.caption, e.separator, e.submenu});
    int chosen = Hook()(request);
    if (chosen != 0 && onCommand) onCommand(chosen);
    return;
  }
  // A name in a caption is data: "&" would underline the next letter.
  auto shown = [](const std::string& gbk) {
    std::wstring caption;
    for (wchar_t ch : ToWide(gbk).text) caption += ch == L'&' ? std::wstring(L"&&") : std::wstring(1, ch);
    return caption;
  };
  HMENU menu = CreatePopupMenu();
  for (const Entry& e : entries_) {
    if (!e.visible) continue;
    if (e.separator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!e.submenu.empty()) {
      HMENU sub = CreatePopupMenu();  // destroyed with its parent
      for (const auto& [id, caption] : e.submenu)
        AppendMenuW(sub, MF_STRING, static_cast<UINT_PTR>(id), shown(caption).c_str());
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), shown(e.caption).c_str());
    } else {
      AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(e.id), shown(e.caption).c_str());
    }
  }
  SetForegroundWindow(owner);
  int chosen = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
  DestroyMenu(menu);
  if (chosen != 0 && onCommand) onCommand(chosen);
}

}  // namespace ui

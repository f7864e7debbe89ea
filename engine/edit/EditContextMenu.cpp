#include "EditContextMenu.h"

#include "engine/host/MenuGeometry.h"
#include "engine/host/PopupMenu.h"

namespace ui {

const std::vector<MenuEntry>& EditMenuEntries() {
  static const std::vector<MenuEntry> entries = {
      {"剪切(&T)", 'X'}, {"复制(&C)", 'C'}, {"粘贴(&P)", 'V'}, {"", 0}, {"全部选择(&A)", 'A'},
  };
  return entries;
}

PopupMenu& EditContextMenu() {
  // Never freed: a menu a box still shows at exit must not go under it.
  static PopupMenu* const menu = [] {
    auto* made = new PopupMenu;
    for (const MenuEntry& entry : EditMenuEntries()) {
      const int kind = entry.text.empty() ? kMenuSeparator : kMenuEntry;
      made->AddItem(entry.text, {}, 0, kind, 1, entry.id);
    }
    return made;
  }();
  return *menu;
}

}  // namespace ui

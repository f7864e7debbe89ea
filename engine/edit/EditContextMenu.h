#pragma once

#include <string>
#include <vector>

namespace ui {

class PopupMenu;

// One entry of a menu held before the menu exists: its caption ("&" marks
// the access letter; an empty text is a separator) and its command id, here
// the character of its Ctrl shortcut.
struct MenuEntry {
  std::string text;
  int id = 0;
};

// The entries of the context menu every edit box shares: cut, copy, paste,
// a separator and select all.
const std::vector<MenuEntry>& EditMenuEntries();

// The shared edit context menu, made and filled with those entries when it
// is first asked for; it lives as long as the process. UI thread only.
PopupMenu& EditContextMenu();

}  // namespace ui

#pragma once

#include <vector>

#include "engine/core/RectF.h"

namespace ui {

enum MenuItemKind { kMenuEntry = 0, kMenuSeparator = 1, kMenuSubmenu = 2 };

inline constexpr int kMenuEntryHeight = 22;
inline constexpr int kMenuSeparatorHeight = 3;
inline constexpr int kMenuPadding = 8;

struct MenuSize {
  int width = 0;
  int height = 0;
};

// The size of a menu: its widest caption plus 50 (and 15 more for the arrow
// when an item opens a sub-menu) by the item heights plus 16.
MenuSize MeasureMenu(const std::vector<int>& kinds, const std::vector<int>& textWidths);

// Where each item's control goes inside a menu this wide, one below the
// other from the top padding.
std::vector<RectF> MenuItemRects(const std::vector<int>& kinds, int menuWidth);

struct MenuPlacement {
  int x = 0;
  int y = 0;
  int openEffect = 0;
  int closeEffect = 0;
};

// A menu opened at a point: to the left of it when it would pass the work
// area's right edge, above it when it would pass the bottom edge.
MenuPlacement PlaceMenuAtPoint(int x, int y, MenuSize size, const RectF& workArea);

// A menu opened as a cascade beside its owner window: 10 pixels inside the
// owner's right edge, 7 above the focus control; on the owner's left side
// when the right one has no room. The effects slide away from the owner.
MenuPlacement PlaceMenuBesideOwner(const RectF& owner, float focusTop, MenuSize size, const RectF& workArea);

}  // namespace ui

#include "MenuGeometry.h"

#include <algorithm>

namespace ui {
namespace {

constexpr int kTextMargin = 50;
constexpr int kArrowWidth = 15;
constexpr int kSeparatorLeft = 33;

}  // namespace

MenuSize MeasureMenu(const std::vector<int>& kinds, const std::vector<int>& textWidths) {
  MenuSize size;
  int widest = 0;
  bool submenu = false;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i] == kMenuSeparator) {
      size.height += kMenuSeparatorHeight;
      continue;
    }
    size.height += kMenuEntryHeight;
    if (i < textWidths.size()) widest = std::max(widest, textWidths[i]);
    submenu = submenu || kinds[i] == kMenuSubmenu;
  }
  size.width = widest + kTextMargin + (submenu ? kArrowWidth : 0);
  size.height += 2 * kMenuPadding;
  return size;
}

std::vector<RectF> MenuItemRects(const std::vector<int>& kinds, int menuWidth) {
  std::vector<RectF> rects;
  int top = kMenuPadding;
  for (int kind : kinds) {
    if (kind == kMenuSeparator) {
      rects.push_back(MakeRectF(kSeparatorLeft, top, menuWidth - 40, kMenuSeparatorHeight));
      top += kMenuSeparatorHeight;
    } else {
      rects.push_back(MakeRectF(kMenuPadding, top, menuWidth - 2 * kMenuPadding, kMenuEntryHeight));
      top += kMenuEntryHeight;
    }
  }
  return rects;
}

MenuPlacement PlaceMenuAtPoint(int x, int y, MenuSize size, const RectF& workArea) {
  MenuPlacement placement{x, y, 0, 0};
  if (x + size.width - 5 > workArea.Right()) placement.x = x - size.width;
  if (y + size.height > workArea.Bottom()) placement.y = y - size.height + 5;
  return placement;
}

MenuPlacement PlaceMenuBesideOwner(const RectF& owner, float focusTop, MenuSize size, const RectF& workArea) {
  MenuPlacement placement;
  placement.x = static_cast<int>(owner.Right()) - 10;
  placement.y = static_cast<int>(owner.top + focusTop) - 7;
  placement.closeEffect = 4;
  placement.openEffect = 3;
  if (placement.x + size.width > workArea.Right()) {
    placement.x = static_cast<int>(owner.left) - size.width + 10;
    placement.closeEffect = 3;
    placement.openEffect = 4;
  }
  return placement;
}

}  // namespace ui

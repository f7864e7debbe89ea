#pragma once

#include "engine/core/RectF.h"

namespace ui {

// Where a button's icon and caption go.
struct ButtonContent {
  RectF icon;  // the icon is drawn at its natural size at this corner
  RectF caption;
  bool placed = true;  // false for a layout number without a placement
};

// Places an icon (iconWidth x iconHeight, 0 x 0 without one) and a caption
// of the measured size in a surface W x H. Layouts: 0 icon left of the
// caption, 1 icon right of it, 2 icon above it (each centred as a group),
// 3 both centred on each other, 4 icon at the left edge with the caption
// filling the rest, 5 icon at the right edge, 6 icon at the top. In the
// pressed state both move one pixel right and down. Coordinates are
// truncated to whole pixels.
ButtonContent PlaceButtonContent(int layout, float surfaceWidth, float surfaceHeight, float iconWidth, float iconHeight,
                                 float textWidth, float textHeight, float offsetX, float offsetY, float gap,
                                 bool pressed);

}  // namespace ui

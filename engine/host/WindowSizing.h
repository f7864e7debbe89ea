#pragma once

#include <optional>

namespace ui {

// Where on a frameless window's edge a point lies, as the WMSZ_* code that
// SC_SIZE takes, and the sizing cursor shown there.
struct SizingEdge {
  int edge = 0;    // 1 left, 2 right, 3 top, 4 top-left, 5 top-right, 6 bottom, 7 bottom-left, 8 bottom-right
  int cursor = 0;  // system cursor identifier
};

// The edge under (x, y) of a window w x h, if any. The side bands are 8
// pixels on the left and top, the corners 10 on the left, and everything is
// 10 pixels on the right and bottom.
std::optional<SizingEdge> SizingEdgeAt(int x, int y, int width, int height);

struct MinMax {
  int maxWidth, maxHeight;  // maximised size
  int maxLeft, maxTop;      // maximised position
  int minTrackWidth, minTrackHeight;
};

// The limits of a frameless host window on a work area: maximised, it
// reaches 7 pixels beyond every side; the smallest size keeps the caption
// buttons on the window.
MinMax HostMinMax(int workLeft, int workTop, int workRight, int workBottom, int captionFlags);

}  // namespace ui

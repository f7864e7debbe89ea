#pragma once

#include <array>

#include "engine/core/RectF.h"

namespace ui {

// An integer rectangle {x, y, width, height}.
struct RectI {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const RectI&) const = default;
};

struct NineSliceCell {
  RectI source;
  RectI destination;
};

// The nine cells that draw an image of imageWidth x imageHeight into dest
// with `grid` {left, top, right, bottom} (image pixels) as its stretchable
// centre: corners keep their size, edges stretch along one axis, the
// centre along both. Cells go row by row, top-left first.
std::array<NineSliceCell, 9> NineSliceCells(int imageWidth, int imageHeight, const RectF& dest, int gridLeft,
                                            int gridTop, int gridRight, int gridBottom);

}  // namespace ui

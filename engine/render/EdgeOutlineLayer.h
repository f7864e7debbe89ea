#pragma once

#include <functional>

#include "Surface.h"
#include "engine/core/GdiPlus.h"

namespace ui {

// Draws the outlines that run along a window's edges (its border and its
// shadow rings) onto a surface, pixel for pixel as a graphics on the
// surface's DC draws them, for a fraction of the cost.
//
// Through a DC, an anti-aliased outline is drawn onto a transparent layer
// as large as all it could touch and that layer is alpha-blended onto the
// DC, every pixel of it. An outline that keeps within kEdgeBand pixels of
// the edges and runs straight between its corners is the same at any size
// (see EdgeStamp.h): here it is drawn for a window just over twice the band
// across, on a small transparent stamp, and the stamp is laid over the
// surface's edge band in memory.
class EdgeOutlineLayer {
 public:
  static constexpr int kEdgeBand = 32;

  // Draws one outline, its clip included, on `graphics` for a window of
  // width x height; the clip is reset after it.
  using Drawing = std::function<void(GpGraphics* graphics, int width, int height)>;

  // A frame drawn at a larger scale needs a wider band.
  static void Draw(Surface& target, const Drawing& draw, int band = kEdgeBand);
};

}  // namespace ui

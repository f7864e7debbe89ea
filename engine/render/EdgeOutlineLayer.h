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
// DC, every pixel of it. Here the outline is drawn straight into the memory
// of a transparent layer kept for the purpose, and only the strips along
// the four edges are blended: an outline that keeps within kEdgeBand pixels
// of the edges has nothing anywhere else.
class EdgeOutlineLayer {
 public:
  static constexpr int kEdgeBand = 32;

  // One outline, drawn by `draw` on a graphics over the layer, with `clip`
  // (may be null) as that graphics' clip.
  static void Draw(Surface& target, GpRegion* clip, const std::function<void(GpGraphics*)>& draw);
};

}  // namespace ui

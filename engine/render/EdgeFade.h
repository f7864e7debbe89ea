#pragma once

#include <vector>

#include "engine/core/RectF.h"

namespace ui {

enum EdgeFadeSide { kFadeTop = 1, kFadeLeft = 2, kFadeBottom = 4, kFadeRight = 8 };

// One gradient band of an edge fade: from `fromOpaque` (the solid colour at
// the start of the band) to transparent, or the reverse.
struct EdgeFadeBand {
  EdgeFadeSide side;
  RectF rect;
  bool opaqueFirst;  // colour 1 is the opaque end
  bool vertical;     // gradient runs top to bottom (else left to right)
};

// The bands that fade a rectangle's chosen edges from the solid colour at
// the outside to transparent inside. A band is `limit` thick, or half the
// rectangle's extent when the rectangle is narrower than twice the limit,
// so that opposite bands never overlap. The top and left bands sit at
// the rectangle's corner, the bottom and right ones are measured from the
// corner moved by the inset.
std::vector<EdgeFadeBand> EdgeFadeBands(const RectF& rect, int sides, int limit = 100, int inset = 6);

}  // namespace ui

#include "EdgeFade.h"

namespace ui {

std::vector<EdgeFadeBand> EdgeFadeBands(const RectF& rect, int sides, int limit, int inset) {
  const float x0 = rect.left, y0 = rect.top, w = rect.width, h = rect.height;
  const float x = x0 + inset, y = y0 + inset;
  // Bands from opposite edges must not overlap: narrower than twice the
  // limit, each takes half the extent.
  const float across = w >= 2.0f * limit ? static_cast<float>(limit) : static_cast<float>(static_cast<int>(w / 2));
  const float down = h >= 2.0f * limit ? static_cast<float>(limit) : static_cast<float>(static_cast<int>(h / 2));

  std::vector<EdgeFadeBand> bands;
  if (sides & kFadeTop) bands.push_back({kFadeTop, {x0, y0, w, down}, true, true});
  if (sides & kFadeLeft) bands.push_back({kFadeLeft, {x0, y0, across, h}, true, false});
  if (sides & kFadeBottom) bands.push_back({kFadeBottom, {x, y + h - down, w, down + 1}, false, true});
  if (sides & kFadeRight) bands.push_back({kFadeRight, {x + w - across, y, across + 1, h}, false, false});
  return bands;
}

}  // namespace ui

#include "ProgressGeometry.h"

#include <algorithm>
#include <cmath>

namespace ui {

ProgressParts MeasureProgress(float width, float height, int position, int minimum, int maximum, bool vertical) {
  ProgressParts parts;
  parts.track = {0, 0, width, height};
  parts.inner = {2, 2, std::max(0.0f, width - 4), std::max(0.0f, height - 4)};
  double fraction = 0;
  if (maximum != minimum) {
    fraction = (static_cast<double>(position) - minimum) / (static_cast<double>(maximum) - minimum);
    fraction = std::clamp(fraction, 0.0, 1.0);
  }
  const float extent = vertical ? parts.inner.height : parts.inner.width;
  parts.fillLength = static_cast<int>(std::lround(extent * fraction));
  parts.fill = parts.inner;
  if (vertical) {
    parts.fill.height = static_cast<float>(parts.fillLength);
    parts.fill.top = parts.track.top + parts.track.height - parts.fillLength - 2;
  } else {
    parts.fill.width = static_cast<float>(parts.fillLength);
  }
  return parts;
}

}  // namespace ui

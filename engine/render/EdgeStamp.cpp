#include "EdgeStamp.h"

#include <algorithm>
#include <vector>

#include "PixelBlend.h"

namespace ui {
namespace {

// The stamp's coordinate for a target coordinate along a side of `size`.
int StampCoordinate(int position, int size, int stampSize, int band) {
  if (size == stampSize || position < band) return position;
  if (position >= size - band) return position - (size - stampSize);
  return band;
}

}  // namespace

int EdgeStampSize(int size, int band) { return std::max(0, std::min(size, 2 * band + 1)); }

void LayEdgeStamp(const PixelRows& target, const PixelRows& stamp, int band) {
  if (band < 0 || stamp.width != EdgeStampSize(target.width, band) ||
      stamp.height != EdgeStampSize(target.height, band) || target.width == 0 || target.height == 0) {
    return;
  }
  // One stamp row widened to the target's width; rows of the target that
  // share a stamp row (along the left and right edges) share it too.
  std::vector<std::uint32_t> widened(static_cast<std::size_t>(target.width));
  int widenedFrom = -1;
  const bool hasInside = target.width > 2 * band;
  for (int y = 0; y < target.height; ++y) {
    const int stampY = StampCoordinate(y, target.height, stamp.height, band);
    if (stampY != widenedFrom) {
      const std::uint32_t* source = stamp.Row(stampY);
      for (int x = 0; x < target.width; ++x) widened[x] = source[StampCoordinate(x, target.width, stamp.width, band)];
      widenedFrom = stampY;
    }
    std::uint32_t* row = target.Row(y);
    const bool inBand = y < band || y >= target.height - band;
    if (inBand || !hasInside) {
      BlendOver(row, widened.data(), static_cast<std::size_t>(target.width));
    } else {
      BlendOver(row, widened.data(), static_cast<std::size_t>(band));
      const int right = target.width - band;
      BlendOver(row + right, widened.data() + right, static_cast<std::size_t>(band));
    }
  }
}

}  // namespace ui

#pragma once

#include "engine/core/RectF.h"

namespace ui {

// The parts of a progress bar of the given size.
struct ProgressParts {
  RectF track;  // the whole bar
  RectF inner;  // the track inset by 2 pixels: where the fill may go
  RectF fill;   // the filled part of the inner rectangle
  int fillLength = 0;
};

// The fill of a bar showing `position` in [minimum, maximum]: a horizontal
// bar fills from the left, a vertical one from the bottom, by the inner
// extent times the fraction, rounded to whole pixels. A position outside the
// range draws as the nearest end (the fill never leaves the track), and a
// range whose ends are equal draws as empty.
ProgressParts MeasureProgress(float width, float height, int position, int minimum, int maximum, bool vertical);

}  // namespace ui

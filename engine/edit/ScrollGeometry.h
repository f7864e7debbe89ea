#pragma once

#include <cstdint>

#include "engine/core/RectF.h"

namespace ui {

// Where the parts of a scroll bar go, relative to the bar: a 9-pixel arrow
// at each end and a track 8 pixels thick between them, one pixel in from
// each arrow.
struct ScrollParts {
  RectF firstArrow;   // left or top
  RectF secondArrow;  // right or bottom
  RectF track;
};
ScrollParts LayoutScrollParts(float width, float height, bool horizontal);

// The thumb length for a track of `trackLength` pixels showing 0..maximum:
// truncate(L x L / (L + maximum)), at least 30 pixels, and 0 (no thumb)
// when there is nothing to scroll. The thumb never outgrows the track.
int ThumbLengthFor(float trackLength, int maximum);

// A track along the bar's axis and the range it shows.
struct ScrollTrack {
  float start = 0;   // the track's first coordinate (x or y)
  float length = 0;  // its length along the axis
  int thumbLength = 0;
  int minimum = 0;
  int maximum = 0;
  int origin = 0;  // -minimum as it was when the bar was created
};

// The thumb's first coordinate for a position; the thumb always stays on
// the track.
float ThumbOffset(const ScrollTrack& track, int position);

// The position whose thumb starts at `coordinate`: the minimum at or before
// the track's start, the maximum where the thumb reaches the track's end,
// the nearest position in between.
int PositionFromPixel(const ScrollTrack& track, float coordinate);

// The position limited to minimum..maximum; the minimum when the range is
// empty (maximum below minimum).
int ClampPosition(std::int64_t position, int minimum, int maximum);

// The track with its start moved to `offset` and its length set to the
// thumb's along the bar's axis.
RectF ThumbRect(const RectF& track, float offset, int thumbLength, bool horizontal);

}  // namespace ui

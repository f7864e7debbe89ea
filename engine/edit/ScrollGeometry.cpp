#include "ScrollGeometry.h"

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr float kArrowLength = 9;
constexpr float kBarThickness = 10;
constexpr float kTrackInset = 10;  // from each end of the bar
constexpr float kTrackThickness = 8;
constexpr int kMinimumThumb = 30;

// How far the thumb can travel along the track.
double Travel(const ScrollTrack& track) { return std::max(0.0, static_cast<double>(track.length) - track.thumbLength); }

}  // namespace

ScrollParts LayoutScrollParts(float width, float height, bool horizontal) {
  ScrollParts parts;
  if (horizontal) {
    parts.firstArrow = {0, 0, kArrowLength, kBarThickness};
    parts.secondArrow = {width - kArrowLength, 0, kArrowLength, kBarThickness};
    parts.track = {kTrackInset, 1, std::max(0.0f, width - 2 * kTrackInset), kTrackThickness};
  } else {
    parts.firstArrow = {0, 0, kBarThickness, kArrowLength};
    parts.secondArrow = {0, height - kArrowLength, kBarThickness, kArrowLength};
    parts.track = {1, kTrackInset, kTrackThickness, std::max(0.0f, height - 2 * kTrackInset)};
  }
  return parts;
}

int ThumbLengthFor(float trackLength, int maximum) {
  const double length = std::trunc(static_cast<double>(trackLength));
  if (maximum <= 0 || length < 1) return 0;
  const double proportional = std::trunc(length * length / (length + maximum));
  // A short track still gets a thumb that can be grabbed, but not one
  // longer than the track itself.
  return static_cast<int>(std::min(std::max(proportional, static_cast<double>(kMinimumThumb)), length));
}

float ThumbOffset(const ScrollTrack& track, int position) {
  const double travel = Travel(track);
  const double range = static_cast<double>(track.maximum) - track.minimum;
  if (range <= 0 || travel <= 0) return track.start;
  const double offset = (static_cast<double>(position) + track.origin) * travel / range;
  return static_cast<float>(track.start + std::clamp(offset, 0.0, travel));
}

int PositionFromPixel(const ScrollTrack& track, float coordinate) {
  if (coordinate <= track.start) return track.minimum;
  const double travel = Travel(track);
  if (coordinate >= track.start + travel) return ClampPosition(track.maximum, track.minimum, track.maximum);
  const double range = static_cast<double>(track.maximum) - track.minimum;
  if (range <= 0) return track.minimum;
  // Rounded, so that the position a thumb is drawn at maps back to itself.
  const double steps = std::round((static_cast<double>(coordinate) - track.start) * range / travel);
  return ClampPosition(static_cast<std::int64_t>(steps) - track.origin, track.minimum, track.maximum);
}

int ClampPosition(std::int64_t position, int minimum, int maximum) {
  if (position > maximum) position = maximum;
  if (position < minimum) position = minimum;
  return static_cast<int>(position);
}

RectF ThumbRect(const RectF& track, float offset, int thumbLength, bool horizontal) {
  RectF thumb = track;
  if (horizontal) {
    thumb.left = offset;
    thumb.width = static_cast<float>(thumbLength);
  } else {
    thumb.top = offset;
    thumb.height = static_cast<float>(thumbLength);
  }
  return thumb;
}

}  // namespace ui

#pragma once

namespace ui {

// A rectangle in window pixels: {left, top, width, height}. Every rectangle
// exchanged between host window, renderer and controls has this form.
struct RectF {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;

  float Right() const { return left + width; }
  float Bottom() const { return top + height; }
  bool operator==(const RectF&) const = default;
};

// Comparisons of rectangle coordinates allow for this much float noise.
inline constexpr double kRectTolerance = 1e-7;

RectF MakeRectF(int left, int top, int width, int height);

// Adds the four integers to left, top, width and height.
RectF OffsetRectF(int dx, int dy, int dw, int dh, const RectF& rect);

// True when the two rectangles share an area: rectangles that only touch
// along an edge do not overlap.
bool RectsOverlap(const RectF& a, const RectF& b);

// True when left <= x < right and top <= y < bottom.
bool RectContains(const RectF& rect, float x, float y);

// True when every coordinate differs by no more than the tolerance.
bool SameRect(const RectF& a, const RectF& b);

}  // namespace ui

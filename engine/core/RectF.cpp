#include "RectF.h"

#include <cmath>

namespace ui {

RectF MakeRectF(int left, int top, int width, int height) {
  return {static_cast<float>(left), static_cast<float>(top), static_cast<float>(width), static_cast<float>(height)};
}

RectF OffsetRectF(int dx, int dy, int dw, int dh, const RectF& rect) {
  return {rect.left + dx, rect.top + dy, rect.width + dw, rect.height + dh};
}

bool RectsOverlap(const RectF& a, const RectF& b) {
  return a.left < b.Right() - kRectTolerance && a.Right() > b.left + kRectTolerance &&
         a.top < b.Bottom() - kRectTolerance && a.Bottom() > b.top + kRectTolerance;
}

bool RectContains(const RectF& rect, float x, float y) {
  return x >= rect.left - kRectTolerance && x < rect.Right() - kRectTolerance && y >= rect.top - kRectTolerance &&
         y < rect.Bottom() - kRectTolerance;
}

bool SameRect(const RectF& a, const RectF& b) {
  return std::fabs(a.left - b.left) <= kRectTolerance && std::fabs(a.top - b.top) <= kRectTolerance &&
         std::fabs(a.width - b.width) <= kRectTolerance && std::fabs(a.height - b.height) <= kRectTolerance;
}

}  // namespace ui

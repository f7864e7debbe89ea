#include "WindowSizing.h"

#include "CaptionLayout.h"

namespace ui {
namespace {

constexpr int kCursorNwse = 32642;
constexpr int kCursorNesw = 32643;
constexpr int kCursorWe = 32644;
constexpr int kCursorNs = 32645;

}  // namespace

std::optional<SizingEdge> SizingEdgeAt(int x, int y, int width, int height) {
  const bool leftCorner = x <= 9;
  const bool rightBand = width - x < 10;
  if (y <= 7) {
    if (leftCorner) return SizingEdge{4, kCursorNwse};
    if (rightBand) return SizingEdge{5, kCursorNesw};
    return SizingEdge{3, kCursorNs};
  }
  if (height - y < 10) {
    if (leftCorner) return SizingEdge{7, kCursorNesw};
    if (rightBand) return SizingEdge{8, kCursorNwse};
    return SizingEdge{6, kCursorNs};
  }
  if (x <= 7) return SizingEdge{1, kCursorWe};
  if (rightBand) return SizingEdge{2, kCursorWe};
  return std::nullopt;
}

MinMax HostMinMax(int workLeft, int workTop, int workRight, int workBottom, int captionFlags) {
  MinMax limits{};
  limits.maxWidth = workRight + 14;
  limits.maxHeight = workBottom + 14;
  limits.maxLeft = workLeft - 7;
  limits.maxTop = workTop - 7;
  if (captionFlags == 0) {
    limits.minTrackWidth = 1 + 20;
    limits.minTrackHeight = 20;
  } else {
    limits.minTrackWidth =
        1 + kCaptionButtonWidth * CaptionButtonCount(captionFlags) + ((captionFlags & kCaptionClose) ? 11 : 0) + 35;
    limits.minTrackHeight = 38;
  }
  return limits;
}

}  // namespace ui

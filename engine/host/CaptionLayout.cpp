#include "CaptionLayout.h"

namespace ui {
namespace {

constexpr unsigned long kStyleMaximizeBox = 0x00010000L;
constexpr unsigned long kStyleMinimizeBox = 0x00020000L;
constexpr int kTitleLeftAfterIcon = 28;
constexpr int kTitleLeft = 11;
constexpr int kTitleTop = 10;
constexpr int kTitleHeight = 20;

}  // namespace

std::vector<CaptionButtonPlace> PlaceCaptionButtons(int captionFlags, int windowWidth) {
  std::vector<CaptionButtonPlace> places;
  int x = windowWidth - kCaptionRightMargin;
  for (int bit : kCaptionButtonBits) {
    if ((captionFlags & bit) == 0) continue;
    const int width = bit == kCaptionClose ? kCloseButtonWidth : kCaptionButtonWidth;
    x -= width;
    places.push_back({bit, MakeRectF(x, kCaptionButtonTop, width, kCaptionButtonHeight)});
  }
  return places;
}

std::optional<RectF> PlaceCaptionTitle(int captionFlags, int windowWidth) {
  if ((captionFlags & kCaptionTitle) == 0) return std::nullopt;
  const int left = (captionFlags & kCaptionIcon) ? kTitleLeftAfterIcon : kTitleLeft;
  int right = windowWidth - kCaptionRightMargin;
  for (const CaptionButtonPlace& place : PlaceCaptionButtons(captionFlags, windowWidth)) {
    right = static_cast<int>(place.bounds.left);
  }
  return MakeRectF(left, kTitleTop, right - left, kTitleHeight);
}

int CaptionFlagsFromStyle(unsigned long style) {
  int flags = kCaptionIcon | kCaptionTitle | kCaptionClose;
  if (style & kStyleMaximizeBox) flags |= kCaptionMaximize;
  if (style & kStyleMinimizeBox) flags |= kCaptionMinimize;
  return flags;
}

int CaptionButtonCount(int captionFlags) {
  int count = 0;
  for (int bit : kCaptionButtonBits) count += (captionFlags & bit) ? 1 : 0;
  return count;
}

}  // namespace ui

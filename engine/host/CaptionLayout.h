#pragma once

#include <optional>
#include <vector>

#include "engine/core/RectF.h"

namespace ui {

// Caption features of a host window.
enum CaptionFlag : int {
  kCaptionIcon = 1,
  kCaptionTitle = 2,
  kCaptionClose = 4,
  kCaptionMaximize = 8,
  kCaptionMinimize = 16,
  kCaptionShadow = 512,      // always added: draw the window's shadow
  kCaptionFromStyles = 1024  // derive the flags from the window's styles
};

// The caption-button bits in the order buttons are placed, right to left.
inline constexpr int kCaptionButtonBits[] = {4, 8, 16, 32, 64, 128, 256};

inline constexpr int kCaptionButtonTop = 7;
inline constexpr int kCaptionButtonHeight = 19;
inline constexpr int kCloseButtonWidth = 39;
inline constexpr int kCaptionButtonWidth = 28;
inline constexpr int kCaptionRightMargin = 12;

struct CaptionButtonPlace {
  int bit = 0;
  RectF bounds;
};

// Where the caption buttons of these flags go on a window this wide: from
// the right edge less 12 leftwards, the close button 39 pixels wide and
// every other 28, all at y 7 and 19 high. Close is therefore the rightmost.
std::vector<CaptionButtonPlace> PlaceCaptionButtons(int captionFlags, int windowWidth);

// The title label's rectangle: after the icon (or the left margin) up to
// the leftmost caption button. None when the flags have no title.
std::optional<RectF> PlaceCaptionTitle(int captionFlags, int windowWidth);

// Caption flags derived from window styles: icon, title and close, plus
// maximise and minimise when the window has those boxes.
int CaptionFlagsFromStyle(unsigned long style);

// The number of caption buttons the flags ask for.
int CaptionButtonCount(int captionFlags);

}  // namespace ui

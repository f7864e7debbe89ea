#pragma once

#include "engine/core/RectF.h"

namespace ui {

// Drawn states of a caption button; 0, 3 and -1 all mean normal.
enum CaptionState { kCaptionNormal = 0, kCaptionHot = 1, kCaptionPressed = 2 };

// The rectangle of a caption button's look in the caption-button strip
// (729 x 20): columns for normal, hot and pressed, top 2, 19 high; the
// maximise button shows the restore glyph while the window is zoomed.
RectF CaptionSpriteRect(int buttonType, int state, bool zoomed);

}  // namespace ui

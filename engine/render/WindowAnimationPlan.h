#pragma once

#include <optional>
#include <vector>

#include "NineSlice.h"

namespace ui {

// One GdiAlphaBlend of a window animation frame: a part of the captured
// window picture drawn at a constant alpha.
struct AnimationBlend {
  RectI destination;
  RectI source;
  int alpha = 255;
};

// The region a frame gives the DWM blur: left, top, right, bottom.
struct BlurRegion {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const BlurRegion&) const = default;
};

struct AnimationFrame {
  std::vector<AnimationBlend> blends;  // drawn in order on a cleared surface
  int delayMs = 0;
  std::optional<BlurRegion> blur;  // when the blur follows the frame
};

struct AnimationPlan {
  bool clearBlurFirst = false;  // empty the blur region before the first frame
  std::vector<AnimationFrame> frames;
};

// The frames of a window's close animation (effect 0: none). Effects: 1
// fade, 2 zoom, 7 shrink, 3 and 4 wipes along the width, 5, 6 and every
// other value wipes along the height. After the frames the window is fully
// transparent.
AnimationPlan CloseAnimationPlan(int effect, int width, int height, bool blur);

// The frames of a window's show animation (effect 0: none), ending with the
// whole picture at alpha 255. Effects: 1 fade, 7 grow, 3 and 4 reveal along
// the width, 2, 5, 6 and every other value along the height.
AnimationPlan ShowAnimationPlan(int effect, int width, int height, int durationMs, bool blur);

// How many frames each animation has.
inline constexpr int kShowFrames = 10;

}  // namespace ui

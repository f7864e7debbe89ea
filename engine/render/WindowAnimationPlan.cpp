#include "WindowAnimationPlan.h"

#include <algorithm>

namespace ui {
namespace {

// The geometry and the alphas along a soft edge are computed in integers, so
// that every floating-point unit gives the same frames.

constexpr int kCloseFrames = 15;
constexpr int kZoomFrames = 20;
constexpr int kFeather = 100;  // pixels of soft edge of a wipe or reveal

RectI Whole(int width, int height) { return {0, 0, width, height}; }

// A strip run [from, to) of columns (or rows) drawn in place at one alpha.
AnimationBlend StripRun(bool columns, int from, int to, int width, int height, int alpha) {
  const RectI rect = columns ? RectI{from, 0, to - from, height} : RectI{0, from, width, to - from};
  return {rect, rect, alpha};
}

// Appends 1-pixel strips at the given positions and alphas, merging
// neighbouring strips of equal alpha into one blend (the same picture, far
// fewer blends).
class StripWriter {
 public:
  StripWriter(std::vector<AnimationBlend>& out, bool columns, int width, int height)
      : out_(out), columns_(columns), width_(width), height_(height) {}
  ~StripWriter() { FlushRun(); }

  void Add(int position, int alpha) {
    if (alpha <= 0) return;
    if (runLength_ > 0 && alpha == runAlpha_ && (position == runStart_ + runLength_ || position == runStart_ - 1)) {
      if (position < runStart_) runStart_ = position;
      ++runLength_;
      return;
    }
    FlushRun();
    runStart_ = position;
    runLength_ = 1;
    runAlpha_ = alpha;
  }

 private:
  void FlushRun() {
    if (runLength_ > 0)
      out_.push_back(StripRun(columns_, runStart_, runStart_ + runLength_, width_, height_, runAlpha_));
    runLength_ = 0;
  }

  std::vector<AnimationBlend>& out_;
  bool columns_;
  int width_, height_;
  int runStart_ = 0, runLength_ = 0, runAlpha_ = 0;
};

AnimationFrame CloseWipeFrame(int effect, int width, int height, int alpha, int offset, bool blur) {
  AnimationFrame frame;
  frame.delayMs = 8;
  const bool columns = effect == 3 || effect == 4;
  const int extent = columns ? width : height;
  const int strips = extent - offset;
  {
    StripWriter writer(frame.blends, columns, width, height);
    for (int j = 1; j <= strips; ++j) {
      const int stripAlpha = j < strips - kFeather ? alpha : alpha * (strips - j) / 100;
      const bool fromFarEdge = effect == 3 || effect == 5;
      writer.Add(fromFarEdge ? extent - j : j, stripAlpha);
    }
  }
  if (blur) {
    if (effect == 3) frame.blur = BlurRegion{std::min(width - 5, offset + kFeather), 6, width - 5, height - 5};
    else if (effect == 4) frame.blur = BlurRegion{6, 6, std::max(6, width - offset - kFeather), height - 5};
    else if (effect == 5) frame.blur = BlurRegion{6, offset + kFeather, width - 5, height - 5};
    else frame.blur = BlurRegion{6, 6, width - 5, std::max(6, height - offset - kFeather)};
  }
  return frame;
}

}  // namespace

AnimationPlan CloseAnimationPlan(int effect, int width, int height, bool blur) {
  AnimationPlan plan;
  if (effect == 0) return plan;
  const RectI whole = Whole(width, height);

  if (effect == 1 || effect == 2 || effect == 7) {
    plan.clearBlurFirst = blur;
    const int frames = effect == 2 ? kZoomFrames : kCloseFrames;
    for (int i = 1; i <= frames; ++i) {
      AnimationFrame frame;
      RectI destination = whole;
      int alpha = 255 - 17 * i;
      if (effect == 1) {
        frame.delayMs = 10;
      } else if (effect == 2) {
        alpha = 255 - 12 * i;
        frame.delayMs = std::max(16 - i, 10);
        if (i <= 3) {
          // Grows by 0.75 pixel a side per frame, truncated toward zero.
          destination = {-3 * i / 4, -3 * i / 4, width + 3 * i / 2, height + 3 * i / 2};
        } else {
          const int m = 2 * (i - 3);
          destination = {m / 2 - 5, m / 2 - 5, width + 10 - m, height + 10 - m};
        }
      } else {
        // A tenth of the size over the frames, in whole pixels per frame.
        const int dx = width / (10 * kCloseFrames);
        const int dy = height / (10 * kCloseFrames);
        const int d = i - 1;
        destination = {dx * d, dy * d, width - 2 * dx * d, height - 2 * dy * d};
        frame.delayMs = 13 - i > 0 ? 13 - i : 1;
      }
      frame.blends.push_back({destination, whole, alpha});
      plan.frames.push_back(std::move(frame));
    }
    return plan;
  }

  const bool columns = effect == 3 || effect == 4;
  const int step = (columns ? width : height) / kCloseFrames;
  for (int i = 1; i <= kCloseFrames; ++i) {
    plan.frames.push_back(CloseWipeFrame(effect, width, height, 255 - 17 * i, i * step, blur));
  }
  return plan;
}

AnimationPlan ShowAnimationPlan(int effect, int width, int height, int durationMs, bool blur) {
  AnimationPlan plan;
  if (effect == 0) return plan;
  plan.clearBlurFirst = blur;
  const RectI whole = Whole(width, height);
  const bool columns = effect == 3 || effect == 4;
  const int step = (columns ? width : height) / kShowFrames;

  for (int i = 1; i <= kShowFrames; ++i) {
    AnimationFrame frame;
    const int alpha = 25 * (i - 1);
    frame.delayMs = durationMs / kShowFrames;
    if (effect == 1) {
      frame.blends.push_back({whole, whole, alpha});
    } else if (effect == 7) {
      const int dx = width / (10 * kShowFrames);
      const int dy = height / (10 * kShowFrames);
      const int d = kShowFrames - i;
      frame.blends.push_back({{dx * d, dy * d, width - 2 * dx * d, height - 2 * dy * d}, whole, alpha});
      frame.delayMs = 11 - i;
    } else {
      const int extent = columns ? width : height;
      const int offset = step * (i - 1);
      const bool fromStart = effect == 3 || effect == 5;
      if (offset > 0) {
        frame.blends.push_back(fromStart ? StripRun(columns, 0, offset, width, height, alpha)
                                         : StripRun(columns, extent - offset, extent, width, height, alpha));
      }
      StripWriter writer(frame.blends, columns, width, height);
      for (int j = 1; j <= kFeather; ++j) {
        const int position = fromStart ? offset + j - 1 : extent - (offset + j - 1);
        writer.Add(position, alpha * (101 - j) / 100);
      }
    }
    plan.frames.push_back(std::move(frame));
  }
  AnimationFrame last;
  last.blends.push_back({whole, whole, 255});
  plan.frames.push_back(std::move(last));
  return plan;
}

}  // namespace ui

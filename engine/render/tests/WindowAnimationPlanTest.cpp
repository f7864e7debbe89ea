#include "engine/render/WindowAnimationPlan.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

namespace ui {
namespace {

constexpr int W = 825, H = 468;
const RectI kWhole{0, 0, W, H};

// The alpha at which each column (or row) of a strip frame is drawn, from
// the frame's blends; also checks that every strip is drawn in place.
std::map<int, int> Profile(const AnimationFrame& frame, bool columns) {
  std::map<int, int> alphaAt;
  for (const AnimationBlend& blend : frame.blends) {
    EXPECT_EQ(blend.source, blend.destination) << "strips are drawn without moving them";
    const int from = columns ? blend.destination.x : blend.destination.y;
    const int count = columns ? blend.destination.width : blend.destination.height;
    EXPECT_EQ(columns ? blend.destination.height : blend.destination.width, columns ? H : W);
    for (int p = from; p < from + count; ++p) {
      EXPECT_EQ(alphaAt.count(p), 0u) << "position drawn twice: " << p;
      alphaAt[p] = blend.alpha;
    }
  }
  return alphaAt;
}

TEST(CloseAnimationPlan, EffectZeroHasNoFrames) {
  const AnimationPlan plan = CloseAnimationPlan(0, W, H, true);
  EXPECT_TRUE(plan.frames.empty());
  EXPECT_FALSE(plan.clearBlurFirst);
}

TEST(CloseAnimationPlan, FadeDrawsTheWholePictureFadingOut) {
  const AnimationPlan plan = CloseAnimationPlan(1, W, H, false);
  ASSERT_EQ(plan.frames.size(), 15u);
  for (int i = 1; i <= 15; ++i) {
    const AnimationFrame& frame = plan.frames[i - 1];
    ASSERT_EQ(frame.blends.size(), 1u);
    EXPECT_EQ(frame.blends[0].destination, kWhole);
    EXPECT_EQ(frame.blends[0].source, kWhole);
    EXPECT_EQ(frame.blends[0].alpha, 255 - 17 * i);
    EXPECT_EQ(frame.delayMs, 10);
  }
  EXPECT_EQ(plan.frames.back().blends[0].alpha, 0);
}

TEST(CloseAnimationPlan, ZoomGrowsForThreeFramesThenShrinks) {
  const AnimationPlan plan = CloseAnimationPlan(2, W, H, true);
  EXPECT_TRUE(plan.clearBlurFirst);
  ASSERT_EQ(plan.frames.size(), 20u);
  struct Case {
    int i;
    RectI destination;
    int delay;
  };
  const Case cases[] = {
      {1, {0, 0, W + 1, H + 1}, 15},      {2, {-1, -1, W + 3, H + 3}, 14}, {3, {-2, -2, W + 4, H + 4}, 13},
      {4, {-4, -4, W + 8, H + 8}, 12},    {6, {-2, -2, W + 4, H + 4}, 10}, {7, {-1, -1, W + 2, H + 2}, 10},
      {20, {12, 12, W - 24, H - 24}, 10},
  };
  for (const Case& c : cases) {
    const AnimationFrame& frame = plan.frames[c.i - 1];
    EXPECT_EQ(frame.blends[0].destination, c.destination) << "frame " << c.i;
    EXPECT_EQ(frame.blends[0].alpha, 255 - 12 * c.i) << "frame " << c.i;
    EXPECT_EQ(frame.delayMs, c.delay) << "frame " << c.i;
    EXPECT_FALSE(frame.blur.has_value());
  }
}

TEST(CloseAnimationPlan, ShrinkMovesInwardsByATenthOverFifteenFrames) {
  const AnimationPlan plan = CloseAnimationPlan(7, W, H, false);
  ASSERT_EQ(plan.frames.size(), 15u);
  // dx = trunc(825 * 0.1 / 15) = 5, dy = trunc(468 * 0.1 / 15) = 3.
  EXPECT_EQ(plan.frames[0].blends[0].destination, kWhole);
  EXPECT_EQ(plan.frames[1].blends[0].destination, (RectI{5, 3, W - 10, H - 6}));
  EXPECT_EQ(plan.frames[14].blends[0].destination, (RectI{70, 42, W - 140, H - 84}));
  EXPECT_EQ(plan.frames[0].delayMs, 12);
  EXPECT_EQ(plan.frames[11].delayMs, 1);
  EXPECT_EQ(plan.frames[12].delayMs, 1) << "13 - 13 is not positive";
  EXPECT_EQ(plan.frames[14].blends[0].alpha, 0);
}

TEST(CloseAnimationPlan, WipesDrawEachStripAtItsAlpha) {
  // Frames worked out by hand from the wipe rule, at a few strips each:
  // effect 3, frame 1: a = 238, k = 55, n = 770, strip j at column 825 - j;
  // effect 4, frame 1: the same strips at column j;
  // effect 5, frame 2: a = 221, k = 62, n = 406, strip j at row 468 - j;
  // effect 6, frame 15: a = 0, nothing drawn.
  struct Case {
    int effect, frame;
    std::map<int, int> strips;  // position -> alpha, a sample
    int absent;                 // a position not drawn
    std::size_t drawn;          // how many positions are drawn
  };
  const Case cases[] = {
      {3, 1, {{824, 238}, {156, 238}, {125, 166}, {56, 2}}, 55, 769},
      {4, 1, {{1, 238}, {669, 238}, {700, 166}, {769, 2}}, 770, 769},
      {5, 2, {{467, 221}, {163, 221}, {112, 110}, {63, 2}}, 62, 405},
      {6, 15, {}, 1, 0},
  };
  for (const Case& c : cases) {
    const AnimationPlan plan = CloseAnimationPlan(c.effect, W, H, false);
    ASSERT_EQ(plan.frames.size(), 15u) << c.effect;
    const AnimationFrame& frame = plan.frames[c.frame - 1];
    EXPECT_EQ(frame.delayMs, 8);
    const std::map<int, int> profile = Profile(frame, c.effect == 3 || c.effect == 4);
    for (const auto& [position, alpha] : c.strips) {
      ASSERT_EQ(profile.count(position), 1u) << "effect " << c.effect << " position " << position;
      EXPECT_EQ(profile.at(position), alpha) << "effect " << c.effect << " position " << position;
    }
    EXPECT_EQ(profile.count(c.absent), 0u) << "effect " << c.effect;
    EXPECT_EQ(profile.size(), c.drawn) << "effect " << c.effect;
  }
}

TEST(CloseAnimationPlan, UnlistedEffectWipesFromTheBottomLikeSix) {
  const AnimationPlan six = CloseAnimationPlan(6, W, H, true);
  const AnimationPlan eight = CloseAnimationPlan(8, W, H, true);
  ASSERT_EQ(six.frames.size(), eight.frames.size());
  for (std::size_t i = 0; i < six.frames.size(); ++i) {
    EXPECT_EQ(Profile(six.frames[i], false), Profile(eight.frames[i], false));
    EXPECT_EQ(six.frames[i].blur, eight.frames[i].blur);
  }
  // The picture stays at the top: the bottom rows vanish first.
  const std::map<int, int> first = Profile(eight.frames[0], false);
  EXPECT_EQ(first.begin()->first, 1);
  EXPECT_LT(first.rbegin()->first, H - 31);
}

TEST(CloseAnimationPlan, WipeBlurFollowsTheVisiblePart) {
  const AnimationPlan three = CloseAnimationPlan(3, W, H, true);
  EXPECT_FALSE(three.clearBlurFirst);
  EXPECT_EQ(three.frames[0].blur, (BlurRegion{155, 6, W - 5, H - 5}));
  EXPECT_EQ(three.frames[14].blur, (BlurRegion{W - 5, 6, W - 5, H - 5})) << "clamped to the right edge";
  EXPECT_EQ(CloseAnimationPlan(4, W, H, true).frames[0].blur, (BlurRegion{6, 6, W - 55 - 100, H - 5}));
  EXPECT_EQ(CloseAnimationPlan(5, W, H, true).frames[0].blur, (BlurRegion{6, 31 + 100, W - 5, H - 5}));
  EXPECT_EQ(CloseAnimationPlan(6, W, H, true).frames[14].blur, (BlurRegion{6, 6, W - 5, 6})) << "clamped to 6";
  EXPECT_FALSE(CloseAnimationPlan(3, W, H, false).frames[0].blur.has_value());
}

TEST(CloseAnimationPlan, ShrinkStepsAreWholePixelsOfATenthOfTheSize) {
  // 150 x 15 frames: exactly one pixel a frame, however 0.1 rounds.
  EXPECT_EQ(CloseAnimationPlan(7, 150, 300, false).frames[1].blends[0].destination, (RectI{1, 2, 148, 296}));
  EXPECT_EQ(ShowAnimationPlan(7, 100, 200, 100, false).frames[8].blends[0].destination, (RectI{1, 2, 98, 196}));
}

TEST(ShowAnimationPlan, EffectZeroHasNoFrames) { EXPECT_TRUE(ShowAnimationPlan(0, W, H, 200, true).frames.empty()); }

TEST(ShowAnimationPlan, FadeRisesToFullOpacityInElevenFrames) {
  const AnimationPlan plan = ShowAnimationPlan(1, W, H, 200, true);
  EXPECT_TRUE(plan.clearBlurFirst);
  ASSERT_EQ(plan.frames.size(), 11u);
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(plan.frames[i - 1].blends[0].alpha, 25 * (i - 1));
    EXPECT_EQ(plan.frames[i - 1].blends[0].destination, kWhole);
    EXPECT_EQ(plan.frames[i - 1].delayMs, 20);
  }
  EXPECT_EQ(plan.frames.back().blends[0].alpha, 255);
  EXPECT_EQ(plan.frames.back().blends[0].destination, kWhole);
  EXPECT_EQ(ShowAnimationPlan(1, W, H, 0, false).frames[3].delayMs, 0) << "duration 0: no delay";
  EXPECT_EQ(ShowAnimationPlan(1, W, H, 55, false).frames[0].delayMs, 5) << "truncated";
}

TEST(ShowAnimationPlan, GrowComesFromATenthInside) {
  const AnimationPlan plan = ShowAnimationPlan(7, W, H, 200, false);
  ASSERT_EQ(plan.frames.size(), 11u);
  // dx = trunc(82.5 / 10) = 8, dy = trunc(46.8 / 10) = 4.
  EXPECT_EQ(plan.frames[0].blends[0].destination, (RectI{72, 36, W - 144, H - 72}));
  EXPECT_EQ(plan.frames[0].delayMs, 10);
  EXPECT_EQ(plan.frames[9].blends[0].destination, kWhole);
  EXPECT_EQ(plan.frames[9].delayMs, 1);
  EXPECT_EQ(plan.frames[9].blends[0].alpha, 225);
}

// Every (position, alpha) a frame draws, one entry per pixel strip; a
// position drawn twice appears twice.
std::multiset<std::pair<int, int>> Strips(const AnimationFrame& frame, bool columns) {
  std::multiset<std::pair<int, int>> strips;
  for (const AnimationBlend& blend : frame.blends) {
    EXPECT_EQ(blend.source, blend.destination);
    const int from = columns ? blend.destination.x : blend.destination.y;
    const int count = columns ? blend.destination.width : blend.destination.height;
    for (int p = from; p < from + count; ++p) strips.insert({p, blend.alpha});
  }
  return strips;
}

TEST(ShowAnimationPlan, RevealsDrawABlockAndAFeatheredEdge) {
  // Frame 4 worked out by hand: a = 75; along the width k = 3 x 82 = 246,
  // along the height k = 3 x 46 = 138. The block is drawn at 75, then 100
  // feather strips at trunc(0.75 x (101 - j)): 75, ..., 38 at j = 50, ..., 1
  // at j = 99 and nothing at j = 100.
  struct Case {
    int effect;
    bool columns;
    std::map<int, int> strips;  // position -> alpha, a sample
    int absent;
    std::size_t drawn;  // block plus 99 feather strips
  };
  const Case cases[] = {
      {3, true, {{0, 75}, {245, 75}, {246, 75}, {295, 38}, {344, 1}}, 345, 246 + 99},
      // From the far edge the first feather strip falls on the block's
      // first strip: 246 + 98 positions.
      {4, true, {{824, 75}, {579, 75}, {530, 38}, {481, 1}}, 480, 246 + 98},
      {5, false, {{0, 75}, {137, 75}, {138, 75}, {187, 38}, {236, 1}}, 237, 138 + 99},
      {6, false, {{467, 75}, {330, 75}, {281, 38}, {232, 1}}, 231, 138 + 98},
      {2, false, {{467, 75}, {281, 38}}, 231, 138 + 98},
      {9, false, {{467, 75}, {281, 38}}, 231, 138 + 98},
  };
  // The positions a frame draws at an alpha above 0.
  const auto visible = [](const AnimationFrame& frame, bool columns) {
    std::map<int, int> profile;
    for (const auto& [position, alpha] : Strips(frame, columns)) {
      if (alpha > 0) profile[position] = alpha;
    }
    return profile;
  };
  for (const Case& c : cases) {
    const AnimationPlan plan = ShowAnimationPlan(c.effect, W, H, 100, false);
    ASSERT_EQ(plan.frames.size(), 11u);
    EXPECT_TRUE(visible(plan.frames[0], c.columns).empty()) << "frame 1 is at alpha 0";
    const AnimationFrame& frame = plan.frames[3];
    EXPECT_EQ(frame.delayMs, 10);
    const std::map<int, int> profile = visible(frame, c.columns);
    for (const auto& [position, alpha] : c.strips) {
      ASSERT_EQ(profile.count(position), 1u) << "effect " << c.effect << " position " << position;
      EXPECT_EQ(profile.at(position), alpha) << "effect " << c.effect << " position " << position;
    }
    EXPECT_EQ(profile.count(c.absent), 0u) << "effect " << c.effect;
    EXPECT_EQ(profile.size(), c.drawn) << "effect " << c.effect;
  }
}

}  // namespace
}  // namespace ui

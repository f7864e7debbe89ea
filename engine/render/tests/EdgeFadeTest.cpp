#include "engine/render/EdgeFade.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(EdgeFade, BandsAreTheLimitThickOrHalfTheExtent) {
  // Wide and tall: 100-pixel bands.
  std::vector<EdgeFadeBand> bands = EdgeFadeBands({0, 0, 825, 468}, kFadeBottom | kFadeRight);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0].side, kFadeBottom);
  EXPECT_EQ(bands[0].rect, (RectF{6, 6 + 468 - 100, 825, 101}));
  EXPECT_FALSE(bands[0].opaqueFirst);
  EXPECT_TRUE(bands[0].vertical);
  EXPECT_EQ(bands[1].side, kFadeRight);
  EXPECT_EQ(bands[1].rect, (RectF{6 + 825 - 100, 6, 101, 468}));
  EXPECT_FALSE(bands[1].vertical);

  // Narrower than twice the limit: half the extent, truncated.
  bands = EdgeFadeBands({10, 20, 151, 61}, kFadeTop | kFadeLeft, 100, 6);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0].rect, (RectF{10, 20, 151, 30})) << "top band: half of 61, truncated";
  EXPECT_TRUE(bands[0].opaqueFirst);
  EXPECT_EQ(bands[1].rect, (RectF{10, 20, 75, 61})) << "left band: half of 151, truncated";
}

TEST(EdgeFade, OppositeBandsNeverOverlap) {
  for (int width : {1, 99, 100, 101, 150, 199, 200, 201, 825}) {
    const std::vector<EdgeFadeBand> bands = EdgeFadeBands(MakeRectF(0, 0, width, 50), kFadeLeft | kFadeRight, 100, 0);
    const RectF& left = bands[0].rect;
    const RectF& right = bands[1].rect;
    EXPECT_LE(left.Right(), right.left) << width;
    EXPECT_EQ(left.width, std::min(100, width / 2)) << width;
  }
}

TEST(EdgeFade, NoSidesNoBands) { EXPECT_TRUE(EdgeFadeBands({0, 0, 50, 50}, 0).empty()); }

}  // namespace
}  // namespace ui

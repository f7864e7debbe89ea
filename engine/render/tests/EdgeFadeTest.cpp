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

  // Not more than the limit: half the extent, truncated.
  bands = EdgeFadeBands({10, 20, 151, 61}, kFadeTop | kFadeLeft, 100, 6);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0].rect, (RectF{10, 20, 151, 30})) << "top band: half of 61, truncated";
  EXPECT_TRUE(bands[0].opaqueFirst);
  EXPECT_EQ(bands[1].rect, (RectF{10, 20, 100, 61})) << "left band: 151 is more than the limit";
}

TEST(EdgeFade, ExactlyTheLimitIsNotMoreThanTheLimit) {
  const std::vector<EdgeFadeBand> bands = EdgeFadeBands({0, 0, 100, 200}, kFadeLeft | kFadeTop, 100, 0);
  EXPECT_EQ(bands[0].rect.height, 100) << "200 > 100: the limit";
  EXPECT_EQ(bands[1].rect.width, 50) << "100 is not more than 100: half";
}

TEST(EdgeFade, NoSidesNoBands) { EXPECT_TRUE(EdgeFadeBands({0, 0, 50, 50}, 0).empty()); }

}  // namespace
}  // namespace ui

#include "engine/core/RectF.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(RectF, RectanglesThatOnlyTouchDoNotOverlap) {
  const RectF a{10, 10, 20, 20};
  struct Case {
    RectF b;
    bool overlaps;
  };
  const Case cases[] = {
      {{30, 10, 5, 5}, false},     // touches the right edge
      {{5, 10, 5, 5}, false},      // touches the left edge
      {{10, 30, 5, 5}, false},     // touches the bottom edge
      {{10, 5, 5, 5}, false},      // touches the top edge
      {{30, 30, 5, 5}, false},     // touches a corner
      {{29.5f, 10, 5, 5}, true},   // shares half a pixel
      {{29.99f, 10, 5, 5}, true},  // a hundredth of a pixel is an overlap
      {{15, 15, 2, 2}, true},      // inside
      {{0, 0, 100, 100}, true},    // around
      {{10, 10, 20, 20}, true},    // the same
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RectsOverlap(a, c.b), c.overlaps) << c.b.left << "," << c.b.top;
    EXPECT_EQ(RectsOverlap(c.b, a), c.overlaps) << "symmetric " << c.b.left << "," << c.b.top;
  }
}

TEST(RectF, ContainsIncludesTheTopLeftEdgeOnly) {
  const RectF r{10, 20, 30, 40};
  EXPECT_TRUE(RectContains(r, 10, 20));
  EXPECT_TRUE(RectContains(r, 39.5f, 59.5f));
  EXPECT_FALSE(RectContains(r, 40, 30));
  EXPECT_FALSE(RectContains(r, 20, 60));
  EXPECT_FALSE(RectContains(r, 9.9f, 30));
  EXPECT_FALSE(RectContains(RectF{5, 5, 0, 0}, 5, 5)) << "an empty rectangle holds no point";
}

TEST(RectF, OffsetAndSame) {
  EXPECT_EQ(OffsetRectF(1, 2, -3, 4, RectF{10, 20, 30, 40}), (RectF{11, 22, 27, 44}));
  EXPECT_EQ(MakeRectF(1, 2, 3, 4), (RectF{1, 2, 3, 4}));
  EXPECT_TRUE(SameRect(RectF{1, 2, 3, 4}, RectF{1, 2, 3, 4.00000001f}));
  EXPECT_FALSE(SameRect(RectF{1, 2, 3, 4}, RectF{1, 2, 3, 4.001f}));
}

}  // namespace
}  // namespace ui

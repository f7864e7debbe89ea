#include "engine/host/WindowSizing.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(WindowSizing, EdgeBandsAndTheirCursors) {
  const int w = 400, h = 300;
  struct Case {
    int x, y;
    int edge;  // 0: none
    int cursor;
  };
  const Case cases[] = {
      {0, 0, 4, 32642},   {9, 7, 4, 32642},     {10, 7, 3, 32645},    {10, 8, 0, 0},        {200, 0, 3, 32645},
      {390, 7, 3, 32645}, {391, 7, 5, 32643},   {399, 0, 5, 32643},   {9, 291, 7, 32643},   {9, 290, 0, 0},
      {7, 290, 1, 32644}, {10, 291, 6, 32645},  {390, 291, 6, 32645}, {391, 291, 8, 32642}, {391, 290, 2, 32644},
      {7, 150, 1, 32644}, {8, 150, 0, 0},       {390, 150, 0, 0},     {391, 150, 2, 32644}, {200, 150, 0, 0},
      {200, 290, 0, 0},   {200, 291, 6, 32645},
  };
  for (const Case& c : cases) {
    const std::optional<SizingEdge> edge = SizingEdgeAt(c.x, c.y, w, h);
    if (c.edge == 0) {
      EXPECT_FALSE(edge.has_value()) << c.x << "," << c.y;
      continue;
    }
    ASSERT_TRUE(edge.has_value()) << c.x << "," << c.y;
    EXPECT_EQ(edge->edge, c.edge) << c.x << "," << c.y;
    EXPECT_EQ(edge->cursor, c.cursor) << c.x << "," << c.y;
  }
}

TEST(WindowSizing, MaximisedWindowReachesSevenPixelsBeyondTheWorkArea) {
  const MinMax limits = HostMinMax(0, 0, 1280, 994, 20);
  EXPECT_EQ(limits.maxWidth, 1294);
  EXPECT_EQ(limits.maxHeight, 1008);
  EXPECT_EQ(limits.maxLeft, -7);
  EXPECT_EQ(limits.maxTop, -7);
  const MinMax shifted = HostMinMax(100, 30, 1380, 1024, 20);
  EXPECT_EQ(shifted.maxLeft, 93);
  EXPECT_EQ(shifted.maxTop, 23);
}

TEST(WindowSizing, SmallestSizeKeepsTheCaptionButtons) {
  EXPECT_EQ(HostMinMax(0, 0, 100, 100, 20).minTrackWidth, 1 + 28 * 2 + 11 + 35);
  EXPECT_EQ(HostMinMax(0, 0, 100, 100, 20).minTrackHeight, 38);
  EXPECT_EQ(HostMinMax(0, 0, 100, 100, 16).minTrackWidth, 1 + 28 + 35) << "no close button: no 11";
  EXPECT_EQ(HostMinMax(0, 0, 100, 100, 0).minTrackWidth, 21);
  EXPECT_EQ(HostMinMax(0, 0, 100, 100, 0).minTrackHeight, 20);
  EXPECT_EQ(HostMinMax(0, 0, 100, 100, 2 | 512).minTrackWidth, 36) << "flags without buttons";
}

}  // namespace
}  // namespace ui

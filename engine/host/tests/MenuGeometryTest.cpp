#include "engine/host/MenuGeometry.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

const RectF kWork{0, 0, 1280, 994};

TEST(MenuGeometry, SizeIsTheWidestCaptionPlusFiftyByTheItemHeightsPlusSixteen) {
  const MenuSize edit = MeasureMenu({0, 0, 0, 1, 0}, {60, 70, 65, 0, 90});
  EXPECT_EQ(edit.width, 140);
  EXPECT_EQ(edit.height, 4 * 22 + 3 + 16);
  const MenuSize cascading = MeasureMenu({0, 2}, {40, 30});
  EXPECT_EQ(cascading.width, 40 + 50 + 15) << "room for the sub-menu arrow";
  EXPECT_EQ(MeasureMenu({1, 1}, {500, 500}).width, 50) << "separators have no caption";
}

TEST(MenuGeometry, ItemsStackFromTheTopPadding) {
  const std::vector<RectF> rects = MenuItemRects({0, 1, 0}, 140);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0], MakeRectF(8, 8, 124, 22));
  EXPECT_EQ(rects[1], MakeRectF(33, 30, 100, 3));
  EXPECT_EQ(rects[2], MakeRectF(8, 33, 124, 22));
}

TEST(MenuGeometry, PointMenuFlipsAtTheRightAndBottomEdges) {
  const MenuSize size{140, 107};
  struct Case {
    int x, y;
    int left, top;
  };
  const Case cases[] = {
      {100, 100, 100, 100},
      {1280 - 135, 100, 1280 - 135, 100},  // x + width - 5 reaches the edge exactly: no flip
      {1280 - 134, 100, 1280 - 134 - 140, 100},
      {100, 994 - 107, 100, 994 - 107},  // ends on the edge: no flip
      {100, 994 - 106, 100, 994 - 106 - 107 + 5},
      {1270, 990, 1270 - 140, 990 - 107 + 5},
  };
  for (const Case& c : cases) {
    const MenuPlacement placement = PlaceMenuAtPoint(c.x, c.y, size, kWork);
    EXPECT_EQ(placement.x, c.left) << c.x << "," << c.y;
    EXPECT_EQ(placement.y, c.top) << c.x << "," << c.y;
  }
}

TEST(MenuGeometry, CascadeOpensRightOfTheOwnerOrElseLeft) {
  const MenuSize size{140, 107};
  MenuPlacement right = PlaceMenuBesideOwner({100, 50, 400, 300}, 60, size, kWork);
  EXPECT_EQ(right.x, 490);
  EXPECT_EQ(right.y, 103);
  EXPECT_EQ(right.openEffect, 3);
  EXPECT_EQ(right.closeEffect, 4);
  MenuPlacement left = PlaceMenuBesideOwner({900, 50, 300, 300}, 60, size, kWork);
  EXPECT_EQ(left.x, 900 - 140 + 10);
  EXPECT_EQ(left.openEffect, 4);
  EXPECT_EQ(left.closeEffect, 3);
}

}  // namespace
}  // namespace ui

#include "engine/host/CaptionLayout.h"

#include <gtest/gtest.h>

#include "engine/host/CaptionSprite.h"

namespace ui {
namespace {

TEST(CaptionLayout, CloseAndMinimiseSitAtTheTopRight) {
  const int width = 825;
  const std::vector<CaptionButtonPlace> places = PlaceCaptionButtons(20, width);
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[0].bit, 4);
  EXPECT_EQ(places[0].bounds, MakeRectF(width - 51, 7, 39, 19)) << "close spans width-51 .. width-12";
  EXPECT_EQ(places[1].bit, 16);
  EXPECT_EQ(places[1].bounds, MakeRectF(width - 51 - 28, 7, 28, 19)) << "minimise: the 28 pixels left of close";
}

TEST(CaptionLayout, EveryButtonIsPlacedRightToLeftInBitOrder) {
  const std::vector<CaptionButtonPlace> places = PlaceCaptionButtons(4 | 8 | 16 | 32 | 64 | 128 | 256 | 512, 600);
  ASSERT_EQ(places.size(), 7u);
  int right = 600 - 12;
  const int bits[] = {4, 8, 16, 32, 64, 128, 256};
  for (std::size_t i = 0; i < places.size(); ++i) {
    EXPECT_EQ(places[i].bit, bits[i]);
    EXPECT_EQ(places[i].bounds.Right(), right);
    EXPECT_EQ(places[i].bounds.width, i == 0 ? 39 : 28);
    right = static_cast<int>(places[i].bounds.left);
  }
  EXPECT_TRUE(PlaceCaptionButtons(1 | 2 | 512, 600).empty());
  EXPECT_EQ(CaptionButtonCount(20), 2);
  EXPECT_EQ(CaptionButtonCount(0x1FF), 7);
}

TEST(CaptionLayout, TitleRunsFromTheIconToTheLeftmostButton) {
  EXPECT_FALSE(PlaceCaptionTitle(4 | 16, 500).has_value());
  EXPECT_EQ(*PlaceCaptionTitle(2 | 4, 500), MakeRectF(11, 10, 500 - 51 - 11, 20));
  EXPECT_EQ(*PlaceCaptionTitle(1 | 2 | 4 | 16, 500), MakeRectF(28, 10, 500 - 79 - 28, 20));
  EXPECT_EQ(*PlaceCaptionTitle(2, 500), MakeRectF(11, 10, 500 - 12 - 11, 20));
}

TEST(CaptionLayout, FlagsFromStylesFollowTheBoxes) {
  constexpr unsigned long kMaximizeBox = 0x00010000L, kMinimizeBox = 0x00020000L;
  EXPECT_EQ(CaptionFlagsFromStyle(0), 1 | 2 | 4);
  EXPECT_EQ(CaptionFlagsFromStyle(kMaximizeBox), 1 | 2 | 4 | 8);
  EXPECT_EQ(CaptionFlagsFromStyle(kMinimizeBox | kMaximizeBox), 1 | 2 | 4 | 8 | 16);
}

TEST(CaptionSprite, EveryTypeAndStateHasItsColumn) {
  struct Case {
    int type;
    int normal, hot, pressed;
  };
  const Case cases[] = {{4, 0, 40, 80},      {8, 120, 149, 178},   {16, 294, 323, 352}, {32, 381, 410, 439},
                        {64, 468, 497, 526}, {128, 555, 584, 613}, {256, 642, 671, 700}};
  for (const Case& c : cases) {
    const int width = c.type == 4 ? 39 : 28;
    EXPECT_EQ(CaptionSpriteRect(c.type, 0, false), MakeRectF(c.normal, 2, width, 19)) << c.type;
    EXPECT_EQ(CaptionSpriteRect(c.type, 1, false), MakeRectF(c.hot, 2, width, 19)) << c.type;
    EXPECT_EQ(CaptionSpriteRect(c.type, 2, false), MakeRectF(c.pressed, 2, width, 19)) << c.type;
    // 3 and -1 are normal too.
    EXPECT_EQ(CaptionSpriteRect(c.type, 3, false).left, c.normal);
    EXPECT_EQ(CaptionSpriteRect(c.type, -1, false).left, c.normal);
  }
}

TEST(CaptionSprite, MaximiseShowsRestoreWhileZoomed) {
  EXPECT_EQ(CaptionSpriteRect(8, 0, true).left, 207);
  EXPECT_EQ(CaptionSpriteRect(8, 1, true).left, 236);
  EXPECT_EQ(CaptionSpriteRect(8, 2, true).left, 265);
  EXPECT_EQ(CaptionSpriteRect(4, 0, true).left, 0) << "only the maximise button changes";
  EXPECT_EQ(CaptionSpriteRect(3, 0, false).width, 0) << "no sprite for a bit that is no button";
}

}  // namespace
}  // namespace ui

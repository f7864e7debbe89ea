// Window-free arithmetic of the drawn controls.
#include <gtest/gtest.h>

#include "engine/controls/ButtonLayout.h"
#include "engine/controls/FrameSchedule.h"
#include "engine/controls/ProgressGeometry.h"
#include "engine/core/ArgbColor.h"

namespace ui {
namespace {

TEST(ButtonLayout, IconAndCaptionPlacementsForEveryLayout) {
  // A 200 x 60 button, a 16 x 16 icon, a 50 x 20 caption, gap 4, offsets 1, 2.
  struct Case {
    int layout;
    RectF icon;
    RectF caption;
  };
  const Case cases[] = {
      {0, {66, 24, 16, 16}, {86, 22, 52, 22}}, {1, {120, 24, 16, 16}, {66, 22, 52, 22}},
      {2, {93, 12, 16, 16}, {76, 32, 52, 22}}, {3, {93, 24, 16, 16}, {76, 22, 52, 22}},
      {4, {1, 24, 16, 16}, {21, 22, 179, 22}}, {5, {184, 24, 16, 16}, {1, 22, 179, 22}},
      {6, {93, 2, 16, 16}, {76, 22, 55, 22}},
  };
  for (const Case& c : cases) {
    const ButtonContent content = PlaceButtonContent(c.layout, 200, 60, 16, 16, 50, 20, 1, 2, 4, false);
    EXPECT_TRUE(content.placed);
    EXPECT_EQ(content.icon, c.icon) << "layout " << c.layout;
    EXPECT_EQ(content.caption, c.caption) << "layout " << c.layout;
    const ButtonContent pressed = PlaceButtonContent(c.layout, 200, 60, 16, 16, 50, 20, 1, 2, 4, true);
    EXPECT_EQ(pressed.icon, OffsetRectF(1, 1, 0, 0, c.icon)) << "pressed shifts by one pixel";
    EXPECT_EQ(pressed.caption, OffsetRectF(1, 1, 0, 0, c.caption));
  }
  EXPECT_FALSE(PlaceButtonContent(7, 200, 60, 16, 16, 50, 20, 0, 0, 0, false).placed);
}

TEST(ButtonLayout, CaptionWithoutIconIsCentred) {
  const ButtonContent content = PlaceButtonContent(0, 193, 58, 0, 0, 40, 15, 0, 0, 0, false);
  EXPECT_EQ(content.caption, (RectF{76, 21, 42, 17}));
}

TEST(ProgressGeometry, FillOfTheInstallersBar) {
  const ProgressParts half = MeasureProgress(650, 21, 50, 0, 100, false);
  EXPECT_EQ(half.inner, (RectF{2, 2, 646, 17}));
  EXPECT_EQ(half.fillLength, 323);
  EXPECT_EQ(half.fill, (RectF{2, 2, 323, 17}));
  const ProgressParts full = MeasureProgress(650, 21, 100, 0, 100, false);
  EXPECT_EQ(full.fill, (RectF{2, 2, 646, 17}));
  EXPECT_EQ(MeasureProgress(650, 21, 0, 0, 100, false).fillLength, 0);
  EXPECT_EQ(MeasureProgress(650, 21, 1, 0, 100, false).fillLength, 6) << "6.46 rounds to 6";
  EXPECT_EQ(MeasureProgress(650, 21, 33, 0, 100, false).fillLength, 213) << "213.18";
  EXPECT_EQ(MeasureProgress(650, 21, 2, 0, 100, false).fillLength, 13) << "12.92 rounds up";
  EXPECT_EQ(MeasureProgress(650, 21, 99, 0, 100, false).fillLength, 640) << "639.54 rounds up";
}

TEST(ProgressGeometry, VerticalBarRisesFromTheBottomOfTheInnerRectangle) {
  const ProgressParts parts = MeasureProgress(21, 200, 25, 0, 100, true);
  EXPECT_EQ(parts.fillLength, 49);  // 196 / 4
  EXPECT_EQ(parts.fill, (RectF{2, 200 - 49 - 2, 17, 49}));
  EXPECT_EQ(parts.fill.Bottom(), parts.inner.Bottom());
}

TEST(ProgressGeometry, PositionsOutsideTheRangeStayInsideTheTrack) {
  struct Case {
    int position, minimum, maximum;
    int fill;
  };
  const Case cases[] = {
      {150, 0, 100, 646}, {-20, 0, 100, 0},  {5, 5, 5, 0},    {7, 5, 5, 0},
      {30, 20, 40, 323},  {30, 40, 20, 323}, {50, 40, 20, 0}, {INT32_MAX, INT32_MIN, INT32_MAX, 646},
  };
  for (const Case& c : cases) {
    const ProgressParts parts = MeasureProgress(650, 21, c.position, c.minimum, c.maximum, false);
    EXPECT_EQ(parts.fillLength, c.fill) << c.position << " in " << c.minimum << ".." << c.maximum;
    EXPECT_GE(parts.fill.width, 0);
    EXPECT_LE(parts.fill.Right(), parts.inner.Right());
  }
}

TEST(FrameSchedule, EachFrameWaitsItsOwnDelay) {
  const std::vector<int> delays = NormaliseFrameDelays({10, 10, 50}, false);
  EXPECT_EQ(FrameIntervalMs(delays, 1), 100);
  EXPECT_EQ(FrameIntervalMs(delays, 2), 100);
  EXPECT_EQ(FrameIntervalMs(delays, 3), 500);
  EXPECT_EQ(FrameIntervalMs(delays, 4), 500) << "beyond the list: the last delay";
}

TEST(FrameSchedule, ZeroDelaysAndMissingDelays) {
  EXPECT_EQ(NormaliseFrameDelays({0, 0, 0}, true), (std::vector<int>{10, 10, 10}));
  EXPECT_EQ(NormaliseFrameDelays({0, 7, 0}, false), (std::vector<int>{0, 7, 0}));
  EXPECT_EQ(NormaliseFrameDelays({}, false), (std::vector<int>{10}));
  EXPECT_EQ(FrameIntervalMs(NormaliseFrameDelays({0, 0, 0}, false), 2), 0);
  EXPECT_EQ(FrameIntervalMs(NormaliseFrameDelays({}, false), 3), 100) << "one shared delay for every frame";
}

TEST(DarkColors, LuminanceBelow192IsDark) {
  EXPECT_TRUE(IsDarkColor(0xFF000000));
  EXPECT_FALSE(IsDarkColor(0xFFFFFFFF));
  EXPECT_TRUE(IsDarkColor(0xFFBFBFBF)) << "luminance 191";
  EXPECT_FALSE(IsDarkColor(0xFFC0C0C0)) << "luminance 192";
  EXPECT_TRUE(IsDarkColor(0xFFFF0000)) << "pure red: 76";
  EXPECT_FALSE(IsDarkColor(0x00FFFF00)) << "yellow: 225, alpha does not count";
}

}  // namespace
}  // namespace ui

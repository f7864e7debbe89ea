#include "engine/core/DisplayScale.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(DisplayScale, NinetySixDotsPerInchChangesNothing) {
  const DisplayScale scale(96);
  EXPECT_TRUE(scale.IsIdentity());
  EXPECT_EQ(scale.ToDevice(825), 825);
  EXPECT_EQ(scale.ToDevice(-7), -7);
  EXPECT_EQ(scale.ToDevice(RectF{20, 422, 200, 27}), (DeviceBox{20, 422, 220, 449}));
  EXPECT_EQ(scale.CoveringBox(RectF{0.5f, 1, 2.25f, 3}), (DeviceBox{0, 1, 3, 4}));
  EXPECT_EQ(scale.ToLogical(417), 417);
  EXPECT_TRUE(DisplayScale(0).IsIdentity()) << "an unknown dpi is 96";
}

TEST(DisplayScale, TheStartWindowAtEachCommonScale) {
  // 825 x 468 at (50, 50): 125 %, 150 %, 200 %.
  struct Case {
    int dpi, width, height, left;
  };
  for (const Case& c : {Case{120, 1031, 585, 63}, Case{144, 1238, 702, 75}, Case{192, 1650, 936, 100}}) {
    const DisplayScale scale(c.dpi);
    EXPECT_EQ(scale.SizeToDevice(825), c.width) << c.dpi;
    EXPECT_EQ(scale.SizeToDevice(468), c.height) << c.dpi;
    EXPECT_EQ(scale.ToDevice(50), c.left) << c.dpi;
  }
}

TEST(DisplayScale, EdgesAreMappedSoNeighboursStillTouch) {
  const DisplayScale scale(144);
  // The button at (315, 275, 193, 58): 472.5 rounds up to 473, 508 x 1.5 = 762.
  const DeviceBox button = scale.ToDevice(RectF{315, 275, 193, 58});
  EXPECT_EQ(button, (DeviceBox{473, 413, 762, 500}));
  const DeviceBox left = scale.ToDevice(RectF{0, 0, 11, 10});
  const DeviceBox right = scale.ToDevice(RectF{11, 0, 11, 10});
  EXPECT_EQ(left.right, right.left);
  EXPECT_EQ(left.Width() + right.Width(), 33);
  EXPECT_EQ(scale.SizeToDevice(11, 0), 17);   // 0 .. 16.5 -> 0 .. 17
  EXPECT_EQ(scale.SizeToDevice(11, 11), 16);  // 16.5 .. 33 -> 17 .. 33
  EXPECT_EQ(scale.ToDevice(-1), -2) << "halves away from zero";
}

TEST(DisplayScale, WhatChangedIsCoveredWhole) {
  const DisplayScale scale(144);
  EXPECT_EQ(scale.CoveringBox(RectF{1, 1, 1, 1}), (DeviceBox{1, 1, 3, 3}));  // 1.5 .. 3
  EXPECT_EQ(scale.CoveringBox(RectF{2, 2, 2, 2}), (DeviceBox{3, 3, 6, 6}));
  EXPECT_EQ(DisplayScale(120).CoveringBox(RectF{0, 0, 825, 468}), (DeviceBox{0, 0, 1032, 585}));
}

TEST(DisplayScale, PointerPositionsGoBackToTheLogicalPixelThatHoldsThem) {
  const DisplayScale scale(144);
  EXPECT_EQ(scale.ToLogical(0), 0);
  EXPECT_EQ(scale.ToLogical(1), 0);
  EXPECT_EQ(scale.ToLogical(2), 1);
  EXPECT_EQ(scale.ToLogical(3), 2);
  EXPECT_EQ(scale.ToLogical(1237), 824);
  EXPECT_EQ(scale.ToLogical(-1), -1) << "left of the window stays left of it";
  EXPECT_EQ(DisplayScale(192).ToLogical(645), 322);
  const RectF back = scale.ToLogical(DeviceBox{75, 75, 1313, 777});
  EXPECT_FLOAT_EQ(back.left, 50);
  EXPECT_FLOAT_EQ(back.width, 825.333333f);
}

TEST(DisplayScale, AWindowIsPlacedFromItsMonitorsCorner) {
  EXPECT_EQ(ScaleWindowPlacement(DeviceBox{50, 50, 875, 518}, 0, 0, DisplayScale(144)), (DeviceBox{75, 75, 1313, 777}));
  // On a second monitor to the right, at 1920: the offset is scaled, not
  // the monitor's own position.
  EXPECT_EQ(ScaleWindowPlacement(DeviceBox{1970, 50, 2795, 518}, 1920, 0, DisplayScale(192)),
            (DeviceBox{2020, 100, 3670, 1036}));
  EXPECT_EQ(ScaleWindowPlacement(DeviceBox{50, 50, 875, 518}, 0, 0, DisplayScale(96)), (DeviceBox{50, 50, 875, 518}));
}

}  // namespace
}  // namespace ui

#include "engine/core/ArgbColor.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(ArgbColor, SwapsRedAndBlueAndPutsTheAlphaOnTop) {
  struct Case {
    std::uint32_t rgb;
    std::optional<int> alpha;
    ArgbColor expected;
  };
  const Case cases[] = {
      {Rgb(245, 245, 245), std::nullopt, 0xFEF5F5F5},
      {Rgb(255, 255, 255), std::nullopt, 0xFEFFFFFF},
      {Rgb(0, 0, 0), std::nullopt, 0xFE000000},
      {Rgb(255, 255, 255), 250, 0xFAFFFFFF},
      {Rgb(0x11, 0x22, 0x33), std::nullopt, 0xFE112233},
      {0xFF8800, std::nullopt, 0xFE0088FF},
      {255, std::nullopt, 0xFEFF0000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArgbFromRgb(c.rgb, c.alpha), c.expected) << std::hex << c.rgb;
  }
}

TEST(ArgbColor, OpaqueMeansAlpha254WhetherOrNotTheAlphaIsGiven) {
  EXPECT_EQ(AlphaOf(ArgbFromRgb(Rgb(1, 2, 3), 255)), 254);
  EXPECT_EQ(AlphaOf(ArgbFromRgb(Rgb(1, 2, 3))), 254);
  EXPECT_EQ(AlphaOf(ArgbFromRgb(Rgb(1, 2, 3), 254)), 254);
  // A given alpha of 0 is kept; only its absence means opaque.
  EXPECT_EQ(ArgbFromRgb(Rgb(1, 2, 3), 0), 0x00010203u);
  EXPECT_EQ(AlphaOf(ArgbFromRgb(0)), 254);
}

TEST(ArgbColor, IgnoresTheHighByteOfTheRgbValue) { EXPECT_EQ(ArgbFromRgb(0xAB000000u | Rgb(9, 8, 7)), 0xFE090807u); }

}  // namespace
}  // namespace ui

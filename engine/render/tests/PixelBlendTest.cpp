#include "engine/render/PixelBlend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace ui {
namespace {

TEST(PixelBlend, ScalingMakesTheWholePictureAsOpaqueAsTheAlpha) {
  // Worked by hand: 255 x 128 / 255 = 128, 128 x 128 / 255 = 64.3,
  // 64 x 128 / 255 = 32.1, 32 x 128 / 255 = 16.1; 250 of 255, rounded.
  struct Case {
    std::uint32_t pixel;
    int alpha;
    std::uint32_t scaled;
  };
  const Case cases[] = {
      {0xFF804020, 128, 0x80402010}, {0xFF804020, 255, 0xFF804020}, {0xFF804020, 0, 0x00000000},
      {0xFEF5F5F5, 250, 0xF9F0F0F0}, {0x01010101, 127, 0x00000000}, {0x01010101, 128, 0x01010101},
  };
  for (const Case& c : cases) {
    std::uint32_t pixel = c.pixel;
    ScalePremultiplied(&pixel, 1, c.alpha);
    EXPECT_EQ(pixel, c.scaled) << std::hex << c.pixel << " at " << std::dec << c.alpha;
  }
}

TEST(PixelBlend, ConstantBlendMixesEveryChannelByTheAlpha) {
  // Blue-opaque over transparent red at 51: blue 51, red 255 x 204 / 255 =
  // 204, alpha 51; at 128: 128 and 127.
  struct Case {
    std::uint32_t source, destination;
    int alpha;
    std::uint32_t blended;
  };
  const Case cases[] = {
      {0xFF0000FF, 0x00FF0000, 51, 0x33CC0033}, {0xFF0000FF, 0x00FF0000, 128, 0x807F0080},
      {0xFF0000FF, 0x00FF0000, 0, 0x00FF0000},  {0xFF0000FF, 0x00FF0000, 255, 0xFF0000FF},
      {0x80808080, 0x80808080, 77, 0x80808080},
  };
  for (const Case& c : cases) {
    std::uint32_t destination = c.destination;
    BlendConstant(&destination, &c.source, 1, c.alpha);
    EXPECT_EQ(destination, c.blended) << c.alpha;
  }
}

TEST(PixelBlend, OverLaysTheSourceByItsOwnAlpha) {
  // Worked by hand, each channel source + destination x (255 - source
  // alpha) / 255, rounded: 255 x 127 / 255 = 127; 255 x 204 / 255 = 204;
  // 128 x 254 / 255 = 127.5 less a little, 127; 192 x 2 / 255 = 1.506, 2.
  // A red of 255 at alpha 16 is
  // no premultiplied pixel: its 255 + 239 is held to 255.
  struct Case {
    std::uint32_t source, destination, blended;
  };
  const Case cases[] = {
      {0x80402010, 0xFF0000FF, 0xFF40208F}, {0x33000000, 0xFFFFFFFF, 0xFFCCCCCC}, {0x01000000, 0x80808080, 0x807F7F7F},
      {0xFF102030, 0x80808080, 0xFF102030}, {0x00000000, 0x80808080, 0x80808080}, {0x80402010, 0x00000000, 0x80402010},
      {0xFD000000, 0xC0C0C0C0, 0xFF020202}, {0x10FF0000, 0xFFFF0000, 0xFFFF0000},
  };
  for (const Case& c : cases) {
    std::uint32_t destination = c.destination;
    BlendOver(&destination, &c.source, 1);
    EXPECT_EQ(destination, c.blended) << std::hex << c.source << " over " << c.destination;
  }
}

TEST(PixelBlend, EveryChannelAndAlphaRoundsToTheNearest) {
  // Against the exact quotient, for every alpha and a spread of channel
  // pairs, in all four places of the pixel (the lanes must not interfere).
  for (int alpha = 0; alpha <= 255; ++alpha) {
    for (std::uint32_t s = 0; s <= 255; s += 15) {
      for (std::uint32_t d = 0; d <= 255; d += 17) {
        const auto rounded = [](double x) { return static_cast<std::uint32_t>(std::lround(x)); };
        const std::uint32_t blended = rounded((s * alpha + d * (255 - alpha)) / 255.0);
        const std::uint32_t scaled = rounded(s * alpha / 255.0);
        const std::uint32_t source = s * 0x01010101u, destination = d * 0x01010101u;
        std::uint32_t pixel = destination;
        BlendConstant(&pixel, &source, 1, alpha);
        ASSERT_EQ(pixel, blended * 0x01010101u) << s << " over " << d << " at " << alpha;
        pixel = source;
        ScalePremultiplied(&pixel, 1, alpha);
        ASSERT_EQ(pixel, s == 0 ? 0u : scaled * 0x01010101u) << s << " scaled by " << alpha;
      }
    }
  }
}

}  // namespace
}  // namespace ui

#include "PixelBlend.h"

namespace ui {
namespace {

constexpr std::uint32_t kLanes = 0x00FF00FF;  // two channels, 16 bits apart
constexpr std::uint32_t kHalf = 0x007F007F;   // 127 in each lane, for rounding

// Each 16-bit lane's value (at most 255 x 255 + 127) divided by 255 and
// rounded, both lanes at once and without dividing: (x + 1 + x / 256) / 256.
constexpr std::uint32_t LanesDividedBy255(std::uint32_t x) {
  return ((x + 0x00010001 + ((x >> 8) & kLanes)) >> 8) & kLanes;
}

// Each lane's value, at most 255 + 255, held to 255.
constexpr std::uint32_t LanesSaturated(std::uint32_t x) {
  const std::uint32_t over = (x >> 8) & 0x00010001;  // 1 in each lane that passed 255
  return (x | (over * 0xFF)) & kLanes;
}

}  // namespace

void ScalePremultiplied(std::uint32_t* pixels, std::size_t count, int alpha) {
  if (alpha >= 255) return;
  const std::uint32_t a = alpha <= 0 ? 0 : static_cast<std::uint32_t>(alpha);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t p = pixels[i];
    if (p == 0) continue;
    const std::uint32_t blueRed = LanesDividedBy255((p & kLanes) * a + kHalf);
    const std::uint32_t greenAlpha = LanesDividedBy255(((p >> 8) & kLanes) * a + kHalf);
    pixels[i] = blueRed | (greenAlpha << 8);
  }
}

void BlendConstant(std::uint32_t* destination, const std::uint32_t* source, std::size_t count, int alpha) {
  const std::uint32_t a = alpha <= 0 ? 0 : alpha >= 255 ? 255 : static_cast<std::uint32_t>(alpha);
  const std::uint32_t rest = 255 - a;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t s = source[i], d = destination[i];
    // The two products of a lane add up to at most 255 x 255: no carry
    // reaches the next lane.
    const std::uint32_t blueRed = LanesDividedBy255((s & kLanes) * a + (d & kLanes) * rest + kHalf);
    const std::uint32_t greenAlpha = LanesDividedBy255(((s >> 8) & kLanes) * a + ((d >> 8) & kLanes) * rest + kHalf);
    destination[i] = blueRed | (greenAlpha << 8);
  }
}

void BlendOver(std::uint32_t* destination, const std::uint32_t* source, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t s = source[i];
    if (s == 0) continue;
    const std::uint32_t rest = 255 - (s >> 24);
    const std::uint32_t d = destination[i];
    const std::uint32_t blueRed = LanesSaturated((s & kLanes) + LanesDividedBy255((d & kLanes) * rest + kHalf));
    const std::uint32_t greenAlpha =
        LanesSaturated(((s >> 8) & kLanes) + LanesDividedBy255(((d >> 8) & kLanes) * rest + kHalf));
    destination[i] = blueRed | (greenAlpha << 8);
  }
}

}  // namespace ui

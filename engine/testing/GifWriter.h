#pragma once

#include <cstdint>
#include <vector>

namespace ui::test {

// One frame of a test animation: a solid colour shown for `delay`
// hundredths of a second.
struct GifFrame {
  std::uint32_t rgb;  // 0xRRGGBB
  int delay;
};

// An animated GIF of solid-colour frames (at most four colours), looping
// for ever. GDI+ cannot write animations, so tests make their own.
std::vector<std::uint8_t> MakeAnimatedGif(int width, int height, const std::vector<GifFrame>& frames);

}  // namespace ui::test

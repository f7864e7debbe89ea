#pragma once

#include <cstddef>
#include <cstdint>

namespace ui {

// Rows of premultiplied BGRA pixels in memory, top row first in coordinates
// whatever their order in memory: a bottom-up DIB has a negative stride.
struct PixelRows {
  std::uint32_t* top = nullptr;  // the first pixel of the top row
  std::ptrdiff_t stride = 0;     // pixels from one row to the one below it
  int width = 0;
  int height = 0;

  std::uint32_t* Row(int y) const { return top + static_cast<std::ptrdiff_t>(y) * stride; }
};

}  // namespace ui

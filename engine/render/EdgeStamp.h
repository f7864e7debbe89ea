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

// An outline that runs along the edges of a picture (a window's border or
// shadow ring) keeps within `band` pixels of them, turns its corners within
// the band's corners and runs straight between them. Such an outline, drawn
// on a small stamp, is the same outline at any size: the stamp's corners
// are the picture's corners, and its middle row and column, repeated, are
// the picture's edges.

// The stamp's extent along one side of a picture `size` pixels long: the
// band at each end and one pixel between them, or the whole side when it
// is no longer than that.
int EdgeStampSize(int size, int band);

// Lays the stamp (EdgeStampSize of the target's width by EdgeStampSize of its
// height) over the target's edge band, premultiplied "over", as an alpha
// blend with per-pixel alpha does; the inside of the band is left as it is.
// A stamp of another size lays nothing.
void LayEdgeStamp(const PixelRows& target, const PixelRows& stamp, int band);

}  // namespace ui

#pragma once

#include "PixelRows.h"

namespace ui {

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

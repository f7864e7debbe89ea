#include "EdgeOutlineLayer.h"

#include <algorithm>

#include "EdgeStamp.h"
#include "Primitives.h"

namespace ui {
namespace {

// The stamp of the process, large enough for the band: outlines are drawn
// on the UI thread one at a time and nothing stays on it between them.
Surface& StampSurface(int band) {
  static Surface* stamp = new Surface;
  const int side = 2 * band + 1;
  if (stamp->width() < side) stamp->Create(nullptr, side, side);
  return *stamp;
}

}  // namespace

void EdgeOutlineLayer::Draw(Surface& target, const Drawing& draw, int band) {
  Surface& surface = StampSurface(band);
  GpGraphics* graphics = surface.memoryGraphics();
  const PixelRows whole = surface.Rows();
  const PixelRows rows = target.Rows();
  if (graphics == nullptr || whole.top == nullptr || rows.top == nullptr) return;

  // The stamp is the top-left part of the surface, made transparent.
  const PixelRows stamp{whole.top, whole.stride, EdgeStampSize(target.width(), band),
                        EdgeStampSize(target.height(), band)};
  for (int y = 0; y < stamp.height; ++y) std::fill_n(stamp.Row(y), stamp.width, 0u);
  draw(graphics, stamp.width, stamp.height);
  ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  LayEdgeStamp(rows, stamp, band);
}

}  // namespace ui

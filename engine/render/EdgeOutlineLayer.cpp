#include "EdgeOutlineLayer.h"

#include <algorithm>

#include "EdgeStamp.h"
#include "Primitives.h"

namespace ui {
namespace {

constexpr int kStampSide = 2 * EdgeOutlineLayer::kEdgeBand + 1;

// The stamp of the process: outlines are drawn on the UI thread one at a
// time and nothing stays on it between them.
Surface& StampSurface() {
  static Surface* stamp = [] {
    auto* surface = new Surface;
    surface->Create(nullptr, kStampSide, kStampSide);
    return surface;
  }();
  return *stamp;
}

}  // namespace

void EdgeOutlineLayer::Draw(Surface& target, const Drawing& draw) {
  Surface& surface = StampSurface();
  GpGraphics* graphics = surface.memoryGraphics();
  const PixelRows whole = surface.Rows();
  const PixelRows rows = target.Rows();
  if (graphics == nullptr || whole.top == nullptr || rows.top == nullptr) return;

  // The stamp is the top-left part of the surface, made transparent.
  const PixelRows stamp{whole.top, whole.stride, EdgeStampSize(target.width(), kEdgeBand),
                        EdgeStampSize(target.height(), kEdgeBand)};
  for (int y = 0; y < stamp.height; ++y) std::fill_n(stamp.Row(y), stamp.width, 0u);
  draw(graphics, stamp.width, stamp.height);
  ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  LayEdgeStamp(rows, stamp, kEdgeBand);
}

}  // namespace ui

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
  std::uint32_t* pixels = surface.Pixels();
  std::uint32_t* targetPixels = target.Pixels();
  if (graphics == nullptr || pixels == nullptr || targetPixels == nullptr) return;

  // The stamp is the top-left part of the surface, made transparent.
  const PixelRows stamp{pixels + static_cast<std::ptrdiff_t>(kStampSide - 1) * kStampSide, -kStampSide,
                        EdgeStampSize(target.width(), kEdgeBand), EdgeStampSize(target.height(), kEdgeBand)};
  for (int y = 0; y < stamp.height; ++y) std::fill_n(stamp.Row(y), stamp.width, 0u);
  draw(graphics, stamp.width, stamp.height);
  ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);

  const PixelRows rows{targetPixels + static_cast<std::ptrdiff_t>(target.height() - 1) * target.width(),
                       -target.width(), target.width(), target.height()};
  LayEdgeStamp(rows, stamp, kEdgeBand);
}

}  // namespace ui

#include "EdgeOutlineLayer.h"

#include <algorithm>
#include <vector>

#include "Primitives.h"

namespace ui {
namespace {

struct Strip {
  int left, top, width, height;
};

// The parts of a width x height window within the edge band: the top and
// bottom strips at full width, the left and right ones between them; a
// window too small for an inside is one strip.
std::vector<Strip> EdgeStrips(int width, int height) {
  const int band = EdgeOutlineLayer::kEdgeBand;
  if (width <= 2 * band || height <= 2 * band) return {{0, 0, width, height}};
  return {{0, 0, width, band},
          {0, height - band, width, band},
          {0, band, band, height - 2 * band},
          {width - band, band, band, height - 2 * band}};
}

// The layer of the process: outlines are drawn on the UI thread one at a
// time and nothing stays on it between them. It only ever grows.
Surface& Layer(int width, int height) {
  static Surface* layer = new Surface;
  if (!layer->IsValid() || layer->width() < width || layer->height() < height) {
    layer->Create(nullptr, std::max(width, layer->IsValid() ? layer->width() : 0),
                  std::max(height, layer->IsValid() ? layer->height() : 0));
  }
  return *layer;
}

// Makes the strips of the layer transparent again; a fresh layer is.
void ClearStrips(Surface& layer, const std::vector<Strip>& strips) {
  std::uint32_t* pixels = layer.Pixels();
  if (pixels == nullptr) return;
  for (const Strip& strip : strips) {
    for (int y = strip.top; y < strip.top + strip.height; ++y) {
      std::uint32_t* row = pixels + static_cast<std::size_t>(layer.height() - 1 - y) * layer.width();
      std::fill(row + strip.left, row + strip.left + strip.width, 0u);
    }
  }
}

}  // namespace

void EdgeOutlineLayer::Draw(Surface& target, GpRegion* clip, const std::function<void(GpGraphics*)>& draw) {
  const std::vector<Strip> strips = EdgeStrips(target.width(), target.height());
  Surface& layer = Layer(target.width(), target.height());
  GpGraphics* graphics = layer.memoryGraphics();
  if (graphics == nullptr) return;
  ClearStrips(layer, strips);
  if (clip != nullptr) SetClipRegion(graphics, clip, ClipMode::Replace);
  draw(graphics);
  ResetClip(graphics);
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (const Strip& strip : strips) {
    GdiAlphaBlend(target.dc(), strip.left, strip.top, strip.width, strip.height, layer.dc(), strip.left, strip.top,
                  strip.width, strip.height, blend);
  }
  GdiFlush();
}

}  // namespace ui

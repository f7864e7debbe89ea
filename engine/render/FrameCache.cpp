#include "FrameCache.h"

#include <algorithm>

namespace ui {

bool FrameKey::operator==(const FrameKey& other) const {
  return width == other.width && height == other.height && dpi == other.dpi && frameStyle == other.frameStyle &&
         windowAlpha == other.windowAlpha && backgroundMode == other.backgroundMode && edgeFade == other.edgeFade &&
         backgroundColor == other.backgroundColor && shadowColor == other.shadowColor && shadow == other.shadow &&
         EqualRect(&nineGrid, &other.nineGrid) && pictureGeneration == other.pictureGeneration;
}

FrameKey FrameKeyOf(const FrameSettings& settings, int width, int height, std::uint32_t backgroundColor,
                    std::uint64_t pictureGeneration, int dpi) {
  FrameKey key;
  key.width = width;
  key.dpi = dpi;
  key.height = height;
  key.frameStyle = settings.frameStyle;
  key.windowAlpha = settings.windowAlpha;
  key.backgroundMode = settings.backgroundMode;
  key.edgeFade = settings.edgeFade;
  key.backgroundColor = backgroundColor;
  key.shadowColor = settings.shadowColor;
  key.shadow = settings.shadow;
  key.nineGrid = settings.nineGrid;
  key.pictureGeneration = pictureGeneration;
  return key;
}

bool FrameCache::CopyTo(const FrameKey& key, HDC destination) const {
  const auto found = std::find_if(frames_.begin(), frames_.end(), [&](const Frame& frame) { return frame.key == key; });
  if (found == frames_.end()) return false;
  BitBlt(destination, 0, 0, key.width, key.height, found->surface->dc(), 0, 0, SRCCOPY);
  return true;
}

void FrameCache::Keep(const FrameKey& key, HDC source) {
  std::erase_if(frames_, [&](const Frame& frame) { return frame.key == key; });
  if (frames_.size() >= kCapacity) frames_.erase(frames_.begin());
  auto surface = std::make_unique<Surface>();
  surface->Create(nullptr, key.width, key.height);
  BitBlt(surface->dc(), 0, 0, key.width, key.height, source, 0, 0, SRCCOPY);
  frames_.push_back({key, std::move(surface)});
}

}  // namespace ui

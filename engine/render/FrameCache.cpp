#include "FrameCache.h"

#include <algorithm>

#include "engine/host/HostWindow.h"

namespace ui {

bool FrameKey::operator==(const FrameKey& other) const {
  return width == other.width && height == other.height && frameStyle == other.frameStyle &&
         windowAlpha == other.windowAlpha && backgroundMode == other.backgroundMode && edgeFade == other.edgeFade &&
         backgroundColor == other.backgroundColor && shadowColor == other.shadowColor && shadow == other.shadow &&
         EqualRect(&nineGrid, &other.nineGrid) && pictureGeneration == other.pictureGeneration;
}

FrameKey FrameKeyOf(const HostWindow& host) {
  FrameKey key;
  key.width = host.width;
  key.height = host.height;
  key.frameStyle = host.frameStyle;
  key.windowAlpha = host.windowAlpha;
  key.backgroundMode = host.backgroundMode;
  key.edgeFade = host.edgeFade;
  key.backgroundColor = host.backgroundColor;
  key.shadowColor = host.shadowColor;
  key.shadow = (host.captionFlags & 512) != 0;
  key.nineGrid = host.nineGrid;
  key.pictureGeneration = host.backgroundImage != nullptr ? host.backgroundGeneration : 0;
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

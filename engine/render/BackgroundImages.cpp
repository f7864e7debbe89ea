#include "BackgroundImages.h"

#include <algorithm>
#include <cstring>

#include "Composition.h"
#include "engine/core/ImageLoader.h"
#include "engine/core/ImagePreloader.h"

namespace ui {

std::uint64_t NewPictureGeneration() {
  static std::uint64_t last = 0;
  return ++last;
}

const BackgroundImages::Picture* BackgroundImages::Get(Bytes bytes, HDC dc) {
  const auto same = [&](const Picture& picture) {
    return picture.bytes.size() == bytes.size() && std::memcmp(picture.bytes.data(), bytes.data(), bytes.size()) == 0;
  };
  auto found = std::find_if(pictures_.begin(), pictures_.end(), same);
  if (found != pictures_.end()) {
    std::rotate(found, found + 1, pictures_.end());
    return &pictures_.back();
  }
  Picture picture;
  picture.image = TakePreloadedImage(bytes);
  if (!picture.image) picture.image = LoadPremultipliedImageFromBytes(bytes);
  if (!picture.image) return nullptr;
  picture.bytes.assign(bytes.begin(), bytes.end());
  picture.averageColour = AverageColor(dc, picture.image.get());
  picture.generation = NewPictureGeneration();
  if (pictures_.size() >= kCapacity) pictures_.erase(pictures_.begin());
  pictures_.push_back(std::move(picture));
  return &pictures_.back();
}

}  // namespace ui

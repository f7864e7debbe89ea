#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/ByteBlock.h"
#include "engine/core/GdiPlus.h"

namespace ui {

// The background pictures a window has shown, decoded once each and kept
// premultiplied, the form they are painted from: a window that alternates
// between two pictures decodes and converts each of them one time. Every
// decoded picture gets a generation number of its own, never given again,
// so a frame painted from it can be recognised later.
class BackgroundImages {
 public:
  struct Picture {
    std::vector<std::uint8_t> bytes;  // what it was decoded from
    ImagePtr image;
    std::uint32_t averageColour = 0;  // RGB
    std::uint64_t generation = 0;
  };

  // The picture decoded from exactly these bytes, decoding it (and taking
  // its mean colour) when it is not kept yet; null when it does not decode.
  // The least recently used picture is dropped beyond the capacity.
  const Picture* Get(Bytes bytes, HDC dc);
  void Clear() { pictures_.clear(); }

  static constexpr std::size_t kCapacity = 2;

 private:
  std::vector<Picture> pictures_;  // most recently used last
};

// A generation number for a picture that is not kept here (one a window
// takes over from another window).
std::uint64_t NewPictureGeneration();

}  // namespace ui

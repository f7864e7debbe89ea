#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "FrameSettings.h"
#include "Surface.h"

namespace ui {

// Everything the painted frame of a window depends on: its size, its frame
// settings, its background colour and picture (by generation) and alpha.
struct FrameKey {
  int width = 0, height = 0;  // device pixels
  int dpi = 96;
  int frameStyle = 0, windowAlpha = 0, backgroundMode = 0, edgeFade = 0;
  std::uint32_t backgroundColor = 0, shadowColor = 0;
  bool shadow = false;
  RECT nineGrid{};
  std::uint64_t pictureGeneration = 0;  // 0: no picture

  bool operator==(const FrameKey& other) const;
};

// The key of a frame painted with these settings at this size, on this
// colour and picture (0: none).
FrameKey FrameKeyOf(const FrameSettings& settings, int width, int height, std::uint32_t backgroundColor,
                    std::uint64_t pictureGeneration, int dpi = 96);

// Frames a window has painted (the background at the window's alpha, the
// border, the shadow), kept so that a composition with the same inputs
// copies its frame with one blit instead of painting it again. A window that
// alternates between two pictures keeps both of its frames.
class FrameCache {
 public:
  // Copies the kept frame for the key into the destination; false when
  // there is none.
  bool CopyTo(const FrameKey& key, HDC destination) const;
  // Keeps a copy of the frame painted in the source for the key.
  void Keep(const FrameKey& key, HDC source);
  void Clear() { frames_.clear(); }

  static constexpr std::size_t kCapacity = 2;

 private:
  struct Frame {
    FrameKey key;
    std::unique_ptr<Surface> surface;
  };
  std::vector<Frame> frames_;  // most recently kept last
};

}  // namespace ui

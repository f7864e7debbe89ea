#pragma once

#include <cstdint>

#include "ByteBlock.h"

// Blocks in the program's constant data, laid out by the build's embedding
// step as {1, length, bytes}.
extern "C" const std::uint8_t kCaptionButtonStripBlock[];
extern "C" const std::uint8_t kCaptionButtonStrip150Block[];
extern "C" const std::uint8_t kCaptionButtonStrip200Block[];

namespace ui {

// The caption-button strip: a 729 x 20 PNG, stored without its signature.
inline Bytes CaptionButtonStrip() { return EmbeddedBytes(kCaptionButtonStripBlock); }
// The same strip drawn for 150 % and 200 % displays (1094 x 30, 1458 x 40).
inline Bytes CaptionButtonStrip150() { return EmbeddedBytes(kCaptionButtonStrip150Block); }
inline Bytes CaptionButtonStrip200() { return EmbeddedBytes(kCaptionButtonStrip200Block); }

}  // namespace ui

#pragma once

#include <cstdint>

#include "ByteBlock.h"

// Blocks in the program's constant data, laid out by the build's embedding
// step as {1, length, bytes}.
extern "C" const std::uint8_t kCaptionButtonStripBlock[];

namespace ui {

// The caption-button strip: a 729 x 20 PNG, stored without its signature.
inline Bytes CaptionButtonStrip() { return EmbeddedBytes(kCaptionButtonStripBlock); }

}  // namespace ui

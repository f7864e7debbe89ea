#pragma once

#include <cstdint>
#include <optional>

namespace ui {

// A GDI+ colour: alpha in bits 24-31, then red, green, blue.
using ArgbColor = std::uint32_t;

// Converts a Windows RGB value (red in the low byte) to an ArgbColor. Colours
// meant as opaque get alpha 254, not 255: that holds when no alpha is given
// and when 255 is given, so that every "opaque" colour of the program takes
// the same blending path.
ArgbColor ArgbFromRgb(std::uint32_t rgb, std::optional<int> alpha = std::nullopt);

constexpr std::uint32_t Rgb(int red, int green, int blue) {
  return static_cast<std::uint32_t>(red & 0xFF) | (static_cast<std::uint32_t>(green & 0xFF) << 8) |
         (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

constexpr int AlphaOf(ArgbColor colour) { return static_cast<int>(colour >> 24); }

// Whether a colour reads as dark: its luminance 0.299 R + 0.587 G + 0.114 B
// is below 192.
bool IsDarkColor(ArgbColor colour);

}  // namespace ui

#include "ArgbColor.h"

namespace ui {

ArgbColor ArgbFromRgb(std::uint32_t rgb, std::optional<int> alpha) {
  const std::uint32_t red = rgb & 0xFF;
  const std::uint32_t green = (rgb >> 8) & 0xFF;
  const std::uint32_t blue = (rgb >> 16) & 0xFF;
  std::uint32_t alphaByte = 254;
  if (alpha && (*alpha & 0xFF) != 255) alphaByte = static_cast<std::uint32_t>(*alpha) & 0xFF;
  return (alphaByte << 24) | (red << 16) | (green << 8) | blue;
}

bool IsDarkColor(ArgbColor colour) {
  // In thousandths, so that the result does not depend on the precision of
  // the floating-point unit (x87 on 32-bit Windows, SSE elsewhere).
  const std::uint32_t red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
  return 299 * red + 587 * green + 114 * blue < 192000;
}

}  // namespace ui

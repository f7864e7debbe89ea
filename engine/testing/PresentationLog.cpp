#include "PresentationLog.h"

namespace ui::test {

std::uint32_t PixelOfDC(HDC dc, int x, int y) {
  GdiFlush();
  DIBSECTION dib{};
  auto* bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBits == nullptr) return 0;
  const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
  if (x < 0 || y < 0 || x >= width || y >= height || dib.dsBm.bmBitsPixel != 32) return 0;
  // Bottom-up rows.
  const auto* row = static_cast<const std::uint8_t*>(dib.dsBm.bmBits) +
                    static_cast<std::size_t>(height - 1 - y) * dib.dsBm.bmWidthBytes;
  return reinterpret_cast<const std::uint32_t*>(row)[x];
}

PresentationLog::PresentationLog(HWND window, POINT probe) : window_(window), probe_(probe) {
  SetPresentObserver([this](const Presentation& presentation) {
    if (presentation.window != window_) return;
    entries.push_back({presentation.area, presentation.layered, presentation.source,
                       PixelOfDC(presentation.source, probe_.x, probe_.y)});
  });
}

PresentationLog::~PresentationLog() { SetPresentObserver(nullptr); }

}  // namespace ui::test

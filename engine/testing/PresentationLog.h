#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "engine/render/Composition.h"

namespace ui::test {

// Records every picture put on the screen for one window while it exists:
// which part of the window was updated, and the premultiplied BGRA value of
// one probe pixel of the picture as it was presented.
class PresentationLog {
 public:
  struct Entry {
    RECT area;
    bool layered;
    HDC source;
    std::uint32_t probe;
  };

  PresentationLog(HWND window, POINT probe);
  ~PresentationLog();
  PresentationLog(const PresentationLog&) = delete;
  PresentationLog& operator=(const PresentationLog&) = delete;

  std::vector<Entry> entries;

 private:
  HWND window_;
  POINT probe_;
};

// The premultiplied BGRA value of a pixel of the 32-bit DIB section that is
// selected into a memory DC (0 outside it).
std::uint32_t PixelOfDC(HDC dc, int x, int y);

}  // namespace ui::test

// Rectangles compared and printed by the tests.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

#pragma once

#include <cstdint>

#include "PixelRows.h"
#include "engine/core/GdiPlus.h"

namespace ui {

// An off-screen drawing surface: a memory DC with a 32-bit bottom-up DIB
// section selected into it (premultiplied BGRA, the form UpdateLayeredWindow
// takes), and optionally a GDI+ graphics on the DC.
class Surface {
 public:
  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface() { Release(); }

  // Releases what the surface held, then builds a width x height surface
  // compatible with `dc` (the screen when null), without graphics.
  void Create(HDC dc, int width, int height);
  // The same on the screen, with a configured graphics.
  void CreateWithGraphics(int width, int height);
  void Release();

  bool IsValid() const { return dc_ != nullptr; }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  GpGraphics* graphics() const { return graphics_; }
  // A second graphics that draws straight into the pixels, through a GDI+
  // bitmap over the DIB's memory, made on first use. Anti-aliased outlines
  // cost a fraction there of what they cost through the DC; images and
  // clears do not. Flush one graphics before drawing with the other.
  GpGraphics* memoryGraphics();
  int width() const { return width_; }
  int height() const { return height_; }

  // The premultiplied BGRA value of a pixel (0 outside the surface).
  std::uint32_t PixelAt(int x, int y) const;
  // The pixels themselves, bottom row first, for arithmetic on the whole
  // surface; GDI's pending drawing is flushed first.
  std::uint32_t* Pixels();
  const std::uint32_t* Pixels() const;
  std::size_t PixelCount() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }
  // The same pixels as rows, top row first.
  PixelRows Rows();
  // Sets every pixel to transparent black, in memory.
  void Clear();
  // Sets the pixels of a GDI region (in top-down window coordinates) to a
  // premultiplied value, in memory.
  void FillRegion(HRGN region, std::uint32_t premultiplied);
  // Lays a premultiplied picture over the pixels of a GDI region by its own
  // alpha, its top-left corner at (left, top), in memory: as drawing it at
  // its own size through a graphics clipped to the region does.
  void LayOver(HRGN region, const PixelRows& picture, int left, int top);

 private:
  // Calls span(y, left, right) for each row of each rectangle of a region,
  // within the surface.
  template <typename Span>
  void ForEachSpan(HRGN region, const Span& span) const;

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  GpGraphics* graphics_ = nullptr;
  GpBitmap* memoryBitmap_ = nullptr;
  GpGraphics* memoryGraphics_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Creates a graphics on a DC with the engine's drawing settings: anti-aliased
// shapes and anti-aliased grid-fitted text.
GpGraphics* CreateConfiguredGraphics(HDC dc);
GpGraphics* CreateConfiguredGraphics(GpImage* image);

// The one scratch surface of the process, a second drawing layer for control
// transitions. It only ever grows.
Surface& ScratchSurface();
void GrowScratchSurface(int width, int height);

}  // namespace ui

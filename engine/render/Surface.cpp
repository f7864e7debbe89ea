#include "Surface.h"

#include <algorithm>
#include <vector>

#include "PixelBlend.h"

namespace ui {

void Surface::Create(HDC dc, int width, int height) {
  Release();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width * height * 4);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint32_t*>(bits);
  dc_ = CreateCompatibleDC(dc);
  previousBitmap_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
}

void Surface::CreateWithGraphics(int width, int height) {
  Create(nullptr, width, height);
  graphics_ = CreateConfiguredGraphics(dc_);
}

GpGraphics* Surface::memoryGraphics() {
  if (memoryGraphics_ != nullptr || bits_ == nullptr) return memoryGraphics_;
  // The DIB's rows run bottom-up: the bitmap starts at the last one and
  // steps backwards.
  auto* top = reinterpret_cast<BYTE*>(bits_ + static_cast<std::size_t>(height_ - 1) * width_);
  if (gp::GdipCreateBitmapFromScan0(width_, height_, -width_ * 4, PixelFormat32bppPARGB, top, &memoryBitmap_) !=
      Gdiplus::Ok) {
    memoryBitmap_ = nullptr;
    return nullptr;
  }
  memoryGraphics_ = CreateConfiguredGraphics(memoryBitmap_);
  return memoryGraphics_;
}

void Surface::Clear() {
  if (std::uint32_t* pixels = Pixels()) std::fill_n(pixels, PixelCount(), 0u);
}

template <typename Span>
void Surface::ForEachSpan(HRGN region, const Span& span) const {
  const DWORD size = GetRegionData(region, 0, nullptr);
  if (bits_ == nullptr || size == 0) return;
  std::vector<unsigned char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(region, size, data) == 0) return;
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) {
    const int left = std::max<int>(rects[i].left, 0), right = std::min<int>(rects[i].right, width_);
    const int top = std::max<int>(rects[i].top, 0), bottom = std::min<int>(rects[i].bottom, height_);
    for (int y = top; y < bottom && left < right; ++y) span(y, left, right);
  }
}

void Surface::FillRegion(HRGN region, std::uint32_t premultiplied) {
  const PixelRows rows = Rows();
  ForEachSpan(region,
              [&](int y, int left, int right) { std::fill(rows.Row(y) + left, rows.Row(y) + right, premultiplied); });
}

void Surface::LayOver(HRGN region, const PixelRows& picture, int left, int top) {
  const PixelRows rows = Rows();
  ForEachSpan(region, [&](int y, int spanLeft, int spanRight) {
    // The span cut to the picture's place.
    if (y < top || y >= top + picture.height) return;
    const int from = std::max(spanLeft, left), to = std::min(spanRight, left + picture.width);
    if (from >= to) return;
    BlendOver(rows.Row(y) + from, picture.Row(y - top) + (from - left), static_cast<std::size_t>(to - from));
  });
}

void Surface::Release() {
  if (memoryGraphics_ != nullptr) gp::GdipDeleteGraphics(memoryGraphics_);
  if (memoryBitmap_ != nullptr) gp::GdipDisposeImage(memoryBitmap_);
  memoryGraphics_ = nullptr;
  memoryBitmap_ = nullptr;
  if (graphics_ != nullptr) gp::GdipDeleteGraphics(graphics_);
  if (dc_ != nullptr) {
    SelectObject(dc_, previousBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  graphics_ = nullptr;
  dc_ = nullptr;
  bitmap_ = nullptr;
  previousBitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

std::uint32_t Surface::PixelAt(int x, int y) const {
  if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  return bits_[(height_ - 1 - y) * width_ + x];
}

std::uint32_t* Surface::Pixels() {
  GdiFlush();
  return bits_;
}

const std::uint32_t* Surface::Pixels() const {
  GdiFlush();
  return bits_;
}

PixelRows Surface::Rows() {
  std::uint32_t* pixels = Pixels();
  if (pixels == nullptr) return {};
  return {pixels + static_cast<std::ptrdiff_t>(height_ - 1) * width_, -static_cast<std::ptrdiff_t>(width_), width_,
          height_};
}

GpGraphics* CreateConfiguredGraphics(HDC dc) {
  GpGraphics* graphics = nullptr;
  if (gp::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok) return nullptr;
  gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
  gp::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAliasGridFit);
  return graphics;
}

GpGraphics* CreateConfiguredGraphics(GpImage* image) {
  GpGraphics* graphics = nullptr;
  if (image == nullptr || gp::GdipGetImageGraphicsContext(image, &graphics) != Gdiplus::Ok) return nullptr;
  gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
  gp::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAliasGridFit);
  return graphics;
}

Surface& ScratchSurface() {
  // Shared by every window of the process for its whole life.
  static Surface* scratch = new Surface;
  return *scratch;
}

void GrowScratchSurface(int width, int height) {
  Surface& scratch = ScratchSurface();
  if (scratch.IsValid() && width <= scratch.width() && height <= scratch.height()) return;
  const int newWidth = scratch.IsValid() && scratch.width() > width ? scratch.width() : width;
  const int newHeight = scratch.IsValid() && scratch.height() > height ? scratch.height() : height;
  scratch.CreateWithGraphics(newWidth, newHeight);
}

}  // namespace ui

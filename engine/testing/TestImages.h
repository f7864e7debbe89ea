#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/GdiPlus.h"

namespace ui::test {

// A bitmap of the given size filled with one ARGB colour.
ImagePtr SolidBitmap(int width, int height, std::uint32_t argb);

// Fills a rectangle of a bitmap with one ARGB colour (blending it over).
void FillBitmapRect(GpImage* bitmap, int left, int top, int width, int height, std::uint32_t argb);

// A PNG file of one colour.
std::vector<std::uint8_t> SolidPng(int width, int height, std::uint32_t argb);

// The image encoded by GDI+ as a file of the given MIME type ("image/png",
// "image/jpeg", "image/gif", "image/bmp").
std::vector<std::uint8_t> EncodeImage(GpImage* image, const wchar_t* mimeType);

// The ARGB value of one pixel of a bitmap.
std::uint32_t PixelAt(GpImage* bitmap, int x, int y);

// Saves a window surface (premultiplied BGRA, bottom-up) as a PNG file, so
// that a test leaves the picture it checked. The folder comes from the
// environment variable ENGINE_TEST_SHOTS; without it nothing is saved.
void SaveSurface(HBITMAP surfaceBitmap, const char* name);

}  // namespace ui::test

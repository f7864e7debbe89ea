#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/GdiPlus.h"

namespace ui::test {

// A bitmap of the given size filled with one ARGB colour.
ImagePtr SolidBitmap(int width, int height, std::uint32_t argb);

// The image encoded by GDI+ as a file of the given MIME type ("image/png",
// "image/jpeg", "image/gif", "image/bmp").
std::vector<std::uint8_t> EncodeImage(GpImage* image, const wchar_t* mimeType);

// The ARGB value of one pixel of a bitmap.
std::uint32_t PixelAt(GpImage* bitmap, int x, int y);

}  // namespace ui::test

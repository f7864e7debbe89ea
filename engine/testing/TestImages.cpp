#include "TestImages.h"

#include <cwchar>
#include <string>

namespace ui::test {

ImagePtr SolidBitmap(int width, int height, std::uint32_t argb) {
  GpBitmap* bitmap = nullptr;
  gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
  ImagePtr owner(bitmap);
  GpGraphics* graphics = nullptr;
  if (bitmap != nullptr && gp::GdipGetImageGraphicsContext(bitmap, &graphics) == Gdiplus::Ok) {
    gp::GdipGraphicsClear(graphics, argb);
    gp::GdipDeleteGraphics(graphics);
  }
  return owner;
}

void FillBitmapRect(GpImage* bitmap, int left, int top, int width, int height, std::uint32_t argb) {
  GpGraphics* graphics = nullptr;
  if (bitmap == nullptr || gp::GdipGetImageGraphicsContext(bitmap, &graphics) != Gdiplus::Ok) return;
  GraphicsPtr owner(graphics);
  Gdiplus::GpSolidFill* brush = nullptr;
  gp::GdipCreateSolidFill(argb, &brush);
  BrushPtr brushOwner(brush);
  gp::GdipFillRectangleI(graphics, brush, left, top, width, height);
}

std::vector<std::uint8_t> SolidPng(int width, int height, std::uint32_t argb) {
  ImagePtr image = SolidBitmap(width, height, argb);
  return EncodeImage(image.get(), L"image/png");
}

std::vector<std::uint8_t> EncodeImage(GpImage* image, const wchar_t* mimeType) {
  UINT count = 0, size = 0;
  gp::GdipGetImageEncodersSize(&count, &size);
  std::vector<std::uint8_t> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  gp::GdipGetImageEncoders(count, size, codecs);
  const CLSID* encoder = nullptr;
  for (UINT i = 0; i < count; ++i) {
    if (std::wcscmp(codecs[i].MimeType, mimeType) == 0) encoder = &codecs[i].Clsid;
  }
  std::vector<std::uint8_t> bytes;
  IStream* stream = nullptr;
  if (encoder == nullptr || CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK) return bytes;
  if (gp::GdipSaveImageToStream(image, stream, encoder, nullptr) == Gdiplus::Ok) {
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(stream, &memory);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    const auto* data = static_cast<const std::uint8_t*>(GlobalLock(memory));
    bytes.assign(data, data + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
  }
  stream->Release();
  return bytes;
}

std::uint32_t PixelAt(GpImage* bitmap, int x, int y) {
  Gdiplus::ARGB colour = 0;
  gp::GdipBitmapGetPixel(static_cast<GpBitmap*>(bitmap), x, y, &colour);
  return colour;
}

void SaveSurface(HBITMAP surfaceBitmap, const char* name) {
  char folder[MAX_PATH] = {};
  if (GetEnvironmentVariableA("ENGINE_TEST_SHOTS", folder, MAX_PATH) == 0) return;
  GpBitmap* bitmap = nullptr;
  DIBSECTION section{};
  if (GetObjectW(surfaceBitmap, sizeof section, &section) == 0 || section.dsBm.bmBits == nullptr) return;
  const int width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
  // Bottom-up rows: start at the last row with a negative stride.
  auto* lastRow = static_cast<BYTE*>(section.dsBm.bmBits) + (height - 1) * width * 4;
  GdiFlush();
  gp::GdipCreateBitmapFromScan0(width, height, -width * 4, PixelFormat32bppPARGB, lastRow, &bitmap);
  ImagePtr owner(bitmap);
  const std::vector<std::uint8_t> png = EncodeImage(bitmap, L"image/png");
  const std::string path = std::string(folder) + "\\" + name + ".png";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace ui::test

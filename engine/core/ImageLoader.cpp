#include "ImageLoader.h"

#include <cstring>
#include <utility>

namespace ui {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Copies the bytes (after the PNG signature when asked) into a movable global
// block, opens a stream on it and decodes it.
KeptImage Decode(Bytes bytes, bool addPngSignature) {
  KeptImage result;
  if (bytes.empty()) return result;
  const std::size_t prefix = addPngSignature ? sizeof kPngSignature : 0;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + prefix);
  if (memory == nullptr) return result;
  auto* target = static_cast<std::uint8_t*>(GlobalLock(memory));
  if (target == nullptr) {
    GlobalFree(memory);
    return result;
  }
  if (prefix != 0) std::memcpy(target, kPngSignature, prefix);
  std::memcpy(target + prefix, bytes.data(), bytes.size());
  GlobalUnlock(memory);

  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(memory, FALSE, &stream) != S_OK) {
    GlobalFree(memory);
    return result;
  }
  result.source = ImageSource(memory, stream);
  GpImage* image = nullptr;
  if (gp::GdipLoadImageFromStream(stream, &image) == Gdiplus::Ok) result.image.reset(image);
  else result.source = ImageSource();
  return result;
}

// A fresh bitmap of the decoded image's size in the given 32-bit format,
// with the image drawn on it: it depends on the decoder no longer.
ImagePtr Redrawn(GpImage* decoded, Gdiplus::PixelFormat format) {
  const int width = ImageWidth(decoded);
  const int height = ImageHeight(decoded);
  GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap) != Gdiplus::Ok) return nullptr;
  ImagePtr converted(bitmap);
  GpGraphics* graphics = nullptr;
  if (gp::GdipGetImageGraphicsContext(bitmap, &graphics) == Gdiplus::Ok) {
    GraphicsPtr owner(graphics);
    gp::GdipDrawImageRectI(graphics, decoded, 0, 0, width, height);
  }
  return converted;
}

}  // namespace

ImageSource::ImageSource(ImageSource&& other) noexcept
    : memory_(std::exchange(other.memory_, nullptr)), stream_(std::exchange(other.stream_, nullptr)) {}

ImageSource& ImageSource::operator=(ImageSource&& other) noexcept {
  if (this != &other) {
    Release();
    memory_ = std::exchange(other.memory_, nullptr);
    stream_ = std::exchange(other.stream_, nullptr);
  }
  return *this;
}

ImageSource::~ImageSource() { Release(); }

void ImageSource::Release() {
  if (stream_ != nullptr) stream_->Release();
  if (memory_ != nullptr) GlobalFree(memory_);
  stream_ = nullptr;
  memory_ = nullptr;
}

ImagePtr LoadImageFromBytes(Bytes bytes, bool addPngSignature) {
  KeptImage decoded = Decode(bytes, addPngSignature);
  return decoded ? Redrawn(decoded.image.get(), PixelFormat32bppARGB) : nullptr;
}

ImagePtr LoadPremultipliedImageFromBytes(Bytes bytes) {
  KeptImage decoded = Decode(bytes, false);
  return decoded ? Redrawn(decoded.image.get(), PixelFormat32bppPARGB) : nullptr;
}

KeptImage LoadImageFromBytes(Bytes bytes, bool addPngSignature, KeepOriginal) { return Decode(bytes, addPngSignature); }

int ImageWidth(GpImage* image) {
  UINT width = 0;
  if (image != nullptr) gp::GdipGetImageWidth(image, &width);
  return static_cast<int>(width);
}

int ImageHeight(GpImage* image) {
  UINT height = 0;
  if (image != nullptr) gp::GdipGetImageHeight(image, &height);
  return static_cast<int>(height);
}

}  // namespace ui

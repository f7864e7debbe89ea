#pragma once

#include "ByteBlock.h"
#include "GdiPlus.h"

namespace ui {

// The global memory block and the stream on it that a decoder's own image
// reads from for as long as it lives.
class ImageSource {
 public:
  ImageSource() = default;
  ImageSource(HGLOBAL memory, IStream* stream) : memory_(memory), stream_(stream) {}
  ImageSource(ImageSource&& other) noexcept;
  ImageSource& operator=(ImageSource&& other) noexcept;
  ImageSource(const ImageSource&) = delete;
  ImageSource& operator=(const ImageSource&) = delete;
  ~ImageSource();

  HGLOBAL memory() const { return memory_; }
  IStream* stream() const { return stream_; }

 private:
  void Release();
  HGLOBAL memory_ = nullptr;
  IStream* stream_ = nullptr;
};

// A decoder's image together with its source. The image is declared last so
// that it is disposed of before the stream and the memory it reads.
struct KeptImage {
  ImageSource source;
  ImagePtr image;
  explicit operator bool() const { return image != nullptr; }
};

struct KeepOriginal {};
inline constexpr KeepOriginal kKeepOriginal{};

// Decodes an image file (PNG, JPEG, GIF, BMP ...) from bytes into a fresh
// 32-bit ARGB bitmap of the same size that depends on nothing afterwards.
// `addPngSignature` puts the 8-byte PNG signature in front of bytes stored
// without it. Empty or undecodable bytes give no image.
ImagePtr LoadImageFromBytes(Bytes bytes, bool addPngSignature = false);

// The same in 32-bit premultiplied ARGB, the form a surface holds: such a
// picture is laid over a surface with no conversion.
ImagePtr LoadPremultipliedImageFromBytes(Bytes bytes);

// The same, but keeps the decoder's own image (all frames of an animation)
// with the memory and stream behind it.
KeptImage LoadImageFromBytes(Bytes bytes, bool addPngSignature, KeepOriginal);

int ImageWidth(GpImage* image);
int ImageHeight(GpImage* image);

}  // namespace ui

#include "LockedPicture.h"

namespace ui {

LockedPicture::LockedPicture(GpImage* image) {
  Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
  if (image == nullptr || gp::GdipGetImageType(image, &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeBitmap) {
    return;
  }
  auto* bitmap = static_cast<GpBitmap*>(image);
  UINT width = 0, height = 0;
  gp::GdipGetImageWidth(image, &width);
  gp::GdipGetImageHeight(image, &height);
  const Gdiplus::GpRect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  if (width == 0 || height == 0 ||
      gp::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data_) !=
          Gdiplus::Ok) {
    return;
  }
  bitmap_ = bitmap;
  // The stride is in bytes, negative for rows stored bottom-up.
  rows_ = {static_cast<std::uint32_t*>(data_.Scan0), data_.Stride / 4, static_cast<int>(data_.Width),
           static_cast<int>(data_.Height)};
}

LockedPicture::~LockedPicture() {
  if (bitmap_ != nullptr) gp::GdipBitmapUnlockBits(bitmap_, &data_);
}

}  // namespace ui

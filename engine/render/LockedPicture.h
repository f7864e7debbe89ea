#pragma once

#include "PixelRows.h"
#include "engine/core/GdiPlus.h"

namespace ui {

// A bitmap's pixels, premultiplied, to read in memory for as long as this
// lives. Empty when the image is no bitmap or its pixels cannot be had in
// that form.
class LockedPicture {
 public:
  explicit LockedPicture(GpImage* image);
  LockedPicture(const LockedPicture&) = delete;
  LockedPicture& operator=(const LockedPicture&) = delete;
  ~LockedPicture();

  explicit operator bool() const { return rows_.top != nullptr; }
  const PixelRows& rows() const { return rows_; }

 private:
  GpBitmap* bitmap_ = nullptr;
  Gdiplus::BitmapData data_{};
  PixelRows rows_;
};

}  // namespace ui

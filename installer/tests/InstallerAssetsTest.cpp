#include "installer/InstallerAssets.h"

#include <gtest/gtest.h>

#include "engine/core/ImageLoader.h"
#include "engine/core/WindowClass.h"
#include "engine/core/Engine.h"

namespace setup {
namespace {

std::uint32_t PixelAt(ui::GpImage* image, int x, int y) {
  Gdiplus::ARGB colour = 0;
  ui::gp::GdipBitmapGetPixel(static_cast<ui::GpBitmap*>(image), x, y, &colour);
  return colour;
}

TEST(InstallerAssets, BackgroundsAreOpaqueWindowSizedAndDifferent) {
  ui::ImagePtr first = ui::LoadImageFromBytes(BackgroundImage1());
  ui::ImagePtr second = ui::LoadImageFromBytes(BackgroundImage2());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  for (ui::GpImage* image : {first.get(), second.get()}) {
    EXPECT_EQ(ui::ImageWidth(image), 825);
    EXPECT_EQ(ui::ImageHeight(image), 468);
    EXPECT_EQ(PixelAt(image, 0, 0) >> 24, 0xFFu);
    EXPECT_EQ(PixelAt(image, 824, 467) >> 24, 0xFFu);
  }
  int differing = 0;
  for (int y = 10; y < 468; y += 50) {
    for (int x = 10; x < 825; x += 50) {
      const std::uint32_t a = PixelAt(first.get(), x, y), b = PixelAt(second.get(), x, y);
      int distance = 0;
      for (int shift = 0; shift < 24; shift += 8)
        distance += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
      if (distance > 60) ++differing;
    }
  }
  EXPECT_GT(differing, 100) << "the two photographs must be clearly different";
}

TEST(InstallerAssets, ButtonImagesAreRgbaWithRealTransparency) {
  for (ui::Bytes bytes : {ButtonImage1(), ButtonImage2(), ButtonImage3()}) {
    ui::KeptImage kept = ui::LoadImageFromBytes(bytes, false, ui::kKeepOriginal);
    ASSERT_TRUE(kept);
    EXPECT_EQ(ui::ImageWidth(kept.image.get()), 193);
    EXPECT_EQ(ui::ImageHeight(kept.image.get()), 58);
    Gdiplus::PixelFormat format = 0;
    ui::gp::GdipGetImagePixelFormat(kept.image.get(), &format);
    EXPECT_TRUE(format & PixelFormatAlpha) << std::hex << format;

    ui::ImagePtr image = ui::LoadImageFromBytes(bytes);
    EXPECT_EQ(PixelAt(image.get(), 0, 0) >> 24, 0u) << "the corner is outside the button";
    EXPECT_EQ(PixelAt(image.get(), 96, 50) >> 24, 0xFFu) << "the body is opaque";
  }
}

TEST(InstallerAssets, ProgramIconIsResource129) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ui::kProgramIconId));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(ui::Engine().engineIcon, icon) << "the engine class carries the program icon";
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXICON));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

}  // namespace
}  // namespace setup

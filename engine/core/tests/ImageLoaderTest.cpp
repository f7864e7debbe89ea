#include "engine/core/ImageLoader.h"

#include <gtest/gtest.h>

#include "engine/testing/TestImages.h"
#include "engine/core/EngineAssets.h"

namespace ui {
namespace {

using test::EncodeImage;
using test::PixelAt;
using test::SolidBitmap;

Gdiplus::PixelFormat FormatOf(GpImage* image) {
  Gdiplus::PixelFormat format = 0;
  gp::GdipGetImagePixelFormat(image, &format);
  return format;
}

TEST(ImageLoader, CaptionStripDecodesOnlyWithTheSignatureSupplied) {
  const Bytes strip = CaptionButtonStrip();
  ASSERT_GT(strip.size(), 100u);
  EXPECT_NE(strip[0], 0x89) << "the strip is stored without its PNG signature";
  EXPECT_EQ(LoadImageFromBytes(strip), nullptr);

  ImagePtr image = LoadImageFromBytes(strip, /*addPngSignature=*/true);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(ImageWidth(image.get()), 729);
  EXPECT_EQ(ImageHeight(image.get()), 20);
  EXPECT_EQ(FormatOf(image.get()), PixelFormat32bppARGB);
}

TEST(ImageLoader, JpegComesOutAsOpaque32BitArgbOfTheSameSize) {
  ImagePtr source = SolidBitmap(40, 30, 0xFF3366CC);
  const std::vector<std::uint8_t> jpeg = EncodeImage(source.get(), L"image/jpeg");
  ASSERT_FALSE(jpeg.empty());

  ImagePtr image = LoadImageFromBytes(jpeg);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(ImageWidth(image.get()), 40);
  EXPECT_EQ(ImageHeight(image.get()), 30);
  EXPECT_EQ(FormatOf(image.get()), PixelFormat32bppARGB);
  for (int y = 0; y < 30; y += 7) {
    for (int x = 0; x < 40; x += 9) EXPECT_EQ(PixelAt(image.get(), x, y) >> 24, 0xFFu) << x << "," << y;
  }
}

TEST(ImageLoader, PngTransparencySurvivesTheConversionsStraightAndPremultiplied) {
  ImagePtr source = SolidBitmap(8, 8, 0x00000000);
  test::FillBitmapRect(source.get(), 0, 0, 4, 8, 0x80FF0000);
  const std::vector<std::uint8_t> png = EncodeImage(source.get(), L"image/png");

  ImagePtr image = LoadImageFromBytes(png);
  ASSERT_NE(image, nullptr);
  EXPECT_NEAR(static_cast<int>(PixelAt(image.get(), 1, 1) >> 24), 0x80, 1);
  EXPECT_EQ(PixelAt(image.get(), 6, 6) >> 24, 0u);

  // Premultiplied, as kept: the half-opaque red is stored as red 128.
  ImagePtr premultiplied = LoadPremultipliedImageFromBytes(png);
  ASSERT_NE(premultiplied, nullptr);
  Gdiplus::PixelFormat format = 0;
  gp::GdipGetImagePixelFormat(premultiplied.get(), &format);
  ASSERT_EQ(format, PixelFormat32bppPARGB);
  Gdiplus::BitmapData data{};
  const Gdiplus::GpRect whole(0, 0, 8, 8);
  ASSERT_EQ(gp::GdipBitmapLockBits(static_cast<GpBitmap*>(premultiplied.get()), &whole, Gdiplus::ImageLockModeRead,
                                   PixelFormat32bppPARGB, &data),
            Gdiplus::Ok);
  const auto* row = static_cast<const std::uint32_t*>(data.Scan0) + data.Stride / 4;
  const std::uint32_t halfRed = row[1], clear = row[6];
  gp::GdipBitmapUnlockBits(static_cast<GpBitmap*>(premultiplied.get()), &data);
  EXPECT_NEAR(static_cast<int>(halfRed >> 24), 0x80, 1);
  EXPECT_NEAR(static_cast<int>((halfRed >> 16) & 0xFF), 0x80, 1);
  EXPECT_EQ(halfRed & 0xFFFF, 0u);
  EXPECT_EQ(clear, 0u);
}

TEST(ImageLoader, KeptFormIsTheDecodersImageWithItsSource) {
  ImagePtr source = SolidBitmap(12, 10, 0xFF00FF00);
  const std::vector<std::uint8_t> png = EncodeImage(source.get(), L"image/png");
  ASSERT_FALSE(png.empty());

  KeptImage kept = LoadImageFromBytes(png, false, kKeepOriginal);
  ASSERT_TRUE(kept);
  EXPECT_NE(kept.source.memory(), nullptr);
  EXPECT_NE(kept.source.stream(), nullptr);
  GUID format{};
  gp::GdipGetImageRawFormat(kept.image.get(), &format);
  EXPECT_TRUE(IsEqualGUID(format, Gdiplus::ImageFormatPNG));
  EXPECT_EQ(ImageWidth(kept.image.get()), 12);

  ImagePtr converted = LoadImageFromBytes(png);
  gp::GdipGetImageRawFormat(converted.get(), &format);
  EXPECT_TRUE(IsEqualGUID(format, Gdiplus::ImageFormatMemoryBMP));
}

TEST(ImageLoader, EmptyOrGarbageBytesGiveNoImage) {
  EXPECT_EQ(LoadImageFromBytes(Bytes{}), nullptr);
  EXPECT_FALSE(LoadImageFromBytes(Bytes{}, true, kKeepOriginal));
  const std::uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(LoadImageFromBytes(garbage), nullptr);
  KeptImage kept = LoadImageFromBytes(garbage, false, kKeepOriginal);
  EXPECT_FALSE(kept);
  EXPECT_EQ(kept.source.memory(), nullptr) << "a failed decode releases its block";
  EXPECT_EQ(ImageWidth(nullptr), 0);
}

}  // namespace
}  // namespace ui

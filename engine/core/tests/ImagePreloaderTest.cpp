#include "engine/core/ImagePreloader.h"

#include <gtest/gtest.h>

#include "engine/core/ImageLoader.h"
#include "engine/testing/TestImages.h"

namespace ui {
namespace {

using test::PixelAt;

// A JPEG with something to decode: four colours in quarters, so that a
// picture decoded on another thread is compared pixel for pixel.
std::vector<std::uint8_t> QuarteredJpeg() {
  ImagePtr source = test::SolidBitmap(64, 48, 0xFF3366CC);
  test::FillBitmapRect(source.get(), 32, 0, 32, 24, 0xFFCC3333);
  test::FillBitmapRect(source.get(), 0, 24, 32, 24, 0xFF33CC66);
  test::FillBitmapRect(source.get(), 32, 24, 32, 24, 0xFFEEEEEE);
  return test::EncodeImage(source.get(), L"image/jpeg");
}

TEST(ImagePreloader, GivesThePictureOnceAsTheLoaderDecodesIt) {
  const std::vector<std::uint8_t> jpeg = QuarteredJpeg();
  ASSERT_FALSE(jpeg.empty());
  PreloadImage(Bytes(jpeg.data(), jpeg.size()));
  ImagePtr preloaded = TakePreloadedImage(Bytes(jpeg.data(), jpeg.size()));
  ASSERT_NE(preloaded, nullptr);
  ImagePtr direct = LoadPremultipliedImageFromBytes(Bytes(jpeg.data(), jpeg.size()));
  ASSERT_NE(direct, nullptr);
  ASSERT_EQ(ImageWidth(preloaded.get()), 64);
  ASSERT_EQ(ImageHeight(preloaded.get()), 48);
  int differing = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) differing += PixelAt(preloaded.get(), x, y) != PixelAt(direct.get(), x, y);
  }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(TakePreloadedImage(Bytes(jpeg.data(), jpeg.size())), nullptr) << "taken once";
}

TEST(ImagePreloader, OtherBytesGetNothingAndALaterPreloadReplacesAnEarlierOne) {
  const std::vector<std::uint8_t> first = test::SolidPng(8, 8, 0xFF112233);
  const std::vector<std::uint8_t> second = test::SolidPng(8, 8, 0xFF445566);
  PreloadImage(Bytes(first.data(), first.size()));
  EXPECT_EQ(TakePreloadedImage(Bytes(second.data(), second.size())), nullptr);
  PreloadImage(Bytes(second.data(), second.size()));
  EXPECT_EQ(TakePreloadedImage(Bytes(first.data(), first.size())), nullptr) << "replaced";
  ImagePtr taken = TakePreloadedImage(Bytes(second.data(), second.size()));
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(PixelAt(taken.get(), 4, 4), 0xFF445566u);
  const std::vector<std::uint8_t> broken = {'n', 'o', 't'};
  PreloadImage(Bytes(broken.data(), broken.size()));
  EXPECT_EQ(TakePreloadedImage(Bytes(broken.data(), broken.size())), nullptr) << "does not decode";
}

}  // namespace
}  // namespace ui

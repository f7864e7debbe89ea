#include "engine/render/Primitives.h"

#include <gtest/gtest.h>

#include "engine/render/EdgeFade.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

using test::PixelAt;
using test::SolidBitmap;

// A transparent canvas with a graphics on it.
struct Canvas {
  explicit Canvas(int width, int height) : bitmap(SolidBitmap(width, height, 0)) {
    GpGraphics* g = nullptr;
    gp::GdipGetImageGraphicsContext(bitmap.get(), &g);
    graphics.reset(g);
  }
  std::uint32_t At(int x, int y) {
    gp::GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync);
    return PixelAt(bitmap.get(), x, y);
  }
  ImagePtr bitmap;
  GraphicsPtr graphics;
};

// A 10 x 10 image: red left half, blue right half.
ImagePtr TwoHalves() {
  ImagePtr image = SolidBitmap(10, 10, 0xFFFF0000);
  test::FillBitmapRect(image.get(), 5, 0, 5, 10, 0xFF0000FF);
  return image;
}

TEST(Primitives, FullOpacityScalesTheImageLowerOpacityDrawsItUnscaled) {
  ImagePtr image = TwoHalves();
  Canvas full(40, 40), almost(40, 40);
  DrawImageWithOpacity(full.graphics.get(), image.get(), {0, 0, 40, 40}, 255);
  DrawImageWithOpacity(almost.graphics.get(), image.get(), {0, 0, 40, 40}, 254);
  EXPECT_EQ(full.At(30, 30), 0xFF0000FFu) << "scaled: the right half fills x >= 20";
  EXPECT_EQ(full.At(10, 30), 0xFFFF0000u);
  EXPECT_EQ(almost.At(30, 30) >> 24, 0u) << "unscaled: nothing beyond the image's 10 pixels";
  EXPECT_EQ(almost.At(7, 7) & 0xFFFFFF, 0x0000FFu);
  EXPECT_NEAR(static_cast<int>(almost.At(7, 7) >> 24), 254, 1);
}

TEST(Primitives, NineSliceKeepsCornersAndOpacityZeroDrawsNothing) {
  ImagePtr image = TwoHalves();
  const RECT grid{3, 3, 7, 7};
  Canvas canvas(100, 60), hidden(100, 60), attributes(100, 60);
  DrawImageNineSlice(canvas.graphics.get(), image.get(), {0, 0, 100, 60}, grid);
  EXPECT_EQ(canvas.At(1, 1), 0xFFFF0000u) << "top-left corner stays red";
  EXPECT_EQ(canvas.At(98, 58), 0xFF0000FFu) << "bottom-right corner stays blue";
  EXPECT_EQ(canvas.At(5, 30), 0xFFFF0000u) << "left edge cell stretches down";
  DrawImageNineSlice(hidden.graphics.get(), image.get(), {0, 0, 100, 60}, grid, 0);
  EXPECT_EQ(hidden.At(1, 1), 0u);
  EXPECT_EQ(hidden.At(50, 30), 0u);
  DrawImageNineSlice(attributes.graphics.get(), image.get(), {0, 0, 100, 60}, grid, 255);
  EXPECT_EQ(attributes.At(1, 1), 0xFFFF0000u) << "255 draws as without opacity";
}

TEST(Primitives, OutlineStylesAndColoursShareOneArgument) {
  Canvas sunken(20, 20), flat(20, 20), transparent(20, 20), coloured(20, 20);
  DrawRectOutline(sunken.graphics.get(), {0, 0, 20, 20}, kOutlineSunken);
  EXPECT_EQ(sunken.At(10, 0) & 0xFFFFFF, 0u) << "dark top edge";
  EXPECT_EQ(sunken.At(19, 10) & 0xFFFFFF, 0xFFFFFFu) << "light right edge";
  DrawRectOutline(flat.graphics.get(), {0, 0, 20, 20}, kOutlineFlat);
  EXPECT_EQ(flat.At(10, 0) & 0xFFFFFF, 0x646464u) << "default flat grey";
  DrawRectOutline(transparent.graphics.get(), {0, 0, 20, 20}, 5);
  EXPECT_EQ(transparent.At(10, 0), 0u) << "style 5 is the colour 0x00000005: transparent";
  DrawRectOutline(coloured.graphics.get(), {0, 0, 20, 20}, 0xFF00FF00);
  EXPECT_EQ(coloured.At(10, 0), 0xFF00FF00u);
  EXPECT_EQ(coloured.At(10, 10), 0u) << "an outline, not a fill";
}

TEST(Primitives, EdgeFadeRunsFromSolidAtTheEdgeToTransparentInside) {
  Canvas canvas(300, 300);
  FillEdgeFade(canvas.graphics.get(), {0, 0, 250, 250}, Rgb(0, 0, 255), 100, kFadeRight, 6);
  // The right band spans x 156 .. 256 at rows 6 and below.
  EXPECT_LT(static_cast<int>(canvas.At(160, 100) >> 24), 20) << "almost transparent inside";
  EXPECT_GT(static_cast<int>(canvas.At(250, 100) >> 24), 230) << "almost solid at the edge";
  EXPECT_EQ(canvas.At(250, 100) & 0xFF, 0xFFu) << "in the given colour";
  EXPECT_EQ(canvas.At(100, 100), 0u) << "outside the band nothing";
}

TEST(Primitives, RoundRectPathOfCornerOneIsAlmostSquare) {
  PathPtr path = MakeRoundRectPath({10, 20, 30, 40}, 1);
  Gdiplus::RectF bounds;
  gp::GdipGetPathWorldBounds(path.get(), &bounds, nullptr, nullptr);
  EXPECT_NEAR(bounds.X, 10, 0.01);
  EXPECT_NEAR(bounds.Y, 20, 0.01);
  EXPECT_NEAR(bounds.Width, 29, 0.01) << "the path ends one pixel inside the right edge";
  EXPECT_NEAR(bounds.Height, 39, 0.01);
}

TEST(Primitives, AddWindowStyleWritesNothingWhenOneBitIsSet) {
  test::TestWindow window(0, 0, 100, 100, WS_OVERLAPPED | WS_CLIPSIBLINGS);
  HWND hwnd = window.hwnd();
  AddWindowStyle(hwnd, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, false);
  EXPECT_FALSE(HasWindowStyle(hwnd, WS_CLIPCHILDREN, false)) << "one of the bits was set: nothing written";
  AddWindowStyle(hwnd, WS_CLIPCHILDREN, false);
  EXPECT_TRUE(HasWindowStyle(hwnd, WS_CLIPCHILDREN, false));
  RemoveWindowStyle(hwnd, WS_CLIPCHILDREN | WS_HSCROLL, false);
  EXPECT_FALSE(HasWindowStyle(hwnd, WS_CLIPCHILDREN, false));
  EXPECT_TRUE(HasWindowStyle(hwnd, WS_CLIPSIBLINGS, false));
}

TEST(Primitives, WorkAreaAndClipHelpers) {
  RectF area{};
  ASSERT_TRUE(GetWorkArea(area));
  EXPECT_GT(area.width, 0);
  Canvas canvas(50, 50);
  SetClipRect(canvas.graphics.get(), {10, 10, 20, 20}, ClipMode::Replace);
  SetClipRect(canvas.graphics.get(), {15, 0, 50, 50}, ClipMode::Intersect);
  EXPECT_EQ(GetClipBounds(canvas.graphics.get()), (RectF{15, 10, 15, 20}));
  ResetClip(canvas.graphics.get());
  EXPECT_EQ(GetClipBounds(canvas.graphics.get()), (RectF{0, 0, 50, 50}));
}

}  // namespace
}  // namespace ui

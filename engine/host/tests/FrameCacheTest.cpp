// A frame copied from the cache is the frame painted anew, and the pixel
// arithmetic done in memory is what the drawing calls it replaces give.
#include <gtest/gtest.h>

#include "engine/host/HostWindow.h"
#include "engine/render/FramePainter.h"
#include "engine/render/LockedPicture.h"
#include "engine/render/PixelBlend.h"
#include "engine/render/Primitives.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

// The largest difference of one channel between two surfaces.
int LargestDifference(const Surface& a, const Surface& b) {
  const std::uint32_t* p = a.Pixels();
  const std::uint32_t* q = b.Pixels();
  int largest = 0;
  for (std::size_t i = 0; i < a.PixelCount(); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      largest = std::max(largest,
                         std::abs(static_cast<int>((p[i] >> shift) & 0xFF) - static_cast<int>((q[i] >> shift) & 0xFF)));
    }
  }
  return largest;
}

// Premultiplied pixels of every kind: opaque, translucent, transparent.
void FillVaried(Surface& surface, unsigned seed) {
  std::uint32_t* pixels = surface.Pixels();
  for (std::size_t i = 0; i < surface.PixelCount(); ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::uint32_t alpha = (i % 3 == 0) ? 255 : (seed >> 24);
    std::uint32_t pixel = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8) pixel |= (((seed >> (shift + 3)) & 0xFF) * alpha / 255) << shift;
    pixels[i] = pixel;
  }
}

// Two 160 x 110 surfaces of the same varied pixels and a window's body:
// one drawn on through its graphics, clipped to the body, the other worked
// on in memory.
struct BodyTwice {
  BodyTwice(bool rounded, unsigned seed) : body(MakeFrameRegion(160, 110, 6, 4, rounded)) {
    drawn.CreateWithGraphics(160, 110);
    inMemory.Create(nullptr, 160, 110);
    FillVaried(drawn, seed);
    FillVaried(inMemory, seed);
    RegionPtr clip = ToGdipRegion(body);
    SetClipRegion(drawn.graphics(), clip.get(), ClipMode::Replace);
  }
  ~BodyTwice() { DeleteObject(body); }
  Surface drawn, inMemory;
  HRGN body;
};

TEST(PixelArithmetic, BlendsInMemoryAreTheAlphaBlendsOfGdi) {
  Surface source, withGdi, inMemory;
  source.Create(nullptr, 64, 32);
  withGdi.Create(nullptr, 64, 32);
  inMemory.Create(nullptr, 64, 32);
  FillVaried(source, 7);
  for (const int alpha : {0, 1, 51, 102, 127, 128, 153, 204, 254, 255}) {
    FillVaried(withGdi, 11);
    FillVaried(inMemory, 11);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    GdiAlphaBlend(withGdi.dc(), 0, 0, 64, 32, source.dc(), 0, 0, 64, 32, blend);
    BlendConstant(inMemory.Pixels(), source.Pixels(), source.PixelCount(), alpha);
    EXPECT_LE(LargestDifference(withGdi, inMemory), 1) << "alpha " << alpha;
  }
  // And by each source pixel's own alpha.
  FillVaried(withGdi, 13);
  FillVaried(inMemory, 13);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(withGdi.dc(), 0, 0, 64, 32, source.dc(), 0, 0, 64, 32, blend);
  BlendOver(inMemory.Pixels(), source.Pixels(), source.PixelCount());
  EXPECT_LE(LargestDifference(withGdi, inMemory), 1) << "per-pixel alpha";
}

TEST(PixelArithmetic, ScalingInMemoryIsDrawingThroughTheOpacityMatrix) {
  // As a window's background is before it is made translucent: an opaque
  // body in a transparent band.
  for (const int alpha : {250, 128, 1, 0}) {
    Surface painted, withMatrix;
    painted.CreateWithGraphics(64, 32);
    withMatrix.CreateWithGraphics(64, 32);
    for (Surface* surface : {&painted, &withMatrix}) {
      gp::GdipGraphicsClear(surface->graphics(), 0);
      SetClipRect(surface->graphics(), MakeRectF(4, 4, 56, 24), ClipMode::Replace);
      gp::GdipGraphicsClear(surface->graphics(), 0xFE3070C0);
      DrawRoundRectOutline(surface->graphics(), MakeRectF(6, 6, 50, 20), 7, 0xCC606060);
      ResetClip(surface->graphics());
      gp::GdipFlush(surface->graphics(), Gdiplus::FlushIntentionSync);
    }
    // What windows drew before: a copy of the picture, drawn again through
    // the alpha-scaling colour matrix on the body, cleared first.
    GpBitmap* copy = nullptr;
    gp::GdipCreateBitmapFromHBITMAP(withMatrix.bitmap(), nullptr, &copy);
    ImagePtr owner(copy);
    SetClipRect(withMatrix.graphics(), MakeRectF(4, 4, 56, 24), ClipMode::Replace);
    gp::GdipGraphicsClear(withMatrix.graphics(), 0);
    DrawImageWithOpacity(withMatrix.graphics(), copy, MakeRectF(0, 0, 64, 32), alpha);
    ResetClip(withMatrix.graphics());
    gp::GdipFlush(withMatrix.graphics(), Gdiplus::FlushIntentionSync);
    ScalePremultiplied(painted.Pixels(), painted.PixelCount(), alpha);
    EXPECT_LE(LargestDifference(painted, withMatrix), 1) << "alpha " << alpha;
  }
}

TEST(PixelArithmetic, FrameOutlinesAreTheOutlinesDrawnThroughTheDc) {
  // A window's body (a varied picture at the window's alpha, 250) in its
  // transparent band; the border and the shadow rings drawn on it through
  // the DC's graphics, one outline after the other, and as the frame draws
  // them. The outlines are drawn for windows just over twice the edge band
  // (65 pixels) and widened: sizes at that threshold and below it too.
  for (const bool rounded : {true, false}) {
    for (const auto& [width, height] :
         {std::pair{160, 110}, std::pair{825, 468}, std::pair{50, 40}, std::pair{66, 65}, std::pair{64, 301}}) {
      Surface throughDc, framed;
      throughDc.CreateWithGraphics(width, height);
      framed.CreateWithGraphics(width, height);
      HRGN body = MakeFrameRegion(width, height, 6, 4, rounded);
      for (Surface* surface : {&throughDc, &framed}) {
        FillVaried(*surface, 3);
        ScalePremultiplied(surface->Pixels(), surface->PixelCount(), 250);
        HRGN band = CreateRectRgn(0, 0, width, height);
        CombineRgn(band, band, body, RGN_DIFF);
        surface->FillRegion(band, 0);
        DeleteObject(band);
      }
      RegionPtr clip = ToGdipRegion(body);
      DeleteObject(body);

      GpGraphics* graphics = throughDc.graphics();
      const float w = static_cast<float>(width), h = static_cast<float>(height);
      SetClipRegion(graphics, clip.get(), ClipMode::Replace);
      if (rounded) {
        DrawRoundRectOutline(graphics, MakeRectF(6, 6, w - 12, h - 12), 7, 0xCC606060);
        DrawRoundRectOutline(graphics, MakeRectF(7, 7, w - 14, h - 14), 6, 0x66FFFFFF);
      } else {
        DrawRectOutline(graphics, MakeRectF(6, 6, w - 12, h - 12), 0xCC606060);
        DrawRectOutline(graphics, MakeRectF(7, 7, w - 14, h - 14), 0x66FFFFFF);
      }
      ResetClip(graphics);
      const float corners[2][4] = {{1, 4, 7, 11}, {10, 12, 15, 18}};
      const std::uint32_t alphas[4] = {45, 25, 10, 5};
      for (int k = 0; k < 4; ++k) {
        DrawRoundRectOutline(graphics, MakeRectF(5.0f - k, 5.0f - k, w - 10 + 2 * k, h - 10 + 2 * k),
                             corners[rounded][k], (alphas[k] << 24) | 0x3C2814);
      }
      gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);

      DrawBorder(framed, rounded ? 7 : 0);
      DrawShadow(framed, rounded ? 7 : 0, Rgb(0x3C, 0x28, 0x14));
      EXPECT_LE(LargestDifference(throughDc, framed), 1)
          << (rounded ? "rounded " : "square ") << width << " x " << height;
    }
  }
}

TEST(PixelArithmetic, PictureLaidInMemoryIsThePictureDrawnAtItsOwnSize) {
  // A 120 x 80 picture of every alpha, straight and premultiplied (as
  // backgrounds are kept), on a varied surface within a window's body:
  // inside it, across its corner, past its right and bottom edges, and cut
  // at the top and left.
  std::vector<std::uint32_t> argb(120 * 80);
  unsigned seed = 9;
  for (std::size_t i = 0; i < argb.size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    argb[i] = i % 5 == 0 ? (seed | 0xFF000000u) : i % 7 == 0 ? (seed & 0x00FFFFFFu) : seed;
  }
  GpBitmap* bitmap = nullptr;
  gp::GdipCreateBitmapFromScan0(120, 80, 120 * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(argb.data()), &bitmap);
  ImagePtr straight(bitmap);
  GpBitmap* clone = nullptr;
  gp::GdipCloneBitmapAreaI(0, 0, 120, 80, PixelFormat32bppPARGB, bitmap, &clone);
  ImagePtr premultiplied(clone);
  const auto check = [](GpImage* picture, const char* form, bool rounded, int left, int top) {
    BodyTwice surfaces(rounded, 21);
    gp::GdipDrawImageRect(surfaces.drawn.graphics(), picture, static_cast<float>(left), static_cast<float>(top), 120,
                          80);
    gp::GdipFlush(surfaces.drawn.graphics(), Gdiplus::FlushIntentionSync);
    const LockedPicture locked(picture);
    ASSERT_TRUE(locked) << form;
    surfaces.inMemory.LayOver(surfaces.body, locked.rows(), left, top);
    EXPECT_LE(LargestDifference(surfaces.drawn, surfaces.inMemory), 1)
        << form << (rounded ? ", rounded " : ", square ") << left << ", " << top;
  };
  for (const bool rounded : {true, false}) {
    for (const auto& [left, top] : {std::pair{5, 5}, std::pair{20, 15}, std::pair{100, 60}, std::pair{-30, -7}}) {
      check(straight.get(), "straight", rounded, left, top);
      check(premultiplied.get(), "premultiplied", rounded, left, top);
    }
  }
}

TEST(PixelArithmetic, RegionFilledInMemoryIsAClearWithinTheRegionsClip) {
  for (const bool rounded : {true, false}) {
    BodyTwice surfaces(rounded, 5);
    gp::GdipGraphicsClear(surfaces.drawn.graphics(), 0xFF285078);
    gp::GdipFlush(surfaces.drawn.graphics(), Gdiplus::FlushIntentionSync);
    Surface& filled = surfaces.inMemory;
    filled.FillRegion(surfaces.body, 0xFF285078);
    EXPECT_EQ(LargestDifference(surfaces.drawn, filled), 0) << (rounded ? "rounded" : "square");
    // The corner is cut: the pixel at (6, 6) of a rounded body keeps its own.
    EXPECT_EQ(filled.PixelAt(6, 6) == 0xFF285078, !rounded);
    EXPECT_EQ(filled.PixelAt(80, 50), 0xFF285078u);
  }
}

int DrawNothing(HWND, GpGraphics*, int, int) { return 0; }

// A 100 x 60 picture: red with a blue 10-pixel border.
std::vector<std::uint8_t> Picture(std::uint32_t centre) {
  ImagePtr picture = test::SolidBitmap(100, 60, 0xFF0000FF);
  test::FillBitmapRect(picture.get(), 10, 10, 80, 40, centre);
  return test::EncodeImage(picture.get(), L"image/png");
}

TEST(FrameCache, EveryFrameIsTheSameCopiedAsPaintedAnew) {
  const std::vector<std::uint8_t> first = Picture(0xFFFF0000), second = Picture(0xFF00FF00);
  int configurations = 0;
  for (const int frameStyle : {0, 1, 7}) {
    for (const int mode : {0, 1, 2}) {
      for (const int edgeFade : {0, 1}) {
        for (const std::optional<int> alpha : {std::optional<int>(250), std::optional<int>()}) {
          HostOptions options;
          options.backgroundImage = first;
          options.backgroundColor = Rgb(40, 70, 120);
          options.captionFlags = 0;
          options.windowAlpha = alpha;
          options.frameStyle = frameStyle;
          options.backgroundMode = mode;
          options.edgeFade = edgeFade;
          test::TestWindow cachedWindow(100, 100, 160, 110), paintedWindow(100, 100, 160, 110);
          HostWindow cached, painted;
          ASSERT_TRUE(cached.Create(cachedWindow.hwnd(), options));
          ASSERT_TRUE(painted.Create(paintedWindow.hwnd(), options));
          // The one is always painted (a background hook turns copies off);
          // the other shows the second picture and comes back to the first.
          painted.SetOnPaintBackground(&DrawNothing);
          cached.Compose(second, Rgb(40, 70, 120), 0);
          cached.Compose(first, Rgb(40, 70, 120), 0);
          painted.Compose(first, Rgb(40, 70, 120), 0);
          ASSERT_EQ(cached.Composition().FramesCopied(), 1) << "the frame came from the cache";
          ASSERT_EQ(painted.Composition().FramesCopied(), 0);
          EXPECT_LE(
              LargestDifference(cached.Composition().CompositionSurface(), painted.Composition().CompositionSurface()),
              1)
              << "style " << frameStyle << ", mode " << mode << ", edge fade " << edgeFade << ", alpha "
              << alpha.value_or(-1);
          EXPECT_LE(LargestDifference(cached.Composition().FrameLayer(), painted.Composition().FrameLayer()), 1)
              << "the frame layer itself";
          ++configurations;
        }
      }
    }
  }
  EXPECT_EQ(configurations, 36);
}

TEST(FrameCache, ChangesOfWhatTheFrameDependsOnPaintItAgain) {
  test::TestWindow window(100, 100, 160, 110);
  HostWindow host;
  HostOptions options;
  options.backgroundColor = Rgb(40, 70, 120);
  options.captionFlags = 0;
  options.windowAlpha = 255;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  host.Compose();
  ASSERT_EQ(host.Composition().FramesCopied(), 1) << "nothing changed: copied";
  struct Change {
    const char* what;
    void (*apply)(HostWindow&);
  };
  const Change changes[] = {
      {"shadow colour", [](HostWindow& h) { h.SetShadowColor(Rgb(255, 0, 0)); }},
      {"frame style", [](HostWindow& h) { h.FrameStyle(0); }},
      {"window alpha", [](HostWindow& h) { h.Composition().Settings().windowAlpha = 128; }},
      {"background colour", [](HostWindow& h) { h.Composition().SetBackgroundColor(Rgb(1, 2, 3)); }},
      {"shadow flag", [](HostWindow& h) { h.CaptionFlags(0); }},
      {"edge fade", [](HostWindow& h) { h.Composition().Settings().edgeFade = 0; }},
      {"background mode", [](HostWindow& h) { h.Composition().Settings().backgroundMode = 2; }},
  };
  for (const Change& change : changes) {
    const int before = host.Composition().FramesCopied();
    change.apply(host);
    host.Compose();
    EXPECT_EQ(host.Composition().FramesCopied(), before) << change.what << ": painted anew";
  }
}

}  // namespace
}  // namespace ui

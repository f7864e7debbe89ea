#include <gtest/gtest.h>

#include "engine/core/EngineMessages.h"
#include "engine/host/HostWindow.h"
#include "engine/render/Composition.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/PresentationLog.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"
#include "engine/testing/TimerLog.h"

namespace ui {
namespace {

using test::Pixel;
using test::RecordingControl;
using test::TestWindow;
using test::Unpack;

constexpr int kTolerance = 1;  // per channel, premultiplied values

void ExpectPixel(const HostWindow& host, int x, int y, Pixel expected) {
  const Pixel actual = Unpack(host.Composition().CompositionSurface().PixelAt(x, y));
  EXPECT_NEAR(actual.a, expected.a, kTolerance) << "alpha at " << x << "," << y;
  EXPECT_NEAR(actual.r, expected.r, kTolerance) << "red at " << x << "," << y;
  EXPECT_NEAR(actual.g, expected.g, kTolerance) << "green at " << x << "," << y;
  EXPECT_NEAR(actual.b, expected.b, kTolerance) << "blue at " << x << "," << y;
}

HostOptions Frame(int frameStyle, std::optional<int> windowAlpha, ArgbColor background = 0xFE000000) {
  HostOptions options;
  options.backgroundColor = background;
  options.captionFlags = 0;
  options.windowAlpha = windowAlpha;
  options.frameStyle = frameStyle;
  return options;
}

TEST(Composition, LayeredWindowHasAShadowBandOfFourFadingRings) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Frame(7, 250)));
  // Down the middle of the top edge: nothing, then the rings from the
  // outside in (alpha 5, 10, 25, 45), black as the shadow colour says.
  const int expected[6] = {0, 0, 5, 10, 25, 45};
  for (int y = 0; y < 6; ++y) ExpectPixel(host, 150, y, {expected[y], 0, 0, 0});
  // The same on the left edge and the bottom edge.
  for (int x = 0; x < 6; ++x) ExpectPixel(host, x, 100, {expected[x], 0, 0, 0});
  for (int y = 0; y < 6; ++y) ExpectPixel(host, 150, 199 - y, {expected[y], 0, 0, 0});
}

TEST(Composition, ShadowFollowsTheShadowColourAndNeedsFlag512) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Frame(7, 250)));
  host.SetShadowColor(0xFE0000FF);  // read as RGB: red
  host.Compose();
  ExpectPixel(host, 150, 5, {45, 45, 0, 0});
  host.CaptionFlags(0);  // no shadow bit
  host.Compose();
  ExpectPixel(host, 150, 5, {0, 0, 0, 0});
}

TEST(Composition, BorderIsGreyOutsideAndWhiteInside) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Frame(7, std::nullopt)));
  // Outer: RGB(96, 96, 96) at alpha 204 over black; inner: white at 102.
  ExpectPixel(host, 150, 6, {255, 77, 77, 77});
  ExpectPixel(host, 150, 7, {254, 102, 102, 102});
  ExpectPixel(host, 150, 8, {254, 0, 0, 0});
  ExpectPixel(host, 6, 100, {255, 77, 77, 77});
  ExpectPixel(host, 7, 100, {254, 102, 102, 102});
  // A window that is not layered has no shadow.
  for (int y = 0; y < 6; ++y) ExpectPixel(host, 150, y, {0, 0, 0, 0});
}

TEST(Composition, RoundedFramesCutTheCornersSquareFramesDoNot) {
  TestWindow window(100, 100, 300, 200);
  HostWindow rounded, square;
  ASSERT_TRUE(rounded.Create(window.hwnd(), Frame(7, std::nullopt)));
  TestWindow other(100, 100, 300, 200);
  ASSERT_TRUE(square.Create(other.hwnd(), Frame(0, std::nullopt)));
  ExpectPixel(rounded, 6, 6, {0, 0, 0, 0});
  ExpectPixel(square, 6, 6, {255, 77, 77, 77});
  ExpectPixel(square, 7, 7, {254, 102, 102, 102});
  ExpectPixel(rounded, 293, 193, {0, 0, 0, 0});
  ExpectPixel(square, 293, 193, {255, 77, 77, 77});
  // Any frame style other than 0 and 1 is the rounded frame.
  TestWindow third(100, 100, 300, 200);
  HostWindow three;
  ASSERT_TRUE(three.Create(third.hwnd(), Frame(3, std::nullopt)));
  for (int d = 0; d < 12; ++d)
    EXPECT_EQ(three.Composition().CompositionSurface().PixelAt(d, d),
              rounded.Composition().CompositionSurface().PixelAt(d, d))
        << d;
}

TEST(Composition, BackgroundLayerOfALayeredWindowHasTheWindowAlpha) {
  const std::vector<std::uint8_t> png = test::SolidPng(300, 200, 0xFF204080);
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  HostOptions options = Frame(7, 250);
  options.backgroundImage = png;
  options.edgeFade = 0;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  // Premultiplied: each channel scaled by 250/255.
  ExpectPixel(host, 150, 100, {250, 0x20 * 250 / 255, 0x40 * 250 / 255, 0x80 * 250 / 255});

  // Window alpha 0: the background vanishes, the border stays.
  TestWindow clearWindow(100, 100, 300, 200);
  HostWindow clear;
  options.windowAlpha = 0;
  ASSERT_TRUE(clear.Create(clearWindow.hwnd(), options));
  ExpectPixel(clear, 150, 100, {0, 0, 0, 0});
  EXPECT_GT(Unpack(clear.Composition().CompositionSurface().PixelAt(150, 6)).a, 150);
}

TEST(Composition, BackgroundColourComesFromTheImageUnlessOneIsGiven) {
  const std::vector<std::uint8_t> png = test::SolidPng(300, 200, 0xFF204080);
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  HostOptions options = Frame(7, 250);
  options.backgroundImage = png;
  options.backgroundColor.reset();
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  EXPECT_EQ(host.Composition().BackgroundColor(), 0x804020u) << "the image's mean colour, red in the low byte";
  host.Compose(png, 0xFE112233);
  EXPECT_EQ(host.Composition().BackgroundColor(), 0xFE112233u) << "an explicit colour wins";
}

int PaintGreen(HWND, GpGraphics* graphics, int, int) {
  gp::GdipGraphicsClear(graphics, 0xFF00FF00);
  return 0;
}

TEST(Composition, BackgroundHookPaintsUnderTheBorderAndTheShadow) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Frame(0, 255)));
  host.SetOnPaintBackground(&PaintGreen);
  host.Compose();
  ExpectPixel(host, 150, 100, {255, 0, 255, 0});
  // The borders are drawn over it: grey (96) at alpha 204, white at 102.
  ExpectPixel(host, 150, 6, {255, 77, 128, 77});
  ExpectPixel(host, 150, 7, {255, 102, 255, 102});
  // It paints the body only; the shadow band keeps its rings.
  ExpectPixel(host, 150, 5, {45, 0, 0, 0});
}

TEST(Composition, FramelessWindowWithoutImageIsFullyTransparent) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Frame(1, 250, 0xFEFFFFFF)));
  for (int y = 0; y < 200; y += 13) {
    for (int x = 0; x < 300; x += 17)
      ASSERT_EQ(host.Composition().CompositionSurface().PixelAt(x, y), 0u) << x << "," << y;
  }
  EXPECT_FALSE(host.Composition().ClipsItems()) << "no control clip for a frameless window";
}

class ComposedControl : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), Frame(1, 255)));
    control.colour = 0xFFFF0000;
    ASSERT_NE(control.Create(window.hwnd(), {20, 20, 40, 40}, kKindButton, true), nullptr);
    test::Pump();
  }
  TestWindow window{100, 100, 300, 200};
  HostWindow host;
  RecordingControl control;
};

TEST_F(ComposedControl, DisabledControlIsComposedAtHalfOpacity) {
  host.Compose();
  ExpectPixel(host, 30, 30, {255, 255, 0, 0});
  test::ControlPeer::Disabled(control) = 1;
  host.Compose();
  ExpectPixel(host, 30, 30, {127, 127, 0, 0});
  // The partial redraw composes it the same way.
  host.RedrawRect(control.Bounds(), false);
  ExpectPixel(host, 30, 30, {127, 127, 0, 0});
  // A control that draws its own disabled look keeps its opacity.
  control.answers[kMsgDisabledLook] = 0;
  host.Compose();
  ExpectPixel(host, 30, 30, {255, 255, 0, 0});
}

TEST_F(ComposedControl, OpacityScalesTheControlAndHiddenControlsAreNotDrawn) {
  test::ControlPeer::Opacity(control) = 102;
  host.Compose();
  ExpectPixel(host, 30, 30, {102, 102, 0, 0});
  test::ControlPeer::Visible(control) = 0;
  host.Compose();
  ExpectPixel(host, 30, 30, {0, 0, 0, 0});
}

TEST_F(ComposedControl, FullCompositionAsksControlsToRefreshUnlessTold) {
  const int before = control.Count(kMsgRefresh);
  host.Compose();
  EXPECT_EQ(control.Count(kMsgRefresh), before + 1);
  host.Compose({}, std::nullopt, 0, /*keepControlSurfaces=*/true);
  EXPECT_EQ(control.Count(kMsgRefresh), before + 1);
}

TEST_F(ComposedControl, ControlThatOnlyTouchesTheDirtyRectangleIsNotRedrawn) {
  // A control in the middle of a transition is asked how to draw itself;
  // that question shows whether the compositor looked at it.
  test::ControlPeer::TransitionInterval(control) = 60;
  test::ControlPeer::TransitionFrames(control) = 4;
  test::ControlPeer::TransitionFrame(control) = 1;
  test::ControlPeer::Snapshot(control) = test::SolidBitmap(40, 40, 0xFF0000FF);
  control.answers[kMsgDrawTransition] = 1;
  const int before = control.Count(kMsgDrawTransition);
  host.RedrawRect({60, 20, 10, 10}, false);  // touches the right edge
  host.RedrawRect({20, 0, 10, 20}, false);   // touches the top edge
  EXPECT_EQ(control.Count(kMsgDrawTransition), before);
  host.RedrawRect({59, 20, 10, 10}, false);  // shares a column
  EXPECT_EQ(control.Count(kMsgDrawTransition), before + 1);
  test::ControlPeer::Snapshot(control).reset();
}

TEST_F(ComposedControl, CrossFadeShowsFiveBlendsFiftyMillisecondsApartThenTheNewPicture) {
  const std::vector<std::uint8_t> png = test::SolidPng(300, 200, 0xFF00FF00);
  test::TimerLog timers;
  test::PresentationLog log(window.hwnd(), {150, 100});
  host.Compose(png, std::nullopt, 1);  // from the transparent window to green
  EXPECT_TRUE(host.Composition().IsBusy());
  EXPECT_TRUE(host.Composition().HoldsFadeSnapshot()) << "the old picture is kept for the fade";
  EXPECT_EQ(timers.PeriodsOf(host.Composition().FadeTimerId()), std::vector<UINT>{50});
  ASSERT_TRUE(test::PumpUntil([&] { return !host.Composition().IsBusy(); }, 3000));
  // Each tick shows the blend of the tick before, and blends the new picture
  // over it at 51, 102, 153, 204 and 255: green 0, then 51, then
  // 102 + 51 x 0.6 = 133, 153 + 133 x 0.4 = 206, 204 + 206 x 0.2 = 245,
  // and the new picture itself.
  const int expected[] = {0, 51, 133, 206, 245, 255};
  ASSERT_EQ(log.entries.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(Unpack(log.entries[i].probe).g, expected[i], kTolerance) << "presentation " << i;
    EXPECT_NEAR(Unpack(log.entries[i].probe).a, expected[i], kTolerance) << "presentation " << i;
  }
  EXPECT_FALSE(host.Composition().HoldsFadeSnapshot());
  ExpectPixel(host, 150, 100, {255, 0, 255, 0});
  // Controls are composed over the new background.
  ExpectPixel(host, 30, 30, {255, 255, 0, 0});
}

TEST(Composition, CrossFadeOfAWindowThatIsNotLayeredNeedsNoFadeSurface) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Frame(7, std::nullopt)));
  host.Compose({}, 0xFE00FF00, 1);
  EXPECT_FALSE(host.Composition().HoldsFadeSnapshot());
  ASSERT_TRUE(test::PumpUntil([&] { return !host.Composition().IsBusy(); }, 3000));
  EXPECT_EQ(host.Composition().FadeAlpha(), 255);
}

TEST(Composition, WindowWithABackgroundOwnerTakesTheOwnersBackground) {
  const std::vector<std::uint8_t> png = test::SolidPng(300, 200, 0xFF204080);
  TestWindow ownerWindow(100, 100, 300, 200), window(120, 120, 300, 200);
  HostWindow owner, host;
  HostOptions ownerOptions = Frame(7, 250, 0xFE123456);
  ownerOptions.backgroundImage = png;
  ASSERT_TRUE(owner.Create(ownerWindow.hwnd(), ownerOptions));
  HostOptions options = Frame(7, 250);
  options.backgroundOwner = ownerWindow.hwnd();
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  host.Compose(png, 0xFE00FF00);
  EXPECT_EQ(host.Composition().BackgroundImage(), owner.Composition().BackgroundImage()) << "shared, not copied";
  EXPECT_EQ(host.Composition().BackgroundColor(), owner.Composition().BackgroundColor());
  EXPECT_EQ(host.Composition().BackgroundGeneration(), owner.Composition().BackgroundGeneration())
      << "the owner's frame, as it is";
}

TEST(Composition, AverageColorIsTheMeanOfEveryPixel) {
  ImagePtr half = test::SolidBitmap(10, 10, 0xFF000000);
  test::FillBitmapRect(half.get(), 0, 0, 5, 10, 0xFFC86432);
  HDC screen = GetDC(nullptr);
  // Half of (0xC8, 0x64, 0x32): (100, 50, 25), red in the low byte.
  EXPECT_EQ(AverageColor(screen, half.get()), 100u | (50u << 8) | (25u << 16));
  EXPECT_EQ(AverageColor(screen, nullptr), 0u);
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

// A 100 x 60 picture: red with a blue 10-pixel border.
std::vector<std::uint8_t> FramedPicture() {
  ImagePtr picture = test::SolidBitmap(100, 60, 0xFF0000FF);
  test::FillBitmapRect(picture.get(), 10, 10, 80, 40, 0xFFFF0000);
  return test::EncodeImage(picture.get(), L"image/png");
}

TEST(Composition, BackgroundModesPlaceTheImage) {
  const std::vector<std::uint8_t> png = FramedPicture();
  struct Case {
    int mode;
    int x, y;
    bool red;  // red centre or blue border at that point
  };
  for (const Case& c : {Case{0, 5 + 50, 5 + 30, true}, Case{0, 5 + 5, 5 + 30, false}, Case{1, 150, 100, true},
                        Case{1, 10, 100, false}, Case{2, 150, 100, true}, Case{2, 100 + 5, 70 + 30, false}}) {
    TestWindow window(100, 100, 300, 200);
    HostWindow host;
    HostOptions options = Frame(7, std::nullopt, 0xFE00FF00);
    options.backgroundImage = png;
    options.backgroundMode = c.mode;
    options.edgeFade = 0;
    ASSERT_TRUE(host.Create(window.hwnd(), options));
    const Pixel p = Unpack(host.Composition().CompositionSurface().PixelAt(c.x, c.y));
    EXPECT_EQ(c.red ? p.r : p.b, 255) << "mode " << c.mode << " at " << c.x << "," << c.y;
  }
}

TEST(Composition, EdgeFadeBlendsTheImageIntoTheBackgroundColour) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  const std::vector<std::uint8_t> png = FramedPicture();
  HostOptions options = Frame(7, std::nullopt, 0xFE00FF00);
  options.backgroundImage = png;
  options.backgroundMode = 2;
  options.edgeFade = 1;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  // The image (100 x 60 at (100, 70)) is green at its edges and itself inside.
  EXPECT_GT(Unpack(host.Composition().CompositionSurface().PixelAt(100, 100)).g, 200) << "edge: the background colour";
  EXPECT_EQ(Unpack(host.Composition().CompositionSurface().PixelAt(150, 100)).r, 255) << "centre: the image";
}

TEST(Composition, FramelessNineGridStretchesTheCentreAndKeepsTheCorners) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  const std::vector<std::uint8_t> png = FramedPicture();
  HostOptions options = Frame(1, 255);
  options.backgroundImage = png;
  options.nineGrid = RECT{10, 10, 90, 50};
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  EXPECT_EQ(Unpack(host.Composition().CompositionSurface().PixelAt(5, 5)).b, 255) << "corner";
  EXPECT_EQ(Unpack(host.Composition().CompositionSurface().PixelAt(150, 5)).b, 255) << "top edge, stretched";
  EXPECT_EQ(Unpack(host.Composition().CompositionSurface().PixelAt(150, 100)).r, 255) << "centre, stretched";
  EXPECT_EQ(Unpack(host.Composition().CompositionSurface().PixelAt(294, 194)).b, 255) << "corner";
  EXPECT_FALSE(host.Composition().ClipsItems());
}

}  // namespace
}  // namespace ui

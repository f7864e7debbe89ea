// Every drawn control on one window, composed and saved as a picture to
// look at (ENGINE_TEST_SHOTS); the checks compare each one with the colours
// it must show.
#include <gtest/gtest.h>

#include "engine/controls/Button.h"
#include "engine/controls/Label.h"
#include "engine/controls/PictureBox.h"
#include "engine/controls/ProgressBar.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/GifWriter.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

TEST(Gallery, EveryControlDrawsOnTheWindow) {
  test::TestWindow window(100, 100, 480, 260, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  SetWindowTextW(window.hwnd(), L"Gallery \u5b89\u88c5");
  HostWindow host;
  HostOptions options;
  options.backgroundColor = Rgb(40, 70, 120);  // the host keeps an RGB value
  options.windowAlpha = 250;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  ASSERT_NE(host.Caption().Title(), nullptr);
  ASSERT_NE(host.Caption().Icon(), nullptr);

  Button button;
  ButtonOptions buttonOptions;
  buttonOptions.textColor = 0xFFFFFFFF;
  buttonOptions.textEffect = 3;
  ImagePtr face = test::SolidBitmap(120, 32, 0xFF3A7BD5);
  button.NormalImage(test::EncodeImage(face.get(), L"image/png"));
  button.ImageMode(kImageStretched);
  ASSERT_NE(button.Create(window.hwnd(), 20, 50, 120, 32, "\xC1\xA2\xBC\xB4\xB0\xB2\xD7\xB0(&I)", buttonOptions),
            nullptr);

  Label label;
  LabelOptions labelOptions;
  labelOptions.textColor = 0xFFFFFFFF;
  labelOptions.textEffect = 3;
  labelOptions.fontSize = 18;
  labelOptions.backgroundMode = 0;
  labelOptions.backgroundColor1 = 0x00000000;
  labelOptions.backgroundColor2 = 0x60000000;
  ASSERT_NE(label.Create(window.hwnd(), 160, 50, 280, 32, "Nimbo \xD5\xFD\xD4\xDA\xB0\xB2\xD7\xB0", labelOptions),
            nullptr);

  ProgressBar bar;
  ProgressOptions barOptions;
  barOptions.fillStartColor = 0xFE0088FF;
  barOptions.fillEndColor = 0xFEFF0000;
  barOptions.borderColor = 0xFE0088FF;
  barOptions.rounded = 7;
  ASSERT_NE(bar.Create(window.hwnd(), 20, 110, 420, 21, 60, barOptions), nullptr);

  PictureBox picture;
  PictureOptions pictureOptions;
  pictureOptions.animate = 1;
  pictureOptions.frameStyle = 3;
  ASSERT_NE(picture.Create(window.hwnd(), 20, 150, 64, 64,
                           test::MakeAnimatedGif(16, 16, {{0xFF8800, 20}, {0x22AA44, 20}}), pictureOptions),
            nullptr);

  test::Pump();
  host.Compose();
  test::SaveSurface(host.Composition().CompositionSurface().bitmap(), "gallery");

  // Sample points of each control against the colours it must show there
  // (premultiplied, worked out from the options above), within a tolerance
  // of 3 per channel for GDI+'s rounding.
  const auto expectNear = [&](int x, int y, test::Pixel expected, const char* what) {
    const test::Pixel p = test::Unpack(host.Composition().CompositionSurface().PixelAt(x, y));
    EXPECT_TRUE(std::abs(p.a - expected.a) <= 3 && std::abs(p.r - expected.r) <= 3 && std::abs(p.g - expected.g) <= 3 &&
                std::abs(p.b - expected.b) <= 3)
        << what << " at " << x << "," << y << ": " << p.a << " " << p.r << " " << p.g << " " << p.b;
  };
  // The window: RGB(40, 70, 120) at alpha 250 (stored as 250).
  const test::Pixel window250{250, 39, 69, 118};
  expectNear(300, 200, window250, "window background");
  // The button's face, stretched and opaque, away from its caption.
  expectNear(23, 53, {255, 0x3A, 0x7B, 0xD5}, "button face");
  // The label's gradient: transparent at its left edge, black at alpha 0x60
  // at its right: the window shows through, darkened to 159/255.
  expectNear(161, 66, window250, "label, left edge");
  expectNear(438, 66, {250 + (255 - 250) * 96 / 255, 39 * 159 / 255, 69 * 159 / 255, 118 * 159 / 255},
             "label, right edge");
  // The bar at 60 of 100: blue where the fill starts, the white track past it.
  const test::Pixel fill = test::Unpack(host.Composition().CompositionSurface().PixelAt(26, 120));
  EXPECT_TRUE(fill.b > 200 && fill.r < 40 && fill.a > 245) << "bar fill start: " << fill.r << " " << fill.b;
  const test::Pixel track = test::Unpack(host.Composition().CompositionSurface().PixelAt(20 + 2 + 252 + 40, 120));
  EXPECT_TRUE(track.a > 245 && track.r > 180 && track.g > 180 && track.b > 180) << "bar track";
  // The picture, stretched: one of its two frames, orange or green.
  const test::Pixel shown = test::Unpack(host.Composition().CompositionSurface().PixelAt(52, 182));
  const bool orange = shown.r == 255 && std::abs(shown.g - 0x88) <= 3 && shown.b <= 3;
  const bool green = std::abs(shown.r - 0x22) <= 3 && std::abs(shown.g - 0xAA) <= 3 && std::abs(shown.b - 0x44) <= 3;
  EXPECT_TRUE(orange || green) << "picture: " << shown.r << " " << shown.g << " " << shown.b;
}

}  // namespace
}  // namespace ui

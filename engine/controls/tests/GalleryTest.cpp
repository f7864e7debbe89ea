// Every drawn control on one window, composed and saved as a picture to
// look at (ENGINE_TEST_SHOTS); the checks make sure each one drew itself.
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
  ASSERT_NE(host.titleLabel, nullptr);
  ASSERT_NE(host.iconPicture, nullptr);

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
  test::SaveSurface(host.surface.bitmap(), "gallery");

  const std::uint32_t background = host.surface.PixelAt(300, 200);
  for (const Control* control : std::initializer_list<const Control*>{&button, &label, &bar, &picture}) {
    int differing = 0;
    for (int y = 2; y < static_cast<int>(control->bounds.height) - 2; y += 3) {
      for (int x = 2; x < static_cast<int>(control->bounds.width) - 2; x += 3) {
        differing += host.surface.PixelAt(static_cast<int>(control->bounds.left) + x,
                                          static_cast<int>(control->bounds.top) + y) != background;
      }
    }
    EXPECT_GT(differing, 10) << "control of kind " << control->kind << " drew nothing";
  }
}

}  // namespace
}  // namespace ui

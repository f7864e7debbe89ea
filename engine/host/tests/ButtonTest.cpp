#include "engine/controls/Button.h"

#include <gtest/gtest.h>

#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

using test::SolidPng;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080;

class Buttons : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost()));
    host.Show();
    normal = SolidPng(40, 20, kRed);
    hover = SolidPng(40, 20, kGreen);
    pressed = SolidPng(40, 20, kBlue);
  }

  std::uint32_t SurfaceColour(Button& button) { return test::PixelAt(button.DrawSurface(), 20, 10); }
  std::uint32_t ScreenColour(int x, int y) {
    const test::Pixel p = test::Unpack(host.Composition().CompositionSurface().PixelAt(x, y));
    return (static_cast<std::uint32_t>(p.a) << 24) | (p.r << 16) | (p.g << 8) | p.b;
  }
  void WaitForTransitionEnd(Button& button) {
    ASSERT_TRUE(test::PumpUntil(
        [&] { return button.TransitionFrames() == 0 && test::ControlPeer::Snapshot(button) == nullptr; }, 3000));
  }

  test::TestWindow window{100, 100, 300, 200};
  HostWindow host;
  std::vector<std::uint8_t> normal, hover, pressed;
};

TEST_F(Buttons, ShowsTheImageOfEachStateAndTheNormalOneWhenAStateHasNone) {
  Button full, single;
  full.SetImages(normal, hover, pressed);
  single.NormalImage(normal);
  ASSERT_NE(full.Create(window.hwnd(), 10, 10, 40, 20, ""), nullptr);
  ASSERT_NE(single.Create(window.hwnd(), 60, 10, 40, 20, ""), nullptr);
  struct Step {
    unsigned message;
    std::uint32_t fullColour;
  };
  for (const Step& step : {Step{kMsgMouseEntered, kGreen}, Step{WM_LBUTTONDOWN, kBlue}, Step{WM_LBUTTONUP, kGreen},
                           Step{kMsgMouseLeft, kRed}}) {
    DeliverMessage(&full, step.message, 0, 0);
    DeliverMessage(&single, step.message, 0, 0);
    EXPECT_EQ(SurfaceColour(full), step.fullColour) << step.message;
    EXPECT_EQ(SurfaceColour(single), kRed) << "only a normal image: it shows in every state";
  }
}

TEST_F(Buttons, FocusFromTheKeyboardShowsTheHoverLookAndAFrameThatGoesWithIt) {
  Button first, second;
  first.SetImages(normal, hover, pressed);
  second.SetImages(normal, hover, pressed);
  ASSERT_NE(first.Create(window.hwnd(), 10, 10, 40, 20, ""), nullptr);
  ASSERT_NE(second.Create(window.hwnd(), 60, 10, 40, 20, ""), nullptr);
  // The top row of a button's surface: the dashed frame darkens some of it.
  const auto framed = [](Button& button) {
    int dark = 0;
    for (int x = 0; x < 40; ++x) {
      const std::uint32_t pixel = test::PixelAt(button.DrawSurface(), x, 0);
      dark += pixel != kRed && pixel != kGreen;
    }
    return dark;
  };
  const auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageW(window.hwnd(), message, wParam, lParam);
  };

  send(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(SurfaceColour(first), kGreen);
  EXPECT_GT(framed(first), 10);
  send(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(SurfaceColour(first), kRed) << "the mark leaves with the focus";
  EXPECT_EQ(framed(first), 0);
  EXPECT_EQ(SurfaceColour(second), kGreen);
  EXPECT_GT(framed(second), 10);

  // Focus taken by a press elsewhere: the mark goes; a pressed button
  // shows no frame.
  send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  send(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(host.FocusControl(), &first);
  EXPECT_EQ(SurfaceColour(second), kRed);
  EXPECT_EQ(framed(second), 0);
  EXPECT_EQ(framed(first), 0);
}

TEST_F(Buttons, ImageModeZeroDrawsAtNaturalSizeAtTheCorner) {
  Button button;
  button.NormalImage(SolidPng(10, 8, kRed));
  ASSERT_NE(button.Create(window.hwnd(), 10, 10, 40, 20, ""), nullptr);
  EXPECT_EQ(test::PixelAt(button.DrawSurface(), 9, 7), kRed);
  EXPECT_EQ(test::PixelAt(button.DrawSurface(), 10, 8) >> 24, 0u) << "not scaled";
  button.ImageMode(kImageStretched);
  EXPECT_EQ(test::PixelAt(button.DrawSurface(), 30, 15), kRed);
}

TEST_F(Buttons, DisabledWithoutItsOwnImageIsComposedAtHalfOpacity) {
  Button plain, withImage;
  plain.NormalImage(normal);
  withImage.SetImages(normal, std::nullopt, std::nullopt, SolidPng(40, 20, kGrey));
  ASSERT_NE(plain.Create(window.hwnd(), 10, 10, 40, 20, ""), nullptr);
  ASSERT_NE(withImage.Create(window.hwnd(), 60, 10, 40, 20, ""), nullptr);
  plain.Disabled(1);
  withImage.Disabled(1);
  test::Pump();
  host.Compose();
  const test::Pixel half = test::Unpack(host.Composition().CompositionSurface().PixelAt(30, 20));
  EXPECT_NEAR(half.a, 127, 1) << "the normal image at half opacity";
  EXPECT_NEAR(half.r, 127, 1);
  EXPECT_EQ(SurfaceColour(withImage), kGrey);
  EXPECT_EQ(ScreenColour(80, 20), kGrey) << "its own disabled image at full opacity";
}

TEST_F(Buttons, EnteringCrossFadesOverFourFramesAndAPressRedrawsAtOnce) {
  Button button;
  button.SetImages(normal, hover, pressed);
  ASSERT_NE(button.Create(window.hwnd(), 10, 10, 40, 20, ""), nullptr);
  test::Pump();
  DeliverMessage(&button, kMsgMouseEntered, 0, 0);
  EXPECT_EQ(button.TransitionFrames(), 4);
  EXPECT_EQ(button.TransitionInterval(), 60);
  EXPECT_EQ(SurfaceColour(button), kGreen) << "the new look is drawn at once";
  ASSERT_NE(test::ControlPeer::Snapshot(button), nullptr) << "and cross-faded from the old one";
  EXPECT_EQ(test::PixelAt(test::ControlPeer::Snapshot(button).get(), 20, 10), kRed);

  // Pressed within the fade: drawn at once, the fade restarts from what shows.
  DeliverMessage(&button, WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(SurfaceColour(button), kBlue);
  EXPECT_EQ(button.TransitionFrame(), 0) << "a new transition began";
  ASSERT_NE(test::ControlPeer::Snapshot(button), nullptr);
  EXPECT_EQ(test::PixelAt(test::ControlPeer::Snapshot(button).get(), 20, 10), kGreen);
  WaitForTransitionEnd(button);
  EXPECT_EQ(ScreenColour(30, 20), kBlue);

  // After the fade, pressing and releasing switch without a transition.
  DeliverMessage(&button, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(test::ControlPeer::Snapshot(button), nullptr);
  test::Pump();  // the posted redraw
  EXPECT_EQ(ScreenColour(30, 20) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(Buttons, CaptionMnemonicIsRegisteredWithTheHost) {
  Button withLetter, without;
  ASSERT_NE(withLetter.Create(window.hwnd(), 10, 10, 60, 20, "Sa&ve"), nullptr);
  ASSERT_NE(without.Create(window.hwnd(), 10, 40, 60, 20, "Save"), nullptr);
  auto codeOf = [&](Control* control) {
    for (const Mnemonic& m : host.Input().Mnemonics()) {
      if (m.control == control) return m.keyCode;
    }
    return -1;
  };
  EXPECT_EQ(codeOf(&withLetter), 'v');
  EXPECT_EQ(codeOf(&without), 0);
  withLetter.Text(std::string("&Open"));
  EXPECT_EQ(codeOf(&withLetter), 'O') << "re-registered when the caption changes";
  EXPECT_EQ(Button::MnemonicOf(L"x&"), 0);
  EXPECT_EQ(Button::MnemonicOf(L"&&a"), '&');
}

TEST_F(Buttons, CaptionIsDrawnInItsColourWithTheMnemonicHidden) {
  Button button;
  ButtonOptions options;
  options.textColor = 0xFFFFFFFF;
  ASSERT_NE(button.Create(window.hwnd(), 10, 10, 120, 40, "&Install", options), nullptr);
  int whitePixels = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const std::uint32_t c = test::PixelAt(button.DrawSurface(), x, y);
      whitePixels += (c >> 24) > 128 && (c & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
    }
  }
  EXPECT_GT(whitePixels, 20) << "the caption is drawn";
  EXPECT_EQ(test::PixelAt(button.DrawSurface(), 1, 1), 0u) << "no image: the rest stays transparent";

  // A format given to the button replaces its own and is drawn with: without
  // the hot-key prefix the "&" shows.
  GpStringFormat* format = nullptr;
  ASSERT_EQ(gp::GdipCreateStringFormat(Gdiplus::StringFormatFlagsNoWrap, LANG_NEUTRAL, &format), Gdiplus::Ok);
  EXPECT_EQ(button.StringFormat(format), format);
  int whiteWithAmpersand = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const std::uint32_t c = test::PixelAt(button.DrawSurface(), x, y);
      whiteWithAmpersand += (c >> 24) > 128 && (c & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
    }
  }
  EXPECT_GT(whiteWithAmpersand, whitePixels) << "redrawn with the new format";
}

TEST_F(Buttons, SettersBeforeCreateOnlyStoreAndTheSharedFontIsNeverDeleted) {
  Button button;
  button.NormalImage(normal);
  EXPECT_EQ(button.TextColor(0xFF123456), 0xFF123456u);
  EXPECT_EQ(button.GetHandle(), nullptr);
  ASSERT_NE(button.Create(window.hwnd(), 10, 10, 40, 20, "x"), nullptr);
  EXPECT_EQ(test::ControlPeer::Font(button).get(), DefaultFont()) << "no font given: the shared default font";
  button.Destroy();
  EXPECT_NE(DefaultFont(), nullptr);
  EXPECT_TRUE(test::ControlPeer::NormalImage(button).empty()) << "destroying empties the images";
  Button sized;
  ButtonOptions options;
  options.fontSize = 20;
  ASSERT_NE(sized.Create(window.hwnd(), 10, 10, 40, 20, "x", options), nullptr);
  EXPECT_NE(test::ControlPeer::Font(sized).get(), DefaultFont());
  EXPECT_FLOAT_EQ(sized.FontSize(), 20);
  EXPECT_FLOAT_EQ(sized.FontSize(14.0f), 14);
}

}  // namespace
}  // namespace ui

#include "engine/controls/Label.h"

#include <gtest/gtest.h>

#include "engine/core/EngineMessages.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

int paints = 0;
int CountPaints(Control*, unsigned message, WPARAM, LPARAM) {
  if (message == WM_PAINT) ++paints;
  return kUnhandled;
}

std::vector<std::uint8_t> SolidBackground(std::uint32_t argb) { return test::SolidPng(300, 200, argb); }

// The brightest colour among the label's opaque text pixels.
int BrightestText(Label& label) {
  int brightest = -1;
  for (int y = 0; y < static_cast<int>(label.Bounds().height); ++y) {
    for (int x = 0; x < static_cast<int>(label.Bounds().width); ++x) {
      const std::uint32_t c = test::PixelAt(label.DrawSurface(), x, y);
      if ((c >> 24) > 150) brightest = std::max(brightest, static_cast<int>((c >> 16) & 0xFF));
    }
  }
  return brightest;
}

class Labels : public testing::Test {
 protected:
  void Attach(std::vector<std::uint8_t> image) {
    HostOptions options;
    options.captionFlags = 0;
    options.windowAlpha = 255;
    options.frameStyle = 1;
    options.backgroundImage = image;
    background = std::move(image);
    ASSERT_TRUE(host.Create(window.hwnd(), options));
  }
  void SetUp() override { Attach(SolidBackground(0xFF202020)); }

  test::TestWindow window{100, 100, 300, 200};
  HostWindow host;
  std::vector<std::uint8_t> background;
};

TEST(LabelLayout, OneLineTextIsPlacedByItsVerticalAlignment) {
  // A label 100 high: text area 96 high from y 2; measured height 20.
  EXPECT_EQ(LabelTextTop(2, 96, 20, kAlignMiddle), 40);
  EXPECT_EQ(LabelTextTop(2, 96, 20, kAlignTop), 4);
  EXPECT_EQ(LabelTextTop(2, 96, 20, kAlignBottom), 76);
}

TEST_F(Labels, DrawsItsTextAtTheComputedTop) {
  Label label;
  ASSERT_NE(label.Create(window.hwnd(), 10, 10, 200, 100, "Nimbo"), nullptr);
  ASSERT_GT(test::ControlPeer::MeasuredHeight(label), 0);
  EXPECT_FLOAT_EQ(label.LastLayout().top, 2 + (96 - test::ControlPeer::MeasuredHeight(label)) / 2.0f);
  label.VerticalAlign(kAlignBottom);
  EXPECT_FLOAT_EQ(label.LastLayout().top, 98 - test::ControlPeer::MeasuredHeight(label) - 2.0f);
}

TEST_F(Labels, SameTextDoesNotRedrawUnlessAnimated) {
  Label label;
  label.SetOnMessage(&CountPaints);
  ASSERT_NE(label.Create(window.hwnd(), 10, 10, 200, 30, "one"), nullptr);
  paints = 0;
  label.Text(std::string("one"));
  EXPECT_EQ(paints, 0);
  label.Text(std::string("two"));
  EXPECT_EQ(paints, 1);
  label.Text(std::string("two"), 1, 0, 3, 30);
  EXPECT_EQ(paints, 2) << "animated: drawn again even though the text is the same";
  EXPECT_EQ(label.TransitionFrames(), 3);
  ASSERT_NE(test::ControlPeer::Snapshot(label), nullptr) << "a transition runs";
  ASSERT_TRUE(test::PumpUntil([&] { return label.TransitionFrames() == 0; }, 3000));
  EXPECT_EQ(test::ControlPeer::TextTransitionPending(label), 0);
  label.Text(std::string("three"));
  EXPECT_EQ(test::ControlPeer::Snapshot(label), nullptr) << "later changes are immediate again";
}

TEST_F(Labels, AutomaticTextColourFollowsTheBackground) {
  Label label;
  LabelOptions options;
  options.autoTextColor = 1;
  options.textColor = 0xC0808080;
  options.fontSize = 20;
  ASSERT_NE(label.Create(window.hwnd(), 10, 10, 200, 40, "Nimbo Nimbo", options), nullptr);
  EXPECT_GT(BrightestText(label), 200) << "white on the dark background";
  host.Compose(SolidBackground(0xFFF0F0F0));
  EXPECT_LT(BrightestText(label), 60) << "black once the background is light";
}

TEST_F(Labels, GradientBackgroundRunsFromTheFirstColourToTheSecond) {
  Label label;
  LabelOptions options;
  options.backgroundMode = 1;  // vertical
  options.backgroundColor1 = 0;
  options.backgroundColor2 = 0xFF000000;
  ASSERT_NE(label.Create(window.hwnd(), 10, 10, 100, 100, "", options), nullptr);
  EXPECT_LT(test::PixelAt(label.DrawSurface(), 50, 1) >> 24, 10u);
  EXPECT_GT(test::PixelAt(label.DrawSurface(), 50, 98) >> 24, 240u);
}

TEST_F(Labels, WordWrapSwitchesTheStringFormatFlags) {
  Label label;
  ASSERT_NE(label.Create(window.hwnd(), 10, 10, 60, 100, "a long text that wraps"), nullptr);
  EXPECT_EQ(label.FormatFlags(), Gdiplus::StringFormatFlagsNoWrap);
  EXPECT_EQ(label.LastLayout().height, test::ControlPeer::MeasuredHeight(label)) << "one line: as high as the text";
  label.WordWrap(1);
  EXPECT_EQ(label.FormatFlags(), 0x6C00);
  EXPECT_GT(label.LastLayout().height, 100) << "wrapped: the whole label and a line more";
  EXPECT_EQ(label.LastLayout().top, 2);
}

TEST_F(Labels, GlowInEffectColourZeroDrawsNoHalo) {
  // Colour 0 is a colour (fully transparent), not "none": no automatic halo.
  LabelOptions plain;
  plain.textColor = 0xFFFFFFFF;
  plain.fontSize = 18;
  LabelOptions glowing = plain;
  glowing.textEffect = 3;
  glowing.effectColor = 0;
  Label a, b;
  ASSERT_NE(a.Create(window.hwnd(), 10, 10, 200, 40, "Nimbo", plain), nullptr);
  ASSERT_NE(b.Create(window.hwnd(), 10, 60, 200, 40, "Nimbo", glowing), nullptr);
  int differing = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) {
      const test::Pixel p = test::Unpack(test::PixelAt(a.DrawSurface(), x, y));
      const test::Pixel q = test::Unpack(test::PixelAt(b.DrawSurface(), x, y));
      differing += std::abs(p.a - q.a) > 1 || std::abs(p.r - q.r) > 1 ? 1 : 0;
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST_F(Labels, NewStringFormatIsMeasuredAndDrawn) {
  Label label;
  label.SetOnMessage(&CountPaints);
  ASSERT_NE(label.Create(window.hwnd(), 10, 10, 200, 30, "a&b&c&d&e&f&g"), nullptr);
  const int withAmpersands = test::ControlPeer::MeasuredWidth(label);
  GpStringFormat* format = nullptr;
  ASSERT_EQ(gp::GdipCreateStringFormat(Gdiplus::StringFormatFlagsNoWrap, LANG_NEUTRAL, &format), Gdiplus::Ok);
  gp::GdipSetStringFormatHotkeyPrefix(format, Gdiplus::HotkeyPrefixHide);
  paints = 0;
  EXPECT_EQ(label.StringFormat(format), format);
  EXPECT_LT(test::ControlPeer::MeasuredWidth(label), withAmpersands)
      << "measured again: the ampersands are now prefixes";
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(label.Alignment(Gdiplus::StringAlignmentFar), Gdiplus::StringAlignmentFar);
  INT alignment = 0;
  gp::GdipGetStringFormatAlign(format, reinterpret_cast<Gdiplus::StringAlignment*>(&alignment));
  EXPECT_EQ(alignment, Gdiplus::StringAlignmentFar) << "the label's accessors act on the new format";
}

}  // namespace
}  // namespace ui

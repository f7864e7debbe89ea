#include "engine/controls/ProgressBar.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

struct Argb {
  int a, r, g, b;
};
Argb At(ProgressBar& bar, int x, int y) {
  const std::uint32_t c = test::PixelAt(bar.DrawSurface(), x, y);
  return {static_cast<int>(c >> 24), static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF),
          static_cast<int>(c & 0xFF)};
}

// The installer's bar: blue at the start, red at the end, rounded.
ProgressOptions InstallerBar() {
  ProgressOptions options;
  options.reserved = 1;
  options.fillStartColor = 0xFE0088FF;
  options.fillEndColor = 0xFEFF0000;
  options.borderColor = 0xFE0088FF;
  options.rounded = 7;
  return options;
}

class ProgressBars : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost())); }
  // Whether a pixel shows the fill: nearly opaque and saturated, unlike the
  // white translucent track.
  static bool Filled(const Argb& p) { return p.a > 240 && (p.r < 200 || p.b < 200) && p.g < 160; }

  test::TestWindow window{50, 50, 800, 300};
  HostWindow host;
};

TEST_F(ProgressBars, HalfPositionFillsHalfTheInnerWidth) {
  ProgressBar bar;
  ASSERT_NE(bar.Create(window.hwnd(), 100, 40, 650, 21, 50, InstallerBar()), nullptr);
  EXPECT_EQ(test::ControlPeer::FillLength(bar), 323);
  EXPECT_TRUE(Filled(At(bar, 2 + 322, 10))) << "the last filled column";
  EXPECT_FALSE(Filled(At(bar, 2 + 324, 10))) << "past the fill: the track";
  // Halfway along the track the gradient is halfway from blue to red.
  const Argb end = At(bar, 2 + 322, 10);
  EXPECT_NEAR(end.r, end.b, 8) << "red and blue meet in the middle";
  EXPECT_GT(end.r, 90);
}

// The installer's colours with a neutral border, so that border and fill
// cannot be mistaken for each other.
ProgressOptions NeutralBorder() {
  ProgressOptions options = InstallerBar();
  options.borderColor.reset();
  return options;
}

TEST_F(ProgressBars, FullPositionCoversTheInnerRectangle) {
  ProgressBar bar;
  ASSERT_NE(bar.Create(window.hwnd(), 100, 40, 650, 21, 100, NeutralBorder()), nullptr);
  EXPECT_EQ(test::ControlPeer::FillLength(bar), 646);
  for (int y : {3, 10, 17}) {
    EXPECT_TRUE(Filled(At(bar, 4, y))) << y;
    EXPECT_TRUE(Filled(At(bar, 645, y))) << y;
  }
  EXPECT_GT(At(bar, 4, 10).b, At(bar, 4, 10).r) << "blue at the start";
  EXPECT_GT(At(bar, 645, 10).r, At(bar, 645, 10).b) << "red at the end";
  EXPECT_FALSE(Filled(At(bar, 0, 10)));
  EXPECT_FALSE(Filled(At(bar, 649, 10)));
  EXPECT_FALSE(Filled(At(bar, 300, 0)));
  EXPECT_FALSE(Filled(At(bar, 300, 20)));
}

TEST_F(ProgressBars, MinimumShowsTrackShadowAndBorderOnly) {
  ProgressBar bar;
  ASSERT_NE(bar.Create(window.hwnd(), 100, 40, 650, 21, 0, InstallerBar()), nullptr);
  EXPECT_EQ(test::ControlPeer::FillLength(bar), 0);
  for (int x = 3; x < 647; x += 40) EXPECT_FALSE(Filled(At(bar, x, 10))) << x;
  const Argb track = At(bar, 300, 10);
  EXPECT_GT(track.a, 150) << "the translucent white track";
  EXPECT_GT(At(bar, 300, 17).a - At(bar, 300, 3).a, -1) << "the inner shadow darkens downwards";
  EXPECT_LT(At(bar, 300, 17).r, At(bar, 300, 3).r);
}

TEST_F(ProgressBars, TrackColourZeroStillDrawsShadowAndBorder) {
  ProgressBar bar;
  ProgressOptions options = InstallerBar();
  options.trackColor = 0;
  options.rounded = 0;
  ASSERT_NE(bar.Create(window.hwnd(), 100, 40, 650, 21, 0, options), nullptr);
  EXPECT_LT(At(bar, 300, 2).a, 10) << "no track: the top of the inner area is almost clear";
  EXPECT_GT(At(bar, 300, 18).a, 20) << "the inner shadow";
  const Argb border = At(bar, 300, 0);
  EXPECT_GT(border.a, 200) << "the border";
  EXPECT_GT(border.b, 200);
  EXPECT_GT(At(bar, 0, 0).a, 200) << "square corners";
}

TEST_F(ProgressBars, VerticalBarFillsUpwards) {
  ProgressBar bar;
  ProgressOptions options = InstallerBar();
  options.vertical = 1;
  ASSERT_NE(bar.Create(window.hwnd(), 10, 10, 21, 200, 50, options), nullptr);
  EXPECT_EQ(test::ControlPeer::FillLength(bar), 98);
  EXPECT_TRUE(Filled(At(bar, 10, 195)));
  EXPECT_TRUE(Filled(At(bar, 10, 100)));
  EXPECT_FALSE(Filled(At(bar, 10, 98)));
  EXPECT_GT(At(bar, 10, 195).b, At(bar, 10, 195).r) << "the start colour at the bottom";
}

TEST_F(ProgressBars, PositionsOutsideTheRangeDrawAsTheNearestEnd) {
  ProgressBar over, under;
  ASSERT_NE(over.Create(window.hwnd(), 100, 40, 650, 21, 150, NeutralBorder()), nullptr);
  ASSERT_NE(under.Create(window.hwnd(), 100, 80, 650, 21, -20, NeutralBorder()), nullptr);
  EXPECT_EQ(test::ControlPeer::FillLength(over), 646);
  EXPECT_EQ(over.Position(), 150) << "the position is kept as given";
  EXPECT_FALSE(Filled(At(over, 649, 10)));
  EXPECT_EQ(test::ControlPeer::FillLength(under), 0);
}

TEST_F(ProgressBars, PositionFromAnotherThreadIsDrawnBeforeTheCallReturns) {
  ProgressBar bar;
  ASSERT_NE(bar.Create(window.hwnd(), 100, 40, 650, 21, 0, InstallerBar()), nullptr);
  std::atomic<bool> done{false};
  std::atomic<int> fillSeenByWorker{-1};
  std::thread worker([&] {
    for (int p = 1; p <= 30; ++p) bar.Position(p);
    fillSeenByWorker = test::ControlPeer::FillLength(bar);
    done = true;
  });
  ASSERT_TRUE(test::PumpUntil([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(fillSeenByWorker.load(), 194) << "646 x 0.3, drawn by the time Position returned";
}

}  // namespace
}  // namespace ui

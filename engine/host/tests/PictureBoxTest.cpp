#include "engine/controls/PictureBox.h"

#include <gtest/gtest.h>

#include "engine/core/EngineMessages.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/GifWriter.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

using test::GifFrame;

// Records the interval scheduled for each frame as the picture plays.
class PlayingPicture : public PictureBox {
 public:
  std::vector<std::pair<int, int>> scheduled;  // (frame about to be drawn, interval ms)
  int draws = 0;
  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override {
    const int before = test::ControlPeer::ScheduledIntervalMs(*this);
    const int beforeFrame = test::ControlPeer::CurrentFrame(*this);
    const int answer = PictureBox::HandleMessage(message, wParam, lParam);
    if (message == WM_PAINT || message == WM_TIMER) {
      if (test::ControlPeer::CurrentFrame(*this) != beforeFrame ||
          test::ControlPeer::ScheduledIntervalMs(*this) != before) {
        ++draws;
        scheduled.push_back({test::ControlPeer::CurrentFrame(*this), test::ControlPeer::ScheduledIntervalMs(*this)});
      }
    }
    return answer;
  }
};

class Pictures : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost())); }
  test::TestWindow window{100, 100, 300, 200};
  HostWindow host;
};

const std::vector<GifFrame> kThreeFrames = {{0xFF0000, 10}, {0x00FF00, 10}, {0x0000FF, 50}};

TEST_F(Pictures, AnimatedGifSchedulesEachFramesOwnDelay) {
  PlayingPicture picture;
  PictureOptions options;
  options.animate = 1;
  const std::vector<std::uint8_t> gif = test::MakeAnimatedGif(8, 8, kThreeFrames);
  ASSERT_NE(picture.Create(window.hwnd(), 10, 10, 8, 8, gif, options), nullptr);
  EXPECT_EQ(test::ControlPeer::FrameCount(picture), 3);
  EXPECT_EQ(test::ControlPeer::FrameDelays(picture), (std::vector<int>{10, 10, 50}));
  EXPECT_EQ(test::PixelAt(picture.DrawSurface(), 4, 4), 0xFFFF0000u) << "frame 1 first";
  // Each frame stays for its own delay: frames 1, 2 and 3 show for 100, 100
  // and 500 ms, then it loops. (next frame, interval before it)
  ASSERT_TRUE(test::PumpUntil([&] { return picture.scheduled.size() >= 4; }, 5000));
  using Schedule = std::vector<std::pair<int, int>>;
  const Schedule expected = {{2, 100}, {3, 100}, {1, 500}, {2, 100}};
  EXPECT_EQ(Schedule(picture.scheduled.begin(), picture.scheduled.begin() + 4), expected);
}

TEST_F(Pictures, ZeroDelaysBecomeATenthOfASecondWhenFixed) {
  const std::vector<std::uint8_t> gif = test::MakeAnimatedGif(4, 4, {{0xFF0000, 0}, {0x00FF00, 0}, {0x0000FF, 0}});
  PictureBox fixed, raw;
  PictureOptions options;
  options.animate = 1;
  options.fixZeroDelays = 1;
  ASSERT_NE(fixed.Create(window.hwnd(), 10, 10, 4, 4, gif, options), nullptr);
  EXPECT_EQ(test::ControlPeer::FrameDelays(fixed), (std::vector<int>{10, 10, 10}));
  EXPECT_EQ(test::ControlPeer::ScheduledIntervalMs(fixed), 100);
  options.fixZeroDelays = 0;
  ASSERT_NE(raw.Create(window.hwnd(), 20, 10, 4, 4, gif, options), nullptr);
  EXPECT_EQ(test::ControlPeer::ScheduledIntervalMs(raw), 0);
  raw.Destroy();
}

TEST_F(Pictures, AnimateZeroShowsFrameOneAndTheFirstTickStopsTheTimer) {
  PlayingPicture picture;
  const std::vector<std::uint8_t> gif = test::MakeAnimatedGif(4, 4, kThreeFrames);
  ASSERT_NE(picture.Create(window.hwnd(), 10, 10, 4, 4, gif), nullptr);
  EXPECT_EQ(test::PixelAt(picture.DrawSurface(), 2, 2), 0xFFFF0000u);
  const std::uintptr_t id = picture.HandleValue();
  // The tick: the timer goes, and frame 1 is still what shows.
  SendMessageW(window.hwnd(), WM_TIMER, id, 0);
  EXPECT_EQ(test::PixelAt(picture.DrawSurface(), 2, 2), 0xFFFF0000u);
  EXPECT_FALSE(KillTimer(window.hwnd(), id)) << "no timer was left running";
}

TEST_F(Pictures, StillImageSetsNoTimer) {
  PictureBox picture;
  const std::vector<std::uint8_t> png = test::SolidPng(6, 6, 0xFF00FF00);
  PictureOptions options;
  options.animate = 1;
  ASSERT_NE(picture.Create(window.hwnd(), 10, 10, 12, 12, png, options), nullptr);
  EXPECT_EQ(test::ControlPeer::FrameCount(picture), 1);
  EXPECT_EQ(test::ControlPeer::ScheduledIntervalMs(picture), -1);
  EXPECT_FALSE(KillTimer(window.hwnd(), picture.HandleValue()));
  EXPECT_EQ(test::PixelAt(picture.DrawSurface(), 9, 9), 0xFF00FF00u) << "size mode 1: stretched";
}

TEST_F(Pictures, DisabledAnimatedPictureAdvancesWithoutDrawing) {
  PictureBox picture;
  PictureOptions options;
  options.animate = 1;
  const std::vector<std::uint8_t> gif = test::MakeAnimatedGif(4, 4, kThreeFrames);
  ASSERT_NE(picture.Create(window.hwnd(), 10, 10, 4, 4, gif, options), nullptr);
  KillTimer(window.hwnd(), picture.HandleValue());
  const int frame = test::ControlPeer::CurrentFrame(picture);
  test::ControlPeer::Disabled(picture) = 1;
  picture.Repaint();
  EXPECT_EQ(test::ControlPeer::CurrentFrame(picture), frame + 1);
  EXPECT_EQ(test::PixelAt(picture.DrawSurface(), 2, 2), 0xFFFF0000u) << "not drawn";
  EXPECT_FALSE(KillTimer(window.hwnd(), picture.HandleValue())) << "no timer";
}

TEST_F(Pictures, SizeModesAndIcons) {
  const std::vector<std::uint8_t> png = test::SolidPng(6, 4, 0xFF0000FF);
  PictureBox natural, centred, nineEmpty;
  PictureOptions options;
  options.sizeMode = kPictureNatural;
  ASSERT_NE(natural.Create(window.hwnd(), 0, 0, 20, 20, png, options), nullptr);
  EXPECT_EQ(test::PixelAt(natural.DrawSurface(), 5, 3), 0xFF0000FFu);
  EXPECT_EQ(test::PixelAt(natural.DrawSurface(), 6, 3), 0u);
  options.sizeMode = kPictureCentred;
  ASSERT_NE(centred.Create(window.hwnd(), 0, 0, 20, 20, png, options), nullptr);
  EXPECT_EQ(test::PixelAt(centred.DrawSurface(), 10, 10), 0xFF0000FFu);
  EXPECT_EQ(test::PixelAt(centred.DrawSurface(), 1, 1), 0u);
  options.sizeMode = kPictureNineGrid;
  ASSERT_NE(nineEmpty.Create(window.hwnd(), 0, 0, 20, 20, png, options), nullptr);
  EXPECT_EQ(test::PixelAt(nineEmpty.DrawSurface(), 5, 3), 0xFF0000FFu) << "empty nine-grid: natural size";
  EXPECT_EQ(test::PixelAt(nineEmpty.DrawSurface(), 10, 10), 0u);

  PictureBox icon;
  ASSERT_NE(icon.CreateFromIcon(window.hwnd(), 0, 0, 32, 32, LoadIconW(nullptr, MAKEINTRESOURCEW(32512))), nullptr);
  EXPECT_GT(test::ControlPeer::ImageWidth(icon), 0);
  EXPECT_EQ(test::ControlPeer::FrameCount(icon), 1);
  EXPECT_EQ(test::ControlPeer::Animate(icon), 0);
}

TEST_F(Pictures, UndecodableBytesDrawOnlyTheBackground) {
  PictureBox picture;
  const std::uint8_t junk[] = {1, 2, 3, 4};
  PictureOptions options;
  options.backgroundColor = 0xFF00FF00;
  ASSERT_NE(picture.Create(window.hwnd(), 0, 0, 10, 10, junk, options), nullptr);
  EXPECT_EQ(test::ControlPeer::FrameCount(picture), 0);
  EXPECT_EQ(test::ControlPeer::Image(picture).image, nullptr);
  EXPECT_EQ(test::ControlPeer::ScheduledIntervalMs(picture), -1) << "no timer";
  EXPECT_EQ(test::PixelAt(picture.DrawSurface(), 3, 3), 0xFF00FF00u);
}

}  // namespace
}  // namespace ui

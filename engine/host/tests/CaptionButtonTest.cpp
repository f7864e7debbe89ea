#include "engine/host/CaptionButton.h"

#include <gtest/gtest.h>

#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/host/CaptionSprite.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

// Window commands the caption buttons post, caught before they act.
std::vector<std::pair<UINT, WPARAM>>* commands = nullptr;

LRESULT CatchCommands(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (commands != nullptr && (message == WM_CLOSE || message == WM_SYSCOMMAND)) {
    commands->push_back({message, wParam});
    return 0;
  }
  return kUnhandled;
}

class CaptionButtons : public testing::Test {
 protected:
  void SetUp() override {
    commands = &posted;
    HostOptions options;
    options.captionFlags = 4 | 8 | 16;
    options.windowAlpha = 255;
    ASSERT_TRUE(host.Create(window.hwnd(), options));
    host.SetMessageHook(&CatchCommands);
    ASSERT_EQ(host.Caption().Buttons().size(), 3u);
  }
  void TearDown() override {
    host.SetMessageHook(nullptr);
    commands = nullptr;
  }

  CaptionButton& Button(int index) { return static_cast<CaptionButton&>(*host.Caption().Buttons()[index]); }

  // Whether the button's surface shows the strip's sprite for the state over
  // all of its 19 rows: the sprite's rows 2 to 19 of the 20-row strip, and
  // its last row once more at the bottom, where the strip has none.
  bool Shows(CaptionButton& button, int state, bool zoomed) {
    const RectF sprite = CaptionSpriteRect(button.ButtonType(), state, zoomed);
    GpImage* strip = Engine().captionButtonImage.get();
    for (int y = 0; y < 19; ++y) {
      for (int x = 0; x < static_cast<int>(sprite.width); x += 3) {
        const int stripRow = y < 18 ? 2 + y : 19;
        const std::uint32_t expected = test::PixelAt(strip, static_cast<int>(sprite.left) + x, stripRow);
        const std::uint32_t actual = test::PixelAt(button.DrawSurface(), x, y);
        for (int shift = 0; shift < 32; shift += 8) {
          if (std::abs(static_cast<int>((expected >> shift) & 0xFF) - static_cast<int>((actual >> shift) & 0xFF)) > 2) {
            return false;
          }
        }
      }
    }
    return true;
  }

  void Deliver(CaptionButton& button, unsigned message) { DeliverMessage(&button, message, 0, 0); }

  test::TestWindow window{100, 100, 400, 200};
  HostWindow host;
  std::vector<std::pair<UINT, WPARAM>> posted;
};

TEST_F(CaptionButtons, StatesFollowThePointerWithTheirSprites) {
  CaptionButton& close = Button(0);
  EXPECT_TRUE(Shows(close, kCaptionNormal, false));
  Deliver(close, kMsgMouseEntered);
  EXPECT_EQ(close.DrawnState(), kCaptionHot);
  EXPECT_TRUE(Shows(close, kCaptionHot, false));
  EXPECT_FALSE(Shows(close, kCaptionNormal, false)) << "the hot look differs from the normal one";
  Deliver(close, WM_LBUTTONDOWN);
  EXPECT_TRUE(Shows(close, kCaptionPressed, false));
  Deliver(close, WM_LBUTTONUP);
  EXPECT_EQ(close.DrawnState(), kCaptionHot);
  Deliver(close, kMsgMouseLeft);
  EXPECT_TRUE(Shows(close, kCaptionNormal, false));
  EXPECT_EQ(DeliverMessage(&close, kMsgTakesPress, 0, 0), 0) << "caption buttons take presses";
}

TEST_F(CaptionButtons, ClicksPostTheWindowCommands) {
  Deliver(Button(0), kMsgClick);
  Deliver(Button(1), kMsgClick);
  Deliver(Button(2), kMsgClick);
  ASSERT_TRUE(test::PumpUntil([&] { return posted.size() == 3; }, 2000));
  EXPECT_EQ(posted[0], std::make_pair(static_cast<UINT>(WM_CLOSE), WPARAM{0}));
  EXPECT_EQ(posted[1], std::make_pair(static_cast<UINT>(WM_SYSCOMMAND), WPARAM{SC_MAXIMIZE}));
  EXPECT_EQ(posted[2], std::make_pair(static_cast<UINT>(WM_SYSCOMMAND), WPARAM{SC_MINIMIZE}));
}

TEST_F(CaptionButtons, DisabledButtonIgnoresClicks) {
  test::ControlPeer::Disabled(Button(0)) = 1;
  Deliver(Button(0), kMsgClick);
  test::Pump();
  EXPECT_TRUE(posted.empty());
}

TEST_F(CaptionButtons, MinimiseOfAMinimisedWindowDoesNothing) {
  host.SetMessageHook(nullptr);
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(window.hwnd()));
  host.SetMessageHook(&CatchCommands);
  Deliver(Button(2), kMsgClick);
  test::Pump();
  EXPECT_TRUE(posted.empty());
}

TEST_F(CaptionButtons, MaximiseShowsRestoreWhileTheWindowIsZoomed) {
  host.SetMessageHook(nullptr);
  ShowWindow(window.hwnd(), SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(window.hwnd()));
  test::Pump();
  CaptionButton& maximise = Button(1);
  EXPECT_TRUE(Shows(maximise, kCaptionNormal, true)) << "redrawn when the window's size changed";
  host.SetMessageHook(&CatchCommands);
  Deliver(maximise, kMsgClick);
  ASSERT_TRUE(test::PumpUntil([&] { return !posted.empty(); }, 2000));
  EXPECT_EQ(posted[0].second, WPARAM{SC_RESTORE});
  host.SetMessageHook(nullptr);
  ShowWindow(window.hwnd(), SW_RESTORE);
  test::Pump();
  EXPECT_TRUE(Shows(maximise, kCaptionNormal, false));
}

}  // namespace
}  // namespace ui

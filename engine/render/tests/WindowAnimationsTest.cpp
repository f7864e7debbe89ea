#include "engine/render/WindowAnimations.h"

#include <gtest/gtest.h>

#include "engine/host/HostWindow.h"
#include "engine/render/Primitives.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

HostOptions NotLayered() {
  HostOptions options;
  options.backgroundColor = 0xFE808080;
  options.captionFlags = 0;
  return options;
}

TEST(WindowAnimations, CloseEffectZeroReturnsAtOnceAndChangesNothing) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), NotLayered()));
  const DWORD start = GetTickCount();
  CloseAnimation(window.hwnd(), host.surface.dc(), -1, 0, false, 7);
  EXPECT_LT(GetTickCount() - start, 50u);
  EXPECT_FALSE(HasWindowStyle(window.hwnd(), WS_EX_LAYERED, true));
}

TEST(WindowAnimations, CloseLeavesAWindowThatWasNotLayeredLayeredAndTheHostFree) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), NotLayered()));
  CloseAnimation(window.hwnd(), host.surface.dc(), -1, 1, false, 7);
  EXPECT_TRUE(HasWindowStyle(window.hwnd(), WS_EX_LAYERED, true));
  EXPECT_EQ(host.busy, 0);
}

TEST(WindowAnimations, ShowMakesTheWindowVisibleAndRemovesTheBorrowedLayeredStyle) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), NotLayered()));
  ASSERT_FALSE(IsWindowVisible(window.hwnd()));
  host.Show(7);
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_FALSE(HasWindowStyle(window.hwnd(), WS_EX_LAYERED, true));
  EXPECT_EQ(host.busy, 0);
}

TEST(WindowAnimations, ShowWithoutEffectPresentsTheLayeredComposition) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  HostOptions options = NotLayered();
  options.windowAlpha = 255;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  const int before = host.presentations;
  host.Show();
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_GT(host.presentations, before) << "else the window would keep its transparent first frame";
}

TEST(WindowAnimations, CloseRequestDuringTheCloseEffectIsTheSameClose) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  HostOptions options = NotLayered();
  options.windowAlpha = 255;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  host.SetCloseEffect(1);
  host.Show();
  // A second close arrives while the effect plays and handles messages.
  PostMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window.hwnd())) << "the window closed once, without a crash";
}

}  // namespace
}  // namespace ui

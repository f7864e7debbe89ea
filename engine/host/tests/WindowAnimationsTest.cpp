#include "engine/render/WindowAnimations.h"

#include <gtest/gtest.h>

#include "engine/host/HostWindow.h"
#include "engine/render/Primitives.h"
#include "engine/testing/PresentationLog.h"
#include "engine/testing/RecordingControl.h"
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
  CloseAnimation(window.hwnd(), host.Composition().CompositionSurface().dc(), -1, 0, false, 7, &host.Composition());
  EXPECT_LT(GetTickCount() - start, 50u);
  EXPECT_FALSE(HasWindowStyle(window.hwnd(), WS_EX_LAYERED, true));
}

TEST(WindowAnimations, CloseLeavesAWindowThatWasNotLayeredLayeredAndTheHostFree) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), NotLayered()));
  CloseAnimation(window.hwnd(), host.Composition().CompositionSurface().dc(), -1, 1, false, 7, &host.Composition());
  EXPECT_TRUE(HasWindowStyle(window.hwnd(), WS_EX_LAYERED, true));
  EXPECT_FALSE(host.Composition().IsBusy());
}

TEST(WindowAnimations, ShowMakesTheWindowVisibleAndRemovesTheBorrowedLayeredStyle) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), NotLayered()));
  ASSERT_FALSE(IsWindowVisible(window.hwnd()));
  host.Show(7);
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_FALSE(HasWindowStyle(window.hwnd(), WS_EX_LAYERED, true));
  EXPECT_FALSE(host.Composition().IsBusy());
}

TEST(WindowAnimations, ShowWithoutEffectPresentsTheLayeredComposition) {
  test::TestWindow window(100, 100, 200, 150);
  HostWindow host;
  HostOptions options = NotLayered();
  options.windowAlpha = 255;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  test::PresentationLog presented(window.hwnd(), POINT{0, 0});
  host.Show();
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_GT(presented.entries.size(), 0u) << "else the window would keep its transparent first frame";
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

void CALLBACK CloseFromTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  PostMessageW(window, WM_CLOSE, 0, 0);
}

TEST(WindowAnimations, AWindowClosedBeforeOrDuringTheShowEffectIsLeftAlone) {
  for (const bool duringTheEffect : {false, true}) {
    SCOPED_TRACE(duringTheEffect ? "closed during the effect" : "closed before it");
    test::TestWindow window(100, 100, 200, 150);
    HostWindow host;
    ASSERT_TRUE(host.Create(window.hwnd(), NotLayered()));
    // The close is handled by the messages Show pumps: the one waiting at
    // once, the timer's once the 200 ms effect has run for a frame or two.
    if (duringTheEffect) SetTimer(window.hwnd(), 1, 40, &CloseFromTimer);
    else PostMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    // What is presented to no window at all (the host's after it let go).
    test::PresentationLog toNoWindow(nullptr, POINT{0, 0});
    host.Show(7);
    EXPECT_FALSE(IsWindow(window.hwnd()));
    EXPECT_EQ(host.Window(), nullptr);
    EXPECT_TRUE(toNoWindow.entries.empty()) << toNoWindow.entries.size() << " presentations after the close";
  }
}

int AlphaOf(std::uint32_t bgra) { return static_cast<int>(bgra >> 24); }

// A layered window with a square frame, filled with one opaque colour.
HostOptions Opaque(std::uint32_t rgb) {
  HostOptions options;
  options.backgroundColor = rgb;
  options.captionFlags = 0;
  options.windowAlpha = 255;
  options.frameStyle = 0;
  return options;
}

TEST(WindowAnimations, NothingIsPresentedAfterTheTransparentLastFrameOfTheClose) {
  test::TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Opaque(Rgb(0, 0, 255))));
  test::RecordingControl control;
  control.colour = 0xFF00FF00;
  ASSERT_NE(control.Create(window.hwnd(), {100, 50, 100, 100}, kKindButton, true), nullptr);
  host.SetCloseEffect(1);
  host.Show();
  test::Pump();

  test::PresentationLog log(window.hwnd(), {150, 100});
  // A redraw that arrives while the effect plays, as a hover leaving the
  // close button does.
  control.PaintSolid();
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  ASSERT_FALSE(IsWindow(window.hwnd()));
  ASSERT_GE(log.entries.size(), 16u) << "the first frame, 15 fading frames and the transparent one";
  EXPECT_EQ(AlphaOf(log.entries.front().probe), 255);
  EXPECT_EQ(AlphaOf(log.entries.back().probe), 0) << "the window ends transparent";
  EXPECT_EQ(log.entries.size(), 17u) << "nothing after the transparent frame";
}

// The window's composition is replaced while it closes: by a cross-fade
// that was running already, and by a new background arriving from a timer.
HostWindow* composing = nullptr;
void CALLBACK ComposeGreenWithFade(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(composing->Window(), id);
  composing->Compose({}, Rgb(0, 255, 0), 1);
}

TEST(WindowAnimations, CloseEffectOwnsTheScreenWhileACrossFadeRunsOrStarts) {
  test::TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Opaque(Rgb(255, 0, 0))));
  host.SetCloseEffect(2);
  host.Show();
  test::Pump();
  host.Compose({}, Rgb(0, 0, 255), 1);  // red to blue, 250 ms
  composing = &host;
  SetTimer(window.hwnd(), 77, 60, &ComposeGreenWithFade);

  test::PresentationLog log(window.hwnd(), {150, 100});
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  ASSERT_FALSE(IsWindow(window.hwnd()));
  ASSERT_EQ(log.entries.size(), 22u) << "the first frame, 20 zooming frames and the transparent one";
  // The fade was finished first: the effect shows the new picture, and its
  // frames only ever grow more transparent.
  EXPECT_EQ(log.entries.front().probe, 0xFE0000FEu) << "blue at alpha 254, premultiplied";
  for (std::size_t i = 1; i < log.entries.size(); ++i) {
    EXPECT_LE(AlphaOf(log.entries[i].probe), AlphaOf(log.entries[i - 1].probe)) << "frame " << i;
    EXPECT_EQ(log.entries[i].probe & 0x00FFFF00u, 0u) << "frame " << i << " shows only the blue picture";
  }
  EXPECT_EQ(AlphaOf(log.entries.back().probe), 0);
}

}  // namespace
}  // namespace ui

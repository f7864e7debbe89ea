#include "engine/core/QueuedBlock.h"
#include "engine/host/HostWindow.h"

#include <gtest/gtest.h>

#include "engine/core/EngineMessages.h"
#include "engine/controls/Label.h"
#include "engine/host/CaptionButton.h"
#include "engine/render/Primitives.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/PresentationLog.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

using test::RecordingControl;
using test::TestWindow;

HostOptions Layered(int captionFlags = 20) {
  HostOptions options;
  options.backgroundColor = 0xFE336699;
  options.captionFlags = captionFlags;
  options.windowAlpha = 250;
  return options;
}

TEST(HostWindow, CreateRefusesNoWindowAndTheSameWindowTwice) {
  HostWindow host;
  EXPECT_FALSE(host.Create(nullptr));
  TestWindow window(100, 100, 300, 200);
  HWND gone = nullptr;
  {
    TestWindow other(0, 0, 50, 50);
    gone = other.hwnd();
  }
  EXPECT_FALSE(host.Create(gone)) << "a destroyed window is no window";
  EXPECT_TRUE(host.Create(window.hwnd(), Layered()));
  EXPECT_FALSE(host.Create(window.hwnd())) << "already this host's window";
}

TEST(HostWindow, CreateMakesAFramelessLayeredWindowThatStartsInvisible) {
  TestWindow window(100, 100, 300, 200, WS_OVERLAPPEDWINDOW);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Layered()));
  const LONG style = GetWindowLongW(window.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_DLGFRAME);
  EXPECT_FALSE(style & WS_BORDER);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "flags 20 have no maximise button";
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_THICKFRAME) << "a sizable window keeps its thick frame: resizable";
  EXPECT_EQ(host.Resizable(), 1);
  EXPECT_TRUE(GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(HostWindow::FromWindow(window.hwnd()), &host);
  EXPECT_EQ(host.CaptionFlags(), 20 | 512);
  EXPECT_EQ(host.Width(), 300);
  EXPECT_EQ(host.Height(), 200);
  EXPECT_FALSE(host.Composition().IsBusy());
  RECT client{};
  GetClientRect(window.hwnd(), &client);
  EXPECT_EQ(client.right, 300) << "no non-client area remains";
  EXPECT_EQ(client.bottom, 200);
}

TEST(HostWindow, CaptionFlagsComeFromTheStylesWhenNotGiven) {
  TestWindow window(100, 100, 300, 200, WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  HostWindow host;
  HostOptions options;
  options.windowAlpha = 255;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  EXPECT_EQ(host.CaptionFlags(), 1 | 2 | 4 | 8 | 16 | 512);
  EXPECT_TRUE(GetWindowLongW(window.hwnd(), GWL_STYLE) & WS_SYSMENU);
}

TEST(HostWindow, CloseAndMinimiseButtonsSitAtTheTopRightForFlags20) {
  TestWindow window(100, 100, 825, 468);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Layered(20)));
  ASSERT_EQ(host.Caption().Buttons().size(), 2u);
  auto* close = static_cast<CaptionButton*>(host.Caption().Buttons()[0].get());
  auto* minimise = static_cast<CaptionButton*>(host.Caption().Buttons()[1].get());
  EXPECT_EQ(close->ButtonType(), 4);
  EXPECT_EQ(close->Bounds(), MakeRectF(825 - 51, 7, 39, 19));
  EXPECT_EQ(minimise->ButtonType(), 16);
  EXPECT_EQ(minimise->Bounds(), MakeRectF(825 - 79, 7, 28, 19));
  // A full composition lays the caption out again at the same places.
  host.Compose();
  EXPECT_EQ(close->Bounds(), MakeRectF(825 - 51, 7, 39, 19));
  EXPECT_EQ(host.FirstControl(), close) << "caption buttons are the first top-level controls";
  EXPECT_EQ(close->Interactive(), 0);
}

TEST(HostWindow, MinMaxInfoFollowsTheWorkAreaAndTheCaption) {
  TestWindow window(100, 100, 300, 200);
  HostWindow host;
  ASSERT_TRUE(host.Create(window.hwnd(), Layered(20)));
  MINMAXINFO info{};
  EXPECT_EQ(SendMessageW(window.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(info.ptMaxSize.x, work.right + 14);
  EXPECT_EQ(info.ptMaxSize.y, work.bottom + 14);
  EXPECT_EQ(info.ptMaxPosition.x, work.left - 7);
  EXPECT_EQ(info.ptMaxPosition.y, work.top - 7);
  EXPECT_EQ(info.ptMinTrackSize.x, 1 + 2 * 28 + 11 + 35);
  EXPECT_EQ(info.ptMinTrackSize.y, 38);
}

class HostWithControls : public testing::Test {
 protected:
  void SetUp() override {
    HostOptions options = Layered(0);
    options.frameStyle = 1;  // frameless: controls are not clipped by a frame
    ASSERT_TRUE(host.Create(window.hwnd(), options));
  }

  void Make(RecordingControl& control, ControlParent parent, RectF bounds) {
    ASSERT_NE(control.Create(parent, bounds, kKindButton, true), nullptr);
  }

  TestWindow window{100, 100, 300, 200};
  HostWindow host;
};

TEST_F(HostWithControls, HitTestingSkipsHiddenAndDisabledAndAnswersTheDeepest) {
  RecordingControl back, front, child, grandchild;
  Make(back, window.hwnd(), {0, 0, 200, 150});
  Make(front, window.hwnd(), {50, 50, 100, 80});
  Make(child, &front, {60, 60, 50, 40});
  Make(grandchild, &child, {70, 70, 10, 10});

  EXPECT_EQ(host.ControlAt(10, 10), &back);
  EXPECT_EQ(host.ControlAt(55, 55), &front) << "the later sibling is on top";
  EXPECT_EQ(host.ControlAt(65, 65), &child);
  EXPECT_EQ(host.ControlAt(75, 75), &grandchild);
  EXPECT_EQ(host.ControlAt(80, 80), &child) << "right and bottom edges are outside";
  EXPECT_EQ(host.ControlAt(250, 190), nullptr);

  test::ControlPeer::Disabled(grandchild) = 1;
  EXPECT_EQ(host.ControlAt(75, 75), &child);
  test::ControlPeer::Visible(front) = 0;
  EXPECT_EQ(host.ControlAt(75, 75), &back) << "a hidden control hides its children";
  test::ControlPeer::Visible(front) = 1;
  test::ControlPeer::Disabled(front) = 1;
  EXPECT_EQ(host.ControlAt(65, 65), &back) << "so does a disabled one";
}

TEST_F(HostWithControls, WhatIsAskedForWhileBusyIsDrawnAfterwardsInOnePresentation) {
  RecordingControl first, second;
  first.colour = second.colour = 0xFF00FF00;
  Make(first, window.hwnd(), {20, 20, 40, 40});
  Make(second, window.hwnd(), {200, 100, 30, 30});
  test::Pump();
  host.Compose();
  test::PresentationLog log(window.hwnd(), {30, 30});

  host.Composition().SetBusy(true);
  first.colour = second.colour = 0xFF0000FF;
  first.PaintSolid();
  second.PaintSolid();
  test::Pump();  // the two invalidations arrive
  EXPECT_TRUE(log.entries.empty()) << "nothing presented while busy";
  EXPECT_EQ(test::Unpack(host.Composition().CompositionSurface().PixelAt(30, 30)).g, 255) << "nothing drawn while busy";

  host.Composition().EndBusy();
  ASSERT_EQ(log.entries.size(), 1u) << "one presentation for the whole batch";
  EXPECT_EQ(log.entries[0].area, (RECT{20, 20, 230, 130})) << "covering both rectangles";
  EXPECT_EQ(test::Unpack(log.entries[0].probe).b, 255);
  EXPECT_EQ(test::Unpack(host.Composition().CompositionSurface().PixelAt(210, 110)).b, 255);
}

TEST_F(HostWithControls, PresentMessagePutsTheWholeSurfaceOnTheScreen) {
  RecordingControl control;
  Make(control, window.hwnd(), {20, 20, 40, 40});
  test::Pump();
  test::PresentationLog log(window.hwnd(), {0, 0});
  host.RedrawRect({20, 20, 5, 5}, false);  // a change not presented yet
  SendMessageW(window.hwnd(), kMsgPresentLayered, 0, 0);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].area, (RECT{0, 0, 300, 200})) << "the whole surface, not the pending change";
}

TEST_F(HostWithControls, OnSizedWithAnUnchangedSizeDoesNothing) {
  int resized = 0;
  static int* counter = nullptr;
  counter = &resized;
  host.SetOnResize([](HWND, int, int) { return ++*counter; });
  test::PresentationLog presented(window.hwnd(), POINT{0, 0});
  host.OnSized(window.hwnd(), SIZE_RESTORED);
  EXPECT_EQ(resized, 0);
  EXPECT_EQ(presented.entries.size(), 0u);

  SetWindowPos(window.hwnd(), nullptr, 0, 0, 320, 210, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(host.Width(), 320);
  EXPECT_EQ(host.Composition().CompositionSurface().width(), 320);
  EXPECT_GT(presented.entries.size(), 0u) << "a new size is composed and presented";
}

TEST_F(HostWithControls, ControlMessagesArriveThroughTheHost) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 20, 20});
  ASSERT_GE(control.Count(WM_CREATE), 1);
  control.answers[WM_USER + 5] = 42;
  EXPECT_EQ(control.SendToSelf(WM_USER + 5, 1, 2), 42);
  control.PostToSelf(WM_USER + 6, 3, 4);
  ASSERT_TRUE(test::PumpUntil([&] { return control.Count(WM_USER + 6) == 1; }));
  // A message for a control that is gone reaches nobody.
  const std::uintptr_t handle = control.HandleValue();
  control.Destroy();
  EXPECT_EQ(QueuedBlock<PackedMessage>::Send(window.hwnd(), kMsgDeliver, handle, {WM_USER + 7, 0, 0}), 0);
  EXPECT_EQ(control.Count(WM_USER + 7), 0);
}

TEST_F(HostWithControls, DetachRestoresTheWindowProcedureAndDestroysTheControls) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 20, 20});
  const WNDPROC previous = host.PreviousProcedure();
  host.Detach(window.hwnd());
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC)), previous);
  EXPECT_EQ(HostWindow::FromWindow(window.hwnd()), nullptr);
  EXPECT_EQ(control.GetHandle(), nullptr);
  EXPECT_EQ(control.Count(WM_DESTROY), 1);
  EXPECT_EQ(host.FirstControl(), nullptr);
  EXPECT_TRUE(host.Caption().Buttons().empty());
  host.Detach(window.hwnd());  // a second detach does nothing
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST(HostCaption, IconAndTitleFollowTheWindow) {
  TestWindow window(100, 100, 400, 200, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
  SetWindowTextW(window.hwnd(), L"\u5B89\u88C5 Nimbo");
  HostWindow host;
  HostOptions options;
  options.windowAlpha = 255;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  ASSERT_NE(host.Caption().Icon(), nullptr);
  ASSERT_NE(host.Caption().Title(), nullptr);
  auto& title = static_cast<Label&>(*host.Caption().Title());
  EXPECT_EQ(test::ControlPeer::Text(title), L"\u5B89\u88C5 Nimbo");
  EXPECT_EQ(host.Caption().Icon()->Bounds(), MakeRectF(11, 11, 16, 16));
  EXPECT_EQ(host.Caption().Icon()->Interactive(), 0);
  // After the icon, up to the close button (flags 1 + 2 + 4).
  EXPECT_EQ(title.Bounds(), MakeRectF(28, 10, 400 - 51 - 28, 20));
  SetWindowTextW(window.hwnd(), L"Other");
  EXPECT_EQ(test::ControlPeer::Text(title), L"Other") << "the title follows WM_SETTEXT";
}

}  // namespace
}  // namespace ui

#include <gtest/gtest.h>

#include "engine/core/EngineMessages.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/ModalWatchdog.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestWindows.h"

#include <commctrl.h>

namespace ui {
namespace {

using test::RecordingControl;

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// Hook calls, as (hook name, control).
std::vector<std::pair<std::string, Control*>>* hookCalls = nullptr;

template <const char* Name>
int RecordHook(HWND, Control* control, WPARAM, LPARAM, int) {
  hookCalls->push_back({Name, control});
  return 0;
}
constexpr char kClick[] = "click";
constexpr char kEnter[] = "enter";
constexpr char kLeave[] = "leave";
constexpr char kDown[] = "down";

// Three controls side by side on a host whose empty area does not move the
// window (a move loop would wait for a real mouse).
class HostInput : public testing::Test {
 protected:
  void SetUp() override {
    hookCalls = &calls;
    HostOptions options;
    options.captionFlags = 4;  // a close button, which Tab must skip
    options.windowAlpha = 255;
    options.dragAnywhere = 0;
    ASSERT_TRUE(host.Create(window.hwnd(), options));
    ASSERT_NE(left.Create(window.hwnd(), {10, 40, 50, 50}, kKindButton, true), nullptr);
    ASSERT_NE(middle.Create(window.hwnd(), {70, 40, 50, 50}, kKindButton, true), nullptr);
    ASSERT_NE(right.Create(window.hwnd(), {130, 40, 50, 50}, kKindButton, true), nullptr);
    host.SetOnControlClick(&RecordHook<kClick>);
    host.SetOnControlMouseEnter(&RecordHook<kEnter>);
    host.SetOnControlMouseLeave(&RecordHook<kLeave>);
    host.SetOnControlMouseDown(&RecordHook<kDown>);
    test::Pump();
  }
  void TearDown() override { hookCalls = nullptr; }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(window.hwnd(), message, wParam, lParam);
  }

  test::TestWindow window{100, 100, 300, 200};
  HostWindow host;
  RecordingControl left, middle, right;
  std::vector<std::pair<std::string, Control*>> calls;
};

TEST_F(HostInput, PressAndReleaseOverTheSameControlIsAClick) {
  Send(WM_MOUSEMOVE, 0, Point(20, 50));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 50));
  EXPECT_EQ(host.Input().IsPressActive(), 1);
  EXPECT_EQ(host.Input().PressedControl(), &left);
  EXPECT_EQ(GetCapture(), window.hwnd());
  Send(WM_LBUTTONUP, 0, Point(25, 55));
  EXPECT_EQ(left.Count(kMsgClick), 1);
  EXPECT_EQ(host.Input().IsPressActive(), 0);
  EXPECT_EQ(host.Input().PressedControl(), nullptr);
  EXPECT_NE(GetCapture(), window.hwnd());
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), std::make_pair(std::string(kClick), static_cast<Control*>(&left)));
  EXPECT_EQ(left.Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(left.Count(WM_LBUTTONUP), 1) << "the release goes to the pressed control";
}

TEST_F(HostInput, ReleaseOverAnotherControlIsNoClickButLeaveAndEnter) {
  Send(WM_MOUSEMOVE, 0, Point(20, 50));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 50));
  Send(WM_MOUSEMOVE, MK_LBUTTON, Point(80, 50));
  EXPECT_EQ(middle.Count(kMsgMouseEntered), 0) << "no hover changes while a press is held";
  Send(WM_LBUTTONUP, 0, Point(80, 50));
  EXPECT_EQ(left.Count(kMsgClick), 0);
  EXPECT_EQ(middle.Count(kMsgClick), 0);
  EXPECT_EQ(left.Count(kMsgMouseLeft), 1);
  EXPECT_EQ(middle.Count(kMsgMouseEntered), 1);
  EXPECT_EQ(host.Input().HoverControl(), &middle);
}

TEST_F(HostInput, MovingBetweenControlsLeavesOneAndEntersTheOther) {
  Send(WM_MOUSEMOVE, 0, Point(20, 50));
  EXPECT_EQ(left.Count(kMsgMouseEntered), 1);
  Send(WM_MOUSEMOVE, 0, Point(21, 51));
  EXPECT_EQ(left.Count(kMsgMouseEntered), 1) << "staying on a control enters it once";
  Send(WM_MOUSEMOVE, 0, Point(80, 50));
  EXPECT_EQ(left.Count(kMsgMouseLeft), 1);
  EXPECT_EQ(middle.Count(kMsgMouseEntered), 1);
  const RecordingControl::Received& entered = middle.received.back().message == WM_MOUSEMOVE
                                                  ? middle.received[middle.received.size() - 2]
                                                  : middle.received.back();
  EXPECT_EQ(entered.lParam, reinterpret_cast<LPARAM>(&left)) << "entered from the left control";
  Send(WM_MOUSEMOVE, 0, Point(250, 150));
  EXPECT_EQ(middle.Count(kMsgMouseLeft), 1);
  EXPECT_EQ(host.Input().HoverControl(), nullptr);
}

int doubleClicks = 0;
int presses = 0;
int CountDoubleClick(Control*, unsigned, WPARAM, LPARAM) { return ++doubleClicks; }
int CountPress(Control*, unsigned, WPARAM, LPARAM) { return ++presses; }

TEST_F(HostInput, DoubleClickArrivesAsAPressMarked10086) {
  doubleClicks = presses = 0;
  left.BindEvent(WM_LBUTTONDBLCLK, &CountDoubleClick);
  middle.BindEvent(WM_LBUTTONDOWN, &CountPress);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 50));
  Send(WM_LBUTTONUP, 0, Point(20, 50));
  EXPECT_EQ(doubleClicks, 0) << "a plain press is no double click";
  EXPECT_EQ(Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(20, 50)), 0);
  Send(WM_LBUTTONUP, 0, Point(20, 50));
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(left.received[left.received.size() - 3].wParam, kDoubleClickMarker);
  // A real WM_LBUTTONDBLCLK handed to the control is not the engine's double click.
  DeliverMessage(&left, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(20, 50));
  EXPECT_EQ(doubleClicks, 1);

  // A plain press binding fires on both presses of a double click.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(80, 50));
  Send(WM_LBUTTONUP, 0, Point(80, 50));
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(80, 50));
  Send(WM_LBUTTONUP, 0, Point(80, 50));
  EXPECT_EQ(presses, 2);
}

TEST_F(HostInput, PressMovesTheFocusToAnInteractiveControl) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 50));
  Send(WM_LBUTTONUP, 0, Point(20, 50));
  EXPECT_EQ(host.FocusControl(), &left);
  EXPECT_EQ(left.Count(kMsgFocusGained), 1);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(80, 50));
  Send(WM_LBUTTONUP, 0, Point(80, 50));
  EXPECT_EQ(host.FocusControl(), &middle);
  EXPECT_EQ(left.Count(kMsgFocusLost), 1);
  EXPECT_EQ(host.Input().KeyboardFocus(), nullptr);
  EXPECT_TRUE(middle.HasFocus());
  EXPECT_FALSE(left.HasFocus());
}

TEST_F(HostInput, ControlThatIsNotInteractiveIsPressedOnlyWhenItAsks) {
  test::ControlPeer::Interactive(right) = 0;
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(140, 50));
  EXPECT_EQ(host.Input().IsPressActive(), 0);
  right.answers[kMsgTakesPress] = 0;
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(140, 50));
  EXPECT_EQ(host.Input().IsPressActive(), 1);
  Send(WM_LBUTTONUP, 0, Point(140, 50));
  EXPECT_EQ(right.Count(kMsgClick), 1);
  EXPECT_EQ(host.FocusControl(), nullptr) << "only interactive controls take the focus";
}

TEST_F(HostInput, TabWalksTheTopLevelControlsSkippingCaptionButtonsAndWraps) {
  test::ControlPeer::Interactive(middle) = 0;
  Send(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(host.FocusControl(), &left) << "with no focus Tab starts at the first control";
  EXPECT_EQ(host.Input().KeyboardFocus(), &left);
  Send(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(host.FocusControl(), &right) << "not interactive: skipped";
  Send(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(host.FocusControl(), &left) << "wraps past the close button";
  test::ControlPeer::Visible(right) = 0;
  Send(WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(host.FocusControl(), &left) << "nothing else takes the focus";
}

TEST_F(HostInput, EnterAndSpaceClickTheFocusedControl) {
  host.SetFocusControl(&middle, true);
  Send(WM_KEYDOWN, VK_RETURN, 0);
  Send(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(middle.Count(kMsgClick), 2);
  middle.answers[WM_KEYDOWN] = 0;  // a control that handles its keys itself
  Send(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(middle.Count(kMsgClick), 2);
}

TEST_F(HostInput, AltLetterClicksTheControlWithThatMnemonic) {
  EXPECT_EQ(Send(kMsgSetMnemonic, reinterpret_cast<WPARAM>(&right), 'S'), 1);
  host.SetMnemonic(&right, 'R');  // replaces the first one
  ASSERT_EQ(host.Input().Mnemonics().size(), 1u);
  EXPECT_EQ(Send(WM_SYSCHAR, 'r', 0), 0);
  EXPECT_EQ(right.Count(kMsgClick), 1);
  test::ControlPeer::Disabled(right) = 1;
  Send(WM_SYSCHAR, 'R', 0);
  EXPECT_EQ(right.Count(kMsgClick), 1) << "a disabled control is not clicked";
}

TEST_F(HostInput, SetFocusRefusesControlsThatCannotHaveIt) {
  test::ControlPeer::Disabled(middle) = 1;
  host.SetFocusControl(&middle, false);
  EXPECT_EQ(host.FocusControl(), nullptr);
  host.SetFocusControl(static_cast<Control*>(host.Caption().Buttons()[0].get()), false);
  EXPECT_EQ(host.FocusControl(), nullptr);
  test::ControlPeer::Visible(left) = 0;
  host.SetFocusControl(&left, false);
  EXPECT_EQ(host.FocusControl(), nullptr);
  host.SetFocusControl(&right, false);
  EXPECT_EQ(host.FocusControl(), &right);
  EXPECT_EQ(right.Count(kMsgFocusGained), 1);
  host.SetFocusControl(&right, false);
  EXPECT_EQ(right.Count(kMsgFocusGained), 1) << "already focused: nothing sent";
}

TEST_F(HostInput, BusyWindowIgnoresTheMouseAndDeactivationCancelsAPress) {
  host.Composition().SetBusy(true);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 50));
  EXPECT_EQ(host.Input().IsPressActive(), 0);
  host.Composition().SetBusy(false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 50));
  ASSERT_EQ(host.Input().IsPressActive(), 1);
  Send(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(host.Input().IsPressActive(), 0);
  EXPECT_EQ(left.Count(kMsgFocusLost), 1);
}

TEST_F(HostInput, DestroyingAControlClearsTheHostsReferences) {
  Send(WM_MOUSEMOVE, 0, Point(20, 50));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 50));
  host.SetMnemonic(&left, 'L');
  host.SetMnemonic(&right, 'R');
  ASSERT_EQ(host.Input().HoverControl(), &left);
  ASSERT_EQ(host.FocusControl(), &left);
  ASSERT_EQ(host.Input().PressedControl(), &left);
  left.Destroy();
  EXPECT_EQ(host.Input().HoverControl(), nullptr);
  EXPECT_EQ(host.FocusControl(), nullptr);
  EXPECT_EQ(host.Input().PressedControl(), nullptr);
  EXPECT_EQ(host.Input().IsPressActive(), 0);
  ASSERT_EQ(host.Input().Mnemonics().size(), 1u) << "the destroyed control's Alt key is gone";
  EXPECT_EQ(host.Input().Mnemonics()[0].control, &right);
  Send(WM_LBUTTONUP, 0, Point(20, 50));  // nothing left to deliver to

  // An entry whose control is no longer created reaches nothing, however
  // its memory looks now.
  host.SetMnemonic(&left, 'L');
  test::ControlPeer::Handle(left) = &left;
  test::ControlPeer::Visible(left) = 1;
  Send(WM_SYSCHAR, 'l', 0);
  EXPECT_EQ(left.Count(kMsgClick), 0);
  test::ControlPeer::Handle(left) = nullptr;
}

TEST_F(HostInput, TooltipFollowsTheControlUnderThePointer) {
  Send(WM_MOUSEMOVE, 0, Point(80, 50));
  EXPECT_EQ(host.TooltipWindow(), nullptr) << "no text yet: no tooltip window";
  middle.TooltipText(std::string("middle"));
  Send(WM_MOUSEMOVE, 0, Point(20, 50));
  Send(WM_MOUSEMOVE, 0, Point(80, 50));
  ASSERT_NE(host.TooltipWindow(), nullptr) << "made for the first control with a text";
  EXPECT_EQ(SendMessageW(host.TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
  Send(WM_MOUSEMOVE, 0, Point(20, 50));
  EXPECT_EQ(SendMessageW(host.TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 0) << "no text, no tool";
}

// What the system's move loop holds when a timer looks in on it, which then
// ends the move where it is (Return does).
struct MoveLoopProbe {
  HWND window = nullptr;
  bool looked = false;
  bool inMoveSize = false;
  HWND capture = nullptr;
} probe;

void CALLBACK LookInOnTheMoveLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetCurrentThreadId(), &info);
  probe.looked = true;
  probe.inMoveSize = (info.flags & GUI_INMOVESIZE) != 0;
  probe.capture = GetCapture();
  PostMessageW(probe.window, WM_KEYDOWN, VK_RETURN, 0);
}

// A press on the empty area hands the window to the system's move loop,
// which holds the capture while the window follows the pointer. A window
// lagging behind a fast pointer is left by it for a moment: that leave must
// not take the capture from the loop, or the button's release goes to
// another window and the window goes on following the pointer after it.
TEST(HostMoveLoop, APointerLeavingTheWindowDuringAMoveLeavesTheCaptureToTheMove) {
  test::TestWindow window(100, 100, 300, 200);
  HostWindow host;
  HostOptions options;
  options.windowAlpha = 255;
  options.dragAnywhere = 1;
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  ShowWindow(window.hwnd(), SW_SHOW);
  SetForegroundWindow(window.hwnd());
  test::Pump();
  probe = MoveLoopProbe{window.hwnd()};
  // Both wait until the loop takes them: the leave first, then the timer.
  PostMessageW(window.hwnd(), WM_MOUSELEAVE, 0, 0);
  SetTimer(nullptr, 0, 10, &LookInOnTheMoveLoop);
  test::ModalWatchdog watchdog;
  SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(150, 120));
  ASSERT_FALSE(watchdog.Fired()) << "the move loop did not end";
  ASSERT_TRUE(probe.looked) << "the move loop never ran";
  EXPECT_TRUE(probe.inMoveSize) << "the move was still the system's";
  EXPECT_EQ(probe.capture, window.hwnd()) << "the window still held the capture";
  EXPECT_EQ(GetCapture(), nullptr) << "the move's end lets the capture go";
}

TEST(HostSizing, EdgesOfAResizableWindowShowSizingCursorsAndDropTheHover) {
  test::TestWindow window(100, 100, 300, 200, WS_OVERLAPPEDWINDOW);
  HostWindow host;
  HostOptions options = test::PlainHost();
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  ASSERT_EQ(host.Resizable(), 1);
  RecordingControl edge;
  ASSERT_NE(edge.Create(window.hwnd(), {0, 50, 60, 60}, kKindButton, true), nullptr);
  SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 80));
  ASSERT_EQ(host.Input().HoverControl(), &edge);
  EXPECT_TRUE(host.SizingHitTest(WM_MOUSEMOVE, MAKELPARAM(3, 80)));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32644))) << "west-east on the left edge";
  EXPECT_EQ(host.Input().HoverControl(), nullptr);
  EXPECT_EQ(edge.Count(kMsgMouseLeft), 1);
  EXPECT_TRUE(host.SizingHitTest(WM_MOUSEMOVE, MAKELPARAM(295, 195)));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32642))) << "bottom-right corner";
  EXPECT_FALSE(host.SizingHitTest(WM_MOUSEMOVE, MAKELPARAM(150, 100))) << "inside: not an edge";
  EXPECT_FALSE(host.SizingHitTest(WM_RBUTTONDOWN, MAKELPARAM(3, 80))) << "only moves and left presses";
  host.Resizable(0);
  EXPECT_FALSE(host.SizingHitTest(WM_MOUSEMOVE, MAKELPARAM(3, 80)));
}

}  // namespace
}  // namespace ui

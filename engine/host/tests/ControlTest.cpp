#include "engine/core/QueuedBlock.h"
#include "engine/controls/Control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/core/EngineMessages.h"
#include "engine/core/ImageLoader.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/PresentationLog.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"
#include "engine/testing/TimerLog.h"

namespace ui {
namespace {

using test::RecordingControl;

class Controls : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost()));
    host.Show();
  }

  void Make(RecordingControl& control, ControlParent parent, RectF bounds) {
    ASSERT_NE(control.Create(parent, bounds, kKindButton, true), nullptr);
  }

  int MovedMessagesTo(const RecordingControl& control) const { return control.Count(kMsgMoved); }

  test::TestWindow window{100, 100, 300, 200};
  HostWindow host;
};

struct CallbackLog {
  int fourArgument = 0;
  int fiveArgument = 0;
  Control* parentSeen = nullptr;
  Control* controlSeen = nullptr;
  unsigned messageSeen = 0;
  LPARAM lParamSeen = 0;
  int replaced = 0;
};
CallbackLog callbackLog;

int FourArgument(Control* control, unsigned message, WPARAM, LPARAM lParam) {
  callbackLog.controlSeen = control;
  callbackLog.messageSeen = message;
  callbackLog.lParamSeen = lParam;
  return ++callbackLog.fourArgument;
}
int Replaced(Control*, unsigned, WPARAM, LPARAM) { return ++callbackLog.replaced; }
int FiveArgument(Control* parent, Control* control, unsigned message, WPARAM, LPARAM lParam) {
  callbackLog.parentSeen = parent;
  callbackLog.controlSeen = control;
  callbackLog.messageSeen = message;
  callbackLog.lParamSeen = lParam;
  return ++callbackLog.fiveArgument;
}

TEST_F(Controls, CreateLinksTheControlAndSendsCreatedThenPaint) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 40, 30});
  EXPECT_EQ(control.GetHandle(), &control);
  EXPECT_EQ(Control::FromHandle(control.HandleValue()), &control);
  EXPECT_EQ(control.Host(), &host);
  EXPECT_EQ(control.Opacity(), 255);
  EXPECT_EQ(control.Interactive(), 1);
  EXPECT_EQ(host.LastControl(), &control);
  ASSERT_GE(control.received.size(), 2u);
  EXPECT_EQ(control.received[0].message, static_cast<unsigned>(WM_CREATE));
  EXPECT_EQ(control.received[1].message, static_cast<unsigned>(WM_PAINT));
  EXPECT_EQ(ImageWidth(control.DrawSurface()), 40);
  EXPECT_EQ(control.Create(window.hwnd(), {0, 0, 1, 1}, kKindButton, true), &control) << "not created twice";
  EXPECT_EQ(control.Bounds().width, 40);

  RecordingControl orphan;
  test::TestWindow plain(0, 0, 50, 50);
  EXPECT_EQ(orphan.Create(plain.hwnd(), {0, 0, 10, 10}, kKindButton, true), nullptr) << "no host on that window";
  EXPECT_EQ(orphan.Create(static_cast<Control*>(&orphan), {0, 0, 10, 10}, kKindButton, true), nullptr);
  EXPECT_EQ(orphan.GetHandle(), nullptr);
}

TEST_F(Controls, SecondBindingForAnIdReplacesTheFirst) {
  callbackLog = {};
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 40, 30});
  control.BindEvent(kMsgClick, &FourArgument);
  control.BindEvent(kMsgClick, &Replaced);
  DeliverMessage(&control, kMsgClick, 0, 0);
  EXPECT_EQ(callbackLog.fourArgument, 0);
  EXPECT_EQ(callbackLog.replaced, 1);
  EXPECT_EQ(control.Count(kMsgClick), 1) << "the class handler runs first, once";
}

TEST_F(Controls, ChildCallbacksGetTheParentFirst) {
  callbackLog = {};
  RecordingControl parentControl, child;
  Make(parentControl, window.hwnd(), {10, 10, 100, 100});
  Make(child, &parentControl, {20, 20, 30, 30});
  EXPECT_EQ(child.GetParentControl(), &parentControl);
  child.BindEvent(kMsgClick, &FiveArgument);
  parentControl.BindEvent(kMsgClick, &FourArgument);
  DeliverMessage(&child, kMsgClick, 0, 0);
  EXPECT_EQ(callbackLog.fiveArgument, 1);
  EXPECT_EQ(callbackLog.parentSeen, &parentControl);
  EXPECT_EQ(callbackLog.controlSeen, &child);
  DeliverMessage(&parentControl, kMsgClick, 0, 0);
  EXPECT_EQ(callbackLog.fourArgument, 1);
  EXPECT_EQ(callbackLog.controlSeen, &parentControl);
  EXPECT_EQ(DeliverMessage(nullptr, kMsgClick, 0, 0), 0);

  // The form follows the control, not the routine: a four-argument routine
  // bound on a child is still called with the parent first (its first
  // parameter then receives the parent).
  child.BindEvent(kMsgClick, &FourArgument);
  DeliverMessage(&child, kMsgClick, 0, 0);
  EXPECT_EQ(callbackLog.fourArgument, 2);
  EXPECT_EQ(callbackLog.controlSeen, &parentControl);
}

TEST_F(Controls, EveryRoutineGetsTheMessageInItsOwnForm) {
  // A routine bound in the form its control does not call still gets the
  // message and its arguments where its own form has them.
  callbackLog = {};
  RecordingControl parentControl, child;
  Make(parentControl, window.hwnd(), {10, 10, 100, 100});
  Make(child, &parentControl, {20, 20, 30, 30});
  child.BindEvent(kMsgClick, &FourArgument);
  DeliverMessage(&child, kMsgClick, 0, 77);
  EXPECT_EQ(callbackLog.controlSeen, &parentControl);
  EXPECT_EQ(callbackLog.messageSeen, kMsgClick);
  EXPECT_EQ(callbackLog.lParamSeen, 77);

  callbackLog = {};
  parentControl.BindEvent(kMsgClick, &FiveArgument);
  DeliverMessage(&parentControl, kMsgClick, 0, 88);
  EXPECT_EQ(callbackLog.fiveArgument, 1);
  EXPECT_EQ(callbackLog.parentSeen, nullptr) << "a control without a parent hands none";
  EXPECT_EQ(callbackLog.controlSeen, &parentControl);
  EXPECT_EQ(callbackLog.messageSeen, kMsgClick);
  EXPECT_EQ(callbackLog.lParamSeen, 88);
}

TEST_F(Controls, MoveCarriesEveryDescendantAndASameMoveSendsNothing) {
  RecordingControl parentControl, child, grandchild;
  Make(parentControl, window.hwnd(), {10, 10, 100, 100});
  Make(child, &parentControl, {20, 20, 50, 50});
  Make(grandchild, &child, {30, 30, 10, 10});
  parentControl.Move(20, 15);
  EXPECT_EQ(parentControl.Bounds(), (RectF{20, 15, 100, 100}));
  EXPECT_EQ(child.Bounds(), (RectF{30, 25, 50, 50}));
  EXPECT_EQ(grandchild.Bounds(), (RectF{40, 35, 10, 10}));
  EXPECT_EQ(parentControl.PreviousBounds(), (RectF{10, 10, 100, 100}));
  EXPECT_EQ(MovedMessagesTo(parentControl), 1);

  const std::size_t before = parentControl.received.size();
  parentControl.Move(20, 15, 100, 100);
  EXPECT_EQ(parentControl.received.size(), before) << "the same bounds: nothing sent";
  parentControl.Left(20);
  EXPECT_EQ(parentControl.received.size(), before);

  parentControl.Width(120);
  EXPECT_EQ(parentControl.Count(kMsgSurfaceResized), 1);
  EXPECT_EQ(ImageWidth(parentControl.DrawSurface()), 120) << "a new surface of the new size";
  EXPECT_EQ(child.Bounds().width, 50) << "children keep their size";
}

TEST_F(Controls, MovedOrShrunkControlLeavesTheBackgroundWhereItWas) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 100, 60});
  test::Pump();
  ASSERT_EQ(host.Composition().CompositionSurface().PixelAt(20, 20), 0xFFFF0000u) << "red where it is";
  control.Move(150, 100);
  EXPECT_EQ(host.Composition().CompositionSurface().PixelAt(20, 20), 0u) << "the transparent background where it was";
  EXPECT_EQ(host.Composition().CompositionSurface().PixelAt(160, 110), 0xFFFF0000u);
  control.Move(std::nullopt, std::nullopt, 20, 20);
  test::Pump();
  EXPECT_EQ(host.Composition().CompositionSurface().PixelAt(200, 140), 0u) << "the part it gave up";
  EXPECT_EQ(host.Composition().CompositionSurface().PixelAt(160, 110), 0xFFFF0000u);
}

TEST_F(Controls, VisibleWithItsCurrentValueSendsNothing) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 40, 30});
  const std::size_t before = control.received.size();
  control.Visible(1);
  EXPECT_EQ(control.received.size(), before);
  control.Visible(0);
  EXPECT_EQ(control.Count(kMsgHidden), 1);
  control.Visible(0);
  EXPECT_EQ(control.Count(kMsgHidden), 1);
  control.Visible(1);
  EXPECT_EQ(control.Count(kMsgShown), 1);
}

TEST_F(Controls, ZOrderAndUnlinkKeepTheSiblingListWhole) {
  RecordingControl a, b, c;
  Make(a, window.hwnd(), {0, 0, 10, 10});
  Make(b, window.hwnd(), {0, 0, 10, 10});
  Make(c, window.hwnd(), {0, 0, 10, 10});
  auto order = [&] {
    std::vector<Control*> list;
    for (Control* x : ControlList(host.FirstControl())) list.push_back(x);
    std::vector<Control*> backwards;
    for (Control* x = host.LastControl(); x != nullptr; x = x->PrevSibling()) backwards.insert(backwards.begin(), x);
    EXPECT_EQ(list, backwards) << "the links agree in both directions";
    return list;
  };
  using List = std::vector<Control*>;
  EXPECT_EQ(order(), (List{&a, &b, &c}));
  a.ZOrder();  // first to the top
  EXPECT_EQ(order(), (List{&b, &c, &a}));
  a.ZOrder(2);  // last to the bottom
  EXPECT_EQ(order(), (List{&a, &b, &c}));
  b.ZOrder();  // middle to the top
  EXPECT_EQ(order(), (List{&a, &c, &b}));
  c.Unlink();  // middle out
  EXPECT_EQ(order(), (List{&a, &b}));
  EXPECT_EQ(c.PrevSibling(), nullptr);
  EXPECT_EQ(c.NextSibling(), nullptr);
  b.Unlink();  // last out
  EXPECT_EQ(order(), (List{&a}));
  a.Unlink();  // first and only out
  EXPECT_EQ(host.FirstControl(), nullptr);
  EXPECT_EQ(host.LastControl(), nullptr);
  c.Unlink();  // not in the list: only its own links are cleared
  EXPECT_EQ(host.FirstControl(), nullptr);
}

TEST_F(Controls, DestroyUnlinksResetsAndLeavesAStaleHandleHarmless) {
  RecordingControl parentControl, child;
  Make(parentControl, window.hwnd(), {10, 10, 100, 100});
  Make(child, &parentControl, {20, 20, 30, 30});
  const std::uintptr_t childHandle = child.HandleValue();
  parentControl.Destroy();
  EXPECT_EQ(child.GetHandle(), nullptr) << "children are destroyed first";
  EXPECT_EQ(child.Count(WM_DESTROY), 1);
  EXPECT_EQ(parentControl.GetHandle(), nullptr);
  EXPECT_EQ(parentControl.DrawSurface(), nullptr);
  EXPECT_EQ(host.FirstControl(), nullptr);
  EXPECT_EQ(Control::FromHandle(childHandle), nullptr);
  // Timers and deliveries with the dead handle reach nobody and draw nothing.
  test::Pump();
  const std::size_t heard = child.received.size();
  test::PresentationLog log(window.hwnd(), {25, 25});
  SendMessageW(window.hwnd(), WM_TIMER, childHandle, 0);
  Control::TransitionTick(window.hwnd(), WM_TIMER, childHandle + 1, 0);
  EXPECT_EQ(QueuedBlock<PackedMessage>::Send(window.hwnd(), kMsgDeliver, childHandle, {WM_PAINT, 0, 0}), 0);
  test::Pump();
  EXPECT_EQ(child.received.size(), heard) << "nothing reached the destroyed control";
  EXPECT_TRUE(log.entries.empty()) << "nothing was drawn for it";
  // It can be created again.
  Make(parentControl, window.hwnd(), {10, 10, 20, 20});
  EXPECT_EQ(parentControl.GetHandle(), &parentControl);
}

TEST_F(Controls, SendToSelfFromAnotherThreadRunsOnTheWindowsThread) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 40, 30});
  control.answers[WM_USER + 1] = 99;
  std::atomic<LRESULT> answer{0};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    answer = control.SendToSelf(WM_USER + 1, 5, 6);
    done = true;
  });
  // The send waits until this thread handles messages.
  ASSERT_TRUE(test::PumpUntil([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(answer.load(), 99);
  ASSERT_EQ(control.Count(WM_USER + 1), 1);
  EXPECT_EQ(control.received.back().wParam, 5u);
  EXPECT_EQ(control.lastThread, GetCurrentThreadId()) << "handled on the window's thread";
}

TEST_F(Controls, SendToAWindowThatIsGoneReturnsAtOnce) {
  auto doomed = std::make_unique<test::TestWindow>(0, 0, 100, 100);
  HostWindow doomedHost;
  HostOptions options;
  options.windowAlpha = 255;
  ASSERT_TRUE(doomedHost.Create(doomed->hwnd(), options));
  RecordingControl control;
  Make(control, doomed->hwnd(), {0, 0, 10, 10});
  const HWND gone = doomed->hwnd();
  doomed.reset();
  ASSERT_FALSE(IsWindow(gone));
  // The control was destroyed with its window; sending through a stale
  // window handle must not block or crash.
  test::ControlPeer::Window(control) = gone;
  HANDLE returned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread worker([&] {
    control.SendToSelf(WM_USER + 2, 0, 0);
    SetEvent(returned);
  });
  // This thread handles no messages while it waits: a send that waited for
  // a window would not return within the bound.
  const bool atOnce = WaitForSingleObject(returned, 2000) == WAIT_OBJECT_0;
  if (!atOnce) test::PumpUntil([&] { return WaitForSingleObject(returned, 0) == WAIT_OBJECT_0; }, 5000);
  worker.join();
  CloseHandle(returned);
  EXPECT_TRUE(atOnce);
}

// A control with a four-frame, 60 ms transition that has finished its
// first look (red) and is now asked to draw blue.
class Transitions : public Controls {
 protected:
  void Start(int style) {
    ControlOptions options;
    options.transitionInterval = 60;
    options.transitionFrames = 4;
    options.transitionStyle = style;
    control.colour = 0xFFFF0000;
    ASSERT_NE(control.Create(window.hwnd(), {20, 20, 40, 40}, kKindButton, true, options), nullptr);
    ASSERT_TRUE(test::PumpUntil([&] { return control.Count(kMsgTransitionFinished) >= 1; }, 2000));
    startedBefore = control.Count(kMsgTransitionStarted);
    finishedBefore = control.Count(kMsgTransitionFinished);
    control.colour = 0xFF0000FF;
    control.PaintSolid();
  }
  // Stops the timer and shows the given frame, so that the check does not
  // depend on how fast this machine runs the timer.
  void ShowFrame(int frame) {
    KillTimer(window.hwnd(), control.TransitionTimerId());
    test::ControlPeer::TransitionFrame(control) = frame;
    host.RedrawRect(control.Bounds(), false);
  }
  test::Pixel At(int x, int y) { return test::Unpack(host.Composition().CompositionSurface().PixelAt(x, y)); }

  RecordingControl control;
  int startedBefore = 0, finishedBefore = 0;
};

TEST_F(Transitions, CrossFadeBlendsTheTwoLooksAndTicksToTheEnd) {
  Start(0);
  EXPECT_EQ(control.Count(kMsgTransitionStarted), startedBefore + 1);
  ASSERT_NE(test::ControlPeer::Snapshot(control), nullptr) << "the old look is kept";
  EXPECT_EQ(test::PixelAt(test::ControlPeer::Snapshot(control).get(), 5, 5), 0xFFFF0000u);

  ShowFrame(2);  // halfway: a blend of red and blue
  EXPECT_NEAR(At(30, 30).r, 128, 3);
  EXPECT_NEAR(At(30, 30).b, 127, 3);
  ShowFrame(1);
  EXPECT_NEAR(At(30, 30).r, 192, 3);

  // From frame 1, three more ticks: the fourth frame ends it.
  Control::TransitionTick(window.hwnd(), WM_TIMER, control.TransitionTimerId(), 0);
  Control::TransitionTick(window.hwnd(), WM_TIMER, control.TransitionTimerId(), 0);
  EXPECT_EQ(control.TransitionFrame(), 3);
  EXPECT_EQ(control.Count(kMsgTransitionFinished), finishedBefore);
  Control::TransitionTick(window.hwnd(), WM_TIMER, control.TransitionTimerId(), 0);
  EXPECT_EQ(control.Count(kMsgTransitionFinished), finishedBefore + 1);
  EXPECT_EQ(test::ControlPeer::Snapshot(control), nullptr);
  EXPECT_EQ(At(30, 30).b, 255);
  EXPECT_EQ(At(30, 30).r, 0);

  // After the transition a partial redraw still shows the control.
  host.RedrawRect({25, 25, 10, 10}, true);
  EXPECT_EQ(At(30, 30).b, 255);
}

TEST_F(Transitions, TimerRunsFourTicksOfSixtyMilliseconds) {
  test::TimerLog timers;
  Start(0);
  EXPECT_EQ(timers.PeriodsOf(control.TransitionTimerId()).back(), 60u);
  const int blendsBefore = control.Count(kMsgDrawTransition);
  ASSERT_TRUE(test::PumpUntil([&] { return control.Count(kMsgTransitionFinished) == finishedBefore + 1; }, 3000));
  // Ticks 1 to 3 draw blends (the control is asked first); tick 4 the new look.
  EXPECT_EQ(control.Count(kMsgDrawTransition), blendsBefore + 3);
  EXPECT_EQ(test::ControlPeer::Snapshot(control), nullptr);
}

TEST_F(Transitions, SlideMovesTheOldLookOut) {
  Start(1);  // the old look slides down, the new one follows
  ShowFrame(1);
  // One frame: the old look moved down by 10, the new one above it.
  EXPECT_EQ(At(30, 25).b, 255);
  EXPECT_EQ(At(30, 35).r, 255);
  ShowFrame(3);
  EXPECT_EQ(At(30, 45).b, 255);
  EXPECT_EQ(At(30, 55).r, 255);
}

TEST_F(Controls, DisablingTheFocusedControlClearsTheFocus) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 40, 30});
  host.SetFocusControl(&control, false);
  ASSERT_TRUE(control.HasFocus());
  control.Disabled(1);
  EXPECT_EQ(host.FocusControl(), nullptr);
  ASSERT_TRUE(test::PumpUntil([&] { return control.Count(kMsgFocusLost) == 1; }, 2000));
  EXPECT_GE(control.Count(kMsgMouseLeft), 1);
  control.answers[kMsgHasFocus] = 1;
  EXPECT_TRUE(control.HasFocus()) << "the control's own answer wins";
}

TEST_F(Controls, PropertyOperationsSetWhenGivenAndAlwaysReturn) {
  RecordingControl control;
  Make(control, window.hwnd(), {10, 10, 40, 30});
  EXPECT_EQ(control.Opacity(), 255);
  EXPECT_EQ(control.Opacity(128), 128);
  EXPECT_EQ(control.Count(kMsgOpacityChanged), 1);
  EXPECT_EQ(control.Transition(3, 50), 3);
  EXPECT_EQ(control.TransitionInterval(), 50);
  EXPECT_EQ(control.TransitionStyle(2), 2);
  EXPECT_EQ(control.TagText(std::string("tag")), "tag");
  EXPECT_EQ(control.TooltipText(std::string("tip")), "tip");
  EXPECT_EQ(control.Cursor(32649), LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
  EXPECT_EQ(control.Interactive(0), 0);
  EXPECT_EQ(control.Bounds(RectF{5.7f, 6.2f, 30, 20}), (RectF{5, 6, 30, 20})) << "integer parts";
}

}  // namespace
}  // namespace ui

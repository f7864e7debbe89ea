// The scroll bar driven like a user: pointer messages into the host window,
// timer ticks with the bar's handle, and the pixels of its surface.
#include "engine/edit/ScrollBar.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/host/HostWindow.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"
#include "engine/testing/TimerLog.h"

namespace ui {
namespace {

struct Report {
  Control* parent;
  int position;
  bool operator==(const Report&) const = default;
};
std::vector<Report> reports;
void RecordPlain(int position) { reports.push_back({nullptr, position}); }
void RecordWithParent(Control* parent, int position) { reports.push_back({parent, position}); }

std::vector<int> Positions() {
  std::vector<int> positions;
  positions.reserve(reports.size());
  for (const Report& report : reports) positions.push_back(report.position);
  return positions;
}

// Counts the bar's drawing passes.
class CountingBar : public ScrollBar {
 public:
  int paints = 0;
  void OnPaintBegin(PaintContext&) override { ++paints; }
};

ScrollBarOptions Vertical(int maximum) {
  ScrollBarOptions options;
  options.maximum = maximum;
  options.orientation = 2;
  return options;
}

int AlphaAt(ScrollBar& bar, int x, int y) { return static_cast<int>(test::PixelAt(bar.DrawSurface(), x, y) >> 24); }

class ScrollBars : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost()));
    host.Show();
    reports.clear();
  }
  // Pointer input at a point of the host window.
  void Send(UINT message, int x, int y) {
    SendMessageW(window.hwnd(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }
  void Tick(ScrollBar& bar) { SendMessageW(window.hwnd(), WM_TIMER, bar.HandleValue(), 0); }
  // KillTimer fails for a timer that no longer runs.
  bool RepeatStillRuns(ScrollBar& bar) { return KillTimer(window.hwnd(), bar.HandleValue()) != FALSE; }

  test::TestWindow window{50, 50, 400, 300};
  HostWindow host;
};

TEST_F(ScrollBars, ThumbLengthFollowsTheMaximumOnARealBar) {
  // A vertical bar 100 high has an 80-pixel track.
  struct Case {
    int maximum;
    int thumb;
  };
  for (const Case& c : {Case{80, 40}, Case{1000, 30}, Case{0, 0}, Case{-10, 0}}) {
    ScrollBar created, set;
    ASSERT_NE(created.Create(window.hwnd(), 20, 20, 10, 100, Vertical(c.maximum)), nullptr);
    ASSERT_NE(set.Create(window.hwnd(), 40, 20, 10, 100, Vertical(500)), nullptr);
    set.Maximum(c.maximum);
    EXPECT_EQ(test::ControlPeer::TrackRect(created), (RectF{1, 10, 8, 80}));
    EXPECT_EQ(test::ControlPeer::ThumbLength(created), c.thumb) << "created with maximum " << c.maximum;
    EXPECT_EQ(test::ControlPeer::ThumbLength(set), c.thumb) << "maximum set to " << c.maximum;
  }
  ScrollBar across;
  ASSERT_NE(across.Create(window.hwnd(), 20, 150, 200, 10), nullptr);
  EXPECT_EQ(test::ControlPeer::ThumbLength(across), 115) << "180-pixel track, default maximum 100: 32400 / 280";
  across.Move(std::nullopt, std::nullopt, 300, std::nullopt, false);
  EXPECT_EQ(test::ControlPeer::TrackRect(across), (RectF{10, 1, 280, 8}));
  EXPECT_EQ(test::ControlPeer::ThumbLength(across), 206) << "laid out again when resized: 78400 / 380";
}

TEST_F(ScrollBars, SettersKeepThePositionInTheRangeAndReportNothing) {
  ScrollBar bar;
  ASSERT_NE(bar.Create(window.hwnd(), 100, 50, 10, 100, Vertical(80)), nullptr);
  bar.OnScroll(&RecordPlain);
  struct Step {
    int (ScrollBar::*setter)(std::optional<int>);
    int value;
    int position;
  };
  const Step steps[] = {
      {&ScrollBar::Position, 50, 50}, {&ScrollBar::Position, 500, 80}, {&ScrollBar::Position, -5, 0},
      {&ScrollBar::Position, 60, 60}, {&ScrollBar::Maximum, 30, 30},   {&ScrollBar::Minimum, 40, 40},
      {&ScrollBar::Maximum, 100, 40}, {&ScrollBar::Position, 10, 40},  // not below the minimum
      {&ScrollBar::Maximum, -20, 40},  // nothing to scroll: the position stays at the minimum
  };
  for (const Step& step : steps) {
    (bar.*step.setter)(step.value);
    EXPECT_EQ(test::ControlPeer::Position(bar), step.position) << "after setting " << step.value;
  }
  EXPECT_EQ(test::ControlPeer::ThumbLength(bar), 0);
  EXPECT_TRUE(reports.empty()) << "setting the position is not a scroll by the user";
}

TEST_F(ScrollBars, DraggingTheThumbMapsThePointerAndReportsByTheFlags) {
  // A vertical bar at (100, 50), 10 x 100, maximum 80: the thumb is 40 long
  // and travels 40 pixels, two positions per pixel. It is grabbed 5 pixels
  // below its top (window y 65).
  struct Case {
    int flags;
    std::vector<int> moves;     // window y of each pointer move
    std::vector<int> reported;  // positions reported, in order
    int final;
  };
  const Case cases[] = {
      {1, {75, 85, 250, 250}, {20, 40, 80}, 80},  // continuously; past the end exactly the maximum
      {0, {75, 85, 250}, {80}, 80},               // once, at the release
      {1, {85, -40}, {40, 0}, 0},                 // above the track exactly the minimum
  };
  for (const Case& c : cases) {
    reports.clear();
    ScrollBar bar;
    ScrollBarOptions options = Vertical(80);
    options.flags = c.flags;
    ASSERT_NE(bar.Create(window.hwnd(), 100, 50, 10, 100, options), nullptr);
    bar.OnScroll(&RecordPlain);
    Send(WM_MOUSEMOVE, 105, 65);
    Send(WM_LBUTTONDOWN, 105, 65);
    ASSERT_EQ(test::ControlPeer::PressedPart(bar), kPartThumb);
    EXPECT_EQ(test::ControlPeer::GrabOffset(bar), 5);
    for (int y : c.moves) Send(WM_MOUSEMOVE, 105, y);
    EXPECT_EQ(test::ControlPeer::Position(bar), c.final);
    // The thumb is drawn where the position puts it while the press lasts:
    // at the track's end for the maximum (y 50..90), at its start for the
    // minimum (y 10..50), darker than the track around it.
    const int thumbY = c.final == 80 ? 70 : 30, trackY = c.final == 80 ? 30 : 70;
    EXPECT_GT(AlphaAt(bar, 5, thumbY), AlphaAt(bar, 5, trackY) + 60) << "the thumb followed the pointer";
    if (c.flags == 0) {
      EXPECT_TRUE(reports.empty()) << "nothing before the release";
    }
    Send(WM_LBUTTONUP, 105, c.moves.back());
    EXPECT_EQ(Positions(), c.reported) << "flags " << c.flags;
    for (const Report& report : reports) EXPECT_EQ(report.parent, nullptr) << "a bar on the window: plain form";
    EXPECT_EQ(test::ControlPeer::PressedPart(bar), kPartNone);
  }
}

TEST_F(ScrollBars, HeldArrowRepeatsByTheArrowStepUntilTheEnd) {
  // Window points of the arrows of a vertical bar at (100, 50), 10 x 100.
  constexpr POINT kUp{105, 54}, kDown{105, 145};
  struct Case {
    POINT arrow;
    int step;
    int start;
    std::vector<int> ticks;  // the position after each tick
  };
  const Case cases[] = {
      {kDown, 16, 0, {16, 32, 48, 64, 80}},
      {kUp, 16, 40, {24, 8, 0}},
      {kDown, 30, 0, {30, 60, 80}},  // the last step stops at the maximum
  };
  for (const Case& c : cases) {
    reports.clear();
    ScrollBar bar;
    ScrollBarOptions options = Vertical(80);
    options.arrowStep = c.step;
    ASSERT_NE(bar.Create(window.hwnd(), 100, 50, 10, 100, options), nullptr);
    bar.Position(c.start);
    bar.OnScroll(&RecordPlain);
    test::TimerLog timers;
    Send(WM_LBUTTONDOWN, c.arrow.x, c.arrow.y);
    EXPECT_EQ(timers.PeriodsOf(bar.HandleValue()), std::vector<UINT>{100});
    EXPECT_EQ(test::ControlPeer::Position(bar), c.start) << "the first step comes with the first tick";
    for (int expected : c.ticks) {
      Tick(bar);
      EXPECT_EQ(test::ControlPeer::Position(bar), expected);
    }
    EXPECT_EQ(Positions(), c.ticks) << "every tick is reported";
    EXPECT_FALSE(RepeatStillRuns(bar)) << "the end killed the timer";
    Send(WM_LBUTTONUP, c.arrow.x, c.arrow.y);
  }
}

TEST_F(ScrollBars, PressesThatMoveNothingStopTheTimerAtTheFirstTick) {
  struct Case {
    const char* what;
    POINT press;
    int maximum;
    bool deactivate;  // the window loses the press before the tick
  };
  const Case cases[] = {
      {"track", {105, 130}, 80, false},
      {"thumb", {105, 65}, 80, false},
      {"arrow without a thumb", {105, 145}, 0, false},
      {"arrow of a deactivated window", {105, 145}, 80, true},
  };
  for (const Case& c : cases) {
    reports.clear();
    ScrollBar bar;
    ASSERT_NE(bar.Create(window.hwnd(), 100, 50, 10, 100, Vertical(c.maximum)), nullptr);
    bar.OnScroll(&RecordPlain);
    Send(WM_LBUTTONDOWN, c.press.x, c.press.y);
    if (c.deactivate) SendMessageW(window.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    Tick(bar);
    EXPECT_EQ(test::ControlPeer::Position(bar), 0) << c.what;
    EXPECT_TRUE(reports.empty()) << c.what;
    EXPECT_FALSE(RepeatStillRuns(bar)) << c.what;
    if (!c.deactivate) Send(WM_LBUTTONUP, c.press.x, c.press.y);
    EXPECT_EQ(test::ControlPeer::PressedPart(bar), kPartNone) << c.what;
  }
}

TEST_F(ScrollBars, PointerMovesRepaintOnlyWhenThePartChanges) {
  // A horizontal bar at (50, 200), 200 x 10, maximum 100: first arrow x 0..9,
  // thumb 10..125, track to 190, second arrow 191..200 (bar coordinates).
  CountingBar bar;
  ASSERT_NE(bar.Create(window.hwnd(), 50, 200, 200, 10), nullptr);
  struct Move {
    int x, y;
    int part;
    bool repaints;
  };
  const Move moves[] = {
      {70, 205, kPartThumb, true},  // onto the bar
      {90, 205, kPartThumb, false},     {120, 204, kPartThumb, false},      {200, 205, kPartTrack, true},
      {210, 202, kPartTrack, false},    {245, 205, kPartSecondArrow, true}, {246, 203, kPartSecondArrow, false},
      {52, 205, kPartFirstArrow, true},
  };
  for (const Move& move : moves) {
    const int before = bar.paints;
    Send(WM_MOUSEMOVE, move.x, move.y);
    EXPECT_EQ(bar.paints > before, move.repaints) << "move to " << move.x << ", " << move.y;
    EXPECT_EQ(test::ControlPeer::HoverPart(bar), move.part) << "move to " << move.x << ", " << move.y;
  }
}

TEST_F(ScrollBars, FaintWhileThePointerIsAwayAndFullOverTheBar) {
  // A vertical bar at (100, 50), 10 x 100, maximum 80 at position 0: thumb
  // y 10..50, track y 10..90 (bar coordinates). Black fills at the alphas
  // of each look, within 3 for GDI+'s rounding. In full the thumb lies over
  // the track: 110 over 40 gives 255 - 145 x 215 / 255 = 133. An arrow's
  // triangle and the hot outline around its box are thin, anti-aliased
  // shapes: only whether they are drawn is checked there.
  ScrollBar bar;
  ASSERT_NE(bar.Create(window.hwnd(), 100, 50, 10, 100, Vertical(80)), nullptr);
  bar.TransitionInterval(0);
  struct Look {
    int thumb, track;
    bool arrows, hotFirstArrow;
  };
  const auto expectLook = [&](const Look& look, const char* when) {
    EXPECT_NEAR(AlphaAt(bar, 5, 30), look.thumb, 3) << when << ": thumb";
    EXPECT_NEAR(AlphaAt(bar, 5, 70), look.track, 3) << when << ": track";
    EXPECT_EQ(test::PixelAt(bar.DrawSurface(), 5, 30) & 0xFFFFFF, 0u) << when << ": black";
    EXPECT_EQ(AlphaAt(bar, 4, 4) > 40, look.arrows) << when << ": first arrow's triangle";
    EXPECT_EQ(AlphaAt(bar, 4, 95) > 40, look.arrows) << when << ": second arrow's triangle";
    EXPECT_EQ(AlphaAt(bar, 0, 3) > 40, look.hotFirstArrow) << when << ": outline of the hot arrow";
  };
  expectLook({40, 0, false, false}, "created, pointer away");
  Send(WM_MOUSEMOVE, 105, 120);
  expectLook({133, 40, true, false}, "pointer over the track");
  const int plainTriangle = AlphaAt(bar, 4, 4);
  Send(WM_MOUSEMOVE, 105, 53);
  expectLook({133, 40, true, true}, "pointer over the first arrow");
  EXPECT_GT(AlphaAt(bar, 4, 4), plainTriangle + 30) << "a hot triangle is darker";
  Send(WM_MOUSEMOVE, 300, 250);
  expectLook({40, 0, false, false}, "pointer gone");

  ScrollBar alwaysFull;
  ScrollBarOptions options = Vertical(80);
  options.idleFaint = 0;
  ASSERT_NE(alwaysFull.Create(window.hwnd(), 200, 50, 10, 100, options), nullptr);
  EXPECT_NEAR(AlphaAt(alwaysFull, 5, 30), 133, 3) << "idle faint off: a plain paint draws in full";
  EXPECT_NEAR(AlphaAt(alwaysFull, 5, 70), 40, 3);
}

TEST_F(ScrollBars, BarInsideAControlReportsToItsParent) {
  test::RecordingControl box;
  ASSERT_NE(box.Create(window.hwnd(), RectF{50, 50, 200, 150}, kKindLabel, true), nullptr);
  ScrollBar bar;
  ASSERT_NE(bar.Create(&box, 230, 60, 10, 100, Vertical(80)), nullptr);
  bar.OnScroll(&RecordWithParent);
  bar.TransitionInterval(0);
  Send(WM_LBUTTONDOWN, 235, 155);  // the second arrow, found inside the box
  ASSERT_EQ(test::ControlPeer::PressedPart(bar), kPartSecondArrow);
  Tick(bar);
  Tick(bar);
  Send(WM_LBUTTONUP, 235, 155);
  EXPECT_EQ(reports, (std::vector<Report>{{&box, 1}, {&box, 2}}));
}

TEST_F(ScrollBars, DestroyingAPressedBarStopsItsTimer) {
  for (const bool byDestructor : {false, true}) {
    auto bar = std::make_unique<ScrollBar>();
    ASSERT_NE(bar->Create(window.hwnd(), 100, 50, 10, 100, Vertical(80)), nullptr);
    const std::uintptr_t handle = bar->HandleValue();
    Send(WM_LBUTTONDOWN, 105, 145);
    if (!byDestructor) {
      bar->Destroy();
      EXPECT_EQ(test::ControlPeer::Maximum(*bar), 0);
      EXPECT_EQ(test::ControlPeer::ThumbLength(*bar), 0);
    }
    bar.reset();
    EXPECT_FALSE(KillTimer(window.hwnd(), handle)) << "no tick is left for a bar that is gone";
    SendMessageW(window.hwnd(), WM_TIMER, handle, 0);  // a late tick reaches nobody
    Send(WM_LBUTTONUP, 105, 145);
  }
}

// The bars as they look, composed on a light window and saved to look at.
TEST(ScrollBarLook, LightTranslucentBarsOnTheWindow) {
  test::TestWindow window(100, 100, 300, 180);
  HostWindow host;
  HostOptions options = test::PlainHost();
  options.frameStyle = 0;  // a square window painted in its background colour
  options.backgroundColor = Rgb(236, 240, 244);
  ASSERT_TRUE(host.Create(window.hwnd(), options));
  host.Show();
  ScrollBarOptions faint, full;
  full.idleFaint = 0;
  ScrollBar acrossFaint, acrossFull, downFaint, downFull;
  ASSERT_NE(acrossFaint.Create(window.hwnd(), 20, 20, 200, 10, faint), nullptr);
  ASSERT_NE(acrossFull.Create(window.hwnd(), 20, 50, 200, 10, full), nullptr);
  faint.orientation = full.orientation = 2;
  faint.maximum = full.maximum = 80;
  ASSERT_NE(downFaint.Create(window.hwnd(), 240, 20, 10, 140, faint), nullptr);
  ASSERT_NE(downFull.Create(window.hwnd(), 260, 20, 10, 140, full), nullptr);
  acrossFaint.Position(40);
  acrossFull.Position(40);
  downFull.Position(80);
  // The pointer over the full horizontal bar's second arrow makes it hot.
  SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20 + 195, 55));
  ASSERT_EQ(test::ControlPeer::HoverPart(acrossFull), kPartSecondArrow);
  ASSERT_TRUE(test::PumpUntil(
      [&] { return test::ControlPeer::Snapshot(acrossFull) == nullptr && acrossFull.TransitionFrame() == 0; }));
  host.Compose();
  test::SaveSurface(host.Composition().CompositionSurface().bitmap(), "scroll-bars");

  // Translucent black over the window: the window's colour darkened by the
  // shapes' alpha (thumb 40 faint, 133 full over the track; track 40),
  // within 4.
  const int window236 = test::Unpack(host.Composition().CompositionSurface().PixelAt(150, 120)).r;
  ASSERT_NEAR(window236, 236, 1) << "the light window under the bars";
  const auto expectDarkened = [&](int x, int y, int alpha, const char* what) {
    const int red = test::Unpack(host.Composition().CompositionSurface().PixelAt(x, y)).r;
    EXPECT_NEAR(red, window236 * (255 - alpha) / 255.0, 4) << what;
  };
  expectDarkened(20 + 10 + 40, 25, 40, "faint thumb");
  expectDarkened(20 + 170, 25, 0, "no track while faint");
  expectDarkened(20 + 10 + 40, 55, 133, "full thumb");
  expectDarkened(20 + 180, 55, 40, "track");
  expectDarkened(245, 40, 40, "vertical faint thumb");
  expectDarkened(265, 40, 40, "vertical track");
  expectDarkened(265, 140, 133, "vertical thumb at the end");
}

}  // namespace
}  // namespace ui

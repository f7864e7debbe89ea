// How the edit box looks: where its line sits, the selection's rows and
// colours, the caret, scrolling. Pixels are read from the box's surface or
// the window's composed surface.
#include <algorithm>
#include <cmath>

#include "EditBoxFixture.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TimerLog.h"

namespace ui {
namespace {

using test::EditBoxes;
using test::Pixel;

// On a grey box with black text, only the selection (blue, with white text
// on it) is fully blue.
bool IsSelected(const Pixel& p) { return p.b > 240 && p.a > 230; }
bool IsWhitish(const Pixel& p) { return p.r > 200 && p.g > 200 && p.b > 240 && p.a > 230; }
// The caret: black at alpha 230 over the box.
bool IsCaretDark(const Pixel& p) { return p.r < 60 && p.g < 60 && p.b < 60 && p.a > 200; }

Pixel BoxPixel(EditBox& box, int x, int y) {
  const std::uint32_t argb = test::PixelAt(box.DrawSurface(), x, y);
  return {static_cast<int>(argb >> 24), static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
          static_cast<int>(argb & 0xFF)};
}

std::string Lines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + (i < count ? "\r\n" : "");
  return text;
}

TEST_F(EditBoxes, OneLineIsCentredInTheBox) {
  EditBoxOptions options;
  options.fontSize = 16;
  Make({10, 10, 200, 27}, "Nimbo", options);
  Gdiplus::REAL fontHeight = 0;
  gp::GdipGetFontHeight(test::ControlPeer::Font(box).get(), test::ControlPeer::Graphics(box), &fontHeight);
  // Inside the border (2 pixels) the line is h = font height + 3 high,
  // centred in the 23 rows there, then one row lower.
  const float h = std::trunc(fontHeight + 3);
  EXPECT_FLOAT_EQ(test::ControlPeer::TextArea(box).top, 2 + std::trunc((23 - h) / 2) + 1);
  EXPECT_FLOAT_EQ(test::ControlPeer::TextArea(box).height, h);
  // The text's ink is centred too, within two rows.
  int top = 27, bottom = -1;
  for (int y = 0; y < 27; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (BoxPixel(box, x, y).a > 128 && BoxPixel(box, x, y).r < 100) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  ASSERT_LE(top, bottom) << "the text is drawn";
  EXPECT_NEAR((top + bottom) / 2.0, 13, 3);
}

TEST_F(EditBoxes, SelectionAcrossThreeLinesIsWhiteOnBlueOnItsRows) {
  EditBoxOptions many;
  many.multiLine = 1;
  many.scrollBars = 0;
  many.backColor = 0xFF808080;
  Make({10, 10, 300, 150}, "aaaa\r\nbbbb\r\ncccc\r\ndddd", many);
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  Key(VK_DOWN, true);
  Key(VK_DOWN, true);
  ASSERT_EQ(box.SelectedText(), "aa\r\nbbbb\r\ncc");
  test::Pump();
  test::SaveSurface(host.Composition().CompositionSurface().bitmap(), "edit-selection");

  // On each line's middle row, where the selection shows, against the
  // columns it covers there: line 1 from column 2 to its end, line 2 whole,
  // line 3 up to column 2, line 4 nothing. The selected glyphs are white.
  struct Expected {
    int line;
    int fromColumn, toColumn;  // -1: no selection on the line
  };
  for (const Expected& e : {Expected{1, 2, 4}, Expected{2, 0, 4}, Expected{3, 0, 2}, Expected{4, -1, -1}}) {
    const RectF extent = test::ControlPeer::Text(box).LineExtent(e.line);
    const int y = static_cast<int>(test::ControlPeer::TextArea(box).top + extent.top + extent.height / 2);
    int first = -1, last = -1, white = 0;
    for (int x = 0; x < 300; ++x) {
      const Pixel p = BoxPixel(box, x, y);
      if (!IsSelected(p)) continue;
      if (first < 0) first = x;
      last = x;
      white += IsWhitish(p) ? 1 : 0;
    }
    if (e.fromColumn < 0) {
      EXPECT_EQ(first, -1) << "line " << e.line << " is not selected";
      continue;
    }
    const float from = box.CaretRect(e.line, e.fromColumn - 1).left;
    const float to = box.CaretRect(e.line, e.toColumn - 1).left;
    EXPECT_NEAR(first, from, 2) << "line " << e.line;
    EXPECT_NEAR(last + 1, to, 2) << "line " << e.line;
    EXPECT_GT(white, 0) << "line " << e.line << ": the selected text is white";
  }
}

int SelectedPixels(EditBox& box) {
  int selected = 0;
  for (int y = 0; y < static_cast<int>(box.Bounds().height); ++y) {
    for (int x = 0; x < static_cast<int>(box.Bounds().width); ++x) selected += IsSelected(BoxPixel(box, x, y)) ? 1 : 0;
  }
  return selected;
}

// Pressed, dragged a character on and back to where it began: nothing is
// selected, and nothing is drawn selected.
TEST_F(EditBoxes, DragBackToThePressPointDrawsNoSelection) {
  Make({10, 10, 300, 27}, "abcdef");
  const auto at = [&](int column) {
    const RectF caret = box.CaretRect(1, column - 1);
    return MAKELPARAM(static_cast<int>(box.Bounds().left + caret.left),
                      static_cast<int>(box.Bounds().top + caret.top + caret.height / 2));
  };
  Send(WM_LBUTTONDOWN, MK_LBUTTON, at(1));
  Send(WM_MOUSEMOVE, MK_LBUTTON, at(2));
  ASSERT_EQ(box.SelectedText(), "b");
  EXPECT_GT(SelectedPixels(box), 0) << "the selection is drawn";
  Send(WM_MOUSEMOVE, MK_LBUTTON, at(1));
  EXPECT_EQ(box.SelectedText(), "");
  EXPECT_EQ(SelectedPixels(box), 0) << "the empty selection is drawn too";
  Send(WM_LBUTTONUP, 0, at(1));
}

// A column of the window's surface that is dark like the caret, over the
// caret's rows: how many such pixels.
int CaretPixels(HostWindow& host, EditBox& box, const RectF& caret) {
  const int x = static_cast<int>(box.Bounds().left + caret.left);
  int dark = 0;
  for (int y = static_cast<int>(box.Bounds().top + caret.top); y < box.Bounds().top + caret.Bottom(); ++y) {
    dark += IsCaretDark(test::Unpack(host.Composition().CompositionSurface().PixelAt(x, y))) ? 1 : 0;
  }
  return dark;
}

TEST_F(EditBoxes, CaretBlinksInsideTheTextAreaAndNotOnceScrolledOut) {
  EditBoxOptions many;
  many.multiLine = 1;
  many.textColor = 0xFFFFFFFF;  // only the caret is dark
  test::TimerLog timers;
  Make({10, 10, 200, 100}, Lines(30), many);
  const POINT at{20, 20};
  Click(at.x, at.y);
  test::Pump();
  const RectF caret = test::ControlPeer::CaretRect(box);
  ASSERT_TRUE(RectContains(test::ControlPeer::TextArea(box), caret.left, caret.top + 2));
  EXPECT_GE(CaretPixels(host, box, caret), static_cast<int>(caret.height) - 3) << "drawn at once";
  EXPECT_EQ(timers.PeriodsOf(box.HandleValue()).back(), 500u) << "blinking every 500 ms";

  // Ticks of the blink: once hidden, the caret shows and hides in turn.
  std::vector<bool> shown;
  for (int tick = 0; tick < 4; ++tick) {
    Send(WM_TIMER, box.HandleValue(), 0);
    test::Pump();
    shown.push_back(CaretPixels(host, box, caret) > 0);
  }
  const auto hidden = std::find(shown.begin(), shown.end(), false);
  ASSERT_LT(hidden - shown.begin(), 2) << "the blink hides it within two ticks";
  for (auto tick = hidden + 1; tick != shown.end(); ++tick) EXPECT_NE(*tick, *(tick - 1)) << "alternating";

  // Scrolled down by the wheel: the caret's line is out of view.
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  test::Pump();
  EXPECT_LT(test::ControlPeer::CaretRect(box).top, test::ControlPeer::TextArea(box).top);
  Send(WM_TIMER, box.HandleValue(), 0);
  Send(WM_TIMER, box.HandleValue(), 0);
  test::Pump();
  int dark = 0;
  for (int x = 0; x < 200; ++x) {
    for (int y = static_cast<int>(test::ControlPeer::TextArea(box).top); y < test::ControlPeer::TextArea(box).Bottom();
         ++y) {
      dark += IsCaretDark(test::Unpack(host.Composition().CompositionSurface().PixelAt(10 + x, 10 + y))) ? 1 : 0;
    }
  }
  EXPECT_EQ(dark, 0) << "no caret anywhere in the text area";
}

TEST_F(EditBoxes, WheelScrollsThreeLinesOfAMultiLineBoxOnly) {
  Make({10, 10, 200, 27}, "one line");
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(test::ControlPeer::ScrollY(box), 0) << "one line does not scroll";
  box.Destroy();

  EditBoxOptions many;
  many.multiLine = 1;
  Make({10, 10, 200, 100}, Lines(30), many);
  const int line = test::ControlPeer::Text(box).LineHeight();
  ASSERT_GT(line, 0);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(test::ControlPeer::ScrollY(box), -3 * line);
  EXPECT_EQ(test::ControlPeer::Position(test::ControlPeer::VerticalBar(box)), 3 * line) << "the bar follows";
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(test::ControlPeer::ScrollY(box), 0) << "never above the start";
  for (int i = 0; i < 40; ++i) Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(test::ControlPeer::ScrollY(box),
            -(test::ControlPeer::Text(box).TotalHeight() - static_cast<int>(test::ControlPeer::TextArea(box).height)))
      << "nor below the end";
}

TEST_F(EditBoxes, TextSetWithMoveToEndShowsTheLastLine) {
  EditBoxOptions many;
  many.multiLine = 1;
  Make({10, 10, 200, 100}, "", many);
  box.Text(Lines(30), /*moveToEnd=*/true);
  EXPECT_EQ(box.Caret(), (TextPoint{30, 7}));
  EXPECT_EQ(box.Anchor(), box.Caret());
  const RectF last = test::ControlPeer::Text(box).LineExtent(30);
  const float lastBottom =
      test::ControlPeer::TextArea(box).top + static_cast<float>(test::ControlPeer::ScrollY(box)) + last.Bottom();
  EXPECT_LE(lastBottom, test::ControlPeer::TextArea(box).Bottom()) << "the last line is in view";
  EXPECT_GT(lastBottom, test::ControlPeer::TextArea(box).Bottom() - last.height - 3) << "at the bottom";
  EXPECT_EQ(test::ControlPeer::Position(test::ControlPeer::VerticalBar(box)), -test::ControlPeer::ScrollY(box));

  box.Text(Lines(30));
  EXPECT_EQ(box.Caret(), (TextPoint{1, 0}));
  EXPECT_EQ(test::ControlPeer::ScrollY(box), 0);
}

}  // namespace
}  // namespace ui

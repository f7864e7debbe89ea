// A multi-line box's scrolling and its bars: the vertical bar's range and
// thumb follow the text on every path that changes the text or the scroll,
// a blank line of a wrapping box takes a row, and only a box with a
// vertical bar scrolls on the wheel.
#include <string>

#include "engine/testing/ControlPeer.h"
#include "EditBoxFixture.h"

namespace ui {
namespace {

using test::EditBoxes;

std::string Lines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + (i < count ? "\r\n" : "");
  return text;
}

EditBoxOptions ManyLines(int scrollBars = kBothBars) {
  EditBoxOptions options;
  options.multiLine = 1;
  options.scrollBars = scrollBars;
  return options;
}

// The bar shows what the box shows: its range is the text's height beyond
// the text area, its position the scroll.
void ExpectBarFollows(EditBox& box, const std::string& when) {
  const int range =
      test::ControlPeer::Text(box).TotalHeight() - static_cast<int>(test::ControlPeer::TextArea(box).height);
  EXPECT_EQ(test::ControlPeer::Maximum(test::ControlPeer::VerticalBar(box)), range) << when;
  EXPECT_EQ(test::ControlPeer::Position(test::ControlPeer::VerticalBar(box)), -test::ControlPeer::ScrollY(box)) << when;
  EXPECT_LE(test::ControlPeer::ScrollY(box), 0) << when;
  EXPECT_GE(test::ControlPeer::ScrollY(box), -std::max(range, 0)) << when;
}

TEST_F(EditBoxes, VerticalBarFollowsEveryChangeOfTextAndScroll) {
  Make({10, 10, 200, 100}, "", ManyLines());
  // Returns until the text overflows and beyond: the thumb never runs a
  // line behind.
  for (int line = 2; line <= 14; ++line) {
    Key(VK_RETURN);
    ExpectBarFollows(box, "after Return number " + std::to_string(line - 1));
    ASSERT_FALSE(HasFailure());
  }
  ASSERT_GT(test::ControlPeer::Maximum(test::ControlPeer::VerticalBar(box)), 0) << "the text overflows";
  EXPECT_GT(test::ControlPeer::Position(test::ControlPeer::VerticalBar(box)), 0)
      << "scrolled to the caret on the last line";

  Key(VK_BACK);
  ExpectBarFollows(box, "after BackSpace");
  box.Text(Lines(30), /*moveToEnd=*/true);
  ExpectBarFollows(box, "text set, moved to the end");
  box.Text(Lines(30));
  ExpectBarFollows(box, "text set, caret at the start");
  EXPECT_EQ(test::ControlPeer::Position(test::ControlPeer::VerticalBar(box)), 0)
      << "the first line shows, the thumb at the top";

  for (int i = 0; i < 4; ++i) Key(VK_DOWN);
  ExpectBarFollows(box, "after Down");
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  ExpectBarFollows(box, "after the wheel");
  for (int i = 0; i < 4; ++i) Key(VK_UP);
  ExpectBarFollows(box, "after Up");

  // Made tall enough for all of the text, then small again.
  box.Text(Lines(30), true);
  box.Move(std::nullopt, std::nullopt, 200, 1000);
  ExpectBarFollows(box, "grown beyond the text");
  EXPECT_EQ(test::ControlPeer::ScrollY(box), 0) << "nothing left to scroll";
  box.Move(std::nullopt, std::nullopt, 200, 100);
  ExpectBarFollows(box, "made small again");
}

TEST_F(EditBoxes, WheelScrollsOnlyABoxWithAVerticalBar) {
  Make({10, 10, 200, 100}, Lines(30), ManyLines(kHorizontalBar));
  ASSERT_GT(test::ControlPeer::Text(box).TotalHeight(), test::ControlPeer::TextArea(box).height)
      << "the text overflows";
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(test::ControlPeer::ScrollY(box), 0) << "no vertical bar, no wheel";
  box.Destroy();

  Make({10, 10, 200, 100}, Lines(3), ManyLines());
  ASSERT_LE(test::ControlPeer::Text(box).TotalHeight(), test::ControlPeer::TextArea(box).height) << "the text fits";
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(test::ControlPeer::ScrollY(box), 0) << "text that fits does not scroll";
}

TEST_F(EditBoxes, BlankLineOfAWrappingBoxTakesARow) {
  Make({10, 10, 200, 100}, "a\r\n\r\nb", ManyLines(kVerticalBar));
  const RectF first = test::ControlPeer::Text(box).LineExtent(1), blank = test::ControlPeer::Text(box).LineExtent(2),
              last = test::ControlPeer::Text(box).LineExtent(3);
  ASSERT_GT(first.height, 0);
  EXPECT_FLOAT_EQ(blank.height, first.height) << "one row, like a line of text";
  EXPECT_FLOAT_EQ(blank.top, first.Bottom());
  EXPECT_FLOAT_EQ(last.top, blank.Bottom()) << "b is drawn below the blank line, not on it";

  const RectF blankCaret = box.CaretRect(2, -1), lastCaret = box.CaretRect(3, -1);
  EXPECT_LT(blankCaret.top, lastCaret.top) << "the blank line's caret stands on its own row";
  const int x = static_cast<int>(box.Bounds().left + test::ControlPeer::TextArea(box).left + 2);
  const int y =
      static_cast<int>(box.Bounds().top + test::ControlPeer::TextArea(box).top + blank.top + blank.height / 2);
  Click(x, y);
  EXPECT_EQ(box.Caret(), (TextPoint{2, 0})) << "a click reaches the blank line";
}

}  // namespace
}  // namespace ui

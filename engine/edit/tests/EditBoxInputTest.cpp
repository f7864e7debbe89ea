// The edit box's editing rules, scripted like a user: keys, characters,
// clicks and the clipboard go into the host window; text, caret and
// selection are checked.
#include <atomic>
#include <thread>

#include "EditBoxFixture.h"
#include "engine/core/Clipboard.h"
#include "engine/edit/EditContextMenu.h"
#include "engine/core/Engine.h"
#include "engine/host/PopupMenu.h"
#include "engine/testing/ControlPeer.h"
#include "engine/testing/ModalWatchdog.h"

namespace ui {
namespace {

using test::EditBoxes;

TEST_F(EditBoxes, TypingGoesInAtTheCaretAndEnterBreaksOnlyManyLines) {
  Make({10, 10, 200, 27}, "ab\r\nnot kept");
  EXPECT_EQ(box.Text(), "ab") << "one line keeps the first line";
  Type("xy");
  EXPECT_EQ(box.Text(), "xyab");
  EXPECT_EQ(box.Caret(), (TextPoint{1, 2}));
  Key(VK_END);
  Type("!");
  Key(VK_RETURN);
  EXPECT_EQ(box.Text(), "xyab!") << "Enter adds nothing to one line";

  box.Destroy();
  EditBoxOptions many;
  many.multiLine = 1;
  Make({10, 10, 200, 120}, "ab", many);
  Key(VK_END);
  Key(VK_RETURN);
  Type("c");
  EXPECT_EQ(box.Text(), "ab\r\nc");
  EXPECT_EQ(box.Caret(), (TextPoint{2, 1}));
}

TEST_F(EditBoxes, BackspaceJoinsLinesAndDeleteNeedsASelection) {
  EditBoxOptions many;
  many.multiLine = 1;
  Make({10, 10, 200, 120}, "ab\r\ncd", many);
  Key(VK_BACK);  // at the start of the text
  EXPECT_EQ(box.Text(), "ab\r\ncd");
  Key(VK_DOWN);  // (2, 0)
  Key(VK_BACK);
  EXPECT_EQ(box.Text(), "abcd");
  EXPECT_EQ(box.Caret(), (TextPoint{1, 2})) << "at the old end of line 1";
  Key(VK_DELETE);
  EXPECT_EQ(box.Text(), "abcd") << "nothing selected: nothing deleted";
  Key(VK_RIGHT, /*shift=*/true);
  Key(VK_DELETE);
  EXPECT_EQ(box.Text(), "abd");
  Key(VK_BACK);
  EXPECT_EQ(box.Text(), "ad");
  EXPECT_EQ(box.Caret(), (TextPoint{1, 1}));
}

TEST_F(EditBoxes, NavigationKeysMoveTheCaretAndShiftKeepsTheAnchor) {
  EditBoxOptions many;
  many.multiLine = 1;
  Make({10, 10, 200, 120}, "abc\r\nde", many);
  struct Step {
    unsigned key;
    bool shift;
    TextPoint anchor, caret;
  };
  const Step steps[] = {
      {VK_UP, false, {1, 0}, {1, 0}},                                       // line 1 stays line 1
      {VK_END, false, {1, 3}, {1, 3}},  {VK_RIGHT, false, {2, 0}, {2, 0}},  // end of line 1: start of line 2
      {VK_END, false, {2, 2}, {2, 2}},  {VK_RIGHT, false, {2, 2}, {2, 2}},  // end of the last line: stays
      {VK_UP, false, {1, 2}, {1, 2}},   {VK_END, false, {1, 3}, {1, 3}},
      {VK_DOWN, false, {2, 2}, {2, 2}},  // the column is kept where the line allows
      {VK_HOME, true, {2, 2}, {2, 0}},  {VK_LEFT, true, {2, 2}, {1, 3}},
      {VK_LEFT, true, {2, 2}, {1, 2}},  {VK_RIGHT, false, {1, 3}, {1, 3}},  // without Shift the anchor follows
      {VK_LEFT, true, {1, 3}, {1, 2}},  {VK_LEFT, true, {1, 3}, {1, 1}},
  };
  int number = 0;
  for (const Step& step : steps) {
    Key(step.key, step.shift);
    EXPECT_EQ(box.Anchor(), step.anchor) << "step " << number;
    EXPECT_EQ(box.Caret(), step.caret) << "step " << number;
    ++number;
  }
  EXPECT_EQ(box.SelectedText(), "bc") << "Shift+Left twice from (1, 3)";
}

// The middle of a character of the box's first line, in window coordinates.
POINT MiddleOf(EditBox& box, int column) {
  const RectF before = box.CaretRect(1, column - 1), after = box.CaretRect(1, column);
  return {static_cast<LONG>(box.Bounds().left + (before.left + after.left) / 2),
          static_cast<LONG>(box.Bounds().top + before.top + before.height / 2)};
}

TEST_F(EditBoxes, DoubleClickSelectsAWordAndAThirdClickTheLine) {
  Make({10, 10, 300, 27}, "abc_de9 x  y");
  struct Case {
    int column;  // the character clicked
    const char* selected;
  };
  for (const Case& c : {Case{1, "abc"}, Case{5, "de9"}, Case{10, " "}}) {
    const POINT at = MiddleOf(box, c.column);
    DoubleClick(at.x, at.y);
    EXPECT_EQ(box.SelectedText(), c.selected) << "column " << c.column;
    test::ControlPeer::DoubleClickPending(box) = 0;
  }
  const POINT at = MiddleOf(box, 1);
  DoubleClick(at.x, at.y);
  Click(at.x, at.y);  // within 500 ms of the double click
  EXPECT_EQ(box.SelectedText(), "abc_de9 x  y");
  // A click long after a double click only places the caret.
  DoubleClick(at.x, at.y);
  test::ControlPeer::DoubleClickTime(box) -= 501;
  Click(at.x, at.y);
  EXPECT_EQ(box.SelectedText(), "");
}

TEST_F(EditBoxes, ClipboardCarriesChineseTextToAndFromOtherPrograms) {
  Make({10, 10, 300, 27}, "\xD6\xD0\xCE\xC4 ok");  // "中文 ok"
  Key('A', false, true);
  Key('C', false, true);
  // Other programs read it as Unicode, whatever this system's code page.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))), L"\u4E2D\u6587 ok");
  GlobalUnlock(data);
  CloseClipboard();

  Key('X', false, true);
  EXPECT_EQ(box.Text(), "");
  Key('V', false, true);
  Key('V', false, true);
  EXPECT_EQ(box.Text(), "\xD6\xD0\xCE\xC4 ok\xD6\xD0\xCE\xC4 ok");

  // Pasted from another program: a character with no code page 936 form
  // becomes the default character; nothing after it is lost.
  ASSERT_TRUE(WriteClipboardText(window.hwnd(), ""));
  ASSERT_TRUE(OpenClipboard(window.hwnd()));
  EmptyClipboard();
  const wchar_t foreign[] = L"\u0E01\u4E2Dz";
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof foreign);
  memcpy(GlobalLock(block), foreign, sizeof foreign);
  GlobalUnlock(block);
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
  Key('A', false, true);
  Key('V', false, true);
  EXPECT_EQ(box.Text(), "?\xD6\xD0z");
}

TEST_F(EditBoxes, PastedLinesKeepTheirBreaks) {
  EditBoxOptions many;
  many.multiLine = 1;
  Make({10, 10, 200, 120}, "", many);
  ASSERT_TRUE(WriteClipboardText(window.hwnd(), "one\ntwo\r\nthree"));
  Key('V', false, true);
  EXPECT_EQ(box.Text(), "one\r\ntwo\r\nthree");
  EXPECT_EQ(box.Caret(), (TextPoint{3, 5}));
}

// A paste takes what typing would: in a single-line box the text up to its
// first line break, the rest of the box kept; in a number box only what
// the mode accepts. Pasted with Ctrl+V and with the menu's paste (which
// comes back as a command).
TEST_F(EditBoxes, PasteTakesWhatTypingWouldAndKeepsTheRestOfTheBox) {
  struct Case {
    const char* what;
    int mode;
    const char* initial;
    int caretColumn;  // -1: the whole text selected
    const char* clipboard;
    const char* text;
    int caretAfter;
  };
  const Case cases[] = {
      {"a line break in the middle of the folder", kEditNormal, "D:\\Nimbo\\", 3, "X\r\nY", "D:\\XNimbo\\", 4},
      {"a lone LF", kEditNormal, "D:\\Nimbo\\", 3, "X\nY", "D:\\XNimbo\\", 4},
      {"control codes", kEditNormal, "ab", 1, "\x1C-\x1F\t", "a-b", 2},
      {"integer: letters", kEditInteger, "7", 1, "abc", "7", 1},
      {"integer: digits of a mixed text", kEditInteger, "", 0, "12a", "12", 2},
      {"decimal: one full stop", kEditDecimal, "", 0, "1.2.3", "1.23", 4},
      {"decimal: the box has one already", kEditDecimal, "1.5", 3, "2.5", "1.525", 5},
      {"decimal: replacing the one it had", kEditDecimal, "1.5", -1, "2.5", "2.5", 3},
  };
  for (const bool fromMenu : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.what << (fromMenu ? ", from the menu" : ", Ctrl+V"));
      EditBoxOptions options;
      options.inputMode = c.mode;
      Make({10, 10, 200, 27}, c.initial, options);
      Key(VK_HOME);
      for (int i = 0; i < c.caretColumn; ++i) Key(VK_RIGHT);
      if (c.caretColumn < 0) Key('A', false, true);
      ASSERT_TRUE(WriteClipboardText(window.hwnd(), c.clipboard));
      if (fromMenu) Send(WM_COMMAND, 'V', 0);
      else Key('V', false, true);
      EXPECT_EQ(box.Text(), c.text);
      EXPECT_EQ(box.Caret(), (TextPoint{1, c.caretAfter}));
      box.Destroy();
    }
  }
  // Typing goes on where the stored text puts the caret.
  Make({10, 10, 200, 27}, "D:\\Nimbo\\");
  for (int i = 0; i < 3; ++i) Key(VK_RIGHT);
  ASSERT_TRUE(WriteClipboardText(window.hwnd(), "X\r\nY"));
  Key('V', false, true);
  Type("Z");
  EXPECT_EQ(box.Text(), "D:\\XZNimbo\\");
}

// Typed characters are printable ones: no control codes (Ctrl+\, Ctrl+],
// Ctrl+^ and Ctrl+_ send 28 to 31), but any character code page 936 has,
// which arrives in UTF-16.
TEST_F(EditBoxes, TypingTakesPrintableCharactersOnly) {
  Make({10, 10, 200, 27}, "D:\\");
  Key(VK_END);
  for (WPARAM code : {28, 29, 30, 31, 9, 127}) Send(WM_CHAR, code, 1);
  EXPECT_EQ(box.Text(), "D:\\") << "control codes";
  for (WPARAM code : {0x4E2D, 0x20AC, 0x0E01, 0xD83D, 0x61}) Send(WM_CHAR, code, 1);
  // 中 and € have a form in code page 936; Thai and half a surrogate pair do not.
  EXPECT_EQ(box.Text(),
            "D:\\\xD6\xD0\x80"
            "a");
}

// Byte 0x80 is the euro sign, a character of one byte: deleting, moving
// over and selecting next to it take the characters as they are.
TEST_F(EditBoxes, TheEuroSignIsOneCharacterOfOneByte) {
  Make({10, 10, 200, 27}, "\x80x");
  Key(VK_END);
  Key(VK_BACK);
  EXPECT_EQ(box.Text(), "\x80") << "BackSpace after x removes x alone";
  box.Destroy();

  Make({10, 10, 200, 27}, "\x80\xD6\xD0y");  // "€中y"
  Key(VK_HOME);
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  Type("Z");
  EXPECT_EQ(box.Text(), "\x80\xD6\xD0Zy") << "two steps right are behind 中";
  Key(VK_HOME);
  Key(VK_RIGHT);
  Key(VK_RIGHT, /*shift=*/true);
  Key('C', false, true);
  EXPECT_EQ(ReadClipboardText(), "\xD6\xD0") << "Shift+Right selects all of 中";
}

TEST_F(EditBoxes, ReadOnlyAndPasswordBoxesRefuseWhatTheyMust) {
  EditBoxOptions readOnly;
  readOnly.inputMode = kEditReadOnly;
  Make({10, 10, 200, 27}, "fixed", readOnly);
  Type("x");
  Key(VK_BACK);
  Key(VK_DELETE);
  Key('A', false, true);
  HoldKeys(false, true);
  EXPECT_EQ(box.KeyDown('X', false), kUnhandled) << "cut is refused";
  ReleaseKeys();
  EXPECT_EQ(box.Text(), "fixed");
  Key('C', false, true);
  EXPECT_EQ(ReadClipboardText(), "fixed") << "copying is allowed";

  box.Destroy();
  EditBoxOptions password;
  password.inputMode = kEditPassword;
  Make({10, 10, 200, 27}, "secret", password);
  ASSERT_TRUE(WriteClipboardText(window.hwnd(), "before"));
  Key(VK_END);
  Key(VK_LEFT, /*shift=*/true);
  EXPECT_EQ(box.Anchor(), box.Caret()) << "Shift does not select a password";
  Key('A', false, true);
  Key('C', false, true);
  EXPECT_EQ(box.SelectedText(), "");
  EXPECT_EQ(ReadClipboardText(), "before") << "a password is never copied";
  Type("!");
  EXPECT_EQ(box.Text(), "secre!t");
  EXPECT_EQ(test::ControlPeer::Text(box).LineText(1, std::nullopt, true), "*******");
}

TEST_F(EditBoxes, IntegerAndDecimalBoxesTakeOnlyTheirCharacters) {
  struct Case {
    int mode;
    const char* typed;
    const char* kept;
  };
  for (const Case& c : {Case{kEditInteger, "-12a.3", "-123"}, Case{kEditDecimal, "1.2.3/4e", "1.23/4"},
                        Case{kEditNormal,
                             "a\x7f"
                             "b",
                             "ab"}}) {
    EditBoxOptions options;
    options.inputMode = c.mode;
    Make({10, 10, 200, 27}, "", options);
    Type(c.typed);
    EXPECT_EQ(box.Text(), c.kept) << "mode " << c.mode;
    box.Destroy();
  }
}

int changes = 0;
void CountChange(Control*) { ++changes; }

TEST_F(EditBoxes, TextIsSetAndReadFromAnotherThread) {
  changes = 0;
  Make({10, 10, 200, 27}, "");
  box.OnChange(&CountChange);
  std::atomic<bool> done{false};
  std::string read;
  std::thread worker([&] {
    box.Text(std::string("from the worker"));
    read = box.Text();
    done = true;
  });
  ASSERT_TRUE(test::PumpUntil([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(read, "from the worker");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(box.Caret(), (TextPoint{1, 0}));
}

// The context menu of the box, answered from inside the menu's modal loop.
std::vector<int> statesSeen;
int itemToChoose = 0;
int OnEditMenu(HWND menuWindow, int) {
  PopupMenu* menu = &EditContextMenu();
  statesSeen.clear();
  for (int i = 1; i <= 5; ++i) statesSeen.push_back(menu->ItemState(i));
  // An access letter chooses (A: select all); Escape closes.
  PostMessageW(menuWindow, WM_KEYDOWN, itemToChoose != 0 ? itemToChoose : VK_ESCAPE, 0);
  return 0;
}

TEST_F(EditBoxes, ContextMenuGreysWhatCannotBeDoneAndActsLikeTheKeys) {
  test::ModalWatchdog watchdog(5000);
  EditBoxOptions readOnly;
  readOnly.inputMode = kEditReadOnly;
  Make({10, 10, 200, 27}, "fixed", readOnly);
  ASSERT_TRUE(WriteClipboardText(window.hwnd(), "clip"));
  EditContextMenu().SetOnPopup(&OnEditMenu);
  itemToChoose = 0;
  Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 20));
  Send(WM_RBUTTONUP, 0, MAKELPARAM(30, 20));
  // Cut and copy: nothing selected; paste: read-only; select all: there is text.
  EXPECT_EQ(statesSeen, (std::vector<int>{-1, -1, -1, 0, 1}));

  itemToChoose = 'A';
  Send(WM_RBUTTONUP, 0, MAKELPARAM(30, 20));
  EXPECT_EQ(box.SelectedText(), "fixed") << "select all, as Ctrl+A";
  itemToChoose = 0;
  Send(WM_RBUTTONUP, 0, MAKELPARAM(30, 20));
  EXPECT_EQ(statesSeen[0], -1) << "cut stays greyed in a read-only box";
  EXPECT_EQ(statesSeen[1], 0) << "copy is offered for the selection";
  EditContextMenu().SetOnPopup(nullptr);
  EXPECT_FALSE(watchdog.Fired());
}

// Completes a composition as an input method would, so the window gets its
// result with WM_IME_COMPOSITION.
bool ComposeResult(HWND window, const wchar_t* result) {
  HIMC context = ImmGetContext(window);
  if (context == nullptr) return false;
  const DWORD bytes = static_cast<DWORD>(wcslen(result) * sizeof(wchar_t));
  const bool set = ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(result), bytes, nullptr, 0);
  const bool done = set && ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
  ImmReleaseContext(window, context);
  return done;
}

TEST_F(EditBoxes, InputMethodResultsBeyondAsciiAreInsertedOnce) {
  Make({10, 10, 200, 27}, "");
  if (!ComposeResult(window.hwnd(), L"\u4E2D\u6587")) GTEST_SKIP() << "no input method context here";
  test::Pump();
  EXPECT_EQ(box.Text(), "\xD6\xD0\xCE\xC4");
  ComposeResult(window.hwnd(), L"abc");
  test::Pump();
  EXPECT_EQ(box.Text(),
            "\xD6\xD0\xCE\xC4"
            "abc")
      << "ASCII arrives as characters, once";
  ComposeResult(window.hwnd(), L"\u4E2Dz\u20AC");
  test::Pump();
  EXPECT_EQ(box.Text(),
            "\xD6\xD0\xCE\xC4"
            "abc\xD6\xD0z\x80")
      << "a result with 中 is taken once, whole";
  ComposeResult(window.hwnd(), L"\u20AC");
  test::Pump();
  EXPECT_EQ(box.Text(),
            "\xD6\xD0\xCE\xC4"
            "abc\xD6\xD0z\x80\x80")
      << "the euro sign alone comes as a character";

  box.Destroy();
  EditBoxOptions password;
  password.inputMode = kEditPassword;
  Make({10, 10, 200, 27}, "", password);
  EXPECT_EQ(ImmGetContext(window.hwnd()), nullptr) << "no input method for a password";
  box.Destroy();
  HIMC restored = ImmGetContext(window.hwnd());
  EXPECT_NE(restored, nullptr) << "the window gets its input context back";
  ImmReleaseContext(window.hwnd(), restored);
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

// Another program holding the clipboard open: a copy waits a moment for
// it, then gives up without losing the box's text or blocking for long;
// once the clipboard is free the copy goes through.
TEST(Clipboard, ACopyWhileAnotherHoldsTheClipboardGivesUpSoonAndLaterSucceeds) {
  test::TestWindow window(0, 0, 100, 100);
  std::atomic<bool> held{false}, release{false};
  std::thread holder([&] {
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (OpenClipboard(other)) {
      held = true;
      while (!release) Sleep(1);
      CloseClipboard();
    }
    DestroyWindow(other);
    held = true;  // even when it could not open it, the test goes on
  });
  while (!held) Sleep(1);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(WriteClipboardText(window.hwnd(), "held"));
  EXPECT_LT(GetTickCount() - start, 2000u) << "a bounded wait";
  release = true;
  holder.join();
  EXPECT_TRUE(WriteClipboardText(window.hwnd(), "free"));
  EXPECT_EQ(ReadClipboardText(), "free");
}

}  // namespace
}  // namespace ui

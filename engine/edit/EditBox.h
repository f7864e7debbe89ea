#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "EditSelection.h"
#include "EditText.h"
#include "ScrollBar.h"
#include "engine/controls/Control.h"
#include "engine/controls/ControlFont.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/GdiPlus.h"
#include "engine/render/StringFormat.h"

#include <imm.h>

namespace ui {

// The edit box's input modes.
enum EditInputMode { kEditNormal = 0, kEditReadOnly = 1, kEditPassword = 2, kEditInteger = 3, kEditDecimal = 4 };

// The scroll bars an edit box asks for: a horizontal bar (no wrapping) and a
// vertical bar; the vertical bar alone wraps lines at the text area's width.
enum EditScrollBars { kNoBars = 0, kHorizontalBar = 1, kVerticalBar = 2, kBothBars = 3 };

// Told of every change of an edit box's text, in one of two forms, each
// called through its own type as an event callback is: one control (the
// box's parent when it has one, otherwise the box), or the parent (null
// for a box without one) and the box.
class ChangeRoutine {
 public:
  using Plain = void (*)(Control* box);
  using WithParent = void (*)(Control* parent, Control* box);
  ChangeRoutine() = default;
  ChangeRoutine(Plain routine) : routine_(routine) {}
  ChangeRoutine(WithParent routine) : routine_(routine) {}
  void Call(Control* parent, Control* box) const;

 private:
  std::variant<Plain, WithParent> routine_{Plain{nullptr}};
};

// Options of EditBox::Create beyond the rectangle and the text.
struct EditBoxOptions {
  std::optional<ArgbColor> textColor;   // default black at alpha 230
  std::optional<ArgbColor> backColor;   // default white at alpha 160; 0 transparent
  std::optional<std::string> fontName;  // with size and style absent: the shared default font
  std::optional<float> fontSize;        // default 12
  std::optional<int> fontStyle;         // default regular
  int reserved = 0;                     // accepted and ignored
  int multiLine = 0;
  int inputMode = kEditNormal;
  std::optional<std::string> passwordText;   // default "*"
  std::optional<int> scrollBars;             // default both for a multi-line box, none otherwise
  std::optional<std::uint32_t> borderColor;  // default black at alpha 80; 0 none, 1 to 4 outline styles
  std::optional<int> visible;                // default 1
};

// The engine's text entry: one line or many lines of code page 936 text,
// with a caret, a selection, keyboard navigation, the clipboard, a context
// menu, input-method text, optional scroll bars and five input modes
// (normal, read-only, password, integer, decimal). It draws into its own
// surface; the caret is drawn over the composed window.
class EditBox : public Control {
 public:
  EditBox();
  ~EditBox() override;

  // --- fields
  // --- operations
  Control* Create(ControlParent parent, int left, int top, int width, int height, std::string_view initialText,
                  const EditBoxOptions& options = {});
  // Sets the text when given (moveToEnd: caret at the end, scrolled to the
  // bottom) and returns the whole text. Callable from any thread: the work
  // runs on the window's thread.
  std::string Text(std::optional<std::string> value = std::nullopt, bool moveToEnd = false);
  void SetTextColor(ArgbColor colour);
  ArgbColor BackColor(std::optional<ArgbColor> value = std::nullopt);
  int InputMode(std::optional<int> value = std::nullopt);
  void OnChange(ChangeRoutine routine) { onChange = routine; }
  void ReleaseFont() { font.Release(); }
  void FireChange();

  // Editing, as keys and menu commands do it.
  void Insert(std::string_view inserted);
  bool DeleteSelection(bool suppressEvent = false);
  int KeyDown(unsigned key, bool fromMenu);
  std::string SelectedText() const;
  // The whole text without the selected part.
  std::string TextAroundSelection() const;
  int PositionOf(int line, int column) const { return text.PositionOf(line, column); }
  TextPoint Anchor() const { return {anchorLine, anchorColumn}; }
  TextPoint Caret() const { return {caretLine, caretColumn}; }

  // Drawing (the box's surface) and the geometry it keeps.
  void Paint(bool relayout);
  void PaintLines(GpGraphics* canvas);
  void PaintLine(GpGraphics* canvas, int line, const RectF& extent);
  // Where a line is drawn and measured, relative to the control.
  RectF LineLayout(const RectF& extent) const;
  int LineAtY(float y, int hint) const;
  // The caret place under a point in host-window coordinates.
  TextPoint HitTest(float x, float y);
  // The caret rectangle (relative to the control) before the character
  // `index` + 1 of the line; with scrollIntoView the box scrolls first.
  RectF CaretRect(int line, int index, bool scrollIntoView = false, float extra = 0);
  // geometry: the bars' places (and the text area less the bars); ranges:
  // each bar's maximum, then its position from the scroll.
  void UpdateScrollBars(bool geometry, bool ranges);
  // Draws or erases the 1-pixel caret on the host window's surface.
  void DrawCaret(bool show, bool saveBackground);

  // --- overridables: hooks that do nothing by default
  virtual int PaintHook(PaintContext&, const RectF&, int) { return 0; }
  virtual int PreHandle(unsigned, WPARAM, LPARAM) { return -1; }

  // --- message handling
  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;
  AccessibleDescription Describe() const override;
  // Draws the caret again over the composed box, so that recomposing the
  // window never leaves the caret off while it is on.
  void OnComposed(GpGraphics* surfaceGraphics) override;
  void OnPaintEnd(PaintContext&) override { composePending_ = true; }

 private:
  friend class test::ControlPeer;

  // The class's fields, written by its operations and read through them.
  EditText text;
  ui::StringFormat format;
  RectF innerArea;  // inside the border, computed at every paint
  RectF textArea;   // where the text is laid out: innerArea less the bars
  ControlFont font;
  PenPtr pen;
  BrushPtr textBrush;
  ArgbColor backColor = 0;
  std::uint32_t borderColor = 0;
  std::uint32_t normalBorderColor = 0;
  int inputMode = kEditNormal;
  std::string passwordBytes;
  int multiLine = 0;
  int reserved = 0;
  int scrollBars = kNoBars;
  int firstVisibleLine = 0;
  int lastDrawnLine = 0;
  int scrollY = 0;  // 0 or negative: the text is drawn shifted up by it
  int scrollX = 0;
  int anchorLine = 0, caretLine = 0;
  int anchorColumn = 0, caretColumn = 0;
  ScrollBar horizontalBar;
  ScrollBar verticalBar;
  RectF previousCaretRect;  // relative to the control
  RectF caretRect;
  int caretPhase = 0;
  HIMC savedImeContext = nullptr;
  int doubleClickPending = 0;
  DWORD doubleClickTime = 0;
  ChangeRoutine onChange;

  void OnCreated();
  void OnDestroyed();
  void SetTextNow(const std::string& value, bool moveToEnd);
  void OnCharacter(unsigned code);
  // True when the result was inserted (and is not to come again as characters).
  bool OnImeComposition(LPARAM flags);
  void OnLeftDown(WPARAM wParam, LPARAM lParam);
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnWheel(WPARAM wParam);
  void OnFocusGained();
  void OnFocusLost();
  void ShowContextMenu();
  bool Navigate(unsigned key);
  void SelectAll();
  void CopySelection();
  // After the caret moved: scroll it into view, keep it as the previous
  // caret too, update the bars and redraw.
  void CaretMoved(float extra = 0);
  void Relayout();
  void ScrollToBottom();
  // How far the text can scroll: its size beyond the text area (0 or less
  // when it fits).
  int VerticalRange() const;
  int HorizontalRange() const;
  // Keeps the scroll within those ranges.
  void ClampScroll();
  float FontHeight() const;
  bool Focused();
  bool CaretFits(const RectF& caret) const;
  void DrawCaretLine(GpGraphics* canvas, const RectF& caret) const;
  void RestartBlink();
  static void OnVerticalScroll(Control* box, int position);
  static void OnHorizontalScroll(Control* box, int position);

  bool pressed_ = false;         // the left button went down on the box
  bool caretShown_ = false;      // the engine caret is on
  bool composePending_ = false;  // a paint waits to be composed
};

}  // namespace ui

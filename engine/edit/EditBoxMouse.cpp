// The edit box and the mouse: placing the caret, word and line selection,
// dragging a selection, and the wheel.
#include <algorithm>

#include "engine/core/Win32.h"
#include <windowsx.h>

#include "EditBox.h"
#include "EditNavigation.h"
#include "engine/core/EngineMessages.h"

namespace ui {
namespace {

// A press this soon after a double click selects the whole line.
constexpr DWORD kTripleClickMs = 500;
constexpr int kWheelLines = 3;

}  // namespace

void EditBox::OnLeftDown(WPARAM wParam, LPARAM lParam) {
  pressed_ = true;
  const float x = static_cast<float>(GET_X_LPARAM(lParam)), y = static_cast<float>(GET_Y_LPARAM(lParam));
  const bool password = inputMode == kEditPassword;
  if (wParam == kDoubleClickMarker && !password) {
    const ColumnSpan word = WordAt(text, anchorLine, anchorColumn, caretColumn);
    caretLine = anchorLine;
    anchorColumn = word.anchor;
    caretColumn = word.caret;
    doubleClickPending = 1;
    doubleClickTime = GetTickCount();
  } else {
    if (doubleClickPending != 0 && GetTickCount() - doubleClickTime <= kTripleClickMs && !password) {
      anchorLine = caretLine;
      anchorColumn = 0;
      caretColumn = text.LineLength(caretLine);
    } else if (RectContains(textArea, x - Bounds().left, y - Bounds().top)) {
      const TextPoint hit = HitTest(x, y);
      caretLine = anchorLine = hit.line;
      caretColumn = anchorColumn = hit.column;
    }
    doubleClickPending = 0;
  }
  caretRect = CaretRect(caretLine, caretColumn - 1, true);
  previousCaretRect = caretRect;
  Paint(false);
  DrawCaret(true, true);
}

void EditBox::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  // Only a drag that began on this box selects.
  if (!pressed_ || wParam != HandleValue() || inputMode == kEditPassword) return;
  const float x = static_cast<float>(GET_X_LPARAM(lParam)), y = static_cast<float>(GET_Y_LPARAM(lParam));
  const float relativeX = x - Bounds().left;
  // One line: the hit test stays inside the line, wherever the pointer is.
  const float hitY = multiLine != 0 ? y : Bounds().top + textArea.top + 2;
  if (relativeX < 0 && scrollX < 0) scrollX = std::min(0, scrollX + static_cast<int>(-relativeX));
  const TextPoint before = Caret();
  const int scrolledX = scrollX, scrolledY = scrollY;
  const TextPoint hit = HitTest(x, hitY);
  caretLine = hit.line;
  caretColumn = hit.column;
  caretRect = CaretRect(caretLine, caretColumn - 1, true);
  // Drawn again whenever the selection or the scroll changed, also when the
  // selection became empty (a drag back to where it began).
  if (Caret() != before || scrollX != scrolledX || scrollY != scrolledY) Paint(false);
}

void EditBox::OnWheel(WPARAM wParam) {
  // Only a box with a vertical bar scrolls, and only text taller than it.
  if (multiLine == 0 || (scrollBars & kVerticalBar) == 0 || VerticalRange() < 1) return;
  const int step = kWheelLines * text.LineHeight();
  scrollY += GET_WHEEL_DELTA_WPARAM(wParam) < 1 ? -step : step;
  ClampScroll();
  UpdateScrollBars(false, true);
  caretRect = CaretRect(caretLine, caretColumn - 1);
  Paint(false);
}

}  // namespace ui

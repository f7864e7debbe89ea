// The edit box's caret, drawn by the engine on the host window's surface
// (the Windows caret only follows it, for the input method's windows), its
// blinking, focus, and input-method text.
#include <algorithm>
#include <cmath>

#include "EditBox.h"
#include "engine/core/CodePage936.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/EngineTimers.h"
#include "engine/core/TextConversion.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

constexpr UINT kBlinkMs = 500;
const ArgbColor kCaretColour = ArgbFromRgb(Rgb(0, 0, 0), 230);

bool TakesNoInputMethod(int inputMode) { return inputMode >= kEditReadOnly && inputMode <= kEditDecimal; }

}  // namespace

bool EditBox::CaretFits(const RectF& caret) const {
  return RectContains(textArea, caret.left, caret.top + 2) && caret.top + previousCaretRect.height <= textArea.Bottom();
}

void EditBox::DrawCaretLine(GpGraphics* canvas, const RectF& caret) const {
  // One whole pixel column, from one pixel below the caret's top to one
  // above its bottom.
  Gdiplus::GpSolidFill* brush = nullptr;
  gp::GdipCreateSolidFill(kCaretColour, &brush);
  BrushPtr owner(brush);
  const float x = std::trunc(Bounds().left + caret.left), y = std::trunc(Bounds().top + caret.top);
  // The composition surface is in device pixels.
  const RectF column = Scale().ToDeviceRect(RectF{x, y + 1, 1, caret.height - 2});
  gp::GdipFillRectangle(canvas, brush, column.left, column.top, column.width, column.height);
}

void EditBox::RestartBlink() {
  if (GetWindow() == nullptr) return;
  KillTimer(GetWindow(), HandleValue());
  StartTimer(GetWindow(), HandleValue(), kBlinkMs);
}

void EditBox::DrawCaret(bool show, bool saveBackground) {
  if (Host() == nullptr || Host()->IsBusy() || !CaretFits(caretRect)) return;
  const int left = static_cast<int>(Bounds().left + caretRect.left),
            top = static_cast<int>(Bounds().top + caretRect.top);
  if (show && saveBackground) {
    // The system's caret, which the input method follows, is on the screen.
    SetCaretPos(Scale().ToDevice(left), Scale().ToDevice(top));
    caretPhase = 1;
    // Moving the caret shows it for a whole blink, as typing expects.
    RestartBlink();
  }
  caretPhase += show ? 1 : -1;
  const RectF column = MakeRectF(left, top, 1, static_cast<int>(caretRect.height));
  if (!show) {
    caretShown_ = false;
    Host()->RedrawRect(column, true);
    return;
  }
  caretShown_ = true;
  // A paint of the box that waits to be composed draws the caret with it.
  if (composePending_) return;
  Host()->PresentOverlay([&](GpGraphics* canvas) { DrawCaretLine(canvas, caretRect); }, column);
}

void EditBox::OnComposed(GpGraphics* surfaceGraphics) {
  composePending_ = false;
  if (caretShown_ && Host() != nullptr && Host()->FocusControl() == this && CaretFits(caretRect)) {
    DrawCaretLine(surfaceGraphics, caretRect);
  }
}

void EditBox::OnFocusGained() {
  RestartBlink();
  CreateCaret(GetWindow(), nullptr, 1, Scale().ToDevice(static_cast<int>(FontHeight() + 3)));
  if (TakesNoInputMethod(inputMode)) {
    // The window's input context is taken away while this box has the focus.
    if (HIMC context = ImmGetContext(GetWindow())) {
      ImmReleaseContext(GetWindow(), context);
      savedImeContext = ImmAssociateContext(GetWindow(), nullptr);
    }
  }
  Paint(false);
  DrawCaret(true, true);
}

void EditBox::OnFocusLost() {
  if (TakesNoInputMethod(inputMode) && savedImeContext != nullptr) {
    ImmAssociateContext(GetWindow(), savedImeContext);
    savedImeContext = nullptr;
  }
  if (GetWindow() != nullptr) KillTimer(GetWindow(), HandleValue());
  anchorLine = caretLine;
  anchorColumn = caretColumn;
  DrawCaret(false, false);
  pressed_ = false;
  Paint(false);
}

bool EditBox::OnImeComposition(LPARAM flags) {
  if ((flags & GCS_RESULTSTR) == 0 || GetWindow() == nullptr) return false;
  HIMC context = ImmGetContext(GetWindow());
  if (context == nullptr) return false;
  std::wstring result;
  const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
  if (bytes > 0) {
    result.resize(static_cast<std::size_t>(bytes) / sizeof(wchar_t));
    ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(), static_cast<DWORD>(bytes));
  }
  ImmReleaseContext(GetWindow(), context);
  // A result with a double-byte character is taken here, whole; the window
  // then does not pass it on, so none of it comes again as characters. The
  // rest (ASCII, the euro sign) arrives as characters (WM_CHAR).
  const std::string text936 = WideToAnsi(result);
  if (std::none_of(text936.begin(), text936.end(), IsLeadByte)) return false;
  Insert(text936);
  return true;
}

}  // namespace ui

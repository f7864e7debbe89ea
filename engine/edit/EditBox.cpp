// The edit box: creation, its text, its message dispatch and its change
// routine. Editing, the mouse, drawing and the caret live in files of their
// own (EditBoxEditing, EditBoxMouse, EditBoxPaint, EditCaret).
#include "EditBox.h"

#include <oleacc.h>

#include "GdiPlusMeasurer.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/EngineTimers.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

const ArgbColor kDefaultTextColor = ArgbFromRgb(Rgb(0, 0, 0), 230);
const ArgbColor kDefaultBackColor = ArgbFromRgb(Rgb(255, 255, 255), 160);
const ArgbColor kDefaultBorderColor = ArgbFromRgb(Rgb(0, 0, 0), 80);
constexpr int kIBeamCursor = 32513;
// No font fallback, measure trailing spaces, no clip; line limit when only
// a vertical bar wraps the lines.
constexpr int kFormatFlags = 0x400 | 0x800 | 0x4000;
constexpr int kLineLimit = 0x2000;
constexpr Gdiplus::REAL kFirstTabOffset = 1.0f;
constexpr Gdiplus::REAL kTabStop = 8.0f;
constexpr int kVerticalOrientation = 2;
constexpr int kHorizontalOrientation = 1;

BrushPtr SolidBrush(ArgbColor colour) {
  Gdiplus::GpSolidFill* brush = nullptr;
  gp::GdipCreateSolidFill(colour, &brush);
  return BrushPtr(brush);
}

}  // namespace

void ChangeRoutine::Call(Control* parent, Control* box) const {
  if (const Plain* plain = std::get_if<Plain>(&routine_)) {
    if (*plain != nullptr) (*plain)(parent != nullptr ? parent : box);
  } else if (const WithParent* withParent = std::get_if<WithParent>(&routine_)) {
    if (*withParent != nullptr) (*withParent)(parent, box);
  }
}

EditBox::EditBox() = default;

EditBox::~EditBox() {
  // Destroy while this is still an EditBox, so that its own handler runs.
  if (GetHandle() != nullptr) Destroy();
}

Control* EditBox::Create(ControlParent parentArgument, int left, int top, int width, int height,
                         std::string_view initialText, const EditBoxOptions& options) {
  if (GetHandle() == this) return GetHandle();
  font.Create(options.fontName, options.fontSize, options.fontStyle);
  pen = CreatePenOf(ArgbFromRgb(Rgb(0, 0, 0)));
  textBrush = SolidBrush(options.textColor.value_or(kDefaultTextColor));
  multiLine = options.multiLine;
  inputMode = options.inputMode;
  passwordBytes = options.passwordText.value_or("*");
  text.SetText(initialText, multiLine, inputMode, passwordBytes);
  backColor = options.backColor.value_or(kDefaultBackColor);
  borderColor = normalBorderColor = options.borderColor.value_or(kDefaultBorderColor);
  reserved = 0;
  scrollBars = options.scrollBars.value_or(multiLine != 0 ? kBothBars : kNoBars);

  format.Create(kFormatFlags | (scrollBars == kVerticalBar ? kLineLimit : 0));
  format.Alignment(Gdiplus::StringAlignmentNear);
  const Gdiplus::REAL tabStops[] = {kTabStop};
  gp::GdipSetStringFormatTabStops(format.Handle(), kFirstTabOffset, 1, tabStops);

  ControlOptions base;
  base.interactive = 1;
  base.cursorId = kIBeamCursor;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindEditBox,
                         options.visible.value_or(1) != 0, base);
}

void EditBox::OnCreated() {
  firstVisibleLine = lastDrawnLine = anchorLine = caretLine = 1;
  if (multiLine != 0) {
    ScrollBarOptions vertical;
    vertical.orientation = kVerticalOrientation;
    vertical.visible = (scrollBars & kVerticalBar) != 0 ? 1 : 0;
    ScrollBarOptions horizontal;
    horizontal.orientation = kHorizontalOrientation;
    horizontal.visible = (scrollBars & kHorizontalBar) != 0 ? 1 : 0;
    // Placed by the first paint.
    const int right = static_cast<int>(Bounds().Right()), bottom = static_cast<int>(Bounds().Bottom());
    verticalBar.Create(this, right - 10, static_cast<int>(Bounds().top), 10, 10, vertical);
    horizontalBar.Create(this, static_cast<int>(Bounds().left), bottom - 10, 10, 10, horizontal);
    verticalBar.OnScroll(&EditBox::OnVerticalScroll);
    horizontalBar.OnScroll(&EditBox::OnHorizontalScroll);
    verticalBar.TransitionInterval(0);
    horizontalBar.TransitionInterval(0);
  }
  text.DisplaySpacesAsTabs(GdiPlusMeasurer(Graphics(), font.get(), format.Handle()).TabsAdvance());
  Paint(true);
  CreateCaret(GetWindow(), nullptr, 1, Scale().ToDevice(static_cast<int>(FontHeight() + 3)));
  caretRect = CaretRect(1, -1);
  previousCaretRect = caretRect;
}

void EditBox::OnDestroyed() {
  // Destroyed with the focus: the window's input context comes back.
  if (savedImeContext != nullptr && GetWindow() != nullptr) ImmAssociateContext(GetWindow(), savedImeContext);
  savedImeContext = nullptr;
  text.SetText("", multiLine, inputMode, passwordBytes);
  format.Delete();
  ReleaseFont();
  if (GetWindow() != nullptr) KillTimer(GetWindow(), HandleValue());
  firstVisibleLine = lastDrawnLine = scrollX = scrollY = 0;
  anchorLine = caretLine = anchorColumn = caretColumn = 0;
  caretShown_ = pressed_ = false;
  DestroyCaret();
}

std::string EditBox::Text(std::optional<std::string> value, bool moveToEnd) {
  if (value) {
    SendToSelf(WM_SETTEXT, reinterpret_cast<WPARAM>(&*value), moveToEnd ? 1 : 0);
    return *value;
  }
  std::string whole;
  SendToSelf(WM_GETTEXT, reinterpret_cast<WPARAM>(&whole), 0);
  return whole;
}

void EditBox::SetTextNow(const std::string& value, bool moveToEnd) {
  text.SetText(value, multiLine, inputMode, passwordBytes);
  scrollY = scrollX = anchorColumn = caretColumn = 0;
  anchorLine = caretLine = 1;
  Relayout();
  UpdateScrollBars(false, true);
  if (moveToEnd) {
    // Scrolled before drawing, so the text shows where it ends.
    caretLine = anchorLine = text.LineCount();
    caretColumn = anchorColumn = text.LineLength(caretLine);
    ScrollToBottom();
    caretRect = CaretRect(caretLine, caretColumn - 1, true);
  } else {
    caretRect = CaretRect(1, -1);
  }
  previousCaretRect = caretRect;
  Paint(false);
  FireChange();
  if (!Focused() && GetWindow() != nullptr) KillTimer(GetWindow(), HandleValue());
}

void EditBox::SetTextColor(ArgbColor colour) {
  textBrush = SolidBrush(colour);
  Paint(false);
}

ArgbColor EditBox::BackColor(std::optional<ArgbColor> value) {
  if (value) {
    backColor = *value;
    Paint(false);
  }
  return backColor;
}

int EditBox::InputMode(std::optional<int> value) {
  if (value) inputMode = *value;
  return inputMode;
}

void EditBox::FireChange() {
  // Screen readers hear of the new text as a new value: the value is the
  // text (the name stays the box's label), of a read-only status box too.
  AnnounceAccessibleEvent(EVENT_OBJECT_VALUECHANGE);
  onChange.Call(GetParentControl(), this);
}

void EditBox::Relayout() {
  GdiPlusMeasurer measurer(Graphics(), font.get(), format.Handle());
  text.Layout(measurer, textArea, scrollBars);
}

void EditBox::ScrollToBottom() { scrollY = static_cast<int>(textArea.top - (text.TotalHeight() - textArea.height)); }

float EditBox::FontHeight() const {
  Gdiplus::REAL height = 0;
  if (font.get() != nullptr) gp::GdipGetFontHeight(font.get(), Graphics(), &height);
  return height;
}

bool EditBox::Focused() { return GetHandle() != nullptr && HasFocus(); }

void EditBox::OnVerticalScroll(Control* box, int position) {
  auto* edit = dynamic_cast<EditBox*>(Control::FromHandle(reinterpret_cast<std::uintptr_t>(box)));
  if (edit == nullptr) return;
  const int before = edit->scrollY;
  edit->scrollY = -position;
  edit->caretRect.top += static_cast<float>(edit->scrollY - before);
  edit->Paint(false);
}

void EditBox::OnHorizontalScroll(Control* box, int position) {
  auto* edit = dynamic_cast<EditBox*>(Control::FromHandle(reinterpret_cast<std::uintptr_t>(box)));
  if (edit == nullptr) return;
  const int before = edit->scrollX;
  edit->scrollX = -position;
  edit->caretRect.left += static_cast<float>(edit->scrollX - before);
  edit->Paint(false);
}

int EditBox::HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  const int early = PreHandle(message, wParam, lParam);
  if (early != kUnhandled) return early;
  switch (message) {
    case WM_CREATE:
      OnCreated();
      break;
    case WM_DESTROY:
      OnDestroyed();
      break;
    case WM_PAINT:
      Paint(false);
      break;
    case WM_SETTEXT:
      SetTextNow(*reinterpret_cast<const std::string*>(wParam), lParam == 1);
      break;
    case WM_GETTEXT:
      *reinterpret_cast<std::string*>(wParam) = text.Bytes();
      return text.Length();
    case WM_KEYDOWN:
      return KeyDown(static_cast<unsigned>(wParam), false);
    case WM_CHAR:
      OnCharacter(static_cast<unsigned>(wParam));
      break;
    case WM_IME_COMPOSITION:
      if (OnImeComposition(lParam)) return 0;
      break;
    case WM_COMMAND:
      return KeyDown(LOWORD(wParam), true);
    case WM_TIMER:
      // The blink: shown and hidden in turn.
      DrawCaret((caretPhase & 1) != 0, false);
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      break;
    case WM_LBUTTONDOWN:
      OnLeftDown(wParam, lParam);
      break;
    case WM_LBUTTONUP:
      pressed_ = false;
      DrawCaret(true, false);
      break;
    case WM_RBUTTONUP:
      if (inputMode != kEditPassword) ShowContextMenu();
      break;
    case WM_MOUSEWHEEL:
      OnWheel(wParam);
      break;
    case kMsgFocusGained:
      OnFocusGained();
      break;
    case kMsgFocusLost:
      OnFocusLost();
      break;
    case kMsgSurfaceResized:
      Paint(true);
      break;
    case kMsgOpacityChanged:
      if (multiLine != 0 && (scrollBars & kVerticalBar) != 0) verticalBar.Opacity(static_cast<int>(lParam));
      if (multiLine != 0 && (scrollBars & kHorizontalBar) != 0) horizontalBar.Opacity(static_cast<int>(lParam));
      break;
    default:
      break;
  }
  return kUnhandled;
}

AccessibleDescription EditBox::Describe() const {
  AccessibleDescription description;
  description.role = ROLE_SYSTEM_TEXT;
  description.name = AccessibleName();
  if (inputMode == kEditPassword) {
    // A password is never told.
    description.state = STATE_SYSTEM_PROTECTED;
  } else {
    description.value = text.Text();
  }
  if (inputMode == kEditReadOnly) description.state |= STATE_SYSTEM_READONLY;
  return description;
}

}  // namespace ui

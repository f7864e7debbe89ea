#include <cwctype>

#include "engine/core/Win32.h"
#include <windowsx.h>

#include "InputRouter.h"

#include "CaptionLayout.h"
#include "HostWindow.h"

#include "HostAccessible.h"
#include "WindowSizing.h"
#include "engine/controls/Control.h"
#include "engine/core/EngineMessages.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

// The deepest hit among the controls, the topmost first.
Control* HitAmong(ControlList fromTop, float x, float y) {
  for (Control* control : fromTop) {
    if (control->Visible() != 1 || control->Disabled() != 0 || !RectContains(control->Bounds(), x, y)) continue;
    Control* child = HitAmong(control->ChildrenFromTop(), x, y);
    return child != nullptr ? child : control;
  }
  return nullptr;
}

bool TakesPress(Control* control) {
  return DeliverMessage(control, kMsgTakesPress, 0, 0) != kUnhandled || control->Interactive() != 0;
}

bool IsCaptionButton(const Control* control) { return control->Kind() == kKindCaptionButton; }

// True while this thread runs the system's loop that moves or sizes a
// window with the mouse.
bool InSystemMoveOrSize() {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

Control* TopLevelAncestor(Control* control) {
  while (control != nullptr && control->GetParentControl() != nullptr) control = control->GetParentControl();
  return control;
}

}  // namespace

Control* InputRouter::ControlAt(float x, float y) const {
  return HitAmong(ControlList::FromTop(host_.LastControl()), x, y);
}

void InputRouter::StartWindowMove(LPARAM lParam) {
  // The point is in logical pixels; the system moves the window on the screen.
  const DisplayScale scale = host_.Composition().Scale();
  POINT point{scale.ToDevice(GET_X_LPARAM(lParam)), scale.ToDevice(GET_Y_LPARAM(lParam))};
  ClientToScreen(Window(), &point);
  ReleaseCapture();
  SendMessageW(Window(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void InputRouter::ToggleMaximize() {
  SendMessageW(Window(), WM_SYSCOMMAND, IsZoomed(Window()) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

bool InputRouter::SizingHitTest(UINT message, LPARAM lParam) {
  if (host_.Resizable() != 1 || pressActive_ || IsZoomed(Window())) return false;
  if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN) return false;
  const std::optional<SizingEdge> edge =
      SizingEdgeAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), host_.Width(), host_.Height());
  if (!edge) return false;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(edge->cursor)));
  if (hover_ != nullptr) {
    DeliverMessage(hover_, kMsgMouseLeft, 0, 0);
    hover_ = nullptr;
  }
  if (message == WM_LBUTTONDOWN) SendMessageW(Window(), WM_SYSCOMMAND, SC_SIZE + edge->edge, lParam);
  return true;
}

void InputRouter::MoveFocusByPress(Control* target, WPARAM wParam) {
  Control* old = focus_;
  focus_ = target;
  // Cleared before the controls hear of the change, so that the one losing
  // the focus draws itself without the keyboard's focus mark.
  keyboardFocus_ = nullptr;
  if (const long id = host_.AccessibleChildId(target)) NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, Window(), id);
  DeliverMessage(old, kMsgFocusLost, wParam, reinterpret_cast<LPARAM>(target));
  CallHook(Hooks().controlFocusLost, old, wParam, 0);
  DeliverMessage(target, kMsgFocusGained, wParam, reinterpret_cast<LPARAM>(old));
  CallHook(Hooks().controlFocusGained, target, wParam, 0);
}

void InputRouter::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  if (host_.IsBusy()) return;
  if (SizingHitTest(message, lParam)) return;
  const float x = static_cast<float>(GET_X_LPARAM(lParam));
  const float y = static_cast<float>(GET_Y_LPARAM(lParam));

  if (pressActive_) {
    Control* pressed = pressed_;
    // A move during a press carries the pressed control itself, so that the
    // control knows the pointer drags it (a selection, a scroll bar's thumb).
    const WPARAM carried = message == WM_MOUSEMOVE ? reinterpret_cast<WPARAM>(pressed) : wParam;
    DeliverMessage(pressed, message, carried, lParam);
    if (message != WM_LBUTTONUP) return;
    CallHook(Hooks().controlMouseUp, pressed, wParam, lParam);
    ReleaseCapture();
    Control* under = ControlAt(x, y);
    if (under == pressed) {
      Click(pressed, lParam, wParam, lParam);
    } else if (pressed != nullptr && pressed->GetHandle() != nullptr && pressed->Visible()) {
      PointerLeft(pressed, under, wParam, lParam);
      PointerEntered(under, pressed, wParam, lParam);
      host_.SetTooltip(under);
      hover_ = under;
    }
    pressActive_ = false;
    pressed_ = nullptr;
    return;
  }

  Control* target = ControlAt(x, y);
  if (target != hover_ && hover_ != nullptr && hover_->Visible()) {
    PointerLeft(hover_, target, wParam, lParam);
  }

  switch (message) {
    case WM_LBUTTONDOWN:
      if (GetFocus() != Window()) SetFocus(Window());
      PressOrMove(target, wParam, lParam);
      break;
    case WM_RBUTTONDOWN:
      CallHook(Hooks().controlRightDown, target, wParam, lParam);
      break;
    case WM_RBUTTONUP:
      CallHook(Hooks().controlRightUp, target, wParam, lParam);
      break;
    case WM_MOUSEMOVE:
      if (target != hover_) {
        PointerEntered(target, hover_, wParam, lParam);
        host_.SetTooltip(target);
      }
      break;
    default:
      break;
  }
  DeliverMessage(target, message, wParam, lParam);
  hover_ = target;
}

void InputRouter::PressOrMove(Control* target, WPARAM wParam, LPARAM lParam) {
  const bool doubleClick = wParam == kDoubleClickMarker;
  const bool titleDoubleClick =
      doubleClick && (host_.CaptionFlags() & kCaptionTitle) && (host_.CaptionFlags() & kCaptionMaximize);
  if (target == nullptr) {
    // Empty window area: a double click near the top toggles maximise.
    if (doubleClick && GET_Y_LPARAM(lParam) < 30 && (host_.CaptionFlags() & kCaptionMaximize)) {
      ToggleMaximize();
      StartWindowMove(lParam);
    } else if (host_.DragAnywhere() == 1) {
      StartWindowMove(lParam);
    }
    return;
  }
  if (TakesPress(target)) {
    CallHook(Hooks().controlMouseDown, target, wParam, lParam);
    pressActive_ = true;
    pressed_ = target;
    if (target->Interactive() != 0 && target != focus_) MoveFocusByPress(target, wParam);
    if (doubleClick) CallHook(Hooks().controlDoubleClick, target, wParam, lParam);
    SetCapture(Window());
    return;
  }
  if (titleDoubleClick && target == host_.Caption().Title()) {
    ToggleMaximize();
    StartWindowMove(lParam);
  } else if (host_.DragAnywhere() == 1) {
    StartWindowMove(lParam);
  }
}

void InputRouter::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam) {
  if (focus_ != nullptr && DeliverMessage(focus_, message, wParam, lParam) != kUnhandled) return;
  if (wParam == VK_TAB) {
    Control* start = focus_ != nullptr ? TopLevelAncestor(focus_) : host_.FirstControl();
    if (start == nullptr) return;
    // With no focus the walk starts at the first control itself.
    Control* candidate = focus_ != nullptr ? start->NextSibling() : start;
    for (int guard = 0; guard < 100000; ++guard) {
      if (candidate == nullptr) candidate = host_.FirstControl();
      if (candidate->Visible() && candidate->Interactive() && !candidate->Disabled() && !IsCaptionButton(candidate)) {
        if (candidate != focus_) SetFocusControl(candidate, true);
        return;
      }
      candidate = candidate->NextSibling();
      if (candidate == start || (candidate == nullptr && host_.FirstControl() == start)) return;
    }
  } else if (wParam == VK_RETURN || wParam == VK_SPACE) {
    if (focus_ != nullptr && focus_->Visible() && !focus_->Disabled()) {
      Click(focus_, 0, wParam, lParam);
    }
  }
}

void InputRouter::Click(Control* control, LPARAM point, WPARAM wParam, LPARAM lParam) {
  DeliverMessage(control, kMsgClick, reinterpret_cast<WPARAM>(control), point);
  CallHook(Hooks().controlClick, control, wParam, lParam);
}

bool InputRouter::OnSysChar(UINT message, WPARAM wParam, LPARAM lParam) {
  DeliverMessage(focus_, message, wParam, lParam);
  const auto pressed = static_cast<wint_t>(std::towlower(static_cast<wint_t>(wParam)));
  for (const Mnemonic& mnemonic : mnemonics_) {
    // An entry names its control by handle: only a live control is clicked.
    Control* control = Control::FromHandle(reinterpret_cast<std::uintptr_t>(mnemonic.control));
    if (control == nullptr || !control->Visible() || control->Disabled()) continue;
    if (std::towlower(static_cast<wint_t>(mnemonic.keyCode)) != pressed) continue;
    Click(control, 0, wParam, lParam);
    return true;
  }
  return false;
}

void InputRouter::SetFocusControl(Control* control, bool byKeyboard) {
  if (control == nullptr || control->GetHandle() == nullptr || control->Disabled() || !control->Visible() ||
      !control->Interactive() || IsCaptionButton(control) || control == focus_) {
    return;
  }
  Control* old = focus_;
  focus_ = control;
  keyboardFocus_ = nullptr;
  if (old != nullptr) old->SendToSelf(kMsgFocusLost, 0, reinterpret_cast<LPARAM>(control));
  if (byKeyboard) keyboardFocus_ = control;
  if (const long id = host_.AccessibleChildId(control)) NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, Window(), id);
  control->SendToSelf(kMsgFocusGained, 0, reinterpret_cast<LPARAM>(old));
}

void InputRouter::CallHook(ControlEventHook hook, Control* control, WPARAM wParam, LPARAM lParam) const {
  if (hook == nullptr) return;
  // The control's own handler may have destroyed it: its kind is read only
  // while it is alive.
  const Control* live = Control::FromHandle(reinterpret_cast<std::uintptr_t>(control));
  hook(Window(), control, wParam, lParam, live != nullptr ? live->Kind() : 0);
}

void InputRouter::PointerLeft(Control* control, Control* towards, WPARAM wParam, LPARAM lParam) {
  DeliverMessage(control, kMsgMouseLeft, wParam, reinterpret_cast<LPARAM>(towards));
  CallHook(Hooks().controlMouseLeave, control, wParam, lParam);
}

void InputRouter::PointerEntered(Control* control, Control* from, WPARAM wParam, LPARAM lParam) {
  DeliverMessage(control, kMsgMouseEntered, wParam, reinterpret_cast<LPARAM>(from));
  CallHook(Hooks().controlMouseEnter, control, wParam, lParam);
}

void InputRouter::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    DeliverMessage(hover_, kMsgMouseLeft, 0, 0);
    if (pressActive_) {
      DeliverMessage(pressed_, kMsgFocusLost, 0, 0);
      ReleaseCapture();
      pressActive_ = false;
    }
  } else if (pressed_ != nullptr) {
    DeliverMessage(pressed_, kMsgFocusGained, 0, 0);
  }
}

void InputRouter::OnMouseLeave() {
  mouseTracking_ = false;
  // While the system moves or sizes the window, the capture is its loop's:
  // a window lagging behind a fast pointer is left by it for a moment, and
  // a capture let go then sends the button's release to whatever window is
  // under the pointer, so the loop never ends and the window goes on
  // following the pointer after the drag.
  if (!InSystemMoveOrSize()) ReleaseCapture();
  if (hover_ != nullptr) {
    Control* left = hover_;
    PointerLeft(left, nullptr, 0, 0);
    hover_ = nullptr;
  }
}

int InputRouter::SetMnemonic(Control* control, int keyCode) {
  if (control == nullptr) return 0;
  for (Mnemonic& mnemonic : mnemonics_) {
    if (mnemonic.control == control) {
      mnemonic.keyCode = keyCode;
      return 1;
    }
  }
  mnemonics_.push_back({control, keyCode});
  return 1;
}

bool InputRouter::TakeFocusFrom(const Control* control) {
  if (focus_ != control) return false;
  focus_ = nullptr;
  return true;
}

void InputRouter::ForgetControl(const Control* control) {
  if (pressed_ == control) {
    pressed_ = nullptr;
    pressActive_ = false;
  }
  if (focus_ == control) focus_ = nullptr;
  if (hover_ == control) hover_ = nullptr;
  if (keyboardFocus_ == control) keyboardFocus_ = nullptr;
  std::erase_if(mnemonics_, [control](const Mnemonic& mnemonic) { return mnemonic.control == control; });
}

void InputRouter::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!mouseTracking_) mouseTracking_ = TrackMouse(Window(), TME_LEAVE);
  RouteMouse(WM_MOUSEMOVE, wParam, lParam);
}

void InputRouter::Reset() {
  if (pressActive_ || mouseTracking_) ReleaseCapture();
  pressActive_ = false;
  mouseTracking_ = false;
  pressed_ = focus_ = hover_ = keyboardFocus_ = nullptr;
  mnemonics_.clear();
}

HWND InputRouter::Window() const { return host_.Window(); }

const HostHooks& InputRouter::Hooks() const { return host_.Hooks(); }

}  // namespace ui

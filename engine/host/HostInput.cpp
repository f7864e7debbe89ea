// How a host window hands mouse and keyboard input to its controls.
#include <cwctype>

#include "engine/core/Win32.h"
#include <windowsx.h>

#include "CaptionLayout.h"
#include "HostWindow.h"

#include "HostAccessible.h"
#include "WindowSizing.h"
#include "engine/controls/Control.h"
#include "engine/core/EngineMessages.h"

namespace ui {
namespace {

// The deepest hit among `last` and its earlier siblings.
Control* HitAmong(Control* last, float x, float y) {
  for (Control* control = last; control != nullptr; control = control->prevSibling) {
    if (control->visible != 1 || control->disabled != 0 || !RectContains(control->bounds, x, y)) continue;
    Control* child = HitAmong(control->lastChild, x, y);
    return child != nullptr ? child : control;
  }
  return nullptr;
}

bool TakesPress(Control* control) {
  return DeliverMessage(control, kMsgTakesPress, 0, 0) != kUnhandled || control->interactive != 0;
}

bool IsCaptionButton(const Control* control) { return control->kind == kKindCaptionButton; }

Control* TopLevelAncestor(Control* control) {
  while (control != nullptr && control->parent != nullptr) control = control->parent;
  return control;
}

}  // namespace

Control* HostWindow::ControlAt(float x, float y) const { return HitAmong(lastControl, x, y); }

void HostWindow::StartWindowMove(LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hwnd, &point);
  ReleaseCapture();
  SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void HostWindow::ToggleMaximize() {
  SendMessageW(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

bool HostWindow::SizingHitTest(UINT message, LPARAM lParam) {
  if (resizable != 1 || pressActive != 0 || IsZoomed(hwnd)) return false;
  if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN) return false;
  const std::optional<SizingEdge> edge = SizingEdgeAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), Width(), Height());
  if (!edge) return false;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(edge->cursor)));
  if (hoverControl != nullptr) {
    DeliverMessage(hoverControl, kMsgMouseLeft, 0, 0);
    hoverControl = nullptr;
  }
  if (message == WM_LBUTTONDOWN) SendMessageW(hwnd, WM_SYSCOMMAND, SC_SIZE + edge->edge, lParam);
  return true;
}

void HostWindow::MoveFocusByPress(Control* target, WPARAM wParam) {
  Control* old = focusControl;
  focusControl = target;
  // Cleared before the controls hear of the change, so that the one losing
  // the focus draws itself without the keyboard's focus mark.
  keyboardFocus = nullptr;
  if (const long id = AccessibleChildId(target)) NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, hwnd, id);
  DeliverMessage(old, kMsgFocusLost, wParam, reinterpret_cast<LPARAM>(target));
  CallControlHook(onControlFocusLost, old, wParam, 0);
  DeliverMessage(target, kMsgFocusGained, wParam, reinterpret_cast<LPARAM>(old));
  CallControlHook(onControlFocusGained, target, wParam, 0);
}

void HostWindow::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsBusy()) return;
  if (SizingHitTest(message, lParam)) return;
  const float x = static_cast<float>(GET_X_LPARAM(lParam));
  const float y = static_cast<float>(GET_Y_LPARAM(lParam));

  if (pressActive == 1) {
    Control* pressed = pressedControl;
    // A move during a press carries the pressed control itself, so that the
    // control knows the pointer drags it (a selection, a scroll bar's thumb).
    const WPARAM carried = message == WM_MOUSEMOVE ? reinterpret_cast<WPARAM>(pressed) : wParam;
    DeliverMessage(pressed, message, carried, lParam);
    if (message != WM_LBUTTONUP) return;
    CallControlHook(onControlMouseUp, pressed, wParam, lParam);
    ReleaseCapture();
    Control* under = ControlAt(x, y);
    if (under == pressed) {
      DeliverMessage(pressed, kMsgClick, reinterpret_cast<WPARAM>(pressed), lParam);
      CallControlHook(onControlClick, pressed, wParam, lParam);
    } else if (pressed != nullptr && pressed->handle != nullptr && pressed->visible) {
      DeliverMessage(pressed, kMsgMouseLeft, wParam, reinterpret_cast<LPARAM>(under));
      CallControlHook(onControlMouseLeave, pressed, wParam, lParam);
      DeliverMessage(under, kMsgMouseEntered, wParam, reinterpret_cast<LPARAM>(pressed));
      CallControlHook(onControlMouseEnter, under, wParam, lParam);
      SetTooltip(under);
      hoverControl = under;
    }
    pressActive = 0;
    pressedControl = nullptr;
    return;
  }

  Control* target = ControlAt(x, y);
  if (target != hoverControl && hoverControl != nullptr && hoverControl->visible) {
    DeliverMessage(hoverControl, kMsgMouseLeft, wParam, reinterpret_cast<LPARAM>(target));
    CallControlHook(onControlMouseLeave, hoverControl, wParam, lParam);
  }

  switch (message) {
    case WM_LBUTTONDOWN:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      PressOrMove(target, wParam, lParam);
      break;
    case WM_RBUTTONDOWN:
      CallControlHook(onControlRightDown, target, wParam, lParam);
      break;
    case WM_RBUTTONUP:
      CallControlHook(onControlRightUp, target, wParam, lParam);
      break;
    case WM_MOUSEMOVE:
      if (target != hoverControl) {
        DeliverMessage(target, kMsgMouseEntered, wParam, reinterpret_cast<LPARAM>(hoverControl));
        CallControlHook(onControlMouseEnter, target, wParam, lParam);
        SetTooltip(target);
      }
      break;
    default:
      break;
  }
  DeliverMessage(target, message, wParam, lParam);
  hoverControl = target;
}

void HostWindow::PressOrMove(Control* target, WPARAM wParam, LPARAM lParam) {
  const bool doubleClick = wParam == kDoubleClickMarker;
  const bool titleDoubleClick = doubleClick && (captionFlags & kCaptionTitle) && (captionFlags & kCaptionMaximize);
  if (target == nullptr) {
    // Empty window area: a double click near the top toggles maximise.
    if (doubleClick && GET_Y_LPARAM(lParam) < 30 && (captionFlags & kCaptionMaximize)) {
      ToggleMaximize();
      StartWindowMove(lParam);
    } else if (dragAnywhere == 1) {
      StartWindowMove(lParam);
    }
    return;
  }
  if (TakesPress(target)) {
    CallControlHook(onControlMouseDown, target, wParam, lParam);
    pressActive = 1;
    pressedControl = target;
    if (target->interactive != 0 && target != focusControl) MoveFocusByPress(target, wParam);
    if (doubleClick) CallControlHook(onControlDoubleClick, target, wParam, lParam);
    SetCapture(hwnd);
    return;
  }
  if (titleDoubleClick && target == titleLabel.get()) {
    ToggleMaximize();
    StartWindowMove(lParam);
  } else if (dragAnywhere == 1) {
    StartWindowMove(lParam);
  }
}

void HostWindow::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam) {
  if (focusControl != nullptr && DeliverMessage(focusControl, message, wParam, lParam) != kUnhandled) return;
  if (wParam == VK_TAB) {
    Control* start = focusControl != nullptr ? TopLevelAncestor(focusControl) : firstControl;
    if (start == nullptr) return;
    // With no focus the walk starts at the first control itself.
    Control* candidate = focusControl != nullptr ? start->nextSibling : start;
    for (int guard = 0; guard < 100000; ++guard) {
      if (candidate == nullptr) candidate = firstControl;
      if (candidate->visible && candidate->interactive && !candidate->disabled && !IsCaptionButton(candidate)) {
        if (candidate != focusControl) SetFocusControl(candidate, true);
        return;
      }
      candidate = candidate->nextSibling;
      if (candidate == start || (candidate == nullptr && firstControl == start)) return;
    }
  } else if (wParam == VK_RETURN || wParam == VK_SPACE) {
    if (focusControl != nullptr && focusControl->visible && !focusControl->disabled) {
      Control* clicked = focusControl;
      DeliverMessage(clicked, kMsgClick, reinterpret_cast<WPARAM>(clicked), 0);
      CallControlHook(onControlClick, clicked, wParam, lParam);
    }
  }
}

bool HostWindow::OnSysChar(UINT message, WPARAM wParam, LPARAM lParam) {
  DeliverMessage(focusControl, message, wParam, lParam);
  const auto pressed = static_cast<wint_t>(std::towlower(static_cast<wint_t>(wParam)));
  for (const Mnemonic& mnemonic : mnemonics) {
    // An entry names its control by handle: only a live control is clicked.
    Control* control = Control::FromHandle(reinterpret_cast<std::uintptr_t>(mnemonic.control));
    if (control == nullptr || !control->visible || control->disabled) continue;
    if (std::towlower(static_cast<wint_t>(mnemonic.keyCode)) != pressed) continue;
    DeliverMessage(control, kMsgClick, reinterpret_cast<WPARAM>(control), 0);
    CallControlHook(onControlClick, control, wParam, lParam);
    return true;
  }
  return false;
}

void HostWindow::SetFocusControl(Control* control, bool byKeyboard) {
  if (control == nullptr || control->handle == nullptr || control->disabled || !control->visible ||
      !control->interactive || IsCaptionButton(control) || control == focusControl) {
    return;
  }
  Control* old = focusControl;
  focusControl = control;
  keyboardFocus = nullptr;
  if (old != nullptr) old->SendToSelf(kMsgFocusLost, 0, reinterpret_cast<LPARAM>(control));
  if (byKeyboard) keyboardFocus = control;
  if (const long id = AccessibleChildId(control)) NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, hwnd, id);
  control->SendToSelf(kMsgFocusGained, 0, reinterpret_cast<LPARAM>(old));
}

}  // namespace ui

#pragma once

#include <vector>

#include "HostHooks.h"
#include "engine/core/Win32.h"

namespace ui {

class Control;
class HostWindow;

// A mnemonic: Alt plus the key clicks the control.
struct Mnemonic {
  Control* control;
  int keyCode;
};

// How a host window hands mouse and keyboard input to its controls. It
// keeps the input state: the focus (and whether the keyboard gave it), the
// control under the pointer, the press being tracked and the mnemonics.
class InputRouter {
 public:
  explicit InputRouter(HostWindow& host) : host_(host) {}
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

  // --- window messages
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
  // Starts a resize when the point is on an edge of a resizable window.
  bool SizingHitTest(UINT message, LPARAM lParam);
  void OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnSysChar(UINT message, WPARAM wParam, LPARAM lParam);
  void OnMouseLeave();
  void OnActivate(WPARAM wParam);

  // --- focus, press, hover and mnemonics
  void SetFocusControl(Control* control, bool byKeyboard);
  int SetMnemonic(Control* control, int keyCode);
  // The deepest visible, enabled control under the point, or null.
  Control* ControlAt(float x, float y) const;
  bool TakeFocusFrom(const Control* control);
  void ForgetControl(const Control* control);
  // Lights a control as if the pointer were over it.
  void SetHover(Control* control) { hover_ = control; }
  // Ends everything: a capture is released, nothing is remembered.
  void Reset();

  Control* FocusControl() const { return focus_; }
  Control* KeyboardFocus() const { return keyboardFocus_; }
  Control* HoverControl() const { return hover_; }
  Control* PressedControl() const { return pressed_; }
  bool IsPressActive() const { return pressActive_; }
  // The control a press tracked right now began on, or null.
  Control* ActivePress() const { return pressActive_ ? pressed_ : nullptr; }
  const std::vector<Mnemonic>& Mnemonics() const { return mnemonics_; }

  // Calls an application's hook for the control, with the control's kind
  // while it is alive.
  void CallHook(ControlEventHook hook, Control* control, WPARAM wParam, LPARAM lParam) const;
  // A click of the control, however it came (a press released over it, a
  // key, its mnemonic, a screen reader's default action): the control is
  // told (kMsgClick, with the pointer's position for a press, else 0),
  // then the host's click hook, with the message that made the click.
  void Click(Control* control, LPARAM point, WPARAM wParam, LPARAM lParam);

 private:
  // The pointer left the control for `towards` (null: for none), or came
  // onto it from `from`: the control is told (kMsgMouseLeft,
  // kMsgMouseEntered, with the other control), then the host's hook, with
  // the message's own wParam and lParam.
  void PointerLeft(Control* control, Control* towards, WPARAM wParam, LPARAM lParam);
  void PointerEntered(Control* control, Control* from, WPARAM wParam, LPARAM lParam);
  void StartWindowMove(LPARAM lParam);
  void ToggleMaximize();
  void MoveFocusByPress(Control* target, WPARAM wParam);
  // A left press: starts tracking a control that takes presses, else moves
  // (or maximises) the window.
  void PressOrMove(Control* target, WPARAM wParam, LPARAM lParam);
  HWND Window() const;
  const HostHooks& Hooks() const;

  HostWindow& host_;
  Control* focus_ = nullptr;
  Control* keyboardFocus_ = nullptr;  // the focus, when the keyboard gave it
  Control* hover_ = nullptr;
  Control* pressed_ = nullptr;
  bool pressActive_ = false;
  bool mouseTracking_ = false;
  std::vector<Mnemonic> mnemonics_;
};

}  // namespace ui

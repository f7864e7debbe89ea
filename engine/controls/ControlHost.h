#pragma once

#include <optional>
#include <string>

#include <cstdint>
#include <functional>

#include "engine/core/DisplayScale.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"
#include "engine/core/Win32.h"

namespace ui {

class Control;

// Where a control's paint is composed: the window's DC, and the composition
// surface's DC and graphics (in device pixels).
struct CompositionTarget {
  HDC windowDC = nullptr;
  HDC surfaceDC = nullptr;
  GpGraphics* surfaceGraphics = nullptr;
};

// The window property that holds the host of every engine window.
inline constexpr wchar_t kHostProperty[] = L"Ex_Wnd_Control";

// What a control may ask of the window it lives on. The window keeps the
// list of its top-level controls and its input state (focus, hover, press,
// mnemonics); a control changes them only through these operations.
class ControlHost {
 public:
  // The host of an engine window, through its window property; null for a
  // window without one.
  static ControlHost* Of(HWND window);

  virtual HWND Window() const = 0;

  // --- the top-level controls, in z-order (the first is underneath)
  virtual Control* FirstControl() const = 0;
  virtual void AppendControl(Control* control) = 0;
  virtual void PrependControl(Control* control) = 0;
  // Takes the control out of the list; false when it is not in it.
  virtual bool RemoveControl(Control* control) = 0;

  // --- input state
  virtual Control* FocusControl() const = 0;
  // True when the control has the focus and got it from the keyboard (its
  // focus mark shows).
  virtual bool HasKeyboardFocus(const Control* control) const = 0;
  // Takes the focus from the control when it has it; true when it had.
  virtual bool TakeFocusFrom(const Control* control) = 0;
  // The control a press tracked right now began on, or null.
  virtual Control* ActivePress() const = 0;
  // Forgets the control everywhere: focus, hover, press and mnemonic.
  virtual void ForgetControl(const Control* control) = 0;

  // --- what the window shows for a control
  // Shows `text` (none: the control's own tooltip) for the control.
  virtual void SetTooltip(Control* control, std::optional<std::string> text) = 0;
  // Tells screen readers of a change of the control (a WinEvent) when it is
  // in the window's accessible tree.
  virtual void AnnounceAccessibleEvent(const Control* control, unsigned long event) = 0;

  // --- painting (the window's compositor's)
  // The window's scale: logical pixels to the device pixels of its surfaces.
  virtual DisplayScale Scale() const = 0;
  // True during a full composition, a cross-fade or a show or close effect:
  // redraws wait and nothing is presented.
  virtual bool IsBusy() const = 0;
  virtual CompositionTarget PaintTarget() = 0;
  // The background shown (owned by the window, never disposed through this
  // pointer; null for none) and its colour (RGB; 0xFFFFFFFF none).
  virtual GpImage* BackgroundImage() const = 0;
  virtual std::uint32_t BackgroundColor() const = 0;
  // Draws over the composed picture (a caret) and presents the rectangle
  // with the rest of the window's picture; the next composition of that
  // part covers it again.
  virtual void PresentOverlay(const std::function<void(GpGraphics* graphics)>& draw, const RectF& rect) = 0;
  // Recomposes the rectangle; presents it when `present` is set.
  virtual void RedrawRect(const RectF& rect, bool present) = 0;
  virtual int WindowFrameStyle() const = 0;

 protected:
  ~ControlHost() = default;
};

}  // namespace ui

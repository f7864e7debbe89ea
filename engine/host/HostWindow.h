#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/ArgbColor.h"
#include "engine/core/ByteBlock.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"
#include "engine/controls/ControlHost.h"
#include "engine/render/Compositor.h"

namespace ui {

class Control;

// Hooks of a host window; 0 means none. A message hook's answer other than
// -1 is returned for the message at once.
using PaintBackgroundHook = int (*)(HWND window, GpGraphics* graphics, int width, int height);
using MessageHook = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using ControlEventHook = int (*)(HWND window, Control* control, WPARAM wParam, LPARAM lParam, int kind);
using ResizeHook = int (*)(HWND window, int width, int height);

// How a host window is attached; every option may be left out.
struct HostOptions {
  Bytes backgroundImage;                    // PNG, JPEG or another format GDI+ reads
  std::optional<ArgbColor> backgroundColor; // default -1: none
  std::optional<int> captionFlags;          // default, or with 1024: from the window's styles
  std::optional<int> windowAlpha;           // 0..255; default -1: not layered
  std::optional<int> backgroundMode;        // default 0
  std::optional<int> frameStyle;            // default 7 (rounded)
  std::optional<int> resizable;             // default: whether the window has a thick frame
  std::optional<int> dragAnywhere;          // default 1
  std::optional<int> edgeFade;              // default 1
  std::optional<int> blurBehind;            // see Create
  std::optional<RECT> nineGrid;             // default empty
  std::optional<HWND> backgroundOwner;      // default none
};

// A mnemonic: Alt plus the key clicks the control.
struct Mnemonic {
  Control* control;
  int keyCode;
};

// Attaches the engine to one existing top-level window: the window becomes
// frameless (and layered when it has a window alpha), its every pixel is
// composed off-screen, and its mouse and keyboard input is routed to the
// controls that live on it.
class HostWindow : public ControlHost {
 public:
  HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  ~HostWindow();

  // The host of an engine window, through its window property; null for a
  // window without one.
  static HostWindow* FromWindow(HWND window);

  // --- attachment and message handling
  // Attaches to `window`; false when it is not a window or is this host's
  // window already.
  bool Create(HWND window, const HostOptions& options = {});
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  void Detach(HWND window);
  bool IsAttached() const { return prevWndProc != nullptr; }

  // --- input routing
  void RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
  // Starts a resize when the point is on an edge of a resizable window.
  bool SizingHitTest(UINT message, LPARAM lParam);
  void OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnSysChar(UINT message, WPARAM wParam, LPARAM lParam);
  void SetFocusControl(Control* control, bool byKeyboard);
  int SetMnemonic(Control* control, int keyCode);
  // The deepest visible, enabled control under the point, or null.
  Control* ControlAt(float x, float y) const;
  // Shows `text` (none: the control's own tooltip) for the control.
  void SetTooltip(Control* control, std::optional<std::string> text = std::nullopt) override;

  // --- what the controls on the window may ask of it
  HWND Window() const override { return hwnd; }
  Control* FirstControl() const override { return firstControl; }
  void AppendControl(Control* control) override;
  void PrependControl(Control* control) override;
  bool RemoveControl(Control* control) override;
  Control* FocusControl() const override { return focusControl; }
  bool HasKeyboardFocus(const Control* control) const override { return keyboardFocus == control; }
  bool TakeFocusFrom(const Control* control) override;
  Control* ActivePress() const override { return pressActive == 1 ? pressedControl : nullptr; }
  void ForgetControl(const Control* control) override;
  void AnnounceAccessibleEvent(const Control* control, unsigned long event) override;
  int WindowFrameStyle() const override { return compositor_.Settings().frameStyle; }

  // --- caption
  void LayoutCaption();

  // --- composition and presentation (the compositor's, for this window)
  Compositor& Composition() override { return compositor_; }
  const Compositor& Composition() const { return compositor_; }
  int Width() const { return compositor_.Width(); }
  int Height() const { return compositor_.Height(); }
  void Invalidate(const RectF& rect, RedrawMode mode) { compositor_.Invalidate(rect, mode); }
  // Full composition, on the background of the background owner when there
  // is one. presentMode 0 presents at once, 1 cross-fades from the previous
  // picture, any other value presents nothing.
  int Compose(Bytes image = {}, std::optional<ArgbColor> colour = std::nullopt, int presentMode = 0,
              bool keepControlSurfaces = false);
  void OnSized(HWND window, int mode);
  // Presents the rectangle, or with whole false the whole window.
  void Present(const RectF& rect, bool whole);
  void RedrawRect(const RectF& rect, bool present) override { compositor_.RedrawRect(rect, present); }
  bool IsLayered() const { return compositor_.IsLayered(); }
  bool IsBusy() const { return compositor_.IsBusy(); }

  // --- frame and animations
  void Show(int effect = 0, int duration = 200);
  void SetCloseEffect(int effect) { closeEffect = effect; }
  void SetShadowColor(std::uint32_t colour) { compositor_.Settings().shadowColor = colour; }
  int DragAnywhere(std::optional<int> value = std::nullopt);
  int FrameStyle(std::optional<int> value = std::nullopt);
  void SetWindowCursor(std::uintptr_t idOrHandle, bool isHandle);

  // --- hook setters
  void SetOnPaintBackground(PaintBackgroundHook hook);
  void SetMessageHook(MessageHook hook) { messageHook = hook; }
  void SetOnResize(ResizeHook hook) { onResize = hook; }
  void SetOnControlMouseDown(ControlEventHook hook) { onControlMouseDown = hook; }
  void SetOnControlMouseUp(ControlEventHook hook) { onControlMouseUp = hook; }
  void SetOnControlClick(ControlEventHook hook) { onControlClick = hook; }

  // What a screen reader sees: the visible top-level controls that describe
  // themselves, in tab order (creation order); a control's child id among
  // them (1-based), 0 when it is not one of them.
  std::vector<Control*> AccessibleControls() const;
  long AccessibleChildId(const Control* control) const;
  void SetOnControlDoubleClick(ControlEventHook hook) { onControlDoubleClick = hook; }
  void SetOnControlRightDown(ControlEventHook hook) { onControlRightDown = hook; }
  void SetOnControlRightUp(ControlEventHook hook) { onControlRightUp = hook; }
  void SetOnControlMouseLeave(ControlEventHook hook) { onControlMouseLeave = hook; }
  void SetOnControlMouseEnter(ControlEventHook hook) { onControlMouseEnter = hook; }
  void SetOnControlFocusGained(ControlEventHook hook) { onControlFocusGained = hook; }
  void SetOnControlFocusLost(ControlEventHook hook) { onControlFocusLost = hook; }

  // --- fields, read and written by the renderer and the controls
  HWND hwnd = nullptr;
  WNDPROC prevWndProc = nullptr;
  Control* focusControl = nullptr;
  Control* hoverControl = nullptr;
  Control* pressedControl = nullptr;
  int pressActive = 0;
  HWND backgroundOwner = nullptr;
  Control* firstControl = nullptr;
  Control* lastControl = nullptr;
  int captionFlags = 0;
  HWND tooltipHwnd = nullptr;
  int closeEffect = 0;
  int resizable = 0;
  int dragAnywhere = 1;
  Control* keyboardFocus = nullptr;
  HCURSOR windowCursor = nullptr;
  int mouseTracking = 0;
  std::vector<Mnemonic> mnemonics;
  std::vector<std::unique_ptr<Control>> captionButtons;  // right to left
  std::unique_ptr<Control> iconPicture;  // the caption icon (flag 1)
  std::unique_ptr<Control> titleLabel;   // the caption title (flag 2)
  PaintBackgroundHook onPaintBackground = nullptr;
  MessageHook messageHook = nullptr;
  ControlEventHook onControlMouseDown = nullptr;
  ControlEventHook onControlMouseUp = nullptr;
  ControlEventHook onControlClick = nullptr;
  ControlEventHook onControlDoubleClick = nullptr;
  ControlEventHook onControlRightDown = nullptr;
  ControlEventHook onControlRightUp = nullptr;
  ControlEventHook onControlMouseEnter = nullptr;
  ControlEventHook onControlMouseLeave = nullptr;
  ControlEventHook onControlFocusGained = nullptr;
  ControlEventHook onControlFocusLost = nullptr;
  ResizeHook onResize = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMinMaxInfo(MINMAXINFO* info);
  LRESULT OnControlMoved(WPARAM wParam, LPARAM lParam);
  void OnMouseLeave();
  void OnActivate(WPARAM wParam);
  void CreateTooltipWindow();
  void StartWindowMove(LPARAM lParam);
  void ToggleMaximize();
  void CallControlHook(ControlEventHook hook, Control* control, WPARAM wParam, LPARAM lParam);
  void MoveFocusByPress(Control* target, WPARAM wParam);
  // A left press: starts tracking a control that takes presses, else moves
  // (or maximises) the window.
  void PressOrMove(Control* target, WPARAM wParam, LPARAM lParam);
  void DiscardPendingMessages(HWND window);
  // Caption buttons, icon and title as the caption flags ask.
  void CreateCaptionControls();
  void DestroyCaptionControls();
  void SetTitleText(const std::string& text);

  Compositor compositor_;
  std::wstring tooltipText_;
  bool closing_ = false;  // in the close handling of WM_CLOSE
};

}  // namespace ui

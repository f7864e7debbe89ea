#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CaptionBar.h"
#include "HostHooks.h"
#include "InputRouter.h"
#include "engine/controls/ControlHost.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/ByteBlock.h"
#include "engine/core/GdiPlus.h"
#include "engine/core/RectF.h"
#include "engine/render/Compositor.h"

namespace ui {

class Control;

// How a host window is attached; every option may be left out.
struct HostOptions {
  Bytes backgroundImage;                     // PNG, JPEG or another format GDI+ reads
  std::optional<ArgbColor> backgroundColor;  // default -1: none
  std::optional<int> captionFlags;           // default, or with 1024: from the window's styles
  std::optional<int> windowAlpha;            // 0..255; default -1: not layered
  std::optional<int> backgroundMode;         // default 0
  std::optional<int> frameStyle;             // default 7 (rounded)
  std::optional<int> resizable;              // default: whether the window has a thick frame
  std::optional<int> dragAnywhere;           // default 1
  std::optional<int> edgeFade;               // default 1
  std::optional<int> blurBehind;             // see Create
  std::optional<RECT> nineGrid;              // default empty
  std::optional<HWND> backgroundOwner;       // default none
};

// Attaches the engine to one existing top-level window: the window becomes
// frameless (and layered when it has a window alpha), its every pixel is
// composed off-screen by its compositor, and its mouse and keyboard input is
// routed to the controls that live on it. It owns the parts that do this:
// the compositor, the input router and the caption bar; the accessibility
// bridge answers for it through its window handle.
class HostWindow final : public ControlHost {
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
  bool IsAttached() const { return prevWndProc_ != nullptr; }
  // The window's own procedure, which the host calls for what it leaves.
  WNDPROC PreviousProcedure() const { return prevWndProc_; }

  // --- its parts
  Compositor& Composition() { return compositor_; }
  const Compositor& Composition() const { return compositor_; }
  InputRouter& Input() { return input_; }
  const InputRouter& Input() const { return input_; }
  const CaptionBar& Caption() const { return caption_; }
  const HostHooks& Hooks() const { return hooks_; }

  // --- input routing (the input router's)
  void RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) { input_.RouteMouse(message, wParam, lParam); }
  bool SizingHitTest(UINT message, LPARAM lParam) { return input_.SizingHitTest(message, lParam); }
  void OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam) { input_.OnKeyDown(message, wParam, lParam); }
  bool OnSysChar(UINT message, WPARAM wParam, LPARAM lParam) { return input_.OnSysChar(message, wParam, lParam); }
  void SetFocusControl(Control* control, bool byKeyboard) { input_.SetFocusControl(control, byKeyboard); }
  int SetMnemonic(Control* control, int keyCode) { return input_.SetMnemonic(control, keyCode); }
  Control* ControlAt(float x, float y) const { return input_.ControlAt(x, y); }
  // Shows `text` (none: the control's own tooltip) for the control.
  void SetTooltip(Control* control, std::optional<std::string> text = std::nullopt) override;
  HWND TooltipWindow() const { return tooltipHwnd_; }

  // --- what the controls on the window may ask of it
  HWND Window() const override { return hwnd_; }
  Control* FirstControl() const override { return firstControl_; }
  Control* LastControl() const { return lastControl_; }
  void AppendControl(Control* control) override;
  void PrependControl(Control* control) override;
  bool RemoveControl(Control* control) override;
  Control* FocusControl() const override { return input_.FocusControl(); }
  bool HasKeyboardFocus(const Control* control) const override { return input_.KeyboardFocus() == control; }
  bool TakeFocusFrom(const Control* control) override { return input_.TakeFocusFrom(control); }
  Control* ActivePress() const override { return input_.ActivePress(); }
  void ForgetControl(const Control* control) override { input_.ForgetControl(control); }
  void AnnounceAccessibleEvent(const Control* control, unsigned long event) override;
  int WindowFrameStyle() const override { return compositor_.Settings().frameStyle; }

  // --- caption
  void LayoutCaption() { caption_.Layout(Width()); }
  // Each accessor sets the value when one is given and returns the current
  // one. Caption flags set later change what the frame and the routing
  // read; the caption's controls stay as they were made.
  int CaptionFlags(std::optional<int> value = std::nullopt);

  // --- composition and presentation (the compositor's, for this window)
  int Width() const { return compositor_.Width(); }
  int Height() const { return compositor_.Height(); }
  void Invalidate(const RectF& rect, RedrawMode mode) { compositor_.Invalidate(rect, mode); }
  // Full composition, on the background of the background owner when there
  // is one. presentMode 0 presents at once, 1 cross-fades from the previous
  // picture, any other value presents nothing.
  int Compose(Bytes image = {}, std::optional<ArgbColor> colour = std::nullopt, int presentMode = kPresentAtOnce,
              bool keepControlSurfaces = false);
  void OnSized(HWND window, int mode);
  // Presents the rectangle when `whole` is true, otherwise the whole window
  // (the flag keeps its established sense: true means "the whole of the
  // rectangle"); callers say which with the two constants below.
  static constexpr bool kPresentTheRect = true;
  static constexpr bool kPresentWholeWindow = false;
  void Present(const RectF& rect, bool whole);
  void RedrawRect(const RectF& rect, bool present) override { compositor_.RedrawRect(rect, present); }
  bool IsLayered() const { return compositor_.IsLayered(); }
  bool IsBusy() const override { return compositor_.IsBusy(); }
  DisplayScale Scale() const override { return compositor_.Scale(); }
  CompositionTarget PaintTarget() override {
    return {compositor_.WindowDC(), compositor_.CompositionSurface().dc(), compositor_.CompositionSurface().graphics()};
  }
  GpImage* BackgroundImage() const override { return compositor_.BackgroundImage(); }
  std::uint32_t BackgroundColor() const override { return compositor_.BackgroundColor(); }
  void PresentOverlay(const std::function<void(GpGraphics* graphics)>& draw, const RectF& rect) override {
    compositor_.PresentOverlay(draw, rect);
  }

  // --- frame and animations
  void Show(int effect = 0, int duration = 200);
  void SetCloseEffect(int effect) { closeEffect_ = effect; }
  int CloseEffect() const { return closeEffect_; }
  void SetShadowColor(std::uint32_t colour) { compositor_.Settings().shadowColor = colour; }
  int DragAnywhere(std::optional<int> value = std::nullopt);
  int FrameStyle(std::optional<int> value = std::nullopt);
  int Resizable(std::optional<int> value = std::nullopt);
  void SetWindowCursor(std::uintptr_t idOrHandle, bool isHandle);

  // --- hook setters
  void SetOnPaintBackground(PaintBackgroundHook hook);
  void SetMessageHook(MessageHook hook) { hooks_.message = hook; }
  void SetOnResize(ResizeHook hook) { hooks_.resize = hook; }
  void SetOnControlMouseDown(ControlEventHook hook) { hooks_.controlMouseDown = hook; }
  void SetOnControlMouseUp(ControlEventHook hook) { hooks_.controlMouseUp = hook; }
  void SetOnControlClick(ControlEventHook hook) { hooks_.controlClick = hook; }
  void SetOnControlDoubleClick(ControlEventHook hook) { hooks_.controlDoubleClick = hook; }
  void SetOnControlRightDown(ControlEventHook hook) { hooks_.controlRightDown = hook; }
  void SetOnControlRightUp(ControlEventHook hook) { hooks_.controlRightUp = hook; }
  void SetOnControlMouseLeave(ControlEventHook hook) { hooks_.controlMouseLeave = hook; }
  void SetOnControlMouseEnter(ControlEventHook hook) { hooks_.controlMouseEnter = hook; }
  void SetOnControlFocusGained(ControlEventHook hook) { hooks_.controlFocusGained = hook; }
  void SetOnControlFocusLost(ControlEventHook hook) { hooks_.controlFocusLost = hook; }

  // What a screen reader sees: the visible top-level controls that describe
  // themselves, in tab order (creation order); a control's child id among
  // them (1-based), 0 when it is not one of them.
  std::vector<Control*> AccessibleControls() const;
  long AccessibleChildId(const Control* control) const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMinMaxInfo(MINMAXINFO* info);
  // Places a window made at its logical size (rect) at the scale.
  static void PlaceAtScale(HWND window, const RECT& rect, const DisplayScale& scale);
  // A pointer position of a mouse message, device pixels to logical ones.
  LPARAM LogicalPoint(LPARAM devicePoint) const;
  void OnDpiChanged(int dpi, const RECT* suggested);
  LRESULT OnControlMoved(WPARAM wParam, LPARAM lParam);
  void CreateTooltipWindow();
  void DiscardPendingMessages(HWND window);

  HWND hwnd_ = nullptr;
  WNDPROC prevWndProc_ = nullptr;
  Control* firstControl_ = nullptr;  // the top-level controls, bottom first
  Control* lastControl_ = nullptr;
  HWND backgroundOwner_ = nullptr;
  HWND tooltipHwnd_ = nullptr;
  std::wstring tooltipText_;
  HCURSOR windowCursor_ = nullptr;
  int closeEffect_ = 0;
  int resizable_ = 0;
  int dragAnywhere_ = 1;
  bool closing_ = false;  // in the close handling of WM_CLOSE
  HostHooks hooks_;
  Compositor compositor_;
  InputRouter input_{*this};
  CaptionBar caption_;
};

}  // namespace ui

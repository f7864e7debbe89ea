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
#include "engine/render/BackgroundImages.h"
#include "engine/render/FrameCache.h"
#include "engine/render/RedrawQueue.h"
#include "engine/render/Surface.h"

namespace ui {

class Control;

// Hooks of a host window; 0 means none. A message hook's answer other than
// -1 is returned for the message at once.
using PaintBackgroundHook = int (*)(HWND window, GpGraphics* graphics, int width, int height);
using MessageHook = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using ControlEventHook = int (*)(HWND window, Control* control, WPARAM wParam, LPARAM lParam, int kind);
using ResizeHook = int (*)(HWND window, int width, int height);

// The window property that holds the HostWindow of every engine window.
inline constexpr wchar_t kHostProperty[] = L"Ex_Wnd_Control";

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
class HostWindow : public RedrawTarget {
 public:
  HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  ~HostWindow() override;

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
  void SetTooltip(Control* control, std::optional<std::string> text = std::nullopt);

  // --- caption
  void LayoutCaption();

  // --- composition and presentation
  void Invalidate(const RectF& rect, RedrawMode mode);
  // Full composition. presentMode 0 presents at once, 1 cross-fades from the
  // previous picture, any other value presents nothing.
  int Compose(Bytes image = {}, std::optional<ArgbColor> colour = std::nullopt, int presentMode = 0,
              bool keepControlSurfaces = false);
  void FadeTick();
  void OnSized(HWND window, int mode);
  // Presents the rectangle, or with whole false the whole window.
  void Present(const RectF& rect, bool whole);
  void PresentRect(const RectF& rect);
  void RedrawRect(const RectF& rect, bool present) override;
  // Presents what changed since the last presentation (nothing while busy).
  void PresentLayered() override;
  // Presents the whole composition surface of a layered window.
  void PresentWhole();
  bool IsLayered() const override { return windowAlpha != -1; }
  bool IsBusy() const override { return busy != 0; }
  // Ends a busy period: redraws what controls asked for meanwhile.
  void EndBusy();
  // A show or close effect owns the screen from BeginEffect to EndEffect: a
  // running cross-fade is finished first, and no composition or redraw is
  // presented meanwhile. After a close effect nothing is presented until the
  // window is shown again.
  void BeginEffect();
  void EndEffect(bool closed);
  // The id of the cross-fade's window timer.
  UINT_PTR FadeTimerId() const { return reinterpret_cast<UINT_PTR>(this); }

  // --- frame and animations
  void Show(int effect = 0, int duration = 200);
  void SetCloseEffect(int effect) { closeEffect = effect; }
  void SetShadowColor(std::uint32_t colour) { shadowColor = colour; }
  int DragAnywhere(std::optional<int> value = std::nullopt);
  int FrameStyle(std::optional<int> value = std::nullopt);
  void SetWindowCursor(std::uintptr_t idOrHandle, bool isHandle);

  // --- hook setters
  void SetOnPaintBackground(PaintBackgroundHook hook) { onPaintBackground = hook; }
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

  // How often the window was presented (layered or by BitBlt), and how
  // often a composition copied a frame painted before; for tests and
  // benchmarks.
  int presentations = 0;
  int framesCopied = 0;

  // --- fields, read and written by the renderer and the controls
  HWND hwnd = nullptr;
  WNDPROC prevWndProc = nullptr;
  Control* focusControl = nullptr;
  Control* hoverControl = nullptr;
  Control* pressedControl = nullptr;
  int pressActive = 0;
  int busy = 0;  // 1 while drawing must not reach the screen
  HDC windowDC = nullptr;
  Surface surface;      // the composition surface, with graphics
  Surface back;         // the frame layer without controls
  Surface fade;         // the previous picture during a cross-fade
  HWND backgroundOwner = nullptr;
  // The picture shown: kept by the window's decoded pictures, or by the
  // background owner's window; never disposed through this pointer.
  GpImage* backgroundImage = nullptr;
  std::uint64_t backgroundGeneration = 0;  // which picture backgroundImage is
  std::uint32_t backgroundColor = 0xFFFFFFFF;  // RGB; -1 none
  Control* firstControl = nullptr;
  Control* lastControl = nullptr;
  int captionFlags = 0;
  HWND tooltipHwnd = nullptr;
  int frameStyle = 7;
  int windowAlpha = -1;
  int backgroundMode = 0;
  std::uint32_t shadowColor = 0xFFFFFFFF;  // RGB; -1 black
  int edgeFade = 1;
  int closeEffect = 0;
  int resizable = 0;
  int dragAnywhere = 1;
  int width = 0;
  int height = 0;
  RegionPtr clipRegion;
  Control* keyboardFocus = nullptr;
  int blurBehind = 0;
  HCURSOR windowCursor = nullptr;
  RECT nineGrid{};
  int fadeAlpha = 0;
  int mouseTracking = 0;
  std::vector<Mnemonic> mnemonics;
  std::vector<std::unique_ptr<Control>> captionButtons;  // right to left
  std::unique_ptr<Control> iconPicture;  // the caption icon (flag 1)
  std::unique_ptr<Control> titleLabel;   // the caption title (flag 2)
  RedrawQueue redrawQueue;
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
  static void CALLBACK FadeTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
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
  void ReleaseBackgroundImage();
  void DiscardPendingMessages(HWND window);
  void PresentLayeredSurface(HDC source);
  void PresentChanges();
  void EndFade();
  // Caption buttons, icon and title as the caption flags ask.
  void CreateCaptionControls();
  void DestroyCaptionControls();
  void SetTitleText(const std::string& text);

  // Marks a part of the surface as changed since the last presentation.
  void AddDirty(const RectF& rect);

  // Puts the frame layer into the composition surface and the back layer:
  // painted, or copied when this frame was painted before.
  void ComposeFrameLayer();

  struct ClipKey {
    int width = 0, height = 0;
    bool rounded = false;
    bool operator==(const ClipKey&) const = default;
  };

  BackgroundImages backgroundImages_;
  FrameCache frameCache_;
  std::optional<FrameKey> backFrame_;  // the frame the back layer holds
  ClipKey clipKey_;                    // what clipRegion was made for
  std::vector<RectF> deferredRedraws_;
  RECT dirty_{};  // changed since the last presentation
  std::wstring tooltipText_;
  bool closing_ = false;        // in the close handling of WM_CLOSE
  bool fading_ = false;         // a cross-fade runs
  bool effectRunning_ = false;  // a show or close effect runs
  bool closed_ = false;         // the close effect has ended
};

}  // namespace ui

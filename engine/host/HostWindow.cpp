#include "HostWindow.h"

#include "HostAccessible.h"

#include <commctrl.h>
#include <windowsx.h>

#include "CaptionLayout.h"
#include "WindowSizing.h"
#include "engine/controls/Control.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/QueuedBlock.h"
#include "engine/core/SystemLibraries.h"
#include "engine/core/TextConversion.h"
#include "engine/core/WindowDpi.h"
#include "engine/render/Primitives.h"
#include "engine/render/WindowAnimations.h"

namespace ui {

HostWindow::HostWindow() = default;

HostWindow::~HostWindow() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) Detach(hwnd_);
}

HostWindow* HostWindow::FromWindow(HWND window) {
  // Every engine window's host is a HostWindow.
  return static_cast<HostWindow*>(ControlHost::Of(window));
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HostWindow* host = FromWindow(window);
  if (host == nullptr || host->hwnd_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return host->WindowProc(message, wParam, lParam);
}

bool HostWindow::Create(HWND window, const HostOptions& options) {
  if (window == nullptr || !IsWindow(window) || window == hwnd_) return false;
  if (hwnd_ != nullptr && IsWindow(hwnd_)) Detach(hwnd_);

  FrameSettings& frame = compositor_.Settings();
  frame.windowAlpha = options.windowAlpha.value_or(-1);
  frame.backgroundMode = options.backgroundMode.value_or(0);
  frame.frameStyle = options.frameStyle.value_or(7);
  resizable_ = options.resizable.value_or(HasWindowStyle(window, WS_THICKFRAME, false) ? 1 : 0);
  dragAnywhere_ = options.dragAnywhere.value_or(1);
  frame.edgeFade = options.edgeFade.value_or(1);
  frame.nineGrid = options.nineGrid.value_or(RECT{});
  if (options.backgroundOwner) backgroundOwner_ = *options.backgroundOwner;

  // Blur behind only for a layered window, or by default on Windows 6.x.
  if (options.blurBehind && options.windowAlpha) frame.blurBehind = *options.blurBehind;
  else if (!options.blurBehind && Engine().windowsMajorVersion == 6) frame.blurBehind = 1;
  else frame.blurBehind = 0;

  int flags = options.captionFlags.value_or(kCaptionFromStyles);
  if ((flags & kCaptionFromStyles) != 0) {
    AddWindowStyle(window, WS_SYSMENU, false);
    flags = CaptionFlagsFromStyle(static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
  }
  caption_.SetFlags(flags | kCaptionShadow);

  AddWindowStyle(window, WS_POPUP, false);
  hwnd_ = window;
  SetPropW(window, kHostProperty, static_cast<ControlHost*>(this));
  windowCursor_ = Engine().defaultCursor;

  RemoveWindowStyle(window, WS_THICKFRAME, false);
  RemoveWindowStyle(window, WS_DLGFRAME, false);
  RemoveWindowStyle(window, WS_BORDER, false);
  if ((caption_.Flags() & kCaptionMinimize) == 0) RemoveWindowStyle(window, WS_MINIMIZEBOX, false);
  if ((caption_.Flags() & kCaptionMaximize) == 0) RemoveWindowStyle(window, WS_MAXIMIZEBOX, false);

  RECT rect{};
  GetWindowRect(window, &rect);
  // The window was made at its size in logical pixels; on a display of
  // another scale it takes its size there, and its place scaled from its
  // monitor's corner (a window owned by another keeps the place it was
  // given, a menu at the pointer).
  const DisplayScale scale(WindowDpi(window));
  if (!scale.IsIdentity()) PlaceAtScale(window, rect, scale);
  CompositionClient client;
  client.layout = [this] { LayoutCaption(); };
  client.firstItem = [this]() -> Drawable* { return firstControl_; };
  compositor_.Attach(window, rect.right - rect.left, rect.bottom - rect.top, std::move(client), scale);
  SetOnPaintBackground(hooks_.paintBackground);

  if (frame.windowAlpha != -1) AddWindowStyle(window, WS_EX_LAYERED, true);

  prevWndProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindow::Procedure)));
  // The caption and border styles are gone: let the system recompute the
  // frame so that the whole window is client area.
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  compositor_.SetBusy(true);
  caption_.Create(hwnd_, Width());
  compositor_.SetBusy(false);
  Compose(options.backgroundImage, options.backgroundColor, kPresentNothing);

  if (frame.windowAlpha != -1) {
    // A layered window starts invisible: Show presents the composition.
    Surface clear;
    clear.Create(nullptr, compositor_.DeviceWidth(), compositor_.DeviceHeight());
    compositor_.PresentLayeredSurface(clear.dc());
  }
  if (resizable_ == 1) AddWindowStyle(window, WS_THICKFRAME, false);
  return true;
}

void HostWindow::CreateTooltipWindow() {
  // The common controls are loaded for the first tooltip, not at start-up:
  // loading them is a good part of a process's start.
  static const bool commonControlsReady = [] {
    HMODULE controls = LoadSystemLibrary(L"comctl32.dll");
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init =
        reinterpret_cast<InitControls>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    return controls != nullptr && init != nullptr && init(&classes);
  }();
  if (!commonControlsReady) return;
  tooltipHwnd_ = CreateWindowExW(0, TOOLTIPS_CLASSW, L"", WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr,
                                 nullptr, nullptr, nullptr);
  if (tooltipHwnd_ == nullptr) return;
  SetWindowPos(tooltipHwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(tooltipHwnd_, TTM_SETMAXTIPWIDTH, 0, 1024);
}

void HostWindow::SetTooltip(Control* control, std::optional<std::string> text) {
  const std::string wanted = control == nullptr ? std::string() : text.value_or(control->TooltipText());
  // The tooltip window is made for the first control that has a text.
  if (tooltipHwnd_ == nullptr && !wanted.empty()) CreateTooltipWindow();
  if (tooltipHwnd_ == nullptr) return;
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_SUBCLASS;
  info.hwnd = hwnd_;
  SendMessageW(tooltipHwnd_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (control == nullptr) return;
  tooltipText_ = AnsiToWide(wanted);
  if (tooltipText_.empty()) return;
  const DeviceBox place = compositor_.Scale().ToDevice(control->Bounds());
  info.rect = {place.left, place.top, place.right, place.bottom};
  info.lpszText = tooltipText_.data();
  SendMessageW(tooltipHwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tooltipHwnd_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tooltipHwnd_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

int HostWindow::CaptionFlags(std::optional<int> value) {
  if (value) caption_.SetFlags(*value);
  return caption_.Flags();
}

int HostWindow::DragAnywhere(std::optional<int> value) {
  if (value) dragAnywhere_ = *value;
  return dragAnywhere_;
}

int HostWindow::Resizable(std::optional<int> value) {
  if (value) resizable_ = *value;
  return resizable_;
}

int HostWindow::FrameStyle(std::optional<int> value) {
  if (value) compositor_.Settings().frameStyle = *value;
  return compositor_.Settings().frameStyle;
}

void HostWindow::SetWindowCursor(std::uintptr_t idOrHandle, bool isHandle) {
  windowCursor_ = isHandle ? reinterpret_cast<HCURSOR>(idOrHandle)
                           : LoadCursorW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(idOrHandle)));
}

void HostWindow::Detach(HWND window) {
  if (prevWndProc_ == nullptr) return;
  compositor_.SetBusy(true);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevWndProc_));
  compositor_.Queue().Clear();
  for (Control* control = firstControl_; control != nullptr;) {
    Control* next = control->NextSibling();
    control->Destroy();
    control = next;
  }
  caption_.Destroy();
  if (tooltipHwnd_ != nullptr) {
    SetTooltip(nullptr);
    DestroyWindow(tooltipHwnd_);
    tooltipHwnd_ = nullptr;
  }
  input_.Reset();
  firstControl_ = lastControl_ = nullptr;
  caption_.SetFlags(0);
  compositor_.Detach();
  RemovePropW(window, kHostProperty);
  DiscardPendingMessages(window);
  prevWndProc_ = nullptr;
  hwnd_ = nullptr;
  compositor_.SetBusy(false);
}

void HostWindow::DiscardPendingMessages(HWND window) {
  // Posted invalidations and deliveries carry blocks that only this host
  // frees; the window no longer has a host to take them.
  MSG message;
  while (PeekMessageW(&message, window, kMsgInvalidate, kMsgInvalidate, PM_REMOVE)) {
    QueuedBlock<RectF>::Discard(message.lParam);
  }
  while (PeekMessageW(&message, window, kMsgDeliver, kMsgDeliver, PM_REMOVE)) {
    QueuedBlock<PackedMessage>::Discard(message.lParam);
  }
}

LRESULT HostWindow::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
  // The redraw queue flushes on this same thread, so it is always idle here.
  // A handler may have detached the host (the window was destroyed under it).
  if (prevWndProc_ == nullptr) return 0;
  return CallWindowProcW(prevWndProc_, hwnd_, message, wParam, lParam);
}

void HostWindow::PlaceAtScale(HWND window, const RECT& rect, const DisplayScale& scale) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) monitor.rcMonitor = RECT{};
  const DeviceBox logical{rect.left, rect.top, rect.right, rect.bottom};
  DeviceBox placed = ScaleWindowPlacement(logical, monitor.rcMonitor.left, monitor.rcMonitor.top, scale);
  if (GetWindow(window, GW_OWNER) != nullptr) {
    placed = {rect.left, rect.top, rect.left + placed.Width(), rect.top + placed.Height()};
  }
  SetWindowPos(window, nullptr, placed.left, placed.top, placed.Width(), placed.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LPARAM HostWindow::LogicalPoint(LPARAM devicePoint) const {
  const DisplayScale& scale = compositor_.Scale();
  if (scale.IsIdentity()) return devicePoint;
  return MAKELPARAM(scale.ToLogical(GET_X_LPARAM(devicePoint)), scale.ToLogical(GET_Y_LPARAM(devicePoint)));
}

void HostWindow::OnDpiChanged(int dpi, const RECT* suggested) {
  const DisplayScale scale(dpi);
  if (!compositor_.SetScale(scale)) return;
  // The window takes the place the system suggests (its size there is the
  // same logical size); every surface is made again at the new scale and
  // the next frame is drawn at it.
  if (suggested != nullptr) {
    compositor_.SetBusy(true);
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    compositor_.SetBusy(false);
  }
  compositor_.ResizeSurfaces();
  for (Control* control : ControlList(firstControl_)) control->Rescale();
  Compose({}, compositor_.BackgroundColor(), kPresentAtOnce, true);
}

LRESULT HostWindow::OnMinMaxInfo(MINMAXINFO* info) {
  RectF work{};
  GetWorkArea(work);
  const MinMax limits = HostMinMax(static_cast<int>(work.left), static_cast<int>(work.top),
                                   static_cast<int>(work.Right()), static_cast<int>(work.Bottom()), caption_.Flags());
  info->ptMaxSize = {limits.maxWidth, limits.maxHeight};
  info->ptMaxPosition = {limits.maxLeft, limits.maxTop};
  info->ptMinTrackSize = {limits.minTrackWidth, limits.minTrackHeight};
  return 0;
}

LRESULT HostWindow::OnControlMoved(WPARAM wParam, LPARAM lParam) {
  Control* control = Control::FromHandle(wParam);
  DeliverMessage(control, kMsgMoved, wParam, lParam);
  if (lParam != 1) return 1;
  if (control == nullptr) return 1;
  if (compositor_.IsBusy()) {
    // Drawn when the window is done with what keeps it busy.
    compositor_.DeferRedraw(control->PreviousBounds());
    compositor_.DeferRedraw(control->Bounds());
    return 0;
  }
  RedrawRect(control->PreviousBounds(), true);
  RedrawRect(control->Bounds(), true);
  return 1;
}

void HostWindow::AppendControl(Control* control) { control->AppendTo(firstControl_, lastControl_); }

void HostWindow::PrependControl(Control* control) { control->PrependTo(firstControl_, lastControl_); }

bool HostWindow::RemoveControl(Control* control) {
  for (Control* listed : ControlList(firstControl_)) {
    if (listed == control) {
      control->UnlinkFrom(firstControl_, lastControl_);
      return true;
    }
  }
  return false;
}

LRESULT HostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (hooks_.message != nullptr) {
    const LRESULT answer = hooks_.message(hwnd_, message, wParam, lParam);
    if (answer != kUnhandled) return answer;
  }
  switch (message) {
    case WM_DESTROY: {
      HWND window = hwnd_;
      WNDPROC previous = prevWndProc_;
      Detach(window);
      return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    case WM_SIZE:
      OnSized(hwnd_, static_cast<int>(wParam));
      break;
    case WM_ACTIVATE:
      input_.OnActivate(wParam);
      break;
    case WM_SETTEXT: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      if (result == 1 && (caption_.Flags() & kCaptionTitle) && caption_.Title() != nullptr && lParam != 0) {
        caption_.SetTitleText(WideToAnsi(reinterpret_cast<const wchar_t*>(lParam)));
      }
      return result;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd_, &paint);
      BitBlt(dc, 0, 0, compositor_.DeviceWidth(), compositor_.DeviceHeight(), compositor_.CompositionSurface().dc(), 0,
             0, SRCCOPY);
      EndPaint(hwnd_, &paint);
      break;
    }
    case WM_CLOSE:
      // The animation handles pending messages; a second close request
      // arriving meanwhile is the same close.
      if (closing_) return 0;
      closing_ = true;
      CloseAnimation(hwnd_, compositor_.CompositionSurface().dc(), compositor_.Settings().windowAlpha, closeEffect_,
                     compositor_.Settings().blurBehind != 0, compositor_.Settings().frameStyle, &compositor_);
      ShowWindow(hwnd_, SW_HIDE);
      {
        const LRESULT result = DefaultProcessing(message, wParam, lParam);
        closing_ = false;
        return result;
      }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd_) {
        const Control* hover = input_.HoverControl();
        HCURSOR shown = hover != nullptr && hover->Cursor() != nullptr ? hover->Cursor() : windowCursor_;
        SetCursor(shown);
        return 1;
      }
      break;
    case WM_GETMINMAXINFO:
      return OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_STYLECHANGED:
      RemoveWindowStyle(hwnd_, WS_DLGFRAME, false);
      RemoveWindowStyle(hwnd_, WS_BORDER, false);
      break;
    case WM_NCCALCSIZE:
      if (wParam == TRUE) return 1;  // no non-client area
      break;
    case WM_NCACTIVATE:
      return 1;
    case WM_TIMER:
      DeliverMessage(Control::FromHandle(wParam), WM_TIMER, wParam, lParam);
      break;
    case WM_SYSCHAR:
      if (input_.OnSysChar(message, wParam, lParam)) return 0;
      break;
    case WM_KEYDOWN:
      input_.OnKeyDown(message, wParam, lParam);
      break;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_MOUSEWHEEL:
    case WM_COMMAND:
      DeliverMessage(input_.FocusControl(), message, wParam, lParam);
      break;
    case WM_IME_COMPOSITION:
      // A result the focused control took is not turned into characters.
      if (Control* focus = input_.FocusControl();
          focus != nullptr && DeliverMessage(focus, message, wParam, lParam) != kUnhandled) {
        return 0;
      }
      break;
    // The pointer arrives in device pixels; the controls are placed in
    // logical ones.
    case WM_MOUSEMOVE:
      input_.OnMouseMove(wParam, LogicalPoint(lParam));
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      input_.RouteMouse(message, wParam, LogicalPoint(lParam));
      break;
    case WM_LBUTTONDBLCLK:
      SendMessageW(hwnd_, WM_LBUTTONDOWN, kDoubleClickMarker, lParam);
      return 0;
    case WM_MOUSELEAVE:
      input_.OnMouseLeave();
      break;
    case kMsgDeliver: {
      const auto packed = QueuedBlock<PackedMessage>::Receive(lParam);
      if (!packed) return 0;
      return DeliverMessage(Control::FromHandle(wParam), packed->message, packed->wParam, packed->lParam);
    }
    case kMsgSetMnemonic:
      return input_.SetMnemonic(Control::FromHandle(wParam), static_cast<int>(lParam));
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
        // A failed LresultFromObject is a negative error code, not an answer:
        // the window's default processing answers then.
        if (const LRESULT answer = AnswerAccessibleObjectRequest(hwnd_, wParam); answer > 0) return answer;
      }
      break;
    case kMsgAccessibleClick:
      // A screen reader's default action on a control still there: a click.
      if (Control* control = Control::FromHandle(wParam);
          control != nullptr && control->Visible() && !control->Disabled()) {
        input_.Click(control, 0, 0, 0);
      }
      return 0;
    case kMsgFocusGained:
      if (lParam != 0) input_.SetFocusControl(Control::FromHandle(static_cast<std::uintptr_t>(lParam)), false);
      break;
    case kMsgPresentLayered:
      compositor_.PresentWhole();
      break;
    case kMsgInvalidate: {
      // The rectangle is freed here: nothing further may read lParam.
      if (const auto rect = QueuedBlock<RectF>::Receive(lParam)) Invalidate(*rect, static_cast<RedrawMode>(wParam));
      return 0;
    }
    case kMsgMoved:
      return OnControlMoved(wParam, lParam);
    default:
      break;
  }
  return DefaultProcessing(message, wParam, lParam);
}

}  // namespace ui

#include "HostWindow.h"

#include "HostAccessible.h"

#include <commctrl.h>

#include "CaptionLayout.h"
#include "WindowSizing.h"
#include "engine/controls/Control.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/SystemLibraries.h"
#include "engine/core/TextConversion.h"
#include "engine/render/Primitives.h"
#include "engine/render/WindowAnimations.h"

namespace ui {

HostWindow::HostWindow() = default;

HostWindow::~HostWindow() {
  if (hwnd != nullptr && IsWindow(hwnd)) Detach(hwnd);
}

HostWindow* HostWindow::FromWindow(HWND window) {
  // Every engine window's host is a HostWindow.
  return static_cast<HostWindow*>(ControlHost::Of(window));
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HostWindow* host = FromWindow(window);
  if (host == nullptr || host->hwnd != window) return DefWindowProcW(window, message, wParam, lParam);
  return host->WindowProc(message, wParam, lParam);
}

bool HostWindow::Create(HWND window, const HostOptions& options) {
  if (window == nullptr || !IsWindow(window) || window == hwnd) return false;
  if (hwnd != nullptr && IsWindow(hwnd)) Detach(hwnd);

  FrameSettings& frame = compositor_.Settings();
  frame.windowAlpha = options.windowAlpha.value_or(-1);
  frame.backgroundMode = options.backgroundMode.value_or(0);
  frame.frameStyle = options.frameStyle.value_or(7);
  resizable = options.resizable.value_or(HasWindowStyle(window, WS_THICKFRAME, false) ? 1 : 0);
  dragAnywhere = options.dragAnywhere.value_or(1);
  frame.edgeFade = options.edgeFade.value_or(1);
  frame.nineGrid = options.nineGrid.value_or(RECT{});
  if (options.backgroundOwner) backgroundOwner = *options.backgroundOwner;

  // Blur behind only for a layered window, or by default on Windows 6.x.
  if (options.blurBehind && options.windowAlpha) frame.blurBehind = *options.blurBehind;
  else if (!options.blurBehind && Engine().windowsMajorVersion == 6) frame.blurBehind = 1;
  else frame.blurBehind = 0;

  int flags = options.captionFlags.value_or(kCaptionFromStyles);
  if ((flags & kCaptionFromStyles) != 0) {
    AddWindowStyle(window, WS_SYSMENU, false);
    flags = CaptionFlagsFromStyle(static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
  }
  captionFlags = flags | kCaptionShadow;

  AddWindowStyle(window, WS_POPUP, false);
  hwnd = window;
  SetPropW(window, kHostProperty, static_cast<ControlHost*>(this));
  windowCursor = Engine().defaultCursor;

  RemoveWindowStyle(window, WS_THICKFRAME, false);
  RemoveWindowStyle(window, WS_DLGFRAME, false);
  RemoveWindowStyle(window, WS_BORDER, false);
  if ((captionFlags & kCaptionMinimize) == 0) RemoveWindowStyle(window, WS_MINIMIZEBOX, false);
  if ((captionFlags & kCaptionMaximize) == 0) RemoveWindowStyle(window, WS_MAXIMIZEBOX, false);

  RECT rect{};
  GetWindowRect(window, &rect);
  CompositionClient client;
  client.layout = [this] { LayoutCaption(); };
  client.firstItem = [this]() -> Drawable* { return firstControl; };
  compositor_.Attach(window, rect.right - rect.left, rect.bottom - rect.top, std::move(client));
  SetOnPaintBackground(onPaintBackground);

  if (frame.windowAlpha != -1) AddWindowStyle(window, WS_EX_LAYERED, true);

  prevWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindow::Procedure)));
  // The caption and border styles are gone: let the system recompute the
  // frame so that the whole window is client area.
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  compositor_.SetBusy(true);
  CreateCaptionControls();
  compositor_.SetBusy(false);
  Compose(options.backgroundImage, options.backgroundColor, -1);

  if (frame.windowAlpha != -1) {
    // A layered window starts invisible: Show presents the composition.
    Surface clear;
    clear.Create(nullptr, Width(), Height());
    compositor_.PresentLayeredSurface(clear.dc());
  }
  if (resizable == 1) AddWindowStyle(window, WS_THICKFRAME, false);
  return true;
}

void HostWindow::CreateTooltipWindow() {
  // The common controls are loaded for the first tooltip, not at start-up:
  // loading them is a good part of a process's start.
  static const bool commonControlsReady = [] {
    HMODULE controls = LoadSystemLibrary(L"comctl32.dll");
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitControls>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    return controls != nullptr && init != nullptr && init(&classes);
  }();
  if (!commonControlsReady) return;
  tooltipHwnd = CreateWindowExW(0, TOOLTIPS_CLASSW, L"", WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                nullptr, nullptr, nullptr, nullptr);
  if (tooltipHwnd == nullptr) return;
  SetWindowPos(tooltipHwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(tooltipHwnd, TTM_SETMAXTIPWIDTH, 0, 1024);
}

void HostWindow::SetTooltip(Control* control, std::optional<std::string> text) {
  const std::string wanted = control == nullptr ? std::string() : text.value_or(control->tooltip);
  // The tooltip window is made for the first control that has a text.
  if (tooltipHwnd == nullptr && !wanted.empty()) CreateTooltipWindow();
  if (tooltipHwnd == nullptr) return;
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_SUBCLASS;
  info.hwnd = hwnd;
  SendMessageW(tooltipHwnd, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (control == nullptr) return;
  tooltipText_ = AnsiToWide(wanted);
  if (tooltipText_.empty()) return;
  info.rect = {static_cast<LONG>(control->bounds.left), static_cast<LONG>(control->bounds.top),
               static_cast<LONG>(control->bounds.Right()), static_cast<LONG>(control->bounds.Bottom())};
  info.lpszText = tooltipText_.data();
  SendMessageW(tooltipHwnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tooltipHwnd, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tooltipHwnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void HostWindow::LayoutCaption() {
  if (captionFlags == 0) return;
  const std::vector<CaptionButtonPlace> places = PlaceCaptionButtons(captionFlags, Width());
  for (std::size_t i = 0; i < captionButtons.size() && i < places.size(); ++i) {
    captionButtons[i]->Move(static_cast<int>(places[i].bounds.left), static_cast<int>(places[i].bounds.top));
  }
  if (titleLabel != nullptr) {
    if (const std::optional<RectF> title = PlaceCaptionTitle(captionFlags, Width())) {
      titleLabel->Move(static_cast<int>(title->left), static_cast<int>(title->top),
                         static_cast<int>(title->width), static_cast<int>(title->height));
    }
  }
}

int HostWindow::SetMnemonic(Control* control, int keyCode) {
  if (control == nullptr) return 0;
  for (Mnemonic& mnemonic : mnemonics) {
    if (mnemonic.control == control) {
      mnemonic.keyCode = keyCode;
      return 1;
    }
  }
  mnemonics.push_back({control, keyCode});
  return 1;
}

int HostWindow::DragAnywhere(std::optional<int> value) {
  if (value) dragAnywhere = *value;
  return dragAnywhere;
}

int HostWindow::FrameStyle(std::optional<int> value) {
  if (value) compositor_.Settings().frameStyle = *value;
  return compositor_.Settings().frameStyle;
}

void HostWindow::SetWindowCursor(std::uintptr_t idOrHandle, bool isHandle) {
  windowCursor = isHandle ? reinterpret_cast<HCURSOR>(idOrHandle)
                          : LoadCursorW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(idOrHandle)));
}

void HostWindow::Detach(HWND window) {
  if (prevWndProc == nullptr) return;
  compositor_.SetBusy(true);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevWndProc));
  compositor_.Queue().Clear();
  for (Control* control = firstControl; control != nullptr;) {
    Control* next = control->nextSibling;
    control->Destroy();
    control = next;
  }
  DestroyCaptionControls();
  if (tooltipHwnd != nullptr) {
    SetTooltip(nullptr);
    DestroyWindow(tooltipHwnd);
    tooltipHwnd = nullptr;
  }
  if (pressActive || mouseTracking) ReleaseCapture();
  pressActive = 0;
  mouseTracking = 0;
  pressedControl = focusControl = hoverControl = keyboardFocus = nullptr;
  firstControl = lastControl = nullptr;
  captionFlags = 0;
  compositor_.Detach();
  mnemonics.clear();
  RemovePropW(window, kHostProperty);
  DiscardPendingMessages(window);
  prevWndProc = nullptr;
  hwnd = nullptr;
  compositor_.SetBusy(false);
}

void HostWindow::DiscardPendingMessages(HWND window) {
  // Posted invalidations and deliveries carry blocks that only this host
  // frees; the window no longer has a host to take them.
  MSG message;
  while (PeekMessageW(&message, window, kMsgInvalidate, kMsgInvalidate, PM_REMOVE)) {
    delete reinterpret_cast<RectF*>(message.lParam);
  }
  while (PeekMessageW(&message, window, kMsgDeliver, kMsgDeliver, PM_REMOVE)) {
    auto* packed = reinterpret_cast<PackedMessage*>(message.lParam);
    if (packed != nullptr && packed->ownedByHost) delete packed;
  }
}

LRESULT HostWindow::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
  // The redraw queue flushes on this same thread, so it is always idle here.
  // A handler may have detached the host (the window was destroyed under it).
  if (prevWndProc == nullptr) return 0;
  return CallWindowProcW(prevWndProc, hwnd, message, wParam, lParam);
}

void HostWindow::CallControlHook(ControlEventHook hook, Control* control, WPARAM wParam, LPARAM lParam) {
  if (hook == nullptr) return;
  // The control's own handler may have destroyed it: its kind is read only
  // while it is alive.
  const Control* live = Control::FromHandle(reinterpret_cast<std::uintptr_t>(control));
  hook(hwnd, control, wParam, lParam, live != nullptr ? live->kind : 0);
}

LRESULT HostWindow::OnMinMaxInfo(MINMAXINFO* info) {
  RectF work{};
  GetWorkArea(work);
  const MinMax limits =
      HostMinMax(static_cast<int>(work.left), static_cast<int>(work.top), static_cast<int>(work.Right()),
                 static_cast<int>(work.Bottom()), captionFlags);
  info->ptMaxSize = {limits.maxWidth, limits.maxHeight};
  info->ptMaxPosition = {limits.maxLeft, limits.maxTop};
  info->ptMinTrackSize = {limits.minTrackWidth, limits.minTrackHeight};
  return 0;
}

void HostWindow::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    DeliverMessage(hoverControl, kMsgMouseLeft, 0, 0);
    if (pressActive == 1) {
      DeliverMessage(pressedControl, kMsgFocusLost, 0, 0);
      ReleaseCapture();
      pressActive = 0;
    }
  } else if (pressedControl != nullptr) {
    DeliverMessage(pressedControl, kMsgFocusGained, 0, 0);
  }
}

void HostWindow::OnMouseLeave() {
  mouseTracking = 0;
  ReleaseCapture();
  if (hoverControl != nullptr) {
    Control* left = hoverControl;
    DeliverMessage(left, kMsgMouseLeft, 0, 0);
    CallControlHook(onControlMouseLeave, left, 0, 0);
    hoverControl = nullptr;
  }
}

LRESULT HostWindow::OnControlMoved(WPARAM wParam, LPARAM lParam) {
  Control* control = Control::FromHandle(wParam);
  DeliverMessage(control, kMsgMoved, wParam, lParam);
  if (lParam != 1) return 1;
  if (control == nullptr) return 1;
  if (compositor_.IsBusy()) {
    // Drawn when the window is done with what keeps it busy.
    compositor_.DeferRedraw(control->previousBounds);
    compositor_.DeferRedraw(control->bounds);
    return 0;
  }
  RedrawRect(control->previousBounds, true);
  RedrawRect(control->bounds, true);
  return 1;
}

void HostWindow::AppendControl(Control* control) { control->AppendTo(firstControl, lastControl); }

void HostWindow::PrependControl(Control* control) { control->PrependTo(firstControl, lastControl); }

bool HostWindow::RemoveControl(Control* control) {
  for (Control* listed = firstControl; listed != nullptr; listed = listed->nextSibling) {
    if (listed == control) {
      control->UnlinkFrom(firstControl, lastControl);
      return true;
    }
  }
  return false;
}

bool HostWindow::TakeFocusFrom(const Control* control) {
  if (focusControl != control) return false;
  focusControl = nullptr;
  return true;
}

void HostWindow::ForgetControl(const Control* control) {
  if (pressedControl == control) {
    pressedControl = nullptr;
    pressActive = 0;
  }
  if (focusControl == control) focusControl = nullptr;
  if (hoverControl == control) hoverControl = nullptr;
  if (keyboardFocus == control) keyboardFocus = nullptr;
  std::erase_if(mnemonics, [control](const Mnemonic& mnemonic) { return mnemonic.control == control; });
}

void HostWindow::AnnounceAccessibleEvent(const Control* control, unsigned long event) {
  if (const long id = AccessibleChildId(control)) NotifyAccessibleEvent(event, hwnd, id);
}

std::vector<Control*> HostWindow::AccessibleControls() const {
  std::vector<Control*> controls;
  for (Control* control = firstControl; control != nullptr; control = control->nextSibling) {
    if (control->visible == 1 && control->handle != nullptr && control->Describe().role != 0) controls.push_back(control);
  }
  return controls;
}

long HostWindow::AccessibleChildId(const Control* control) const {
  const std::vector<Control*> controls = AccessibleControls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i] == control) return static_cast<long>(i + 1);
  }
  return 0;
}

LRESULT HostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (messageHook != nullptr) {
    const LRESULT answer = messageHook(hwnd, message, wParam, lParam);
    if (answer != kUnhandled) return answer;
  }
  switch (message) {
    case WM_DESTROY: {
      HWND window = hwnd;
      WNDPROC previous = prevWndProc;
      Detach(window);
      return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    case WM_SIZE:
      OnSized(hwnd, static_cast<int>(wParam));
      break;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;
    case WM_SETTEXT: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      if (result == 1 && (captionFlags & kCaptionTitle) && titleLabel != nullptr && lParam != 0) {
        SetTitleText(WideToAnsi(reinterpret_cast<const wchar_t*>(lParam)));
      }
      return result;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      BitBlt(dc, 0, 0, Width(), Height(), compositor_.CompositionSurface().dc(), 0, 0, SRCCOPY);
      EndPaint(hwnd, &paint);
      break;
    }
    case WM_CLOSE:
      // The animation handles pending messages; a second close request
      // arriving meanwhile is the same close.
      if (closing_) return 0;
      closing_ = true;
      CloseAnimation(hwnd, compositor_.CompositionSurface().dc(), compositor_.Settings().windowAlpha, closeEffect,
                     compositor_.Settings().blurBehind != 0, compositor_.Settings().frameStyle, &compositor_);
      ShowWindow(hwnd, SW_HIDE);
      {
        const LRESULT result = DefaultProcessing(message, wParam, lParam);
        closing_ = false;
        return result;
      }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd) {
        HCURSOR shown = hoverControl != nullptr && hoverControl->cursor != nullptr ? hoverControl->cursor
                                                                                     : windowCursor;
        SetCursor(shown);
        return 1;
      }
      break;
    case WM_GETMINMAXINFO:
      return OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_STYLECHANGED:
      RemoveWindowStyle(hwnd, WS_DLGFRAME, false);
      RemoveWindowStyle(hwnd, WS_BORDER, false);
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
      if (OnSysChar(message, wParam, lParam)) return 0;
      break;
    case WM_KEYDOWN:
      OnKeyDown(message, wParam, lParam);
      break;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_MOUSEWHEEL:
    case WM_COMMAND:
      DeliverMessage(focusControl, message, wParam, lParam);
      break;
    case WM_IME_COMPOSITION:
      // A result the focused control took is not turned into characters.
      if (focusControl != nullptr && DeliverMessage(focusControl, message, wParam, lParam) != kUnhandled) return 0;
      break;
    case WM_MOUSEMOVE:
      if (mouseTracking == 0) mouseTracking = TrackMouse(hwnd, TME_LEAVE) ? 1 : 0;
      RouteMouse(message, wParam, lParam);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      RouteMouse(message, wParam, lParam);
      break;
    case WM_LBUTTONDBLCLK:
      SendMessageW(hwnd, WM_LBUTTONDOWN, kDoubleClickMarker, lParam);
      return 0;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      break;
    case kMsgDeliver: {
      auto* packed = reinterpret_cast<PackedMessage*>(lParam);
      if (packed == nullptr) return 0;
      const LRESULT answer = DeliverMessage(Control::FromHandle(wParam), packed->message, packed->wParam,
                                            packed->lParam);
      if (packed->ownedByHost) delete packed;
      return answer;
    }
    case kMsgSetMnemonic:
      return SetMnemonic(Control::FromHandle(wParam), static_cast<int>(lParam));
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
        // A failed LresultFromObject is a negative error code, not an answer:
        // the window's default processing answers then.
        if (const LRESULT answer = AnswerAccessibleObjectRequest(hwnd, wParam); answer > 0) return answer;
      }
      break;
    case kMsgAccessibleClick:
      // A screen reader's default action on a control still there: a click.
      if (Control* control = Control::FromHandle(wParam); control != nullptr && control->visible && !control->disabled) {
        DeliverMessage(control, kMsgClick, reinterpret_cast<WPARAM>(control), 0);
        CallControlHook(onControlClick, control, 0, 0);
      }
      return 0;
    case kMsgFocusGained:
      if (lParam != 0) SetFocusControl(Control::FromHandle(static_cast<std::uintptr_t>(lParam)), false);
      break;
    case kMsgPresentLayered:
      compositor_.PresentWhole();
      break;
    case kMsgInvalidate: {
      auto* rect = reinterpret_cast<RectF*>(lParam);
      if (rect != nullptr) {
        Invalidate(*rect, static_cast<RedrawMode>(wParam));
        delete rect;
      }
      // The rectangle is gone: nothing further may read lParam.
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

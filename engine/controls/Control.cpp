#include "Control.h"

#include <algorithm>
#include <cmath>

#include <oleacc.h>

#include "LiveSet.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/DisplayScale.h"
#include "engine/core/EngineTimers.h"
#include "engine/core/QueuedBlock.h"
#include "engine/render/Primitives.h"
#include "engine/render/RedrawQueue.h"
#include "engine/render/Surface.h"

namespace ui {
namespace {

// The controls that are created right now: only a handle value found here
// is turned back into a control.
LiveSet<Control>& Live() {
  static auto* live = new LiveSet<Control>;
  return *live;
}

bool Differs(float a, float b) { return std::fabs(a - b) > kRectTolerance; }

}  // namespace

ControlList::Iterator& ControlList::Iterator::operator++() {
  at_ = fromTop_ ? at_->PrevSibling() : at_->NextSibling();
  return *this;
}

Control::~Control() {
  // A control that is still created unlinks itself, so that no host keeps
  // a pointer to it.
  if (handle != nullptr) Destroy();
}

Control* Control::FromHandle(std::uintptr_t handleValue) {
  if (handleValue == 0) return nullptr;
  return Live().Find(handleValue);
}

Control* Control::Create(ControlParent parentArgument, const RectF& rect, int controlKind, bool shown,
                         const ControlOptions& options) {
  if (handle == this) return handle;

  ControlHost* foundHost = parentArgument.window ? ControlHost::Of(parentArgument.window) : nullptr;
  Control* parentControl = parentArgument.control;
  if (foundHost == nullptr) {
    // A control parent must itself live on a host window.
    if (parentControl == nullptr || parentControl->handle == nullptr || parentControl->host == nullptr ||
        ControlHost::Of(parentControl->window) != parentControl->host) {
      return nullptr;
    }
  }

  handle = this;
  Live().Add(this);
  window = foundHost ? parentArgument.window : parentControl->window;
  bounds = rect;
  previousBounds = rect;
  tooltip.clear();
  parent = nullptr;
  opacity = 255;
  kind = controlKind;
  visible = shown ? 1 : 0;
  interactive = options.interactive.value_or(1);
  disabled = 0;
  redrawEnabled = 1;
  cursor = options.cursorId ? LoadCursorW(nullptr, MAKEINTRESOURCEW(*options.cursorId)) : nullptr;
  prevSibling = nextSibling = nullptr;

  if (foundHost != nullptr) {
    host = foundHost;
    host->AppendControl(this);
  } else {
    host = parentControl->host;
    SetParentControl(parentControl);
  }

  CreateSurface();
  transitionInterval = options.transitionInterval;
  transitionFrames = options.transitionFrames;
  transitionStyle = options.transitionStyle;
  transitionFrame = 0;

  SendToSelf(WM_CREATE, reinterpret_cast<WPARAM>(surface.get()), reinterpret_cast<LPARAM>(graphics.get()));
  SendToSelf(WM_PAINT, reinterpret_cast<WPARAM>(surface.get()), reinterpret_cast<LPARAM>(graphics.get()));
  if (visible) AnnounceAccessibleEvent(EVENT_OBJECT_SHOW);
  return handle;
}

DisplayScale Control::Scale() const { return host != nullptr ? host->Scale() : DisplayScale{}; }

void Control::Rescale() {
  if (handle == nullptr) return;
  CreateSurface();
  const WPARAM w = static_cast<WPARAM>(bounds.width);
  const LPARAM h = static_cast<LPARAM>(bounds.height);
  SendToSelf(kMsgSurfaceResized, w, h);
  SendToSelf(WM_PAINT, w, h);
  for (Control* child : Children()) child->Rescale();
}

void Control::CreateSurface() {
  graphics.reset();
  surface.reset();
  const int logicalWidth = kind == kKindNoSurface ? 1 : static_cast<int>(bounds.width);
  const int logicalHeight = kind == kKindNoSurface ? 1 : static_cast<int>(bounds.height);
  // On a scaled window the surface holds the device pixels the control
  // covers there, and its graphics draws in logical pixels through the
  // scale, so that text and shapes are drawn at the window's resolution.
  const DisplayScale scale = Scale();
  int surfaceWidth = logicalWidth, surfaceHeight = logicalHeight;
  if (!scale.IsIdentity() && kind != kKindNoSurface) {
    const DeviceBox box = scale.ToDevice(RectF{bounds.left, bounds.top, bounds.width, bounds.height});
    surfaceWidth = std::max(1, box.Width());
    surfaceHeight = std::max(1, box.Height());
  }
  GpBitmap* bitmap = nullptr;
  gp::GdipCreateBitmapFromScan0(surfaceWidth, surfaceHeight, 0, PixelFormat32bppARGB, nullptr, &bitmap);
  surface.reset(bitmap);
  graphics.reset(CreateConfiguredGraphics(bitmap));
  if (graphics != nullptr && (surfaceWidth != logicalWidth || surfaceHeight != logicalHeight)) {
    gp::GdipScaleWorldTransform(graphics.get(), static_cast<float>(surfaceWidth) / std::max(1, logicalWidth),
                                static_cast<float>(surfaceHeight) / std::max(1, logicalHeight),
                                Gdiplus::MatrixOrderPrepend);
    // Pictures made for 96 dpi are scaled with care.
    gp::GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipSetPixelOffsetMode(graphics.get(), Gdiplus::PixelOffsetModeHighQuality);
  }
}

void Control::AppendTo(Control*& first, Control*& last) {
  if (first == nullptr) first = this;
  if (last != nullptr) last->nextSibling = this;
  prevSibling = last;
  nextSibling = nullptr;
  last = this;
}

void Control::PrependTo(Control*& first, Control*& last) {
  if (last == nullptr) last = this;
  if (first != nullptr) first->prevSibling = this;
  nextSibling = first;
  prevSibling = nullptr;
  first = this;
}

void Control::SetParentControl(ControlParent newParent) {
  Control* newParentControl = newParent.control;
  if (newParentControl == parent) return;
  Unlink();
  if (newParentControl == nullptr) {
    parent = nullptr;
    if (host != nullptr) host->AppendControl(this);
  } else {
    parent = newParentControl;
    AppendTo(newParentControl->firstChild, newParentControl->lastChild);
  }
  Invalidate();
}

void Control::Unlink() {
  if (parent != nullptr) {
    UnlinkFrom(parent->firstChild, parent->lastChild);
    return;
  }
  // A top-level control is taken out of the host's list when it is in it.
  if (host == nullptr || !host->RemoveControl(this)) prevSibling = nextSibling = nullptr;
}

void Control::UnlinkFrom(Control*& first, Control*& last) {
  if (first == this) first = nextSibling;
  if (last == this) last = prevSibling;
  if (prevSibling != nullptr) prevSibling->nextSibling = nextSibling;
  if (nextSibling != nullptr) nextSibling->prevSibling = prevSibling;
  prevSibling = nextSibling = nullptr;
}

void Control::ZOrder(std::optional<int> position, bool redraw) {
  Unlink();
  if (parent != nullptr) {
    if (position == 2) PrependTo(parent->firstChild, parent->lastChild);
    else AppendTo(parent->firstChild, parent->lastChild);
  } else if (host != nullptr) {
    if (position == 2) host->PrependControl(this);
    else host->AppendControl(this);
  } else {
    return;
  }
  if (redraw) Invalidate();
}

void Control::Destroy() {
  if (handle == nullptr || host == nullptr) return;
  // Announced while the control still has its place in the tree.
  AnnounceAccessibleEvent(EVENT_OBJECT_HIDE);
  visible = 0;
  Invalidate();
  for (Control* child = firstChild; child != nullptr;) {
    Control* next = child->nextSibling;
    child->Destroy();
    child = next;
  }
  HandleMessage(WM_DESTROY, 0, 0);
  if (window != nullptr) KillTimer(window, TransitionTimerId());
  host->ForgetControl(this);
  Unlink();
  Live().Remove(this);

  tooltip.clear();
  tagText.clear();
  graphics.reset();
  surface.reset();
  snapshot.reset();
  events_.clear();
  window = nullptr;
  handle = nullptr;
  parent = nullptr;
  visible = disabled = interactive = redrawEnabled = 0;
  cursor = nullptr;
  kind = 0;
  bounds = previousBounds = RectF{};
  firstChild = lastChild = prevSibling = nextSibling = nullptr;
  host = nullptr;
  opacity = 0;
  transitionFrame = transitionInterval = transitionFrames = transitionStyle = 0;
}

RectF Control::Bounds(std::optional<RectF> value) {
  if (value) {
    Move(static_cast<int>(value->left), static_cast<int>(value->top), static_cast<int>(value->width),
         static_cast<int>(value->height));
  }
  return bounds;
}

int Control::Visible(std::optional<int> value) {
  if (value && (*value != 0) != (visible != 0)) {
    // A control going is announced while it still has its place in the
    // accessible tree, one appearing once it has it.
    if (*value == 0) AnnounceAccessibleEvent(EVENT_OBJECT_HIDE);
    visible = *value != 0 ? 1 : 0;
    SendToSelf(visible ? kMsgShown : kMsgHidden, 0, 0);
    Invalidate();
    if (visible) AnnounceAccessibleEvent(EVENT_OBJECT_SHOW);
  }
  return visible;
}

int Control::Disabled(std::optional<int> value) {
  if (value && *value != disabled) {
    disabled = *value;
    if (host != nullptr && host->TakeFocusFrom(this)) PostToSelf(kMsgFocusLost, 0, 0);
    PostToSelf(kMsgMouseLeft, 0, 0);
    Invalidate();
  }
  return disabled;
}

int Control::Interactive(std::optional<int> value) {
  if (value) interactive = *value;
  return interactive;
}

bool Control::HasFocus() {
  const LRESULT answer = SendToSelf(kMsgHasFocus, 0, 0);
  if (answer == kUnhandled) return host != nullptr && host->FocusControl() == this;
  return answer == 1;
}

void Control::Repaint() { SendToSelf(WM_PAINT, 0, 0); }

void Control::Invalidate() {
  if (window == nullptr) return;
  PostInvalidate(window, bounds, static_cast<int>(RedrawMode::Immediate));
}

void Control::MoveDescendants(float dx, float dy) {
  for (Control* child : Children()) {
    child->previousBounds = child->bounds;
    child->bounds.left += dx;
    child->bounds.top += dy;
    child->MoveDescendants(dx, dy);
  }
}

void Control::Move(std::optional<int> left, std::optional<int> top, std::optional<int> newWidth,
                   std::optional<int> newHeight, bool redraw) {
  const RectF target{left ? static_cast<float>(*left) : bounds.left, top ? static_cast<float>(*top) : bounds.top,
                     newWidth ? static_cast<float>(*newWidth) : bounds.width,
                     newHeight ? static_cast<float>(*newHeight) : bounds.height};
  if (SameRect(target, bounds)) return;

  previousBounds = bounds;
  bounds = target;
  MoveDescendants(bounds.left - previousBounds.left, bounds.top - previousBounds.top);

  const bool widthChanged = static_cast<int>(bounds.width) != static_cast<int>(previousBounds.width);
  const bool heightChanged = static_cast<int>(bounds.height) != static_cast<int>(previousBounds.height);
  if (handle != nullptr && (widthChanged || (heightChanged && kind != kKindNoSurface))) {
    CreateSurface();
    const WPARAM w = static_cast<WPARAM>(bounds.width);
    const LPARAM h = static_cast<LPARAM>(bounds.height);
    SendToSelf(kMsgSurfaceResized, w, h);
    SendToSelf(WM_PAINT, w, h);
  }
  // A busy host answers 0 and redraws the two rectangles when it is done, so
  // nothing here waits on the window's own thread.
  if (window != nullptr) {
    SendMessageW(window, kMsgMoved, reinterpret_cast<WPARAM>(handle), (redraw && visible) ? 1 : 0);
  }
}

std::string Control::TooltipText(std::optional<std::string> text, bool apply) {
  if (text) {
    tooltip = *text;
    if (apply) ApplyTooltip(tooltip);
  }
  return tooltip;
}

void Control::ApplyTooltip(const std::string& text) {
  if (host != nullptr) host->SetTooltip(this, text);
}

void Control::BindEvent(unsigned eventId, EventRoutine routine) {
  for (EventBinding& binding : events_) {
    if (binding.eventId == eventId) {
      binding.routine = routine;
      return;
    }
  }
  events_.push_back({eventId, routine});
}

bool EventRoutine::IsSet() const {
  return std::visit([](auto routine) { return routine != nullptr; }, routine_);
}

void EventRoutine::Call(Control* parent, Control* control, unsigned message, WPARAM wParam, LPARAM lParam) const {
  if (const EventCallback* four = std::get_if<EventCallback>(&routine_)) {
    if (*four != nullptr) (*four)(parent != nullptr ? parent : control, message, wParam, lParam);
  } else if (const ChildEventCallback* five = std::get_if<ChildEventCallback>(&routine_)) {
    if (*five != nullptr) (*five)(parent, control, message, wParam, lParam);
  }
}

int Control::Opacity(std::optional<int> alpha, bool redraw) {
  if (alpha) {
    opacity = *alpha;
    SendToSelf(kMsgOpacityChanged, 0, opacity);
    if (redraw) Invalidate();
  }
  return opacity;
}

int Control::Transition(std::optional<int> frames, std::optional<int> interval) {
  if (frames) transitionFrames = *frames;
  if (interval) transitionInterval = *interval;
  return transitionFrames;
}

int Control::TransitionInterval(std::optional<int> milliseconds) {
  if (milliseconds) transitionInterval = *milliseconds;
  return transitionInterval;
}

int Control::TransitionStyle(std::optional<int> style) {
  if (style) transitionStyle = *style;
  return transitionStyle;
}

LRESULT Control::SendToSelf(unsigned message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return 0;
  // The host handles it on the window's thread while this thread waits, so
  // the block can live on this stack; a window that is gone answers 0 at once.
  return QueuedBlock<PackedMessage>::Send(window, kMsgDeliver, reinterpret_cast<WPARAM>(handle),
                                          {message, wParam, lParam});
}

void Control::PostToSelf(unsigned message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return;
  QueuedBlock<PackedMessage>::Post(window, kMsgDeliver, reinterpret_cast<WPARAM>(handle), {message, wParam, lParam});
}

HCURSOR Control::Cursor(std::optional<std::uintptr_t> value, bool isHandle) {
  if (value) {
    cursor = isHandle ? reinterpret_cast<HCURSOR>(*value)
                      : LoadCursorW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(*value)));
  }
  return cursor;
}

std::string Control::TagText(std::optional<std::string> text) {
  if (text) tagText = *text;
  return tagText;
}

float Control::Left(std::optional<int> value) {
  if (value && Differs(static_cast<float>(*value), bounds.left)) Move(*value, std::nullopt);
  return bounds.left;
}

float Control::Top(std::optional<int> value) {
  if (value && Differs(static_cast<float>(*value), bounds.top)) Move(std::nullopt, *value);
  return bounds.top;
}

float Control::Width(std::optional<int> value) {
  if (value && Differs(static_cast<float>(*value), bounds.width)) Move(std::nullopt, std::nullopt, *value);
  return bounds.width;
}

float Control::Height(std::optional<int> value) {
  if (value && Differs(static_cast<float>(*value), bounds.height)) {
    Move(std::nullopt, std::nullopt, std::nullopt, *value);
  }
  return bounds.height;
}

int Control::HandleMessage(unsigned, WPARAM, LPARAM) { return kUnhandled; }

int DeliverMessage(Control* control, unsigned message, WPARAM wParam, LPARAM lParam) {
  if (control == nullptr || control->handle == nullptr) return 0;
  const std::uintptr_t handleValue = control->HandleValue();
  const int answer = control->HandleMessage(message, wParam, lParam);
  // The handler may have destroyed the control, or even freed it (a modal
  // loop it ran, such as a menu, lets anything happen): it is touched again
  // only while it is still a live control.
  if (Control::FromHandle(handleValue) != control) return answer;
  for (const Control::EventBinding& binding : control->events_) {
    // The engine's double click is a press with a marker; a binding for the
    // double click fires on that alone.
    const bool matches = binding.eventId == WM_LBUTTONDBLCLK ? message == WM_LBUTTONDOWN && wParam == kDoubleClickMarker
                                                             : binding.eventId == message;
    if (!matches) continue;
    // A copy: the routine may rebind or destroy the control.
    const EventRoutine routine = binding.routine;
    routine.Call(control->parent, control, message, wParam, lParam);
    break;
  }
  return answer;
}

void SetTransitionTimer(HWND window, Control* control, UINT interval) {
  if (control != nullptr) StartTimer(window, control->TransitionTimerId(), interval);
}

void PostInvalidate(HWND window, const RectF& rect, int mode) {
  if (window == nullptr) return;
  QueuedBlock<RectF>::Post(window, kMsgInvalidate, static_cast<WPARAM>(mode), rect);
}

AccessibleDescription Control::Describe() const {
  AccessibleDescription description;
  description.role = ROLE_SYSTEM_CLIENT;
  description.name = AccessibleName();
  return description;
}

void Control::AnnounceAccessibleEvent(unsigned long event) const {
  if (host != nullptr && window != nullptr) host->AnnounceAccessibleEvent(this, event);
}

std::string Control::AccessibleName(const std::string& fallback) const {
  if (!accessibleName.empty()) return accessibleName;
  return fallback.empty() ? tooltip : fallback;
}

}  // namespace ui

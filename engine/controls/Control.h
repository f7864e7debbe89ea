#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "engine/core/GdiPlus.h"
#include "AccessibleDescription.h"
#include "ControlHost.h"
#include "engine/core/DisplayScale.h"
#include "engine/core/RectF.h"
#include "engine/render/Drawable.h"

namespace ui {

class Control;
namespace test {
class ControlPeer;
}

// What kind of element a control is; passed to the host window's hooks.
enum ControlKind : int {
  kKindCaptionButton = 1,
  kKindButton = 2,
  kKindLabel = 3,
  kKindPictureBox = 4,
  kKindEditBox = 9,
  kKindProgressBar = 12,
  kKindScrollBar = 19,
  kKindSubWindow = 20,
  kKindNoSurface = 21,  // a control without a drawing surface of its own
};

// The two forms of a user callback bound to a control's event: a control
// with a parent control calls the five-argument form, the parent first; a
// control without one calls the four-argument form. The result is ignored.
using EventCallback = int (*)(Control* control, unsigned message, WPARAM wParam, LPARAM lParam);
using ChildEventCallback = int (*)(Control* parent, Control* control, unsigned message, WPARAM wParam, LPARAM lParam);

// A routine bound to an event, in either form, called in its own form. The
// control decides what comes first when the event fires, not how the
// routine was bound: a control with a parent hands the parent first (a
// four-argument routine then receives the parent as its control), one
// without a parent hands none (a five-argument routine then receives a null
// parent).
class EventRoutine {
 public:
  EventRoutine(EventCallback routine) : routine_(routine) {}
  EventRoutine(ChildEventCallback routine) : routine_(routine) {}
  bool IsSet() const;
  void Call(Control* parent, Control* control, unsigned message, WPARAM wParam, LPARAM lParam) const;

 private:
  std::variant<EventCallback, ChildEventCallback> routine_;
};

// Where a control is created: directly on a host window (its HWND), or
// inside another control.
struct ControlParent {
  ControlParent(HWND onWindow) : window(onWindow) {}
  ControlParent(Control* inControl) : control(inControl) {}
  HWND window = nullptr;
  Control* control = nullptr;
};

// A message handed to a control through its host window (kMsgDeliver), in
// a QueuedBlock: lent by SendToSelf, owned by the queue after PostToSelf.
struct PackedMessage {
  unsigned message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// One drawing pass of a control, from BeginControlPaint to EndControlPaint.
struct PaintContext {
  HWND window = nullptr;
  GpGraphics* graphics = nullptr;
  RectF rect;  // in surface coordinates
  bool clearAndAnimate = true;
  ControlHost* host = nullptr;
  HDC windowDC = nullptr;
  HDC surfaceDC = nullptr;  // the host's composition surface
  GpGraphics* surfaceGraphics = nullptr;
  GpImage* surface = nullptr;  // the control's own surface
};

// Options of Control::Create beyond the rectangle, kind and visibility.
struct ControlOptions {
  std::optional<int> interactive;  // default 1
  std::optional<int> cursorId;     // a system cursor; default none
  int transitionInterval = 0;      // ms per frame; 0: no transition
  int transitionFrames = 0;
  int transitionStyle = 0;  // 0 cross-fade, 1 to 4 slides
};

// One list of controls (a parent's children, a host's top-level controls),
// walked from its first control to its last, or from its last to its first.
// A control taken out of the list while it is walked ends the walk there.
class ControlList {
 public:
  class Iterator {
   public:
    Iterator(Control* at, bool fromTop) : at_(at), fromTop_(fromTop) {}
    Control* operator*() const { return at_; }
    Iterator& operator++();
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }

   private:
    Control* at_;
    bool fromTop_;
  };

  explicit ControlList(Control* first) : start_(first), fromTop_(false) {}
  static ControlList FromTop(Control* last) { return ControlList(last, true); }
  Iterator begin() const { return Iterator(start_, fromTop_); }
  Iterator end() const { return Iterator(nullptr, fromTop_); }

 private:
  ControlList(Control* start, bool fromTop) : start_(start), fromTop_(fromTop) {}
  Control* start_;
  bool fromTop_;
};

// The base of every element the engine draws inside a host window. A
// control draws into its own ARGB surface between BeginControlPaint and
// EndControlPaint; the host window composes the surfaces and presents them.
// A control is known by its handle, its own address, for as long as it is
// created; messages and timers carry handles, and FromHandle turns one back
// into a control only while that control is still created.
class Control : public Drawable {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  ~Control() override;

  // The live control with this handle value, or null when none is created
  // under it (any more).
  static Control* FromHandle(std::uintptr_t handleValue);
  std::uintptr_t HandleValue() const { return reinterpret_cast<std::uintptr_t>(handle); }
  // The scale of the window the control lives on (96 dpi when none).
  DisplayScale Scale() const;
  // The window's scale changed: the surface is made again at the new one
  // and painted, and so are the children's.
  void Rescale();
  // Transition timers use the handle plus one as their id.
  UINT_PTR TransitionTimerId() const { return HandleValue() + 1; }

  // --- operations
  Control* Create(ControlParent parent, const RectF& bounds, int kind, bool visible,
                  const ControlOptions& options = {});
  Control* GetHandle() const { return handle; }
  HWND GetWindow() const { return window; }
  Control* GetParentControl() const { return parent; }
  void SetParentControl(ControlParent newParent);
  virtual void Destroy();
  const RectF& Bounds() const { return bounds; }
  RectF Bounds(std::optional<RectF> value);
  int Visible() const { return visible; }
  int Visible(std::optional<int> value);
  int Disabled() const { return disabled; }
  int Disabled(std::optional<int> value);
  int Interactive() const { return interactive; }
  int Interactive(std::optional<int> value);
  bool HasFocus();
  void Repaint();
  void Invalidate();
  void Move(std::optional<int> left, std::optional<int> top, std::optional<int> width = std::nullopt,
            std::optional<int> height = std::nullopt, bool redraw = true);
  const std::string& TooltipText() const { return tooltip; }
  std::string TooltipText(std::optional<std::string> text, bool apply = false);
  void ApplyTooltip(const std::string& text);
  void BindEvent(unsigned eventId, EventRoutine routine);
  Control* Self() { return this; }
  int Opacity() const { return opacity; }
  int Opacity(std::optional<int> alpha, bool redraw = true);
  int Transition(std::optional<int> frames = std::nullopt, std::optional<int> interval = std::nullopt);
  int TransitionInterval() const { return transitionInterval; }
  int TransitionInterval(std::optional<int> milliseconds);
  int TransitionFrame() const { return transitionFrame; }
  int TransitionFrames() const { return transitionFrames; }
  int TransitionStyle() const { return transitionStyle; }
  int TransitionStyle(std::optional<int> style);
  LRESULT SendToSelf(unsigned message, WPARAM wParam, LPARAM lParam);
  void PostToSelf(unsigned message, WPARAM wParam, LPARAM lParam);
  HCURSOR Cursor() const { return cursor; }
  HCURSOR Cursor(std::optional<std::uintptr_t> value, bool isHandle = false);
  const std::string& TagText() const { return tagText; }
  std::string TagText(std::optional<std::string> text);
  float Left(std::optional<int> value = std::nullopt);
  float Top(std::optional<int> value = std::nullopt);
  float Width(std::optional<int> value = std::nullopt);
  float Height(std::optional<int> value = std::nullopt);
  // Position 2 puts the control first among its siblings (underneath the
  // others); anything else puts it last (on top).
  void ZOrder(std::optional<int> position = std::nullopt, bool redraw = true);
  void Unlink();
  // For the lists that hold controls (a parent's children, a host's
  // top-level controls): puts this control last or first in the list, or
  // takes it out.
  void AppendTo(Control*& first, Control*& last);
  void PrependTo(Control*& first, Control*& last);
  void UnlinkFrom(Control*& first, Control*& last);
  void LockRedraw() { redrawEnabled = 0; }
  void UnlockRedraw() { redrawEnabled = 1; }
  static void CALLBACK TransitionTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);

  // --- what the host window and the renderer read
  int Kind() const { return kind; }
  ControlHost* Host() const { return host; }
  const RectF& PreviousBounds() const { return previousBounds; }
  // The children, from the first (underneath) to the last (on top), and the
  // other way round for hit-testing.
  ControlList Children() const { return ControlList(firstChild); }
  ControlList ChildrenFromTop() const { return ControlList::FromTop(lastChild); }
  // The neighbours in the list the control is in: its parent's children,
  // or its host's top-level controls.
  Control* NextSibling() const { return nextSibling; }
  Control* PrevSibling() const { return prevSibling; }

  // --- overridables
  virtual void OnPaintBegin(PaintContext&) {}
  virtual void OnPaintEnd(PaintContext&) {}
  // Called after the control and its children were composed onto the host
  // window's surface, with that surface's graphics, clipped to the part being
  // composed: for what a control keeps over the composed window (a caret).
  void OnComposed(GpGraphics*) override {}
  // The class's message handler: kUnhandled (-1) leaves the message to the
  // default behaviour.
  virtual int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam);
  // What a screen reader is told of the control. The base is a plain
  // element named by `accessibleName`, else by its tooltip.
  virtual AccessibleDescription Describe() const;
  // The name a control gives itself: `accessibleName`, else the given
  // fallback (a caption), else the tooltip.
  std::string AccessibleName(const std::string& fallback = {}) const;
  void SetAccessibleName(std::string name) { accessibleName = std::move(name); }
  // --- how the window's compositor sees it
  bool IsShown() const override { return visible == 1; }
  RectF DrawBounds() const override { return bounds; }
  GpImage* DrawSurface() const override { return surface.get(); }
  // Its opacity, halved when it is disabled and does not answer for its
  // disabled look itself.
  int DrawOpacity() override;
  bool IsDisabled() const override { return disabled != 0; }
  TransitionState DrawTransitionState() const override;
  Drawable* FirstChildItem() const override { return firstChild; }
  Drawable* NextItem() const override { return nextSibling; }
  // Asks the class to bring its surface up to date (kMsgRefresh).
  void RefreshSurface() override;
  // Offers the class to draw its transition itself (kMsgDrawTransition).
  bool PaintTransition(const TransitionPaintRecord& record) override;

  // Tells screen readers of a change of this control (a WinEvent such as
  // EVENT_OBJECT_VALUECHANGE) when it is in the host's accessible tree.
  void AnnounceAccessibleEvent(unsigned long event) const;

 protected:
  // The surface's graphics and the surface, for the classes' drawing.
  GpGraphics* Graphics() const { return graphics.get(); }
  GpImage* Surface() const { return surface.get(); }
  // A class that settles its kind when it is created (WM_CREATE).
  void SetKind(int value) { kind = value; }
  // For a class that is disabled from its creation: sets the field without
  // what Disabled announces (focus, mouse, repaint) to a control not yet shown.
  void SetDisabledSilently(int value) { disabled = value; }

 private:
  // The base fields. The operations above write them, with their side
  // effects; the renderer and the host read them through the accessors.
  HWND window = nullptr;      // the host window
  Control* handle = nullptr;  // this while created, else null
  Control* parent = nullptr;  // parent control; null at top level
  int visible = 0;
  int disabled = 0;
  int interactive = 0;  // a left press is tracked and takes the focus
  int redrawEnabled = 0;
  HCURSOR cursor = nullptr;
  std::string tooltip;
  std::string tagText;
  std::string accessibleName;  // what a screen reader calls it; see Describe
  int kind = 0;
  RectF bounds;  // in host-window client coordinates
  RectF previousBounds;
  Control* firstChild = nullptr;
  Control* lastChild = nullptr;
  Control* prevSibling = nullptr;
  Control* nextSibling = nullptr;
  ControlHost* host = nullptr;  // the window's side, while created
  ImagePtr surface;             // 32bpp ARGB, the size of the bounds
  GraphicsPtr graphics;         // anti-aliased, on `surface`
  ImagePtr snapshot;            // the previous look during a transition
  int opacity = 0;
  int transitionFrame = 0;
  int transitionInterval = 0;
  int transitionFrames = 0;
  int transitionStyle = 0;

  friend int DeliverMessage(Control* control, unsigned message, WPARAM wParam, LPARAM lParam);
  friend bool BeginControlPaint(Control& control, PaintContext& context, std::optional<RectF> rect,
                                bool clearAndAnimate);
  friend void EndControlPaint(Control& control, PaintContext& context);
  friend class test::ControlPeer;
  struct EventBinding {
    unsigned eventId;
    EventRoutine routine;
  };

  void CreateSurface();
  void MoveDescendants(float dx, float dy);

  std::vector<EventBinding> events_;
};

// Hands a message to a control: the class's handler first, then the first
// matching event binding (a binding for WM_LBUTTONDBLCLK fires on the
// engine's double click, WM_LBUTTONDOWN with kDoubleClickMarker, and never
// on a real WM_LBUTTONDBLCLK). Returns the handler's answer; a null control
// gives 0.
int DeliverMessage(Control* control, unsigned message, WPARAM wParam, LPARAM lParam);

// The frame of every drawing operation of a control. Begin clears the paint
// rectangle (or the whole surface) and, when the control has a transition,
// keeps a snapshot of its previous look; End asks the host to recompose,
// directly or through the transition.
bool BeginControlPaint(Control& control, PaintContext& context, std::optional<RectF> rect = std::nullopt,
                       bool clearAndAnimate = true);
void EndControlPaint(Control& control, PaintContext& context);

// Starts the control's window timer (id = handle + 1) without a timer procedure.
void SetTransitionTimer(HWND window, Control* control, UINT interval);

// Posts an invalidation of the rectangle to a host window; the message
// carries its own copy of the rectangle (a QueuedBlock<RectF>).
void PostInvalidate(HWND window, const RectF& rect, int mode);

}  // namespace ui

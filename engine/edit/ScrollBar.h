#pragma once

#include <optional>
#include <variant>

#include "engine/controls/Control.h"
#include "engine/core/RectF.h"
#include "engine/edit/ScrollGeometry.h"

namespace ui {

// The parts of a scroll bar, as the pointer finds them.
enum ScrollPart { kPartNone = 0, kPartFirstArrow = 1, kPartSecondArrow = 2, kPartThumb = 3, kPartTrack = 4 };

// How a scroll bar is drawn or touched: a plain paint, the pointer moving
// over it, or a press.
enum ScrollRender { kRenderPaint = 0, kRenderPointer = 1, kRenderPress = 2 };

// The routine told of a scroll bar's new position, in one of two forms: the
// position alone, or the bar's parent control (null for a bar without one)
// and the position. Each is called through its own type.
class ScrollRoutine {
 public:
  using Plain = void (*)(int position);
  using WithParent = void (*)(Control* parent, int position);
  ScrollRoutine() = default;
  ScrollRoutine(Plain routine) : routine_(routine) {}
  ScrollRoutine(WithParent routine) : routine_(routine) {}
  bool IsSet() const;
  void Call(Control* parent, int position) const;

 private:
  std::variant<Plain, WithParent> routine_{Plain{nullptr}};
};

// Options of ScrollBar::Create beyond the rectangle.
struct ScrollBarOptions {
  int minimum = 0;
  std::optional<int> maximum;      // default 100
  std::optional<int> lineStep;     // default 10
  std::optional<int> arrowStep;    // default 1
  std::optional<int> flags;        // default 1: report while the thumb is dragged
  std::optional<int> orientation;  // default 1 horizontal; any other value vertical
  std::optional<int> idleFaint;    // default 1
  std::optional<int> visible;      // default 1
};

// A thin drawn scroll bar: two arrows and a thumb on a track, in translucent
// black with rounded corners; only a faint thumb while the pointer is away,
// everything while it is over the bar or the bar is in use. An arrow held
// down moves the position every 100 ms; dragging the thumb maps the pointer
// onto the range.
class ScrollBar : public Control {
 public:
  ScrollBar() = default;
  // Destroys a bar that is still created, so that its own handling of the
  // destruction (its repeat timer) runs too.
  ~ScrollBar() override;

  // --- fields
  // --- operations
  Control* Create(ControlParent parent, int left, int top, int width, int height, const ScrollBarOptions& options = {});
  // Paints the bar, or answers the pointer (ScrollRender). lParam is the
  // pointer in host-window coordinates (x low word, y high word, signed);
  // wParam is the control the host's left press belongs to: the thumb
  // follows the pointer only while that is this bar.
  void Render(int renderKind, WPARAM wParam, LPARAM lParam);
  int PositionFromPixel(float coordinate) const;
  float ThumbOffset() const;
  void UpdateThumbLength();
  void FireScroll();
  void LayoutParts(float width, float height);
  // Each sets when given (and repaints where the look changes) and returns
  // the current value. Setting the position does not call onScroll.
  int Position(std::optional<int> value = std::nullopt);
  int Minimum(std::optional<int> value = std::nullopt);
  int Maximum(std::optional<int> value = std::nullopt);
  int LineStep(std::optional<int> value = std::nullopt);
  int ArrowStep(std::optional<int> value = std::nullopt);
  int Flags(std::optional<int> value = std::nullopt);
  int IdleFaint(std::optional<int> value = std::nullopt);
  void OnScroll(ScrollRoutine routine) { onScroll = routine; }

  bool IsHorizontal() const { return orientation == 1; }
  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class test::ControlPeer;

  // The class's fields, written by its operations and read through them.
  int minimum = 0;
  int maximum = 0;
  int lineStep = 0;
  int arrowStep = 0;
  int flags = 0;
  int orientation = 0;
  int pressedPart = kPartNone;
  int idleFaint = 0;
  int position = 0;
  int thumbLength = 0;
  int grabOffset = 0;
  int origin = 0;  // -minimum, taken at Create
  RectF trackRect, thumbRect, firstArrowRect, secondArrowRect;
  ScrollRoutine onScroll;
  int hoverPart = kPartNone;

  struct Pointer {
    float x, y;  // relative to the bar
  };
  ScrollTrack Track() const;
  int PartAt(const std::optional<Pointer>& pointer) const;
  // Render with the pointer already relative to the bar, or without one for
  // messages that carry no point.
  void RenderAt(int renderKind, WPARAM pressOwner, std::optional<Pointer> pointer);
  void DrawParts(GpGraphics* canvas, bool full, int hotPart) const;
  // The control the host's running left press belongs to, 0 without one.
  WPARAM PressOwner() const;
  // Forgets a press whose release never reached the bar (the window lost
  // the press, for example when it was deactivated).
  void DropLostPress();
  void OnRepeatTick();
  void OnPointerMoved(LPARAM lParam);
  void OnButtonUp();
  void OnPointerCrossed(int crossing);
  void OnDestroyed();
  void StopRepeat();

  int drawnPosition_ = 0;  // the position the surface shows
};

}  // namespace ui

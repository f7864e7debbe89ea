#include "ScrollBar.h"

#include <cstdint>

#include "engine/core/Win32.h"
#include <windowsx.h>

#include "engine/core/ArgbColor.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/EngineTimers.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

constexpr UINT kRepeatPeriodMs = 100;
constexpr int kBarTransitionInterval = 60;
constexpr int kCrossingFrames = 5;
constexpr int kReportWhileDragging = 1;  // flags bit 0
constexpr float kArrowCorner = 4;
constexpr float kTrackCorner = 6;

ArgbColor Black(int alpha) { return ArgbFromRgb(Rgb(0, 0, 0), alpha); }

// An arrow's triangle, relative to its box's top-left corner.
struct Triangle {
  struct {
    float x, y;
  } points[3];
};
constexpr Triangle kLeftArrow{{{2, 4.5f}, {5, 1}, {5, 8}}};
constexpr Triangle kRightArrow{{{6, 4.5f}, {3, 1}, {3, 8}}};
constexpr Triangle kUpArrow{{{4.5f, 2}, {1, 5}, {8, 5}}};
constexpr Triangle kDownArrow{{{4.5f, 6}, {1, 3}, {8, 3}}};

void FillTriangle(GpGraphics* graphics, const RectF& box, const Triangle& shape, ArgbColor fill, ArgbColor outline) {
  Gdiplus::PointF points[3];
  for (int i = 0; i < 3; ++i) points[i] = {box.left + shape.points[i].x, box.top + shape.points[i].y};
  Gdiplus::GpSolidFill* brush = nullptr;
  gp::GdipCreateSolidFill(fill, &brush);
  BrushPtr brushOwner(brush);
  gp::GdipFillPolygon(graphics, brush, points, 3, Gdiplus::FillModeAlternate);
  PenPtr pen = CreatePenOf(outline);
  gp::GdipDrawPolygon(graphics, pen.get(), points, 3);
}

void DrawArrow(GpGraphics* graphics, const RectF& box, const Triangle& shape, bool hot) {
  if (hot) {
    DrawRoundRectOutline(graphics, box, kArrowCorner, Black(160));
    FillTriangle(graphics, box, shape, Black(160), Black(140));
  } else {
    FillTriangle(graphics, box, shape, Black(100), Black(60));
  }
}

void DrawRoundRect(GpGraphics* graphics, const RectF& rect, ArgbColor fill, ArgbColor outline) {
  FillRoundRect(graphics, rect, kTrackCorner, fill);
  DrawRoundRectOutline(graphics, rect, kTrackCorner, outline);
}

}  // namespace

bool ScrollRoutine::IsSet() const {
  return std::visit([](auto routine) { return routine != nullptr; }, routine_);
}

void ScrollRoutine::Call(Control* parent, int position) const {
  if (const Plain* plain = std::get_if<Plain>(&routine_)) {
    if (*plain != nullptr) (*plain)(position);
  } else if (const WithParent* withParent = std::get_if<WithParent>(&routine_)) {
    if (*withParent != nullptr) (*withParent)(parent, position);
  }
}

ScrollBar::~ScrollBar() {
  if (GetHandle() != nullptr) Destroy();
}

Control* ScrollBar::Create(ControlParent parentArgument, int left, int top, int width, int height,
                           const ScrollBarOptions& options) {
  if (GetHandle() == this) return GetHandle();
  minimum = options.minimum;
  maximum = options.maximum.value_or(100);
  lineStep = options.lineStep.value_or(10);
  arrowStep = options.arrowStep.value_or(1);
  flags = options.flags.value_or(kReportWhileDragging);
  orientation = options.orientation.value_or(1);
  idleFaint = options.idleFaint.value_or(1);
  origin = static_cast<int>(-static_cast<std::int64_t>(minimum));
  position = minimum;
  pressedPart = hoverPart = kPartNone;
  grabOffset = 0;
  LayoutParts(static_cast<float>(width), static_cast<float>(height));
  ControlOptions base;
  base.interactive = 1;
  base.transitionInterval = kBarTransitionInterval;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindScrollBar,
                         options.visible.value_or(1) != 0, base);
}

void ScrollBar::LayoutParts(float width, float height) {
  const ScrollParts parts = LayoutScrollParts(width, height, IsHorizontal());
  firstArrowRect = parts.firstArrow;
  secondArrowRect = parts.secondArrow;
  trackRect = parts.track;
  UpdateThumbLength();
}

void ScrollBar::UpdateThumbLength() {
  thumbLength = ThumbLengthFor(IsHorizontal() ? trackRect.width : trackRect.height, maximum);
}

ScrollTrack ScrollBar::Track() const {
  const bool horizontal = IsHorizontal();
  return {horizontal ? trackRect.left : trackRect.top,
          horizontal ? trackRect.width : trackRect.height,
          thumbLength,
          minimum,
          maximum,
          origin};
}

float ScrollBar::ThumbOffset() const { return ui::ThumbOffset(Track(), position); }

int ScrollBar::PositionFromPixel(float coordinate) const { return ui::PositionFromPixel(Track(), coordinate); }

void ScrollBar::FireScroll() {
  if (thumbLength == 0) return;
  onScroll.Call(GetParentControl(), position);
}

int ScrollBar::Position(std::optional<int> value) {
  if (value) {
    const int limited = ClampPosition(*value, minimum, maximum);
    if (limited != position) {
      position = limited;
      Repaint();
    }
  }
  return position;
}

int ScrollBar::Minimum(std::optional<int> value) {
  if (value) {
    minimum = *value;
    if (position < minimum) position = minimum;
    Repaint();
  }
  return minimum;
}

int ScrollBar::Maximum(std::optional<int> value) {
  if (value) {
    maximum = *value;
    position = ClampPosition(position, minimum, maximum);
    UpdateThumbLength();
    Repaint();
  }
  return maximum;
}

int ScrollBar::LineStep(std::optional<int> value) {
  if (value) lineStep = *value;
  return lineStep;
}

int ScrollBar::ArrowStep(std::optional<int> value) {
  if (value) arrowStep = *value;
  return arrowStep;
}

int ScrollBar::Flags(std::optional<int> value) {
  if (value) flags = *value;
  return flags;
}

int ScrollBar::IdleFaint(std::optional<int> value) {
  if (value) idleFaint = *value;
  return idleFaint;
}

int ScrollBar::HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      OnDestroyed();
      break;
    case WM_PAINT:
      RenderAt(kRenderPaint, 0, std::nullopt);
      break;
    case WM_TIMER:
      OnRepeatTick();
      break;
    case WM_MOUSEMOVE:
      OnPointerMoved(lParam);
      break;
    case WM_LBUTTONDOWN:
      Render(kRenderPress, wParam, lParam);
      break;
    case WM_LBUTTONUP:
      OnButtonUp();
      break;
    case kMsgMouseEntered:
      OnPointerCrossed(kRenderPointer);
      break;
    case kMsgMouseLeft:
      OnPointerCrossed(kRenderPaint);
      break;
    case kMsgSurfaceResized:
      LayoutParts(static_cast<float>(wParam), static_cast<float>(lParam));
      break;
    case kMsgTakesPress:
      return 1;
    case kMsgTransitionFinished:
      Transition(0);
      break;
    default:
      break;
  }
  return kUnhandled;
}

void ScrollBar::OnDestroyed() {
  StopRepeat();
  thumbLength = position = maximum = minimum = 0;
  pressedPart = hoverPart = kPartNone;
  onScroll = {};
}

void ScrollBar::OnRepeatTick() {
  DropLostPress();
  if (pressedPart == kPartFirstArrow) {
    const std::int64_t next = static_cast<std::int64_t>(position) - arrowStep;
    if (next <= minimum) StopRepeat();
    position = ClampPosition(next, minimum, maximum);
  } else if (pressedPart == kPartSecondArrow) {
    const std::int64_t next = static_cast<std::int64_t>(position) + arrowStep;
    if (next >= maximum) StopRepeat();
    position = ClampPosition(next, minimum, maximum);
  } else {
    // A press on the thumb or the track repeats nothing.
    StopRepeat();
    return;
  }
  RenderAt(kRenderPointer, 0, std::nullopt);
  FireScroll();
}

void ScrollBar::OnPointerMoved(LPARAM lParam) {
  DropLostPress();
  // A held arrow keeps its look until the button comes up.
  if (pressedPart == kPartFirstArrow || pressedPart == kPartSecondArrow) return;
  Render(kRenderPointer, PressOwner(), lParam);
}

void ScrollBar::OnButtonUp() {
  if ((flags & kReportWhileDragging) == 0 && pressedPart == kPartThumb) FireScroll();
  pressedPart = kPartNone;
}

void ScrollBar::OnPointerCrossed(int crossing) {
  if (TransitionInterval() != 0) Transition(kCrossingFrames);
  RenderAt(crossing, 0, std::nullopt);
}

WPARAM ScrollBar::PressOwner() const { return Host() != nullptr ? reinterpret_cast<WPARAM>(Host()->ActivePress()) : 0; }

void ScrollBar::DropLostPress() {
  if (pressedPart == kPartNone || PressOwner() == HandleValue()) return;
  pressedPart = kPartNone;
  StopRepeat();
}

void ScrollBar::StopRepeat() {
  if (GetWindow() != nullptr) KillTimer(GetWindow(), HandleValue());
}

int ScrollBar::PartAt(const std::optional<Pointer>& pointer) const {
  if (!pointer) return kPartNone;
  const RectF* parts[] = {&firstArrowRect, &secondArrowRect, &thumbRect, &trackRect};
  for (int i = 0; i < 4; ++i) {
    if (RectContains(*parts[i], pointer->x, pointer->y)) return i + 1;
  }
  return kPartNone;
}

void ScrollBar::Render(int renderKind, WPARAM wParam, LPARAM lParam) {
  RenderAt(renderKind, wParam,
           Pointer{static_cast<float>(GET_X_LPARAM(lParam)) - Bounds().left,
                   static_cast<float>(GET_Y_LPARAM(lParam)) - Bounds().top});
}

void ScrollBar::RenderAt(int renderKind, WPARAM pressOwner, std::optional<Pointer> pointer) {
  const bool horizontal = IsHorizontal();
  if (renderKind == kRenderPointer && pointer && pressOwner == HandleValue() && pressedPart == kPartThumb) {
    const int dragged = PositionFromPixel((horizontal ? pointer->x : pointer->y) - static_cast<float>(grabOffset));
    if (dragged == position) return;
    position = dragged;
    if (flags & kReportWhileDragging) FireScroll();
  }
  thumbRect = ThumbRect(trackRect, ThumbOffset(), thumbLength, horizontal);

  const bool full = renderKind != kRenderPaint || idleFaint == 0;
  int hot = kPartNone;
  if (full) {
    hot = (pressedPart != kPartNone && renderKind != kRenderPress) ? pressedPart : PartAt(pointer);
    if (renderKind == kRenderPress) {
      pressedPart = hot;
      if (hot == kPartThumb) {
        grabOffset = static_cast<int>(horizontal ? pointer->x - thumbRect.left : pointer->y - thumbRect.top);
      }
    }
    // The look only changes when the hot part or the thumb moves.
    if (renderKind == kRenderPointer && hot != kPartNone && hot == hoverPart && position == drawnPosition_) return;
  }

  PaintContext context;
  const bool painting = BeginControlPaint(*this, context);
  if (painting && context.graphics != nullptr) DrawParts(context.graphics, full, hot);
  hoverPart = thumbLength < 1 ? kPartNone : hot;
  drawnPosition_ = position;
  if (renderKind == kRenderPress && GetWindow() != nullptr) StartTimer(GetWindow(), HandleValue(), kRepeatPeriodMs);
  if (painting) EndControlPaint(*this, context);
}

void ScrollBar::DrawParts(GpGraphics* canvas, bool full, int hotPart) const {
  ArgbColor thumbFill = Black(40), thumbOutline = Black(30);
  if (full) {
    const bool horizontal = IsHorizontal();
    const bool hasThumb = thumbLength > 0;
    DrawArrow(canvas, firstArrowRect, horizontal ? kLeftArrow : kUpArrow, hasThumb && hotPart == kPartFirstArrow);
    DrawArrow(canvas, secondArrowRect, horizontal ? kRightArrow : kDownArrow, hasThumb && hotPart == kPartSecondArrow);
    DrawRoundRect(canvas, trackRect, Black(40), Black(30));
    thumbFill = Black(110);
    thumbOutline = Black(80);
  }
  if (thumbLength > 0) DrawRoundRect(canvas, thumbRect, thumbFill, thumbOutline);
}

}  // namespace ui

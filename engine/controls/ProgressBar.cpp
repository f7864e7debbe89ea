#include "ProgressBar.h"

#include <oleacc.h>

#include <algorithm>

#include "ProgressGeometry.h"
#include "engine/core/EngineMessages.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

constexpr float kTrackCorner = 6;
constexpr int kClipCorner = 3;
constexpr ArgbColor kDefaultFillStart = 0xE60088FF;
constexpr ArgbColor kDefaultFillEnd = 0xE600E080;
const ArgbColor kDefaultBorder = ArgbFromRgb(Rgb(0, 0, 0), 80);
const ArgbColor kDefaultTrack = ArgbFromRgb(Rgb(255, 255, 255), 210);
constexpr ArgbColor kClearBlack = 0x00000000;
constexpr ArgbColor kShadowBlack = 0x33000000;  // alpha 51
constexpr ArgbColor kGlossBlack = 0x51000000;   // alpha 81

// Clips to the rectangle, with slightly rounded corners when asked.
void ClipTo(GpGraphics* graphics, const RectF& rect, bool rounded) {
  if (!rounded) {
    SetClipRect(graphics, rect, ClipMode::Replace);
    return;
  }
  HRGN region = CreateRoundRectRgn(static_cast<int>(rect.left), static_cast<int>(rect.top),
                                   static_cast<int>(rect.left + rect.width + 1),
                                   static_cast<int>(rect.top + rect.height + 1), kClipCorner, kClipCorner);
  RegionPtr clip = ToGdipRegion(region);
  DeleteObject(region);
  SetClipRegion(graphics, clip.get(), ClipMode::Replace);
}

}  // namespace

Control* ProgressBar::Create(ControlParent parentArgument, int left, int top, int width, int height, int startPosition,
                             const ProgressOptions& options) {
  position = startPosition;
  minimum = options.minimum;
  maximum = options.maximum.value_or(100);
  vertical = options.vertical;
  reserved = options.reserved;
  fillStartColor = options.fillStartColor.value_or(kDefaultFillStart);
  fillEndColor = options.fillEndColor.value_or(kDefaultFillEnd);
  borderColor = options.borderColor.value_or(kDefaultBorder);
  trackColor = options.trackColor.value_or(kDefaultTrack);
  ControlHost* hostWindow = parentArgument.window ? ControlHost::Of(parentArgument.window)
                                                  : (parentArgument.control ? parentArgument.control->Host() : nullptr);
  rounded = options.rounded.value_or(hostWindow != nullptr ? hostWindow->WindowFrameStyle() : 0);
  ControlOptions base;
  base.interactive = 0;
  return Control::Create(parentArgument, MakeRectF(left, top, width, height), kKindProgressBar,
                         options.visible.value_or(1) != 0, base);
}

void ProgressBar::FillColors(std::optional<ArgbColor> start, std::optional<ArgbColor> end) {
  if (start) fillStartColor = *start;
  if (end) fillEndColor = *end;
  Repaint();
}

ArgbColor ProgressBar::TrackColor(std::optional<ArgbColor> value) {
  if (value) {
    trackColor = *value;
    Repaint();
  }
  return trackColor;
}

int ProgressBar::Position(std::optional<int> value) {
  if (value) {
    position = *value;
    Repaint();
  }
  return position;
}

void ProgressBar::Draw() {
  PaintContext context;
  if (!BeginControlPaint(*this, context) || context.graphics == nullptr) return;
  GpGraphics* canvas = context.graphics;
  RectF bar = context.rect;
  AdjustRectHook(context, bar, 0);
  const ProgressParts parts = MeasureProgress(bar.width, bar.height, position, minimum, maximum, vertical != 0);
  const RectF track = OffsetRectF(static_cast<int>(bar.left), static_cast<int>(bar.top), 0, 0, parts.track);
  const RectF inner = OffsetRectF(static_cast<int>(bar.left), static_cast<int>(bar.top), 0, 0, parts.inner);
  const RectF fill = OffsetRectF(static_cast<int>(bar.left), static_cast<int>(bar.top), 0, 0, parts.fill);
  fillLength = parts.fillLength;
  const GradientMode across = vertical ? GradientMode::Horizontal : GradientMode::Vertical;

  const bool hookDrewTrack = DrawTrackHook(context) != 0;
  if (!hookDrewTrack) {
    if (trackColor != 0) {
      if (rounded) FillRoundRect(canvas, bar, kTrackCorner, trackColor);
      else FillLinearGradient(canvas, track, trackColor, trackColor);
    }
    ClipTo(canvas, inner, rounded != 0);
    FillLinearGradient(canvas, bar, kClearBlack, kShadowBlack, across);
    ResetClip(canvas);
  }

  if (fillLength > 0 && DrawFillHook(context, fill) == 0) {
    ClipTo(canvas, fill, rounded != 0);
    // The gradient spans the whole track, so a growing fill uncovers it.
    if (vertical) FillLinearGradient(canvas, track, fillEndColor, fillStartColor, GradientMode::Vertical);
    else FillLinearGradient(canvas, track, fillStartColor, fillEndColor, GradientMode::Horizontal);
    FillLinearGradient(canvas, track, kClearBlack, kGlossBlack, across);
    ResetClip(canvas);
  }

  if (!hookDrewTrack) {
    if (rounded) DrawRoundRectOutline(canvas, track, kTrackCorner, borderColor);
    else DrawRectOutline(canvas, track, borderColor);
  }
  EndControlPaint(*this, context);
}

int ProgressBar::HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
  if (onMessage_ != nullptr) {
    const int answer = onMessage_(this, message, wParam, lParam);
    if (answer != kUnhandled) return answer;
  }
  if (message == WM_PAINT) {
    Draw();
    // Screen readers hear of a new position once it is drawn.
    if (position != announcedPosition_ && Host() != nullptr) {
      announcedPosition_ = position;
      AnnounceAccessibleEvent(EVENT_OBJECT_VALUECHANGE);
    }
  }
  return kUnhandled;
}

AccessibleDescription ProgressBar::Describe() const {
  AccessibleDescription description;
  description.role = ROLE_SYSTEM_PROGRESSBAR;
  description.name = AccessibleName();
  const int range = maximum - minimum;
  const int percent = range > 0 ? std::clamp((position - minimum) * 100 / range, 0, 100) : 0;
  description.value = std::to_string(percent) + "%";
  description.state = STATE_SYSTEM_READONLY;
  return description;
}

}  // namespace ui

// How a control draws into its surface, runs its transitions and is seen by
// its window's compositor.
#include "Control.h"

#include <algorithm>
#include <cmath>

#include "engine/core/EngineMessages.h"
#include "engine/core/EngineTimers.h"
#include "engine/render/Composition.h"
#include "engine/render/RedrawQueue.h"
#include "engine/render/Primitives.h"

namespace ui {

int Control::DrawOpacity() {
  int alpha = opacity;
  if (disabled != 0 && DeliverMessage(this, kMsgDisabledLook, 0, 1) == kUnhandled) alpha /= 2;
  return alpha;
}

TransitionState Control::DrawTransitionState() const {
  return TransitionState{snapshot.get(), transitionFrame, transitionFrames, transitionInterval, transitionStyle};
}

void Control::RefreshSurface() { DeliverMessage(this, kMsgRefresh, 0, 0); }

namespace {

// A rectangle of the control (logical, from its top-left corner) on its
// surface, which on a scaled window holds device pixels.
RectF SurfaceArea(const Control& control, const RectF& rect) {
  UINT width = 0, height = 0;
  gp::GdipGetImageWidth(control.DrawSurface(), &width);
  gp::GdipGetImageHeight(control.DrawSurface(), &height);
  const int logicalWidth = static_cast<int>(control.Bounds().width),
            logicalHeight = static_cast<int>(control.Bounds().height);
  if (static_cast<int>(width) == logicalWidth && static_cast<int>(height) == logicalHeight) return rect;
  const float sx = static_cast<float>(width) / std::max(1, logicalWidth);
  const float sy = static_cast<float>(height) / std::max(1, logicalHeight);
  const float left = std::floor(rect.left * sx), top = std::floor(rect.top * sy);
  return {left, top, std::min(std::ceil(rect.Right() * sx), static_cast<float>(width)) - left,
          std::min(std::ceil(rect.Bottom() * sy), static_cast<float>(height)) - top};
}

}  // namespace

bool Control::PaintTransition(const TransitionPaintRecord& record) {
  return DeliverMessage(this, kMsgDrawTransition, 0, reinterpret_cast<LPARAM>(&record)) >= 1;
}

void CALLBACK Control::TransitionTick(HWND, UINT, UINT_PTR timerId, DWORD) {
  Control* control = FromHandle(timerId - 1);
  if (control == nullptr) return;
  control->transitionFrame += 1;
  if (control->host != nullptr) control->host->RedrawRect(control->bounds, true);
  if (control->transitionFrame < control->transitionFrames) return;
  KillTimer(control->window, timerId);
  control->snapshot.reset();
  control->transitionFrame = 0;
  DeliverMessage(control, kMsgTransitionFinished, 0, 0);
}

bool BeginControlPaint(Control& control, PaintContext& context, std::optional<RectF> rect, bool clearAndAnimate) {
  context.rect = rect.value_or(RectF{0, 0, static_cast<float>(static_cast<int>(control.Bounds().width)),
                                     static_cast<float>(static_cast<int>(control.bounds.height))});
  if (control.GetWindow() == nullptr || control.Host() == nullptr) return false;
  ControlHost& host = *control.Host();
  context.window = control.GetWindow();
  context.graphics = control.Graphics();
  context.clearAndAnimate = clearAndAnimate;
  context.host = &host;
  const CompositionTarget target = host.PaintTarget();
  context.windowDC = target.windowDC;
  context.surfaceDC = target.surfaceDC;
  context.surfaceGraphics = target.surfaceGraphics;
  context.surface = control.surface.get();

  if (clearAndAnimate) {
    control.snapshot.reset();
    if (!host.IsBusy() && control.TransitionFrames() != 0 && control.TransitionInterval() != 0) {
      KillTimer(control.GetWindow(), control.TransitionTimerId());
      control.transitionFrame = control.TransitionFrames();
      // Bring the window's picture of the control up to date, then keep the
      // look the transition starts from.
      host.RedrawRect(control.Bounds(), true);
      GpBitmap* copy = nullptr;
      // The surface is in device pixels on a scaled window.
      const RectF area = SurfaceArea(control, context.rect);
      gp::GdipCloneBitmapArea(area.left, area.top, area.width, area.height, PixelFormat32bppARGB,
                              static_cast<GpBitmap*>(control.surface.get()), &copy);
      control.snapshot.reset(copy);
    }
    if (context.graphics != nullptr) {
      SetClipRect(context.graphics, context.rect, ClipMode::Replace);
      gp::GdipGraphicsClear(context.graphics, 0x00000000);
      ResetClip(context.graphics);
    }
  }
  control.OnPaintBegin(context);
  return true;
}

void EndControlPaint(Control& control, PaintContext& context) {
  control.OnPaintEnd(context);
  if (!context.clearAndAnimate || control.redrawEnabled != 1 || control.Visible() != 1) return;
  if (control.TransitionInterval() == 0 || control.TransitionFrames() == 0) {
    PostInvalidate(control.GetWindow(), control.Bounds(), static_cast<int>(RedrawMode::Append));
    return;
  }
  control.transitionFrame = 0;
  DeliverMessage(&control, kMsgTransitionStarted, 0, 0);
  StartTimer(control.GetWindow(), control.TransitionTimerId(), static_cast<UINT>(control.TransitionInterval()),
             &Control::TransitionTick);
}

}  // namespace ui

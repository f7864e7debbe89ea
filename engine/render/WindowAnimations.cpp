#include "WindowAnimations.h"

#include <algorithm>

#include "Composition.h"
#include "Compositor.h"
#include "FramePainter.h"
#include "Primitives.h"
#include "Surface.h"
#include "WindowAnimationPlan.h"

namespace ui {
namespace {

// Every frame starts from a transparent surface: cleared in memory, which
// costs a fraction of a drawing call over the whole window.
void ClearTransparent(Surface& surface) {
  if (std::uint32_t* pixels = surface.Pixels()) std::fill_n(pixels, surface.PixelCount(), 0u);
}

void DrawFrame(Surface& animation, HDC source, const AnimationFrame& frame) {
  ClearTransparent(animation);
  for (const AnimationBlend& blend : frame.blends) {
    const BLENDFUNCTION function{AC_SRC_OVER, 0, static_cast<BYTE>(blend.alpha), 0};
    GdiAlphaBlend(animation.dc(), blend.destination.x, blend.destination.y, blend.destination.width,
                  blend.destination.height, source, blend.source.x, blend.source.y, blend.source.width,
                  blend.source.height, function);
  }
}

void WindowSize(HWND window, int& width, int& height) {
  RECT rect{};
  GetWindowRect(window, &rect);
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
}

void BeginEffect(Compositor* compositor) {
  if (compositor != nullptr) compositor->BeginEffect();
}

void EndEffect(Compositor* compositor, bool closed) {
  if (compositor != nullptr) compositor->EndEffect(closed);
}

}  // namespace

void PumpPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void CloseAnimation(HWND window, HDC source, int windowAlpha, int effect, bool blur, int frameStyle,
                    Compositor* compositor) {
  if (effect == 0) return;
  int width = 0, height = 0;
  WindowSize(window, width, height);
  const AnimationPlan plan = CloseAnimationPlan(effect, width, height, blur);

  BeginEffect(compositor);
  // The effect plays from the picture as it is now, whatever is composed
  // while it runs.
  Surface still;
  still.Create(nullptr, width, height);
  BitBlt(still.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
  source = still.dc();

  Surface animation;
  animation.Create(nullptr, width, height);
  DrawFrame(animation, source, AnimationFrame{{{{0, 0, width, height}, {0, 0, width, height}, 255}}, 0, {}});
  if (windowAlpha == -1) AddWindowStyle(window, WS_EX_LAYERED, true);
  PresentLayered(window, animation.dc(), width, height);

  if (plan.clearBlurFirst) EnableBlur(window, 0, 0, 0, 0, 6, frameStyle, windowAlpha);
  for (const AnimationFrame& frame : plan.frames) {
    DrawFrame(animation, source, frame);
    if (frame.blur) {
      EnableBlur(window, frame.blur->left, frame.blur->top, frame.blur->right, frame.blur->bottom, 6, frameStyle,
                 windowAlpha);
    }
    PresentLayered(window, animation.dc(), width, height);
    Sleep(static_cast<DWORD>(frame.delayMs));
    PumpPendingMessages();
  }
  ClearTransparent(animation);
  PresentLayered(window, animation.dc(), width, height);
  animation.Release();
  EndEffect(compositor, true);
}

void ShowAnimation(HWND window, HDC source, int windowAlpha, int effect, bool blur, int frameStyle, int duration,
                   Compositor* compositor) {
  int width = 0, height = 0;
  WindowSize(window, width, height);
  const AnimationPlan plan = ShowAnimationPlan(effect, width, height, duration, blur);
  const bool wasLayered = windowAlpha != -1;
  if (!wasLayered) {
    AddWindowStyle(window, WS_EX_LAYERED, true);
    SetWindowFrameRegion(window, width, height, 6, 5, frameStyle);
  }
  BeginEffect(compositor);
  Surface animation;
  animation.Create(nullptr, width, height);
  ClearTransparent(animation);
  PresentLayered(window, animation.dc(), width, height);
  ShowWindow(window, SW_SHOWNORMAL);

  if (plan.clearBlurFirst) EnableBlur(window, 0, 0, 0, 0, 0, 0, windowAlpha);
  for (const AnimationFrame& frame : plan.frames) {
    DrawFrame(animation, source, frame);
    PresentLayered(window, animation.dc(), width, height);
    if (frame.delayMs > 0) Sleep(static_cast<DWORD>(frame.delayMs));
    PumpPendingMessages();
  }
  if (blur) EnableBlur(window, 6, 6, width - 5, height - 5, 6, frameStyle, windowAlpha);
  animation.Release();
  if (!wasLayered) RemoveWindowStyle(window, WS_EX_LAYERED, true);
  EndEffect(compositor, false);
}

}  // namespace ui

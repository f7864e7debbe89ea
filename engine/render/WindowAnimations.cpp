#include "WindowAnimations.h"

#include <algorithm>

#include "Composition.h"
#include "FramePainter.h"
#include "Primitives.h"
#include "Surface.h"
#include "WindowAnimationPlan.h"
#include "engine/host/HostWindow.h"

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

void BeginEffect(HWND window) {
  if (HostWindow* host = HostWindow::FromWindow(window)) host->BeginEffect();
}

void EndEffect(HWND window, bool closed) {
  if (HostWindow* host = HostWindow::FromWindow(window)) host->EndEffect(closed);
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

void CloseAnimation(HWND window, HDC source, int windowAlpha, int effect, bool blur, int frameStyle) {
  if (effect == 0) return;
  int width = 0, height = 0;
  WindowSize(window, width, height);
  const AnimationPlan plan = CloseAnimationPlan(effect, width, height, blur);

  BeginEffect(window);
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
  EndEffect(window, true);
}

void ShowAnimation(HWND window, HDC source, int windowAlpha, int effect, bool blur, int frameStyle, int duration) {
  int width = 0, height = 0;
  WindowSize(window, width, height);
  const AnimationPlan plan = ShowAnimationPlan(effect, width, height, duration, blur);
  const bool wasLayered = windowAlpha != -1;
  if (!wasLayered) {
    AddWindowStyle(window, WS_EX_LAYERED, true);
    SetWindowFrameRegion(window, width, height, 6, 5, frameStyle);
  }
  BeginEffect(window);
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
  EndEffect(window, false);
}

// --- HostWindow: showing ------------------------------------------------------

void HostWindow::Show(int effect, int duration) {
  PumpPendingMessages();
  closed_ = false;
  if (effect == 0) {
    if (blurBehind == 1) EnableBlur(hwnd, 6, 6, width - 5, height - 5, 6, frameStyle, windowAlpha);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    // A layered window still shows the transparent frame of its creation.
    Present(RectF{}, false);
    return;
  }
  ShowAnimation(hwnd, surface.dc(), windowAlpha, effect, blurBehind == 1, frameStyle, duration);
  Present(RectF{}, false);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace ui

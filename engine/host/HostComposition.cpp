// HostWindow's side of its composition: what it composes on, its size, and
// showing the window.
#include "HostWindow.h"

#include "CaptionLayout.h"

#include <cmath>

#include "engine/render/FramePainter.h"
#include "engine/render/WindowAnimations.h"

namespace ui {

int HostWindow::Compose(Bytes image, std::optional<ArgbColor> colour, int presentMode, bool keepControlSurfaces) {
  // The shadow follows the caption flags as they are now.
  compositor_.Settings().shadow = (caption_.Flags() & kCaptionShadow) != 0;
  // A window with a background owner shows the owner's background.
  HostWindow* owner = IsWindow(backgroundOwner_) ? FromWindow(backgroundOwner_) : nullptr;
  compositor_.Compose(image, colour, presentMode, keepControlSurfaces,
                      owner != nullptr && owner != this ? &owner->compositor_ : nullptr);
  return 1;
}

void HostWindow::SetOnPaintBackground(PaintBackgroundHook hook) {
  hooks_.paintBackground = hook;
  if (hook == nullptr) {
    compositor_.SetBackgroundPainter(nullptr);
    return;
  }
  compositor_.SetBackgroundPainter(
      [this, hook](GpGraphics* graphics, int width, int height) { hook(hwnd_, graphics, width, height); });
}

void HostWindow::OnSized(HWND window, int mode) {
  if (mode == SIZE_MINIMIZED) return;
  RECT rect{};
  GetWindowRect(window, &rect);
  // The window's size on the screen, in logical pixels: unchanged when the
  // device size is still the scaled logical size.
  const int deviceWidth = rect.right - rect.left, deviceHeight = rect.bottom - rect.top;
  const DisplayScale& scale = compositor_.Scale();
  const auto logical = [&scale](int device, int current) {
    if (scale.SizeToDevice(current) == device) return current;
    return static_cast<int>(std::lround(device / scale.Factor()));
  };
  const int newWidth = logical(deviceWidth, Width()), newHeight = logical(deviceHeight, Height());
  if (!compositor_.SetSize(newWidth, newHeight)) return;
  if (hooks_.resize != nullptr) hooks_.resize(window, newWidth, newHeight);
  compositor_.ResizeSurfaces();
  Compose({}, compositor_.BackgroundColor(), kPresentAtOnce, true);
}

void HostWindow::Present(const RectF& rect, bool whole) {
  compositor_.PresentRect(whole ? rect : MakeRectF(0, 0, Width(), Height()));
}

void HostWindow::Show(int effect, int duration) {
  PumpPendingMessages();
  // Closed by a message that was waiting: the host let go of the window.
  if (hwnd_ == nullptr) return;
  compositor_.Reopen();
  const FrameSettings& frame = compositor_.Settings();
  if (effect == 0) {
    if (frame.blurBehind == 1) {
      const DisplayScale& scale = compositor_.Scale();
      EnableBlur(hwnd_, scale.ToDevice(6), scale.ToDevice(6), compositor_.DeviceWidth() - scale.ToDevice(5),
                 compositor_.DeviceHeight() - scale.ToDevice(5), scale.ToDevice(6), frame.frameStyle,
                 frame.windowAlpha);
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    // A layered window still shows the transparent frame of its creation.
    Present(RectF{}, kPresentWholeWindow);
    return;
  }
  ShowAnimation(hwnd_, compositor_.CompositionSurface().dc(), frame.windowAlpha, effect, frame.blurBehind == 1,
                frame.frameStyle, duration, &compositor_);
  // Closed during the effect: nothing to present (and a null window would
  // mean the desktop).
  if (hwnd_ == nullptr) return;
  Present(RectF{}, kPresentWholeWindow);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace ui

// Prints the composition's figures of an installer-like window (825 x 468,
// a photograph at alpha 250, a rounded frame with its shadow, three
// controls), each as a ratio against a reference measured in the same run:
// a full composition and a background cross-fade against one full-window
// GdipDrawImageRect of the photograph, a partial redraw of the progress bar
// against one full-window UpdateLayeredWindow.
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/core/DisplayScale.h"
#include "engine/core/Engine.h"
#include "engine/core/ImageLoader.h"
#include "engine/core/PictureVariants.h"
#include "engine/render/Composition.h"
#include "engine/host/HostWindow.h"
#include "engine/render/FramePainter.h"
#include "engine/render/PixelBlend.h"
#include "engine/testing/RecordingControl.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"
#include "engine/testing/Stopwatch.h"

namespace {

// The median of `rounds` timings of `action`, in milliseconds.
template <typename Action>
double MedianMs(int rounds, Action action) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double start = ui::test::NowMs();
    action();
    times.push_back(ui::test::NowMs() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A photograph-like background: a gradient with noise, as a JPEG; drawn
// larger for a scaled display (the same gradient over more pixels).
std::vector<std::uint8_t> Background(int tint, int width = 825, int height = 468) {
  ui::ImagePtr image = ui::test::SolidBitmap(width, height, 0xFF3070C0);
  auto* bitmap = static_cast<ui::GpBitmap*>(image.get());
  unsigned seed = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) & 31);
      const int row = y * 468 / height;
      ui::gp::GdipBitmapSetPixel(bitmap, x, y,
                                 0xFF000000u | ((30 + row / 4 + noise) << 16) | ((90 + tint + noise) << 8) | 200);
    }
  }
  return ui::test::EncodeImage(image.get(), L"image/jpeg");
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  ui::InitEngine();
  ui::test::TestWindow window(50, 50, 825, 468);
  ui::HostWindow host;
  const std::vector<std::uint8_t> day = Background(0), dusk = Background(60);
  ui::HostOptions options;
  options.backgroundImage = day;
  options.backgroundColor = 0xFEF5F5F5;
  options.captionFlags = 20;
  options.windowAlpha = 250;
  options.edgeFade = 0;
  if (!host.Create(window.hwnd(), options)) {
    std::printf("could not attach the host window\n");
    return 1;
  }
  host.Show();
  ui::test::RecordingControl bar, box, button;
  bar.Create(window.hwnd(), {100, 240, 650, 21}, ui::kKindProgressBar, true);
  box.Create(window.hwnd(), {100, 270, 620, 172}, ui::kKindEditBox, true);
  box.colour = 0x40FFFFFF;
  button.Create(window.hwnd(), {315, 275, 193, 58}, ui::kKindButton, true);
  ui::test::Pump();

  const int rounds = 40;
  ui::ImagePtr photo = ui::LoadImageFromBytes(day);
  const double drawImage = MedianMs(rounds, [&] {
    ui::gp::GdipDrawImageRect(host.Composition().CompositionSurface().graphics(), photo.get(), 0, 0, 825, 468);
    ui::gp::GdipFlush(host.Composition().CompositionSurface().graphics(), Gdiplus::FlushIntentionSync);
  });
  const double compose = MedianMs(rounds, [&] { host.Compose({}, std::nullopt, 0, true); });
  // A cross-fade to the other photograph: its composition and its five
  // steps, run one after the other instead of 50 ms apart.
  bool dayShown = true;
  const double crossFade = MedianMs(rounds / 2, [&] {
    dayShown = !dayShown;
    host.Compose(dayShown ? day : dusk, std::nullopt, 1);
    KillTimer(window.hwnd(), host.Composition().FadeTimerId());
    while (host.Composition().IsBusy()) host.Composition().FadeTick();
  });
  const double present = MedianMs(
      rounds, [&] { ui::PresentLayered(window.hwnd(), host.Composition().CompositionSurface().dc(), 825, 468); });
  const double redraw = MedianMs(rounds, [&] { host.RedrawRect(bar.Bounds(), true); });
  ui::Surface other;
  other.Create(nullptr, 825, 468);
  const double blend = MedianMs(rounds, [&] {
    BLENDFUNCTION function{AC_SRC_OVER, 0, 128, 0};
    GdiAlphaBlend(other.dc(), 0, 0, 825, 468, host.Composition().CompositionSurface().dc(), 0, 0, 825, 468, function);
  });
  // Each picture's frame is in the cache by now: say how many of these
  // compositions found it there, so that the figure is what it claims.
  const int copiedBefore = host.Composition().FramesCopied();
  const double hitCompose = MedianMs(rounds, [&] {
    dayShown = !dayShown;
    host.Compose(dayShown ? day : dusk, std::nullopt, 0);
  });
  const int copied = host.Composition().FramesCopied() - copiedBefore;
  // What a composition costs when the frame is not in the cache: the first
  // one, and every one after a change of size, style or background.
  const double framePainted = MedianMs(rounds, [&] { host.Composition().PaintFrameLayer(); });
  std::printf("of which: the frame painted anew (not cached)      %8.3f ms  %6.2f x draw\n", framePainted,
              framePainted / drawImage);
  // One step of a cross-fade blends the two pictures in memory.
  const double fadeBlend = MedianMs(rounds, [&] {
    ui::BlendConstant(other.Pixels(), host.Composition().CompositionSurface().Pixels(),
                      host.Composition().CompositionSurface().PixelCount(), 128);
  });
  std::printf("of which: one cross-fade step's blend in memory    %8.3f ms  %6.2f x draw\n", fadeBlend,
              fadeBlend / drawImage);
  std::printf("of which: one full-window GdiAlphaBlend            %8.3f ms  %6.2f x draw\n", blend, blend / drawImage);
  std::printf("of which: Compose with the other picture           %8.3f ms  %6.2f x draw  (%d of %d frames cached)\n",
              hitCompose, hitCompose / drawImage, copied, rounds);

  // Frames on their schedule: a cross-fade driven by its own timer, and the
  // show effect (7, "grow"), timed by when each frame was presented.
  std::vector<double> presentedAt;
  ui::SetPresentObserver([&](const ui::Presentation& presentation) {
    if (presentation.window == window.hwnd()) presentedAt.push_back(ui::test::NowMs());
  });
  const double fadeStart = ui::test::NowMs();
  host.Compose(dayShown ? dusk : day, std::nullopt, 1);
  ui::test::PumpUntil([&] { return !host.Composition().IsBusy(); }, 3000);
  std::vector<double> fadeTicks = presentedAt;
  presentedAt.clear();
  ShowWindow(window.hwnd(), SW_HIDE);
  const double showStart = ui::test::NowMs();
  host.Show(7);
  const double showTook = ui::test::NowMs() - showStart;
  std::vector<double> showFrames = presentedAt;
  ui::SetPresentObserver(nullptr);
  double fadeLate = 0;
  for (std::size_t i = 0; i + 1 < fadeTicks.size() && i < 5; ++i) {
    // Tick i presents at about 50 x (i + 1) ms after the start.
    fadeLate = std::max(fadeLate, fadeTicks[i] - fadeStart - 50.0 * static_cast<double>(i + 1));
  }
  // The show effect waits 10, 9, ... 1 ms after its frames: 55 ms in all.
  const double showDelays = 55;

  std::printf("reference: one full-window GdipDrawImageRect      %8.3f ms (median of %d)\n", drawImage, rounds);
  std::printf("reference: one full-window UpdateLayeredWindow    %8.3f ms\n", present);
  std::printf("full Compose of 825 x 468                         %8.3f ms  %6.2f x draw (target <= 1.5)\n", compose,
              compose / drawImage);
  std::printf(
      "background cross-fade (composition and 5 steps)   %8.3f ms  %6.2f x draw (target <= 6; its six "
      "presentations alone are %.2f x)\n",
      crossFade, crossFade / drawImage, 6 * present / drawImage);
  std::printf("cross-fade on its timer: %zu presentations, latest frame %.1f ms after its 50 ms step\n",
              fadeTicks.size(), fadeLate);
  std::printf(
      "show effect 7: %zu presentations in %.1f ms; its delays are %.0f ms, frames %.1f ms each "
      "(%.2f x (draw + present))\n",
      showFrames.size(), showTook, showDelays, (showTook - showDelays) / 11.0,
      (showTook - showDelays) / 11.0 / (drawImage + present));
  std::printf("partial redraw of the progress bar, presented     %8.3f ms  %6.2f x present (was about 0.5)\n", redraw,
              redraw / present);

  // The same window on displays of 150 % and 200 % (moved there as the
  // system moves it), with the photograph drawn for each scale as an
  // application gives it: the full composition against one GdipDrawImageRect
  // of that photograph over the whole window at its size.
  const std::vector<std::uint8_t> day150 = Background(0, 1238, 702), day200 = Background(0, 1650, 936);
  ui::AddPictureVariant(day, 150, day150);
  ui::AddPictureVariant(day, 200, day200);
  host.Compose(day, std::nullopt, 0);
  for (const int dpi : {144, 192}) {
    const ui::DisplayScale scale(dpi);
    ui::ImagePtr scaledPhoto = ui::LoadImageFromBytes(dpi == 144 ? day150 : day200);
    RECT place{50, 50, 50 + scale.SizeToDevice(825), 50 + scale.SizeToDevice(468)};
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    ui::test::Pump();
    ui::GpGraphics* graphics = host.Composition().CompositionSurface().graphics();
    const float width = static_cast<float>(host.Composition().DeviceWidth());
    const float height = static_cast<float>(host.Composition().DeviceHeight());
    const double scaledDraw = MedianMs(rounds, [&] {
      ui::gp::GdipDrawImageRect(graphics, scaledPhoto.get(), 0, 0, width, height);
      ui::gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
    });
    const double scaledCompose = MedianMs(rounds, [&] { host.Compose({}, std::nullopt, 0, true); });
    std::printf(
        "at %d dpi (%.0f x %.0f): full Compose %8.3f ms, draw %8.3f ms  %6.2f x draw (at 96 dpi %.2f; "
        "target <= 1.5)\n",
        dpi, width, height, scaledCompose, scaledDraw, scaledCompose / scaledDraw, compose / drawImage);
  }
  return 0;
}

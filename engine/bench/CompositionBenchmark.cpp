// Prints how long a full composition of an installer-sized window takes
// against a partial redraw of a progress-bar-sized rectangle.
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/core/Engine.h"
#include "engine/host/HostWindow.h"
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

// A photograph-like background: a gradient with noise, as a JPEG.
std::vector<std::uint8_t> Background() {
  ui::ImagePtr image = ui::test::SolidBitmap(825, 468, 0xFF3070C0);
  auto* bitmap = static_cast<ui::GpBitmap*>(image.get());
  unsigned seed = 12345;
  for (int y = 0; y < 468; ++y) {
    for (int x = 0; x < 825; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) & 31);
      ui::gp::GdipBitmapSetPixel(bitmap, x, y, 0xFF000000u | ((30 + y / 4 + noise) << 16) | ((90 + noise) << 8) | 200);
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
  const std::vector<std::uint8_t> background = Background();
  ui::HostOptions options;
  options.backgroundImage = background;
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

  const int rounds = 60;
  const double compose = MedianMs(rounds, [&] { host.Compose({}, std::nullopt, 0, true); });
  const double redraw = MedianMs(rounds, [&] { host.RedrawRect(bar.bounds, true); });
  const double redrawOnly = MedianMs(rounds, [&] { host.RedrawRect(bar.bounds, false); });
  std::printf("full Compose of 825 x 468:              %8.3f ms (median of %d)\n", compose, rounds);
  std::printf("RedrawRect of 650 x 21, presented:      %8.3f ms\n", redraw);
  std::printf("RedrawRect of 650 x 21, not presented:  %8.3f ms\n", redrawOnly);
  std::printf("partial / full:                         %8.3f\n", redraw / compose);
  return 0;
}

// Prints how long one keystroke in an installer-like path box takes until
// its frame is on the screen, against one full-window presentation of a
// layered window of the same size (UpdateLayeredWindow).
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/core/Engine.h"
#include "engine/edit/EditBox.h"
#include "engine/host/HostWindow.h"
#include "engine/render/Composition.h"
#include "engine/testing/TestImages.h"
#include "engine/testing/TestWindows.h"
#include "engine/testing/Stopwatch.h"

namespace {

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  ui::InitEngine();
  ui::test::TestWindow window(50, 50, 825, 468);
  ui::HostWindow host;
  ui::ImagePtr photo = ui::test::SolidBitmap(825, 468, 0xFF3070C0);
  ui::test::FillBitmapRect(photo.get(), 0, 300, 825, 168, 0xFF203050);
  ui::HostOptions options;
  options.backgroundImage = ui::test::EncodeImage(photo.get(), L"image/jpeg");
  options.backgroundColor = 0xFEF5F5F5;
  options.captionFlags = 20;
  options.windowAlpha = 250;
  options.edgeFade = 0;
  if (!host.Create(window.hwnd(), options)) {
    std::printf("could not attach the host window\n");
    return 1;
  }
  host.Show();
  ui::EditBox box;
  ui::EditBoxOptions boxOptions;
  boxOptions.textColor = 0xFEFFFFFF;
  boxOptions.backColor = 0;
  boxOptions.borderColor = 0;
  boxOptions.fontName = "微软雅黑";
  boxOptions.fontSize = 16;
  box.Create(window.hwnd(), 20, 422, 200, 27, "D:\\Nimbo\\", boxOptions);
  ui::test::Pump();
  host.SetFocusControl(&box, false);
  SendMessageW(window.hwnd(), WM_KEYDOWN, VK_END, 0);
  ui::test::Pump();

  int presented = 0;
  ui::SetPresentObserver([&](const ui::Presentation& presentation) {
    if (presentation.window == window.hwnd()) ++presented;
  });
  const int rounds = 60;
  std::vector<double> keystrokes, presents;
  for (int i = 0; i < rounds; ++i) {
    // A character and then Backspace, so the text keeps its length.
    for (const WPARAM key : {WPARAM{'x'}, WPARAM{VK_BACK}}) {
      const int before = presented;
      const double start = ui::test::NowMs();
      if (key == VK_BACK) SendMessageW(window.hwnd(), WM_KEYDOWN, VK_BACK, 0);
      else SendMessageW(window.hwnd(), WM_CHAR, key, 0);
      ui::test::PumpUntil([&] { return presented > before; }, 2000);
      keystrokes.push_back(ui::test::NowMs() - start);
    }
    const double start = ui::test::NowMs();
    ui::PresentLayered(window.hwnd(), host.Composition().CompositionSurface().dc(), 825, 468);
    presents.push_back(ui::test::NowMs() - start);
  }
  ui::SetPresentObserver(nullptr);
  const double keystroke = Median(keystrokes), present = Median(presents);
  std::printf("keystroke in the path box to its presented frame: %8.3f ms (median of %d)\n", keystroke,
              static_cast<int>(keystrokes.size()));
  std::printf("one full-window UpdateLayeredWindow:              %8.3f ms\n", present);
  std::printf("keystroke / full present:                         %8.3f (target: at most 1.5)\n", keystroke / present);
  return 0;
}

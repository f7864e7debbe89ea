// Notes when a window with the given title first shows, for start-up
// timings of programs that keep no trace of their own (another installer):
// it looks every millisecond and writes the moment to the trace file in the
// start-up benchmark's form, "first window<TAB>0<TAB><unix ms>". It writes
// "ready" first, once it is looking.
// Usage: first_window_probe <window title> <trace file>
#include <cstdio>

#include "engine/core/ProcessClock.h"
#include "engine/core/Win32.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  std::FILE* trace = _wfopen(argv[2], L"w");
  if (trace == nullptr) return 3;
  std::fprintf(trace, "ready\t0\t%.3f\n", ui::UnixMilliseconds());
  std::fflush(trace);
  constexpr DWORD kGiveUpMs = 60000;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kGiveUpMs) {
    HWND window = FindWindowW(nullptr, argv[1]);
    if (window != nullptr && IsWindowVisible(window)) {
      std::fprintf(trace, "first window\t0\t%.3f\n", ui::UnixMilliseconds());
      std::fclose(trace);
      return 0;
    }
    Sleep(1);
  }
  std::fclose(trace);
  return 1;
}

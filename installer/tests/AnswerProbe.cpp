// Asks a window, every 50 ms, to answer (WM_NULL through
// SendMessageTimeoutW), as Windows does before it calls a window "Not
// responding", and keeps the longest wait, until the window is gone.
// Usage: answer_probe <window title> <report file>
// The report, written when the window is gone: "asked <count>",
// "longest <milliseconds>".
#include <windows.h>

#include <cstdio>

namespace {

constexpr DWORD kIntervalMs = 50;
constexpr UINT kGiveUpMs = 10000;
constexpr DWORD kFindWindowMs = 30000;

double Now() {
  LARGE_INTEGER frequency{}, counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  HWND window = nullptr;
  for (DWORD waited = 0; window == nullptr && waited < kFindWindowMs; waited += kIntervalMs) {
    window = FindWindowW(nullptr, argv[1]);
    if (window == nullptr) Sleep(kIntervalMs);
  }
  if (window == nullptr) return 3;
  int asked = 0;
  double longest = 0;
  while (IsWindow(window)) {
    const double before = Now();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &answer) && !IsWindow(window)) break;
    const double waited = Now() - before;
    if (waited > longest) longest = waited;
    ++asked;
    Sleep(kIntervalMs);
  }
  FILE* report = _wfopen(argv[2], L"w");
  if (report == nullptr) return 4;
  std::fprintf(report, "asked %d\nlongest %.1f\n", asked, longest);
  std::fclose(report);
  return 0;
}

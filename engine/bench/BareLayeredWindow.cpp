// The start-up benchmark's reference: a bare layered window of the start
// window's size and place, filled with one colour and shown, with nothing
// of the engine. With NIMBO_STARTUP_TRACE it writes, as the installer does,
// how long after the process began it got there, and ends.
#include <cstdio>
#include <cstring>

#include "engine/core/ProcessClock.h"
#include "engine/core/Win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  std::FILE* trace = nullptr;
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"NIMBO_STARTUP_TRACE", path, MAX_PATH) != 0) trace = _wfopen(path, L"a");
  const auto mark = [&](const char* stage) {
    if (trace != nullptr)
      std::fprintf(trace, "%s\t%.3f\t%.3f\n", stage, ui::MillisecondsSinceProcessStart(), ui::UnixMilliseconds());
  };
  mark("main");

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"BareLayeredWindow";
  RegisterClassExW(&windowClass);
  HWND window = CreateWindowExW(WS_EX_LAYERED, L"BareLayeredWindow", L"bare", WS_POPUP, 50, 50, 825, 468, nullptr,
                                nullptr, instance, nullptr);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 825;
  info.bmiHeader.biHeight = 468;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(dc, bitmap);
  auto* pixels = static_cast<unsigned*>(bits);
  for (int i = 0; i < 825 * 468; ++i) pixels[i] = 0xFA3060B0;
  SIZE size{825, 468};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, nullptr, nullptr, &size, dc, &origin, 0, &blend, ULW_ALPHA);
  ShowWindow(window, SW_SHOWNORMAL);
  mark("first frame");
  mark("shown");
  if (trace != nullptr) std::fclose(trace);
  DestroyWindow(window);
  return 0;
}

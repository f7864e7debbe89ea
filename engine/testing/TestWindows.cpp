#include "TestWindows.h"

namespace ui::test {
namespace {

constexpr wchar_t kTestWindowClass[] = L"EngineTestWindow";

void RegisterTestClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.lpszClassName = kTestWindowClass;
  RegisterClassExW(&windowClass);
  registered = true;
}

}  // namespace

TestWindow::TestWindow(int left, int top, int width, int height, DWORD style) {
  RegisterTestClass();
  hwnd_ = CreateWindowExW(0, kTestWindowClass, L"test", style, left, top, width, height, nullptr, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
}

TestWindow::~TestWindow() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  Pump();
}

HostOptions PlainHost() {
  HostOptions options;
  options.captionFlags = 0;
  options.windowAlpha = 255;
  options.frameStyle = 1;
  options.dragAnywhere = 0;
  return options;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return condition();
    // Wake for the next message or after a short while, whichever is first.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  return true;
}

Pixel Unpack(std::uint32_t bgra) {
  return {static_cast<int>(bgra >> 24), static_cast<int>((bgra >> 16) & 0xFF), static_cast<int>((bgra >> 8) & 0xFF),
          static_cast<int>(bgra & 0xFF)};
}

}  // namespace ui::test

#pragma once

#include <cstdint>
#include <functional>

#include "engine/core/Win32.h"

namespace ui::test {

// A plain top-level window for tests; destroyed with the object.
class TestWindow {
 public:
  TestWindow(int left, int top, int width, int height, DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// Handles the messages pending on this thread.
void Pump();

// Pumps messages until the condition holds or the time is up (bounded);
// returns the condition's last value.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// The components of a premultiplied BGRA pixel.
struct Pixel {
  int a, r, g, b;
};
Pixel Unpack(std::uint32_t bgra);

}  // namespace ui::test

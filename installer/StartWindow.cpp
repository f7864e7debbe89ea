#include "StartWindow.h"

#include "DesktopShortcut.h"
#include "Installation.h"
#include "InstallerAssets.h"
#include "InstallerState.h"
#include "StartUp.h"
#include "engine/core/Engine.h"
#include "engine/core/TextConversion.h"

namespace setup {

WindowTimer Timer1(5000, OnBackgroundTimer);

namespace {

constexpr wchar_t kStartWindowClass[] = L"NimboSetupStartWindow";

LRESULT CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (Timer1.HandleTimer(wParam)) return 0;
      break;
    case WM_KEYDOWN:
      // Escape closes the window the way Alt+F4 does, but only before an
      // installation has started.
      if (wParam == VK_ESCAPE && !Installation::Current().HasChosen()) {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
      }
      break;
    case WM_CLOSE:
      OnStartWindowCloseQuery();
      break;  // the close query gives no answer: the window always closes
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterStartWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = StartWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ui::kProgramIconId));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kStartWindowClass;
  RegisterClassExW(&windowClass);
}

}  // namespace

HWND LoadStartWindow() {
  RegisterScaledPictures();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterStartWindowClass(instance);
  const std::wstring title = ui::AnsiToWide(kStartWindowTitle);
  HWND window = CreateWindowExW(
      0, kStartWindowClass, title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kStartWindowLeft,
      kStartWindowTop, kStartWindowWidth, kStartWindowHeight, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  Timer1.Attach(window);
  OnStartWindowCreated(window);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

bool BringOtherStartWindowToFront() {
  HWND other = FindWindowW(kStartWindowClass, nullptr);
  if (other == nullptr) return false;
  if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
  SetForegroundWindow(other);
  return true;
}

}  // namespace setup

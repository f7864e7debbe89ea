#include "MainWindow.h"

#include "engine/core/ArgbColor.h"
#include "engine/core/Engine.h"
#include "engine/core/TextConversion.h"
#include "engine/host/CaptionLayout.h"

namespace nimbo {
namespace {

constexpr wchar_t kWindowClass[] = L"NimboMainWindow";
constexpr char kTitle[] = "Nimbo";
constexpr char kGreeting[] = "Nimbo 已启动";
constexpr char kCommandLinePrefix[] = "启动命令行：";
constexpr char kFontName[] = "微软雅黑";
constexpr std::uint32_t kBackground = ui::Rgb(40, 110, 190);
constexpr std::uint32_t kText = ui::Rgb(255, 255, 255);
// Close button and title text in the drawn caption.
constexpr int kCaptionFlags = ui::kCaptionClose | ui::kCaptionTitle;
constexpr int kBoldStyle = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
#ifdef NIMBO_TEST_IGNORES_CLOSE
  // A test build only: a Nimbo that will not close when asked, as a program
  // holding unsaved work may not.
  if (message == WM_CLOSE) return 0;
#endif
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ui::kProgramIconId));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
}

}  // namespace

bool MainWindow::Create(const std::wstring& commandLine) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterWindowClass(instance);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  window_ = CreateWindowExW(0, kWindowClass, ui::AnsiToWide(kTitle).c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                            left, top, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
  if (window_ == nullptr) return false;

  ui::HostOptions options;
  // The host keeps its background colour as a Windows RGB value (red in the
  // low byte): it takes the value as it is, not through ArgbFromRgb.
  options.backgroundColor = kBackground;
  options.captionFlags = kCaptionFlags;
  options.windowAlpha = 255;
  options.frameStyle = 7;
  options.dragAnywhere = 1;
  options.blurBehind = 0;
  host_.Create(window_, options);

  ui::LabelOptions greeting;
  greeting.textColor = ui::ArgbFromRgb(kText);
  greeting.fontName = kFontName;
  greeting.fontSize = 22;
  greeting.fontStyle = kBoldStyle;
  greeting_.Create(window_, 30, 70, kMainWindowWidth - 60, 50, kGreeting, greeting);

  // The command line may hold characters code page 936 lacks: they show as
  // "?", while the record file keeps them.
  ui::LabelOptions details;
  details.textColor = ui::ArgbFromRgb(kText);
  details.fontName = kFontName;
  details.fontSize = 11;
  details.wordWrap = 1;
  commandLine_.Create(window_, 30, 130, kMainWindowWidth - 60, 130,
                      std::string(kCommandLinePrefix) + ui::WideToAnsi(commandLine), details);
  commandLine_.VerticalAlign(ui::kAlignTop);

  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  return true;
}

}  // namespace nimbo

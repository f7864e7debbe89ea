#pragma once

#include <string>

#include "engine/controls/Label.h"
#include "engine/core/Win32.h"
#include "engine/host/HostWindow.h"

namespace nimbo {

inline constexpr int kMainWindowWidth = 480;
inline constexpr int kMainWindowHeight = 300;

// Nimbo's window: a plain top-level window that the engine draws, with the
// caption's close button, a greeting and the command line Nimbo was
// started with. Closing it (close button, Alt+F4) ends the message loop.
class MainWindow {
 public:
  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates and shows the window, centred on the screen; false when the
  // window could not be made.
  bool Create(const std::wstring& commandLine);
  HWND hwnd() const { return window_; }

 private:
  HWND window_ = nullptr;
  // Declared before the labels, so destroyed after them: a label unlinks
  // itself from its host when it is destroyed.
  ui::HostWindow host_;
  ui::Label greeting_;
  ui::Label commandLine_;
};

}  // namespace nimbo

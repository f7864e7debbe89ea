#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/Win32.h"

namespace ui {

class Control;

// The caption a host window draws for itself, as its caption flags ask: the
// window's small icon, its title and the caption buttons (right to left),
// each a control on the window, placed for the window's width.
class CaptionBar {
 public:
  void SetFlags(int flags) { flags_ = flags; }
  int Flags() const { return flags_; }

  // Makes the controls the flags ask for on the window, `width` wide.
  void Create(HWND window, int width);
  void Destroy();
  // Places the buttons and the title for the window's width.
  void Layout(int width);
  void SetTitleText(const std::string& text);

  const std::vector<std::unique_ptr<Control>>& Buttons() const { return buttons_; }
  bool IsButton(const Control* control) const;
  Control* Icon() const { return icon_.get(); }
  Control* Title() const { return title_.get(); }

 private:
  int flags_ = 0;
  std::vector<std::unique_ptr<Control>> buttons_;  // right to left
  std::unique_ptr<Control> icon_;                  // the caption icon (flag 1)
  std::unique_ptr<Control> title_;                 // the caption title (flag 2)
};

}  // namespace ui

#pragma once

#include "engine/controls/Control.h"

namespace ui {

// A caption button of a host window (close, maximise/restore, minimise and
// four spare kinds), drawn from the shared caption-button strip.
class CaptionButton : public Control {
 public:
  Control* Create(ControlParent parent, int left, int top, int width, int height, int type, bool shown = true);
  int ButtonType() const { return buttonType; }
  int DrawnState() const { return drawnState; }
  // Draws the state's sprite when it differs from the drawn one (or when forced).
  void DrawState(int state, bool force, int style);

  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;
  AccessibleDescription Describe() const override;

 private:
  void OnClick();

  int buttonType = 0;  // its caption bit: 4 close, 8 maximise, 16 minimise, 32 ... 256
  int drawnState = 0;  // 0 normal, 1 hot, 2 pressed
};

}  // namespace ui

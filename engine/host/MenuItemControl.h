#pragma once

#include "PopupMenu.h"
#include "engine/render/StringFormat.h"
#include "engine/controls/Control.h"

namespace ui {

// The drawn control of one menu item while its menu is open.
class MenuItemControl : public Control {
 public:
  // Where a chosen item reports to.
  struct Menu {
    PopupMenu* menu = nullptr;
    HWND owner = nullptr;
    ArgbColor accent = 0;
    int chosenId = 0;
  };

  MenuItemControl(const MenuItem& item, Menu& menu);
  Control* Create(HWND menuWindow, const RectF& bounds);

  int HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Draw();
  void Choose();

  const MenuItem& item_;
  Menu& menu_;
  bool highlighted_ = false;
  StringFormat format_;
};

}  // namespace ui

#include "ControlHost.h"

namespace ui {

ControlHost* ControlHost::Of(HWND window) {
  if (window == nullptr) return nullptr;
  return static_cast<ControlHost*>(GetPropW(window, kHostProperty));
}

}  // namespace ui

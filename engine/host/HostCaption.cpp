// The caption controls a host window builds from its caption flags.
#include "CaptionButton.h"
#include "CaptionLayout.h"
#include "HostWindow.h"

namespace ui {

void HostWindow::CreateCaptionControls() {
  for (const CaptionButtonPlace& place : PlaceCaptionButtons(captionFlags, width)) {
    auto button = std::make_unique<CaptionButton>();
    button->Create(hwnd, static_cast<int>(place.bounds.left), static_cast<int>(place.bounds.top),
                   static_cast<int>(place.bounds.width), static_cast<int>(place.bounds.height), place.bit);
    captionButtons.push_back(std::move(button));
  }
}

void HostWindow::DestroyCaptionControls() {
  captionButtons.clear();
  iconPicture.reset();
  titleLabel.reset();
}

void HostWindow::SetTitleText(const std::string&) {}

}  // namespace ui

// The caption controls a host window builds from its caption flags.
#include "CaptionButton.h"
#include "CaptionLayout.h"
#include "HostWindow.h"
#include "engine/controls/Label.h"
#include "engine/controls/PictureBox.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/TextConversion.h"

namespace ui {

namespace {

constexpr int kTitleGlowAndEllipsis = 3;

HICON SmallIconOf(HWND window) {
  auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
  return icon;
}

std::string WindowTitle(HWND window) {
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  return WideToAnsi(title);
}

}  // namespace

void HostWindow::CreateCaptionControls() {
  if (captionFlags & kCaptionIcon) {
    auto icon = std::make_unique<PictureBox>();
    icon->CreateFromIcon(hwnd, 11, 11, 16, 16, SmallIconOf(hwnd));
    icon->interactive = 0;
    iconPicture = std::move(icon);
  }
  if (captionFlags & kCaptionTitle) {
    auto title = std::make_unique<Label>();
    LabelOptions options;
    options.textColor = ArgbFromRgb(Rgb(255, 255, 255), 250);
    options.textEffect = kTitleGlowAndEllipsis;
    options.trimming = kTitleGlowAndEllipsis;
    title->Create(hwnd, 0, 9, 0, 18, WindowTitle(hwnd), options);
    titleLabel = std::move(title);
  }
  for (const CaptionButtonPlace& place : PlaceCaptionButtons(captionFlags, Width())) {
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

void HostWindow::SetTitleText(const std::string& text) {
  if (titleLabel != nullptr) static_cast<Label*>(titleLabel.get())->Text(text);
}

}  // namespace ui

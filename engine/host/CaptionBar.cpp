#include "CaptionBar.h"

#include "CaptionButton.h"
#include "CaptionLayout.h"
#include "engine/controls/Control.h"
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

void CaptionBar::Create(HWND window, int width) {
  if (flags_ & kCaptionIcon) {
    auto icon = std::make_unique<PictureBox>();
    icon->CreateFromIcon(window, 11, 11, 16, 16, SmallIconOf(window));
    icon->Interactive(0);
    icon_ = std::move(icon);
  }
  if (flags_ & kCaptionTitle) {
    auto title = std::make_unique<Label>();
    LabelOptions options;
    options.textColor = ArgbFromRgb(Rgb(255, 255, 255), 250);
    options.textEffect = kTitleGlowAndEllipsis;
    options.trimming = kTitleGlowAndEllipsis;
    title->Create(window, 0, 9, 0, 18, WindowTitle(window), options);
    title_ = std::move(title);
  }
  for (const CaptionButtonPlace& place : PlaceCaptionButtons(flags_, width)) {
    auto button = std::make_unique<CaptionButton>();
    button->Create(window, static_cast<int>(place.bounds.left), static_cast<int>(place.bounds.top),
                   static_cast<int>(place.bounds.width), static_cast<int>(place.bounds.height), place.bit);
    buttons_.push_back(std::move(button));
  }
}

void CaptionBar::Destroy() {
  buttons_.clear();
  icon_.reset();
  title_.reset();
}

void CaptionBar::Layout(int width) {
  if (flags_ == 0) return;
  const std::vector<CaptionButtonPlace> places = PlaceCaptionButtons(flags_, width);
  for (std::size_t i = 0; i < buttons_.size() && i < places.size(); ++i) {
    buttons_[i]->Move(static_cast<int>(places[i].bounds.left), static_cast<int>(places[i].bounds.top));
  }
  if (title_ != nullptr) {
    if (const std::optional<RectF> title = PlaceCaptionTitle(flags_, width)) {
      title_->Move(static_cast<int>(title->left), static_cast<int>(title->top), static_cast<int>(title->width),
                   static_cast<int>(title->height));
    }
  }
}

void CaptionBar::SetTitleText(const std::string& text) {
  if (title_ != nullptr) static_cast<Label*>(title_.get())->Text(text);
}

bool CaptionBar::IsButton(const Control* control) const {
  for (const auto& button : buttons_) {
    if (button.get() == control) return true;
  }
  return false;
}

}  // namespace ui

#include "ControlFont.h"

#include "engine/core/Engine.h"
#include "engine/core/Fonts.h"

namespace ui {

void ControlFont::Create(const std::optional<std::string>& family, std::optional<float> size,
                         std::optional<int> style) {
  Release();
  if (!family && !size && !style) {
    sharedDefault_ = true;
    return;
  }
  font_ = CreateFontByName(family.value_or(GetFontFamilyName(DefaultFont())), size.value_or(12.0f), style.value_or(0))
              .release();
}

void ControlFont::Recreate(const std::string& family, float size, int style) {
  FontPtr created = CreateFontByName(family, size, style);
  Release();
  font_ = created.release();
}

GpFont* ControlFont::get() const { return sharedDefault_ ? DefaultFont() : font_; }

void ControlFont::Take(GpFont* font) {
  if (font == get()) return;
  Release();
  if (font != nullptr && font == DefaultFont()) sharedDefault_ = true;
  else font_ = font;
}

void ControlFont::Release() {
  if (font_ != nullptr) gp::GdipDeleteFont(font_);
  font_ = nullptr;
  sharedDefault_ = false;
}

std::string ControlFont::Family() const { return GetFontFamilyName(get()); }

float ControlFont::Size() const {
  Gdiplus::REAL size = 0;
  if (GpFont* font = get()) gp::GdipGetFontSize(font, &size);
  return size;
}

int ControlFont::Style() const {
  INT style = 0;
  if (GpFont* font = get()) gp::GdipGetFontStyle(font, &style);
  return style;
}

}  // namespace ui

#include "ControlFont.h"

#include "engine/core/Engine.h"
#include "engine/core/Fonts.h"

namespace ui {

void ControlFont::Create(const std::optional<std::string>& family, std::optional<float> size,
                         std::optional<int> style) {
  Release();
  if (!family && !size && !style) {
    font_ = Engine().defaultFont.get();
    return;
  }
  font_ = CreateFontByName(family.value_or(GetFontFamilyName(Engine().defaultFont.get())), size.value_or(12.0f),
                           style.value_or(0))
              .release();
}

void ControlFont::Recreate(const std::string& family, float size, int style) {
  FontPtr created = CreateFontByName(family, size, style);
  Release();
  font_ = created.release();
}

void ControlFont::Take(GpFont* font) {
  if (font == font_) return;
  Release();
  font_ = font;
}

void ControlFont::Release() {
  if (font_ != nullptr && font_ != Engine().defaultFont.get()) gp::GdipDeleteFont(font_);
  font_ = nullptr;
}

std::string ControlFont::Family() const { return GetFontFamilyName(font_); }

float ControlFont::Size() const {
  Gdiplus::REAL size = 0;
  if (font_ != nullptr) gp::GdipGetFontSize(font_, &size);
  return size;
}

int ControlFont::Style() const {
  INT style = 0;
  if (font_ != nullptr) gp::GdipGetFontStyle(font_, &style);
  return style;
}

}  // namespace ui

#include "Fonts.h"

#include <cstddef>
#include <cstring>

#include "Engine.h"
#include "FontFallback.h"
#include "TextConversion.h"

namespace ui {
namespace {

constexpr char kFallbackFace[] = "宋体";
constexpr float kDefaultFontPixels = 12.0f;

FontFamilyPtr FamilyByName(std::string_view name) {
  GpFontFamily* family = nullptr;
  const std::wstring wide = AnsiToWide(name);
  if (gp::GdipCreateFontFamilyFromName(wide.c_str(), nullptr, &family) != Gdiplus::Ok) return nullptr;
  return FontFamilyPtr(family);
}

FontPtr FontOfFamily(GpFontFamily* family, float sizePixels, int style) {
  GpFont* font = nullptr;
  if (family == nullptr || gp::GdipCreateFont(family, sizePixels, style, Gdiplus::UnitPixel, &font) != Gdiplus::Ok) {
    return nullptr;
  }
  return FontPtr(font);
}

// The family a face that cannot stand for the program's text is replaced
// with: the default font's, or "宋体" when there is no default font at all.
std::string ReplacementFace() {
  const std::string family = DefaultFontFamily();
  return family.empty() ? kFallbackFace : family;
}

}  // namespace

FontPtr CreateFontOfFamily(std::string_view family) {
  return FontOfFamily(FamilyByName(family).get(), kDefaultFontPixels, Gdiplus::FontStyleRegular);
}

std::string GetSystemUiFontName(std::optional<SystemUiFont> which) {
  NONCLIENTMETRICSA metrics{};
  // The layout without iPaddedBorderWidth, as every Windows accepts it.
  metrics.cbSize = 340;
  static_assert(offsetof(NONCLIENTMETRICSA, lfMessageFont.lfFaceName) == 308, "NONCLIENTMETRICSA layout");
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return ReplacementFace();

  const LOGFONTA* chosen = &metrics.lfCaptionFont;
  if (which == SystemUiFont::Menu) chosen = &metrics.lfMenuFont;
  if (which == SystemUiFont::Message) chosen = &metrics.lfMessageFont;
  return ResolveUiFontName(std::string(chosen->lfFaceName, strnlen(chosen->lfFaceName, LF_FACESIZE)));
}

std::string ResolveUiFontName(std::string_view faceName) {
  // Tahoma has no Chinese glyphs.
  if (faceName == "Tahoma") return ReplacementFace();
  if (!FontOfFamily(FamilyByName(faceName).get(), kDefaultFontPixels, Gdiplus::FontStyleRegular)) {
    return ReplacementFace();
  }
  return std::string(faceName);
}

FontPtr CreateFontByName(std::string_view name, float sizePixels, int style) {
  FontFamilyPtr family = FamilyByName(name);
  if (!family) family = FamilyByName(GetFontFamilyName(DefaultFont()));
  return FontOfFamily(family.get(), sizePixels, style);
}

std::string GetFontFamilyName(GpFont* font) {
  if (font == nullptr) return {};
  GpFontFamily* family = nullptr;
  if (gp::GdipGetFamily(font, &family) != Gdiplus::Ok) return {};
  FontFamilyPtr owner(family);
  WCHAR name[LF_FACESIZE] = {};
  if (gp::GdipGetFamilyName(family, name, LANG_NEUTRAL) != Gdiplus::Ok) return {};
  return WideToAnsi(name);
}

}  // namespace ui

#include "engine/core/Fonts.h"

#include <gtest/gtest.h>

#include "engine/core/Engine.h"
#include "engine/core/FontFallback.h"

namespace ui {
namespace {

float SizeOf(GpFont* font) {
  Gdiplus::REAL size = 0;
  gp::GdipGetFontSize(font, &size);
  return size;
}

int StyleOf(GpFont* font) {
  INT style = -1;
  gp::GdipGetFontStyle(font, &style);
  return style;
}

Gdiplus::Unit UnitOf(GpFont* font) {
  Gdiplus::Unit unit = Gdiplus::UnitWorld;
  gp::GdipGetFontUnit(font, &unit);
  return unit;
}

TEST(Fonts, DefaultFontIsTwelvePixelsRegular) {
  GpFont* font = DefaultFont();
  ASSERT_NE(font, nullptr) << "the test prefix maps 宋体 to an installed font";
  EXPECT_FLOAT_EQ(SizeOf(font), 12.0f);
  EXPECT_EQ(UnitOf(font), Gdiplus::UnitPixel);
  EXPECT_EQ(StyleOf(font), Gdiplus::FontStyleRegular);
}

TEST(Fonts, UnknownFamilyFallsBackToTheDefaultFamilyKeepingSizeAndStyle) {
  FontPtr font = CreateFontByName("No Such Family 7x", 17.0f, Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetFontFamilyName(font.get()), GetFontFamilyName(DefaultFont()));
  EXPECT_FLOAT_EQ(SizeOf(font.get()), 17.0f);
  EXPECT_EQ(StyleOf(font.get()), Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic);
  EXPECT_EQ(UnitOf(font.get()), Gdiplus::UnitPixel);
}

TEST(Fonts, KnownFamilyIsCreatedAtTheRequestedSize) {
  FontPtr font = CreateFontByName("微软雅黑", 16.0f, Gdiplus::FontStyleRegular);
  ASSERT_NE(font, nullptr);
  EXPECT_FLOAT_EQ(SizeOf(font.get()), 16.0f);
  EXPECT_FALSE(GetFontFamilyName(font.get()).empty());
}

TEST(Fonts, UiFontNamesWithoutChineseGlyphsOrFamilyBecomeSongTi) {
  EXPECT_EQ(ResolveUiFontName("Tahoma"), "宋体");
  EXPECT_EQ(ResolveUiFontName("No Such Family 7x"), "宋体");
  EXPECT_EQ(ResolveUiFontName("微软雅黑"), "微软雅黑");
}

TEST(Fonts, SystemUiFontNamesAreUsableFamilies) {
  for (auto which : {SystemUiFont::Menu, SystemUiFont::Caption, SystemUiFont::Message}) {
    const std::string name = GetSystemUiFontName(which);
    ASSERT_FALSE(name.empty());
    EXPECT_NE(name, "Tahoma");
    EXPECT_NE(CreateFontByName(name, 12.0f, 0), nullptr) << name;
  }
  EXPECT_EQ(GetSystemUiFontName(), GetSystemUiFontName(SystemUiFont::Caption));
}

// The test prefix maps the Chinese family names to an installed Chinese
// font; DejaVu Sans (which every Debian has for fontconfig) has no Chinese
// glyphs, and GDI, asked for a family that is not there, gives another.
TEST(Fonts, DefaultFamilyIsTheFirstThatIsInstalledAndDrawsChinese) {
  EXPECT_TRUE(FamilyDraws("宋体", L"\u4E2D\u6587"));
  EXPECT_FALSE(FamilyDraws("DejaVu Sans", L"\u4E2D\u6587")) << "the glyph test tells a font without Chinese";
  EXPECT_TRUE(FamilyDraws("DejaVu Sans", L"D:\\Nimbo"));
  EXPECT_FALSE(FamilyDraws("No Such Family 7x", L"a")) << "a family that is not installed draws nothing";
  EXPECT_EQ(FirstFamilyDrawing({"No Such Family 7x", "DejaVu Sans", "微软雅黑", "宋体"}, L"\u4E2D"), "微软雅黑");
  EXPECT_EQ(FirstFamilyDrawing({"No Such Family 7x", "DejaVu Sans"}, L"\u4E2D"), "");
  EXPECT_EQ(ChooseDefaultFontFamily(), "宋体");
  EXPECT_EQ(DefaultFontFamily(), "宋体");
}

TEST(Fonts, FamilyNameOfNoFontIsEmpty) { EXPECT_EQ(GetFontFamilyName(nullptr), ""); }

}  // namespace
}  // namespace ui

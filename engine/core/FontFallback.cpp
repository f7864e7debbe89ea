#include "FontFallback.h"

#include <algorithm>
#include <cstring>

#include "GdiPlus.h"
#include "TextConversion.h"

namespace ui {
namespace {

// The program's texts are Chinese: the default font must draw them.
constexpr wchar_t kChineseSample[] = L"\u4E2D\u6587";  // 中文
const std::vector<std::string> kPreferredFamilies = {"宋体", "微软雅黑", "SimSun", "Microsoft YaHei"};

bool GdiPlusKnows(const std::string& family) {
  GpFontFamily* found = nullptr;
  if (gp::GdipCreateFontFamilyFromName(AnsiToWide(family).c_str(), nullptr, &found) != Gdiplus::Ok) return false;
  gp::GdipDeleteFontFamily(found);
  return true;
}

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
  // "@" names the same family turned for vertical text.
  if (font->lfFaceName[0] != L'@') {
    auto* list = reinterpret_cast<std::vector<std::string>*>(names);
    const std::string name = WideToAnsi(font->lfFaceName);
    if (std::find(list->begin(), list->end(), name) == list->end()) list->push_back(name);
  }
  return 1;
}

// The installed families that declare the simplified Chinese character set.
std::vector<std::string> ChineseFamilies() {
  std::vector<std::string> names;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return names;
  LOGFONTW wanted{};
  wanted.lfCharSet = GB2312_CHARSET;
  EnumFontFamiliesExW(dc, &wanted, &CollectFamily, reinterpret_cast<LPARAM>(&names), 0);
  DeleteDC(dc);
  return names;
}

std::string GenericSansSerifFamily() {
  GpFontFamily* generic = nullptr;
  if (gp::GdipGetGenericFontFamilySansSerif(&generic) != Gdiplus::Ok || generic == nullptr) return {};
  WCHAR name[LF_FACESIZE] = {};
  const bool named = gp::GdipGetFamilyName(generic, name, LANG_NEUTRAL) == Gdiplus::Ok;
  // The generic family may be shared by the library: only its name is kept.
  return named ? WideToAnsi(name) : std::string();
}

std::string CaptionFontFamily() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics - sizeof metrics.iPaddedBorderWidth;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return {};
  return WideToAnsi(metrics.lfCaptionFont.lfFaceName);
}

}  // namespace

bool FamilyDraws(const std::string& family, const std::wstring& characters) {
  const std::wstring face = AnsiToWide(family);
  if (face.empty() || face.size() >= LF_FACESIZE || !GdiPlusKnows(family)) return false;
  LOGFONTW wanted{};
  wanted.lfHeight = -12;
  wanted.lfCharSet = DEFAULT_CHARSET;
  std::memcpy(wanted.lfFaceName, face.c_str(), (face.size() + 1) * sizeof(wchar_t));
  HFONT font = CreateFontIndirectW(&wanted);
  HDC dc = CreateCompatibleDC(nullptr);
  bool draws = false;
  if (font != nullptr && dc != nullptr) {
    HGDIOBJ previous = SelectObject(dc, font);
    // The characters the font itself maps: glyph lookups would also count
    // the fonts the system links to it for characters it lacks.
    const DWORD size = GetFontUnicodeRanges(dc, nullptr);
    std::vector<BYTE> block(size);
    auto* ranges = reinterpret_cast<GLYPHSET*>(block.data());
    if (size >= sizeof(GLYPHSET) && GetFontUnicodeRanges(dc, ranges) != 0) {
      draws = std::all_of(characters.begin(), characters.end(), [&](wchar_t character) {
        for (DWORD i = 0; i < ranges->cRanges; ++i) {
          const WCRANGE& range = ranges->ranges[i];
          if (character >= range.wcLow && character < range.wcLow + range.cGlyphs) return true;
        }
        return false;
      });
    }
    SelectObject(dc, previous);
  }
  if (dc != nullptr) DeleteDC(dc);
  if (font != nullptr) DeleteObject(font);
  return draws;
}

std::string FirstFamilyDrawing(const std::vector<std::string>& candidates, const std::wstring& needed) {
  for (const std::string& family : candidates) {
    if (FamilyDraws(family, needed)) return family;
  }
  return {};
}

std::string ChooseDefaultFontFamily() {
  std::string family = FirstFamilyDrawing(kPreferredFamilies, kChineseSample);
  if (family.empty()) family = FirstFamilyDrawing(ChineseFamilies(), kChineseSample);
  // Without any family that draws Chinese, the folder and the digits still
  // show in a family that exists.
  if (family.empty()) family = GenericSansSerifFamily();
  if (family.empty() || !GdiPlusKnows(family)) family = CaptionFontFamily();
  return GdiPlusKnows(family) ? family : std::string();
}

}  // namespace ui

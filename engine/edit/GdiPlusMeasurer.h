#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "TextMeasurer.h"
#include "engine/core/GdiPlus.h"

namespace ui {

// Measures an edit box's text with GDI+: on its graphics, with its font and
// string format. Text arrives as code page 936 and is measured as UTF-16,
// where every character of the line is one code unit.
class GdiPlusMeasurer : public TextMeasurer {
 public:
  GdiPlusMeasurer(GpGraphics* graphics, GpFont* font, GpStringFormat* format)
      : graphics_(graphics), font_(font), format_(format) {}

  std::optional<RectF> Measure(std::string_view cp936Text, const RectF& layout) const override;
  // The boxes of `count` characters from `first` as laid out in `layout`:
  // one rectangle for each visual row they cover; none when the range lies
  // outside the text or GDI+ cannot measure it.
  std::vector<RectF> MeasureRange(std::wstring_view text, const RectF& layout, int first, int count) const;
  // The bounding box of one character, empty when it cannot be measured.
  RectF CharacterBox(std::wstring_view text, const RectF& layout, int index) const;
  // Whether a tab advances the text to a tab stop here (some GDI+
  // implementations give it no width at all).
  bool TabsAdvance() const;

 private:
  GpGraphics* graphics_;
  GpFont* font_;
  GpStringFormat* format_;
};

}  // namespace ui

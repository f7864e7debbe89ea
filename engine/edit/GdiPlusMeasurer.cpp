#include "GdiPlusMeasurer.h"

#include <algorithm>

#include "engine/core/TextConversion.h"

namespace ui {
namespace {

Gdiplus::RectF ToGdip(const RectF& rect) { return Gdiplus::RectF(rect.left, rect.top, rect.width, rect.height); }

// The union of a set of rectangles: the bounding box of a character's rows.
RectF Bounds(const std::vector<RectF>& rows) {
  if (rows.empty()) return {};
  float left = rows[0].left, top = rows[0].top, right = rows[0].Right(), bottom = rows[0].Bottom();
  for (const RectF& row : rows) {
    left = std::min(left, row.left);
    top = std::min(top, row.top);
    right = std::max(right, row.Right());
    bottom = std::max(bottom, row.Bottom());
  }
  return {left, top, right - left, bottom - top};
}

}  // namespace

std::optional<RectF> GdiPlusMeasurer::Measure(std::string_view cp936Text, const RectF& layout) const {
  if (graphics_ == nullptr || font_ == nullptr) return std::nullopt;
  const std::wstring wide = AnsiToWide(cp936Text);
  const Gdiplus::RectF area = ToGdip(layout);
  Gdiplus::RectF box;
  if (gp::GdipMeasureString(graphics_, wide.c_str(), static_cast<INT>(wide.size()), font_, &area, format_, &box,
                            nullptr, nullptr) != Gdiplus::Ok) {
    return std::nullopt;
  }
  return RectF{box.X, box.Y, box.Width, box.Height};
}

std::vector<RectF> GdiPlusMeasurer::MeasureRange(std::wstring_view text, const RectF& layout, int first,
                                                 int count) const {
  std::vector<RectF> rows;
  const int length = static_cast<int>(text.size());
  if (graphics_ == nullptr || font_ == nullptr || format_ == nullptr || count <= 0 || first < 0 ||
      first + count > length) {
    return rows;
  }
  // The format is shared with drawing: the range is set for this call only.
  GpStringFormat* format = nullptr;
  if (gp::GdipCloneStringFormat(format_, &format) != Gdiplus::Ok) return rows;
  StringFormatPtr formatOwner(format);
  const Gdiplus::CharacterRange range(first, count);
  gp::GdipSetStringFormatMeasurableCharacterRanges(format, 1, &range);
  GpRegion* region = nullptr;
  gp::GdipCreateRegion(&region);
  RegionPtr regionOwner(region);
  const Gdiplus::RectF area = ToGdip(layout);
  if (gp::GdipMeasureCharacterRanges(graphics_, text.data(), length, font_, area, format, 1, &region) != Gdiplus::Ok) {
    return rows;
  }
  Gdiplus::GpMatrix* identity = nullptr;
  gp::GdipCreateMatrix(&identity);
  UINT scans = 0;
  gp::GdipGetRegionScansCount(region, &scans, identity);
  std::vector<Gdiplus::RectF> rects(scans);
  INT got = 0;
  if (scans > 0) gp::GdipGetRegionScans(region, rects.data(), &got, identity);
  gp::GdipDeleteMatrix(identity);
  for (INT i = 0; i < got; ++i) {
    if (rects[i].Width > 0 || rects[i].Height > 0)
      rows.push_back({rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height});
  }
  return rows;
}

RectF GdiPlusMeasurer::CharacterBox(std::wstring_view text, const RectF& layout, int index) const {
  return Bounds(MeasureRange(text, layout, index, 1));
}

bool GdiPlusMeasurer::TabsAdvance() const {
  const std::optional<RectF> withTab = Measure("a\tb", {}), without = Measure("ab", {});
  return withTab && without && withTab->width > without->width;
}

}  // namespace ui

// How an edit box draws itself into its surface, places its scroll bars,
// finds the caret place under a point and the rectangle of a caret place.
#include <algorithm>
#include <cmath>

#include "EditBox.h"
#include "GdiPlusMeasurer.h"
#include "engine/core/TextConversion.h"
#include "engine/render/Primitives.h"

namespace ui {
namespace {

constexpr float kBarThickness = 10;
// The selection: RGB(51, 153, 255) with the default alpha, text in white.
const ArgbColor kSelectionColour = ArgbFromRgb(Rgb(51, 153, 255));
const ArgbColor kSelectedTextColour = ArgbFromRgb(Rgb(255, 255, 255));
// A character box is grown this much upwards and in height when the pointer
// is tested against it, so a click a little above or below the text counts.
constexpr float kHitGrowUp = 6;
constexpr float kHitGrowHeight = 11;

BrushPtr SolidBrush(ArgbColor colour) {
  Gdiplus::GpSolidFill* brush = nullptr;
  gp::GdipCreateSolidFill(colour, &brush);
  return BrushPtr(brush);
}

Gdiplus::RectF ToGdip(const RectF& rect) { return Gdiplus::RectF(rect.left, rect.top, rect.width, rect.height); }

bool Inside(const RectF& rect, float x, float y) {
  return x >= rect.left && x < rect.Right() && y >= rect.top && y < rect.Bottom();
}

}  // namespace

void EditBox::Paint(bool relayout) {
  PaintContext context;
  if (!BeginControlPaint(*this, context) || context.graphics == nullptr) return;
  GpGraphics* canvas = context.graphics;
  const RectF whole = context.rect;
  const BrushPtr back = SolidBrush(backColor);
  gp::GdipFillRectangle(canvas, back.get(), whole.left, whole.top, whole.width, whole.height);
  DrawRectOutline(canvas, whole, borderColor);

  innerArea = OffsetRectF(2, 2, -4, -4, whole);
  if (multiLine == 0) {
    // One line, centred in the box.
    const float lineHeight = std::trunc(FontHeight() + 3);
    innerArea.top += std::trunc((innerArea.height - lineHeight) / 2);
    innerArea.height = lineHeight;
  }
  const RectF focusFrame = innerArea;
  innerArea.top += 1;
  if (multiLine != 0) innerArea.height -= 1;
  textArea = innerArea;

  PaintHook(context, textArea, 1);
  UpdateScrollBars(true, false);
  if (relayout) {
    Relayout();
    UpdateScrollBars(false, true);
  }
  PaintLines(canvas);
  // Focus that came from the keyboard is shown.
  if (Host() != nullptr && Host()->HasKeyboardFocus(this)) DrawRectOutline(canvas, focusFrame, kOutlineDashed);
  EndControlPaint(*this, context);
}

void EditBox::UpdateScrollBars(bool geometry, bool ranges) {
  // The bars are controls of their own only in a multi-line box.
  if (multiLine == 0) return;
  const bool vertical = (scrollBars & kVerticalBar) != 0, horizontal = (scrollBars & kHorizontalBar) != 0;
  if (geometry && vertical) {
    textArea.width -= kBarThickness;
    verticalBar.Move(static_cast<int>(Bounds().left + textArea.Right()), static_cast<int>(Bounds().top + textArea.top),
                     static_cast<int>(kBarThickness),
                     static_cast<int>(textArea.height - (horizontal ? kBarThickness : 0)), false);
  }
  if (geometry && horizontal) {
    textArea.height -= kBarThickness;
    horizontalBar.Move(static_cast<int>(Bounds().left + textArea.left),
                       static_cast<int>(Bounds().top + textArea.Bottom()), static_cast<int>(textArea.width),
                       static_cast<int>(kBarThickness), false);
  }
  if (!ranges) return;
  // The range first, then the position: a position set against the range
  // the bar had before would be clamped to it, and the thumb would lag.
  ClampScroll();
  if (vertical) {
    verticalBar.Maximum(VerticalRange());
    verticalBar.ArrowStep(text.LineHeight());
    verticalBar.Position(-scrollY);
  }
  if (horizontal) {
    horizontalBar.Maximum(HorizontalRange());
    horizontalBar.Position(-scrollX);
  }
}

int EditBox::VerticalRange() const { return text.TotalHeight() - static_cast<int>(textArea.height); }

int EditBox::HorizontalRange() const { return text.MaxWidth() - static_cast<int>(textArea.width); }

void EditBox::ClampScroll() {
  scrollY = std::min(0, std::max(scrollY, -VerticalRange()));
  scrollX = std::min(0, std::max(scrollX, -HorizontalRange()));
}

void EditBox::PaintLines(GpGraphics* canvas) {
  const int first = std::max(1, LineAtY(static_cast<float>(-scrollY), firstVisibleLine));
  firstVisibleLine = lastDrawnLine = first;
  // From the first visible line down to the first one that reaches below
  // the visible part of the text.
  for (int line = first; line <= text.LineCount(); ++line) {
    const RectF extent = text.LineExtent(line);
    PaintLine(canvas, line, extent);
    lastDrawnLine = line;
    if (extent.Bottom() > textArea.height - static_cast<float>(scrollY)) break;
  }
}

RectF EditBox::LineLayout(const RectF& extent) const {
  // A box that does not wrap gives its lines no width (no limit), so that a
  // line is never broken at its own measured width; a wrapping box gives the
  // width its lines were laid out in. No height: the lines never clip.
  return {textArea.left + static_cast<float>(scrollX) + extent.left,
          textArea.top + static_cast<float>(scrollY) + extent.top, scrollBars == kVerticalBar ? textArea.width : 0, 0};
}

void EditBox::PaintLine(GpGraphics* canvas, int line, const RectF& extent) {
  const RectF layout = LineLayout(extent);
  std::string display = text.LineText(line, std::nullopt, true);
  if (display.empty()) display.push_back(' ');
  const std::wstring wide = AnsiToWide(display);
  const Gdiplus::RectF area = ToGdip(layout);
  gp::GdipDrawString(canvas, wide.c_str(), static_cast<INT>(wide.size()), font.get(), &area, format.Handle(),
                     textBrush.get());

  const std::optional<LineRange> selected = SelectedOnLine(Anchor(), Caret(), line, text.LineLength(line));
  if (!selected) return;
  // A password shows several characters for each of the line's.
  const int shown = inputMode == kEditPassword ? std::max(1, EditText::CharacterCount(passwordBytes)) : 1;
  const GdiPlusMeasurer measurer(canvas, font.get(), format.Handle());
  const std::vector<RectF> rows = measurer.MeasureRange(wide, layout, selected->start * shown, selected->count * shown);
  if (rows.empty()) return;

  GpRegion* region = nullptr;
  gp::GdipCreateRegion(&region);
  RegionPtr regionOwner(region);
  gp::GdipSetEmpty(region);
  const BrushPtr fill = SolidBrush(kSelectionColour);
  const float lineHeight = static_cast<float>(text.LineHeight());
  for (RectF row : rows) {
    row.top -= multiLine != 0 ? 2 : 3;
    row.height += row.height > lineHeight + 3 ? 3 : 4;
    gp::GdipFillRectangle(canvas, fill.get(), row.left, row.top, row.width, row.height);
    DrawRectOutline(canvas, row, kSelectionColour);
    const Gdiplus::RectF united = ToGdip(row);
    gp::GdipCombineRegionRect(region, &united, Gdiplus::CombineModeUnion);
  }
  // The selected part of the line again, in white on the selection.
  SetClipRegion(canvas, region, ClipMode::Intersect);
  const BrushPtr white = SolidBrush(kSelectedTextColour);
  gp::GdipDrawString(canvas, wide.c_str(), static_cast<INT>(wide.size()), font.get(), &area, format.Handle(),
                     white.get());
  ResetClip(canvas);
}

int EditBox::LineAtY(float y, int hint) const {
  const int count = text.LineCount();
  const auto contains = [&](int line) {
    const RectF extent = text.LineExtent(line);
    return y >= extent.top && y <= extent.Bottom();
  };
  const int start = std::clamp(hint, 1, std::max(1, count));
  if (contains(start)) return start;
  if (y >= text.LineExtent(start).top) {
    for (int line = start + 1; line <= count; ++line) {
      if (contains(line)) return line;
    }
  } else {
    for (int line = start - 1; line >= 1; --line) {
      if (contains(line)) return line;
    }
  }
  return y > 0 ? count : 0;
}

TextPoint EditBox::HitTest(float x, float y) {
  // Control coordinates from here on.
  float pointX = std::max(x - Bounds().left, textArea.left);
  float pointY = y - Bounds().top;
  int line = LineAtY(pointY - textArea.top - static_cast<float>(scrollY), firstVisibleLine);
  if (line < 1) line = 1;
  pointY = std::clamp(pointY, textArea.top + static_cast<float>(scrollY),
                      textArea.top + static_cast<float>(text.TotalHeight() + scrollY));

  std::string display = text.LineText(line, std::nullopt, true);
  if (display.empty()) display.push_back('\t');
  const std::wstring wide = AnsiToWide(display);
  const int characters = static_cast<int>(wide.size());
  const RectF layout = LineLayout(text.LineExtent(line));
  const GdiPlusMeasurer measurer(Graphics(), font.get(), format.Handle());
  // The pointer is kept within the row it is on.
  for (const RectF& row : measurer.MeasureRange(wide, layout, 0, characters)) {
    if (pointY >= row.top && pointY <= row.Bottom()) {
      pointX = std::clamp(pointX, row.left, row.Right());
      break;
    }
  }

  // Halving over the characters: the one whose (grown) box holds the point.
  int low = 0, high = characters, middle = 0, column = -1;
  while (low <= high) {
    middle = (low + high) / 2;
    if (middle >= characters) {
      low = middle + 1;  // past the last character: the end of the line
      continue;
    }
    const RectF box = measurer.CharacterBox(wide, layout, middle);
    const RectF grown{box.left, box.top - kHitGrowUp, box.width, box.height + kHitGrowHeight};
    if (Inside(grown, pointX, pointY)) {
      column = middle + (pointX > box.left + box.width / 2 ? 1 : 0);
      break;
    }
    const bool after = box.top > pointY || (pointY >= grown.top && pointY < grown.Bottom() && box.left > pointX);
    if (after) high = middle - 1;
    else low = middle + 1;
  }
  if (column < 0) column = middle;
  const int shown = inputMode == kEditPassword ? std::max(1, EditText::CharacterCount(passwordBytes)) : 1;
  return {line, std::clamp(column / shown, 0, text.LineLength(line))};
}

RectF EditBox::CaretRect(int line, int index, bool scrollIntoView, float extra) {
  const RectF layout = LineLayout(text.LineExtent(line));
  const int shown = inputMode == kEditPassword ? std::max(1, EditText::CharacterCount(passwordBytes)) : 1;
  const std::wstring wide = AnsiToWide(text.LineText(line, std::nullopt, true));
  const int characters = static_cast<int>(wide.size());
  int displayIndex = index < 0 ? -1 : (index + 1) * shown - 1;
  if (displayIndex >= characters) displayIndex = characters - 1;

  // The character before the caret, or a 1-pixel box at the line's start.
  RectF box{layout.left, layout.top, 1, 0};
  if (displayIndex >= 0) {
    const GdiPlusMeasurer measurer(Graphics(), font.get(), format.Handle());
    box = measurer.CharacterBox(wide, layout, displayIndex);
    if (box.width == 0 && box.height == 0) {
      // A character GDI+ gives no box (a trailing tab): measured with a
      // space after it, half a character to the left.
      std::wstring spaced = wide;
      spaced.push_back(L' ');
      box = measurer.CharacterBox(spaced, layout, displayIndex);
      box.left -= static_cast<float>(text.ReferenceWidth()) / 2;
    }
  }
  const float caretHeight = static_cast<float>(multiLine != 0 ? text.LineHeight() + 1 : text.LineHeight());
  const RectF caret{box.Right(), box.top - 2, 1, caretHeight};
  if (!scrollIntoView) return caret;

  if (caret.top < textArea.top - 2) scrollY += static_cast<int>(caret.height - caret.top);
  if (caret.Bottom() > textArea.Bottom() - 2) scrollY -= static_cast<int>(caret.height + extra);
  if (caret.left > textArea.Right()) scrollX -= static_cast<int>(caret.left - textArea.width);
  if (caret.left < textArea.left) scrollX += static_cast<int>(textArea.left - caret.left + textArea.width / 5);
  ClampScroll();
  UpdateScrollBars(false, true);
  return CaretRect(line, index, false);
}

}  // namespace ui

#include "StringFormat.h"

namespace ui {

StringFormat::~StringFormat() {
  if (owned_) Delete();
}

void StringFormat::Delete() {
  if (format_ != nullptr) gp::GdipDeleteStringFormat(format_);
  format_ = nullptr;
}

bool StringFormat::Create(int flags, LANGID language, bool owned) {
  // Whether the old format is deleted depends on who owned it, not on how
  // the new one will be held.
  if (owned_) Delete();
  owned_ = owned;
  format_ = nullptr;
  return gp::GdipCreateStringFormat(flags, language, &format_) == Gdiplus::Ok;
}

void StringFormat::Take(GpStringFormat* format) {
  if (format == format_) return;
  if (owned_) Delete();
  format_ = format;
  owned_ = true;
}

int StringFormat::Alignment(std::optional<int> value) {
  Gdiplus::StringAlignment current = Gdiplus::StringAlignmentNear;
  if (value) gp::GdipSetStringFormatAlign(format_, static_cast<Gdiplus::StringAlignment>(*value));
  gp::GdipGetStringFormatAlign(format_, &current);
  return static_cast<int>(current);
}

int StringFormat::LineAlignment(std::optional<int> value) {
  Gdiplus::StringAlignment current = Gdiplus::StringAlignmentNear;
  if (value) gp::GdipSetStringFormatLineAlign(format_, static_cast<Gdiplus::StringAlignment>(*value));
  gp::GdipGetStringFormatLineAlign(format_, &current);
  return static_cast<int>(current);
}

int StringFormat::Trimming(std::optional<int> value) {
  Gdiplus::StringTrimming current = Gdiplus::StringTrimmingNone;
  if (value) gp::GdipSetStringFormatTrimming(format_, static_cast<Gdiplus::StringTrimming>(*value));
  gp::GdipGetStringFormatTrimming(format_, &current);
  return static_cast<int>(current);
}

int StringFormat::HotkeyPrefix(std::optional<int> value) {
  INT current = 0;
  if (value) gp::GdipSetStringFormatHotkeyPrefix(format_, *value);
  gp::GdipGetStringFormatHotkeyPrefix(format_, &current);
  return current;
}

int StringFormat::FormatFlags(std::optional<int> value) {
  INT current = 0;
  if (value) gp::GdipSetStringFormatFlags(format_, *value);
  gp::GdipGetStringFormatFlags(format_, &current);
  return current;
}

}  // namespace ui

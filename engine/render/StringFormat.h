#pragma once

#include <optional>

#include "engine/core/GdiPlus.h"

namespace ui {

// A GDI+ string format owned by a text-drawing control (or borrowed from
// someone who owns it).
class StringFormat {
 public:
  StringFormat() = default;
  StringFormat(const StringFormat&) = delete;
  StringFormat& operator=(const StringFormat&) = delete;
  ~StringFormat();

  void Delete();
  // Replaces the format with a new one; answers true on success. The format
  // held before is deleted when this object owned it, so creating again
  // never leaks one.
  bool Create(int flags = 0, LANGID language = LANG_NEUTRAL, bool owned = true);
  // Takes a format made elsewhere and owns it from now on; the one held
  // before is deleted when this object owned it.
  void Take(GpStringFormat* format);

  // Each accessor sets the value when one is given and returns the current one.
  int Alignment(std::optional<int> value = std::nullopt);
  int LineAlignment(std::optional<int> value = std::nullopt);
  int Trimming(std::optional<int> value = std::nullopt);
  int HotkeyPrefix(std::optional<int> value = std::nullopt);
  int FormatFlags(std::optional<int> value = std::nullopt);
  GpStringFormat* Handle() const { return format_; }

 private:
  GpStringFormat* format_ = nullptr;
  bool owned_ = false;
};

}  // namespace ui

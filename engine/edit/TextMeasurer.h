#pragma once

#include <optional>
#include <string_view>

#include "engine/core/RectF.h"

namespace ui {

// Measures text for layout: the edit box measures with its own font and
// string format, tests with a fake. Text is code page 936 bytes.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // The bounding box of the text laid out in `layout`, where a zero width or
  // height means no limit; nothing when the measurement fails.
  virtual std::optional<RectF> Measure(std::string_view cp936Text, const RectF& layout) const = 0;
};

}  // namespace ui

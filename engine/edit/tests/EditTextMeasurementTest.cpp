#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "engine/edit/EditText.h"
#include "engine/edit/TextMeasurer.h"

namespace ui {
namespace {

// Answers every measurement with the same height; the reference character
// may get another one.
class FixedHeightMeasurer : public TextMeasurer {
 public:
  FixedHeightMeasurer(float referenceHeight, float lineHeight)
      : referenceHeight_(referenceHeight), lineHeight_(lineHeight) {}
  std::optional<RectF> Measure(std::string_view text, const RectF&) const override {
    return RectF{0, 0, 10, text == "\x9B\x75" ? referenceHeight_ : lineHeight_};
  }

 private:
  float referenceHeight_;
  float lineHeight_;
};

// The fuzzer found the sum of line heights overflowing: two lines whose
// height was taken as INT_MIN. Measurements come from GDI+; the total stops
// at the ends of the integers instead.
TEST(EditTextMeasurement, TotalHeightStopsAtTheEndsOfTheIntegers) {
  constexpr float kHuge = 3e38f;
  const float infinity = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    const char* text;
    int scrollBars;  // 2 keeps each line's measured height, 0 gives every line the reference height
    float referenceHeight, lineHeight;
    int totalHeight;
  };
  const Case cases[] = {
      {"the finding: two lines of INT_MIN", "a\r\nb", 0, -kHuge, 16, INT_MIN},
      {"huge reference, three lines", "a\r\nb\r\nc", 0, kHuge, 16, INT_MAX},
      {"huge measured lines", "a\r\nb", 2, 16, kHuge, INT_MAX},
      {"infinite measured lines", "a\r\nb", 2, 16, -infinity, INT_MIN},
      {"ordinary heights still add up", "a\r\nb\r\nc", 2, 16, 20, 60},
  };
  for (const Case& c : cases) {
    EditText text;
    text.SetText(c.text, 1, 0, "*");
    text.Layout(FixedHeightMeasurer(c.referenceHeight, c.lineHeight), RectF{0, 0, 100, 50}, c.scrollBars);
    EXPECT_EQ(text.TotalHeight(), c.totalHeight) << c.what;
  }
}

}  // namespace
}  // namespace ui

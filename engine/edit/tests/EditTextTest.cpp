#include "engine/edit/EditText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/edit/TextMeasurer.h"

namespace ui {
namespace {

// Every byte is 5 pixels wide plus a margin of 0.75, a row is 14.6 high.
// Text wider than a given layout width wraps into as many rows as it needs;
// text holding '!' cannot be measured; the empty text, as with GDI+, has an
// empty box. Records what it was asked.
class FakeMeasurer : public TextMeasurer {
 public:
  bool failAll = false;
  mutable std::vector<std::string> texts;
  mutable std::vector<RectF> layouts;

  std::optional<RectF> Measure(std::string_view text, const RectF& layout) const override {
    texts.emplace_back(text);
    layouts.push_back(layout);
    if (failAll || text.find('!') != std::string_view::npos) return std::nullopt;
    if (text.empty()) return RectF{layout.left, layout.top, 0, 0};
    float width = 5.0f * text.size() + 0.75f;
    float rows = 1;
    if (layout.width > 0 && width > layout.width) {
      rows = std::ceil(width / layout.width);
      width = layout.width;
    }
    return RectF{layout.left, layout.top, width, 14.6f * rows};
  }
};

std::vector<int> LineStarts(const EditText& text) {
  std::vector<int> starts;
  for (int line = 1; line <= text.LineCount(); ++line) starts.push_back(text.LineStart(line));
  return starts;
}

TEST(EditText, SetTextSplitsLinesAtCrLfOnly) {
  struct Row {
    const char* what;
    std::string_view input;
    int multiLine;
    std::string_view text;
    std::vector<int> starts;
  };
  const Row rows[] = {
      {"one line keeps the first line", "ab\r\ncd\r\nef", 0, "ab", {1}},
      {"many lines keep all", "ab\r\ncd", 1, "ab\r\ncd", {1, 5}},
      {"only bit 0 means many lines", "ab\r\ncd", 2, "ab", {1}},
      {"one line starting with CR LF is empty", "\r\nab", 0, "", {1}},
      {"the CR before the first CR LF stays", "a\r\r\nb", 0, "a\r", {1}},
      {"one line drops a lone LF too", "a\nb", 0, "ab", {1}},
      {"LF without CR", "a\nb", 1, "ab", {1}},
      {"LF at position 1", "\nab", 1, "ab", {1}},
      {"two LFs at the start", "\n\nab", 1, "ab", {1}},
      {"LF after a CR LF", "a\r\n\nb", 1, "a\r\nb", {1, 4}},
      {"byte, CR LF, byte", "a\r\nb", 1, "a\r\nb", {1, 4}},
      {"lone CR stays in its line", "a\rb", 1, "a\rb", {1}},
      {"CR just before a CR LF", "a\r\r\nb", 1, "a\r\r\nb", {1, 5}},
      {"empty", "", 1, "", {1}},
      {"ending in CR LF", "ab\r\n", 1, "ab\r\n", {1, 5}},
      {"only line breaks", "\r\n\r\n", 1, "\r\n\r\n", {1, 3, 5}},
      {"double-byte characters", "\xD6\xD0\r\n\x95\x5C", 1, "\xD6\xD0\r\n\x95\x5C", {1, 5}},
  };
  for (const Row& row : rows) {
    EditText text;
    text.SetText(row.input, row.multiLine, 0, "*");
    EXPECT_EQ(text.Text(), row.text) << row.what;
    EXPECT_EQ(text.Length(), static_cast<int>(row.text.size())) << row.what;
    EXPECT_EQ(LineStarts(text), row.starts) << row.what;
  }
}

TEST(EditText, LineTextTakesTheLineOrItsDisplayForm) {
  // Lines: "a b" at 1, "ab中" at 6, "中 x" at 12, "" at 18.
  const std::string_view content = "a b\r\nab\xD6\xD0\r\n\xD6\xD0 x\r\n";
  struct Row {
    int mode;
    std::string_view password;
    int line;
    std::optional<int> byteCount;
    bool forDisplay;
    std::string_view expected;
  };
  const Row rows[] = {
      {0, "*", 1, {}, false, "a b"},
      {0, "*", 1, {}, true, "a\tb"},
      {0, "*", 3, {}, true, "\xD6\xD0\tx"},
      {1, "*", 1, {}, true, "a\tb"},
      {0, "*", 4, {}, false, ""},
      {0, "*", 0, {}, false, ""},
      {0, "*", 5, {}, true, ""},
      {0, "*", 1, 2, false, "a "},
      {0, "*", 2, 3, false, "ab\xD6"},
      {0, "*", 1, 99, false, "a b"},
      {0, "*", 1, -3, false, ""},
      {2, "*", 2, {}, true, "***"},
      {2, "*", 1, {}, true, "***"},
      {2, "*", 2, 3, true, "***"},
      {2, "*", 2, {}, false, "ab\xD6\xD0"},
      {2, "*", 4, {}, true, ""},
      {2, "\xA1\xF1", 3, {}, true, "\xA1\xF1\xA1\xF1\xA1\xF1"},
      {2, "", 1, {}, true, ""},
  };
  for (const Row& row : rows) {
    EditText text;
    text.SetText(content, 1, row.mode, row.password);
    EXPECT_EQ(text.LineText(row.line, row.byteCount, row.forDisplay), row.expected)
        << "mode " << row.mode << ", line " << row.line << ", count " << row.byteCount.value_or(-99);
  }
  // Where tabs would not advance, spaces are shown as spaces.
  EditText text;
  text.SetText(content, 1, 0, "*");
  text.DisplaySpacesAsTabs(false);
  EXPECT_EQ(text.LineText(1, std::nullopt, true), "a b");
  text.SetText("x y", 1, 0, "*");
  EXPECT_EQ(text.LineText(1, std::nullopt, true), "x y") << "the choice outlives a new text";
}

TEST(EditText, EditsWorkOnClampedBytePositions) {
  struct Row {
    int a;
    int b;
    std::string_view expected;
  };
  const Row substrings[] = {{1, 3, "ab"}, {3, 1, "ab"}, {2, 2, ""},       {1, 4, "abc"},
                            {0, 2, "a"},  {3, 9, "c"},  {-5, 100, "abc"}, {5, 6, ""}};
  const Row deletions[] = {{3, 1, "c"},  {1, 4, ""},    {2, 3, "ac"},  {3, 3, "abc"},
                           {0, 2, "bc"}, {3, 10, "ab"}, {5, 7, "abc"}, {-1, -4, "abc"}};
  const Row insertions[] = {{1, 0, "xyabc"}, {4, 0, "abcxy"}, {2, 0, "axybc"}, {0, 0, "xyabc"}, {9, 0, "abcxy"}};
  for (const Row& row : substrings) {
    EditText text;
    text.SetText("abc", 1, 0, "*");
    EXPECT_EQ(text.Substring(row.a, row.b), row.expected) << row.a << ", " << row.b;
  }
  for (const Row& row : deletions) {
    EditText text;
    text.SetText("abc", 1, 0, "*");
    text.DeleteRange(row.a, row.b, 1);
    EXPECT_EQ(text.Text(), row.expected) << row.a << ", " << row.b;
    EXPECT_EQ(text.Length(), static_cast<int>(row.expected.size()));
  }
  for (const Row& row : insertions) {
    EditText text;
    text.SetText("abc", 1, 0, "*");
    text.InsertAt(row.a, "xy", 1);
    EXPECT_EQ(text.Text(), row.expected) << row.a;
  }
}

TEST(EditText, EditsRebuildTheLinesAndKeepModeAndPassword) {
  EditText text;
  text.SetText("abc", 1, 2, "#");
  text.InsertAt(2, "\r\n", 1);
  EXPECT_EQ(text.Text(), "a\r\nbc");
  EXPECT_EQ(LineStarts(text), (std::vector<int>{1, 4}));
  EXPECT_EQ(text.LineText(2, std::nullopt, true), "##") << "still in password mode";

  text.DeleteRange(2, 3, 1);  // the CR goes, its LF follows it
  EXPECT_EQ(text.Text(), "abc");
  EXPECT_EQ(text.LineCount(), 1);

  text.InsertAt(2, "\r\n", 0);
  EXPECT_EQ(text.Text(), "a") << "one line ends at the inserted line break";
}

TEST(EditText, InvalidLinesGiveZero) {
  EditText fresh;
  EXPECT_EQ(fresh.Length(), 0);
  EXPECT_EQ(fresh.LineCount(), 0);
  EXPECT_FALSE(fresh.IsValidLine(1));
  EXPECT_EQ(fresh.LineStart(1), 0);
  EXPECT_EQ(fresh.LineText(1), "");
  EXPECT_EQ(fresh.LineExtent(1), RectF{});
  EXPECT_EQ(fresh.PositionOf(1, 0), 0);

  EditText text;
  text.SetText("a\r\nb", 1, 0, "*");
  text.Layout(FakeMeasurer{}, {0, 0, 100, 100}, 1);
  for (int line : {0, 3, -1}) {
    EXPECT_FALSE(text.IsValidLine(line)) << line;
    EXPECT_EQ(text.LineStart(line), 0) << line;
    EXPECT_EQ(text.LineExtent(line), RectF{}) << line;
    EXPECT_EQ(text.LineLength(line), 0) << line;
  }
  EXPECT_TRUE(text.IsValidLine(2));
  EXPECT_EQ(text.LineExtent(2), (RectF{0, 14, 5.75f, 14})) << "a valid line next to them has its bounds";
}

TEST(EditText, LayoutFollowsTheScrollBars) {
  // Display texts "a\tb", "", "abcdefgh" and "x!" (which cannot be measured)
  // in a 25 pixel wide area. The reference character measures 10.75 x 14.6,
  // so the line height is 14 and the reference width 10. The blank line is
  // measured as the one space it is drawn as, so it has a row's height
  // also where lines keep their measured height.
  const std::string_view content = "a b\r\n\r\nabcdefgh\r\nx!";
  const RectF area{3, 4, 25, 100};
  struct Row {
    int scrollBars;
    RectF layout;
    RectF extents[4];
    int totalHeight;
    int maxWidth;
  };
  const Row oneRow[] = {
      {0, {0, 0, 0, 0}, {{0, 0, 15.75f, 14}, {0, 14, 5.75f, 14}, {0, 28, 40.75f, 14}, {0, 42, 2, 14}}, 56, 40},
      {1, {3, 4, 0, 0}, {{0, 0, 15.75f, 14}, {0, 14, 5.75f, 14}, {0, 28, 40.75f, 14}, {0, 42, 2, 14}}, 56, 40},
      {3, {3, 4, 0, 0}, {{0, 0, 15.75f, 14}, {0, 14, 5.75f, 14}, {0, 28, 40.75f, 14}, {0, 42, 2, 14}}, 56, 40},
      // Wrapping: "abcdefgh" takes two rows; heights add up truncated.
      {2, {3, 4, 25, 0}, {{0, 0, 15.75f, 14.6f}, {0, 14, 5.75f, 14.6f}, {0, 28, 25, 29.2f}, {0, 57, 2, 14.6f}}, 71, 25},
  };
  for (const Row& row : oneRow) {
    EditText text;
    text.SetText(content, 1, 0, "*");
    FakeMeasurer measurer;
    text.Layout(measurer, {1, 1, 1, 1}, row.scrollBars);
    text.Layout(measurer, area, row.scrollBars);  // a second layout starts afresh
    EXPECT_EQ(text.LineHeight(), 14);
    EXPECT_EQ(text.ReferenceWidth(), 10);
    EXPECT_EQ(text.TotalHeight(), row.totalHeight) << row.scrollBars;
    EXPECT_EQ(text.MaxWidth(), row.maxWidth) << row.scrollBars;
    for (int i = 0; i < 4; ++i) {
      const RectF extent = text.LineExtent(i + 1);
      EXPECT_EQ(extent.left, 0) << row.scrollBars << ", line " << i + 1;
      EXPECT_FLOAT_EQ(extent.top, row.extents[i].top) << row.scrollBars << ", line " << i + 1;
      EXPECT_FLOAT_EQ(extent.width, row.extents[i].width) << row.scrollBars << ", line " << i + 1;
      EXPECT_FLOAT_EQ(extent.height, row.extents[i].height) << row.scrollBars << ", line " << i + 1;
    }
    ASSERT_EQ(measurer.texts.size(), 10u);
    EXPECT_EQ(measurer.texts[5], "\x9B\x75");
    EXPECT_EQ(measurer.texts[6], "a\tb") << "the display text is measured";
    EXPECT_EQ(measurer.texts[7], " ") << "the blank line, as drawn";
    for (std::size_t i = 5; i < 10; ++i) EXPECT_EQ(measurer.layouts[i], row.layout) << row.scrollBars;
  }
}

TEST(EditText, LayoutMeasuresThePasswordAndSkipsAnEmptyText) {
  EditText text;
  FakeMeasurer measurer;
  text.SetText("ab\xD6\xD0", 1, 2, "*");
  text.Layout(measurer, {0, 0, 50, 50}, 0);
  EXPECT_EQ(measurer.texts.back(), "***");
  EXPECT_EQ(text.MaxWidth(), 15);

  text.SetText("", 1, 0, "*");
  measurer.texts.clear();
  text.Layout(measurer, {0, 0, 50, 50}, 0);
  EXPECT_EQ(measurer.texts, std::vector<std::string>{"\x9B\x75"}) << "only the reference is measured";
  EXPECT_EQ(text.LineHeight(), 14);
  EXPECT_EQ(text.TotalHeight(), 0);
  EXPECT_EQ(text.MaxWidth(), 0);
  EXPECT_EQ(text.LineExtent(1), RectF{});

  // Nothing measurable: the reference box is empty and each line 2 wide.
  measurer.failAll = true;
  text.SetText("a\r\nb", 1, 0, "*");
  text.Layout(measurer, {0, 0, 50, 50}, 2);
  EXPECT_EQ(text.LineHeight(), 0);
  EXPECT_EQ(text.LineExtent(2), (RectF{0, 0, 2, 0}));
  EXPECT_EQ(text.MaxWidth(), 2);
  EXPECT_EQ(text.TotalHeight(), 0);
}

TEST(EditText, ColumnsCountCharactersNotBytes) {
  // Line 1 "a" + 0x95 0x5C (a character whose trail byte is a backslash) +
  // "b" starts at 1; line 2 "中x" starts at 7; line 3 is "中" cut after its
  // lead byte, then CR LF; line 4 is a lead byte ending the text.
  EditText text;
  text.SetText(
      "a\x95\x5C"
      "b\r\n\xD6\xD0x\r\n\xD6\r\n\xD6",
      1, 0, "*");
  ASSERT_EQ(LineStarts(text), (std::vector<int>{1, 7, 12, 15}));
  struct Row {
    int line;
    int column;
    int position;
  };
  const Row rows[] = {{1, 0, 1},  {1, 1, 2},  {1, 2, 4},  {1, 3, 5},  {1, 4, 5},  {1, -1, 1}, {2, 0, 7},  {2, 1, 9},
                      {2, 2, 10}, {2, 9, 10}, {3, 1, 13}, {3, 2, 13}, {4, 0, 15}, {4, 1, 16}, {4, 2, 16}, {5, 0, 0}};
  for (const Row& row : rows)
    EXPECT_EQ(text.PositionOf(row.line, row.column), row.position) << row.line << ", " << row.column;
  EXPECT_EQ(text.LineLength(1), 3);
  EXPECT_EQ(text.LineLength(2), 2);
  EXPECT_EQ(text.LineLength(3), 1);
  EXPECT_EQ(text.LineLength(4), 1);
  EXPECT_EQ(EditText::CharacterCount("\xD6\xD0"
                                     "a\x95\x5C"),
            3);
  EXPECT_EQ(text.Substring(text.PositionOf(1, 1), text.PositionOf(2, 1)),
            "\x95\x5C"
            "b\r\n\xD6\xD0");
}

std::string WithoutLf(std::string_view text) {
  std::string kept(text);
  std::erase(kept, '\n');
  return kept;
}

// What holds after any edit: `raw` is the text the edit built before it was
// set, which loses nothing but LFs and, on one line, what follows its first
// CR LF.
void ExpectConsistent(const EditText& text, const std::string& raw, int multiLine) {
  const std::string& bytes = text.Bytes();
  EXPECT_EQ(text.Text(), bytes);
  ASSERT_EQ(text.Length(), static_cast<int>(bytes.size()));
  const std::string kept = multiLine != 0 ? raw : raw.substr(0, raw.find("\r\n"));
  EXPECT_EQ(WithoutLf(bytes), WithoutLf(kept));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "LF at " << i + 1;
    }
  }

  std::vector<int> starts{1};
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
    starts.push_back(static_cast<int>(at) + 3);
  if (multiLine == 0) {
    EXPECT_EQ(starts.size(), 1u) << "one line holds no CR LF";
  }
  EXPECT_EQ(LineStarts(text), starts);
  EXPECT_FALSE(text.IsValidLine(text.LineCount() + 1));

  std::string joined;
  for (int line = 1; line <= text.LineCount(); ++line) {
    const std::string lineText = text.LineText(line);
    joined += (line > 1 ? "\r\n" : "") + lineText;
    EXPECT_EQ(text.PositionOf(line, text.LineLength(line)), text.LineStart(line) + static_cast<int>(lineText.size()));
  }
  EXPECT_EQ(joined, bytes);
}

TEST(EditText, RandomEditsKeepTextAndLineTableInStep) {
  static constexpr std::string_view kPieces[] = {"a", " ", "\r", "\n", "\r\n", "\xD6\xD0", "\x95\x5C"};
  std::mt19937 random(936);
  auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
  auto randomText = [&] {
    std::string text;
    for (int n = pick(12); n > 0; --n) text += kPieces[pick(std::size(kPieces))];
    return text;
  };
  EditText text;
  text.SetText("", 1, 0, "*");
  int longest = 0;
  for (int step = 0; step < 20000; ++step) {
    const int multiLine = pick(5) == 0 ? 0 : 1;
    const std::string before = text.Text();
    const int size = text.Length();
    std::string raw;
    const int operation = pick(10);
    if (operation < 6) {
      const int position = pick(size + 5) - 2;  // reaches outside the text
      const std::string inserted = randomText();
      text.InsertAt(position, inserted, multiLine);
      const std::size_t at = std::clamp(position, 1, size + 1) - 1;
      raw = before.substr(0, at) + inserted + before.substr(at);
    } else if (operation < 9) {
      const int a = pick(size + 5) - 2;
      const int b = pick(size + 5) - 2;
      text.DeleteRange(a, b, multiLine);
      const std::size_t lo = std::clamp(std::min(a, b), 1, size + 1) - 1;
      const std::size_t hi = std::clamp(std::max(a, b), 1, size + 1) - 1;
      raw = before.substr(0, lo) + before.substr(hi);
    } else {
      raw = randomText() + randomText();
      text.SetText(raw, multiLine, 0, "*");
    }
    SCOPED_TRACE(testing::Message() << "step " << step);
    ExpectConsistent(text, raw, multiLine);
    if (HasFailure()) return;
    longest = std::max(longest, text.LineCount());
  }
  EXPECT_GE(longest, 5) << "the edits reached texts of several lines";
}

}  // namespace
}  // namespace ui

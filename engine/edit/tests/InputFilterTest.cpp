#include "engine/edit/InputFilter.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

constexpr int kNormal = 0, kReadOnly = 1, kInteger = 3, kDecimal = 4;

TEST(InputFilter, TypingTakesPrintableCharactersOfTheInputMode) {
  struct Case {
    int mode;
    std::string_view character;
    std::string_view text;
    bool accepted;
  };
  const Case cases[] = {
      // Control codes, Ctrl+\ to Ctrl+_ among them, are no characters.
      {kNormal, "a", "", true},
      {kNormal, " ", "", true},
      {kNormal, "~", "", true},
      {kNormal, "\x1C", "", false},
      {kNormal, "\x1F", "", false},
      {kNormal, "\t", "", false},
      {kNormal, "\x7F", "", false},
      {kNormal, "", "", false},
      // Beyond ASCII: the euro sign is one byte; 中 is a lead and a trail byte.
      {kNormal, "\x80", "", true},
      {kNormal, "\xD6\xD0", "", true},
      {kNormal, "\x95\x5C", "", true},
      {kNormal, "\xD6", "", false},
      {kNormal, "\xD6\x7F", "", false},
      {kNormal, "\xFF", "", false},
      {kInteger, "7", "", true},
      {kInteger, "-", "", true},
      {kInteger, "a", "", false},
      {kInteger, ".", "", false},
      {kInteger, "\xD6\xD0", "", false},
      {kInteger, "\x80", "", false},
      {kDecimal, ".", "1", true},
      {kDecimal, ".", "1.5", false},
      {kDecimal, "/", "", true},
      {kDecimal, "e", "", false},
      {kDecimal, ",", "", false},
      {kReadOnly, "a", "", true},  // the read-only box refuses later, at the insertion
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AcceptsCharacter(c.mode, c.character, c.text), c.accepted)
        << "mode " << c.mode << " character " << testing::PrintToString(std::string(c.character));
  }
}

TEST(InputFilter, PasteKeepsOneLineInASingleLineBoxAndWhatTheModeTakes) {
  struct Case {
    const char* what;
    int mode;
    bool multiLine;
    std::string_view pasted, around, inserted;
  };
  const Case cases[] = {
      {"one line ends at CR LF", kNormal, false, "X\r\nY", "D:\\Nimbo\\", "X"},
      {"... at a lone LF", kNormal, false, "X\nY", "", "X"},
      {"... at a lone CR", kNormal, false, "X\rY", "", "X"},
      {"a paste that starts with a break adds nothing", kNormal, false, "\r\nY", "", ""},
      {"many lines keep every break as CR LF", kNormal, true, "one\ntwo\r\nthree\rfour\r\n", "",
       "one\r\ntwo\r\nthree\r\nfour\r\n"},
      {"control codes go, Chinese stays", kNormal, false, "a\tb\x1C\xD6\xD0\x80", "", "ab\xD6\xD0\x80"},
      {"a trail byte that is a backslash stays with its lead", kNormal, false, "\x95\x5Cx", "", "\x95\x5Cx"},
      {"half a character goes, the break after it still ends the line", kNormal, false, "a\x81\r\nb", "", "a"},
      {"a lead byte at the end goes", kNormal, false, "a\x81", "", "a"},
      {"integer: letters go", kInteger, false, "abc", "", ""},
      {"integer: digits stay", kInteger, false, "12a-3", "", "12-3"},
      {"integer: Chinese goes", kInteger, false,
       "4\xD6\xD0"
       "5",
       "", "45"},
      {"decimal: one full stop", kDecimal, false, "1.2.3", "", "1.23"},
      {"decimal: none when the box has one", kDecimal, false, "2.5", "1.0", "25"},
      {"decimal: slash and minus", kDecimal, false, "-1/2e", "", "-1/2"},
      {"decimal: one line only", kDecimal, true, "1\r\n2", "", "1\r\n2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PastedText(c.mode, c.multiLine, c.pasted, c.around), c.inserted) << c.what;
  }
}

}  // namespace
}  // namespace ui

#include "product/record/EntryName.h"

#include <gtest/gtest.h>

#include "product/record/tests/EntryNameCases.h"

namespace record {
namespace {

TEST(EntryName, TheRecordReaderKeepsTheSharedRules) {
  for (const test::EntryNameCase& c : test::kEntryNameCases) {
    EXPECT_EQ(CheckRecordPath(c.utf8), c.problem) << c.utf8 << ": " << NameProblemText(CheckRecordPath(c.utf8));
  }
  // Bytes that are not UTF-8 are no path of a record.
  EXPECT_EQ(CheckRecordPath("\xD6\xD0\xCE\xC4.txt"), NameProblem::kInvalidEncoding);  // 中文 in code page 936
  EXPECT_EQ(CheckRecordPath("a\xC0\xAF"), NameProblem::kInvalidEncoding);             // an overlong '/'
}

TEST(EntryName, LengthCountsUtf16UnitsAndAFoldersSeparator) {
  EXPECT_EQ(CheckEntryName(std::u32string(10, U'a'), false, 10), NameProblem::kNone);
  EXPECT_EQ(CheckEntryName(std::u32string(11, U'a'), false, 10), NameProblem::kTooLong);
  EXPECT_EQ(CheckEntryName(std::u32string(9, U'a') + U"/", true, 10), NameProblem::kNone);
  EXPECT_EQ(CheckEntryName(std::u32string(10, U'a') + U"/", true, 10), NameProblem::kTooLong);
  // U+1F600 is two units.
  EXPECT_EQ(CheckEntryName(std::u32string(8, U'a') + U"\U0001F600", false, 10), NameProblem::kNone);
  EXPECT_EQ(CheckEntryName(std::u32string(9, U'a') + U"\U0001F600", false, 10), NameProblem::kTooLong);
  EXPECT_EQ(CheckEntryName(std::u32string(5000, U'a'), false), NameProblem::kNone);
}

TEST(EntryName, OnlyAsciiCharactersMeanAnything) {
  // A character above ASCII is never a separator, a dot, a space or a '~'.
  EXPECT_EQ(CheckEntryName(U"\u4E00\u4E00", false), NameProblem::kNone);
  EXPECT_EQ(CheckEntryName(U"a\u4E00", true), NameProblem::kNone);
  EXPECT_EQ(CheckEntryName(U"CON\u4E00", false), NameProblem::kNone);
  EXPECT_EQ(CheckEntryName(U"\u4E00~1", false), NameProblem::kShortNameForm);
  EXPECT_EQ(CheckEntryName(U"\u4E00\u4E00\u4E00\u4E00\u4E00\u4E00\u4E00~1", false), NameProblem::kNone);
}

}  // namespace
}  // namespace record

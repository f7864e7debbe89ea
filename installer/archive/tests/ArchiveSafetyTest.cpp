#include <gtest/gtest.h>

#include "installer/archive/ArchiveSafety.h"
#include "installer/archive/tests/TestArchives.h"

namespace setup {
namespace {

using ziptest::TestEntry;

// The entries as files, or as folders where the name ends in '/'.
std::vector<TestEntry> Entries(std::initializer_list<std::string> names) {
  std::vector<TestEntry> entries;
  for (const std::string& name : names) {
    const bool folder = !name.empty() && name.back() == '/';
    entries.push_back({name, folder ? "" : "data", 0, 0, folder ? 0x10u : 0x20u});
  }
  return entries;
}

SafetyReport Check(const std::vector<TestEntry>& entries, int maxUnits = kMaxRelativePathUnits) {
  const ziptest::BuiltArchive archive = ziptest::BuildArchive(entries);
  MemorySource source(archive.bytes);
  ZipReader reader;
  EXPECT_EQ(reader.Open(source), ZipStatus::kOk);
  return ArchiveSafety(reader, maxUnits);
}

TEST(ArchiveSafety, AProductArchiveIsSafe) {
  const SafetyReport report = Check(Entries({
      "Nimbo.exe", "uninst.exe",
      "bin/x.dll",  // its folder comes later
      "bin/",
      "\xC4\xBF\xC2\xBC/",                      // 目录/
      "\xC4\xBF\xC2\xBC/\xCB\xB5\xC3\xF7.txt",  // 目录/说明.txt
      "\xC4\xBF\xC2\xBC/\x95\x5C.txt",          // 目录/昞.txt
      "\x81\x61.txt",                           // second bytes are not letters:
      "\x81\x41.txt",                           //   these are two different names
      "docs/a/b/c.txt",                         // folders only implied
  }));
  EXPECT_TRUE(report.Safe()) << SafetyProblemText(report.problem) << " at " << report.entry;
}

TEST(ArchiveSafety, AnUnsafeNameIsReportedWithItsEntryAndReason) {
  std::vector<TestEntry> entries = Entries({"a.txt", "b.txt", "../evil.dll", "con.txt"});
  SafetyReport report = Check(entries);
  EXPECT_EQ(report.problem, SafetyProblem::kUnsafeName);
  EXPECT_EQ(report.entry, 2u);
  EXPECT_EQ(report.nameProblem, NameProblem::kParentSegment);

  entries = {{"ok.txt", "x"}, {"smile-\xF0\x9F\x98\x80.txt", "x", 8, 0x0800}};
  report = Check(entries);
  EXPECT_EQ(report.problem, SafetyProblem::kUnsafeName);
  EXPECT_EQ(report.entry, 1u);
  EXPECT_EQ(report.nameProblem, NameProblem::kUndecodable);

  report = Check(Entries({"bin/program.exe"}), 10);
  EXPECT_EQ(report.problem, SafetyProblem::kUnsafeName);
  EXPECT_EQ(report.nameProblem, NameProblem::kTooLong);
}

TEST(ArchiveSafety, NamesThatWindowsTakesForTheSameFileAreUnsafe) {
  // Entry 0 is another file; the two names are entries 1 and 2. The report
  // names the entry found unsafe and the one it collides with.
  struct Case {
    std::string first;
    std::string second;
    SafetyProblem problem;
    std::size_t entry;
    std::size_t otherEntry;
  };
  using S = SafetyProblem;
  const Case cases[] = {
      {"Readme.txt", "README.TXT", S::kDuplicateName, 2, 1},
      {"x", "x", S::kDuplicateName, 2, 1},
      {"a/b.txt", "A/B.txt", S::kDuplicateName, 2, 1},
      {"a/b.txt", "a\\b.txt", S::kDuplicateName, 2, 1},
      {"\xA3\xC1.txt", "\xA3\xE1.txt", S::kDuplicateName, 2, 1},  // full-width A and a
      {"\xA6\xA1", "\xA6\xC1", S::kDuplicateName, 2, 1},          // Greek Alpha and alpha
      {"\xA7\xA7", "\xA7\xD7", S::kDuplicateName, 2, 1},          // Cyrillic Yo and yo
      {"\xA2\xF1", "\xA2\xA1", S::kDuplicateName, 2, 1},          // Roman numerals I and i
      {"\xC4\xBF\xC2\xBC/a", "\xC4\xBF\xC2\xBC/A", S::kDuplicateName, 2, 1},
      {"dir/", "DIR/", S::kDuplicateName, 2, 1},
      {"dir", "dir/", S::kFileFolderClash, 2, 1},
      {"Dir/", "dir", S::kFileFolderClash, 2, 1},
      {"a", "a/b.txt", S::kFileFolderClash, 2, 1},
      {"a/b/c.txt", "A", S::kFileFolderClash, 1, 2},
      {"a/b", "a/b/c", S::kFileFolderClash, 2, 1},
      {"a\\b", "a/B/c", S::kFileFolderClash, 2, 1},
      // Different names.
      {"a/", "a/b", S::kNone, 0, 0},
      {"a/b", "a/", S::kNone, 0, 0},
      {"\x81\x61", "\x81\x41", S::kNone, 0, 0},
      {"\xA8\xA6", "e", S::kNone, 0, 0},  // e acute is not e
      {"ab", "a/b", S::kNone, 0, 0},
  };
  for (const Case& c : cases) {
    const SafetyReport report = Check(Entries({"other.txt", c.first, c.second}));
    EXPECT_EQ(report.problem, c.problem) << c.first << " / " << c.second << ": " << SafetyProblemText(report.problem);
    EXPECT_EQ(report.entry, c.entry) << c.first << " / " << c.second;
    EXPECT_EQ(report.otherEntry, c.otherEntry) << c.first << " / " << c.second;
  }
}

TEST(ArchiveSafety, AClosedReaderIsNotSafe) {
  ZipReader reader;
  EXPECT_EQ(ArchiveSafety(reader).problem, SafetyProblem::kNotOpen);
}

}  // namespace
}  // namespace setup

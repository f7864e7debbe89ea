#include <gtest/gtest.h>

#include "installer/archive/EntryPath.h"
#include "installer/archive/NameConversion.h"
#include "product/record/tests/EntryNameCases.h"

namespace setup {
namespace {

using P = NameProblem;

// Printable form of a name for failure messages: bytes 0x80 and above and
// control bytes as \xNN.
std::string Shown(std::string_view name) {
  std::string shown;
  char hex[8];
  for (unsigned char c : name) {
    if (c >= 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    }
  }
  return shown;
}

// Worked out by hand. Names are code page 936 bytes: D6D0 CEC4 is 中文,
// C4BF C2BC 目录, CBB5 C3F7 说明, 955C 昞 (its second byte is '\'), 817C a
// character whose second byte is '|', 80 the euro sign.
TEST(EntryPath, AcceptsPlainNamesAndRefusesEveryUnsafeOne) {
  struct Case {
    std::string name;
    bool isFolder;
    P problem;
    std::string path;  // when accepted
  };
  const Case cases[] = {
      // Accepted, with every '/' turned into '\'.
      {"readme.txt", false, P::kNone, "readme.txt"},
      {"bin/Nimbo.exe", false, P::kNone, "bin\\Nimbo.exe"},
      {"a/b/c/d.txt", false, P::kNone, "a\\b\\c\\d.txt"},
      {"bin/", true, P::kNone, "bin\\"},
      {"bin", true, P::kNone, "bin"},
      {"a\\b.txt", false, P::kNone, "a\\b.txt"},
      {"\x95\x5C.txt", false, P::kNone, "\x95\x5C.txt"},
      {"a\x95\x5C-b", false, P::kNone, "a\x95\x5C-b"},  // one segment: the '\' is a second byte
      {"dir/\x95\x5C", false, P::kNone, "dir\\\x95\x5C"},
      {"\x95\x5C/", true, P::kNone, "\x95\x5C\\"},
      {"\xC4\xBF\xC2\xBC/\xCB\xB5\xC3\xF7.txt", false, P::kNone, "\xC4\xBF\xC2\xBC\\\xCB\xB5\xC3\xF7.txt"},
      {"\xD6\xD0\xCE\xC4/\xC4\xBF\xC2\xBC/", true, P::kNone, "\xD6\xD0\xCE\xC4\\\xC4\xBF\xC2\xBC\\"},
      {"\x81\x7C.txt", false, P::kNone, "\x81\x7C.txt"},  // the '|' is a second byte
      {"\x80.txt", false, P::kNone, "\x80.txt"},
      {".hidden", false, P::kNone, ".hidden"},
      {" leading space.txt", false, P::kNone, " leading space.txt"},
      {"a.b.c", false, P::kNone, "a.b.c"},
      {"a#b%c&d{e}[f]'g'~h@i!.txt", false, P::kNone, "a#b%c&d{e}[f]'g'~h@i!.txt"},
      {"del\x7F.txt", false, P::kNone, "del\x7F.txt"},
      {"console.txt", false, P::kNone, "console.txt"},
      {"con_file.txt", false, P::kNone, "con_file.txt"},
      {"COM10.txt", false, P::kNone, "COM10.txt"},
      {"LPT.txt", false, P::kNone, "LPT.txt"},
      {"nul-device", false, P::kNone, "nul-device"},
      {"a~b.txt", false, P::kNone, "a~b.txt"},
      {"~1", false, P::kNone, "~1"},
      {"backup~1.txt.bak", false, P::kNone, "backup~1.txt.bak"},
      {"toolong~1.text", false, P::kNone, "toolong~1.text"},
      {"longfi~12.txt", false, P::kNone, "longfi~12.txt"},  // a base of 9: no 8.3 name
      {"\x81~1.txt", false, P::kNone, "\x81~1.txt"},        // the '~' is a second byte

      // Nothing, or bytes that are not code page 936 characters.
      {"", false, P::kEmpty, ""},
      {"", true, P::kEmpty, ""},
      {"\xFF.txt", false, P::kInvalidEncoding, ""},
      {"abc\x81", false, P::kInvalidEncoding, ""},
      {"\x81\x30", false, P::kInvalidEncoding, ""},
      {"\x81\x7F", false, P::kInvalidEncoding, ""},
      {"\x81\x3Ax", false, P::kInvalidEncoding, ""},

      // Outside the folder: UNC, rooted, drive letters.
      {"//server/share/x", false, P::kUnc, ""},
      {"\\\\server\\share\\x", false, P::kUnc, ""},
      {"/\\server", false, P::kUnc, ""},
      {"\\\\?\\C:\\x", false, P::kUnc, ""},
      {"\\\\.\\PhysicalDrive0", false, P::kUnc, ""},
      {"/etc/passwd", false, P::kRooted, ""},
      {"\\Windows\\x.dll", false, P::kRooted, ""},
      {"/", true, P::kRooted, ""},
      {"C:x.txt", false, P::kDriveLetter, ""},
      {"C:/x.txt", false, P::kDriveLetter, ""},
      {"c:\\Windows", false, P::kDriveLetter, ""},
      {"z:", true, P::kDriveLetter, ""},

      // Alternate data streams and other colons.
      {"1:x", false, P::kColon, ""},
      {"file.txt:stream", false, P::kColon, ""},
      {"file.txt::$DATA", false, P::kColon, ""},
      {"dir/a:b", false, P::kColon, ""},
      {"\xD6\xD0:", false, P::kColon, ""},

      // Characters Windows forbids.
      {"a<b", false, P::kForbiddenCharacter, ""},
      {"a>b", false, P::kForbiddenCharacter, ""},
      {"a\"b", false, P::kForbiddenCharacter, ""},
      {"a|b", false, P::kForbiddenCharacter, ""},
      {"a?b", false, P::kForbiddenCharacter, ""},
      {"a*.txt", false, P::kForbiddenCharacter, ""},
      {"a\tb", false, P::kForbiddenCharacter, ""},
      {"a\x01", false, P::kForbiddenCharacter, ""},
      {"dir/a\x1F", false, P::kForbiddenCharacter, ""},
      {std::string("a\0b", 3), false, P::kForbiddenCharacter, ""},
      {"\r\n", false, P::kForbiddenCharacter, ""},

      // Empty segments.
      {"a//b", false, P::kEmptySegment, ""},
      {"a\\\\b", false, P::kEmptySegment, ""},
      {"a/\\b", false, P::kEmptySegment, ""},
      {"a/", false, P::kEmptySegment, ""},
      {"a\\", false, P::kEmptySegment, ""},
      {"a//", true, P::kEmptySegment, ""},

      // Parent segments, with either slash.
      {"..", false, P::kParentSegment, ""},
      {"../", true, P::kParentSegment, ""},
      {"../x", false, P::kParentSegment, ""},
      {"..\\x", false, P::kParentSegment, ""},
      {"a/../../x", false, P::kParentSegment, ""},
      {"a\\..\\..\\x", false, P::kParentSegment, ""},
      {"a/..", false, P::kParentSegment, ""},
      {"a/../", true, P::kParentSegment, ""},
      {"\xD6\xD0/../x", false, P::kParentSegment, ""},

      // Segments ending in a space or a dot, which Windows strips.
      {".", false, P::kTrailingSpaceOrDot, ""},
      {"./a", false, P::kTrailingSpaceOrDot, ""},
      {"a/./b", false, P::kTrailingSpaceOrDot, ""},
      {"...", false, P::kTrailingSpaceOrDot, ""},
      {"a.", false, P::kTrailingSpaceOrDot, ""},
      {"a.txt.", false, P::kTrailingSpaceOrDot, ""},
      {"a ", false, P::kTrailingSpaceOrDot, ""},
      {"dir /x", false, P::kTrailingSpaceOrDot, ""},
      {"dir./", true, P::kTrailingSpaceOrDot, ""},
      {"CON  ", false, P::kTrailingSpaceOrDot, ""},
      {"nul.", false, P::kTrailingSpaceOrDot, ""},
      {"\x95\x5C..", false, P::kTrailingSpaceOrDot, ""},  // 昞.., not the segment ".."
      {"\x95\x5C..\\x", false, P::kTrailingSpaceOrDot, ""},

      // Reserved device names, any case, any extension, spaces before the dot.
      {"CON", false, P::kReservedDevice, ""},
      {"con", false, P::kReservedDevice, ""},
      {"Con.txt", false, P::kReservedDevice, ""},
      {"con .txt", false, P::kReservedDevice, ""},
      {"con  .  txt", false, P::kReservedDevice, ""},
      {"con.tar.gz", false, P::kReservedDevice, ""},
      {"PRN", false, P::kReservedDevice, ""},
      {"aux.c", false, P::kReservedDevice, ""},
      {"NuL", false, P::kReservedDevice, ""},
      {"COM1", false, P::kReservedDevice, ""},
      {"com9.log", false, P::kReservedDevice, ""},
      {"COM0", false, P::kReservedDevice, ""},
      {"LPT1", false, P::kReservedDevice, ""},
      {"lpt9.txt", false, P::kReservedDevice, ""},
      {"LPT0", false, P::kReservedDevice, ""},
      {"conin$", false, P::kReservedDevice, ""},
      {"CONOUT$.txt", false, P::kReservedDevice, ""},
      {"dir/nul/x.txt", false, P::kReservedDevice, ""},
      {"aux/", true, P::kReservedDevice, ""},
      {"\xD6\xD0/prn.txt", false, P::kReservedDevice, ""},

      // Shaped like generated 8.3 names.
      {"PROGRA~1", true, P::kShortNameForm, ""},
      {"longf~12.txt", false, P::kShortNameForm, ""},
      {"dir/ABCDEF~1.TXT", false, P::kShortNameForm, ""},
      {"A~1/x", false, P::kShortNameForm, ""},
  };
  for (const Case& c : cases) {
    const EntryPathResult result = BuildEntryPath(c.name, c.isFolder);
    EXPECT_EQ(result.problem, c.problem) << Shown(c.name) << (c.isFolder ? " (folder)" : "") << ": "
                                         << NameProblemText(result.problem);
    EXPECT_EQ(result.path, c.path) << Shown(c.name);
  }
}

TEST(EntryPath, TheArchiveReaderKeepsTheRulesTheRecordReaderKeeps) {
  for (const record::test::EntryNameCase& c : record::test::kEntryNameCases) {
    const std::string_view utf8 = c.utf8;
    const std::optional<std::string> name = Utf8ToCp936(utf8);
    ASSERT_TRUE(name.has_value()) << c.utf8;
    const bool isFolder = !utf8.empty() && utf8.back() == '/';
    EXPECT_EQ(BuildEntryPath(*name, isFolder).problem, c.problem) << c.utf8;
  }
}

TEST(EntryPath, TheLimitCountsUtf16UnitsNotBytes) {
  static_assert(kMaxRelativePathUnits == 238);
  EXPECT_EQ(BuildEntryPath(std::string(238, 'a'), false).problem, P::kNone);
  EXPECT_EQ(BuildEntryPath(std::string(239, 'a'), false).problem, P::kTooLong);
  std::string chinese;
  for (int i = 0; i < 238; ++i) chinese += "\xD6\xD0";  // 476 bytes, 238 units
  EXPECT_EQ(BuildEntryPath(chinese, false).problem, P::kNone);
  EXPECT_EQ(BuildEntryPath(chinese + "a", false).problem, P::kTooLong);
  // A folder's trailing separator is part of its path.
  EXPECT_EQ(BuildEntryPath(std::string(237, 'a') + "/", true).problem, P::kNone);
  EXPECT_EQ(BuildEntryPath(std::string(238, 'a') + "/", true).problem, P::kTooLong);
  // The caller's own limit, for a long target folder.
  EXPECT_EQ(BuildEntryPath("bin/a.txt", false, 9).problem, P::kNone);
  EXPECT_EQ(BuildEntryPath("bin/a.txt", false, 8).problem, P::kTooLong);
  EXPECT_EQ(BuildEntryPath("a", false, -1).problem, P::kTooLong);
}

TEST(EntryPath, AnEntryWhoseNameCouldNotBeDecodedIsRefused) {
  ZipEntry entry;
  entry.storedName = "smile-\xF0\x9F\x98\x80.txt";
  entry.utf8Name = true;
  entry.nameDecoded = false;
  EXPECT_EQ(BuildEntryPath(entry).problem, P::kUndecodable);

  entry.nameDecoded = true;
  entry.name = "bin/";
  entry.isFolder = true;
  const EntryPathResult folder = BuildEntryPath(entry);
  EXPECT_EQ(folder.problem, P::kNone);
  EXPECT_EQ(folder.path, "bin\\");
  entry.name = "bin";
  EXPECT_EQ(BuildEntryPath(entry).path, "bin");
}

TEST(EntryPath, EndsWithBackslashTestsTheLastCharacter) {
  struct Case {
    std::string path;
    bool ends;
  };
  const Case cases[] = {
      {"", false},
      {"\\", true},
      {"D:\\Nimbo\\", true},
      {"D:\\Nimbo", false},
      {"D:\\\x95\x5C", false},  // ends in 昞, whose second byte is '\'
      {"D:\\\x95\x5C\\", true},
      {"\x95\x5C\x95\x5C", false},
      {"\x80\\", true},      // the euro sign is one byte
      {"a\x81", false},      // a lone lead byte at the end
      {"\xFF\\", true},      // 0xFF leads nothing
      {"\x81\x30\\", true},  // 0x30 cannot follow a lead byte
      {"D:\\\xD6\xD0\xCE\xC4\\", true},
  };
  for (const Case& c : cases) EXPECT_EQ(EndsWithBackslash(c.path), c.ends) << Shown(c.path);
}

}  // namespace
}  // namespace setup

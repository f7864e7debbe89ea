#pragma once

#include "product/record/EntryName.h"

namespace record::test {

// Names as the installation record holds them (UTF-8, a folder ending in
// '/'), with the rule each breaks. The installer's archive reader, the
// record reader and the uninstaller's list check must all come to the same
// answer for each.
struct EntryNameCase {
  const char* utf8;
  NameProblem problem;
};

inline constexpr EntryNameCase kEntryNameCases[] = {
    {"Nimbo.exe", NameProblem::kNone},
    {"config/", NameProblem::kNone},
    {"config/settings.ini", NameProblem::kNone},
    // 運 is 0xDF 0x5C in code page 936: its second byte is no separator.
    {"\xE6\x8F\x92\xE4\xBB\xB6/\xE5\xA5\xBD\xE9\x81\x8B/", NameProblem::kNone},
    {"docs/read me.txt", NameProblem::kNone},
    {"data/.cache/", NameProblem::kNone},
    {"a.b.c", NameProblem::kNone},
    {"config\\x.ini", NameProblem::kNone},  // either separator
    {"console.txt", NameProblem::kNone},
    {"COM10.txt", NameProblem::kNone},
    {"LPT10", NameProblem::kNone},
    {"backup~1.txt.bak", NameProblem::kNone},

    {"", NameProblem::kEmpty},
    {"//server/share/x", NameProblem::kUnc},
    {"\\\\server\\share\\x", NameProblem::kUnc},
    {"/etc/passwd", NameProblem::kRooted},
    {"\\Windows\\x.dll", NameProblem::kRooted},
    {"C:/Windows/x", NameProblem::kDriveLetter},
    {"file.txt:stream", NameProblem::kColon},
    {"a*b", NameProblem::kForbiddenCharacter},
    {"tab\tname", NameProblem::kForbiddenCharacter},
    {"config//x", NameProblem::kEmptySegment},
    {"../x", NameProblem::kParentSegment},
    {"config/../../x", NameProblem::kParentSegment},
    {"config/./x", NameProblem::kTrailingSpaceOrDot},
    {"config./x", NameProblem::kTrailingSpaceOrDot},
    {"config /x", NameProblem::kTrailingSpaceOrDot},
    {"NUL", NameProblem::kReservedDevice},
    {"docs/con.txt", NameProblem::kReservedDevice},
    {"con .txt", NameProblem::kReservedDevice},
    {"com1", NameProblem::kReservedDevice},
    {"COM0", NameProblem::kReservedDevice},
    {"logs/LPT9.log", NameProblem::kReservedDevice},
    {"CONIN$", NameProblem::kReservedDevice},
    {"conout$.txt", NameProblem::kReservedDevice},
    {"PROGRA~1/", NameProblem::kShortNameForm},
    {"dir/ABCDEF~1.TXT", NameProblem::kShortNameForm},
};

}  // namespace record::test

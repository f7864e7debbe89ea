#pragma once

#include <string_view>

namespace record {

// The one set of rules for the names of what an installation writes into
// its folder: the installer refuses an archive entry that breaks them, and
// the uninstaller refuses an installation record that holds one. A name is a
// path relative to the product folder, '/' or '\' between its levels; a
// folder's name may end with a separator, a file's may not. A name that
// passes stays inside the folder and names the same file on every Windows:
// no drive, share or root, no ".." level, no alternate data stream, no
// character Windows refuses, no level Windows would change (a trailing dot
// or space), no device name, and no level shaped like a generated 8.3 name.

// Why a name is refused. The checks run in this order; those of a level
// (kEmptySegment to kShortNameForm) level by level from the left. The first
// that fails is reported.
enum class NameProblem {
  kNone,
  kUndecodable,         // a UTF-8 name with no code page 936 form (the archive reader's own)
  kEmpty,               // no name at all
  kInvalidEncoding,     // bytes that are not characters of the name's encoding
  kUnc,                 // starts with two separators: "\\server\share", "//server"
  kRooted,              // starts with one separator: "/x", "\x"
  kDriveLetter,         // "C:..." (with or without a separator after it)
  kColon,               // any other ':' (an alternate data stream)
  kForbiddenCharacter,  // < > " | ? * or a character below 32
  kEmptySegment,        // "a//b", or a file name ending in a separator
  kParentSegment,       // a ".." level
  kTrailingSpaceOrDot,  // a level ending in ' ' or '.' (so also ".")
  kReservedDevice,      // CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, any extension
  kShortNameForm,       // a level shaped like a generated 8.3 name ("PROGRA~1")
  kTooLong,             // more UTF-16 units than the limit
};

// A short English description, for logs, messages and tests.
const char* NameProblemText(NameProblem problem);

inline constexpr int kNoLengthLimit = -1;

// The rules on a name given as its characters. Only ASCII characters have a
// meaning to the rules, so a caller may give any other character as any
// value of 0x80 or above (a code page 936 reader that does not decode its
// double-byte characters). Each character counts as one UTF-16 unit toward
// `maxUnits`, one above U+FFFF as two; a folder's trailing separator counts.
NameProblem CheckEntryName(std::u32string_view name, bool isFolder, int maxUnits = kNoLengthLimit);

// A path of the installation record: UTF-8, '/' between levels, a folder
// ending in '/'. Bytes that are not UTF-8 are kInvalidEncoding.
NameProblem CheckRecordPath(std::string_view utf8);

}  // namespace record

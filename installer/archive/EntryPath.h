#pragma once

#include <string>
#include <string_view>

#include "installer/archive/ZipReader.h"
#include "product/record/EntryName.h"

namespace setup {

// The longest relative path an entry may have, in UTF-16 units (every code
// page 936 character is one unit; a folder's trailing '\' counts). Without
// the "\\?\" prefix Windows takes file paths of up to 259 units and folder
// paths of up to 247 (CreateDirectoryW keeps room for an 8.3 name). With the
// default folder "D:\Nimbo\" (9 units) every path stays within 247. An
// install action that allows a longer folder passes 247 minus its length.
inline constexpr int kMaxRelativePathUnits = 238;

// Why an entry name cannot be written: the rules the uninstaller's record
// reader applies too.
using record::NameProblem;
using record::NameProblemText;

struct EntryPathResult {
  NameProblem problem = NameProblem::kNone;
  // The relative Windows path, every '/' turned into '\' (a folder keeps its
  // trailing separator); empty unless problem is kNone.
  std::string path;
};

// Decides whether an entry name (code page 936) can be written inside the
// target folder as a plain file or folder of that very name, and builds its
// relative path. Both '/' and '\' separate segments, found character by
// character: the '\' in "\x95\x5C" is the second byte of a character, not a
// separator. A separator at the end is allowed for folders only.
EntryPathResult BuildEntryPath(std::string_view name, bool isFolder, int maxUnits = kMaxRelativePathUnits);

// The same for an archive entry, refusing a name that could not be decoded.
EntryPathResult BuildEntryPath(const ZipEntry& entry, int maxUnits = kMaxRelativePathUnits);

// Whether the last character (not the last byte) of a code page 936 path is
// '\': "a\x95\x5C" does not end with a backslash. Bytes that are not a
// character count as characters of one byte.
bool EndsWithBackslash(std::string_view path);

}  // namespace setup

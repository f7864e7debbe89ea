#pragma once

#include <string_view>

namespace setup {

// What makes a typed installation folder unusable, found before anything is
// written. Paths are UTF-16, where a backslash is always a separator.
enum class TargetProblem {
  kNone,
  kRelative,   // not a full path: "Nimbo", "D:Nimbo", "\Nimbo" depend on the current folder or drive
  kDriveRoot,  // the top of a drive or of a share: "D:\", "\\server\share\"
  kTooLong,    // the deepest entry would not fit under it
};

// Folder paths Windows makes without the "\\?\" form: up to 247 UTF-16 units
// (CreateDirectoryW keeps room for an 8.3 name).
inline constexpr int kLongestFolderPathUnits = 247;

// `typed` is the folder as given; `full` is its full form (GetFullPathNameW)
// with a trailing backslash; `longestEntryUnits` the longest relative path
// of the payload's entries.
TargetProblem CheckTargetPath(std::wstring_view typed, std::wstring_view full, int longestEntryUnits);

}  // namespace setup

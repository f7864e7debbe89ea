#pragma once

// What the fuzz targets hold an entry's path to, and how they stop on a
// broken promise.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "installer/archive/Cp936Text.h"
#include "installer/archive/EntryPath.h"
#include "engine/testing/FuzzCheck.h"

namespace setup::fuzz {

using ::fuzz::Check;

// The path's segments, split at separators found character by character
// ('\' may be the second byte of a character); a folder's final separator
// ends the last segment.
inline std::vector<std::string> Segments(std::string_view path) {
  std::vector<std::string> segments(1);
  for (std::size_t at = 0; at < path.size();) {
    const std::size_t length = std::max<std::size_t>(1, setup::Cp936CharLength(path, at));
    if (length == 1 && path[at] == '\\') segments.emplace_back();
    else segments.back().append(path, at, length);
    at += length;
  }
  if (setup::EndsWithBackslash(path)) segments.pop_back();
  return segments;
}

inline void CheckSegments(std::string_view path) {
  for (const std::string& segment : Segments(path)) {
    Check(!segment.empty(), "no empty segment");
    Check(segment != "..", "no \"..\" segment");
    Check(segment.back() != '.' && segment.back() != ' ', "no segment ends in a dot or a space");
  }
}

inline void CheckPath(const std::string& path, bool isFolder) {
  Check(!path.empty(), "a safe name has a path");
  Check(path.find(':') == std::string::npos, "no ':' in a path");
  Check(path.find('/') == std::string::npos, "every '/' became '\\'");
  Check(path[0] != '\\', "a path does not start with a separator");
  Check(!setup::EndsWithBackslash(path) || isFolder, "only a folder ends in a separator");
  CheckSegments(path);
}

}  // namespace setup::fuzz

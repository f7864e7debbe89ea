#include "TargetPath.h"

namespace setup {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "X:\" or "X:/" at the start.
bool StartsWithDrive(std::wstring_view path) {
  return path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

// "\\server\share" at the start, both parts named; the length of that part
// (without a separator after the share), or 0.
std::size_t ShareLength(std::wstring_view path) {
  if (path.size() < 5 || !IsSeparator(path[0]) || !IsSeparator(path[1]) || IsSeparator(path[2])) return 0;
  std::size_t at = 2;
  while (at < path.size() && !IsSeparator(path[at])) ++at;
  if (at + 1 >= path.size() || IsSeparator(path[at + 1])) return 0;
  ++at;
  while (at < path.size() && !IsSeparator(path[at])) ++at;
  return at;
}

// Whether nothing but separators follows the first `length` units.
bool OnlySeparatorsAfter(std::wstring_view path, std::size_t length) {
  for (std::size_t at = length; at < path.size(); ++at) {
    if (!IsSeparator(path[at])) return false;
  }
  return true;
}

}  // namespace

TargetProblem CheckTargetPath(std::wstring_view typed, std::wstring_view full, int longestEntryUnits) {
  // The "\\?\" and "\\.\" forms are devices and long paths, not folders a
  // user types.
  const bool device = typed.size() >= 4 && IsSeparator(typed[0]) && IsSeparator(typed[1]) &&
                      (typed[2] == L'?' || typed[2] == L'.') && IsSeparator(typed[3]);
  if (device || (!StartsWithDrive(typed) && ShareLength(typed) == 0)) return TargetProblem::kRelative;
  if ((StartsWithDrive(full) && OnlySeparatorsAfter(full, 2)) ||
      (ShareLength(full) > 0 && OnlySeparatorsAfter(full, ShareLength(full)))) {
    return TargetProblem::kDriveRoot;
  }
  if (static_cast<long long>(full.size()) + longestEntryUnits > kLongestFolderPathUnits) return TargetProblem::kTooLong;
  return TargetProblem::kNone;
}

}  // namespace setup

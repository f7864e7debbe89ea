#pragma once

#include <cstdint>
#include <string>

#include "InstallOutcome.h"

namespace setup {

// The installation's target, made absolute and checked before anything is
// written: a full path (GetFullPathNameW), not the top of a drive or share,
// on a drive that exists, short enough for the payload's deepest entry.
struct ResolvedTarget {
  InstallOutcome problem = InstallOutcome::Installed;  // Installed: usable
  std::wstring full;                                   // ending with a backslash
};
ResolvedTarget ResolveTarget(const std::wstring& chosen, int longestEntryUnits);

// Whether the drive holding the target (or the part of it that exists)
// has room for `bytes` more.
bool HasRoomFor(const std::wstring& target, std::uint64_t bytes);

}  // namespace setup

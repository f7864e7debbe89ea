#include "FolderAccess.h"

namespace setup {

bool OthersMayChange(Trustee owner, bool hasAccessList, std::span<const AccessEntry> entries) {
  if (owner != Trustee::kTrusted || !hasAccessList) return true;
  for (const AccessEntry& entry : entries) {
    if (!entry.allow || entry.inheritOnly || (entry.mask & kChangeRights) == 0) continue;
    // OWNER RIGHTS stands for the owner, who is trusted here.
    if (entry.trustee == Trustee::kOther) return true;
  }
  return false;
}

}  // namespace setup

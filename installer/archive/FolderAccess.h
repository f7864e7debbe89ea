#pragma once

#include <cstdint>
#include <span>

namespace setup {

// Whether a folder's security lets someone other than the machine's
// administrators change what is in it: the question the installer asks of
// a target folder that was there before it. Window-free: the Windows glue
// reads the folder's owner and access list and sorts each account into one
// of two kinds.
enum class Trustee {
  kTrusted,      // Administrators, SYSTEM, TrustedInstaller, the installing account itself
  kOwnerRights,  // OWNER RIGHTS: whatever the owner is
  kOther,        // anyone else: a standard user, Users, Authenticated Users, Everyone
};

struct AccessEntry {
  bool allow = true;         // an allowing entry (any kind but a denying one)
  bool inheritOnly = false;  // applies to what is made inside, not the folder itself
  Trustee trustee = Trustee::kOther;
  std::uint32_t mask = 0;
};

// The rights that change a folder or what it holds: add a file or folder,
// write extended attributes or attributes, delete a child or the folder,
// change its permissions or owner, and the generic rights that include them.
inline constexpr std::uint32_t kChangeRights = 0x00000002u     // FILE_ADD_FILE
                                               | 0x00000004u   // FILE_ADD_SUBDIRECTORY
                                               | 0x00000010u   // FILE_WRITE_EA
                                               | 0x00000040u   // FILE_DELETE_CHILD
                                               | 0x00000100u   // FILE_WRITE_ATTRIBUTES
                                               | 0x00010000u   // DELETE
                                               | 0x00040000u   // WRITE_DAC
                                               | 0x00080000u   // WRITE_OWNER
                                               | 0x10000000u   // GENERIC_ALL
                                               | 0x40000000u;  // GENERIC_WRITE

// True when anyone but the trusted may change the folder: its owner is not
// trusted (an owner may always rewrite the permissions), it has no access
// list at all (everyone may do everything), or an allowing entry that
// applies to the folder gives one of kChangeRights to anyone else. Denying
// entries are not counted: whether one wins depends on their order, and a
// folder the rules cannot vouch for is refused.
bool OthersMayChange(Trustee owner, bool hasAccessList, std::span<const AccessEntry> entries);

}  // namespace setup

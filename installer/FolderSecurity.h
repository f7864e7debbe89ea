#pragma once

#include <string>

#include "engine/core/Win32.h"

namespace setup {

// The security of a folder the installation writes into, read and set
// through a handle held open on it (never by a name that might have come to
// mean another folder).

enum class FolderTrust {
  kOnlyAdministrators,  // only Administrators, SYSTEM and the installing account may change it
  kOthersMayChange,     // a standard user, Users, Everyone... may write, delete or change its permissions
  kUnknown,             // its security could not be read
};

// Whether anyone but the machine's administrators may change the folder
// (the handle has READ_CONTROL); `who` names one such account (as a SID),
// for the log.
FolderTrust ReadFolderTrust(HANDLE folder, std::wstring* who);

// Gives the folder the installation's descriptor: owner Administrators and
// the protected access list of an installation folder, inherited by what is
// made in it (the handle has WRITE_DAC and WRITE_OWNER). False with the
// error when Windows refused.
bool ProtectFolder(HANDLE folder, DWORD* error);

}  // namespace setup

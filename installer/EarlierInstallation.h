#pragma once

#include <optional>
#include <string>

#include "CommandLine.h"

namespace setup {

// The folder of an earlier installation of Nimbo, as the Uninstall key's
// `InstallLocation` names it: a full path, ending with a backslash. Nothing
// when there is no key, or its value is no full path.
std::optional<std::wstring> EarlierInstallationFolder();

// The folder offered to install to (code page 936): the one `/D=` gives,
// else the earlier installation's, as a reinstallation goes where the
// product already is, else the default.
std::string OfferedFolder(const SetupOptions& options);

// Whether the folder holds an installation's record (a plain file).
bool HoldsInstallationRecord(const std::wstring& folder);

// Removes the installation in `folder` by its own record, once a new one in
// another folder has been committed, so that the machine holds one Nimbo
// with one key: every recorded item that is still what was installed, then
// the record, then the folder when nothing is left in it. What the user put
// there is kept; the log says what was removed and kept.
void RemoveEarlierInstallation(const std::wstring& folder);

}  // namespace setup

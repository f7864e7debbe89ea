#pragma once

#include <string>

namespace uninstall {

// What the installer leaves outside the product folder: the product's
// entry in the system's list of installed programs and the shortcut on the
// current user's desktop.
inline constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbo";
inline constexpr wchar_t kShortcutName[] = L"Nimbo.lnk";

// Removes HKEY_LOCAL_MACHINE\<kUninstallKey> with everything under it;
// true when it is gone, also when it was not there.
bool RemoveUninstallEntry();

// The shortcut's path on the current user's desktop; empty when the
// desktop folder is unknown.
std::wstring DesktopShortcutPath();

// Deletes the desktop shortcut; true when it is gone, also when it was not
// there. A folder of that name is not the shortcut and stays.
bool RemoveDesktopShortcut();

}  // namespace uninstall

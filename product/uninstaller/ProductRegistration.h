#pragma once

#include <string>

namespace uninstall {

// What the installer leaves outside the product folder: the product's
// entry in the system's list of installed programs and the shortcut on the
// current user's desktop. An uninstaller removes them only when they belong
// to its own installation: an uninstaller copied elsewhere, or an older
// folder's, leaves another installation's entry and shortcut alone.
inline constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbo";
inline constexpr wchar_t kShortcutName[] = L"Nimbo.lnk";
inline constexpr wchar_t kProductProgram[] = L"Nimbo.exe";

enum class Removal {
  kRemoved,  // removed, or it was not there
  kNotOurs,  // it belongs to another installation (or is no shortcut): left alone
  kFailed,   // it is ours and could not be removed
};

// Removes HKEY_LOCAL_MACHINE\<kUninstallKey> with everything under it when
// its InstallLocation is `folder` (a full path, with or without a trailing
// separator).
Removal RemoveUninstallEntry(const std::wstring& folder);

// The shortcut's path on the current user's desktop; empty when the
// desktop folder is unknown.
std::wstring DesktopShortcutPath();

// Deletes the desktop shortcut when it is a plain file (no link, no
// folder) holding a shell link to `folder`'s Nimbo.exe, through the handle
// it was read by. The calling thread must have COM.
Removal RemoveDesktopShortcut(const std::wstring& folder);

}  // namespace uninstall

#pragma once

#include <string>

namespace setup {

inline constexpr char kShortcutName[] = "Nimbo";
inline constexpr char kShortcutDescription[] = "Nimbo - 星桥云帆";
inline constexpr wchar_t kProductProgram[] = L"Nimbo.exe";

// The start window's close query, after the close effect. Puts the desktop
// shortcut "Nimbo" to the installed program on the current user's desktop,
// but only when the close request (CancelInstallationOnClose, the one place
// a close closes the installation) found the product installed and
// registered. Before an installation, or after one that failed, there is
// nothing to point at, so no shortcut is made.
void OnStartWindowCloseQuery();

// Puts the shortcut to the program in the folder (ending in "\") on the
// current user's desktop.
void MakeDesktopShortcut(const std::wstring& folder);

// The full path of the desktop shortcut file ("...\Nimbo.lnk"), or empty
// when the desktop folder cannot be found.
std::string DesktopShortcutPath();

}  // namespace setup

#include "ProductRegistration.h"

#include "engine/core/Shell.h"
#include "engine/core/Win32.h"

namespace uninstall {

bool RemoveUninstallEntry() {
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::wstring DesktopShortcutPath() {
  const std::wstring desktop = ui::DesktopFolder();
  return desktop.empty() ? std::wstring() : desktop + L'\\' + kShortcutName;
}

bool RemoveDesktopShortcut() {
  const std::wstring path = DesktopShortcutPath();
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return DeleteFileW(path.c_str()) != 0;
}

}  // namespace uninstall

#include "ProductRegistration.h"

#include <cwctype>
#include <optional>
#include <vector>

#include "engine/core/FileIdentity.h"
#include "engine/core/Shell.h"
#include "engine/core/ShellLink.h"
#include "engine/core/Win32.h"

namespace uninstall {
namespace {

// A shell link is a few kilobytes; anything far larger is not one.
constexpr LONGLONG kLargestShortcut = 1024 * 1024;

std::wstring Normalised(std::wstring path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towupper(c));
  return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return Normalised(a) == Normalised(b); }

std::optional<std::wstring> InstallLocation() {
  DWORD size = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

bool KeyExists() {
  HKEY key = nullptr;
  const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key);
  if (status == ERROR_SUCCESS) RegCloseKey(key);
  return status != ERROR_FILE_NOT_FOUND;
}

std::vector<std::uint8_t> ReadThrough(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart > kLargestShortcut) return {};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
    return {};
  }
  return bytes;
}

// Where the desktop folder really is (it may be redirected elsewhere).
std::wstring DesktopFinalPath() {
  HANDLE desktop = CreateFileW(ui::DesktopFolder().c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (desktop == INVALID_HANDLE_VALUE) return {};
  std::wstring final = ui::FinalPath(desktop);
  CloseHandle(desktop);
  return final;
}

}  // namespace

Removal RemoveUninstallEntry(const std::wstring& folder) {
  if (!KeyExists()) return Removal::kRemoved;
  const std::optional<std::wstring> location = InstallLocation();
  if (!location || !SamePath(*location, folder)) return Removal::kNotOurs;
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? Removal::kRemoved : Removal::kFailed;
}

std::wstring DesktopShortcutPath() {
  const std::wstring desktop = ui::DesktopFolder();
  return desktop.empty() ? std::wstring() : desktop + L'\\' + kShortcutName;
}

Removal RemoveDesktopShortcut(const std::wstring& folder) {
  const std::wstring path = DesktopShortcutPath();
  if (path.empty()) return Removal::kFailed;
  // The name itself, a link as the link: what it leads to is never read.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Removal::kRemoved : Removal::kFailed;
  }
  FILE_BASIC_INFO basic{};
  BY_HANDLE_FILE_INFORMATION information{};
  const bool plainFile = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) &&
                         (basic.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
                         !ui::IsLink(file, path) && GetFileInformationByHandle(file, &information) &&
                         information.nNumberOfLinks == 1 &&
                         // Where links are no reparse points of their own
                         // (Wine's view of a host's link), the handle has
                         // followed it: it is then somewhere else.
                         SamePath(ui::FinalPath(file), DesktopFinalPath() + L'\\' + kShortcutName);
  const std::optional<std::wstring> target = plainFile ? ui::ShellLinkTarget(ReadThrough(file)) : std::nullopt;
  if (!target || !SamePath(*target, Normalised(folder) + L'\\' + kProductProgram)) {
    CloseHandle(file);
    return Removal::kNotOurs;
  }
  if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  const bool deleted = SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
  CloseHandle(file);
  return deleted ? Removal::kRemoved : Removal::kFailed;
}

}  // namespace uninstall

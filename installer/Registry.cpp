#include "Registry.h"

#include <cwchar>
#include <utility>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

namespace setup {
namespace {

HKEY RootKey(int root) {
  switch (root) {
    case 1:
      return HKEY_CLASSES_ROOT;
    case 2:
      return HKEY_CURRENT_CONFIG;
    case 4:
      return HKEY_LOCAL_MACHINE;
    case 5:
      return HKEY_USERS;
    default:
      return HKEY_CURRENT_USER;
  }
}

// A value's path split at its last backslash: the key, the value's name.
std::pair<std::wstring, std::wstring> SplitPath(const std::string& path) {
  const std::size_t split = path.rfind('\\');
  return {ui::AnsiToWide(split == std::string::npos ? std::string() : path.substr(0, split)),
          ui::AnsiToWide(split == std::string::npos ? path : path.substr(split + 1))};
}

// Writes one value of the given type and bytes; see WriteRegistryText.
bool WriteRegistryValue(int root, const std::string& path, DWORD type, const BYTE* bytes, DWORD count) {
  const auto [key, name] = SplitPath(path);
  HKEY opened = nullptr;
  if (RegOpenKeyExW(RootKey(root), key.c_str(), 0, KEY_WRITE, &opened) != ERROR_SUCCESS &&
      RegCreateKeyExW(RootKey(root), key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) !=
          ERROR_SUCCESS) {
    return false;
  }
  const LSTATUS status = RegSetValueExW(opened, name.empty() ? nullptr : name.c_str(), 0, type, bytes, count);
  RegCloseKey(opened);
  return status == ERROR_SUCCESS;
}

}  // namespace

bool WriteRegistryText(int root, const std::string& path, const std::string& text) {
  const std::wstring data = ui::AnsiToWide(text);
  // REG_SZ is stored with its terminating zero.
  return WriteRegistryValue(root, path, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> ReadRegistryText(int root, const std::string& path) {
  const auto [key, name] = SplitPath(path);
  DWORD size = 0;
  if (RegGetValueW(RootKey(root), key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(RootKey(root), key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr,
                   text.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

bool WriteRegistryNumber(int root, const std::string& path, std::uint32_t number) {
  const DWORD data = number;
  return WriteRegistryValue(root, path, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

bool DeleteRegistryTree(int root, const std::string& key) {
  const LSTATUS status = RegDeleteTreeW(RootKey(root), ui::AnsiToWide(key).c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace setup

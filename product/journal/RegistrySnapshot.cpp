#include "RegistrySnapshot.h"

#include "Registry.h"
#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

namespace setup {
namespace {

HKEY RootKey(int root) { return root == kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

}  // namespace

RegistrySnapshot RegistrySnapshot::Take(int root, const std::string& key) {
  RegistrySnapshot snapshot;
  snapshot.root_ = root;
  snapshot.key_ = ui::AnsiToWide(key);
  HKEY opened = nullptr;
  if (RegOpenKeyExW(RootKey(root), snapshot.key_.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return snapshot;
  snapshot.existed_ = true;
  DWORD longestName = 0, largestData = 0;
  RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName, &largestData,
                   nullptr, nullptr);
  std::vector<wchar_t> name(longestName + 2);
  std::vector<unsigned char> data(largestData + 2);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    if (RegEnumValueW(opened, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    snapshot.values_.push_back(
        {std::wstring(name.data(), nameLength), type, std::vector<unsigned char>(data.begin(), data.begin() + dataSize)});
  }
  RegCloseKey(opened);
  return snapshot;
}

bool RegistrySnapshot::Restore() const {
  if (!existed_) {
    const LSTATUS status = RegDeleteTreeW(RootKey(root_), key_.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  HKEY opened = nullptr;
  if (RegCreateKeyExW(RootKey(root_), key_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  // Values that were not there go first, then the old ones come back.
  std::vector<std::wstring> now;
  wchar_t name[16384];
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumValueW(opened, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    now.emplace_back(name, length);
  }
  bool restored = true;
  for (const std::wstring& value : now) {
    bool kept = false;
    for (const Value& old : values_) kept = kept || old.name == value;
    if (!kept) restored = RegDeleteValueW(opened, value.c_str()) == ERROR_SUCCESS && restored;
  }
  for (const Value& old : values_) {
    restored = RegSetValueExW(opened, old.name.empty() ? nullptr : old.name.c_str(), 0, old.type, old.data.data(),
                              static_cast<DWORD>(old.data.size())) == ERROR_SUCCESS &&
               restored;
  }
  RegCloseKey(opened);
  return restored;
}

}  // namespace setup

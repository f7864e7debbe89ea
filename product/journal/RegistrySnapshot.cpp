#include "RegistrySnapshot.h"

#include <charconv>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

namespace product {
namespace {

HKEY RootKey() { return HKEY_LOCAL_MACHINE; }

}  // namespace

RegistrySnapshot RegistrySnapshot::Take(const std::wstring& key) {
  RegistrySnapshot snapshot;
  snapshot.key_ = key;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(RootKey(), snapshot.key_.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return snapshot;
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
    snapshot.values_.push_back({std::wstring(name.data(), nameLength), type,
                                std::vector<unsigned char>(data.begin(), data.begin() + dataSize)});
  }
  RegCloseKey(opened);
  return snapshot;
}

bool RegistrySnapshot::Restore() const {
  if (!existed_) {
    const LSTATUS status = RegDeleteTreeW(RootKey(), key_.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  HKEY opened = nullptr;
  if (RegCreateKeyExW(RootKey(), key_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &opened, nullptr) !=
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

std::vector<std::string> RegistrySnapshot::Fields() const {
  std::vector<std::string> fields{existed_ ? "1" : "0"};
  if (!existed_) return fields;
  for (const Value& value : values_) {
    fields.push_back(ui::WideToAnsi(value.name, CP_UTF8));
    fields.push_back(std::to_string(value.type));
    fields.emplace_back(value.data.begin(), value.data.end());
  }
  return fields;
}

std::optional<RegistrySnapshot> RegistrySnapshot::FromFields(const std::wstring& key,
                                                             const std::vector<std::string>& fields) {
  if (fields.empty() || (fields[0] != "0" && fields[0] != "1") || (fields.size() - 1) % 3 != 0 ||
      (fields[0] == "0" && fields.size() != 1)) {
    return std::nullopt;
  }
  RegistrySnapshot snapshot;
  snapshot.key_ = key;
  snapshot.existed_ = fields[0] == "1";
  for (std::size_t at = 1; at < fields.size(); at += 3) {
    unsigned long type = 0;
    const std::string& typeText = fields[at + 1];
    const auto [end, error] = std::from_chars(typeText.data(), typeText.data() + typeText.size(), type);
    if (error != std::errc() || end != typeText.data() + typeText.size()) return std::nullopt;
    snapshot.values_.push_back({ui::AnsiToWide(fields[at], CP_UTF8), type,
                                std::vector<unsigned char>(fields[at + 2].begin(), fields[at + 2].end())});
  }
  return snapshot;
}

}  // namespace product

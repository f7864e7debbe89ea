#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace setup {

// The registry roots by number: 1 HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_CONFIG,
// 3 HKEY_CURRENT_USER, 4 HKEY_LOCAL_MACHINE, 5 HKEY_USERS; any other number
// is HKEY_CURRENT_USER.
inline constexpr int kLocalMachine = 4;

// Writes one REG_SZ value. The path is split at its last backslash: the key
// before it, the value name after it (empty: the key's default value). The
// key is opened for writing, or created. True only when the value was set.
bool WriteRegistryText(int root, const std::string& path, const std::string& text);

// Reads one REG_SZ value, the path split as above; nothing when there is
// no such value of that type.
std::optional<std::wstring> ReadRegistryText(int root, const std::string& path);

// Writes one REG_DWORD value, the path split as above.
bool WriteRegistryNumber(int root, const std::string& path, std::uint32_t number);

// Removes a key and everything under it; true when it is gone.
bool DeleteRegistryTree(int root, const std::string& key);

}  // namespace setup

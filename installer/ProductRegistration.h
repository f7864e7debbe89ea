#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace setup {

// The product in the system's list of installed programs: the eight values
// of the product, then what Windows shows and uses for an installed program
// (its folder, its size in KB, no modify or repair, the silent
// uninstaller), under HKEY_LOCAL_MACHINE\<kUninstallKey>, in their order.
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbo";

struct RegistryValue {
  std::string name;                     // empty: the key's default value
  std::string data;                     // a REG_SZ value's text
  std::optional<std::uint32_t> number;  // set for a REG_DWORD value
};
// For a product installed in `folder` (ending in "\") whose files take
// `installedBytes`.
std::vector<RegistryValue> UninstallValues(const std::string& folder, std::uint64_t installedBytes);

// Writes those values; false at the first that cannot be written (the
// caller puts the key back as it was).
bool RegisterProduct(const std::string& folder, std::uint64_t installedBytes);

}  // namespace setup

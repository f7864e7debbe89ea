#include "ProductRegistration.h"

#include "InstallLog.h"
#include "Registry.h"

namespace setup {

std::vector<RegistryValue> UninstallValues(const std::string& folder, std::uint64_t installedBytes) {
  const auto text = [](std::string name, std::string data) {
    return RegistryValue{std::move(name), std::move(data), {}};
  };
  const auto number = [](std::string name, std::uint32_t value) { return RegistryValue{std::move(name), {}, value}; };
  return {
      text("", ""),
      text("DisplayIcon", folder + "nimbo.exe"),
      text("DisplayName", "Nimbo"),
      text("DisplayVersion", "2.0.1002"),
      text("HelpLink", "https://nimbo.quorvane.com/help"),
      text("Publisher", "Quorvane"),
      // Quoted: the folder may hold spaces.
      text("UninstallString", "\"" + folder + "uninstall.exe\""),
      text("URLInfoAbout", "https://nimbo.quorvane.com/"),
      text("InstallLocation", folder),
      // KB, rounded up, as Windows shows it.
      number("EstimatedSize", static_cast<std::uint32_t>((installedBytes + 1023) / 1024)),
      number("NoModify", 1),
      number("NoRepair", 1),
      text("QuietUninstallString", "\"" + folder + "uninstall.exe\" /S"),
  };
}

bool RegisterProduct(const std::string& folder, std::uint64_t installedBytes) {
  for (const RegistryValue& value : UninstallValues(folder, installedBytes)) {
    const std::string path = std::string(kUninstallKey) + "\\" + value.name;
    const bool written = value.number ? WriteRegistryNumber(kLocalMachine, path, *value.number)
                                      : WriteRegistryText(kLocalMachine, path, value.data);
    if (!written) {
      LogLine("registry: could not write " + path);
      return false;
    }
    LogLine("registry: HKLM\\" + path + " = " +
            (value.number ? std::to_string(*value.number) + " (DWORD)" : value.data));
  }
  return true;
}

}  // namespace setup

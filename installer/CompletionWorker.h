#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/Win32.h"

namespace setup {

// The installer's second thread: animates the progress bar to 100, waits
// for the payload (installDone), registers the product, reports completion,
// waits two seconds, starts the product and asks the window to close. When
// the installation failed it registers and starts nothing: the status box
// gets the failure line and the window stays open.
DWORD WINAPI CompletionWorker(void* unused);

// What the worker writes: the eight values of the product, then what
// Windows shows and uses for an installed program (its folder, its size in
// KB, no modify or repair, the silent uninstaller), under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Nimbo,
// in their order, for a product installed in `folder` (ending in "\").
struct RegistryValue {
  std::string name;  // empty: the key's default value
  std::string data;  // a REG_SZ value's text
  std::optional<std::uint32_t> number;  // set for a REG_DWORD value
};
// Writes those values, all or none; true when all were written.
bool RegisterProduct(const std::string& folder);

// Starts the installed product with its parameters, and logs it.
void LaunchProduct(const std::string& folder);

inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbo";
std::vector<RegistryValue> UninstallValues(const std::string& folder);

inline constexpr char kCompletionLine[] = "\r\n已完成安装，即将启动Nimbo";
inline constexpr char kLaunchParameters[] = "[Run_With_AutoUpdate]";

}  // namespace setup

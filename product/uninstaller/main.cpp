// The Nimbo uninstaller: removes what the installer put on the computer.
// Usage: uninstall.exe [/S]
#include <string>
#include <vector>

#include "ExitCodes.h"
#include "Switches.h"
#include "Uninstaller.h"
#include "engine/core/Shell.h"
#include "engine/core/SystemLibraries.h"
#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

namespace {

std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> arguments = ui::CommandLineArguments(GetCommandLineW());
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's name
  return arguments;
}

bool Silent(const std::vector<std::wstring>& arguments) {
  for (const std::wstring& argument : arguments) {
    if (argument == L"/S" || argument == L"/s") return true;
  }
  return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL: the uninstaller runs elevated, and its
  // copy from the temporary folder, where anyone may have left a DLL.
  ui::RestrictLibrarySearch();
  const std::vector<std::wstring> arguments = Arguments();
  std::wstring error;
  const std::optional<uninstall::Switches> switches = uninstall::ParseSwitches(arguments, &error);
  if (!switches) {
    // A caller that asked for silence gets none of our dialogs, even now.
    if (!Silent(arguments)) {
      const std::wstring message = ui::AnsiToWide("用法：uninstall.exe [/S]") + L"\r\n\r\n" + error;
      MessageBoxW(nullptr, message.c_str(), ui::AnsiToWide("Nimbo 卸载").c_str(), MB_OK | MB_ICONERROR);
    }
    return uninstall::kExitRefused;
  }
  return switches->IsCopy() ? uninstall::RunTemporaryCopy(*switches) : uninstall::RunFromProductFolder(*switches);
}

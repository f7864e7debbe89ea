#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace uninstall {

// The uninstaller's command line. Users give at most "/S" (silent: no
// dialogs). The temporary copy that does the removing is started with
// "/REMOVEFROM=<product folder>", "/WAITFOR=<handle>" (the inherited
// handle of the run that started it), "/REPORTTO=<handle>" (the inherited
// pipe its result goes back through) and "/S" when that run had it.
struct Switches {
  bool silent = false;
  std::wstring removeFrom;
  std::optional<std::uint32_t> waitFor;
  std::optional<std::uint32_t> reportTo;

  bool IsCopy() const { return !removeFrom.empty(); }
};

// Reads the arguments after the program name; switches are case-blind.
// Unknown, repeated or incomplete switches give no result and the reason
// in `error`.
std::optional<Switches> ParseSwitches(std::span<const std::wstring> arguments, std::wstring* error);

// One argument quoted so that the Windows command-line rules read it back
// unchanged (backslashes are literal except before a quote).
std::wstring QuoteArgument(std::wstring_view argument);

// The full command line of the temporary copy.
std::wstring CopyCommandLine(std::wstring_view program, std::wstring_view folder, std::uint32_t waitHandle,
                             std::uint32_t reportHandle, bool silent);

}  // namespace uninstall

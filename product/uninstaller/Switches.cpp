#include "Switches.h"

#include <algorithm>
#include <cwctype>

namespace uninstall {
namespace {

constexpr std::wstring_view kSilent = L"/S";
constexpr std::wstring_view kRemoveFrom = L"/REMOVEFROM=";
constexpr std::wstring_view kWaitFor = L"/WAITFOR=";
constexpr std::wstring_view kReportTo = L"/REPORTTO=";

bool StartsWithSwitch(std::wstring_view argument, std::wstring_view name) {
  if (argument.size() < name.size()) return false;
  return std::equal(name.begin(), name.end(), argument.begin(),
                    [](wchar_t a, wchar_t b) { return a == static_cast<wchar_t>(std::towupper(b)); });
}

std::optional<std::uint32_t> ParseHandle(std::wstring_view digits) {
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t ch : digits) {
    if (ch < L'0' || ch > L'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(ch - L'0');
  }
  if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<Switches> ParseSwitches(std::span<const std::wstring> arguments, std::wstring* error) {
  Switches switches;
  bool silentSeen = false;
  for (const std::wstring& argument : arguments) {
    if (argument.size() == kSilent.size() && StartsWithSwitch(argument, kSilent) && !silentSeen) {
      switches.silent = silentSeen = true;
    } else if (StartsWithSwitch(argument, kRemoveFrom) && switches.removeFrom.empty() &&
               argument.size() > kRemoveFrom.size()) {
      switches.removeFrom = argument.substr(kRemoveFrom.size());
    } else if (StartsWithSwitch(argument, kWaitFor) && !switches.waitFor) {
      switches.waitFor = ParseHandle(std::wstring_view(argument).substr(kWaitFor.size()));
      if (!switches.waitFor) {
        *error = L"bad handle: " + argument;
        return std::nullopt;
      }
    } else if (StartsWithSwitch(argument, kReportTo) && !switches.reportTo) {
      switches.reportTo = ParseHandle(std::wstring_view(argument).substr(kReportTo.size()));
      if (!switches.reportTo) {
        *error = L"bad handle: " + argument;
        return std::nullopt;
      }
    } else {
      *error = L"unknown or repeated switch: " + argument;
      return std::nullopt;
    }
  }
  if (switches.removeFrom.empty() != !switches.waitFor || switches.removeFrom.empty() != !switches.reportTo) {
    *error = L"/REMOVEFROM=, /WAITFOR= and /REPORTTO= go together";
    return std::nullopt;
  }
  return switches;
}

std::wstring QuoteArgument(std::wstring_view argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
    return std::wstring(argument);
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t ch : argument) {
    if (ch == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quote: there they are doubled, and
    // one more escapes the quote itself.
    quoted.append(ch == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    quoted += ch;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, L'\\');  // before the closing quote
  quoted += L'"';
  return quoted;
}

std::wstring CopyCommandLine(std::wstring_view program, std::wstring_view folder, std::uint32_t waitHandle,
                             std::uint32_t reportHandle, bool silent) {
  std::wstring line = QuoteArgument(program);
  line += L' ' + QuoteArgument(std::wstring(kRemoveFrom) + std::wstring(folder));
  line += L' ' + std::wstring(kWaitFor) + std::to_wstring(waitHandle);
  line += L' ' + std::wstring(kReportTo) + std::to_wstring(reportHandle);
  if (silent) line += L' ' + std::wstring(kSilent);
  return line;
}

}  // namespace uninstall

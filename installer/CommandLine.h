#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// What the installer's command line asks for. Switches are case-blind:
//   /S          install without the window (silent)
//   /LAUNCH     with /S: start the product afterwards
//   /D=<folder> the target folder; the rest of the line, so that a folder
//               with spaces needs no quotes (it must come last)
//   /LOG=<file> where the install log goes; quotes allowed
//   /?          show the usage
struct SetupOptions {
  bool silent = false;
  bool launch = false;
  bool usage = false;
  std::optional<std::string> folder;
  std::optional<std::string> logFile;
  // Empty when the line is understood; else what was wrong with it.
  std::string error;
};

// Parses the arguments: the command line after the program's name, in the
// program's code page.
SetupOptions ParseSetupArguments(std::string_view arguments);

// The arguments of a whole command line: what follows the program's name,
// which may be quoted, and the blanks after it.
std::string_view ArgumentsOf(std::string_view commandLine);

// The usage message for /? and for a line that is not understood.
std::string SetupUsage();

}  // namespace setup

#pragma once

#include <string>

namespace setup {

// The installer runs elevated; the product it starts at the end must not.
// Windows offers no direct way to start a program with fewer rights, but
// the desktop's shell runs as the user who logged on, unelevated: it is
// asked to start the program (IShellDispatch2::ShellExecute on the
// desktop's shell view). The calling thread needs no COM of its own.

// Whether this process runs with administrator rights that the user's
// desktop does not have (an elevated token).
bool ProcessIsElevated();

// Starts the file with the verb "open" and the parameters through the
// desktop's shell. False, with the reason in `why`, when there is no such
// shell to ask or it refused.
bool StartAsDesktopUser(const std::wstring& file, const std::string& parameters, std::string* why);

// The ways a program can be started, in the order they are tried.
struct ProgramStarters {
  bool (*elevated)() = &ProcessIsElevated;
  bool (*asDesktopUser)(const std::wstring& file, const std::string& parameters,
                        std::string* why) = &StartAsDesktopUser;
  // With the process's own rights, as a last resort.
  bool (*directly)(const std::wstring& file, const std::string& parameters) = nullptr;
};

// Starts the program as the desktop's user where the installer is elevated
// and the desktop's shell can start it, else with the installer's own
// rights; returns the log line that tells which way it took.
std::string StartUnelevated(const std::wstring& file, const std::string& parameters, const ProgramStarters& starters);

}  // namespace setup

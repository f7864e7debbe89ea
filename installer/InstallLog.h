#pragma once

#include <string>

namespace setup {

// The install log: plain UTF-8 lines about one installation (the version,
// the command line, the folder, every file, folder and registry value
// written, the result with its exit code, the timings). One per process;
// lines may come from the window's thread and from the worker.

// Where the log goes without /LOG=: NimboSetup.log in the temporary folder.
std::string DefaultInstallLogPath();

// Where the log of this run goes (code page 936) and the command line it
// records; set once at the start.
void SetInstallLog(const std::string& path, const std::string& commandLine);

// Starts the log when an installation starts, replacing an older one, and
// writes its head. False when it cannot be written: the installation goes
// on without a log.
bool OpenInstallLog();

// One line, in code page 936; nothing when no log is open.
void LogLine(const std::string& line);

// Milliseconds since the log was opened, for the timings.
unsigned long LogClockMs();

// Writes the result line with its exit code and closes the log; nothing
// when none is open.
void CloseInstallLog(int exitCode, const std::string& result);

}  // namespace setup

#pragma once

#include <string>

namespace setup {

// The install log: plain UTF-8 lines about one installation (the version,
// the command line, the folder, every file, folder and registry value
// written, the result with its exit code, the timings). One per process;
// lines may come from the window's thread and from the worker.

// Where the log goes without /LOG=: the temporary folder, as the path of a
// NimboSetup.log there; each run's log is NimboSetup-<32 hexadecimal
// digits>.log in that folder (see OpenInstallLog).
std::string DefaultInstallLogPath();

// Where the log of this run goes (code page 936), whether the user named
// that path (/LOG=), and the command line it records; set once at the start.
void SetInstallLog(const std::string& path, const std::string& commandLine, bool namedByUser);

// Starts the log when an installation starts and writes its head. The
// installer runs elevated, and the temporary folder may be one every user
// can write (SYSTEM's): nothing placed at the log's path in advance is
// followed or written through. The default log is a new file with a name
// no one can guess; a path the user named is made, or replaced when it is a
// plain file, and refused when it is a link or a hard link. False when
// there is no log: the installation goes on without one.
bool OpenInstallLog();

// The file the log is written to; empty while none is open.
std::string InstallLogPath();

// One line, in code page 936; nothing when no log is open.
void LogLine(const std::string& line);

// Milliseconds since the log was opened, for the timings.
unsigned long LogClockMs();

// Writes the result line with its exit code and closes the log; nothing
// when none is open.
void CloseInstallLog(int exitCode, const std::string& result);

}  // namespace setup

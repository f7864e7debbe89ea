#pragma once

#include <string>
#include <vector>

namespace ui {

// The few functions of the Windows shell the programs use. shell32 is
// loaded from the system folder at the first call, not named in the import
// table: Wine resolves what its shell32 imports (shcore) beside the program
// while the program loads, before the search for DLLs is restricted.

// The current user's desktop folder, without a trailing separator; empty
// when unknown.
std::wstring DesktopFolder();

// ShellExecuteW: the file opened with the verb (null: its default verb),
// no owner window, the process's current folder and a normal window. True
// when the shell started it.
bool ShellExecuteFile(const wchar_t* verb, const std::wstring& file, const std::wstring& parameters);

// The arguments of a command line as Windows reads them (CommandLineToArgvW),
// the program's name first.
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine);

}  // namespace ui

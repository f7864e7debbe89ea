#pragma once

#include "Win32.h"

namespace ui {

// The programs run elevated, often from a folder others can write (a
// Downloads folder, a temporary folder): a DLL left beside them under a
// name Windows looks up must never be loaded. Their import tables name only
// the system's known DLLs, which Windows always takes from its own folder;
// everything else is loaded from the system folder by name.

// Makes Windows look for DLLs in the system folder only, for this process
// and every library it loads from now on; the first thing each program
// does. Where SetDefaultDllDirectories is missing, the current folder at
// least is taken out of the search.
void RestrictLibrarySearch();

// Loads a DLL of Windows from the system folder, never from anywhere else;
// null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace ui

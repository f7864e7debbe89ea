#pragma once

#include <span>

#include "Switches.h"

namespace uninstall {

inline constexpr wchar_t kUninstallerName[] = L"uninstall.exe";
// How long the temporary copy waits for the run that started it to end,
// once it has its result, before the first run's file goes.
inline constexpr unsigned kOriginalWaitMs = 30000;
// How long a refused delete of a program's file is tried again.
inline constexpr unsigned kSelfDeletePatienceMs = 3000;

// The run started from the product folder: checks the folder and the list,
// asks the user (unless silent), starts the temporary copy and waits for
// it. Returns the copy's ExitCode, or its own when it refused or could not
// start the copy.
int RunFromProductFolder(const Switches& switches);

// The temporary copy: reads the record, removes the payload from the folder
// it was given, the record, and the registry entry and the desktop shortcut
// when they belong to that folder's installation,
// moves the first run's file out of the way and sends its result to the
// first run; once that has ended, removes its file and the emptied folder,
// and reports (unless silent). When a payload item cannot be removed, the
// uninstaller and the product's registration stay, so that the user can
// try again. Returns an ExitCode.
int RunTemporaryCopy(const Switches& switches);

}  // namespace uninstall

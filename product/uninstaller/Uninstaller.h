#pragma once

#include <span>

#include "Switches.h"

namespace uninstall {

inline constexpr wchar_t kUninstallerName[] = L"uninstall.exe";
// How long the temporary copy waits for the run that started it.
inline constexpr unsigned kOriginalWaitMs = 30000;
// How long a refused delete of the uninstaller's own file is tried again.
inline constexpr unsigned kSelfDeletePatienceMs = 3000;

// The run started from the product folder: checks the folder and the list,
// asks the user (unless silent) and starts the temporary copy. Returns an
// ExitCode.
int RunFromProductFolder(const Switches& switches, std::span<const wchar_t* const> entries);

// The temporary copy: waits for the first run to end, removes the payload
// from the folder it was given, then the uninstaller itself, the registry
// entry and the desktop shortcut, and reports (unless silent). When a
// payload item cannot be removed, the uninstaller and the product's
// registration stay, so that the user can try again. Returns an ExitCode.
int RunTemporaryCopy(const Switches& switches, std::span<const wchar_t* const> entries);

}  // namespace uninstall

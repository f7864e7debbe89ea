#pragma once

#include <string>

#include "engine/core/Win32.h"

namespace setup {

// The window's installing thread: runs the installation (RunInstallation)
// into the folder chosen, committing it only once the bar shows its end; then the
// completion line, two seconds, the product started and the window asked
// to close. A failed installation, undone, gets its failure line and the
// window stays open; a closed one ends there.
DWORD WINAPI CompletionWorker(void* unused);

// Starts the installed product with its parameters, and logs how.
void LaunchProduct(const std::wstring& folder);

inline constexpr char kCompletionLine[] = "\r\n已完成安装，即将启动Nimbo";
inline constexpr char kLaunchParameters[] = "[Run_With_AutoUpdate]";

}  // namespace setup

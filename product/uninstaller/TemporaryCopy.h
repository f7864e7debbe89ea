#pragma once

#include <cstdint>
#include <string>

namespace uninstall {

// Windows does not let a running program delete its own file, so the
// uninstaller started from the product folder hands the work to a copy of
// itself in the temporary folder and ends; the copy waits for it to end,
// removes the product and leaves its own file to be deleted at the next
// restart.

// The full path of the running program; empty when unknown.
std::wstring RunningProgramPath();

// The user's temporary folder without a trailing separator; empty when
// unknown.
std::wstring TemporaryFolder();

// Copies the running program to a new file in the temporary folder and
// starts it, with the temporary folder as its current folder (a process's
// current folder cannot be removed), telling it to remove the payload from
// `folder` once this process has ended. False, with the reason in `error`,
// when the copy could not be made or started; no copy is left behind then.
bool StartTemporaryCopy(const std::wstring& folder, bool silent, std::wstring* error);

enum class WaitOutcome { kEnded, kTimedOut, kNotAProcess };

// Waits at most `timeoutMs` for the process behind the inherited handle.
WaitOutcome WaitForOriginal(std::uint32_t handle, unsigned timeoutMs);

// Marks the running program's file for deletion at the next restart, when
// it runs from the temporary folder (never the uninstaller in a product
// folder); false when it did not.
bool DeleteSelfAtRestart();

}  // namespace uninstall

#pragma once

#include <cstdint>
#include <string>

namespace uninstall {

// Windows does not let a running program delete its own file, so the
// uninstaller started from the product folder hands the work to a copy of
// itself and waits for it. The copy lives in a new folder of the temporary
// folder with a name no one can guess, which only Administrators and SYSTEM
// may open; the first run writes it through a handle it keeps, without
// letting anyone write or delete it, until the copy has started. The copy
// removes the product, sends its result back through a pipe (the first run
// ends with it), waits for the first run to end and removes what was left
// for then; its own file and folder go at the next restart.

// The full path of the running program; empty when unknown.
std::wstring RunningProgramPath();

// The user's temporary folder without a trailing separator; empty when
// unknown.
std::wstring TemporaryFolder();

// The copy a first run started: its process, and the end of the pipe its
// result comes through.
struct StartedCopy {
  void* process = nullptr;
  void* report = nullptr;
};

// Makes the copy and starts it with the temporary copy's switches for
// `folder`, its own folder as its current folder (a process's current
// folder cannot be removed). False, with the reason in `error`, when it
// could not be made or started; nothing is left behind then.
bool StartTemporaryCopy(const std::wstring& folder, bool silent, StartedCopy* copy, std::wstring* error);

// Waits for the copy's result and returns it (an ExitCode); when the copy
// ended without sending one, its exit code, or kExitIncomplete. Closes the
// copy's handles.
int AwaitCopyResult(StartedCopy* copy);

// In the copy: sends the result to the first run, which then ends with it.
void SendResult(std::uint32_t reportHandle, int exitCode);

enum class WaitOutcome { kEnded, kTimedOut, kNotAProcess };

// Waits at most `timeoutMs` for the process behind the inherited handle.
WaitOutcome WaitForOriginal(std::uint32_t handle, unsigned timeoutMs);

// Marks the running program's file, and the folder the first run made for
// it, for deletion at the next restart, when it runs as such a copy (never
// the uninstaller in a product folder); false when it did not.
bool DeleteSelfAtRestart();

}  // namespace uninstall

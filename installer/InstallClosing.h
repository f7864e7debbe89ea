#pragma once

#include "engine/core/Win32.h"

namespace setup {

// The window's side of an installation that runs on the completion
// worker's thread (see Installation for the shared state).
//
// A close before the product is registered cancels the installation: the
// worker stops at its next piece of work (within a write of 64 KB), undoes
// everything it wrote, and no desktop shortcut is made. A close after the
// registration (during the completion line) finds the product installed:
// the shortcut is made, and the product is not started any more. The
// process then waits for the worker to end (its undoing included) before
// it frees the controls the worker uses.

// Starts the completion worker on a thread of its own; false when no thread
// could be made.
bool StartCompletionWorker();

// On the window's close: from here on nothing more is committed or started.
// True when the product was installed and registered before.
bool CloseInstallation();

// The host window's message hook: a close request cancels an installation
// that is not committed as soon as it arrives, before the close effect
// plays (which takes longer than the bar has left to run).
LRESULT CancelInstallationOnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// After the message loop: waits up to the bound for the worker to end,
// handling this thread's messages meanwhile. True when no worker runs any
// more (or none was started); false when it is still running, and then its
// objects must stay alive.
bool JoinCompletionWorker(DWORD boundMs);

// Forgets a finished installation (tests run several in one process).
void ResetInstallClosing();

}  // namespace setup

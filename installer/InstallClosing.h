#pragma once

#include <functional>

#include "engine/core/Win32.h"

namespace setup {

// What closing the window does while the installation is being finished.
//
// The payload is put on disk by the install action on the window's thread,
// so the window cannot close in the middle of it: a close is handled once
// every entry is extracted (or the extraction failed). From then on the
// completion worker finishes on its own thread, and the close and the
// worker agree under one lock:
// - a close before the product is registered abandons the rest: the worker
//   stops at its next step and registers, reports and starts nothing; the
//   extracted files stay where they are, and no desktop shortcut is made;
// - a close after the registration (during the two seconds of the
//   completion line) finds the product installed: the shortcut is made, and
//   the product is not started any more.
// The process then waits (bounded) for the worker to end before it frees
// the controls the worker uses.

// Starts the completion worker on a thread of its own; false when no thread
// could be made.
bool StartCompletionWorker();

// Worker side. Whether the window was closed: the worker stops.
bool CloseRequested();
// Registers through the given step unless the window was closed first;
// marks the product installed when the step succeeded. Returns the step's
// result, false when closed.
bool RegisterUnlessClosed(const std::function<bool()>& registerProduct);
// Waits the given time, handling the thread's messages; false as soon as
// the window was closed.
bool PauseUnlessClosed(int milliseconds);

// Window side, on its close: from here on the worker registers and starts
// nothing. True when the product was installed and registered before.
bool CloseInstallation();

// After the message loop: waits up to the bound for the worker to end,
// handling this thread's messages meanwhile. True when no worker runs any
// more (or none was started); false when it is still running, and then its
// objects must stay alive.
bool JoinCompletionWorker(DWORD boundMs);

// Forgets a finished installation's close (tests run several in one process).
void ResetInstallClosing();

}  // namespace setup

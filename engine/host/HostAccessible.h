#pragma once

#include "engine/core/Win32.h"

namespace ui {

// The answer to WM_GETOBJECT for a host window's client area: an
// IAccessible (Microsoft Active Accessibility) whose children are the
// window's visible controls in tab order, each with its name, role, value,
// state, location and default action, as the controls describe themselves.
// Screen readers, and UI Automation through its bridge, read the drawn
// controls through it. The object names its window by handle and asks the
// window again on every call, so it may outlive both window and controls.
// Returns 0 when the accessibility library is not there.
LRESULT AnswerAccessibleObjectRequest(HWND window, WPARAM flags);

// Raises a WinEvent (EVENT_OBJECT_*) for a child of the window's client
// object (0: the client itself), for screen readers following changes.
void NotifyAccessibleEvent(DWORD event, HWND window, long childId);

}  // namespace ui

#pragma once

#include <optional>

#include "engine/host/HostWindow.h"

namespace setup {

// The engine objects the installer keeps for the whole process. They are
// constructed empty (attached to no window) before the start window is
// loaded, in the order below, and released after the message loop ends, in
// the same order.
extern std::optional<ui::HostWindow> hostWindow;

void ConstructProcessObjects();
void ReleaseProcessObjects();

}  // namespace setup

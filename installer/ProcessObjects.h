#pragma once

#include <optional>

#include "engine/controls/Button.h"
#include "engine/controls/ProgressBar.h"
#include "engine/edit/EditBox.h"
#include "engine/host/HostWindow.h"

namespace setup {

// The engine objects the installer keeps for the whole process. They are
// constructed empty (attached to no window) before the start window is
// loaded, in the order below, and released after the message loop ends, in
// the same order. The edit boxes' context menu is the engine's shared one.
extern std::optional<ui::HostWindow> hostWindow;
extern std::optional<ui::EditBox> pathBox;
extern std::optional<ui::Button> installButton;
extern std::optional<ui::ProgressBar> progressBar;
extern std::optional<ui::EditBox> statusBox;

void ConstructProcessObjects();
void ReleaseProcessObjects();

}  // namespace setup

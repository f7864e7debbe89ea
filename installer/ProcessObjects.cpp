#include "ProcessObjects.h"

namespace setup {

std::optional<ui::HostWindow> hostWindow;

void ConstructProcessObjects() { hostWindow.emplace(); }

void ReleaseProcessObjects() { hostWindow.reset(); }

}  // namespace setup

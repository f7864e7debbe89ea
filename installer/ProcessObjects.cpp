#include "ProcessObjects.h"

namespace setup {

std::optional<ui::HostWindow> hostWindow;
std::optional<ui::Button> installButton;
std::optional<ui::ProgressBar> progressBar;

void ConstructProcessObjects() {
  hostWindow.emplace();
  installButton.emplace();
  progressBar.emplace();
}

void ReleaseProcessObjects() {
  hostWindow.reset();
  installButton.reset();
  progressBar.reset();
}

}  // namespace setup

#include "ProcessObjects.h"

namespace setup {

std::optional<ui::HostWindow> hostWindow;
std::optional<ui::EditBox> pathBox;
std::optional<ui::Button> installButton;
std::optional<ui::ProgressBar> progressBar;
std::optional<ui::EditBox> statusBox;

void ConstructProcessObjects() {
  hostWindow.emplace();
  pathBox.emplace();
  installButton.emplace();
  progressBar.emplace();
  statusBox.emplace();
}

void ReleaseProcessObjects() {
  hostWindow.reset();
  pathBox.reset();
  installButton.reset();
  progressBar.reset();
  statusBox.reset();
}

}  // namespace setup

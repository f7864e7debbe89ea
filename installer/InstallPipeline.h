#pragma once

#include <functional>
#include <string>

#include "InstallOutcome.h"
#include "Installation.h"
#include "installer/archive/ByteStreams.h"

namespace setup {

// The installation itself, the same with the window and without: the
// target made absolute and checked, free space checked, then every entry
// extracted straight from the payload into the target through a
// TargetWriter, each block of the payload verified before a byte of it is
// written, the installation's record written, and the product registered.
// Every step is journaled: an installation that fails, or is closed, undoes
// all of it (the log lists what was rolled back), so the target and the
// registry are as they were. Progress and a
// close go through `state`; `beforeCommit` (the window's: the bar has
// reached its end) runs before the registration and stops it with false.
struct PipelineSteps {
  // The payload to install; null: the program's own.
  ByteSource* payload = nullptr;
  std::function<bool()> beforeCommit;
};
// The target is the folder `state` was given (Installation::Choose); the
// installation tells it the full folder it resolved that to, and on a
// failure the place the failure line names (the folder, or a link found).
InstallOutcome RunInstallation(Installation& state, const PipelineSteps& steps);

}  // namespace setup

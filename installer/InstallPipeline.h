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
// `folder` is the target as given (code page 936). On failure `where` is
// what the failure line names (the folder, or the link found).
InstallOutcome RunInstallation(Installation& state, const std::string& folder, const PipelineSteps& steps,
                               std::string* where);

}  // namespace setup

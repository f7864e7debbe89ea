#include "ProgressDisplay.h"

#include <algorithm>

#include "Installation.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "engine/core/Win32.h"

namespace setup {
namespace {

constexpr UINT_PTR kProgressTimerId = 0x50524F47;  // "PROG"
constexpr UINT kStepMs = 10;
constexpr int kEnd = 100;

DWORD startedAt = 0;

void CALLBACK Tick(HWND window, UINT, UINT_PTR id, DWORD) {
  Installation& installation = Installation::Current();
  const Installation::Progress progress = installation.CurrentProgress();
  const Installation::Phase phase = installation.CurrentPhase();
  if (phase == Installation::Phase::kEnded && installation.Outcome() != InstallOutcome::Installed) {
    KillTimer(window, id);  // a failed or closed installation: the bar stays where it is
    return;
  }
  const int position = ProgressPosition(GetTickCount() - startedAt, progress.done, progress.total, progress.extracted);
  if (progressBar->Position() != position) progressBar->Position(position);
  if (position >= kEnd) {
    KillTimer(window, id);
    installation.DisplayComplete();
  }
}

}  // namespace

int ProgressPosition(unsigned elapsedMs, std::uint64_t done, std::uint64_t total, bool extracted) {
  const int byTime = static_cast<int>(std::min<unsigned>(elapsedMs / kStepMs, kEnd));
  // The last step is the last file: until then the bytes show at most 99.
  const int byBytes = extracted    ? kEnd
                      : total == 0 ? 0
                                   : static_cast<int>(std::min<std::uint64_t>(done * kEnd / total, kEnd - 1));
  return std::min(byTime, byBytes);
}

void StartProgressDisplay() {
  startedAt = GetTickCount();
  SetTimer(startWindowHandle, kProgressTimerId, kStepMs, &Tick);
}

}  // namespace setup

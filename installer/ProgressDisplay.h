#pragma once

#include <cstdint>

namespace setup {

// The progress bar during an installation, driven on the window's thread
// by a timer every 10 ms: it shows whichever is further behind, the time
// since the click (the bar fills over about one second, 100 steps of
// 10 ms) or the share of the payload's bytes on disk, which reaches the end
// only once the last file is there. At the end it tells the installation
// (DisplayComplete) and stops; it stops too when the installation ends
// otherwise.
void StartProgressDisplay();

// The position for the time since the click and the bytes on disk: the
// smaller of the two, 0 to 100.
int ProgressPosition(unsigned elapsedMs, std::uint64_t done, std::uint64_t total, bool extracted);

}  // namespace setup

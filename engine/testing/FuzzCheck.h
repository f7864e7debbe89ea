#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A promise of the code under fuzzing: when it does not hold, the input is
// a finding (libFuzzer keeps it, the run fails).
inline void Check(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "Fuzz check failed: %s\n", promise);
  std::abort();
}

}  // namespace fuzz

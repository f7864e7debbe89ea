#pragma once

#include "engine/core/Win32.h"

namespace product {

// One installation or removal of Nimbo at a time on the machine: the
// installer holds this lock for as long as it runs, and the uninstaller for
// as long as it removes, so that neither rolls back, removes or replaces
// files the other has just written. A named mutex in the global namespace,
// so that it holds across the sessions of a terminal server too. A holder
// that was killed leaves it abandoned, which the next one takes.
class InstallationLock {
 public:
  InstallationLock();
  ~InstallationLock();
  InstallationLock(const InstallationLock&) = delete;
  InstallationLock& operator=(const InstallationLock&) = delete;

  enum class Result {
    kHeld,    // this process holds the lock now
    kBusy,    // another still held it when the wait ended
    kFailed,  // there is no such lock to be had (the mutex could not be made)
  };
  // Waits at most `timeoutMs` for the lock.
  Result Acquire(DWORD timeoutMs);

 private:
  HANDLE mutex_ = nullptr;
  bool held_ = false;
};

inline constexpr wchar_t kInstallationLockName[] = L"Global\\Nimbo.Installation";
// How long a run without a window waits for another one to end: a large
// installation takes a minute or two.
inline constexpr DWORD kSilentLockWaitMs = 180000;

}  // namespace product

#include "InstallationLock.h"

namespace product {

InstallationLock::InstallationLock() : mutex_(CreateMutexW(nullptr, FALSE, kInstallationLockName)) {}

InstallationLock::~InstallationLock() {
  if (held_) ReleaseMutex(mutex_);
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

InstallationLock::Result InstallationLock::Acquire(DWORD timeoutMs) {
  if (held_) return Result::kHeld;
  if (mutex_ == nullptr) return Result::kFailed;
  switch (WaitForSingleObject(mutex_, timeoutMs)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its holder was ended without letting it go
      held_ = true;
      return Result::kHeld;
    case WAIT_TIMEOUT:
      return Result::kBusy;
    default:
      return Result::kFailed;
  }
}

}  // namespace product

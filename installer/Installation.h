#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "InstallOutcome.h"

namespace setup {

// The state of the process's one installation, shared by the thread that
// installs and the window (or the silent run) that waits for it, under one
// lock: nobody spins on a flag, every wait is on the condition variable.
// It owns the target folder, from the choice (what the user typed, made a
// wide path once) to the full path the installation resolved it to; the
// product is started and its shortcut made from that one folder.
//
// Closing the window before the installation is committed (before the
// product is registered) cancels it: the installing thread stops at its
// next piece of work and undoes everything. A close after the commit finds
// the product installed.
class Installation {
 public:
  enum class Phase {
    kNotStarted,
    kRunning,    // checking, extracting, waiting for the bar to show the end
    kCommitted,  // the product is on disk and registered; the completion goes on
    kEnded,      // the installing thread is done
  };
  struct Progress {
    std::uint64_t done = 0;   // bytes of the payload on disk
    std::uint64_t total = 0;  // bytes in all
    bool extracted = false;   // every file is on disk
  };

  // The process's installation.
  static Installation& Current();

  // --- the window or the silent run, before Start
  // The folder the user chose, with a trailing backslash.
  void Choose(std::wstring folder);
  bool HasChosen() const;
  std::wstring Chosen() const;

  // --- the installing thread
  void Start();
  void SetTotal(std::uint64_t bytes);
  void AddDone(std::uint64_t bytes);
  void MarkExtracted();
  bool Cancelled() const;
  // Waits until the window has shown the whole bar; false when closed first.
  bool WaitForDisplay();
  // Runs the step unless the installation was closed, and on its success
  // marks it committed, all under the lock, so that a close comes before or
  // after it, not during it. The step's result; false when closed.
  bool CommitUnlessClosed(const std::function<bool()>& step);
  // Waits the time; false as soon as the window was closed.
  bool PauseUnlessClosed(int milliseconds);
  // The installation is over with this outcome.
  void Finish(InstallOutcome outcome);
  // The folder it installs to, in full, once known.
  void SetFolder(std::wstring folder);
  // The place a failure is reported at when it is not the folder itself (a
  // link found where the installation was to write).
  void SetFailurePlace(std::wstring place);
  // A failed installation's rollback could not put this item back as it
  // was (a path, or the registry key).
  void AddNotRestored(const std::string& item);

  // --- the window
  // A close: from here on nothing more is committed or started. True when
  // the product was committed before (the installation then counts as done).
  bool Close();
  // Whether the installation was closed, and was committed when it was.
  bool ClosedAfterCommit() const;
  void DisplayComplete();
  Progress CurrentProgress() const;
  Phase CurrentPhase() const;
  // The outcome once ended (Installed before).
  InstallOutcome Outcome() const;
  bool Closed() const;
  // The full folder once the installation resolved it, the chosen one before.
  std::wstring Folder() const;
  // Where a failure happened: the failure place if one was set, else Folder.
  std::wstring FailurePlace() const;
  // What a failed installation left as it should not be; empty when its
  // rollback put everything back.
  std::vector<std::string> NotRestored() const;
  // Waits until the installing thread is done, at most `milliseconds`
  // (negative: without a bound); true when it is.
  bool WaitForEnd(int milliseconds);

  // Forgets a finished installation (tests run several in one process).
  void Reset();

 private:
  mutable std::mutex lock_;
  std::condition_variable changed_;
  Phase phase_ = Phase::kNotStarted;
  InstallOutcome outcome_ = InstallOutcome::Installed;
  Progress progress_;
  bool closed_ = false;
  bool committedAtClose_ = false;
  bool displayed_ = false;
  std::wstring chosen_;
  std::wstring folder_;
  std::wstring failurePlace_;
  std::vector<std::string> notRestored_;
};

}  // namespace setup

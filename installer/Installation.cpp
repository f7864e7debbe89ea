#include "Installation.h"

#include <utility>
#include <chrono>

namespace setup {

Installation& Installation::Current() {
  // Deliberately leaked: the window and the installing thread may still use
  // it while the process ends.
  static Installation* installation = new Installation;
  return *installation;
}

void Installation::Start() {
  std::lock_guard<std::mutex> held(lock_);
  phase_ = Phase::kRunning;
  changed_.notify_all();
}

void Installation::SetTotal(std::uint64_t bytes) {
  std::lock_guard<std::mutex> held(lock_);
  progress_.total = bytes;
}

void Installation::AddDone(std::uint64_t bytes) {
  std::lock_guard<std::mutex> held(lock_);
  progress_.done += bytes;
}

void Installation::MarkExtracted() {
  std::lock_guard<std::mutex> held(lock_);
  progress_.extracted = true;
  progress_.done = progress_.total;
}

bool Installation::Cancelled() const {
  std::lock_guard<std::mutex> held(lock_);
  return closed_;
}

bool Installation::WaitForDisplay() {
  std::unique_lock<std::mutex> held(lock_);
  changed_.wait(held, [&] { return displayed_ || closed_; });
  return !closed_;
}

bool Installation::CommitUnlessClosed(const std::function<bool()>& step) {
  std::lock_guard<std::mutex> held(lock_);
  if (closed_ || !step()) return false;
  phase_ = Phase::kCommitted;
  changed_.notify_all();
  return true;
}

bool Installation::PauseUnlessClosed(int milliseconds) {
  std::unique_lock<std::mutex> held(lock_);
  return !changed_.wait_for(held, std::chrono::milliseconds(milliseconds), [&] { return closed_; });
}

void Installation::Finish(InstallOutcome outcome) {
  std::lock_guard<std::mutex> held(lock_);
  outcome_ = outcome;
  phase_ = Phase::kEnded;
  changed_.notify_all();
}

void Installation::Choose(std::wstring folder) {
  std::lock_guard<std::mutex> held(lock_);
  chosen_ = std::move(folder);
}

bool Installation::HasChosen() const {
  std::lock_guard<std::mutex> held(lock_);
  return !chosen_.empty();
}

std::wstring Installation::Chosen() const {
  std::lock_guard<std::mutex> held(lock_);
  return chosen_;
}

void Installation::SetFolder(std::wstring folder) {
  std::lock_guard<std::mutex> held(lock_);
  folder_ = std::move(folder);
}

void Installation::SetFailurePlace(std::wstring place) {
  std::lock_guard<std::mutex> held(lock_);
  failurePlace_ = std::move(place);
}

std::wstring Installation::Folder() const {
  std::lock_guard<std::mutex> held(lock_);
  return folder_.empty() ? chosen_ : folder_;
}

std::wstring Installation::FailurePlace() const {
  std::lock_guard<std::mutex> held(lock_);
  if (!failurePlace_.empty()) return failurePlace_;
  return folder_.empty() ? chosen_ : folder_;
}

bool Installation::Close() {
  std::lock_guard<std::mutex> held(lock_);
  closed_ = true;
  committedAtClose_ = phase_ == Phase::kCommitted || (phase_ == Phase::kEnded && outcome_ == InstallOutcome::Installed);
  changed_.notify_all();
  return committedAtClose_;
}

bool Installation::ClosedAfterCommit() const {
  std::lock_guard<std::mutex> held(lock_);
  return closed_ && committedAtClose_;
}

void Installation::DisplayComplete() {
  std::lock_guard<std::mutex> held(lock_);
  displayed_ = true;
  changed_.notify_all();
}

Installation::Progress Installation::CurrentProgress() const {
  std::lock_guard<std::mutex> held(lock_);
  return progress_;
}

Installation::Phase Installation::CurrentPhase() const {
  std::lock_guard<std::mutex> held(lock_);
  return phase_;
}

InstallOutcome Installation::Outcome() const {
  std::lock_guard<std::mutex> held(lock_);
  return outcome_;
}

bool Installation::Closed() const {
  std::lock_guard<std::mutex> held(lock_);
  return closed_;
}

bool Installation::WaitForEnd(int milliseconds) {
  std::unique_lock<std::mutex> held(lock_);
  const auto ended = [&] { return phase_ == Phase::kEnded || phase_ == Phase::kNotStarted; };
  if (milliseconds < 0) {
    changed_.wait(held, ended);
    return true;
  }
  return changed_.wait_for(held, std::chrono::milliseconds(milliseconds), ended);
}

void Installation::Reset() {
  std::lock_guard<std::mutex> held(lock_);
  phase_ = Phase::kNotStarted;
  outcome_ = InstallOutcome::Installed;
  progress_ = {};
  closed_ = displayed_ = committedAtClose_ = false;
  chosen_.clear();
  folder_.clear();
  failurePlace_.clear();
  notRestored_.clear();
}

void Installation::AddNotRestored(const std::string& item) {
  std::lock_guard<std::mutex> held(lock_);
  notRestored_.push_back(item);
}

std::vector<std::string> Installation::NotRestored() const {
  std::lock_guard<std::mutex> held(lock_);
  return notRestored_;
}

}  // namespace setup

#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_set>

namespace ui {

// The objects of a kind that exist right now, by address. Messages, timers
// and posted work carry an object's address as a plain number that may
// outlive the object; only a number found here is turned back into a
// pointer, and the number itself is never dereferenced to find out. Safe to
// use from several threads.
template <class T>
class LiveSet {
 public:
  void Add(T* object) {
    std::lock_guard lock(mutex_);
    live_.insert(reinterpret_cast<std::uintptr_t>(object));
  }
  void Remove(T* object) {
    std::lock_guard lock(mutex_);
    live_.erase(reinterpret_cast<std::uintptr_t>(object));
  }
  // The object with that address, or null when none lives there now.
  T* Find(std::uintptr_t value) const {
    std::lock_guard lock(mutex_);
    return live_.count(value) != 0 ? reinterpret_cast<T*>(value) : nullptr;
  }

 private:
  mutable std::mutex mutex_;
  std::unordered_set<std::uintptr_t> live_;
};

}  // namespace ui

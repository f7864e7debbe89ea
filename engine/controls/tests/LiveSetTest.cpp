// Built natively with AddressSanitizer: a message queue whose targets are
// destroyed while their messages wait must never touch freed memory.
#include "engine/controls/LiveSet.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <thread>
#include <vector>

namespace ui {
namespace {

struct Target {
  explicit Target(LiveSet<Target>& set) : live(set) { live.Add(this); }
  ~Target() { live.Remove(this); }
  LiveSet<Target>& live;
  int received = 0;
};

struct Posted {
  std::uintptr_t target;
  int message;
};

TEST(LiveSet, MessagesForDestroyedTargetsAreDroppedWithoutTouchingThem) {
  LiveSet<Target> live;
  std::vector<std::unique_ptr<Target>> targets;
  targets.reserve(6);
  for (int i = 0; i < 6; ++i) targets.push_back(std::make_unique<Target>(live));
  // Three messages each, then targets 1, 3 and 4 go while they wait; their
  // memory is freed (AddressSanitizer keeps it poisoned for a while, so
  // a dereference would be reported, not silently read).
  std::deque<Posted> queue;
  for (int round = 0; round < 3; ++round) {
    for (auto& target : targets) queue.push_back({reinterpret_cast<std::uintptr_t>(target.get()), round});
  }
  for (int gone : {1, 3, 4}) targets[gone].reset();

  int delivered = 0;
  for (const Posted& posted : queue) {
    if (Target* target = live.Find(posted.target)) {
      ++target->received;
      ++delivered;
    }
  }
  EXPECT_EQ(delivered, 9);
  for (int kept : {0, 2, 5}) EXPECT_EQ(targets[kept]->received, 3);
  EXPECT_EQ(live.Find(0), nullptr);
}

TEST(LiveSet, TargetsComeAndGoOnOneThreadWhileAnotherLooksThemUp) {
  LiveSet<Target> live;
  Target steady(live);
  std::thread churn([&] {
    for (int i = 0; i < 20000; ++i) Target passing(live);
  });
  int found = 0;
  for (int i = 0; i < 20000; ++i) found += live.Find(reinterpret_cast<std::uintptr_t>(&steady)) == &steady;
  churn.join();
  EXPECT_EQ(found, 20000) << "the steady target is found however the set changes around it";
}

}  // namespace
}  // namespace ui

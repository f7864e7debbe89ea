#include "engine/render/RedrawQueue.h"

#include <gtest/gtest.h>

#include <functional>

namespace ui {
namespace {

// Records what the queue draws and presents.
class CountingTarget : public RedrawTarget {
 public:
  bool layered = true;
  bool busy = false;
  std::vector<RectF> drawn;
  std::vector<bool> presentedWith;
  int layeredPresentations = 0;
  std::function<void(const RectF&)> onRedraw;

  bool IsLayered() const override { return layered; }
  bool IsBusy() const override { return busy; }
  void RedrawRect(const RectF& rect, bool present) override {
    if (busy) return;
    drawn.push_back(rect);
    presentedWith.push_back(present);
    if (onRedraw) onRedraw(rect);
  }
  void PresentLayered() override { ++layeredPresentations; }
};

TEST(RedrawQueue, LayeredWindowIsPresentedOncePerBatch) {
  CountingTarget target;
  RedrawQueue queue;
  queue.Bind(&target);
  int added = 0;
  // Rectangles added while the flush runs are drawn in the same flush.
  target.onRedraw = [&](const RectF&) {
    if (added < 3) queue.Add(MakeRectF(100 + added++, 0, 1, 1), RedrawMode::Append);
  };
  queue.Add(MakeRectF(0, 0, 10, 10), RedrawMode::Append);
  ASSERT_EQ(target.drawn.size(), 4u);
  EXPECT_EQ(target.drawn[0], MakeRectF(0, 0, 10, 10));
  EXPECT_EQ(target.drawn[3], MakeRectF(102, 0, 1, 1));
  EXPECT_EQ(target.layeredPresentations, 1);
  for (bool present : target.presentedWith) EXPECT_FALSE(present) << "no per-rectangle presentation when layered";
  EXPECT_TRUE(queue.IsIdle());
  EXPECT_EQ(queue.Pending(), 0u);
}

TEST(RedrawQueue, WindowThatIsNotLayeredPresentsEachRectangle) {
  CountingTarget target;
  target.layered = false;
  RedrawQueue queue;
  queue.Bind(&target);
  queue.Add(MakeRectF(0, 0, 1, 1), RedrawMode::Append);
  queue.Add(MakeRectF(5, 5, 1, 1), RedrawMode::Append);
  ASSERT_EQ(target.presentedWith.size(), 2u);
  EXPECT_TRUE(target.presentedWith[0]);
  EXPECT_TRUE(target.presentedWith[1]);
  EXPECT_EQ(target.layeredPresentations, 0);
}

TEST(RedrawQueue, FrontInsertsAheadOfWhatIsWaiting) {
  CountingTarget target;
  RedrawQueue queue;
  queue.Bind(&target);
  bool once = false;
  target.onRedraw = [&](const RectF&) {
    if (once) return;
    once = true;
    queue.Add(MakeRectF(1, 0, 1, 1), RedrawMode::Append);
    queue.Add(MakeRectF(2, 0, 1, 1), RedrawMode::Append);
    queue.Add(MakeRectF(3, 0, 1, 1), RedrawMode::Front);
  };
  queue.Add(MakeRectF(0, 0, 1, 1), RedrawMode::Append);
  ASSERT_EQ(target.drawn.size(), 4u);
  EXPECT_EQ(target.drawn[1].left, 3) << "the front rectangle comes next";
  EXPECT_EQ(target.drawn[2].left, 1);
  EXPECT_EQ(target.drawn[3].left, 2);
}

TEST(RedrawQueue, ImmediateDrawsAndPresentsAtOnceAndQueuesNothing) {
  CountingTarget target;
  RedrawQueue queue;
  queue.Bind(&target);
  queue.Add(MakeRectF(4, 4, 2, 2), RedrawMode::Immediate);
  ASSERT_EQ(target.drawn.size(), 1u);
  EXPECT_TRUE(target.presentedWith[0]);
  EXPECT_EQ(queue.Pending(), 0u);
}

TEST(RedrawQueue, NothingIsPresentedWhileTheWindowIsBusy) {
  CountingTarget target;
  target.busy = true;
  RedrawQueue queue;
  queue.Bind(&target);
  queue.Add(MakeRectF(0, 0, 10, 10), RedrawMode::Append);
  queue.Add(MakeRectF(0, 0, 10, 10), RedrawMode::Immediate);
  EXPECT_TRUE(target.drawn.empty());
  EXPECT_EQ(target.layeredPresentations, 0);
  EXPECT_EQ(queue.Pending(), 0u) << "the rectangles were handed over, not kept";
}

TEST(RedrawQueue, ClearDropsWhatWaitsAndAnUnboundQueueDrawsNothing) {
  RedrawQueue queue;
  queue.Enqueue(MakeRectF(0, 0, 1, 1));
  queue.Clear();
  EXPECT_EQ(queue.Pending(), 0u);
  queue.Add(MakeRectF(0, 0, 1, 1), RedrawMode::Append);
  EXPECT_EQ(queue.Pending(), 0u);
  EXPECT_TRUE(queue.IsIdle());
}

}  // namespace
}  // namespace ui

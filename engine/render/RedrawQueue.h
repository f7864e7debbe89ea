#pragma once

#include <deque>

#include "engine/core/RectF.h"

namespace ui {

// What a redraw queue draws on: a host window's composition.
class RedrawTarget {
 public:
  virtual ~RedrawTarget() = default;
  virtual bool IsLayered() const = 0;
  virtual bool IsBusy() const = 0;
  // Recomposes the rectangle; presents it when `present` is set.
  virtual void RedrawRect(const RectF& rect, bool present) = 0;
  // Presents the whole composition of a layered window.
  virtual void PresentLayered() = 0;
};

// How Add treats a rectangle.
enum class RedrawMode { Append = 0, Immediate = 1, Front = 2 };

// A host window's pending dirty rectangles. Adding a rectangle while idle
// flushes at once; a rectangle added during a flush is drawn in that same
// flush, and a layered window is presented once per flushed batch.
class RedrawQueue {
 public:
  void Bind(RedrawTarget* target) { target_ = target; }
  void Clear();
  void Add(const RectF& rect, RedrawMode mode);
  // Queues a rectangle without flushing.
  void Enqueue(const RectF& rect) { queue_.push_back(rect); }
  bool IsIdle() const { return !flushing_; }
  void Flush();
  std::size_t Pending() const { return queue_.size(); }

 private:
  RedrawTarget* target_ = nullptr;
  std::deque<RectF> queue_;
  bool flushing_ = false;
};

}  // namespace ui

#include "RedrawQueue.h"

namespace ui {

void RedrawQueue::Clear() {
  queue_.clear();
  flushing_ = false;
}

void RedrawQueue::Add(const RectF& rect, RedrawMode mode) {
  switch (mode) {
    case RedrawMode::Immediate:
      if (target_ != nullptr) target_->RedrawRect(rect, true);
      break;
    case RedrawMode::Front:
      queue_.push_front(rect);
      break;
    case RedrawMode::Append:
    default:
      queue_.push_back(rect);
      break;
  }
  if (!flushing_) Flush();
}

void RedrawQueue::Flush() {
  if (target_ == nullptr) {
    queue_.clear();
    return;
  }
  flushing_ = true;
  const bool layered = target_->IsLayered();
  while (!queue_.empty()) {
    const RectF rect = queue_.front();
    queue_.pop_front();
    target_->RedrawRect(rect, !layered);
  }
  if (layered && !target_->IsBusy()) target_->PresentLayered();
  flushing_ = false;
}

}  // namespace ui

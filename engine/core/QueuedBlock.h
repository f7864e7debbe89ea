#pragma once

#include <utility>

#include "Win32.h"

namespace ui {

// A value that travels to a window procedure in a message's lParam, with
// exactly one owner at every moment.
//
// Posted, the value moves into a heap block that the message owns until
// the window procedure receives it (or the queue of a window going away is
// emptied); the receiving side frees it. Sent, the block stays on the
// sender's stack, lent for the length of the send, and the receiving side
// only reads it. The block knows which it is, so no code decides by
// convention who frees it.
template <typename T>
class QueuedBlock {
 public:
  // Posts the message with a block holding the value; false, and nothing
  // left behind, when the window's queue does not take it.
  static bool Post(HWND window, UINT message, WPARAM wParam, T value) {
    auto* block = new QueuedBlock(std::move(value), true);
    if (PostMessageW(window, message, wParam, reinterpret_cast<LPARAM>(block))) return true;  // the message owns it
    delete block;
    return false;
  }

  // Sends the message with the value lent from this stack; the answer (0
  // from a window that is gone).
  static LRESULT Send(HWND window, UINT message, WPARAM wParam, T value) {
    QueuedBlock block(std::move(value), false);
    return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(&block));
  }

  // The receiving side of a message's block: reads the value, and frees a
  // posted block when it goes.
  class Received {
   public:
    explicit Received(LPARAM lParam) : block_(reinterpret_cast<QueuedBlock*>(lParam)) {}
    ~Received() {
      if (block_ != nullptr && block_->posted_) delete block_;
    }
    Received(const Received&) = delete;
    Received& operator=(const Received&) = delete;
    explicit operator bool() const { return block_ != nullptr; }
    const T& operator*() const { return block_->value_; }
    const T* operator->() const { return &block_->value_; }

   private:
    QueuedBlock* block_;
  };

  static Received Receive(LPARAM lParam) { return Received(lParam); }
  // Frees the block of a message that will never be handled.
  static void Discard(LPARAM lParam) { Received{lParam}; }

 private:
  QueuedBlock(T value, bool posted) : value_(std::move(value)), posted_(posted) {}

  T value_;
  bool posted_;
};

}  // namespace ui

#pragma once

namespace ui {

// A COM interface pointer that releases itself.
template <class Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ~ComPointer() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  // Where a call that hands out an interface puts it.
  Interface** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace ui

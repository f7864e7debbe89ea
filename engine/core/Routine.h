#pragma once

#include <type_traits>
#include <utility>

namespace ui {

// Calls a user routine pointer (a hook or callback) with the given
// arguments. A null routine is not called and yields a zero result.
template <typename Result, typename... Params, typename... Args>
Result CallRoutine(Result (*routine)(Params...), Args&&... args) {
  if (routine == nullptr) {
    if constexpr (std::is_void_v<Result>) return;
    else return Result{};
  }
  return routine(std::forward<Args>(args)...);
}

}  // namespace ui

#pragma once

#include <string>
#include <string_view>

namespace ui {

// A file or folder name no other process can predict: the prefix, then 32
// hexadecimal digits from the system's cryptographic random numbers. Empty
// when the system gives none.
std::wstring UnguessableName(std::wstring_view prefix);

}  // namespace ui

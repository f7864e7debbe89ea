#include "ByteBlock.h"

#include <cstring>

namespace ui {

Bytes EmbeddedBytes(const std::uint8_t* block) {
  if (block == nullptr) return {};
  std::int32_t length = 0;
  std::memcpy(&length, block + 4, sizeof length);
  if (length < 0) return {};
  return Bytes(block + 8, static_cast<std::size_t>(length));
}

std::size_t CopyBytesTo(void* address, Bytes bytes, std::optional<int> count) {
  std::size_t n = bytes.size();
  if (count && *count >= 1 && static_cast<std::size_t>(*count) < bytes.size()) n = static_cast<std::size_t>(*count);
  if (n != 0) std::memmove(address, bytes.data(), n);
  return n;
}

}  // namespace ui

#include "ByteStreams.h"

#include <cstring>

namespace setup {

bool MemorySource::Read(std::uint64_t offset, void* into, std::size_t count) {
  if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
  if (count != 0) std::memcpy(into, bytes_.data() + offset, count);
  return true;
}

bool MemorySink::Write(const void* bytes, std::size_t count) {
  const auto* first = static_cast<const std::uint8_t*>(bytes);
  bytes_.insert(bytes_.end(), first, first + count);
  return true;
}

}  // namespace setup

#include "SealedSource.h"

#include <algorithm>
#include <cstring>

namespace setup {

SealedSource::SealedSource(ByteSource& raw, std::uint64_t size, std::uint32_t blockSize,
                           std::vector<BlockDigest> digests, BlockHasher hasher)
    : raw_(raw), size_(size), blockSize_(blockSize), digests_(std::move(digests)), hasher_(std::move(hasher)) {
  usable_ = blockSize_ > 0 && hasher_ && raw_.Size() >= size_ && digests_.size() == BlockCount();
  if (usable_) blockVerified_ = std::make_unique<std::atomic<bool>[]>(static_cast<std::size_t>(BlockCount()));
}

std::uint64_t SealedSource::BlockCount() const { return blockSize_ == 0 ? 0 : (size_ + blockSize_ - 1) / blockSize_; }

bool SealedSource::ReadAndVerify(std::uint64_t index, std::vector<std::uint8_t>* into) {
  const std::uint64_t start = index * blockSize_;
  const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, size_ - start));
  into->resize(length);
  if (!raw_.Read(start, into->data(), length)) return false;
  if (blockVerified_[index]) return true;
  BlockDigest digest{};
  ++hashed_;
  if (!hasher_(*into, &digest) || digest != digests_[index]) {
    damaged_ = true;
    return false;
  }
  blockVerified_[index] = true;
  return true;
}

const std::vector<std::uint8_t>* SealedSource::Block(std::uint64_t index) {
  for (const CachedBlock& cached : cache_) {
    if (cached.index == index) return &cached.bytes;
  }
  CachedBlock& slot = cache_[nextSlot_];
  slot.index = UINT64_MAX;
  if (!ReadAndVerify(index, &slot.bytes)) return nullptr;
  slot.index = index;
  nextSlot_ = (nextSlot_ + 1) % cache_.size();
  return &slot.bytes;
}

bool SealedSource::Read(std::uint64_t offset, void* into, std::size_t count) {
  if (!usable_ || offset > size_ || count > size_ - offset) return false;
  // Verified once and for all: the bytes cannot change under the held file.
  if (verifiedAll_) return raw_.Read(offset, into, count);
  auto* at = static_cast<std::uint8_t*>(into);
  while (count > 0) {
    const std::uint64_t index = offset / blockSize_;
    const std::vector<std::uint8_t>* block = Block(index);
    if (block == nullptr) return false;
    const auto within = static_cast<std::size_t>(offset - index * blockSize_);
    const std::size_t piece = std::min(count, block->size() - within);
    std::memcpy(at, block->data() + within, piece);
    at += piece;
    offset += piece;
    count -= piece;
  }
  return true;
}

bool SealedSource::VerifyAll(const std::atomic<bool>* stop) {
  if (!usable_ || damaged_) return false;
  std::vector<std::uint8_t> bytes;
  for (std::uint64_t index = 0; index < BlockCount() && !verifiedAll_; ++index) {
    if (stop != nullptr && stop->load()) return false;
    if (damaged_) return false;
    if (!blockVerified_[index] && !ReadAndVerify(index, &bytes)) return false;
  }
  verifiedAll_ = true;
  return true;
}

}  // namespace setup

#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "installer/archive/ByteStreams.h"

namespace setup {

using BlockDigest = std::array<std::uint8_t, 32>;
// The digest of one block's bytes (SHA-256 in the program).
using BlockHasher = std::function<bool(std::span<const std::uint8_t> bytes, BlockDigest* digest)>;

// The payload's bytes, each handed on only once the block it lies in has
// been read whole and found to have the digest sealed for it. The build
// cuts the archive into blocks of one size (the last may be shorter) and
// seals a table of their digests; the table itself is checked against the
// program's seal before it is trusted. So a byte that reaches the target
// was verified before it was written, however the file under the program
// changes, and no second pass over the payload is needed: each block is
// hashed as the installation reads it.
//
// The raw source must not change under a verified block: the program holds
// its own file open with no sharing for writing. One thread may read while
// another runs VerifyAll ahead of it (the raw source then takes reads from
// both): a block either has verified is read without hashing it again.
class SealedSource final : public ByteSource {
 public:
  // `digests` holds one digest per block of `size` bytes cut in `blockSize`.
  SealedSource(ByteSource& raw, std::uint64_t size, std::uint32_t blockSize, std::vector<BlockDigest> digests,
               BlockHasher hasher);

  // Whether the table fits the size (one digest per block, a usable block
  // size); a source whose table does not fit reads nothing.
  bool Usable() const { return usable_; }

  std::uint64_t Size() const override { return size_; }
  // False for a range outside the source, a failed read, or a block whose
  // bytes are not the sealed ones (Damaged() tells those apart).
  bool Read(std::uint64_t offset, void* into, std::size_t count) override;

  // Verifies every block not yet verified, in order, until one fails or
  // `stop` is raised; true when all are the sealed ones. Afterwards reads
  // need no more hashing.
  bool VerifyAll(const std::atomic<bool>* stop = nullptr);
  // A block was read and was not what the seal says.
  bool Damaged() const { return damaged_; }
  // Every block has been found to be the sealed one.
  bool FullyVerified() const { return verifiedAll_; }
  // How many blocks were hashed, by either thread (each block once, unless
  // both came to it at the same moment).
  std::uint64_t BlocksHashed() const { return hashed_; }

 private:
  struct CachedBlock {
    std::uint64_t index = UINT64_MAX;
    std::vector<std::uint8_t> bytes;
  };
  std::uint64_t BlockCount() const;
  // The verified bytes of a block, read now or kept from before.
  const std::vector<std::uint8_t>* Block(std::uint64_t index);
  bool ReadAndVerify(std::uint64_t index, std::vector<std::uint8_t>* into);

  ByteSource& raw_;
  std::uint64_t size_;
  std::uint32_t blockSize_;
  std::vector<BlockDigest> digests_;
  BlockHasher hasher_;
  bool usable_ = false;
  std::atomic<bool> damaged_{false};
  std::atomic<bool> verifiedAll_{false};
  std::atomic<std::uint64_t> hashed_{0};
  // Per block: found to be the sealed one.
  std::unique_ptr<std::atomic<bool>[]> blockVerified_;
  // Two blocks: the archive's directory, read first at its end, and the
  // block the extraction is in.
  std::array<CachedBlock, 2> cache_;
  std::size_t nextSlot_ = 0;
};

}  // namespace setup
